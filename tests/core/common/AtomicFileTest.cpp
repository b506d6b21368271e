#include "core/common/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

void WriteRaw(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Number and argument of the MessageError that call throws; number 0 when it throws none.
template <typename Call>
std::pair<int, std::string> ErrorOf(Call call) {
    try {
        call();
    } catch (const MessageError& error) {
        return {error.Number(), error.Argument()};
    }
    return {0, {}};
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFile, WritesNewFilesAndReplacesOldOnesWithoutLeftovers) {
    TempFolder folder;
    const std::string path = folder.File("a.gs");
    WriteFileAtomically(path, Bytes("first version"));
    EXPECT_EQ(ReadWholeFile(path), Bytes("first version"));
    WriteFileAtomically(path, Bytes("second"));
    EXPECT_EQ(ReadWholeFile(path), Bytes("second"));
    WriteFileAtomically(path, {});
    EXPECT_TRUE(ReadWholeFile(path).empty());
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.gs"});

    // A new file gets the usual permissions, decided by the umask.
    const mode_t mask = ::umask(022);
    WriteFileAtomically(folder.File("b.gs"), Bytes("x"));
    ::umask(mask);
    struct stat info {};
    ASSERT_EQ(::stat(folder.File("b.gs").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFile, TargetThatCannotBeCreatedIsError3AndChangesNothing) {
    TempFolder folder;
    const std::string missing = folder.File("no such folder/a.gs");
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(missing, Bytes("x")); }), std::make_pair(3, missing));

    const std::string directory = folder.File("taken");
    fs::create_directory(directory);
    WriteRaw(directory + "/inside", "keep");
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(directory, Bytes("x")); }), std::make_pair(3, directory));
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"taken"});

    EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(folder.File("x/"), Bytes("x")); }).first, 3);

    if (::geteuid() != 0) {  // root writes into read-only folders anyway
        const std::string readOnly = folder.File("ro");
        fs::create_directory(readOnly);
        WriteRaw(readOnly + "/a.gs", "old");
        fs::permissions(readOnly, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(readOnly + "/a.gs", Bytes("new")); }),
                  std::make_pair(3, readOnly + "/a.gs"));
        fs::permissions(readOnly, fs::perms::owner_all);
        EXPECT_EQ(ReadWholeFile(readOnly + "/a.gs"), Bytes("old"));
        EXPECT_EQ(FolderEntries(readOnly), std::vector<std::string>{"a.gs"});
    }
}

TEST(AtomicFile, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.File("a.gs");
    WriteRaw(path, "old content");

    // A file size limit makes the write itself fail (with EFBIG instead of the signal).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    rlimit limited = previous;
    limited.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const auto error = ErrorOf([&] { WriteFileAtomically(path, std::vector<std::uint8_t>(5000, 'n')); });
    ::setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_EQ(error, std::make_pair(4, path));
    EXPECT_EQ(ReadWholeFile(path), Bytes("old content"));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"a.gs"});
}

TEST(AtomicFile, ReadWholeFileRefusesWhatIsNoReadableFileOfSaneSize) {
    TempFolder folder;
    const std::string missing = folder.File("missing.gs");
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(missing); }), std::make_pair(4, missing));
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(folder.Path().string()); }),
              std::make_pair(4, folder.Path().string()));

    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(fifo); }), std::make_pair(4, fifo));  // and does not hang

    const std::string big = folder.File("big");
    WriteRaw(big, std::string(101, 'b'));
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(big, 100); }), std::make_pair(4, big));
    EXPECT_EQ(ReadWholeFile(big, 101).size(), 101u);
}

}  // namespace
}  // namespace zobl
