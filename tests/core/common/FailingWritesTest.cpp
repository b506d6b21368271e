// Every writer of the program's files under a disk that fills up: the write fails part-way (or at
// its first byte), the writer reports an error, the previous file is left byte for byte, and no
// temporary file stays behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "FileSizeLimit.h"
#include "core/clipboard/Clippy.h"
#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"
#include "core/drawing/MouseMode.h"
#include "core/lang/LanguageManager.h"
#include "core/recovery/RecoveryFolder.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/UzgExport.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"

namespace zobl {
namespace {

namespace fs = std::filesystem;

constexpr MouseMode kMode = MouseMode::Freehand;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class FailingWrites : public ::testing::Test {
protected:
    FailingWrites() : language(folder.File("none.rtx")) {
        EXPECT_TRUE(scenery.SetPixel(2, 1, 3, 3, 44, kMode));
        EXPECT_TRUE(vehicles.AddVehicleSet("Zug", kMode));
        EXPECT_TRUE(vehicles.AddCar(0, 0, "Lok", "", "", 4, nullptr, kMode));
        EXPECT_TRUE(vehicles.SetPixel(0, 0, 1, 3, 2, 44, false, kMode));
        clipboard.SetSize(40, 40);
        for (int x = 0; x < 40; ++x) {
            for (int y = 0; y < 40; ++y) {
                clipboard.Set(x, y, PaletteIndex((x + y) % 100));
            }
        }
    }

    test::TempFolder folder;
    CLanguageManager language;
    SceneryDocument scenery;
    VehicleDocument vehicles;
    CClippy clipboard;
};

TEST_F(FailingWrites, EveryWriterReportsAndLeavesThePreviousFile) {
    const std::string dir = folder.File("out");
    const struct Writer {
        const char* what;
        std::vector<std::string> files;  // what the writer replaces, in dir
        std::function<void()> write;
    } writers[] = {
        {"graphic", {"a.gs"}, [&] { SaveGsFile(dir + "/a.gs", scenery); }},
        {"vehicles", {"a.fgs"}, [&] { SaveFgsFile(dir + "/a.fgs", vehicles); }},
        {"graphic export", {"a.uzg"}, [&] { ExportUzgFile(dir + "/a.uzg", scenery, language); }},
        {"vehicle export",
         {"a.UFG", "a.UZZ"},
         [&] { ExportVehicleFiles(dir + "/a", vehicles, language, ExportTime{}); }},
        {"clipboard file", {"zobl_ge.clipboard"}, [&] { clipboard.WriteFile(dir + "/zobl_ge.clipboard"); }},
    };
    for (const Writer& writer : writers) {
        for (const rlim_t limit : {rlim_t{0}, rlim_t{1000}}) {
            SCOPED_TRACE(std::string(writer.what) + ", limit " + std::to_string(limit));
            fs::remove_all(dir);
            fs::create_directories(dir);
            std::vector<std::string> previous;
            for (const std::string& file : writer.files) {
                previous.push_back("previous " + file);
                WriteBytes(dir + "/" + file, previous.back());
            }
            int error = 0;
            test::WithFileSizeLimit(limit, [&] {
                try {
                    writer.write();
                } catch (const MessageError& e) {
                    error = e.Number();
                }
            });
            EXPECT_TRUE(error == message::kFileError || error == message::kCannotCreateFile) << error;
            for (std::size_t i = 0; i < writer.files.size(); ++i) {
                EXPECT_EQ(ReadBytes(dir + "/" + writer.files[i]), previous[i]) << writer.files[i];
            }
            std::vector<std::string> expected = writer.files;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(test::FolderNames(dir), expected);

            // With room on the disk the same writer replaces the files: the limit made it fail.
            // (Every writer but the vehicle export's UZZ writes more than 1000 bytes, so the
            // second limit stops it part-way.)
            writer.write();
            for (std::size_t i = 0; i < writer.files.size(); ++i) {
                EXPECT_NE(ReadBytes(dir + "/" + writer.files[i]), previous[i]) << writer.files[i];
            }
        }
    }
}

TEST_F(FailingWrites, ARecoveryCopyThatCannotBeWrittenLeavesTheEarlierOne) {
    recovery::RecoverySession session(folder.File("recovery"));
    const recovery::CopyDescription first{recovery::DocumentKind::Scenery, "/a.gs", "a.gs", 1};
    const auto saveScenery = [&](const std::string& path) { SaveGsFile(path, scenery); };
    session.WriteCopy(1, first, saveScenery);
    const std::vector<std::string> names = test::FolderNames(session.Folder());
    const std::string copy = ReadBytes(session.Folder() + "/1.gs");
    const std::string description = ReadBytes(session.Folder() + "/1.ini");

    EXPECT_TRUE(scenery.SetPixel(5, 1, 3, 3, 45, kMode));
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1000}}) {
        bool reported = false;
        test::WithFileSizeLimit(limit, [&] {
            try {
                session.WriteCopy(1, {recovery::DocumentKind::Scenery, "/a.gs", "a.gs", 2}, saveScenery);
            } catch (const MessageError& e) {
                reported = e.Number() == message::kFileError;
            }
        });
        EXPECT_TRUE(reported) << limit;
        EXPECT_EQ(ReadBytes(session.Folder() + "/1.gs"), copy) << limit;
        EXPECT_EQ(ReadBytes(session.Folder() + "/1.ini"), description) << limit;
        EXPECT_EQ(test::FolderNames(session.Folder()), names) << limit;
    }
    session.WriteCopy(1, first, saveScenery);
    EXPECT_NE(ReadBytes(session.Folder() + "/1.gs"), copy);
}

}  // namespace
}  // namespace zobl
