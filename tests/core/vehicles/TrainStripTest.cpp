#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "core/vehicles/TrainStrip.h"
#include "core/vehicles/VehicleModel.h"

namespace zobl {
namespace {

// A set whose car k has length lengths[k]; pixel (x, y) of view v of car k holds
// (10 * k + v + x / 8 + y) % 50, so every car, view, segment and row tells itself apart.
VehicleSet MakeSet(const std::vector<int>& lengths) {
    VehicleSet set;
    set.name.Assign("Zug");
    set.carCount = int(lengths.size());
    for (std::size_t k = 0; k < lengths.size(); ++k) {
        Car& car = set.cars[k];
        car.name.Assign("Wagen " + std::to_string(k));
        car.length = lengths[k];
        car.carIndex = int(k);
        car.AllocatePlanes();
        for (int v = 0; v < vehicles::kViewCount; ++v) {
            for (int y = 0; y < vehicles::ViewHeight(v, car.length); ++y) {
                for (int x = 0; x < vehicles::ViewWidth(v, car.length); ++x) {
                    car.planes[std::size_t(v)][vehicles::PixelOffset(v, car.length, x, y)] =
                        std::uint8_t((10 * int(k) + v + x / 8 + y) % 50);
                }
            }
        }
    }
    return set;
}

TEST(TrainStrip, PlacesCarsInCouplingOrder) {
    using enum TrainDirection;
    const std::vector<int> eight = {4, 1, 2, 3, 1, 5, 2, 4};
    struct Case {
        std::vector<int> lengths;
        TrainDirection direction;
        std::vector<int> cars;  // left to right
        std::vector<int> xs;
        int width, segments;
    };
    const Case cases[] = {
        {{3}, Forward, {0}, {0}, 24, 3},
        {{3}, Reverse, {0}, {0}, 24, 3},
        {{2, 1}, Forward, {0, 1}, {0, 16}, 24, 3},
        {{2, 1}, Reverse, {1, 0}, {0, 8}, 24, 3},
        {eight, Forward, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 32, 40, 56, 80, 88, 128, 144}, 176, 22},
        {eight, Reverse, {7, 6, 5, 4, 3, 2, 1, 0}, {0, 32, 48, 88, 96, 120, 136, 144}, 176, 22},
        {{}, Forward, {}, {}, 0, 0},
    };
    for (const auto& c : cases) {
        const TrainLayout layout = LayoutTrain(MakeSet(c.lengths), c.direction);
        SCOPED_TRACE(::testing::Message() << c.lengths.size() << " cars, direction " << int(c.direction));
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.lengths.empty() ? 0 : 14);
        EXPECT_EQ(layout.segments, c.segments);
        ASSERT_EQ(layout.places.size(), c.cars.size());
        for (std::size_t i = 0; i < c.cars.size(); ++i) {
            const int car = c.cars[i];
            const TrainCarPlace expected{car, c.direction == Forward ? 1 : 2,  c.xs[i],
                                         0,   8 * c.lengths[std::size_t(car)], 14};
            EXPECT_EQ(layout.places[i], expected) << "place " << i;
        }
    }
}

TEST(TrainStrip, FittingZoom) {
    struct Case {
        int stripWidth, stripHeight, availableWidth, availableHeight, zoom;
    };
    const Case cases[] = {
        {256, 14, 600, 0, 2}, {256, 14, 512, 0, 2}, {256, 14, 511, 0, 1},
        {256, 14, 100, 0, 1}, {24, 14, 600, 0, 25}, {24, 14, 600, 70, 5},
        {24, 14, 600, 13, 1}, {8, 14, 7, 0, 1},     {0, 0, 600, 0, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FittingZoom(c.stripWidth, c.stripHeight, c.availableWidth, c.availableHeight), c.zoom)
            << c.stripWidth << "x" << c.stripHeight << " in " << c.availableWidth << "x" << c.availableHeight;
    }
}

TEST(TrainStrip, CarUnderPoint) {
    // Forward: car 0 at columns 0..15, car 1 16..23, car 2 24..47.
    // Reverse: car 2 at 0..23, car 1 24..31, car 0 32..47.
    const VehicleSet set = MakeSet({2, 1, 3});
    const TrainLayout forward = LayoutTrain(set, TrainDirection::Forward);
    const TrainLayout reverse = LayoutTrain(set, TrainDirection::Reverse);
    struct Case {
        const TrainLayout* layout;
        int x, y, zoom, car;
    };
    const Case cases[] = {
        {&forward, 0, 0, 1, 0},   {&forward, 15, 13, 1, 0},  {&forward, 16, 0, 1, 1},
        {&forward, 24, 5, 1, 2},  {&forward, 47, 13, 1, 2},  {&forward, 48, 0, 1, -1},
        {&forward, -1, 0, 1, -1}, {&forward, 0, 14, 1, -1},  {&reverse, 23, 0, 1, 2},
        {&reverse, 24, 0, 1, 1},  {&reverse, 32, 0, 1, 0},   {&forward, 31, 0, 2, 0},
        {&forward, 32, 27, 2, 1}, {&forward, 32, 28, 2, -1}, {&forward, -1, 0, 2, -1},
        {&reverse, 96, 0, 2, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.layout->CarAtZoomed(c.x, c.y, c.zoom), c.car)
            << (c.layout == &forward ? "forward" : "reverse") << " (" << c.x << ", " << c.y << ") zoom "
            << c.zoom;
    }
}

