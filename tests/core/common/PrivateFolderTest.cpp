#include "core/common/PrivateFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// The folders of a new path are 0700 even under umask 000, which lets everyone into a folder.
TEST(PrivateFolder, NewFoldersAreTheUsersAloneWhateverTheUmask) {
    test::TempFolder temp;
    const mode_t old = ::umask(0);
    MakePrivateFolder((temp.Path() / "state/zobl_ge/recovery").string(), 2);
    ::umask(old);
    for (const char* folder : {"state", "state/zobl_ge", "state/zobl_ge/recovery"}) {
        EXPECT_EQ(ModeOf(temp.Path() / folder), 0700u) << folder;
    }
    EXPECT_TRUE(IsPrivateFolder((temp.Path() / "state/zobl_ge").string()));
    // Making it again changes nothing and succeeds.
    EXPECT_NO_THROW(MakePrivateFolder((temp.Path() / "state/zobl_ge/recovery/").string(), 2));
}

// What another user could have prepared is refused, and left as it was.
TEST(PrivateFolder, RefusesWhatOthersCanWriteOrRedirect) {
    struct Case {
        const char* name;
        std::function<void(const fs::path&)> prepare;  // prepares root/a/b
        int checkedLevels;
        const char* refused;  // the folder named by the error, below root; nullptr: accepted
    };
    const auto makeFolder = [](const fs::path& path, mode_t mode) {
        fs::create_directories(path);
        ::chmod(path.c_str(), mode);
    };
    const Case cases[] = {
        {"open to everyone", [&](const fs::path& root) { makeFolder(root / "a/b", 0777); }, 1, "a/b"},
        {"open to the group", [&](const fs::path& root) { makeFolder(root / "a/b", 0770); }, 1, "a/b"},
        {"sticky but shared", [&](const fs::path& root) { makeFolder(root / "a/b", 01777); }, 1, "a/b"},
        {"readable is fine", [&](const fs::path& root) { makeFolder(root / "a/b", 0755); }, 1, nullptr},
        {"link to a private folder",
         [&](const fs::path& root) {
             makeFolder(root / "a/elsewhere", 0700);
             fs::create_directory_symlink("elsewhere", root / "a/b");
         },
         1, "a/b"},
        {"a file in its place",
         [&](const fs::path& root) {
             fs::create_directories(root / "a");
             std::ofstream(root / "a/b") << "x";
         },
         1, "a/b"},
        {"shared parent, checked",
         [&](const fs::path& root) {
             makeFolder(root / "a", 0777);
             makeFolder(root / "a/b", 0700);
         },
         2, "a"},
        {"shared parent, not checked",
         [&](const fs::path& root) {
             makeFolder(root / "a", 0777);
             makeFolder(root / "a/b", 0700);
         },
         1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder temp;
        c.prepare(temp.Path());
        const mode_t before = ModeOf(temp.Path() / "a/b");
        int number = 0;
        std::string argument;
        try {
            MakePrivateFolder((temp.Path() / "a/b").string(), c.checkedLevels);
        } catch (const MessageError& error) {
            number = error.Number();
            argument = error.Argument();
        }
        if (c.refused == nullptr) {
            EXPECT_EQ(number, 0);
        } else {
            EXPECT_EQ(number, message::kCannotCreateFile);
            EXPECT_EQ(argument, (temp.Path() / c.refused).string());
        }
        EXPECT_EQ(ModeOf(temp.Path() / "a/b"), before);
    }
}

TEST(PrivateFolder, RefusesAFolderOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder away needs root";
    }
    test::TempFolder temp;
    const fs::path folder = temp.Path() / "theirs";
    fs::create_directory(folder);
    ::chmod(folder.c_str(), 0700);
    ASSERT_EQ(::chown(folder.c_str(), 4242, 4242), 0);
    EXPECT_FALSE(IsPrivateFolder(folder.string()));
    EXPECT_THROW(MakePrivateFolder(folder.string()), MessageError);
}

// The clipboard file's folder: the runtime folder when it is private, else the cache folder.
TEST(PrivateFolder, TemporaryFolderIsTheRuntimeOrTheCacheFolder) {
    test::TempFolder temp;
    const std::string runtime = (temp.Path() / "run").string();
    const std::string runtimeWithSlash = runtime + "/";
    const std::string missing = (temp.Path() / "missing").string();
    const std::string shared = (temp.Path() / "shared").string();
    fs::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    struct Case {
        const char* runtime;
        const char* cache;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {runtime.c_str(), "/c", "/h", runtime + "/zobl_ge/"},
        {runtimeWithSlash.c_str(), nullptr, nullptr, runtime + "/zobl_ge/"},
        {shared.c_str(), "/c", "/h", "/c/zobl_ge/"},  // a runtime folder others can write
        {missing.c_str(), nullptr, "/h", "/h/.cache/zobl_ge/"},
        {"run", "cache", "/h/", "/h/.cache/zobl_ge/"},  // relative ones do not count
        {"", "", "", ""},
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrivateTemporaryFolder(c.runtime, c.cache, c.home), c.expected)
            << (c.runtime ? c.runtime : "null") << " " << (c.cache ? c.cache : "null");
    }
}

}  // namespace
}  // namespace zobl
