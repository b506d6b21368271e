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

TEST_F(GSDoc, AFileOfUnknownFormatReportsErrorTwoThenFour) {
    StartApp();
    const std::string path = folder.File("kaputt.gs");
    std::ofstream(path, std::ios::binary) << "TRAK User Graphics File\x1A\x09\x07";
    EXPECT_EQ(Open(QString::fromStdString(path)), nullptr);
    ASSERT_EQ(messages.entries.size(), 2u);
    EXPECT_EQ(messages.entries[0].number, 2);
    EXPECT_EQ(messages.entries[0].argument, QStringLiteral("kaputt.gs"));
    EXPECT_EQ(messages.entries[1].number, 4);
    EXPECT_EQ(messages.entries[1].argument, QString::fromStdString(path));
    EXPECT_EQ(app->Documents().DocumentCount(), 0u);

    // A cut file: error 4 alone.
    messages.entries.clear();
    const QString good = WriteSceneryFile("gut.gs");
    QFile file(good);
    ASSERT_TRUE(file.resize(100));
    EXPECT_EQ(Open(good), nullptr);
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{4}));
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

    document->Model().SetPixel(5, 3, 2, 2, 44, 1);
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
    document->Model().SetPixel(5, 3, 2, 2, 44, 1);
    const QString unwritable = QString::fromStdString(folder.File("fehlt/a.gs"));
    EXPECT_FALSE(document->DoSave(unwritable));
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{4}));
    EXPECT_EQ(messages.entries[0].argument, unwritable);
    EXPECT_TRUE(document->IsModified());
    EXPECT_NE(document->PathName(), unwritable);
}

}  // namespace
}  // namespace zobl
