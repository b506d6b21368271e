#include "core/common/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

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

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Every way of reaching a file through links: the link stays as it is, the file it leads to
// gets the new content, and no temporary file is left beside either.
TEST(AtomicFile, WritesThroughSymbolicLinksToTheirTarget) {
    struct Case {
        const char* what;
        const char* target;  // relative to the test folder
        bool targetExists;
        std::vector<std::pair<const char*, const char*>> links;  // (link, its text), the last one is written
    };
    const Case cases[] = {
        {"relative link", "real.gs", true, {{"link.gs", "real.gs"}}},
        {"link into a subfolder", "sub/real.gs", true, {{"link.gs", "sub/real.gs"}}},
        {"link out of a subfolder", "real.gs", true, {{"sub/link.gs", "../real.gs"}}},
        {"chain of links", "sub/real.gs", true, {{"sub/one.gs", "real.gs"}, {"two.gs", "sub/one.gs"}}},
        {"absolute link", "sub/real.gs", true, {{"link.gs", nullptr}}},
        {"dangling link", "sub/new.gs", false, {{"link.gs", "sub/new.gs"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        fs::create_directory(folder.Path() / "sub");
        const std::string target = folder.File(c.target);
        if (c.targetExists) {
            WriteRaw(target, "old");
        }
        for (const auto& [link, text] : c.links) {
            fs::create_symlink(text != nullptr ? fs::path(text) : fs::path(target), folder.Path() / link);
        }
        const std::string written = folder.File(c.links.back().first);
        const auto before = FolderEntries(folder.Path());
        const auto beforeSub = FolderEntries(folder.Path() / "sub");

        WriteFileAtomically(written, Bytes("new content"));

        EXPECT_EQ(ReadWholeFile(target), Bytes("new content"));
        for (const auto& [link, text] : c.links) {
            EXPECT_TRUE(fs::is_symlink(folder.Path() / link)) << link;
        }
        EXPECT_EQ(FolderEntries(folder.Path()), before);
        auto expectedSub = beforeSub;
        if (!c.targetExists) {
            expectedSub.push_back(fs::path(target).filename().string());
        }
        EXPECT_EQ(FolderEntries(folder.Path() / "sub"), expectedSub);
    }
}

TEST(AtomicFile, KeepsThePermissionBitsOfTheFileItReplaces) {
    // A mask that would give 0644 to a new file, so that kept bits cannot come from it.
    const mode_t mask = ::umask(022);
    for (const mode_t mode : {0640, 0600, 0604, 0755, 0200}) {
        SCOPED_TRACE(mode);
        TempFolder folder;
        const std::string path = folder.File("a.gs");
        WriteRaw(path, "old");
        ::chmod(path.c_str(), mode);
        WriteFileAtomically(path, Bytes("new"));
        EXPECT_EQ(ModeOf(path), mode);

        // The same through a link, and for both files of a pair.
        const std::string other = folder.File("b.gs");
        WriteRaw(other, "old");
        ::chmod(other.c_str(), 0660);
        fs::create_symlink("a.gs", folder.Path() / "link.gs");
        const std::vector<std::uint8_t> bytes = Bytes("pair");
        const FileToWrite pair[] = {{folder.File("link.gs"), bytes}, {other, bytes}};
        WriteFilesAtomically(pair);
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(ModeOf(other), 0660u);
        ::chmod(path.c_str(), 0600);
        EXPECT_EQ(ReadWholeFile(path), bytes);
        EXPECT_EQ(ReadWholeFile(other), bytes);
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"a.gs", "b.gs", "link.gs"}));
    }
    ::umask(mask);
}

TEST(AtomicFile, KeepsTheOwnerOfTheFileItReplaces) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to someone else";
    }
    TempFolder folder;
    const std::string path = folder.File("a.gs");
    WriteRaw(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    WriteFileAtomically(path, Bytes("new"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4322u);
}

// A file without any write permission is read-only to the editor, even for root (who could
// write it anyway): it is refused with error 3 and left exactly as it was.
TEST(AtomicFile, RefusesAReadOnlyFileWithError3) {
    for (const mode_t mode : {0444, 0400, 0500, 0000}) {
        SCOPED_TRACE(mode);
        TempFolder folder;
        const std::string path = folder.File("a.gs");
        WriteRaw(path, "old content");
        ::chmod(path.c_str(), mode);
        fs::create_symlink("a.gs", folder.Path() / "link.gs");
        const std::string other = folder.File("b.gs");
        WriteRaw(other, "other");

        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(path, Bytes("new")); }), std::make_pair(3, path));
        const std::string link = folder.File("link.gs");
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(link, Bytes("new")); }), std::make_pair(3, link));
        // A pair with one read-only file changes neither.
        const std::vector<std::uint8_t> bytes = Bytes("new");
        const FileToWrite pair[] = {{other, bytes}, {path, bytes}};
        EXPECT_EQ(ErrorOf([&] { WriteFilesAtomically(pair); }), std::make_pair(3, path));

        EXPECT_EQ(ModeOf(path), mode);
        ::chmod(path.c_str(), 0600);
        EXPECT_EQ(ReadWholeFile(path), Bytes("old content"));
        EXPECT_EQ(ReadWholeFile(other), Bytes("other"));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"a.gs", "b.gs", "link.gs"}));
    }
}

