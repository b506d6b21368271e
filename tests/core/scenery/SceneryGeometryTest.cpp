#include "core/scenery/SceneryGeometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace zobl {
namespace {

using namespace scenery;

TEST(SceneryGeometryTest, LayoutScalesWithZoomAndSymbolDistance) {
    const SceneryGeometry g(3, 4);
    EXPECT_EQ(g.SymbolLeft(0), 6);
    EXPECT_EQ(g.SymbolLeft(1), 6 + 108);
    EXPECT_EQ(g.ExtentWidth(), 36 * 36 * 3);
    EXPECT_EQ(g.ExtentHeight(), 80 * 3 + 22);
    EXPECT_EQ(g.LabelRect(1), (ScreenRect{114, 0, 114 + 96, 22}));
    EXPECT_EQ(g.PixelSquare(PixelAddress{1, 2, 3, 4}),
              (ScreenRect{114 + 9, 22 + 36 * 3, 114 + 12, 22 + 36 * 3 + 3}));
    // The repaint area of two corners spans both squares, whatever their order.
    EXPECT_EQ(g.AreaRect(PixelPoint{33, 1}, PixelPoint{0, 0}), (ScreenRect{6, 22, 114 + 6, 22 + 6}));

    // Odd gaps at odd zooms truncate their half.
    EXPECT_EQ(SceneryGeometry(3, 3).SymbolLeft(0), 4);
    EXPECT_EQ(SceneryGeometry(1, 0, 2).PixelSquare(PixelAddress{0, 1, 0, 0}).top, 22 + 1 + 18);
}

TEST(SceneryGeometryTest, ZoomStaysWithinOneToTen) {
    SceneryGeometry g;
    EXPECT_EQ(g.Zoom(), 1);
    EXPECT_FALSE(g.CanZoomOut());
    EXPECT_FALSE(g.ZoomOut());
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(g.ZoomIn());
    }
    EXPECT_EQ(g.Zoom(), 10);
    EXPECT_FALSE(g.CanZoomIn());
    EXPECT_FALSE(g.ZoomIn());
    EXPECT_FALSE(g.SetZoom(99));
    EXPECT_EQ(SceneryGeometry(-5, -7).Zoom(), 1);
    EXPECT_EQ(SceneryGeometry(1, -7).SymbolDistance(), 0);
}

TEST(SceneryGeometryTest, EveryPixelSquareHitsItsPixelAtEveryZoomAndDistance) {
    for (const int distance : {0, 1, 4, 16}) {
        for (const int zoom : {1, 2, 3, 7, 10}) {
            const SceneryGeometry g(zoom, distance);
            for (int s = 0; s < kSymbolCount; s += 7) {
                for (int r = 0; r < kRowCount; ++r) {
                    for (int y = 0; y < kCellHeight; y += 5) {
                        for (int x = 0; x < kCellWidth; ++x) {
                            const PixelAddress a{s, r, x, y};
                            const ScreenRect sq = g.PixelSquare(a);
                            ASSERT_EQ(g.HitTest({sq.left, sq.top}), a) << distance << " " << zoom;
                            ASSERT_EQ(g.HitTest({sq.right - 1, sq.bottom - 1}), a) << distance << " " << zoom;
                        }
                    }
                }
            }
        }
    }
}

TEST(SceneryGeometryTest, GapsNumberBandAndOutsideAreNotOnAPixel) {
    const SceneryGeometry g(10, 4);
    // Between symbol 0 (ending at 20 + 320) and symbol 1 (starting at 20 + 360).
    for (int x = 340; x < 380; ++x) {
        EXPECT_FALSE(g.HitTest({x, 100})) << x;
    }
    // Left of the first symbol and the whole number band, its last line included.
    for (int x = -15; x < 20; ++x) {
        EXPECT_FALSE(g.HitTest({x, 100})) << x;
    }
    for (int y = -12; y < 22; ++y) {
        EXPECT_FALSE(g.HitTest({25, y})) << y;
    }
    EXPECT_TRUE(g.HitTest({20, 22}));
    EXPECT_FALSE(g.HitTest({g.ExtentWidth(), 100}));
    EXPECT_FALSE(g.HitTest({25, g.ExtentHeight()}));
    EXPECT_FALSE(g.HitTest({std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}));
}

TEST(SceneryGeometryTest, ZoomingKeepsThePixelUnderThePointer) {
    SceneryGeometry g(2, 4);
    const ScreenPoint pointer{150, 90};
    const ScreenPoint scroll{400, 0};
    const auto hit = g.HitTest({scroll.x + pointer.x, scroll.y + pointer.y});
    ASSERT_TRUE(hit);
    g.ZoomIn();
    const ScreenPoint newScroll = g.ScrollKeepingPixel(*hit, pointer);
    EXPECT_EQ(g.HitTest({newScroll.x + pointer.x, newScroll.y + pointer.y}), hit);
    EXPECT_EQ(g.PixelSquare(*hit).left - pointer.x, newScroll.x);
}

TEST(SceneryGeometryTest, SymbolsArePaintedWithTheirPresentRowsOnly) {
    SceneryDocument doc;
    const SceneryGeometry g(2, 0);
    // Base row only: one cell.
    const SymbolBlit base = g.SymbolPainting(doc, 0);
    EXPECT_EQ(base.destination, (ScreenRect{0, 23 + 3 * 32, 64, 23 + 4 * 32}));
    EXPECT_EQ(base.sourceLeft, 0);
    EXPECT_EQ(base.sourceTop, 48);
    EXPECT_EQ(base.sourceHeight, 16);

    // Rows 2 and 3 start two cells lower than rows 0 to 3.
    ASSERT_EQ(doc.AddRow(1, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(2, 2, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(2, 1, kAddRowCheckRules), 0);
    ASSERT_EQ(doc.AddRow(2, 0, kAddRowCheckRules), 0);
    const SymbolBlit two = g.SymbolPainting(doc, 1);
    const SymbolBlit four = g.SymbolPainting(doc, 2);
    EXPECT_EQ(two.destination.top - four.destination.top, 2 * 32);
    EXPECT_EQ(four.sourceTop, 0);
    EXPECT_EQ(four.sourceHeight, 64);
    EXPECT_EQ(two.sourceLeft, 32);

    // Row 4 extends the bottom.
    ASSERT_EQ(doc.AddRow(3, 4, kAddRowCheckRules), 0);
    const SymbolBlit below = g.SymbolPainting(doc, 3);
    EXPECT_EQ(below.destination.bottom, 23 + 5 * 32);
    EXPECT_EQ(below.sourceTop, 48);
    EXPECT_EQ(below.sourceHeight, 32);
}

TEST(SceneryGeometryTest, SpecialColourMarksSitInTheSquareCentresFromTheirZoom) {
    const SceneryGeometry z3(3, 4);
    const SceneryGeometry z4(4, 4);
    EXPECT_FALSE(z3.ShowsSpecialMarks(4));
    EXPECT_TRUE(z4.ShowsSpecialMarks(4));
    EXPECT_EQ(z4.SpecialMarkPoint({1, 0, 2, 3}), (ScreenPoint{8 + 144 + 8 + 2, 22 + 12 + 2}));
    EXPECT_EQ(SpecialMarkOf(56), SpecialMark::Transparent);
    EXPECT_EQ(SpecialMarkOf(97), SpecialMark::HalfTransparent);
    EXPECT_EQ(SpecialMarkOf(99), SpecialMark::Background);
    EXPECT_EQ(SpecialMarkOf(98), SpecialMark::None);
}

}  // namespace
}  // namespace zobl
