#include <gtest/gtest.h>

#include <fstream>

#include <QFile>
#include <QFileInfo>

#include "GuiTestSupport.h"
#include "core/scenery/SceneryRules.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/View.h"
#include "gui/scenery/GSDoc.h"

namespace zobl {
namespace {

class HintRecorder : public QWidget, public View {
public:
    QWidget* Widget() override { return this; }
    void OnUpdate(View*, int hint, HintRecord* record) override {
        hints.push_back(hint);
        records.push_back(record);
    }
    std::vector<int> hints;
    std::vector<HintRecord*> records;
};

class GSDoc : public ::testing::Test, public test::AppFixture {
protected:
    CGSDoc* Open(const QString& path) { return static_cast<CGSDoc*>(app->OpenDocumentFile(path)); }
};

TEST_F(GSDoc, UpdateActionsBecomeViewHints) {
    StartApp();
    CGSDoc* document = Open(WriteSceneryFile("a.gs"));
    ASSERT_NE(document, nullptr);
    HintRecorder recorder;
    document->AddView(&recorder);
    for (const int action : {1, 2, 4, 8, 3, 16, 0}) {
        EXPECT_TRUE(document->UpdateDoc(action, 0));
    }
    EXPECT_EQ(recorder.hints, (std::vector<int>{1, 2, 10, 17}));
    for (HintRecord* record : recorder.records) {
        EXPECT_EQ(record, nullptr);
    }
    document->RemoveView(&recorder);
}

TEST_F(GSDoc, NewDocumentsAreNamedFromTheLanguageFile) {
    StartApp();
    // What "Neu" makes once the scenery kind is chosen.
    Document* document = app->Documents().NewDocument(*app->SceneryTemplate());
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->Title(), QStringLiteral("Neue Grafik"));
    EXPECT_TRUE(document->PathName().isEmpty());
    EXPECT_FALSE(document->IsModified());
    // The save prompt proposes the title up to its first blank.
    EXPECT_EQ(document->ProposedSaveName(), QStringLiteral("Neue.gs"));
}

TEST_F(GSDoc, NoSceneryFileIsErrorTwoADamagedOneFourAndWhatItGaveMayOpenUntitled) {
    StartApp();
    QFile file(WriteSceneryFile("gut.gs"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string good = file.readAll().toStdString();
    // The drawn pixel (3, 3, 1, 1) lies 34,657 bytes into the store, which starts at byte 506.
    const std::string cutInPixels = good.substr(0, 506 + 34'657 + 10);
    const struct {
        const char* name;
        std::string bytes;
        int answer;
        std::vector<int> messages;  // error 2 names the file, error 4 and question 310 its path
    } cases[] = {
        {"unknown version", "TRAK User Graphics File\x1A\x09\x07", 0, {2}},
        {"cut in its dimensions", good.substr(0, 30), 0, {4}},
        {"cut in its pixels, no", cutInPixels, kAnswerNo, {4, 310}},
        {"cut in its pixels, yes", cutInPixels, kAnswerYes, {4, 310}},
    };
    const std::string path = folder.File("kaputt.gs");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        messages.entries.clear();
        messages.answers = {c.answer};
        CGSDoc* document = Open(QString::fromStdString(path));
        EXPECT_EQ(messages.Numbers(), c.messages);
        EXPECT_EQ(messages.entries[0].argument,
                  c.messages[0] == 2 ? QStringLiteral("kaputt.gs") : QString::fromStdString(path));
        ASSERT_EQ(document != nullptr, c.answer == kAnswerYes);
        if (document != nullptr) {
            // A new document, never the damaged file.
            EXPECT_TRUE(document->PathName().isEmpty());
            EXPECT_EQ(document->Title(), QStringLiteral("Neue Grafik"));
            EXPECT_TRUE(document->IsModified());
            EXPECT_EQ(document->Model().GetPixel(3, 3, 1, 1), 23);
            EXPECT_TRUE(app->RecentFiles().Files().empty());
        }
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.bytes);
    }
}

TEST_F(GSDoc, OpeningAppliesTheFolderWithAutoApplyFolders) {
    CBug1App& started = StartApp();
    const QString path = WriteSceneryFile("a.gs");
    ASSERT_NE(Open(path), nullptr);
    EXPECT_EQ(started.Settings().openFolder, QFileInfo(path).absolutePath().toStdString() + "/");
}

TEST_F(GSDoc, UndoRedoAndSaveThroughTheCommands) {
    StartApp();
    const QString path = WriteSceneryFile("a.gs");
    CGSDoc* document = Open(path);
    ASSERT_NE(document, nullptr);
    HintRecorder recorder;
    document->AddView(&recorder);
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());

    document->Model().SetPixel(5, 3, 2, 2, 44, MouseMode::Freehand);
    document->NotifyStateChanged();
    EXPECT_TRUE(document->IsModified());
    ASSERT_TRUE(Command(ID_EDIT_UNDO));
    EXPECT_EQ(document->Model().GetPixel(5, 3, 2, 2), 56);
    EXPECT_EQ(recorder.hints.back(), hint::kPixelsChanged);
    EXPECT_TRUE(Action(ID_EDIT_REDO)->isEnabled());
    ASSERT_TRUE(Command(ID_EDIT_REDO));
    EXPECT_EQ(document->Model().GetPixel(5, 3, 2, 2), 44);

    ASSERT_TRUE(Command(ID_FILE_SAVE));
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(messages.entries.empty());
    SceneryDocument reread;
    ReadGsFile(path.toStdString(), reread);
    EXPECT_EQ(reread.GetPixel(5, 3, 2, 2), 44);
    document->RemoveView(&recorder);
}

TEST_F(GSDoc, AFailedSaveReportsErrorFourAndKeepsTheDocumentModified) {
    StartApp();
    CGSDoc* document = Open(WriteSceneryFile("a.gs"));
    ASSERT_NE(document, nullptr);
    document->Model().SetPixel(5, 3, 2, 2, 44, MouseMode::Freehand);
    const QString unwritable = QString::fromStdString(folder.File("fehlt/a.gs"));
    EXPECT_FALSE(document->DoSave(unwritable));
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{4}));
    EXPECT_EQ(messages.entries[0].argument, unwritable);
    EXPECT_TRUE(document->IsModified());
    EXPECT_NE(document->PathName(), unwritable);
}

}  // namespace
}  // namespace zobl
