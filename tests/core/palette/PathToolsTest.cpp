#include <gtest/gtest.h>

#include <filesystem>

#include "core/palette/PathTools.h"

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

}  // namespace
}  // namespace zobl
