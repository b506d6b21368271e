// Zoom that keeps its place, the whole picture, moving the view by hand and the zoom pane, in
// both editors. Expected places come from the geometry the user sees (a scenery symbol is 32 x
// 16 pixels with the symbol distance between symbols and a 22-pixel number band above; a car's
// pixel is a zoom x zoom square), never from the view's own answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "SceneryViewSupport.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/VehicleTree.h"

namespace zobl {
namespace {

QPoint Clamped(QPoint p, QSize range) {
    return {std::clamp(p.x(), 0, std::max(0, range.width())),
            std::clamp(p.y(), 0, std::max(0, range.height()))};
}

// What a drag that moves the view is made of: the middle button, or the left one with Space
// held (the key pressed before the button and released after it).
enum class PanBy { Middle, SpaceLeft };

void PanDrag(QWidget* window, QWidget* keys, PanBy by, QPoint from, QPoint to) {
    const Qt::MouseButton button = by == PanBy::Middle ? Qt::MiddleButton : Qt::LeftButton;
    if (by == PanBy::SpaceLeft) {
        QTest::keyPress(keys, Qt::Key_Space);
    }
    QTest::mousePress(window, button, {}, from);
    QTest::mouseMove(window, (from + to) / 2);
    QTest::mouseMove(window, to);
    EXPECT_EQ(window->cursor().shape(), Qt::ClosedHandCursor);
    QTest::mouseRelease(window, button, {}, to);
    if (by == PanBy::SpaceLeft) {
        EXPECT_EQ(window->cursor().shape(), Qt::OpenHandCursor);
        QTest::keyRelease(keys, Qt::Key_Space);
    }
}

bool IsHand(const QWidget* window) {
    return window->cursor().shape() == Qt::OpenHandCursor || window->cursor().shape() == Qt::ClosedHandCursor;
}

// ---- Scenery ------------------------------------------------------------------------------------

class SceneryZoomAndPan : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override {
        OpenNewDocument();
        frame = app->MainFrame()->ActiveChildFrame();
        frame->showNormal();
        frame->resize(500, 200);
        QCoreApplication::processEvents();
    }
    int Distance() const { return app->Settings().symbolDistance; }
    QSize ExtentAt(int z) const { return {36 * (32 + Distance()) * z, 5 * 16 * z + 22}; }
    QPoint SquareAt(PixelAddress a, int z) const {
        const int d = Distance();
        return {(d * z) / 2 + a.symbol * (32 + d) * z + a.x * z, 22 + (a.row * 16 + a.y) * z};
    }
    // The pixel under a view point, as the hit test is described.
    PixelAddress PixelAtView(QPoint v, int z) const {
        const int pitch = (32 + Distance()) * z;
        return {v.x() / pitch, (v.y() - 22) / (16 * z), ((v.x() - (Distance() * z) / 2) % pitch) / z,
                ((v.y() - 22) % (16 * z)) / z};
    }
    std::vector<std::uint8_t> Pixels() {
        const auto store = Model().PixelStoreForLoading();
        return {store.begin(), store.end()};
    }

    CChildFrame* frame = nullptr;
};

TEST_F(SceneryZoomAndPan, TheKeypadZoomKeepsTheMiddlePixelInTheMiddleOrScrollsAsFarAsItCan) {
    struct Case {
        int zoom;
        QPoint scroll;
        Qt::Key key;
    };
    const Case cases[] = {
        {3, {1200, 40}, Qt::Key_Plus},   {3, {1200, 40}, Qt::Key_Minus},  {5, {3000, 150}, Qt::Key_Plus},
        {5, {3000, 150}, Qt::Key_Minus}, {9, {9000, 300}, Qt::Key_Plus},  {10, {20, 10}, Qt::Key_Minus},
        {2, {60, 0}, Qt::Key_Minus},     {4, {4900, 150}, Qt::Key_Minus}, {7, {7000, 500}, Qt::Key_Plus},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " at " << c.scroll.x() << "," << c.scroll.y()
                                        << (c.key == Qt::Key_Plus ? " +" : " -"));
        view->SetZoom(c.zoom);
        view->ScrollTo(c.scroll);
        QCoreApplication::processEvents();
        const QPoint middle = Window()->rect().center();
        // Off a gap between symbols.
        for (int i = 0; i < 8 && !PixelAtView(view->ScrollPosition() + middle, c.zoom).IsValid(); ++i) {
            view->ScrollTo(view->ScrollPosition() + QPoint(2 * c.zoom, 0));
        }
        const PixelAddress centre = PixelAtView(view->ScrollPosition() + middle, c.zoom);
        ASSERT_TRUE(centre.IsValid());
        QTest::keyClick(view, c.key, Qt::KeypadModifier);
        const int z = c.zoom + (c.key == Qt::Key_Plus ? 1 : -1);
        ASSERT_EQ(view->Zoom(), z);
        // Where the range ends the view stops there; elsewhere the pixel stays in the middle.
        const QSize range = ExtentAt(z) - Window()->size();
        const QPoint wanted = SquareAt(centre, z) - middle;
        const QPoint bound = Clamped(wanted, range);
        if (bound == wanted) {
            EXPECT_EQ(view->HitTestWindow(middle), centre);
        }
        if (bound.x() != wanted.x()) {
            EXPECT_EQ(view->ScrollPosition().x(), bound.x());
        }
        if (bound.y() != wanted.y()) {
            EXPECT_EQ(view->ScrollPosition().y(), bound.y());
        }
    }
}

