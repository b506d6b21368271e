#include <gtest/gtest.h>

#include "SceneryViewSupport.h"
#include "core/scenery/SceneryRules.h"

namespace zobl {
namespace {

// Every mouse mode with both buttons, driven through the window at a few zooms and distances.
class MouseTools : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override {
        OpenNewDocument();
        SetColours(17, 30);
        view->SetZoom(3);
    }
};

TEST_F(MouseTools, FreehandPaintsWithEachButtonsColourAndGroupsItsUndo) {
    for (const int s : {10, 11}) {
        Fill(s, 3, 1);
    }
    SetMode(MouseMode::Freehand);
    view->SetMarkedArea(MarkedArea::Between({0, 48}, {10, 60}));
    // Right: COLOR2, the marking stays.
    Drag(At(10, 3, 1, 1), {At(10, 3, 2, 1), At(10, 3, 3, 2)}, Qt::RightButton);
    EXPECT_EQ(Pixel(321, 49), 30);
    EXPECT_EQ(Pixel(322, 49), 30);
    EXPECT_EQ(Pixel(323, 50), 30);
    EXPECT_FALSE(view->Marked().IsEmpty());
    // Left: COLOR1, and the marking goes.
    Drag(At(10, 3, 5, 5), {At(10, 3, 6, 5)});
    EXPECT_EQ(Pixel(325, 53), 17);
    EXPECT_EQ(Pixel(326, 53), 17);
    EXPECT_TRUE(view->Marked().IsEmpty());
    // Strokes in one mode are one undo step without SINGLEUNDO.
    EXPECT_EQ(Model().UndoCount(), 1);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Pixel(321, 49), 1);
    EXPECT_EQ(Pixel(326, 53), 1);

    app->Settings().singleUndo = true;
    Drag(At(11, 3, 1, 1), {});
    Drag(At(11, 3, 2, 2), {});
    EXPECT_EQ(Model().UndoCount(), 2);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Pixel(353, 49), 17);
    EXPECT_EQ(Pixel(354, 50), 1);
}

TEST_F(MouseTools, AStrokeThatLeavesThePixelsJoinsNothingAcrossTheExcursion) {
    // Replacing colour 1, pressed at (2, 4) of symbol 2, out into the number band, back in at
    // (25, 6): two pixels, no line.
    Fill(1, 3, 1);
    SetMode(MouseMode::ReplaceColor);
    Drag(At(1, 3, 2, 4), {QPoint(At(1, 3, 2, 4).x(), 3), At(1, 3, 25, 6)});
    EXPECT_EQ(Pixel(34, 52), 17);
    EXPECT_EQ(Pixel(57, 54), 17);
    for (int x = 32; x < 57; ++x) {
        EXPECT_EQ(Pixel(x, 54), 1) << x;
    }
}