// What a FIFO delivers to its reader until the writer closes it; empty when no writer came
// within a few seconds.
std::string ReadFifo(int fd) {
    std::string got;
    for (;;) {
        pollfd wait{fd, POLLIN, 0};
        // Linux reports a hang-up only after a writer has come and gone.
        if (::poll(&wait, 1, 5000) <= 0) {
            return got;
        }
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, std::size_t(n));
        } else if (n == 0 || errno != EAGAIN) {
            return got;
        }
    }
}

TEST(AtomicFile, WritesPipesAndDevicesDirectly) {
    TempFolder folder;
    const std::string fifo = folder.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // More than a pipe holds, so that the write has to wait for the reader.
    std::string content(300000, 'p');
    for (std::size_t i = 0; i < content.size(); i += 7) {
        content[i] = char('a' + i % 26);
    }
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::string got;
    std::thread readerThread([&] { got = ReadFifo(reader); });
    const auto error = ErrorOf([&] { WriteFileAtomically(fifo, Bytes(content)); });
    readerThread.join();
    ::close(reader);
    EXPECT_EQ(error.first, 0);
    EXPECT_EQ(got.size(), content.size());
    EXPECT_TRUE(got == content);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"fifo"});

    // A device that is always full: the write error is reported and the device stays. Reached
    // through a link, so that a faulty version replaces the link and never the device.
    if (fs::is_character_file("/dev/full")) {
        const std::string full = folder.File("full");
        fs::create_symlink("/dev/full", full);
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(full, Bytes("data")); }), std::make_pair(4, full));
        // In a pair the device is written first, so that its failure leaves the other file alone.
        const std::vector<std::uint8_t> bytes = Bytes("data");
        const FileToWrite pair[] = {{folder.File("beside.gs"), bytes}, {full, bytes}};
        EXPECT_EQ(ErrorOf([&] { WriteFilesAtomically(pair); }), std::make_pair(4, full));
        EXPECT_TRUE(fs::is_symlink(full));
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
        for (const std::string& name : FolderEntries("/dev")) {
            EXPECT_FALSE(name.starts_with(".full.")) << name;
        }
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"fifo", "full"}));
    }
}

