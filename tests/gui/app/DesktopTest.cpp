#include <gtest/gtest.h>

#include <fstream>

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QTreeWidgetItemIterator>

#include "GuiTestSupport.h"
#include "core/drawing/MouseMode.h"
#include "core/settings/DesktopRecord.h"
#include "core/settings/SettingsStore.h"
#include "core/vehicles/FgsFile.h"
#include "gui/app/DesktopPersistence.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;

class Desktop : public ::testing::Test, public test::AppFixture {
protected:
    QString WriteVehicleFile(const std::string& name) {
        VehicleDocument model;
        model.AddVehicleSet("Satz", kFreehand);
        model.AddCar(0, 0, "Lok", "", "", 4, nullptr, kFreehand);
        model.AddCar(0, 1, "Wagen", "", "", 2, nullptr, kFreehand);
        const std::vector<std::uint8_t> bytes = WriteFgs(model);
        const std::string path = folder.File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return QString::fromStdString(path);
    }
    // Puts bytes into the settings as the desktop record the next start finds.
    void StoreDesktopRecord(const std::vector<std::uint8_t>& bytes) {
        CBug1App& started = MakeApp();
        started.Store().WriteInt("DESKTOP", "size", int(bytes.size()));
        started.Store().WriteBinary("DESKTOP", "desktopdata", bytes);
        started.SaveSettings();
        started.ExitInstance();
        app.reset();
    }
    static std::vector<View*> ViewsOf(Document* document) { return document->Views(); }
    std::vector<Document*> Open(DocTemplate* docTemplate) const { return docTemplate->Documents(); }
};

TEST_F(Desktop, ANewStartFindsEveryDocumentWindowAndViewAgain) {
    const QString scenery = WriteSceneryFile("bahnhof.gs");
    const QString vehicles = QFileInfo(WriteVehicleFile("zug.fgs")).absoluteFilePath();
    QRect secondWindow;
    QPoint scrolled;
    {
        CBug1App& app = StartApp({scenery}, true);
        auto* doc = static_cast<CGSDoc*>(app.MainFrame()->ActiveDocument());
        app.SceneryTemplate()->CreateNewFrame(*doc);
        QCoreApplication::processEvents();
        auto* first = dynamic_cast<CGSView*>(doc->Views().at(0));
        first->SetZoom(3);
        first->ScrollTo({120, 40});
        scrolled = first->ScrollPosition();
        ASSERT_EQ(scrolled.x(), 120);  // the window is too high to scroll down
        CChildFrame* frame = app.MainFrame()->ActiveChildFrame();
        frame->showNormal();
        frame->setGeometry(30, 20, 400, 300);
        secondWindow = frame->geometry();
        QCoreApplication::processEvents();

        auto* fgs = static_cast<CFGSDoc*>(app.OpenDocumentFile(vehicles));
        ASSERT_NE(fgs, nullptr);
        auto* view = dynamic_cast<CFGSView*>(fgs->Views().front());
        view->Tree()->SelectItem(
            view->Tree()->CarItem(0, 1)->child(0));  // entry 9: set, car, 5 items, car, item
        view->CarEditor()->SetZoom(5);
        app.VehicleTemplate()->OpenDocumentFile(QString());  // never saved
        EndApp();
    }
    CBug1App& app = StartApp({}, true);
    ASSERT_EQ(Open(app.SceneryTemplate()).size(), 1u);
    Document* doc = Open(app.SceneryTemplate()).front();
    EXPECT_EQ(doc->PathName(), QFileInfo(scenery).absoluteFilePath());
    ASSERT_EQ(ViewsOf(doc).size(), 2u);
    auto* first = dynamic_cast<CGSView*>(ViewsOf(doc)[0]);
    EXPECT_EQ(first->Zoom(), 3);
    EXPECT_EQ(first->ScrollPosition(), scrolled);
    QWidget* second = ViewsOf(doc)[1]->Widget();
    while (second != nullptr && qobject_cast<CChildFrame*>(second) == nullptr) {
        second = second->parentWidget();
    }
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->geometry(), secondWindow);

    ASSERT_EQ(Open(app.VehicleTemplate()).size(), 2u);
    Document* saved = Open(app.VehicleTemplate())[0];
    EXPECT_EQ(saved->PathName(), vehicles);
    auto* view = dynamic_cast<CFGSView*>(ViewsOf(saved).front());
    const auto target = view->SelectedTarget();
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(target->set, 0);
    EXPECT_EQ(target->car, 1);
    EXPECT_TRUE(target->IsCarView());
    EXPECT_EQ(view->CarEditor()->Zoom(), 5);
    EXPECT_TRUE(Open(app.VehicleTemplate())[1]->PathName().isEmpty());
    EXPECT_TRUE(messages.entries.empty());
}