TEST(TrainStrip, RendersSideViewsAsStored) {
    // Two cars of lengths 2 and 1; MakeSet's pattern written out: view v of car k, column x, row y.
    const VehicleSet set = MakeSet({2, 1});
    const auto expected = [](TrainDirection direction) {
        std::vector<PaletteIndex> pixels;
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 24; ++x) {
                int value = 0;
                if (direction == TrainDirection::Forward) {
                    value = x < 16 ? 1 + x / 8 + y : 10 + 1 + y;  // car 0 view 1, then car 1 view 1
                } else {
                    value = x < 8 ? 10 + 2 + y : 2 + (x - 8) / 8 + y;  // car 1 view 2, then car 0 view 2
                }
                pixels.push_back(PaletteIndex(value));
            }
        }
        return pixels;
    };
    for (const auto direction : {TrainDirection::Forward, TrainDirection::Reverse}) {
        EXPECT_EQ(RenderTrain(set, LayoutTrain(set, direction), BackgroundIndex), expected(direction))
            << int(direction);
    }
}

TEST(TrainStrip, RerenderingOneCarTouchesOnlyItsColumns) {
    VehicleSet set = MakeSet({2, 1, 3});
    const TrainLayout layout = LayoutTrain(set, TrainDirection::Reverse);  // car 1 at columns 24..31
    std::vector<PaletteIndex> pixels = RenderTrain(set, layout, BackgroundIndex);
    const std::vector<PaletteIndex> before = pixels;
    for (auto& car : set.cars) {
        for (auto& plane : car.planes) {
            std::fill(plane.begin(), plane.end(), std::uint8_t(77));
        }
    }
    ASSERT_TRUE(RenderTrainCar(set, layout, 1, BackgroundIndex, pixels));
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            const std::size_t at = std::size_t(y * layout.width + x);
            EXPECT_EQ(pixels[at], x >= 24 && x < 32 ? 77 : before[at]) << x << ", " << y;
        }
    }
    // A car outside the strip and a picture of another size are refused and change nothing.
    const std::vector<PaletteIndex> after = pixels;
    EXPECT_FALSE(RenderTrainCar(set, layout, 5, BackgroundIndex, pixels));
    EXPECT_FALSE(RenderTrainCar(set, layout, 1, BackgroundIndex, std::span(pixels).first(pixels.size() - 1)));
    EXPECT_EQ(pixels, after);
}

TEST(TrainStrip, PictureStacksBothDirectionsMagnified) {
    // Cars of lengths 2 and 1 at zoom 3: 24 x 3 = 72 wide; rows 0..41 Forward, 42..53 the gap,
    // 54..95 Reverse.
    const VehicleSet set = MakeSet({2, 1});
    const TrainPicture picture = RenderTrainPicture(set, 3);
    ASSERT_EQ(picture.width, 72);
    ASSERT_EQ(picture.height, 96);
    ASSERT_EQ(picture.pixels.size(), std::size_t(72 * 96));
    const auto at = [&picture](int x, int y) {
        return int(picture.pixels[std::size_t(y * picture.width + x)]);
    };
    // (picture x, y) -> car k view v, strip column, row: 10k + v + column / 8 + row.
    EXPECT_EQ(at(0, 0), 1);                      // car 0 view 1, column 0, row 0
    EXPECT_EQ(at(2, 2), 1);                      // the same pixel, magnified
    EXPECT_EQ(at(3 * 8, 3 * 5), 1 + 1 + 5);      // car 0 segment 1, row 5
    EXPECT_EQ(at(3 * 16, 3 * 13 + 2), 11 + 13);  // car 1 view 1, last row
    EXPECT_EQ(at(0, 42), TransparentIndex);
    EXPECT_EQ(at(71, 53), TransparentIndex);
    EXPECT_EQ(at(0, 54), 12);                 // Reverse: car 1 view 2 on the left
    EXPECT_EQ(at(3 * 8, 54 + 3 * 2), 2 + 2);  // then car 0 view 2, row 2
    EXPECT_EQ(at(71, 95), 2 + 1 + 13);
    // The zoom is clamped, and a set without cars draws nothing.
    EXPECT_EQ(RenderTrainPicture(set, 0).width, 24);
    EXPECT_EQ(RenderTrainPicture(set, 99).width, 24 * train::kMaxZoom);
    const TrainPicture empty = RenderTrainPicture(MakeSet({}), 2);
    EXPECT_EQ(empty.width, 0);
    EXPECT_TRUE(empty.pixels.empty());
}

}  // namespace
}  // namespace zobl