TEST_F(SceneryZoomAndPan, TheWholePictureTakesTheLargestZoomThatFits) {
    const QSize sizes[] = {{500, 200}, {1400, 300}, {2700, 300}, {4000, 300}, {5400, 500}};
    int largest = 0;
    for (const QSize size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        view->SetZoom(6);
        frame->resize(size);
        QCoreApplication::processEvents();
        const QSize room = view->maximumViewportSize();
        int expected = 1;
        for (int z = 1; z <= 10; ++z) {
            if (ExtentAt(z).width() <= room.width() && ExtentAt(z).height() <= room.height()) {
                expected = z;
            }
        }
        largest = std::max(largest, expected);
        ASSERT_TRUE(Command(ID_ZOOM_WHOLE_PICTURE));
        EXPECT_EQ(view->Zoom(), expected);
        if (expected > 1 || ExtentAt(1).width() <= room.width()) {
            EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
            EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
        }
    }
    EXPECT_GE(largest, 3);
    // The key of the menu item.
    frame->resize(500, 200);
    view->SetZoom(5);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 1);
}

TEST_F(SceneryZoomAndPan, MovingTheViewByHandLeavesPixelsMarkAndHistoryAlone) {
    struct Case {
        MouseMode mode;
        PanBy by;
    };
    const Case cases[] = {
        {MouseMode::View, PanBy::Middle},         {MouseMode::Freehand, PanBy::Middle},
        {MouseMode::Line, PanBy::SpaceLeft},      {MouseMode::FilledRectangle, PanBy::SpaceLeft},
        {MouseMode::Fill, PanBy::Middle},         {MouseMode::Mark, PanBy::SpaceLeft},
        {MouseMode::PickColor, PanBy::SpaceLeft}, {MouseMode::Zoom, PanBy::Middle},
        {MouseMode::Zoom, PanBy::SpaceLeft},      {MouseMode::ReplaceColor, PanBy::Middle},
    };
    Fill(3, 3, 40);
    Fill(4, 3, 41);
    Model().ResetUndoHistory();
    SetColours(7, 9);
    view->SetZoom(4);
    view->SetMarkedArea(MarkedArea::Between({100, 50}, {130, 60}));
    const std::vector<std::uint8_t> pixels = Pixels();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << int(c.mode) << (c.by == PanBy::Middle ? " middle" : " space"));
        SetMode(c.mode);
        view->ScrollTo({500, 150});
        const QPoint from = At(4, 3, 20, 8);
        ASSERT_TRUE(Window()->rect().contains(from));
        PanDrag(Window(), view, c.by, from, from - QPoint(70, 25));
        EXPECT_EQ(view->ScrollPosition(), QPoint(570, 175));
        EXPECT_FALSE(IsHand(Window()));
        EXPECT_EQ(view->Zoom(), 4);
        EXPECT_EQ(app->GetMouseMode(), c.mode);
        EXPECT_EQ(view->Marked(), MarkedArea::Between({100, 50}, {130, 60}));
        EXPECT_EQ(Model().UndoCount(), 0);
        EXPECT_TRUE(Pixels() == pixels);
    }
    // A quick second click with Space held moves the view too: no row appears by a double-click.
    SetMode(MouseMode::View);
    ASSERT_FALSE(Model().IsRowPresent(6, 0));
    view->ScrollTo({500, 0});
    const QPoint absent = At(6, 0, 10, 8);
    QTest::keyPress(view, Qt::Key_Space);
    DoubleClick(absent);
    QTest::keyRelease(view, Qt::Key_Space);
    EXPECT_FALSE(Model().IsRowPresent(6, 0));
    // Without Space the left button draws again.
    SetMode(MouseMode::Freehand);
    view->ScrollTo({500, 150});
    Click(At(4, 3, 20, 8));
    EXPECT_EQ(Model().GetPixel(4, 3, 20, 8), 7);
}

