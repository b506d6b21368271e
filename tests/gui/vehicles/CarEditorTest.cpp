#include <gtest/gtest.h>

#include <random>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

constexpr PaletteIndex kColour1 = 17;
constexpr PaletteIndex kColour2 = 30;

// A car of length 4 whose view 2 (32 x 14) is shown in the car editor at zoom 4.
class CarEditor : public ::testing::Test, public test::AppFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartActiveApp());
        doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        ASSERT_TRUE(model.AddVehicleSet("S", MouseMode::Freehand));
        ASSERT_TRUE(model.AddCar(0, 0, "Lok", "", "", 4, nullptr, MouseMode::Freehand));
        model.ResetUndoHistory();
        model.Notify({VehicleHintCode::RebuildAll});
        view = dynamic_cast<CFGSView*>(doc->Views().front());
        view->resize(700, 400);
        ShowView(6);
        editor = view->CarEditor();
        editor->SetZoom(4);
        app->SetColor1(kColour1);
        app->SetColor2(kColour2);
        QCoreApplication::processEvents();
    }
    // The car's child item with this image.
    void ShowView(int image) {
        QTreeWidgetItem* car = view->Tree()->CarItem(0, 0);
        for (int k = 0; k < car->childCount(); ++k) {
            if (VehicleTree::TargetOf(car->child(k))->image == image) {
                view->Tree()->SelectItem(car->child(k));
            }
        }
    }
    void Mode(MouseMode mode) { app->SetMouseMode(mode); }
    QPoint At(int x, int y) const { return editor->WindowPointOf({x, y}); }
    PaletteIndex Px(int x, int y) const { return doc->Model().GetPixel(0, 0, 2, x, y); }
    void Click(Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(editor->viewport(), button, keys, at);
    }
    void Drag(Qt::MouseButton button, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(editor->viewport(), button, keys, from);
        QTest::mouseMove(editor->viewport(), to);
        QTest::mouseRelease(editor->viewport(), button, keys, to);
    }
    QImage Grab() const {
        QImage image(400, 120, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        editor->PaintView(painter, image.rect());
        return image;
    }

    CFGSDoc* doc = nullptr;
    CFGSView* view = nullptr;
    CCarEdi* editor = nullptr;
};

TEST_F(CarEditor, ClicksHitThePixelUnderThePointer) {
    Mode(MouseMode::Freehand);
    Click(Qt::LeftButton, QPoint(9, 5));  // zoom 4, no scrolling: pixel (2, 1)
    EXPECT_EQ(Px(2, 1), kColour1);
    // Beside the picture nothing happens.
    Click(Qt::LeftButton, QPoint(32 * 4 + 3, 5));
    EXPECT_EQ(doc->Model().UndoCount(), 1);
    EXPECT_TRUE(view->CarEditorArea()->isVisible());
}

TEST_F(CarEditor, GridsOverTheCarViewFollowZoomAndSegments) {
    // View 2 is 32 x 14 pixels in segments of 8 columns; every pixel painted one colour.
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 32; ++x) {
            doc->Model().SetPixel(0, 0, 2, x, y, kColour1, false, MouseMode::Freehand);
        }
    }
    GeneralSettings& settings = app->Settings();
    settings.gridCol = {10, 200, 30};
    settings.cellGridCol = {200, 10, 130};
    const QRgb pixelLine = qRgb(10, 200, 30);
    const QRgb cellLine = qRgb(200, 10, 130);
    const Rgb c = app->GetPalette().CurrentColour(kColour1);
    const QRgb painted = qRgb(c.red, c.green, c.blue);
    struct Case {
        int zoom;
        bool pixels;
        bool cells;
        QPoint probe;
        QRgb expected;
    };
    const Case cases[] = {
        {4, false, false, {4 * 5, 9}, painted},   // both off
        {3, true, false, {3 * 5, 7}, painted},    // below the threshold
        {4, true, false, {4 * 5, 9}, pixelLine},  // between pixels 4 and 5
        {10, true, false, {10 * 7, 25}, pixelLine},
        {10, true, false, {10 * 7 + 5, 25}, painted},
        {4, false, true, {4 * 8, 9}, cellLine},  // segment border, over the dotted one
        {4, false, true, {4 * 32 - 1, 9}, cellLine},
        {4, false, true, {4 * 5 + 1, 4 * 14 - 1}, cellLine},
        {1, false, true, {15, 5}, painted},
        {4, true, true, {4 * 16, 9}, cellLine},  // cells over pixels
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << k.zoom << " pixels " << k.pixels << " cells " << k.cells
                                        << " at " << k.probe.x() << "," << k.probe.y());
        settings.pixelGrid = k.pixels;
        settings.cellGrid = k.cells;
        editor->SetZoom(k.zoom);
        app->UpdateAllDocuments(nullptr, 1, 0);  // as the menu does
        EXPECT_EQ(Grab().pixel(k.probe) | 0xFF000000u, k.expected);
    }
}

