#include <gtest/gtest.h>

#include "core/settings/RecentFileList.h"
#include "core/settings/SettingsStore.h"

namespace zobl {
namespace {

TEST(RecentFileList, NewestFirstWithoutRepeatsAndAtMostSixteen) {
    RecentFileList list;
    for (int i = 0; i < 20; ++i) {
        list.Add("/f" + std::to_string(i) + ".gs");
    }
    ASSERT_EQ(list.Files().size(), 16u);
    EXPECT_EQ(list.Files().front(), "/f19.gs");
    EXPECT_EQ(list.Files().back(), "/f4.gs");

    list.Add("/f10.gs");
    EXPECT_EQ(list.Files().size(), 16u);
    EXPECT_EQ(list.Files()[0], "/f10.gs");
    EXPECT_EQ(list.Files()[1], "/f19.gs");
    list.Add("");
    EXPECT_EQ(list.Files()[0], "/f10.gs");
}

TEST(RecentFileList, RemovesOneEntry) {
    RecentFileList list;
    for (const char* path : {"/a.gs", "/b.gs", "/c.gs"}) {
        list.Add(path);
    }
    list.Remove(5);  // out of range: nothing
    list.Remove(1);
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/c.gs", "/a.gs"}));
}

TEST(RecentFileList, StoredAsFileOneToSixteen) {
    MemorySettingsStore store;
    store.WriteText(RecentFileList::kSection, "File9", "/stale.gs");
    RecentFileList list;
    list.Add("/old.gs");
    list.Add("/new.gs");
    list.Save(store);
    EXPECT_EQ(store.ReadText(RecentFileList::kSection, "File1", ""), "/new.gs");
    EXPECT_EQ(store.ReadText(RecentFileList::kSection, "File2", ""), "/old.gs");
    EXPECT_FALSE(store.Contains(RecentFileList::kSection, "File3"));
    EXPECT_FALSE(store.Contains(RecentFileList::kSection, "File9"));

    // A hand-edited list with gaps and a repeat.
    store.WriteText(RecentFileList::kSection, "File4", "/new.gs");
    store.WriteText(RecentFileList::kSection, "File16", "/last.gs");
    store.WriteText(RecentFileList::kSection, "File17", "/beyond.gs");
    RecentFileList loaded;
    loaded.Load(store);
    EXPECT_EQ(loaded.Files(), (std::vector<std::string>{"/new.gs", "/old.gs", "/last.gs"}));
}

}  // namespace
}  // namespace zobl