TEST_F(SceneryZoomAndPan, SpaceOverTheViewPressesNoButtonThatHasTheFocus) {
    app->MainFrame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->MainFrame()));
    auto* button = new QPushButton(QStringLiteral("B"), app->MainFrame());
    button->show();
    button->setFocus();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    SetMode(MouseMode::Freehand);
    view->SetZoom(4);
    view->ScrollTo({500, 150});
    const QPoint from = At(4, 3, 20, 8);
    QCursor::setPos(Window()->mapToGlobal(from));
    ASSERT_EQ(QApplication::focusWidget(), button);
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_FALSE(button->isDown());
    QTest::mousePress(Window(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Window(), from - QPoint(40, 0));
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, from - QPoint(40, 0));
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(view->ScrollPosition(), QPoint(540, 150));
    EXPECT_EQ(Model().UndoCount(), 0);
    // Away from the view the button takes Space as usual.
    QCursor::setPos(app->MainFrame()->mapToGlobal(QPoint(0, 0)) - QPoint(50, 50));
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SceneryZoomAndPan, ArrowKeysScrollByOneMagnifiedPixel) {
    struct Case {
        Qt::Key key;
        QPoint step;  // in pixels
    };
    const Case cases[] = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    for (const int zoom : {3, 7}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " key " << c.key);
            view->SetZoom(zoom);
            view->ScrollTo({600, 30});
            QTest::keyClick(view, c.key);
            EXPECT_EQ(view->ScrollPosition(), QPoint(600, 30) + c.step * zoom);
        }
    }
}

TEST_F(SceneryZoomAndPan, TheZoomPaneShowsTheActiveViewsZoom) {
    const auto pane = [this] {
        QCoreApplication::processEvents();
        return app->MainFrame()->ZoomText();
    };
    EXPECT_EQ(pane(), "Zoom 1");
    Command(ID_ZOOM_IN);
    Command(ID_ZOOM_IN);
    EXPECT_EQ(pane(), "Zoom 3");
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(pane(), "Zoom 2");
    // Another window has a zoom of its own; activating one shows it.
    ASSERT_NE(app->Documents().NewDocument(*app->SceneryTemplate()), nullptr);
    EXPECT_EQ(pane(), "Zoom 1");
    app->MainFrame()->MdiArea()->setActiveSubWindow(frame);
    EXPECT_EQ(pane(), "Zoom 2");
    app->Documents().CloseAllDocuments();
    EXPECT_EQ(pane(), "");
}

// ---- The car editor -----------------------------------------------------------------------------

// A car of length 32 whose view 2 (256 x 14) is shown in the car editor.
class CarZoomAndPan : public ::testing::Test, public test::AppFixture {
protected:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 14;

    void SetUp() override {
        StartApp({}, true);
        doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        ASSERT_TRUE(model.AddVehicleSet("S", MouseMode::Freehand));
        ASSERT_TRUE(model.AddCar(0, 0, "Lok", "", "", 32, nullptr, MouseMode::Freehand));
        model.ResetUndoHistory();
        model.Notify({VehicleHintCode::RebuildAll});
        view = dynamic_cast<CFGSView*>(doc->Views().front());
        view->resize(700, 400);
        QTreeWidgetItem* car = view->Tree()->CarItem(0, 0);
        for (int k = 0; k < car->childCount(); ++k) {
            if (VehicleTree::TargetOf(car->child(k))->image == 6) {
                view->Tree()->SelectItem(car->child(k));
            }
        }
        editor = view->CarEditor();
        ASSERT_TRUE(editor->ShowsView());
        QCoreApplication::processEvents();
    }
    QSize ExtentAt(int z) const {
        return {kWidth * z + CCarEdi::kMarkerMargin, kHeight * z + CCarEdi::kMarkerMargin};
    }
    std::vector<PaletteIndex> Pixels() const {
        std::vector<PaletteIndex> pixels;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                pixels.push_back(doc->Model().GetPixel(0, 0, 2, x, y));
            }
        }
        return pixels;
    }

    CFGSDoc* doc = nullptr;
    CFGSView* view = nullptr;
    CCarEdi* editor = nullptr;
};

