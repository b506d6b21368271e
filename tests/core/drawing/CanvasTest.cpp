#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "core/drawing/Canvas.h"
#include "core/drawing/MouseMode.h"
#include "core/scenery/SceneryTools.h"
#include "core/scenery/SceneryTransforms.h"
#include "core/vehicles/CarViewCanvas.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;
constexpr MouseMode kFill = MouseMode::Fill;

// A plain surface: a picture with bounds that need not start at 0 and a mask of the pixels a
// fill may spread into (changing fillability anywhere, not only at cell borders).
struct TestCanvas {
    PixelRect bounds;
    std::vector<PaletteIndex> pixels;  // top-down lines
    std::vector<bool> fillable;

    TestCanvas(PixelRect b)
        : bounds(b), pixels(std::size_t(b.Width() * b.Height())), fillable(pixels.size(), true) {}
    std::size_t At(PixelPoint p) const {
        return std::size_t((p.y - bounds.y0) * bounds.Width() + p.x - bounds.x0);
    }

    PixelRect Bounds() const { return bounds; }
    bool Contains(PixelPoint p) const { return bounds.Contains(p); }
    bool Fillable(PixelPoint p) const { return fillable[At(p)]; }
    PixelRun FillableRun(int x, int y) const {
        const bool f = Fillable({x, y});
        int first = x;
        while (first > bounds.x0 && Fillable({first - 1, y}) == f) {
            --first;
        }
        int last = x;
        while (last < bounds.x1 && Fillable({last + 1, y}) == f) {
            ++last;
        }
        return {first, last};
    }
    PaletteIndex Get(PixelPoint p) const { return pixels[At(p)]; }
    const PaletteIndex* Line(int y) const { return pixels.data() + At({bounds.x0, y}); }
    bool Set(PixelPoint p, PaletteIndex v) {
        if (!Contains(p) || pixels[At(p)] == v) {
            return false;
        }
        pixels[At(p)] = v;
        return true;
    }
    void SetSpan(int y, int x0, int x1, PaletteIndex v) {
        for (int x = x0; x <= x1; ++x) {
            Set({x, y}, v);
        }
    }
    bool SetDrawn(PixelPoint p, PaletteIndex v) { return Set(p, v); }
};
static_assert(PixelCanvas<TestCanvas>);
static_assert(PixelCanvas<SceneryCanvas>);
static_assert(PixelCanvas<CarViewCanvas>);

// The obvious fill: the start, then breadth first through qualifying neighbours.
template <typename Read, typename Qualifies, typename Write>
void ReferenceFill(PixelPoint start, PaletteIndex colour, bool diagonal, Read read, Qualifies qualifies,
                   Write write) {
    const PaletteIndex old = read(start);
    if (old == colour) {
        return;
    }
    write(start, colour);
    std::deque<PixelPoint> work{start};
    while (!work.empty()) {
        const PixelPoint p = work.front();
        work.pop_front();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const PixelPoint n{p.x + dx, p.y + dy};
                if ((dx == 0) != (dy == 0) || (diagonal && dx != 0)) {
                    if (qualifies(n, old)) {
                        write(n, colour);
                        work.push_back(n);
                    }
                }
            }
        }
    }
}

void Scribble(std::vector<PaletteIndex>& pixels, std::mt19937& random, int colours) {
    std::uniform_int_distribution<int> pick(0, colours - 1);
    for (PaletteIndex& p : pixels) {
        p = PaletteIndex(pick(random));
    }
}

TEST(Canvas, FillFillsWhatTheObviousFillFills) {
    struct Case {
        int colours;        // few colours: large winding regions; more: small ones
        int fillableEvery;  // every n-th pixel a fill may not enter (0: all may)
        bool diagonal;
    };
    std::mt19937 random(7);
    for (const Case c : {Case{2, 0, false}, Case{2, 0, true}, Case{3, 7, false}, Case{3, 7, true},
                         Case{2, 3, true}, Case{6, 0, true}}) {
        for (int round = 0; round < 20; ++round) {
            TestCanvas fast({-3, 5, 40, 37});
            Scribble(fast.pixels, random, c.colours);
            for (std::size_t i = 0; c.fillableEvery != 0 && i < fast.fillable.size();
                 i += std::size_t(c.fillableEvery)) {
                fast.fillable[i] = false;
            }
            TestCanvas slow = fast;
            const PixelPoint start{int(random() % 44) - 3, int(random() % 33) + 5};
            CUBStack stack(16);
            EXPECT_TRUE(FloodFillFrom(fast, start, 9, c.diagonal, stack));
            EXPECT_EQ(stack.Count(), 0);
            ReferenceFill(
                start, 9, c.diagonal, [&](PixelPoint p) { return slow.Get(p); },
                [&](PixelPoint p, PaletteIndex old) {
                    return slow.Contains(p) && slow.Get(p) == old && slow.Fillable(p);
                },
                [&](PixelPoint p, PaletteIndex v) { slow.Set(p, v); });
            ASSERT_EQ(fast.pixels, slow.pixels) << "colours " << c.colours << " round " << round;
        }
    }
}