TEST_F(CarEditor, EveryToolWithEitherButton) {
    struct Case {
        MouseMode mode;
        Qt::MouseButton button;
        Qt::KeyboardModifiers keys;
        PixelPoint probe;  // after a drag from (1, 1) to (5, 3)
        PaletteIndex expected;
    };
    const Case cases[] = {
        {MouseMode::Freehand, Qt::RightButton, {}, {1, 1}, kColour2},  // colour 2 from the first pixel on
        {MouseMode::Freehand, Qt::LeftButton, {}, {3, 2}, kColour1},   // the stroke is joined
        {MouseMode::Line, Qt::RightButton, {}, {3, 2}, kColour2},
        {MouseMode::Line, Qt::LeftButton, {}, {5, 3}, kColour1},
        {MouseMode::Rectangle, Qt::RightButton, {}, {1, 3}, kColour2},
        {MouseMode::ReplaceColor, Qt::LeftButton, {}, {3, 2}, kColour1},  // transparent along the drag
        {MouseMode::ReplaceColor, Qt::RightButton, {}, {1, 1}, kColour2},
        {MouseMode::Rectangle, Qt::LeftButton, {}, {5, 2}, kColour1},
        {MouseMode::Rectangle, Qt::LeftButton, {}, {3, 2}, TransparentIndex},
        {MouseMode::FilledRectangle, Qt::RightButton, {}, {3, 2}, kColour2},
        {MouseMode::FilledRectangle, Qt::RightButton, Qt::ControlModifier, {1, 3}, kColour1},
        {MouseMode::Fill, Qt::RightButton, {}, {31, 13}, kColour2},
        {MouseMode::Fill, Qt::LeftButton, {}, {0, 13}, kColour1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        // A fresh transparent view for every case.
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 32; ++x) {
                doc->Model().SetPixel(0, 0, 2, x, y, TransparentIndex, false, MouseMode::View);
            }
        }
        ShowView(6);
        app->SetColor1(kColour1);
        app->SetColor2(kColour2);
        Mode(c.mode);
        Drag(c.button, At(1, 1), At(5, 3), c.keys);
        EXPECT_EQ(Px(c.probe.x, c.probe.y), c.expected);
    }
}

TEST_F(CarEditor, AStrokeThatLeavesThePictureJoinsNothingAcrossTheExcursion) {
    // Pressed at (2, 4), out below the picture, back in at (25, 6): two pixels, no line.
    Mode(MouseMode::Freehand);
    QTest::mousePress(editor->viewport(), Qt::LeftButton, {}, At(2, 4));
    QTest::mouseMove(editor->viewport(), QPoint(At(2, 4).x(), 14 * 4 + 6));
    QTest::mouseMove(editor->viewport(), At(25, 6));
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, At(25, 6));
    EXPECT_EQ(Px(2, 4), kColour1);
    EXPECT_EQ(Px(25, 6), kColour1);
    for (int x = 0; x < 25; ++x) {
        EXPECT_EQ(Px(x, 6), TransparentIndex) << x;
    }
}

