// Saves of the editor under a disk that fills up part-way: the user is told, the previous file
// stays byte for byte, and the document stays modified.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "GuiTestSupport.h"
#include "core/common/FileSizeLimit.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/QtSettingsStore.h"
#include "gui/scenery/GSDoc.h"

namespace zobl {
namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FailingSaves : public ::testing::Test, public test::AppFixture {};

TEST_F(FailingSaves, SettingsKeepTheirFileWhenTheyCannotBeWritten) {
    const QString path = QString::fromStdString(folder.File("settings/zobl.ini"));
    QtSettingsStore store(path);
    for (int i = 0; i < 100; ++i) {
        store.WriteText("General", "Key" + std::to_string(i), "first value of some length");
    }
    ASSERT_TRUE(store.Sync());
    const QByteArray before = Bytes(path);
    ASSERT_GT(before.size(), 1000);
    const std::vector<std::string> names = test::FolderNames(folder.File("settings"));

    for (int i = 0; i < 100; ++i) {
        store.WriteText("General", "Key" + std::to_string(i), "second value, a little longer than the first");
    }
    for (const rlim_t limit : {rlim_t{0}, rlim_t{1000}}) {
        bool synced = true;
        test::WithFileSizeLimit(limit, [&] { synced = store.Sync(); });
        EXPECT_FALSE(synced) << limit;
        EXPECT_EQ(Bytes(path), before) << limit;
        EXPECT_EQ(test::FolderNames(folder.File("settings")), names) << limit;
    }
    QtSettingsStore again(path);
    EXPECT_EQ(again.ReadText("General", "Key7", ""), "first value of some length");
}

// A file cut short by a full disk loses the lines after the cut: that is a failed save, not a
// reason to drop the lines of others, wherever the cut falls.
TEST_F(FailingSaves, SettingsCutShortNeverCostLinesOfOthers) {
    const QString path = QString::fromStdString(folder.File("settings/zobl.ini"));
    QtSettingsStore other(path);
    for (int i = 0; i < 60; ++i) {
        other.WriteText("Recent File List", "File" + std::to_string(i), "/home/someone/drawing.gs");
    }
    ASSERT_TRUE(other.Sync());
    const QByteArray before = Bytes(path);
    QtSettingsStore store(path);
    store.WriteInt("General", "COLOR1", 7);
    for (const qint64 limit : {qint64(40), before.size() / 2, before.size() - 1, before.size() + 11}) {
        bool synced = true;
        test::WithFileSizeLimit(rlim_t(limit), [&] { synced = store.Sync(); });
        EXPECT_FALSE(synced) << limit;
        EXPECT_EQ(Bytes(path), before) << limit;
    }
    ASSERT_TRUE(store.Sync());
    EXPECT_EQ(QtSettingsStore(path).ReadText("Recent File List", "File59", ""), "/home/someone/drawing.gs");
}

// Two editors running at once write their settings at different times: each keeps what the other
// wrote to other keys, and a removed key stays removed.
TEST_F(FailingSaves, SettingsOfTwoEditorsAtOnceAreMerged) {
    const QString path = QString::fromStdString(folder.File("settings/zobl.ini"));
    QtSettingsStore first(path);
    QtSettingsStore second(path);
    first.WriteInt("General", "ZOOM", 3);
    first.WriteText("Recent File List", "File1", "/a b.gs");
    ASSERT_TRUE(first.Sync());
    second.WriteInt("General", "ZOOMCAR", 5);
    second.Remove("Recent File List", "File1");
    ASSERT_TRUE(second.Sync());

    QtSettingsStore again(path);
    EXPECT_EQ(again.ReadInt("General", "ZOOM", 0), 3);
    EXPECT_EQ(again.ReadInt("General", "ZOOMCAR", 0), 5);
    EXPECT_FALSE(again.Contains("Recent File List", "File1"));
    EXPECT_EQ(test::FolderNames(folder.File("settings")), std::vector<std::string>{"zobl.ini"});
}

// A line someone put into the settings file that Qt reads one way and writes another drops out
// (noted in the log) at the next save; it never stops the editor's own settings from being saved.
TEST_F(FailingSaves, ADamagedLineInTheSettingsFileDoesNotStopSaves) {
    struct Case {
        const char* line;
        bool dropped;
    };
    const Case cases[] = {
        {"=novalue", true},
        {"a//b=1", true},
        {"x\\\\y=1", true},
        {" =1", true},
        {"K=\"unterminated", true},                    // takes the lines after it along, commas and all
        {"\xff\xfe\x01\x80=\xc3, \xe2\x82\"x", true},  // garbage with a stray quote
        {"[broken", false},
        {"V=\\xd800", true},  // half of a UTF-16 pair
    };
    const std::vector<std::uint8_t> desktop = {0, 1, ',', '"', '\\', '\n', 0xFF};
    const QString path = QString::fromStdString(folder.File("settings/zobl.ini"));
    for (const Case& c : cases) {
        QFile file(path);
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[General]\nFOREIGN=kept\n") + c.line +
                   "\nCOLOR1=3\nFOLDER=\"/a, b/\"\n\n[DESKTOP]\nsize=7\ndesktopdata=@ByteArray(\\0\\x1)\n");
        file.close();
        test::LoggedWarnings warnings;
        const auto noted = [&] { return test::LoggedWarnings::Lines().filter(path).size(); };
        {
            QtSettingsStore store(path);
            store.WriteInt("General", "COLOR1", 7);
            store.WriteBinary("DESKTOP", "desktopdata", desktop);
            EXPECT_TRUE(store.Sync()) << c.line;
            EXPECT_EQ(noted(), c.dropped ? 1 : 0) << c.line;
        }
        QtSettingsStore again(path);
        EXPECT_EQ(again.ReadInt("General", "COLOR1", 0), 7) << c.line;
        EXPECT_EQ(again.ReadBinary("DESKTOP", "desktopdata"), desktop) << c.line;
        EXPECT_EQ(again.ReadText("General", "FOREIGN", ""), "kept") << c.line;
        // The next save has nothing left to drop.
        test::LoggedWarnings::Lines().clear();
        again.WriteInt("General", "COLOR2", 9);
        EXPECT_TRUE(again.Sync()) << c.line;
        EXPECT_EQ(noted(), 0) << c.line;
        EXPECT_EQ(QtSettingsStore(path).ReadInt("General", "COLOR2", 0), 9) << c.line;
    }
}

TEST_F(FailingSaves, ADocumentThatCannotBeSavedSaysSoAndStaysModified) {
    const QString path = WriteSceneryFile("a.gs");
    StartApp({path});
    auto* doc = static_cast<CGSDoc*>(app->Documents().Documents().at(0));
    ASSERT_TRUE(doc->Model().SetPixel(1, 0, 2, 2, 44, MouseMode::Freehand));
    doc->NotifyStateChanged();
    const QByteArray before = Bytes(path);

    bool saved = true;
    test::WithFileSizeLimit(1000, [&] { saved = doc->DoFileSave(); });
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 4);
    EXPECT_EQ(messages.entries[0].argument, path);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(test::FolderNames(QFileInfo(path).absolutePath().toStdString()),
              std::vector<std::string>{"a.gs"});

    EXPECT_TRUE(doc->DoFileSave());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_NE(Bytes(path), before);
}

}  // namespace
}  // namespace zobl
