#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/drawing/MouseMode.h"
#include "core/drawing/ToolSession.h"
#include "core/vehicles/CarViewCanvas.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;

// Records what the tools ask of their window.
class FakeHost : public ToolHost {
public:
    DrawingColours Colours() const override { return colours; }
    void SetColour(MouseButton button, PaletteIndex colour) override {
        (button == MouseButton::Left ? colours.left : colours.right) = colour;
        calls.push_back("colour");
    }
    void ReturnToPreviousMode() override { calls.push_back("previous mode"); }
    void Beep() override { calls.push_back("beep"); }
    void Zoom(int step) override { calls.push_back(step > 0 ? "zoom in" : "zoom out"); }
    void ClearMark() override { calls.push_back("clear mark"); }
    bool StartsMarkDrag(PixelPoint p) const override { return markDragAt && *markDragAt == p; }
    void SetMark(PixelPoint a, PixelPoint b) override {
        mark = PixelRect::Spanning(a, b);
        calls.push_back("mark");
    }
    void ShowPreview(int, PixelPoint, PixelPoint) override { preview = true; }
    void ErasePreview() override { preview = false; }
    bool PreviewShown() const override { return preview; }
    void ShowContextMenu(std::optional<PixelPoint>) override { calls.push_back("menu"); }
    bool FillDiagonal() const override { return false; }
    bool SingleUndo() const override { return singleUndo; }

    DrawingColours colours{17, 30};
    std::vector<std::string> calls;
    std::optional<PixelPoint> markDragAt;
    PixelRect mark;
    bool preview = false;
    bool singleUndo = false;
};

// View 1 of a car of length 2 (16 x 14) as the tools' surface.
struct CarSurface {
    using Canvas = CarViewCanvas;
    VehicleDocument& doc;
    CUBStack stack{64};
    int finished = 0;

    CarViewCanvas Begin(MouseMode mode) { return CarViewCanvas(doc, 0, 0, 1, mode); }
    void Finish(CarViewCanvas& canvas) { finished += canvas.Finish() ? 1 : 0; }
    PaletteIndex Get(PixelPoint p) const { return doc.GetPixel(0, 0, 1, p.x, p.y); }
    void CloseUndoGroup() { doc.CloseUndoGroup(); }
    CUBStack& WorkStack() { return stack; }
};
static_assert(ToolSurface<CarSurface>);

class ToolSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
        ASSERT_TRUE(doc.AddCar(0, 0, "a", "", "", 2, nullptr, kFreehand));
        doc.ResetUndoHistory();
    }
    PaletteIndex Px(int x, int y) const { return doc.GetPixel(0, 0, 1, x, y); }

    VehicleDocument doc;
    FakeHost host;
    CarSurface surface{doc};
};

TEST_F(ToolSessionTest, StrokesJoinOnlyPositionsOnThePixelsAndStayOneStep) {
    // From (0, 0) on to (6, 3), out beside the view, back in at (6, 6) and on to (9, 6): two
    // joined segments in one undo step, nothing where the pointer was outside. (1, 1) holds
    // colour 40, which replacing leaves alone.
    const struct {
        MouseMode mode;
        MouseButton button;
        PaletteIndex colour;
        PaletteIndex at11;
    } cases[] = {
        {MouseMode::Freehand, MouseButton::Right, 30, 30},  // colour 2 from the first pixel on
        {MouseMode::ReplaceColor, MouseButton::Left, 17, 40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        for (int i = 0; i < 16 * 14; ++i) {
            doc.SetPixel(0, 0, 1, i % 16, i / 16, i == 17 ? 40 : TransparentIndex, false, kFreehand);
        }
        doc.ResetUndoHistory();
        ToolSession<CarSurface> tools(host);
        tools.Press(surface, c.mode, c.button, PixelPoint{0, 0});
        for (const auto& hit : {std::optional(PixelPoint{6, 3}), std::optional<PixelPoint>(),
                                std::optional(PixelPoint{6, 6}), std::optional(PixelPoint{9, 6})}) {
            tools.Move(surface, hit);
        }
        tools.Release(surface, c.button, PixelPoint{9, 6}, false);
        for (const PixelPoint p : {PixelPoint{0, 0}, {3, 2}, {6, 3}, {6, 6}, {8, 6}}) {
            EXPECT_EQ(Px(p.x, p.y), c.colour) << p.x << "," << p.y;
        }
        EXPECT_EQ(Px(1, 1), c.at11);
        for (const PixelPoint p : {PixelPoint{6, 4}, {6, 5}, {7, 5}, {1, 0}, {10, 6}}) {
            EXPECT_EQ(Px(p.x, p.y), TransparentIndex) << p.x << "," << p.y;
        }
        EXPECT_EQ(doc.UndoCount(), 1);
    }
    // Replacing took the pressed pixel's colour as the one the drag replaces.
    EXPECT_EQ(host.colours.right, TransparentIndex);
}

TEST_F(ToolSessionTest, RulesOfTheTwoEditors) {
    struct Case {
        MouseMode mode;
        MouseButton button;
        bool carRules;
        std::vector<std::string> pressCalls;
        std::vector<std::string> releaseCalls;
    };
    const Case cases[] = {
        {MouseMode::Freehand, MouseButton::Right, false, {}, {}},
        {MouseMode::Freehand, MouseButton::Right, true, {"clear mark"}, {}},
        {MouseMode::Rectangle, MouseButton::Right, false, {}, {}},
        {MouseMode::Rectangle, MouseButton::Right, true, {"clear mark"}, {}},
        {MouseMode::Mark, MouseButton::Right, false, {}, {}},
        {MouseMode::Mark, MouseButton::Right, true, {}, {"menu"}},
        {MouseMode::View, MouseButton::Right, false, {}, {"menu"}},
        {MouseMode::Mark, MouseButton::Left, false, {"clear mark"}, {"mark"}},
        {MouseMode::PickColor, MouseButton::Left, false, {"colour", "previous mode"}, {}},
        {MouseMode::Zoom, MouseButton::Right, true, {"zoom out"}, {}},
    };
    for (const Case& c : cases) {
        ToolSession<CarSurface> tools(host, ToolRules{c.carRules, c.carRules});
        host.calls.clear();
        tools.Press(surface, c.mode, c.button, PixelPoint{2, 2});
        EXPECT_EQ(host.calls, c.pressCalls) << int(c.mode) << " " << c.carRules;
        host.calls.clear();
        tools.Move(surface, PixelPoint{5, 4});
        tools.Release(surface, c.button, PixelPoint{5, 4}, false);
        EXPECT_EQ(host.calls, c.releaseCalls) << int(c.mode) << " " << c.carRules;
    }
    EXPECT_EQ(host.mark, (PixelRect{2, 2, 5, 4}));
    // The pipette beside the pixels beeps and still goes back.
    ToolSession<CarSurface> tools(host);
    host.calls.clear();
    tools.Press(surface, MouseMode::PickColor, MouseButton::Right, std::nullopt);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"beep", "previous mode"}));
    // A press inside the marking starts no new one.
    host.markDragAt = PixelPoint{3, 3};
    tools.Press(surface, MouseMode::Mark, MouseButton::Left, PixelPoint{3, 3});
    EXPECT_FALSE(tools.Active());
}