TEST_F(MouseTools, LinePreviewIsInvertedAndErasedExactlyAndTheLineFollowsTheRounding) {
    Fill(2, 3, 1);
    SetMode(MouseMode::Line);
    QCoreApplication::processEvents();
    const QImage before = Grab();
    const QPoint from = AtAbsolute(64, 48);
    Press(from);
    EXPECT_TRUE(view->PreviewShown());
    Move(AtAbsolute(67, 49));
    const QImage preview = Grab();
    // (0, 0)-(3, 1) relative: (0, 0), (1, 0), (2, 1), (3, 1).
    for (const QPoint p : {QPoint(64, 48), QPoint(65, 48), QPoint(66, 49), QPoint(67, 49)}) {
        const QPoint w = AtAbsolute(p.x(), p.y());
        EXPECT_EQ(preview.pixel(w), before.pixel(w) ^ 0x00FFFFFFu) << p.x() << "," << p.y();
    }
    EXPECT_EQ(preview.pixel(AtAbsolute(66, 48)), before.pixel(AtAbsolute(66, 48)));
    EXPECT_EQ(Model().UndoCount(), 0);
    Release(AtAbsolute(67, 49));
    EXPECT_FALSE(view->PreviewShown());
    EXPECT_EQ(Pixel(64, 48), 17);
    EXPECT_EQ(Pixel(65, 48), 17);
    EXPECT_EQ(Pixel(66, 49), 17);
    EXPECT_EQ(Pixel(67, 49), 17);
    EXPECT_EQ(Pixel(66, 48), 1);
    EXPECT_EQ(Pixel(65, 49), 1);
    EXPECT_EQ(Model().UndoCount(), 1);

    // Right button: COLOR2. Dragged out of the pixels and released there: nothing, and the
    // preview is gone without a trace.
    Fill(2, 3, 1);
    QCoreApplication::processEvents();
    const QImage clean = Grab();
    Press(AtAbsolute(70, 50), Qt::RightButton);
    Move(AtAbsolute(75, 52));
    Move(QPoint(AtAbsolute(75, 52).x(), 3));  // the number band
    EXPECT_FALSE(view->PreviewShown());
    Release(QPoint(AtAbsolute(75, 52).x(), 3), Qt::RightButton);
    EXPECT_EQ(Pixel(70, 50), 1);
    EXPECT_EQ(Pixel(75, 52), 1);
    EXPECT_EQ(Grab(), clean);
    Drag(AtAbsolute(70, 50), {AtAbsolute(70, 53)}, Qt::RightButton);
    for (int y = 50; y <= 53; ++y) {
        EXPECT_EQ(Pixel(70, y), 30);
    }
}

TEST_F(MouseTools, RectanglesOutlinedFilledAndFramedWithCtrl) {
    app->Settings().symbolDistance = 6;
    doc->UpdateDoc(8, 0);
    view->SetZoom(5);
    for (const int s : {3, 4}) {
        Fill(s, 3, 1);
    }
    const auto inside = [&](int x0, int y0, int x1, int y1, PaletteIndex border, PaletteIndex interior) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const bool edge = x == x0 || x == x1 || y == y0 || y == y1;
                EXPECT_EQ(Pixel(x, y), edge ? border : interior) << x << "," << y;
            }
        }
    };
    SetMode(MouseMode::Rectangle);
    Drag(AtAbsolute(98, 50), {AtAbsolute(100, 51), AtAbsolute(102, 53)});
    inside(98, 50, 102, 53, 17, 1);
    Drag(AtAbsolute(110, 50), {AtAbsolute(106, 54)}, Qt::RightButton);
    inside(106, 50, 110, 54, 30, 1);

    Fill(3, 3, 1);
    SetMode(MouseMode::FilledRectangle);
    Press(AtAbsolute(98, 50));
    Move(AtAbsolute(102, 53));
    const QImage preview = Grab();
    EXPECT_TRUE(view->PreviewShown());
    Release(AtAbsolute(102, 53));
    inside(98, 50, 102, 53, 17, 17);
    EXPECT_NE(preview.pixel(AtAbsolute(100, 51)), Grab().pixel(AtAbsolute(100, 51)));
    // Ctrl: filled with the button's colour, framed with the other one.
    Drag(AtAbsolute(98, 56), {AtAbsolute(103, 60)}, Qt::LeftButton, Qt::ControlModifier);
    inside(98, 56, 103, 60, 30, 17);
    Drag(AtAbsolute(130, 50), {AtAbsolute(135, 55)}, Qt::RightButton, Qt::ControlModifier);
    inside(130, 50, 135, 55, 17, 30);
    Drag(AtAbsolute(130, 58), {AtAbsolute(132, 60)}, Qt::RightButton);
    inside(130, 58, 132, 60, 30, 30);
}

