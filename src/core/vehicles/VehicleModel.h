#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl {

// The fixed capacities of a vehicle graphic: up to 10 sets of up to 8 cars, every car drawn in
// four views whose size follows its length (in units of 8 pixels).
namespace vehicles {
inline constexpr int kMaxSets = 10;
inline constexpr int kMaxCars = 8;
inline constexpr int kMaxCarLength = 32;
inline constexpr int kMaxSetLength = 32;  // sum of the car lengths of a set: 256 pixels
inline constexpr int kViewCount = 4;
inline constexpr int kMaxSegments = 32;
inline constexpr int kViewStateWordCount = 100;  // one word per view of the document, views 0..99

// Sizes of the raw text fields, terminating 0 included.
inline constexpr std::size_t kSetNameField = 23;
inline constexpr std::size_t kCarTextField = 62;
inline constexpr std::size_t kAuthorField = 80;
inline constexpr std::size_t kDescriptionField = 1024;
inline constexpr std::size_t kInfoField = 2048;

// A loaded car must have a name: an empty slot is told by its empty name.
inline constexpr std::string_view kEmptyNameReplacement = "_LEER";

// CarFlags: three independent options and a three-way choice (neither bit = first choice). The
// property panel writes these five bits and clears every other.
inline constexpr std::uint32_t kCarFlagOption8000 = 0x8000;
inline constexpr std::uint32_t kCarFlagOption0001 = 0x0001;
inline constexpr std::uint32_t kCarFlagOption0040 = 0x0040;
inline constexpr std::uint32_t kCarFlagChoice0020 = 0x0020;
inline constexpr std::uint32_t kCarFlagChoice0010 = 0x0010;
inline constexpr std::uint32_t kCarFlagPanelBits = 0x8071;

// Views 1 and 2 lie horizontally (8d x 14 pixels); views 0 and 3 stand upright (8 x 4d).
constexpr bool IsHorizontalView(int view) {
    return view == 1 || view == 2;
}
constexpr bool IsValidView(int view) {
    return view >= 0 && view < kViewCount;
}
constexpr bool IsValidCarLength(int length) {
    return length >= 1 && length <= kMaxCarLength;
}
constexpr int ViewWidth(int view, int length) {
    return IsHorizontalView(view) ? 8 * length : 8;
}
constexpr int ViewHeight(int view, int length) {
    return IsHorizontalView(view) ? 14 : 4 * length;
}
constexpr std::size_t PlaneSize(int view, int length) {
    return std::size_t(ViewWidth(view, length)) * std::size_t(ViewHeight(view, length));
}
// All four planes of one length unit.
inline constexpr std::size_t kPlaneBytesPerUnit = 32 + 112 + 112 + 32;

// Byte offset of pixel (x, y), y = 0 the top row, in a plane stored bottom row first.
constexpr std::size_t PixelOffset(int view, int length, int x, int y) {
    return std::size_t(x) +
           std::size_t(ViewHeight(view, length) - 1 - y) * std::size_t(ViewWidth(view, length));
}
constexpr bool IsInsideView(int view, int length, int x, int y) {
    return x >= 0 && y >= 0 && x < ViewWidth(view, length) && y < ViewHeight(view, length);
}
}  // namespace vehicles

// A text in a fixed field of N bytes, kept as the raw single-byte (Windows-1252) bytes the files
// hold: at most N - 1 bytes, always followed by zero bytes up to the end of the field, so the
// field is exactly what a file gets.
template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kCapacity = N - 1;

    FixedText() = default;
    explicit FixedText(std::string_view raw) { Assign(raw); }

    // Cut at an embedded 0 byte and at the capacity.
    void Assign(std::string_view raw) {
        raw = raw.substr(0, std::min(raw.find('\0'), kCapacity));
        bytes_.fill(0);
        if (!raw.empty()) {
            std::memcpy(bytes_.data(), raw.data(), raw.size());
        }
    }
    void Clear() { bytes_ = {}; }

    std::string_view View() const {
        const auto end = std::find(bytes_.begin(), bytes_.end(), '\0');
        return {bytes_.data(), std::size_t(end - bytes_.begin())};
    }
    bool Empty() const { return bytes_[0] == 0; }
    const std::array<char, N>& Field() const { return bytes_; }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_{};
};

using SegmentFlags = std::array<std::array<std::uint16_t, vehicles::kMaxSegments>, vehicles::kViewCount>;
using ViewStateWords = std::array<std::int32_t, vehicles::kViewStateWordCount>;

// One car: texts, flags and four pixel planes (palette indices, bottom row first). A slot is
// free when its name is empty. Copies are deep: every copy owns its planes.
struct Car {
    int length = 0;  // 1..32 units of 8 pixels; 0 = free slot
    FixedText<vehicles::kCarTextField> name;
    FixedText<vehicles::kCarTextField> text2;
    FixedText<vehicles::kCarTextField> text3;
    SegmentFlags segmentFlags{};
    std::uint32_t carFlags = 0;
    std::array<std::vector<std::uint8_t>, vehicles::kViewCount> planes;
    // The slot the car occupies; the document renumbers them after every change.
    int setIndex = 0;
    int carIndex = 0;
    ViewStateWords viewState{};
    // Changes whenever the pixels may have changed, so views know to rebuild their images.
    std::uint32_t bitmapRevision = 0;

    bool IsUsed() const { return !name.Empty(); }
    // Texts, length, planes and view state go; CarFlags stay (a new car sets them anyway).
    void Clear();
    // The record copy: everything but setIndex and carIndex, which belong to the slot.
    void CopyFrom(const Car& other);
    // New planes of the car's length, filled with TransparentIndex.
    void AllocatePlanes();
};

struct VehicleSet {
    FixedText<vehicles::kSetNameField> name;  // empty = free slot
    int carCount = 0;
    std::array<Car, vehicles::kMaxCars> cars;
    ViewStateWords viewState{};

    bool IsUsed() const { return !name.Empty(); }
    void Clear();
    // Name, count, all eight cars by record copy and the view state.
    void CopyFrom(const VehicleSet& other);
    // Sum of the lengths of all eight slots (free slots count 0).
    int TotalLength() const;
};

// Everything a .fgs file holds: the ten set slots and the three header texts.
struct VehicleContent {
    std::vector<VehicleSet> sets = std::vector<VehicleSet>(vehicles::kMaxSets);
    FixedText<vehicles::kAuthorField> author;
    FixedText<vehicles::kDescriptionField> description;
    FixedText<vehicles::kInfoField> infoText;

    // Back to what a new VehicleContent holds, keeping the storage of the ten sets.
    void Clear();
};

}  // namespace zobl