TEST(Canvas, SceneryFillStaysInPresentRowsLikeTheObviousFill) {
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        SceneryDocument doc;
        for (int s = 0; s < scenery::kSymbolCount; ++s) {
            for (int r = 0; r < scenery::kRowCount; ++r) {
                if (random() % 2 == 0) {
                    doc.AddRow(s, r, 0);
                }
            }
        }
        std::vector<PaletteIndex> picture(scenery::kStoreSize);
        Scribble(picture, random, 2);
        std::copy(picture.begin(), picture.end(), doc.PixelStoreForLoading().begin());
        std::vector<PaletteIndex> expected = picture;
        const PixelPoint start{int(random() % scenery::kStoreWidth), int(random() % scenery::kStoreHeight)};
        const bool diagonal = round % 2 == 1;
        ReferenceFill(
            start, 7, diagonal, [&](PixelPoint p) { return expected[scenery::StoreOffset(p.x, p.y)]; },
            [&](PixelPoint p, PaletteIndex old) {
                return WholeStoreRect().Contains(p) && expected[scenery::StoreOffset(p.x, p.y)] == old &&
                       doc.IsRowPresent(p.x / scenery::kCellWidth, p.y / scenery::kCellHeight);
            },
            [&](PixelPoint p, PaletteIndex v) { expected[scenery::StoreOffset(p.x, p.y)] = v; });
        FloodFill(doc, start, 7, diagonal, {kFill, false}, nullptr);
        const auto store = doc.PixelStore();
        ASSERT_TRUE(std::equal(store.begin(), store.end(), expected.begin())) << round;
    }
}

TEST(Canvas, TransformsMoveEveryPixelOfTheAreaOnly) {
    struct Case {
        PixelTransform transform;
        PixelTransform inverse;
        int dx;  // where pixel (x, y) of the area goes, before wrapping
        int dy;
        bool mirrorX;
        bool mirrorY;
    };
    const Case cases[] = {
        {PixelTransform::MirrorVertically, PixelTransform::MirrorVertically, 0, 0, false, true},
        {PixelTransform::MirrorHorizontally, PixelTransform::MirrorHorizontally, 0, 0, true, false},
        {PixelTransform::ShiftDown, PixelTransform::ShiftUp, 0, 1, false, false},
        {PixelTransform::ShiftUp, PixelTransform::ShiftDown, 0, -1, false, false},
        {PixelTransform::ShiftRight, PixelTransform::ShiftLeft, 1, 0, false, false},
        {PixelTransform::ShiftLeft, PixelTransform::ShiftRight, -1, 0, false, false},
    };
    std::mt19937 random(3);
    for (const Case& c : cases) {
        for (const PixelRect area : {PixelRect{2, 3, 9, 5}, PixelRect{0, 0, 11, 13}, PixelRect{4, 4, 4, 8}}) {
            TestCanvas canvas({0, 0, 11, 13});
            Scribble(canvas.pixels, random, 50);
            const TestCanvas before = canvas;
            TransformArea(canvas, area, c.transform);
            for (int y = 0; y <= 13; ++y) {
                for (int x = 0; x <= 11; ++x) {
                    PixelPoint to{x, y};
                    if (area.Contains({x, y})) {
                        to.x = c.mirrorX ? area.x1 - (x - area.x0)
                                         : area.x0 + (x - area.x0 + c.dx + area.Width()) % area.Width();
                        to.y = c.mirrorY ? area.y1 - (y - area.y0)
                                         : area.y0 + (y - area.y0 + c.dy + area.Height()) % area.Height();
                    }
                    ASSERT_EQ(canvas.Get(to), before.Get({x, y})) << x << "," << y;
                }
            }
            TransformArea(canvas, area, c.inverse);
            EXPECT_EQ(canvas.pixels, before.pixels);
        }
    }
}

TEST(Canvas, CarViewIsItsOwnSurface) {
    VehicleDocument doc;
    ASSERT_TRUE(doc.AddVehicleSet("S", kFreehand));
    ASSERT_TRUE(doc.AddCar(0, 0, "a", "", "", 4, nullptr, kFreehand));
    ASSERT_TRUE(doc.AddCar(0, 1, "b", "", "", 2, nullptr, kFreehand));
    doc.ResetUndoHistory();
    const auto before = doc.Plane(0, 0, 1);

    // View 2 of the second car, 16 x 14: a frame, then a fill inside it.
    CarViewCanvas canvas(doc, 0, 1, 2, kFill);
    EXPECT_EQ(canvas.Bounds(), (PixelRect{0, 0, 15, 13}));
    DrawPoints(canvas, RectangleOutlinePoints({2, 2}, {9, 7}), 3);
    CUBStack stack(8);
    // Already that colour: nothing, and no undo step.
    CarViewCanvas same(doc, 0, 1, 2, kFill);
    EXPECT_TRUE(FloodFillFrom(same, {3, 3}, TransparentIndex, false, stack));
    EXPECT_FALSE(same.Finish());
    EXPECT_TRUE(FloodFillFrom(canvas, {3, 3}, 5, false, stack));
    EXPECT_TRUE(canvas.Finish());
    EXPECT_EQ(doc.GetPixel(0, 1, 2, 5, 5), 5);
    EXPECT_EQ(doc.GetPixel(0, 1, 2, 2, 2), 3);
    EXPECT_EQ(doc.GetPixel(0, 1, 2, 0, 0), TransparentIndex);
    EXPECT_EQ(canvas.ChangedCount(), std::size_t(2 * 8 + 2 * 4) + 6 * 4);
    // Other views and cars are untouched; one undo step holds it all.
    EXPECT_TRUE(std::equal(before.begin(), before.end(), doc.Plane(0, 0, 1).begin()));
    EXPECT_EQ(doc.UndoCount(), 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.GetPixel(0, 1, 2, 5, 5), TransparentIndex);

    // No such view: an empty surface that ignores writes.
    CarViewCanvas none(doc, 0, 5, 2, kFill);
    EXPECT_FALSE(none.Bounds().HasPixels());
    EXPECT_FALSE(none.Set({0, 0}, 1));
    EXPECT_FALSE(none.Finish());
}

}  // namespace
}  // namespace zobl
