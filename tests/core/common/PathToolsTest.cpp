#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/PathTools.h"

namespace zobl {
namespace {

TEST(PathTools, ProgramFolderHoldsThisTest) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folder, std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/");
}

TEST(PathTools, FolderOfPath) {
    EXPECT_EQ(FolderOfPath("a/b/c.gs"), "a/b/");
    EXPECT_EQ(FolderOfPath("/home/u/c.gs"), "/home/u/");
    EXPECT_EQ(FolderOfPath("c.gs"), "");
    EXPECT_EQ(FolderOfPath("a/b/"), "a/b/");
    EXPECT_EQ(FolderOfPath(""), "");
}

TEST(PathTools, FileNameOfPath) {
    EXPECT_EQ(FileNameOfPath("a/b/c.gs", true), "c.gs");
    EXPECT_EQ(FileNameOfPath("a/b/c.gs", false), "c");
    EXPECT_EQ(FileNameOfPath("c.tar.gz", false), "c.tar");
    EXPECT_EQ(FileNameOfPath("a.dir/name", false), "name");
    EXPECT_EQ(FileNameOfPath("a/b/", true), "");
    EXPECT_EQ(FileNameOfPath("", false), "");
}

TEST(PathTools, ProposedSaveNameStopsAtTheFirstUnsafeCharacter) {
    EXPECT_EQ(ProposedSaveName("GS1"), "GS1.gs");
    EXPECT_EQ(ProposedSaveName("Meine Grafik"), "Meine.gs");
    EXPECT_EQ(ProposedSaveName("a#b c"), "a.gs");
    EXPECT_EQ(ProposedSaveName("x%y"), "x.gs");
    EXPECT_EQ(ProposedSaveName("x;y"), "x.gs");
    EXPECT_EQ(ProposedSaveName("x/y"), "x.gs");
    EXPECT_EQ(ProposedSaveName("x\\y"), "x.gs");
    EXPECT_EQ(ProposedSaveName("Gr\u00fcn"), "Gr\u00fcn.gs");
    EXPECT_EQ(ProposedSaveName("Neue Fahrzeuge", ".fgs"), "Neue.fgs");
    // Never a hidden file: what cannot start a name is passed over.
    EXPECT_EQ(ProposedSaveName(" leading"), "leading.gs");
    EXPECT_EQ(ProposedSaveName(".profile"), "profile.gs");
    EXPECT_EQ(ProposedSaveName(" # .x y"), "x.gs");
    EXPECT_EQ(ProposedSaveName(" ."), "");
    EXPECT_EQ(ProposedSaveName(""), "");
}

}  // namespace
}  // namespace zobl
