

// The editor in a Wayland session: run by UnderWeston.sh in a weston of its own, with or without
// a seat.
#include <gtest/gtest.h>

#include <iostream>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

#include "GuiTestSupport.h"
#include "core/settings/DesktopRecord.h"
#include "core/settings/SettingsStore.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/WindowPlacement.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/FGSDoc.h"

namespace zobl {
namespace {

class WaylandSession : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
        StartApp({}, true);
        ASSERT_NE(app->MainFrame(), nullptr);
    }

    // A vehicle file with one set of one car, written by the core.
    QString WriteVehicleFile() {
        VehicleDocument vehicles;
        EXPECT_TRUE(vehicles.AddVehicleSet("Satz", MouseMode::Freehand));
        EXPECT_TRUE(vehicles.AddCar(0, 0, "Wagen", "", "", 2, nullptr, MouseMode::Freehand));
        const std::string path = folder.File("zug.fgs");
        SaveFgsFile(path, vehicles);
        return QString::fromStdString(path);
    }
    CGSView* OpenSample() {
        auto* doc = dynamic_cast<CGSDoc*>(app->OpenDocumentFile(QStringLiteral(ZOBL_SAMPLE_GS)));
        EXPECT_NE(doc, nullptr);
        QCoreApplication::processEvents();
        return doc != nullptr ? dynamic_cast<CGSView*>(doc->Views().front()) : nullptr;
    }
};

TEST_F(WaylandSession, ShowsItsMainWindowAndOpensBothKinds) {
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(app->MainFrame()));

    struct Case {
        QString path;
        bool scenery;
    };
    const Case cases[] = {{QStringLiteral(ZOBL_SAMPLE_GS), true}, {WriteVehicleFile(), false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Document* doc = app->OpenDocumentFile(c.path);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(dynamic_cast<CGSDoc*>(doc) != nullptr, c.scenery);
        EXPECT_EQ(dynamic_cast<CFGSDoc*>(doc) != nullptr, !c.scenery);
        ASSERT_FALSE(doc->Views().empty());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(doc->Views().front()->Widget()));
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST_F(WaylandSession, DrawsThroughTheViewAndCopiesToTheSystemClipboard) {
    CGSView* view = OpenSample();
    ASSERT_NE(view, nullptr);
    auto* doc = static_cast<CGSDoc*>(view->GetDocument());
    app->SetMouseMode(MouseMode::Freehand);
    const PixelAddress pixel{0, 3, 4, 4};
    const PaletteIndex before = doc->Model().GetPixel(pixel.symbol, pixel.row, pixel.x, pixel.y);
    app->SetColor1(before == 17 ? 18 : 17);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->WindowPointOf(pixel));
    EXPECT_EQ(doc->Model().GetPixel(pixel.symbol, pixel.row, pixel.x, pixel.y), app->GetColor1());

    const PixelPoint at = pixel.Absolute();
    view->SetMarkedArea(MarkedArea::Between(at, {at.x + 2, at.y + 1}));
    ASSERT_TRUE(view->OnCommand(ID_EDIT_COPY));
    QCoreApplication::processEvents();
    if (qEnvironmentVariableIsSet("ZOBL_TEST_NO_SEAT")) {
        // Offering a selection needs a seat, and weston's headless backend has none.
        std::cout << "[  NOTE    ] the compositor has no seat, so no clipboard: not checked\n";
        return;
    }
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(3, 2));
    const Rgb drawn = app->GetPalette().CurrentColour(app->GetColor1());
    EXPECT_EQ(copied.pixel(0, 0) & 0xFFFFFFu, qRgb(drawn.red, drawn.green, drawn.blue) & 0xFFFFFFu);
}

// Wayland tells a client neither where its window is nor the keyboard's lock states: a stored
// position and the lock indicators are passed over without a word.
TEST_F(WaylandSession, StoredPlacementsAndLockKeysPassQuietly) {
    for (const int show : {kShowNormal, kShowMaximised}) {
        SCOPED_TRACE(show);
        EndApp();
        DesktopRecord record;
        record.mainWindow.showCommand = show;
        record.mainWindow.normalLeft = 300;
        record.mainWindow.normalTop = 200;
        record.mainWindow.normalRight = 1000;
        record.mainWindow.normalBottom = 700;
        const std::vector<std::uint8_t> bytes = WriteDesktopRecord(record);
        CBug1App& stored = MakeApp();
        stored.Store().WriteInt("DESKTOP", "size", int(bytes.size()));
        stored.Store().WriteBinary("DESKTOP", "desktopdata", bytes);
        stored.SaveSettings();
        stored.ExitInstance();
        app.reset();

        const test::LoggedWarnings warnings;
        StartApp({}, true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(app->MainFrame()));
        QTest::qWait(100);  // the compositor's answer to a maximised window
        EXPECT_EQ(app->MainFrame()->isMaximized(), show == kShowMaximised);
        app->MainFrame()->UpdateLockIndicators();
        EXPECT_EQ(app->MainFrame()->IndicatorTexts(), QStringList({{}, {}, {}}));
        EXPECT_EQ(test::LoggedWarnings::Lines(), QStringList());
    }
}

TEST_F(WaylandSession, QuitsWithItsWindowsOpen) {
    ASSERT_NE(OpenSample(), nullptr);
    app->VehicleTemplate();
    ASSERT_NE(app->OpenDocumentFile(WriteVehicleFile()), nullptr);
    QCoreApplication::processEvents();
    EndApp();
    EXPECT_TRUE(messages.entries.empty());
}

}  // namespace
}  // namespace zobl