// Shift held down before the press and let go after the release, as on a keyboard: the preview
// and the shape keep to the eight directions or the square; with Ctrl too, the square is framed.
TEST_F(MouseTools, ShiftKeepsLinesStraightAndRectanglesSquareInPreviewAndResult) {
    const struct {
        MouseMode mode;
        Qt::KeyboardModifiers keys;
        // Absolute pixels: pressed, moved to, where the shape ends, one inside it, and one of the
        // shape without Shift that is not on it.
        QPoint from, to, end, on, off;
        PaletteIndex endColour, onColour;
    } cases[] = {
        {MouseMode::Line, Qt::ShiftModifier, {64, 48}, {70, 51}, {70, 54}, {67, 51}, {70, 51}, 17, 17},
        {MouseMode::FilledRectangle,
         Qt::ShiftModifier | Qt::ControlModifier,
         {72, 49},
         {75, 55},
         {78, 55},
         {77, 54},
         {79, 55},
         30,
         17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        Fill(2, 3, 1);
        SetMode(c.mode);
        QCoreApplication::processEvents();
        const QImage before = Grab();
        const auto at = [&](QPoint p) { return AtAbsolute(p.x(), p.y()); };
        QTest::keyPress(view, Qt::Key_Shift);
        Press(at(c.from), Qt::LeftButton, c.keys);
        Move(at(c.to), c.keys);
        const QImage preview = Grab();
        for (const QPoint p : {c.end, c.on}) {
            EXPECT_EQ(preview.pixel(at(p)), before.pixel(at(p)) ^ 0x00FFFFFFu) << p.x() << "," << p.y();
        }
        EXPECT_EQ(preview.pixel(at(c.off)), before.pixel(at(c.off)));
        Release(at(c.to), Qt::LeftButton, c.keys);
        QTest::keyRelease(view, Qt::Key_Shift);
        EXPECT_EQ(Pixel(c.end.x(), c.end.y()), c.endColour);
        EXPECT_EQ(Pixel(c.on.x(), c.on.y()), c.onColour);
        EXPECT_EQ(Pixel(c.off.x(), c.off.y()), 1);
    }
}

TEST_F(MouseTools, ShiftPressedOrLetGoDuringADragRedrawsTheShapeAtOnce) {
    Fill(2, 3, 1);
    SetMode(MouseMode::Line);
    QCoreApplication::processEvents();
    const QImage before = Grab();
    const auto at = [&](int x, int y) { return AtAbsolute(x, y); };
    const auto inverted = [&](const QImage& shown, int x, int y) {
        return shown.pixel(at(x, y)) == (before.pixel(at(x, y)) ^ 0x00FFFFFFu);
    };
    Press(at(64, 48));
    Move(at(70, 51));
    EXPECT_TRUE(inverted(Grab(), 70, 51));  // the free end
    QTest::keyPress(view, Qt::Key_Shift);   // no move: the line turns to 45 degrees
    const QImage constrained = Grab();
    EXPECT_TRUE(inverted(constrained, 70, 54));
    EXPECT_FALSE(inverted(constrained, 70, 51));
    QTest::keyRelease(view, Qt::Key_Shift);
    EXPECT_TRUE(inverted(Grab(), 70, 51));
    Release(at(70, 51));
    EXPECT_EQ(Pixel(70, 51), 17);
    EXPECT_EQ(Pixel(70, 54), 1);
}

TEST_F(MouseTools, TheShapeEndsWhereTheLastMoveOnAPixelLeftIt) {
    app->Settings().symbolDistance = 4;
    doc->UpdateDoc(8, 0);
    Fill(5, 3, 1);
    SetMode(MouseMode::Rectangle);
    Press(At(5, 3, 2, 2));
    Move(At(5, 3, 4, 4));
    Move(InGapBefore(6, 3));  // beside the pixels: the preview goes, C stays
    EXPECT_FALSE(view->PreviewShown());
    Release(At(5, 3, 9, 9));  // on a pixel, but no move got there
    EXPECT_EQ(Pixel(5 * 32 + 4, 48 + 4), 17);
    EXPECT_EQ(Pixel(5 * 32 + 9, 48 + 9), 1);
}

TEST_F(MouseTools, FillFollowsFillDiagonalAndStopsAtAbsentRows) {
    // Two blocks of colour 1 that touch only at a corner, in a cell of colour 2.
    const auto prepare = [&] {
        Fill(7, 3, 2);
        for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 2}, {3, 2}, {2, 3}, {3, 3}}) {
            SetAbsolute(224 + x, 48 + y, 1);
        }
    };
    SetMode(MouseMode::Fill);
    app->Settings().fillDiagonal = false;
    prepare();
    Click(AtAbsolute(224, 48));
    EXPECT_EQ(Pixel(225, 49), 17);
    EXPECT_EQ(Pixel(226, 50), 1);
    EXPECT_EQ(Pixel(230, 55), 2);
    app->Settings().fillDiagonal = true;
    prepare();
    Click(AtAbsolute(224, 48), Qt::RightButton);
    EXPECT_EQ(Pixel(225, 49), 30);
    EXPECT_EQ(Pixel(227, 51), 30);
    EXPECT_EQ(Pixel(230, 55), 2);

    // Rows 2 (absent) and 3 of one colour: only row 3 fills.
    Fill(8, 2, 1);
    Fill(8, 3, 1);
    Click(At(8, 3, 10, 10));
    EXPECT_EQ(Pixel(256 + 31, 48), 17);
    EXPECT_EQ(Pixel(256, 63), 17);
    EXPECT_EQ(Pixel(256 + 10, 47), 1);
    // Pressed on the hidden row itself: that one pixel changes.
    Click(At(8, 2, 4, 4));
    EXPECT_EQ(Pixel(256 + 4, 36), 17);
    EXPECT_EQ(Pixel(256 + 5, 36), 1);

    // A region that already has the colour: nothing, no undo step.
    doc->CloseUndoGroup();
    const int steps = Model().UndoCount();
    Click(At(8, 3, 10, 10));
    EXPECT_EQ(Model().UndoCount(), steps);
}