TEST_F(CarZoomAndPan, TheKeypadZoomKeepsTheMiddlePixelInTheMiddleOrScrollsAsFarAsItCan) {
    struct Case {
        int zoom;
        int scrollX;
        Qt::Key key;
    };
    const Case cases[] = {{3, 200, Qt::Key_Plus},  {5, 700, Qt::Key_Minus}, {5, 700, Qt::Key_Plus},
                          {9, 2000, Qt::Key_Plus}, {10, 0, Qt::Key_Minus},  {4, 600, Qt::Key_Minus}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " at " << c.scrollX);
        editor->SetZoom(c.zoom);
        editor->ScrollTo({c.scrollX, 0});
        QCoreApplication::processEvents();
        const QPoint middle = editor->viewport()->rect().center();
        const QPoint view = editor->ScrollPosition() + middle;
        const QPoint centre(view.x() / c.zoom, view.y() / c.zoom);
        ASSERT_LT(centre.x(), kWidth);
        QTest::keyClick(editor, c.key, Qt::KeypadModifier);
        const int z = c.zoom + (c.key == Qt::Key_Plus ? 1 : -1);
        ASSERT_EQ(editor->Zoom(), z);
        const QPoint wanted = centre * z - middle;
        const QPoint bound = Clamped(wanted, ExtentAt(z) - editor->viewport()->size());
        if (bound.x() == wanted.x()) {
            EXPECT_EQ((editor->ScrollPosition().x() + middle.x()) / z, centre.x());
        } else {
            EXPECT_EQ(editor->ScrollPosition().x(), bound.x());
        }
    }
}

TEST_F(CarZoomAndPan, TheWholePictureTakesTheLargestZoomThatFits) {
    const QSize sizes[] = {{700, 400}, {1200, 400}, {2600, 500}, {3400, 600}};
    for (const QSize size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        editor->SetZoom(7);
        view->resize(size);
        QCoreApplication::processEvents();
        const QSize room = editor->maximumViewportSize();
        int expected = 1;
        for (int z = 1; z <= 10; ++z) {
            if (ExtentAt(z).width() <= room.width() && ExtentAt(z).height() <= room.height()) {
                expected = z;
            }
        }
        ASSERT_TRUE(editor->OnCommand(ID_ZOOM_WHOLE_PICTURE));
        EXPECT_EQ(editor->Zoom(), expected);
    }
    EXPECT_GT(editor->Zoom(), 1);
}

TEST_F(CarZoomAndPan, MovingTheViewByHandLeavesPixelsMarkAndHistoryAlone) {
    struct Case {
        MouseMode mode;
        PanBy by;
    };
    const Case cases[] = {{MouseMode::Freehand, PanBy::Middle},
                          {MouseMode::Rectangle, PanBy::SpaceLeft},
                          {MouseMode::Mark, PanBy::Middle},
                          {MouseMode::Zoom, PanBy::SpaceLeft}};
    editor->SetZoom(8);
    editor->SetMarkRect(PixelRect{2, 3, 6, 5});
    app->SetColor1(17);
    const std::vector<PaletteIndex> pixels = Pixels();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.mode));
        app->SetMouseMode(c.mode);
        editor->ScrollTo({400, 0});
        const QPoint from = editor->WindowPointOf({80, 7});
        PanDrag(editor->viewport(), editor, c.by, from, from + QPoint(60, 0));
        EXPECT_EQ(editor->ScrollPosition().x(), 340);
        EXPECT_FALSE(IsHand(editor->viewport()));
        EXPECT_EQ(editor->Zoom(), 8);
        EXPECT_EQ(editor->MarkRect(), (PixelRect{2, 3, 6, 5}));
        EXPECT_EQ(doc->Model().UndoCount(), 0);
        EXPECT_TRUE(Pixels() == pixels);
    }
}

TEST_F(CarZoomAndPan, TheZoomPaneShowsTheCarEditorsZoom) {
    editor->SetZoom(6);
    QCoreApplication::processEvents();
    EXPECT_EQ(app->MainFrame()->ZoomText(), "Zoom 6");
}

}  // namespace
}  // namespace zobl