TEST_F(CarEditor, ColourToolsMarkAndZoom) {
    doc->Model().SetPixel(0, 0, 2, 4, 4, 40, false, MouseMode::View);
    // Replace colour: the pressed pixel's colour becomes the other button's.
    Mode(MouseMode::ReplaceColor);
    Click(Qt::RightButton, At(4, 4));
    EXPECT_EQ(app->GetColor1(), 40);
    EXPECT_EQ(Px(4, 4), kColour2);
    // The pipette takes a colour and goes back to the mode before it.
    Mode(MouseMode::Mark);
    Mode(MouseMode::PickColor);
    Click(Qt::LeftButton, At(4, 4));
    EXPECT_EQ(app->GetColor1(), kColour2);
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Mark);
    // A double-click with the pipette picks once: its second click does not mark.
    Mode(MouseMode::PickColor);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, At(4, 4));
    QMouseEvent second(QEvent::MouseButtonDblClick, At(4, 4), editor->viewport()->mapToGlobal(At(4, 4)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &second);
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, At(4, 4));
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Mark);
    EXPECT_FALSE(editor->MarkRect().has_value());
    // Marking: the extent shows from the press on, the mark is normalised.
    QTest::mousePress(editor->viewport(), Qt::LeftButton, {}, At(6, 5));
    EXPECT_EQ(app->MainFrame()->MessageText(), QStringLiteral("1x1"));
    QTest::mouseMove(editor->viewport(), At(2, 3));
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, At(2, 3));
    ASSERT_TRUE(editor->MarkRect().has_value());
    EXPECT_EQ(*editor->MarkRect(), (PixelRect{2, 3, 6, 5}));
    // Zoom tool and commands stop at 10 and 1. Both clicks of a double-click zoom.
    Mode(MouseMode::Zoom);
    const int zoom = editor->Zoom();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {}, At(0, 0));
    QMouseEvent quick(QEvent::MouseButtonDblClick, At(0, 0), editor->viewport()->mapToGlobal(At(0, 0)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor->viewport(), &quick);
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, At(0, 0));
    EXPECT_EQ(editor->Zoom(), zoom + 2);
    for (int i = 0; i < 8; ++i) {
        Click(Qt::LeftButton, At(0, 0));
    }
    EXPECT_EQ(editor->Zoom(), 10);
    CommandState in;
    ASSERT_TRUE(view->OnUpdateCommand(ID_ZOOM_IN, in));
    EXPECT_FALSE(in.enabled);
    for (int i = 0; i < 12; ++i) {
        view->OnCommand(ID_ZOOM_OUT);
    }
    EXPECT_EQ(editor->Zoom(), 1);
    CommandState out;
    ASSERT_TRUE(view->OnUpdateCommand(ID_ZOOM_OUT, out));
    EXPECT_FALSE(out.enabled);
}

TEST_F(CarEditor, FillOnItsOwnColourTakesNoStep) {
    doc->SetModifiedFlag(false);
    Mode(MouseMode::Fill);
    app->SetColor1(TransparentIndex);
    Click(Qt::LeftButton, At(3, 3));
    EXPECT_EQ(doc->Model().UndoCount(), 0);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CarEditor, MirrorWorksOnTheMarkOrTheWholeView) {
    VehicleDocument& model = doc->Model();
    for (int y = 0; y < 14; ++y) {
        model.SetPixel(0, 0, 2, 0, y, PaletteIndex(y + 1), false, MouseMode::View);
    }
    editor->SetMarkRect(PixelRect{0, 2, 3, 4});
    ASSERT_TRUE(view->OnCommand(ID_MIRROR_VERTICAL));
    EXPECT_EQ(Px(0, 2), 5);
    EXPECT_EQ(Px(0, 3), 4);  // the middle row of three stays
    EXPECT_EQ(Px(0, 4), 3);
    editor->SetMarkRect(std::nullopt);
    ASSERT_TRUE(view->OnCommand(ID_MIRROR_VERTICAL));
    EXPECT_EQ(Px(0, 0), 14);
    EXPECT_EQ(Px(0, 13), 1);
    // A mark from a longer view is cut to a shorter one.
    editor->SetMarkRect(PixelRect{0, 0, 31, 13});
    ShowView(7);  // view 0: 8 x 16
    ASSERT_TRUE(editor->MarkRect().has_value());
    EXPECT_EQ(*editor->MarkRect(), (PixelRect{0, 0, 7, 13}));
}