// Another local user shares a folder with the user (a sticky, world-writable one) and plants
// links and pipes at the names the user or the program is about to write. Nothing the planted
// things lead to may change, nothing may wait for a reader, and nothing may be left behind.
TEST(AtomicFile, RefusesLinksAndPipesPlantedAtTheName) {
    constexpr uid_t kOtherUser = 4242;
    const bool root = ::geteuid() == 0;
    enum class Planted {
        OthersLink,
        OthersDanglingLink,
        OwnLink,
        OwnDanglingLink,
        OwnPipe,
        OthersPipe,
        OthersFile
    };
    struct Case {
        const char* what;
        Planted planted;
        FileNaming naming;
        bool needsRoot;  // only root can make a link or a file that belongs to someone else
    };
    const Case cases[] = {
        {"another user's link, user's name", Planted::OthersLink, FileNaming::User, true},
        {"another user's dangling link, user's name", Planted::OthersDanglingLink, FileNaming::User, true},
        {"another user's pipe with a reader, user's name", Planted::OthersPipe, FileNaming::User, true},
        {"own pipe without a reader, user's name", Planted::OwnPipe, FileNaming::User, false},
        {"own link, program's name", Planted::OwnLink, FileNaming::Program, false},
        {"own dangling link, program's name", Planted::OwnDanglingLink, FileNaming::Program, false},
        {"own pipe, program's name", Planted::OwnPipe, FileNaming::Program, false},
        {"another user's file, program's name", Planted::OthersFile, FileNaming::Program, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !root) {
            continue;
        }
        TempFolder shared;
        TempFolder home;
        const std::string precious = home.File("precious.txt");
        WriteRaw(precious, "precious");
        const std::string target = shared.File("out.UZZ");
        int reader = -1;
        switch (c.planted) {
            case Planted::OthersLink:
            case Planted::OwnLink:
                fs::create_symlink(precious, target);
                break;
            case Planted::OthersDanglingLink:
            case Planted::OwnDanglingLink:
                fs::create_symlink(home.File("new.txt"), target);
                break;
            case Planted::OwnPipe:
            case Planted::OthersPipe:
                ASSERT_EQ(::mkfifo(target.c_str(), 0666), 0);
                if (c.planted == Planted::OthersPipe) {
                    reader = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                }
                break;
            case Planted::OthersFile:
                WriteRaw(target, "theirs");
                ::chmod(target.c_str(), 0666);
                break;
        }
        const bool others = c.planted == Planted::OthersLink || c.planted == Planted::OthersDanglingLink ||
                            c.planted == Planted::OthersPipe || c.planted == Planted::OthersFile;
        if (others) {
            ASSERT_EQ(::lchown(target.c_str(), kOtherUser, kOtherUser), 0);
        }
        const auto sharedBefore = FolderEntries(shared.Path());

        // Alone, and as the second file of a pair whose first file must then stay unwritten.
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomically(target, Bytes("clipboard bytes"), c.naming); }),
                  std::make_pair(3, target));
        const std::vector<std::uint8_t> bytes = Bytes("export");
        const FileToWrite pair[] = {{shared.File("out.UFG"), bytes, FileNaming::User},
                                    {target, bytes, c.naming}};
        EXPECT_EQ(ErrorOf([&] { WriteFilesAtomically(pair); }), std::make_pair(3, target));

        EXPECT_EQ(ReadWholeFile(precious), Bytes("precious"));
        EXPECT_FALSE(fs::exists(home.File("new.txt")));
        EXPECT_EQ(FolderEntries(home.Path()), std::vector<std::string>{"precious.txt"});
        EXPECT_EQ(FolderEntries(shared.Path()), sharedBefore);
        if (reader >= 0) {
            char byte = 0;
            EXPECT_LE(::read(reader, &byte, 1), 0);  // nothing reached the other user
            ::close(reader);
        }
    }
}

// The user's own link is still followed for a name the user chose (a file kept elsewhere), and
// the overwrite question learns where any link leads.
TEST(AtomicFile, ExistingTargetNamesWhatAWriteWouldReplace) {
    TempFolder folder;
    WriteRaw(folder.File("a.gs"), "a");
    fs::create_symlink("a.gs", folder.Path() / "link.gs");
    fs::create_symlink("sub/../none.gs", folder.Path() / "dangling.gs");
    fs::create_directory(folder.Path() / "sub");
    ASSERT_EQ(::mkfifo(folder.File("fifo").c_str(), 0600), 0);
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {folder.File("missing.gs"), std::nullopt},
        {folder.File("sub/missing/x.gs"), std::nullopt},
        {folder.File("a.gs"), folder.File("a.gs")},
        {folder.File("fifo"), folder.File("fifo")},
        {folder.File("link.gs"), folder.File("link.gs") + " -> " + folder.File("a.gs")},
        {folder.File("dangling.gs"), folder.File("dangling.gs") + " -> " + folder.File("none.gs")},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(ExistingTarget(path), expected) << path;
    }
}

// A program ended by a signal in the middle of a write leaves no temporary file: the pair's
// first file is in a temporary file while the second waits for a pipe's slow reader.
TEST(AtomicFile, TemporaryFilesGoWhenASignalEndsTheWrite) {
    TempFolder folder;
    const std::string fifo = folder.File("out.UZZ");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGTERM, [](int) {
            RemoveTemporaryFilesInProgress();
            ::_exit(0);
        });
        const std::vector<std::uint8_t> big(1 << 20, 1);  // more than the pipe holds
        const FileToWrite pair[] = {{folder.File("out.UFG"), big}, {fifo, big}};
        try {
            WriteFilesAtomically(pair);
        } catch (...) {
        }
        ::_exit(1);
    }
    // Wait until the first file's temporary file is there and the pipe is full.
    bool writing = false;
    for (int i = 0; i < 500 && !writing; ++i) {
        writing = FolderEntries(folder.Path()).size() == 2;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(writing);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(reader);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"out.UZZ"});
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
