// Zoom that keeps its place, the whole picture, moving the view by hand and the zoom pane.
// Expected places come from the geometry the user sees (a scenery symbol is 32 x 16 pixels with
// the symbol distance between symbols and a 22-pixel number band above; a car's pixel is a zoom
// x zoom square), never from the view's own answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <QPushButton>
#include <QScrollBar>

#include "SceneryViewSupport.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/VehicleTree.h"

namespace zobl {
namespace {

// The largest zoom 1..10 whose extent fits room, or 1.
int LargestFit(const std::function<QSize(int)>& extentAt, QSize room) {
    int fit = 1;
    for (int z = 2; z <= 10; ++z) {
        if (extentAt(z).width() <= room.width() && extentAt(z).height() <= room.height()) {
            fit = z;
        }
    }
    return fit;
}

class SceneryZoomAndPan : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override {
        OpenNewDocument();
        frame = app->MainFrame()->ActiveChildFrame();
        frame->showNormal();
        frame->resize(500, 200);
        QCoreApplication::processEvents();
    }
    int D() const { return app->Settings().symbolDistance; }
    QSize ExtentAt(int z) const { return {36 * (32 + D()) * z, 5 * 16 * z + 22}; }
    QPoint SquareAt(PixelAddress a, int z) const {
        return {(D() * z) / 2 + a.symbol * (32 + D()) * z + a.x * z, 22 + (a.row * 16 + a.y) * z};
    }
    PixelAddress PixelAtView(QPoint v, int z) const {
        const int pitch = (32 + D()) * z;
        return {v.x() / pitch, (v.y() - 22) / (16 * z), ((v.x() - (D() * z) / 2) % pitch) / z,
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
        {1, {300, 0}, Qt::Key_Plus},   // the vertical scroll bar comes and narrows the window
        {2, {700, 0}, Qt::Key_Minus},  // and goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << c.zoom << " at " << c.scroll.x() << "," << c.scroll.y());
        view->SetZoom(c.zoom);
        view->ScrollTo(c.scroll);
        const QPoint middle = Window()->rect().center();
        for (int i = 0; i < 8 && !PixelAtView(view->ScrollPosition() + middle, c.zoom).IsValid(); ++i) {
            view->ScrollTo(view->ScrollPosition() + QPoint(2 * c.zoom, 0));  // off the gaps
        }
        const PixelAddress centre = PixelAtView(view->ScrollPosition() + middle, c.zoom);
        ASSERT_TRUE(centre.IsValid());
        QTest::keyClick(view, c.key, Qt::KeypadModifier);
        QCoreApplication::processEvents();
        const int z = c.zoom + (c.key == Qt::Key_Plus ? 1 : -1);
        ASSERT_EQ(view->Zoom(), z);
        const QPoint middleAfter = Window()->rect().center();
        // Where the scroll range ends the view stops there; elsewhere the pixel stays in the middle.
        const QPoint wanted = SquareAt(centre, z) - middleAfter;
        const QSize range = ExtentAt(z) - Window()->size();
        const QPoint bound(std::clamp(wanted.x(), 0, std::max(0, range.width())),
                           std::clamp(wanted.y(), 0, std::max(0, range.height())));
        if (bound == wanted) {
            EXPECT_EQ(view->HitTestWindow(middleAfter), centre);
        }
        EXPECT_TRUE(bound.x() == wanted.x() || view->ScrollPosition().x() == bound.x());
        EXPECT_TRUE(bound.y() == wanted.y() || view->ScrollPosition().y() == bound.y());
    }
}

TEST_F(SceneryZoomAndPan, TheWholePictureTakesTheLargestZoomThatFits) {
    for (const QSize size : {QSize(500, 200), QSize(1400, 300), QSize(2700, 300), QSize(5400, 500)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        view->SetZoom(6);
        frame->resize(size);
        QCoreApplication::processEvents();
        const int expected = LargestFit([this](int z) { return ExtentAt(z); }, view->maximumViewportSize());
        ASSERT_TRUE(Command(ID_ZOOM_WHOLE_PICTURE));
        EXPECT_EQ(view->Zoom(), expected);
        EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
    }
    EXPECT_EQ(view->Zoom(), 4);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
    // The menu item's key.
    frame->resize(500, 200);
    QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 1);
}

TEST_F(SceneryZoomAndPan, MovingTheViewByHandLeavesPixelsMarkAndHistoryAlone) {
    const MouseMode modes[] = {MouseMode::View,      MouseMode::Freehand,     MouseMode::Line,
                               MouseMode::Rectangle, MouseMode::Fill,         MouseMode::Mark,
                               MouseMode::PickColor, MouseMode::ReplaceColor, MouseMode::Zoom};
    Fill(4, 3, 41);
    Model().ResetUndoHistory();
    SetColours(7, 9);
    view->SetZoom(4);
    const MarkedArea mark = MarkedArea::Between({100, 50}, {130, 60});
    view->SetMarkedArea(mark);
    const std::vector<std::uint8_t> pixels = Pixels();
    for (const MouseMode mode : modes) {
        for (const bool space : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << (space ? " Space" : " middle"));
            SetMode(mode);
            view->ScrollTo({500, 150});
            const QPoint from = At(4, 3, 20, 8);
            const Qt::MouseButton button = space ? Qt::LeftButton : Qt::MiddleButton;
            if (space) {
                QTest::keyPress(view, Qt::Key_Space);  // held until the drag ends
            }
            QTest::mousePress(Window(), button, {}, from);
            QTest::mouseMove(Window(), from - QPoint(30, 10));
            QTest::mouseMove(Window(), from - QPoint(70, 25));
            EXPECT_EQ(Window()->cursor().shape(), Qt::ClosedHandCursor);
            QTest::mouseRelease(Window(), button, {}, from - QPoint(70, 25));
            if (space) {
                EXPECT_EQ(Window()->cursor().shape(), Qt::OpenHandCursor);
                QTest::keyRelease(view, Qt::Key_Space);
            }
            EXPECT_NE(Window()->cursor().shape(), Qt::OpenHandCursor);  // the mode's again
            EXPECT_EQ(view->ScrollPosition(), QPoint(570, 175));
            EXPECT_EQ(view->Zoom(), 4);
            EXPECT_EQ(view->Marked(), mark);
            EXPECT_EQ(Model().UndoCount(), 0);
            EXPECT_TRUE(Pixels() == pixels);
        }
    }
    // The second click of a quick pair with Space held adds no row either.
    SetMode(MouseMode::View);
    view->ScrollTo({500, 0});
    ASSERT_FALSE(Model().IsRowPresent(6, 0));
    QTest::keyPress(view, Qt::Key_Space);
    DoubleClick(At(6, 0, 10, 8));
    QTest::keyRelease(view, Qt::Key_Space);
    EXPECT_FALSE(Model().IsRowPresent(6, 0));