// A minimised window comes back minimised, a maximised one maximised, and each restores to the
// rectangle it had before.
TEST_F(Desktop, AMinimisedOrMaximisedWindowComesBackSoAndRestoresToItsRectangle) {
    const QRect normal(40, 30, 420, 260);
    const std::vector<int> cases[] = {{kShowMinimised}, {kShowMaximised}, {kShowMaximised, kShowMinimised}};
    for (const std::vector<int>& commands : cases) {
        const int last = commands.back();
        QFile::remove(SettingsFile());
        const QString path = WriteSceneryFile("a.gs");
        {
            CBug1App& app = StartApp({path}, true);
            CChildFrame* frame = app.MainFrame()->ActiveChildFrame();
            frame->setGeometry(normal);
            for (const int command : commands) {
                command == kShowMinimised ? frame->showMinimized() : frame->showMaximized();
            }
            QCoreApplication::processEvents();
            EndApp();
        }
        CBug1App& app = StartApp({}, true);
        QCoreApplication::processEvents();
        ASSERT_EQ(Open(app.SceneryTemplate()).size(), 1u);
        CChildFrame* frame = CChildFrame::FrameOf(ViewsOf(Open(app.SceneryTemplate()).front()).front());
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->isMinimized(), last == kShowMinimised) << commands.size() << last;
        EXPECT_EQ(frame->isMaximized(), last == kShowMaximised) << commands.size() << last;
        frame->showNormal();
        EXPECT_EQ(frame->geometry(), normal) << commands.size() << last;
        EndApp();
    }
}

TEST_F(Desktop, AMissingFileIsReportedOnceAndTheOthersComeBack) {
    const QString before = WriteSceneryFile("vorher.gs");
    const QString gone = WriteSceneryFile("weg.gs");
    const QString after = WriteSceneryFile("nachher.gs");
    StartApp({before}, true);
    app->OpenDocumentFile(gone);
    app->OpenDocumentFile(after);
    EndApp();
    QFile::remove(gone);
    const auto paths = [this] {
        QStringList open;
        for (Document* document : app->SceneryTemplate()->Documents()) {
            open << QFileInfo(document->PathName()).fileName();
        }
        return open;
    };
    StartApp({}, true);
    EXPECT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(paths(), (QStringList{"vorher.gs", "nachher.gs"}));
    // The record written at this close lacks the missing file: no second report.
    EndApp();
    StartApp({}, true);
    EXPECT_EQ(paths(), (QStringList{"vorher.gs", "nachher.gs"}));
    EXPECT_EQ(messages.entries.size(), 1u);
}

TEST_F(Desktop, ARecordThatFailsItsChecksIsIgnoredWhole) {
    // A valid record of one scenery document, then cut by a byte.
    DesktopRecord record;
    record.documents.push_back(
        {desktop::kSceneryKind, WriteSceneryFile("a.gs").toStdString(), {DesktopView{}}});
    std::vector<std::uint8_t> bytes = WriteDesktopRecord(record);
    bytes.pop_back();
    StoreDesktopRecord(bytes);
    CBug1App& app = StartApp({}, true);
    EXPECT_EQ(app.Documents().DocumentCount(), 0u);
    EXPECT_TRUE(messages.entries.empty());
}