TEST_F(MouseTools, ReplaceColourTakesThePressedColourAndReplacesItWhileDragging) {
    Fill(9, 3, 1);
    for (int x = 0; x < 8; ++x) {
        SetAbsolute(288 + x, 50, x % 2 == 0 ? 5 : 6);
    }
    SetMode(MouseMode::ReplaceColor);
    view->SetMarkedArea(MarkedArea::Between({0, 48}, {10, 60}));
    // Left: the pressed colour becomes COLOR2, the drag paints COLOR1 over that colour only.
    std::initializer_list<QPoint> path = {AtAbsolute(289, 50), AtAbsolute(290, 50), AtAbsolute(291, 50),
                                          AtAbsolute(292, 50)};
    Drag(AtAbsolute(288, 50), path);
    EXPECT_EQ(app->GetColor2(), 5);
    EXPECT_EQ(Pixel(288, 50), 17);
    EXPECT_EQ(Pixel(289, 50), 6);
    EXPECT_EQ(Pixel(290, 50), 17);
    EXPECT_EQ(Pixel(292, 50), 17);
    EXPECT_TRUE(view->Marked().IsEmpty());
    // Right: the pressed colour becomes COLOR1, the drag paints COLOR2 over it.
    Drag(AtAbsolute(289, 50), {AtAbsolute(291, 50), AtAbsolute(293, 50)}, Qt::RightButton);
    EXPECT_EQ(app->GetColor1(), 6);
    EXPECT_EQ(Pixel(289, 50), 5);
    EXPECT_EQ(Pixel(291, 50), 5);
    EXPECT_EQ(Pixel(293, 50), 5);
    EXPECT_EQ(Pixel(290, 50), 17);
    EXPECT_EQ(Model().UndoCount(), 1);
}

TEST_F(MouseTools, MarkingSetsTheAreaAndShowsItsExtent) {
    SetMode(MouseMode::Mark);
    Press(At(1, 3, 2, 2));
    Move(At(1, 3, 4, 3));
    Move(At(1, 3, 6, 4));
    EXPECT_EQ(app->MainFrame()->MessageText(), QStringLiteral("5x3"));
    EXPECT_TRUE(view->PreviewShown());
    Release(At(1, 3, 6, 4));
    EXPECT_EQ(view->Marked().Rect(), (PixelRect{34, 50, 38, 52}));
    EXPECT_TRUE(view->WantsTicks());
    EXPECT_EQ(Model().UndoCount(), 0);
    // A press inside the marking is the start of dragging its pixels: the marking stays.
    Click(At(1, 3, 3, 3));
    EXPECT_EQ(view->Marked().Rect(), (PixelRect{34, 50, 38, 52}));
    // The right button marks nothing.
    Drag(At(2, 3, 2, 2), {At(2, 3, 8, 8)}, Qt::RightButton);
    EXPECT_FALSE(view->PreviewShown());
    EXPECT_EQ(view->Marked().Rect(), (PixelRect{34, 50, 38, 52}));
    // A marking one pixel wide counts as none.
    Drag(At(3, 3, 2, 2), {At(3, 3, 2, 9)});
    EXPECT_TRUE(view->Marked().IsEmpty());
    EXPECT_FALSE(view->WantsTicks());
}