    // Space over the view while a button has the focus: the view moves, the button stays up.
    app->MainFrame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->MainFrame()));
    auto* button = new QPushButton(QStringLiteral("B"), app->MainFrame());
    button->show();
    button->setFocus();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    SetMode(MouseMode::Freehand);
    view->ScrollTo({500, 150});
    const QPoint from = At(4, 3, 20, 8);
    QCursor::setPos(Window()->mapToGlobal(from));
    QTest::keyPress(button, Qt::Key_Space);
    Drag(from, {from - QPoint(40, 0)});
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(view->ScrollPosition(), QPoint(540, 150));
    EXPECT_EQ(Model().UndoCount(), 0);
    // Away from the view it is the button's key; without Space the left button draws.
    QCursor::setPos(app->MainFrame()->mapToGlobal(QPoint(-50, -50)));
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 1);
    Click(from);
    EXPECT_EQ(Model().GetPixel(4, 3, 30, 8), 7);  // the picture moved 40 screen pixels
}

TEST_F(SceneryZoomAndPan, ArrowKeysScrollByOneMagnifiedPixel) {
    const std::pair<Qt::Key, QPoint> keys[] = {
        {Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
    for (const int zoom : {3, 7}) {
        for (const auto& [key, step] : keys) {
            view->SetZoom(zoom);
            view->ScrollTo({600, 30});
            QTest::keyClick(view, key);
            EXPECT_EQ(view->ScrollPosition(), QPoint(600, 30) + step * zoom) << zoom << " " << key;
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
    ASSERT_NE(app->Documents().NewDocument(*app->SceneryTemplate()), nullptr);
    EXPECT_EQ(pane(), "Zoom 1");
    app->MainFrame()->MdiArea()->setActiveSubWindow(frame);
    EXPECT_EQ(pane(), "Zoom 2");
    app->Documents().CloseAllDocuments();
    EXPECT_EQ(pane(), "");
}

// A car of length 32: its view 2 is 256 x 14 pixels.
TEST(CarZoom, TheWholePictureTakesTheLargestZoomThatFitsAndThePaneShowsIt) {
    test::AppFixture fixture;
    fixture.StartApp({}, true);
    auto* doc = static_cast<CFGSDoc*>(fixture.app->Documents().NewDocument(*fixture.app->VehicleTemplate()));
    ASSERT_TRUE(doc->Model().AddVehicleSet("S", MouseMode::Freehand));
    ASSERT_TRUE(doc->Model().AddCar(0, 0, "Lok", "", "", 32, nullptr, MouseMode::Freehand));
    doc->Model().Notify({VehicleHintCode::RebuildAll});
    auto* view = dynamic_cast<CFGSView*>(doc->Views().front());
    QTreeWidgetItem* car = view->Tree()->CarItem(0, 0);
    for (int k = 0; k < car->childCount(); ++k) {
        if (VehicleTree::TargetOf(car->child(k))->image == 6) {
            view->Tree()->SelectItem(car->child(k));
        }
    }
    CCarEdi* editor = view->CarEditor();
    ASSERT_TRUE(editor->ShowsView());
    const auto extentAt = [](int z) {
        return QSize(256 * z + CCarEdi::kMarkerMargin, 14 * z + CCarEdi::kMarkerMargin);
    };
    for (const QSize size : {QSize(700, 400), QSize(1200, 400), QSize(3400, 600)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        editor->SetZoom(7);
        view->resize(size);
        QCoreApplication::processEvents();
        ASSERT_TRUE(fixture.Command(ID_ZOOM_WHOLE_PICTURE));
        EXPECT_EQ(editor->Zoom(), LargestFit(extentAt, editor->maximumViewportSize()));
        EXPECT_EQ(fixture.app->MainFrame()->ZoomText(), QStringLiteral("Zoom %1").arg(editor->Zoom()));
    }
    EXPECT_GT(editor->Zoom(), 1);
}

}  // namespace
}  // namespace zobl