// One file is open in one document at most: a record that lists it twice (under two spellings
// here) brings it back once, with the windows of both entries.
TEST_F(Desktop, AFileListedTwiceComesBackOnceWithTheWindowsOfBothEntries) {
    const std::string path = WriteSceneryFile("a.gs").toStdString();
    const auto window = [](int left, int top, int zoom) {
        DesktopView view;
        view.placement.showCommand = kShowNormal;
        view.placement.normalLeft = left;
        view.placement.normalTop = top;
        view.placement.normalRight = left + 300;
        view.placement.normalBottom = top + 200;
        view.state.zoom = zoom;
        return view;
    };
    DesktopRecord record;
    record.documents.push_back({desktop::kSceneryKind, path, {window(10, 10, 2)}});
    record.documents.push_back({desktop::kSceneryKind, folder.File("./a.gs"), {window(50, 40, 3)}});
    const std::vector<std::uint8_t> bytes = WriteDesktopRecord(record);
    StoreDesktopRecord(bytes);
    CBug1App& app = StartApp({}, true);
    ASSERT_EQ(app.Documents().DocumentCount(), 1u);
    Document* doc = Open(app.SceneryTemplate()).front();
    ASSERT_EQ(ViewsOf(doc).size(), 2u);
    const QRect expected[] = {QRect(10, 10, 300, 200), QRect(50, 40, 300, 200)};
    const int zooms[] = {2, 3};
    for (std::size_t j = 0; j < 2; ++j) {
        EXPECT_EQ(CChildFrame::FrameOf(ViewsOf(doc)[j])->geometry(), expected[j]) << j;
        EXPECT_EQ(dynamic_cast<CGSView*>(ViewsOf(doc)[j])->Zoom(), zooms[j]) << j;
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(Desktop, TheRecordIsWrittenBeforeTheQuestionsAndOnlyWithSaveDsk) {
    CBug1App& app = StartApp({WriteSceneryFile("a.gs")}, true);
    auto* document = static_cast<CGSDoc*>(app.MainFrame()->ActiveDocument());
    document->Model().SetPixel(0, 3, 0, 0, 5, MouseMode::Freehand);
    document->NotifyStateChanged();
    EXPECT_FALSE(app.MainFrame()->close());  // question 304 answered with cancel
    const auto stored = app.Store().ReadBinary("DESKTOP", "desktopdata");
    ASSERT_TRUE(stored.has_value());
    const std::optional<DesktopRecord> record = ReadDesktopRecord(*stored);
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->documents.size(), 1u);
    EXPECT_EQ(app.Store().ReadInt("DESKTOP", "size", -1), int(stored->size()));

    // Without SAVEDSK nothing is written or read.
    app.Settings().saveDsk = false;
    app.Store().Remove("DESKTOP", "desktopdata");
    messages.answers = {kAnswerNo};
    EXPECT_TRUE(app.MainFrame()->close());
    EXPECT_FALSE(app.Store().ReadBinary("DESKTOP", "desktopdata").has_value());
}

TEST_F(Desktop, APlacementOffEveryScreenComesOntoThePrimaryOne) {
    QWidget window;
    WindowPlacement placement;
    placement.showCommand = kShowNormal;
    placement.normalLeft = -6000;
    placement.normalTop = -5000;
    placement.normalRight = -5600;
    placement.normalBottom = -4700;
    ApplyPlacement(window, placement);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(available.intersects(window.geometry()));
    EXPECT_EQ(window.geometry().size(), QSize(400, 300));
    // On a screen: kept as it is.
    placement.normalLeft = available.left() + 10;
    placement.normalTop = available.top() + 20;
    placement.normalRight = placement.normalLeft + 300;
    placement.normalBottom = placement.normalTop + 200;
    ApplyPlacement(window, placement);
    EXPECT_EQ(window.geometry(), QRect(available.left() + 10, available.top() + 20, 300, 200));
    EXPECT_EQ(PlacementOf(window).normalRight, placement.normalRight);
}

}  // namespace
}  // namespace zobl