TEST_F(ToolSessionTest, ShapesEndWhereTheLastMoveInsideLeftThem) {
    host.singleUndo = true;
    ToolSession<CarSurface> tools(host);
    tools.Press(surface, MouseMode::FilledRectangle, MouseButton::Right, PixelPoint{1, 1});
    tools.Move(surface, PixelPoint{4, 4});
    EXPECT_TRUE(host.preview);
    tools.Move(surface, std::nullopt);
    EXPECT_FALSE(host.preview);
    tools.Release(surface, MouseButton::Right, PixelPoint{9, 9}, true);
    EXPECT_EQ(Px(2, 2), 30);  // filled in colour 2
    EXPECT_EQ(Px(1, 1), 17);  // framed in colour 1 (Ctrl)
    EXPECT_EQ(Px(4, 4), 17);
    EXPECT_EQ(Px(5, 2), TransparentIndex);
    EXPECT_EQ(doc.OpenUndoGroup(), std::nullopt);
    // A fill on its own colour takes no step; right fills with colour 2 like left with 1.
    const int steps = doc.UndoCount();
    tools.Press(surface, MouseMode::Fill, MouseButton::Right, PixelPoint{2, 2});
    EXPECT_EQ(doc.UndoCount(), steps);
    tools.Press(surface, MouseMode::Fill, MouseButton::Right, PixelPoint{10, 10});
    EXPECT_EQ(Px(15, 13), 30);
    EXPECT_EQ(Px(2, 2), 30);
    EXPECT_EQ(doc.UndoCount(), steps + 1);
}

// Shift keeps lines to eight directions and rectangles square, shortened only at the edge.
TEST(ConstrainedEnd, LinesTakeTheNearestDirectionRectanglesBecomeSquares) {
    constexpr PixelRect kWide{-100, -100, 100, 100};
    constexpr PixelRect kCar{0, 0, 15, 13};
    constexpr auto kLine = ShapeConstraint::EightDirections;
    constexpr auto kSquare = ShapeConstraint::Square;
    const struct {
        ShapeConstraint constraint;
        PixelRect bounds;
        PixelPoint from;
        PixelPoint to;
        PixelPoint expected;
    } cases[] = {
        {kLine, kWide, {0, 0}, {5, 2}, {5, 0}},      // 21.8 degrees: still horizontal
        {kLine, kWide, {0, 0}, {5, 3}, {5, 5}},      // 31 degrees: diagonal, as long as the longer side
        {kLine, kWide, {0, 0}, {-5, -3}, {-5, -5}},  // and backwards
        {kLine, kWide, {0, 0}, {3, -5}, {5, -5}},
        {kLine, kWide, {0, 0}, {2, 5}, {0, 5}},  // 68.2 degrees: vertical
        {kLine, kWide, {3, 3}, {3, 3}, {3, 3}},
        {kLine, kCar, {10, 10}, {15, 13}, {13, 13}},  // the diagonal stops at the bottom
        {kLine, kCar, {1, 2}, {5, 0}, {3, 0}},        // and at the top
        {kSquare, kWide, {2, 2}, {4, 7}, {7, 7}},
        {kSquare, kWide, {2, 2}, {-1, 3}, {-1, 5}},
        {kSquare, kWide, {4, 4}, {4, 4}, {4, 4}},
        {kSquare, kCar, {2, 5}, {2, 2}, {5, 2}},     // no sideways move: where there is room
        {kSquare, kCar, {15, 0}, {15, 5}, {10, 5}},  // at the right edge: to the left
        {kSquare, kCar, {12, 3}, {14, 9}, {15, 6}},  // shortened to fit on the right
        {kSquare, kCar, {1, 12}, {9, 13}, {2, 13}},  // and at the bottom
    };
    for (const auto& c : cases) {
        const PixelPoint end = ConstrainedEnd(c.constraint, c.from, c.to, c.bounds);
        EXPECT_EQ(end, c.expected) << int(c.constraint) << " (" << c.from.x << "," << c.from.y << ")-("
                                   << c.to.x << "," << c.to.y << ") gave " << end.x << "," << end.y;
    }
}

}  // namespace
}  // namespace zobl