TEST_F(CarEditor, RightClickRemembersTheBandForTheSteamMarker) {
    bool popupShown = false;
    editor->SetPopupRunner([&popupShown](QMenu&, const QPoint&) { popupShown = true; });
    Mode(MouseMode::View);
    Click(Qt::RightButton, At(20, 5));
    EXPECT_TRUE(popupShown);
    EXPECT_EQ(editor->GetContextSegment(), (ContextSegment{2, 1}));
    doc->SetDialogRunner([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("half1073"))->click();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
        return dialog.result();
    });
    ASSERT_TRUE(view->OnCommand(ID_VEHICLE_STEAM));
    EXPECT_EQ(doc->Model().SegmentWord(0, 0, 2, 1), 0x80);
    // The half marker of band 2 lies under columns 16..19 (zoom 4: x 64..79), two bars.
    const QImage image = Grab();
    const int lightBar = 14 * 4 + 2 + 2;
    EXPECT_EQ(image.pixel(70, lightBar), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(image.pixel(70, 14 * 4 + 8 + 2), qRgb(0x5C, 0x5C, 0x5C));
    EXPECT_NE(image.pixel(82, lightBar), qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_NE(image.pixel(60, lightBar), qRgb(0xC0, 0xC0, 0xC0));
}

// What scrolls into the window of the longest car (borders, steam bars, marks) shows exactly
// what the whole picture painted at once shows.
TEST_F(CarEditor, ScrollingShowsTheWholePicturePixelForPixel) {
    VehicleDocument& model = doc->Model();
    ASSERT_TRUE(model.AddVehicleSet("L", MouseMode::Freehand));
    ASSERT_TRUE(model.AddCar(1, 0, "Lang", "", "", vehicles::kMaxCarLength, nullptr, MouseMode::Freehand));
    std::mt19937 random(29);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 256; ++x) {
            model.SetPixel(1, 0, 1, x, y, PaletteIndex(random() % 100), false, MouseMode::Freehand);
        }
    }
    for (int s = 0; s < vehicles::kMaxCarLength; ++s) {
        model.SetSteamValue(1, 0, 1, s, s % 3 == 0 ? 0x80 : 0x40, MouseMode::Freehand);
    }
    app->Settings().showBorders = 1;
    app->Settings().showTransCol = 4;
    editor->SetView(doc, 1, 0, 1);
    view->resize(520, 360);
    QCoreApplication::processEvents();
    for (const int zoom : {1, 4, 10}) {
        SCOPED_TRACE(zoom);
        editor->SetZoom(zoom);
        const QSize window = editor->viewport()->size();
        QImage whole(
            QSize(256 * zoom + CCarEdi::kMarkerMargin, 14 * zoom + CCarEdi::kMarkerMargin).expandedTo(window),
            QImage::Format_RGB32);
        {
            QPainter painter(&whole);
            editor->PaintView(painter, whole.rect());
        }
        editor->Refresh();  // made afresh from here on, in pieces
        const QPoint last(editor->horizontalScrollBar()->maximum(), editor->verticalScrollBar()->maximum());
        for (const QPoint& position : {QPoint(0, 0), QPoint(37, 5), last / 2, last / 2 + QPoint(300, 0),
                                       last / 2 + QPoint(-190, 0), last, QPoint(0, 0)}) {
            editor->ScrollTo(position);
            const QRect shown(editor->ScrollPosition(), window);
            SCOPED_TRACE(testing::Message() << "at " << shown.x() << "," << shown.y());
            const QImage grabbed = editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            EXPECT_TRUE(grabbed == whole.copy(shown));
        }
    }
}

}  // namespace
}  // namespace zobl