TEST_F(MouseTools, TheMarchingFrameStepsEveryFourthTick) {
    view->SetZoom(1);
    Command(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(view->Marked().Rect(), WholeStoreRect());
    EXPECT_EQ(view->FramePhase(), 8);
    for (int tick = 0; tick < 3; ++tick) {
        doc->UpdateDoc(2, 0);
    }
    EXPECT_EQ(view->FramePhase(), 8);
    doc->UpdateDoc(2, 0);
    EXPECT_EQ(view->FramePhase(), 7);
    // Along the top edge from the left: phase 7, 8 black, then 0..3 white, 4..8 black.
    const QImage image = Render();
    const ScreenRect square = view->Geometry().PixelSquare(PixelPoint{0, 0});
    const auto colourAt = [&](int i) { return image.pixel(square.left + i, square.top) | 0xFF000000u; };
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb expected[] = {black, black, white, white, white, white,
                             black, black, black, black, black, white};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(colourAt(i), expected[i]) << i;
    }
    for (int tick = 0; tick < 8 * 4; ++tick) {
        doc->UpdateDoc(2, 0);
    }
    EXPECT_EQ(view->FramePhase(), 8);
}

TEST_F(MouseTools, ThePipetteTakesAColourAndReturnsToThePreviousMode) {
    SetAbsolute(40, 50, 44);
    app->Settings().symbolDistance = 4;
    doc->UpdateDoc(8, 0);
    SetMode(MouseMode::Line);
    SetMode(MouseMode::PickColor);
    Click(AtAbsolute(40, 50));
    EXPECT_EQ(app->GetColor1(), 44);
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Line);
    SetMode(MouseMode::PickColor);
    Click(AtAbsolute(40, 50), Qt::RightButton);
    EXPECT_EQ(app->GetColor2(), 44);
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Line);
    // Beside the pixels: a beep, no colour, and back all the same.
    SetMode(MouseMode::Fill);
    SetMode(MouseMode::PickColor);
    Click(InGapBefore(1, 3));
    EXPECT_EQ(app->GetColor1(), 44);
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Fill);
    // Nothing was drawn by the release that followed in the restored mode.
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(MouseTools, DoubleClickWithThePipettePicksOnceAndDoesNothingElse) {
    SetAbsolute(40, 50, 44);
    view->SetZoom(2);
    QCoreApplication::processEvents();
    const QPoint pixel = AtAbsolute(40, 50);
    // An absent row is where a double-click in mode 0 would add one; the pipette reads its
    // hidden pixels.
    ASSERT_FALSE(Model().IsRowPresent(5, 2));
    SetAbsolute(5 * 32 + 3, 2 * 16 + 3, 44);
    const QPoint absent = At(5, 2, 3, 3);
    const MouseMode modes[] = {MouseMode::View,
                               MouseMode::Freehand,
                               MouseMode::Line,
                               MouseMode::Rectangle,
                               MouseMode::FilledRectangle,
                               MouseMode::Fill,
                               MouseMode::ReplaceColor,
                               MouseMode::Mark,
                               MouseMode::Zoom};
    for (const MouseMode mode : modes) {
        for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            SCOPED_TRACE(testing::Message() << "mode " << int(mode) << " button " << int(button));
            view->SetMarkedArea(MarkedArea::Between({0, 0}, {9, 9}));
            SetColours(3, 4);
            SetMode(mode);
            SetMode(MouseMode::PickColor);
            DoubleClick(mode == MouseMode::View ? absent : pixel, button);
            EXPECT_EQ(button == Qt::LeftButton ? app->GetColor1() : app->GetColor2(), 44);
            EXPECT_EQ(app->GetMouseMode(), mode);
            EXPECT_EQ(Model().UndoCount(), 0);
            EXPECT_FALSE(Model().IsRowPresent(5, 2));
            EXPECT_EQ(Pixel(40, 50), 44);
            EXPECT_EQ(view->Zoom(), 2);
            EXPECT_EQ(view->Marked().Rect(), (PixelRect{0, 0, 9, 9}));
        }
    }
    // A click after the double-click time is a click again.
    SetMode(MouseMode::Freehand);
    SetMode(MouseMode::PickColor);
    Click(pixel);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    SetColours(7, 4);
    Click(AtAbsolute(41, 50));
    EXPECT_EQ(Pixel(41, 50), 7);
}

