#include "core/recovery/RecoveryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"

namespace zobl::recovery {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, std::string_view text) {
    WriteFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// A writer of copies that writes the given text.
std::function<void(const std::string&)> Writes(std::string text) {
    return [text](const std::string& path) { WriteText(path, text); };
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RecoveryRoot, FollowsTheBaseDirectoryRules) {
    const struct {
        const char* stateHome;
        const char* home;
        const char* root;
    } cases[] = {
        {"/x/state", "/home/u", "/x/state/zobl_ge/recovery"},
        {"/x/state/", "/home/u", "/x/state/zobl_ge/recovery"},
        {nullptr, "/home/u", "/home/u/.local/state/zobl_ge/recovery"},
        {"", "/home/u", "/home/u/.local/state/zobl_ge/recovery"},
        {"relative/state", "/home/u", "/home/u/.local/state/zobl_ge/recovery"},  // ignored, as the rules say
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecoveryRoot(c.stateHome, c.home), c.root)
            << (c.stateHome ? c.stateHome : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST(RecoveryDescription, ReadsWhatItWritesWhateverThePathHolds) {
    const CopyDescription cases[] = {
        {DocumentKind::Scenery, "/home/u/Grafik 1.gs", "Grafik 1.gs", 1765270000},
        {DocumentKind::Vehicles, "", "Fahrzeuge1", 0},
        {DocumentKind::Vehicles, "/t/\"quoted\" = 100% ;x", "\"quoted\"", -5},
        {DocumentKind::Scenery, "/t/line\nbreak\r\tand\x7f.gs",
         "Stra\xc3\x9f"
         "e",
         42},
        {DocumentKind::Scenery, "  /leading and trailing blanks  ", " ", 1},
    };
    for (const CopyDescription& c : cases) {
        const std::string text = FormatDescription(c);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << text;  // no break inside a value
        EXPECT_EQ(ParseDescription(text), c) << text;
    }
}

TEST(RecoveryDescription, ReadsAHandWrittenFileAndRefusesIncompleteOnes) {
    const std::optional<CopyDescription> read =
        ParseDescription("[Recovery]\r\nKind=fgs\r\nPath=\"/a/b%0Ac%25.fgs\"\r\nTitle=Zug\r\nSaved=17\r\n");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (CopyDescription{DocumentKind::Vehicles, "/a/b\nc%.fgs", "Zug", 17}));

    const char* refused[] = {
        "",
        "[Other]\nKind=gs\nPath=\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=png\nPath=\nTitle=\nSaved=1\n",
        "[Recovery]\nPath=\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=gs\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=gs\nPath=\nSaved=1\n",
        "[Recovery]\nKind=gs\nPath=\nTitle=\n",
        "[Recovery]\nKind=gs\nPath=\nTitle=\nSaved=1x\n",
        "[Recovery]\nKind=gs\nPath=\nTitle=\nSaved=99999999999999999999\n",
        "[Recovery]\nKind=gs\nPath=%4\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=gs\nPath=%zz\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=gs\nPath=%00\nTitle=\nSaved=1\n",
        "[Recovery]\nKind=gs\nPath=\nTitle=%4a\nSaved=1\n",  // lower-case hex is not ours
    };
    for (const char* text : refused) {
        EXPECT_FALSE(ParseDescription(text)) << text;
    }
    static constexpr char kWithNul[] = "[Recovery]\nKind=gs\nPath=/a\0b\nTitle=\nSaved=1\n";
    EXPECT_FALSE(ParseDescription(std::string_view(kWithNul, sizeof kWithNul - 1)));
}

class RecoveryFolderTest : public ::testing::Test {
protected:
    std::string Root() const { return folder.File("state/zobl_ge/recovery"); }

    // A session written by another process that then dies without its destructor running.
    void CrashedSession(int id, const CopyDescription& description, const std::string& copy,
                        const std::string& root = {}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto* session =
                new RecoverySession(root.empty() ? Root() : root);  // never deleted: the process dies
            session->WriteCopy(id, description, Writes(copy));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    test::TempFolder folder;
};

TEST_F(RecoveryFolderTest, ACopyLivesFromItsFirstWriteToItsRemoval) {
    auto session = std::make_unique<RecoverySession>(Root());
    EXPECT_TRUE(session->Folder().empty());  // nothing made for an editor without changes
    EXPECT_FALSE(fs::exists(Root()));

    const CopyDescription description{DocumentKind::Scenery, "/home/u/a.gs", "a.gs", 100};
    session->WriteCopy(3, description, Writes("first"));
    const std::string sessionFolder = session->Folder();
    EXPECT_EQ(fs::path(sessionFolder).parent_path(), fs::path(Root()));
    EXPECT_TRUE(fs::path(sessionFolder).filename().string().starts_with("session-"));
    EXPECT_EQ(Names(sessionFolder), (std::vector<std::string>{"3.gs", "3.ini", "lock"}));
    EXPECT_EQ(ReadText(sessionFolder + "/3.gs"), "first");
    EXPECT_EQ(ParseDescription(ReadText(sessionFolder + "/3.ini")), description);

    session->WriteCopy(3, description, Writes("second"));
    session->WriteCopy(4, {DocumentKind::Vehicles, "", "Fahrzeuge1", 101}, Writes("cars"));
    EXPECT_EQ(ReadText(sessionFolder + "/3.gs"), "second");
    EXPECT_TRUE(session->HasCopy(4));

    session->RemoveCopy(3);
    EXPECT_EQ(Names(sessionFolder), (std::vector<std::string>{"4.fgs", "4.ini", "lock"}));
    EXPECT_FALSE(session->HasCopy(3));

    // A running editor's folder is never taken by another.
    EXPECT_TRUE(TakeAbandonedSessions(Root()).empty());
    EXPECT_TRUE(fs::exists(sessionFolder + "/4.fgs"));

    session.reset();  // a normal end
    EXPECT_FALSE(fs::exists(sessionFolder));
}

TEST_F(RecoveryFolderTest, ACrashedSessionIsTakenOverOnceAndItsCopiesOffered) {
    const CopyDescription description{DocumentKind::Vehicles, "/home/u/zug.fgs", "zug.fgs", 200};
    CrashedSession(7, description, "cars");

    RecoverySession running(Root());
    running.WriteCopy(1, {DocumentKind::Scenery, "", "Grafik1", 1}, Writes("mine"));

    auto sessions = TakeAbandonedSessions(Root());
    ASSERT_EQ(sessions.size(), 1u);
    ASSERT_EQ(sessions[0]->Copies().size(), 1u);
    const RecoveryCopy& copy = sessions[0]->Copies()[0];
    EXPECT_EQ(copy.id, 7);
    EXPECT_EQ(copy.description, description);
    EXPECT_EQ(ReadText(copy.copyPath), "cars");
    EXPECT_NE(sessions[0]->Folder(), running.Folder());

    // While this editor holds it, a second one starting now finds nothing.
    EXPECT_TRUE(TakeAbandonedSessions(Root()).empty());

    // Left for later: the folder stays and is offered again.
    const std::string abandoned = sessions[0]->Folder();
    sessions.clear();
    EXPECT_TRUE(fs::exists(abandoned));
    sessions = TakeAbandonedSessions(Root());
    ASSERT_EQ(sessions.size(), 1u);

    // Discarded: the files go, and with the last copy the folder.
    sessions[0]->Discard(7);
    EXPECT_TRUE(sessions[0]->Copies().empty());
    EXPECT_EQ(Names(abandoned), (std::vector<std::string>{"lock"}));
    sessions.clear();
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_TRUE(fs::exists(running.Folder() + "/1.gs"));
}

TEST_F(RecoveryFolderTest, IncompleteCopiesAreNotOfferedAndEmptyFoldersGo) {
    CrashedSession(1, {DocumentKind::Scenery, "/a.gs", "a.gs", 1}, "a");
    CrashedSession(2, {DocumentKind::Scenery, "/b.gs", "b.gs", 1}, "b");
    auto sessions = TakeAbandonedSessions(Root());
    ASSERT_EQ(sessions.size(), 2u);
    const std::string withoutDescription = sessions[0]->Folder();
    const std::string withoutCopy = sessions[1]->Folder();
    sessions.clear();
    fs::remove(withoutDescription + "/1.ini");  // the crash came between copy and description
    fs::remove(withoutCopy + "/2.gs");
    WriteText(withoutCopy + "/9.ini", "damaged");
    WriteText(withoutCopy + "/09.ini", ReadText(withoutCopy + "/2.ini"));  // no name we write
    fs::create_directories(Root() + "/.new-1-abc");                        // a folder being made
    fs::create_directories(Root() + "/unrelated");

    EXPECT_TRUE(TakeAbandonedSessions(Root()).empty());
    EXPECT_FALSE(fs::exists(withoutDescription));
    EXPECT_FALSE(fs::exists(withoutCopy));
    EXPECT_TRUE(fs::exists(Root() + "/.new-1-abc"));
    EXPECT_TRUE(fs::exists(Root() + "/unrelated"));
}

TEST_F(RecoveryFolderTest, AFailedWriteKeepsTheEarlierCopy) {
    RecoverySession session(Root());
    const CopyDescription description{DocumentKind::Scenery, "/a.gs", "a.gs", 1};
    session.WriteCopy(1, description, Writes("good"));
    EXPECT_THROW(
        session.WriteCopy(1, {DocumentKind::Scenery, "/a.gs", "a.gs", 2},
                          [](const std::string& path) { throw MessageError(message::kFileError, path); }),
        MessageError);
    EXPECT_EQ(ReadText(session.Folder() + "/1.gs"), "good");
    EXPECT_EQ(ParseDescription(ReadText(session.Folder() + "/1.ini")), description);

    // No folder can be made where a file stands: error 3, and nothing was made.
    WriteText(folder.File("blocked"), "x");
    RecoverySession blocked(folder.File("blocked") + "/recovery");
    try {
        blocked.WriteCopy(1, description, Writes("x"));
        ADD_FAILURE() << "no error";
    } catch (const MessageError& error) {
        EXPECT_EQ(error.Number(), message::kCannotCreateFile);
    }
    EXPECT_TRUE(blocked.Folder().empty());
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

TEST_F(RecoveryFolderTest, StateFoldersAreTheUsersAloneWhateverTheUmask) {
    const mode_t umask = ::umask(0);
    {
        RecoverySession session(Root());
        session.WriteCopy(1, {DocumentKind::Scenery, "", "a", 1}, Writes("x"));
        for (const std::string& made : {folder.File("state/zobl_ge"), Root(), session.Folder()}) {
            EXPECT_EQ(ModeOf(made), 0700u) << made;
        }
    }
    ::umask(umask);

    // A root that others can write is refused: error 3 naming it, and nothing is put there.
    ::chmod(Root().c_str(), 0777);
    RecoverySession refused(Root());
    int number = 0;
    std::string argument;
    try {
        refused.WriteCopy(1, {DocumentKind::Scenery, "", "a", 1}, Writes("x"));
    } catch (const MessageError& error) {
        number = error.Number();
        argument = error.Argument();
    }
    EXPECT_EQ(number, message::kCannotCreateFile);
    EXPECT_EQ(argument, Root());
    EXPECT_TRUE(refused.Folder().empty());
    EXPECT_EQ(Names(Root()), std::vector<std::string>{});
}

TEST_F(RecoveryFolderTest, OnlyAPathThatCouldBeTheDocumentsOwnFileIsKept) {
    const std::string gs = folder.File("a.gs");
    WriteText(gs, "x");
    WriteText(folder.File("precious.txt"), "x");
    fs::create_directory(folder.File("folder.gs"));
    ASSERT_EQ(::mkfifo(folder.File("pipe.gs").c_str(), 0600), 0);
    fs::create_symlink(gs, folder.File("link.gs"));
    fs::create_symlink(folder.File("gone.gs"), folder.File("dangling.gs"));
    const struct {
        std::string path;
        DocumentKind kind;
        bool usable;
    } cases[] = {
        {gs, DocumentKind::Scenery, true},
        {folder.File("deleted since.gs"), DocumentKind::Scenery, true},
        {folder.File("ZUG.FGS"), DocumentKind::Vehicles, true},
        {folder.File("link.gs"), DocumentKind::Scenery, true},
        {gs, DocumentKind::Vehicles, false},
        {folder.File("precious.txt"), DocumentKind::Scenery, false},
        {"a.gs", DocumentKind::Scenery, false},
        {folder.File("folder.gs"), DocumentKind::Scenery, false},
        {folder.File("pipe.gs"), DocumentKind::Scenery, false},
        {folder.File("dangling.gs"), DocumentKind::Scenery, false},
        {"/dev/null", DocumentKind::Scenery, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUsableOriginalPath(c.path, c.kind), c.usable) << c.path;
    }
}

// A crafted description, or a folder someone else could have prepared, is not taken as it stands.
TEST_F(RecoveryFolderTest, TakesOverOnlyWhatNoOtherUserCouldHavePrepared) {
    const std::string precious = folder.File("victim/precious.txt");
    fs::create_directories(folder.File("victim"));
    WriteText(precious, "precious");
    const auto none = [](const fs::path&, const fs::path&) {};
    struct Case {
        const char* name;
        std::string path;  // recorded original path
        std::function<void(const fs::path& root, const fs::path& session)> prepare;
        bool offered;
        std::string offeredPath;
        bool needsRoot = false;
    };
    const Case cases[] = {
        {"a path of another kind", precious, none, true, ""},
        {"a usable path", folder.File("a.gs"), none, true, folder.File("a.gs")},
        {"recovery/ open to all", "",
         [](const fs::path& root, const fs::path&) { ::chmod(root.c_str(), 0777); }, false, ""},
        {"zobl_ge/ open to all", "",
         [](const fs::path& root, const fs::path&) { ::chmod(root.parent_path().c_str(), 0777); }, false, ""},
        {"a session folder open to all", "",
         [](const fs::path&, const fs::path& session) { ::chmod(session.c_str(), 0777); }, false, ""},
        {"a session folder that is a link", "",
         [](const fs::path& root, const fs::path& session) {
             fs::rename(session, root.parent_path() / "elsewhere");
             fs::create_directory_symlink(root.parent_path() / "elsewhere", session);
         },
         false, ""},
        {"a lock that is a pipe", "",
         [](const fs::path&, const fs::path& session) {
             fs::remove(session / "lock");
             ::mkfifo((session / "lock").c_str(), 0600);
         },
         false, ""},
        {"another user's session folder", "",
         [](const fs::path&, const fs::path& session) { ASSERT_EQ(::chown(session.c_str(), 4242, 4242), 0); },
         false, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && ::geteuid() != 0) {
            continue;  // giving a folder away needs root
        }
        test::TempFolder state;
        const std::string root = state.File("zobl_ge/recovery");
        CrashedSession(1, {DocumentKind::Scenery, c.path, "a.gs", 1}, "copy", root);
        ASSERT_EQ(Names(root).size(), 1u);
        const fs::path session = fs::path(root) / Names(root).front();
        c.prepare(root, session);

        const auto sessions = TakeAbandonedSessions(root);
        if (c.offered) {
            ASSERT_EQ(sessions.size(), 1u);
            ASSERT_EQ(sessions[0]->Copies().size(), 1u);
            EXPECT_EQ(sessions[0]->Copies()[0].description.originalPath, c.offeredPath);
        } else {
            EXPECT_TRUE(sessions.empty());
        }
        EXPECT_TRUE(fs::exists(session / "1.gs"));  // what is refused stays as it was
    }
    EXPECT_EQ(ReadText(precious), "precious");
}

}  // namespace
}  // namespace zobl::recovery