TEST_F(MouseTools, AutoScrollWhileDraggingOutsideTheWindow) {
    view->SetZoom(4);
    QCoreApplication::processEvents();
    Fill(1, 3, 1);
    SetMode(MouseMode::Rectangle);
    const QPoint start = At(1, 3, 2, 2);
    Press(start);
    Move(At(1, 3, 6, 6));
    EXPECT_TRUE(view->PreviewShown());
    EXPECT_TRUE(view->WantsTicks());
    // Right of the window the view goes on: the rectangle follows there while it scrolls.
    // The point stays on a pixel, not in the gap between two symbols, once the view has scrolled
    // by 16; where the gaps fall depends on the window's width.
    QPoint outside(Window()->width() + 20, start.y());
    while (!view->HitTestWindow(outside) || !view->HitTestWindow(outside + QPoint(16, 0))) {
        outside.rx() += 1;
    }
    const std::optional<PixelAddress> beyond = view->HitTestWindow(outside);
    ASSERT_TRUE(beyond.has_value());
    Move(outside);
    const int before = view->ScrollPosition().x();
    doc->UpdateDoc(2, 0);
    EXPECT_EQ(view->ScrollPosition().x(), before + 8);
    EXPECT_FALSE(view->PreviewShown());  // drawn again by the next move
    doc->UpdateDoc(2, 0);
    EXPECT_EQ(view->ScrollPosition().x(), before + 16);
    Release(outside);
    EXPECT_FALSE(view->WantsTicks());
    doc->UpdateDoc(2, 0);
    EXPECT_EQ(view->ScrollPosition().x(), before + 16);
    // C is the last pixel a move reached, not where the view has scrolled to since.
    EXPECT_EQ(Pixel(beyond->Absolute().x, 50), 17);
    EXPECT_EQ(Pixel(beyond->Absolute().x + 1, 50), Pixel(beyond->Absolute().x + 1, 51));
    EXPECT_EQ(Model().UndoCount(), 1);
}

TEST_F(MouseTools, DoubleClickAddsARowByTheRules) {
    SetMode(MouseMode::View);
    DoubleClick(At(5, 2, 3, 3));
    EXPECT_TRUE(Model().IsRowPresent(5, 2));
    EXPECT_EQ(Model().UndoCount(), 1);
    // Row 0 over an absent row 1: error 116, and nothing changes (no undo step, no modification).
    Model().CloseUndoGroup();
    doc->SetModifiedFlag(false);
    messages.entries.clear();
    DoubleClick(At(6, 0, 3, 3));
    EXPECT_FALSE(Model().IsRowPresent(6, 0));
    EXPECT_EQ(messages.Numbers(), (std::vector<int>{116}));
    EXPECT_EQ(Model().UndoCount(), 1);
    EXPECT_FALSE(doc->IsModified());
    Command(ID_EDIT_UNDO);
    EXPECT_FALSE(Model().IsRowPresent(5, 2));
    // Double clicks on a present row, or in another mode, add nothing.
    DoubleClick(At(5, 3, 3, 3));
    SetMode(MouseMode::Mark);
    DoubleClick(At(5, 2, 3, 3));
    EXPECT_FALSE(Model().IsRowPresent(5, 2));
}

}  // namespace
}  // namespace zobl
