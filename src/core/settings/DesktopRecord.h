#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zobl {

// The desktop record: what is open at close, so that the next start can put it back. It is one
// binary value ("desktopdata" in section "DESKTOP") of little-endian 32-bit signed integers:
//
//   header, 56 bytes:   total length, 0, placement of the main window (44), document count
//   per document, 272:  its length 272 + 68 x views, kind flags, path (260 bytes, 0-terminated,
//                       0-padded), view count; then its view records
//   per view, 68:       68, 0, placement of the view's window (44), ViewState (16)
//
// So the total length is 56 + 272 x documents + 68 x views: no documents gives 56 bytes, one
// document with one view 396, one document with two views 464.
namespace desktop {
inline constexpr std::size_t kPlacementSize = 44;
inline constexpr std::size_t kHeaderSize = 56;
inline constexpr std::size_t kDocumentRecordSize = 272;
inline constexpr std::size_t kViewRecordSize = 68;
inline constexpr std::size_t kPathFieldSize = 260;  // room for 259 bytes and the 0 byte
// Kind flags of a document record; 0 is a document of neither kind.
inline constexpr std::int32_t kSceneryKind = 1;
inline constexpr std::int32_t kVehicleKind = 2;
}  // namespace desktop

// A window's placement in the 44-byte layout the record has always used; on this desktop the
// GUI maps it to and from a window's geometry and state. The fields are stored in this order.
struct WindowPlacement {
    std::int32_t length = std::int32_t(desktop::kPlacementSize);
    std::int32_t flags = 0;
    std::int32_t showCommand = 0;
    std::int32_t minPositionX = 0;
    std::int32_t minPositionY = 0;
    std::int32_t maxPositionX = 0;
    std::int32_t maxPositionY = 0;
    std::int32_t normalLeft = 0;
    std::int32_t normalTop = 0;
    std::int32_t normalRight = 0;
    std::int32_t normalBottom = 0;

    bool operator==(const WindowPlacement&) const = default;
};

// What a view gives and takes back: zoom, scroll position, and for a vehicle view the number of
// its selected tree entry (scenery views leave it 0). The defaults are what a view of neither
// kind leaves in the record.
struct ViewState {
    std::int32_t zoom = 1;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int32_t selectedEntry = 0;

    bool operator==(const ViewState&) const = default;
};

struct DesktopView {
    WindowPlacement placement;
    ViewState state;

    bool operator==(const DesktopView&) const = default;
};

struct DesktopDocument {
    // desktop::kSceneryKind, desktop::kVehicleKind or 0; a read record may hold any value.
    std::int32_t kindFlags = 0;
    // The file's path as bytes (UTF-8 here); empty for a document never saved.
    std::string path;
    std::vector<DesktopView> views;

    bool operator==(const DesktopDocument&) const = default;
};

struct DesktopRecord {
    WindowPlacement mainWindow;
    std::vector<DesktopDocument> documents;

    bool operator==(const DesktopRecord&) const = default;
};

// The record's bytes, as laid out above. A path that does not fit its field (260 bytes or more)
// or holds a 0 byte is written empty: restoring then makes a new document of that kind, where a
// shortened path could open a different file without a word. Throws std::length_error when
// the record would exceed 2^31 - 1 bytes (some 31 million views).
// Example: a record without documents whose main window has the default placement gives
// 38 00 00 00, 00 00 00 00, 2C 00 00 00, 40 zero bytes, 00 00 00 00.
std::vector<std::uint8_t> WriteDesktopRecord(const DesktopRecord& record);

// The record in bytes, or nullopt when any part of it disagrees with the layout; a damaged
// record is refused whole, never half restored. Refused are:
// - a total length other than bytes.size(), or a header whose second integer is not 0;
// - a negative document count, or one whose 272-byte records cannot fit in what follows;
// - a document whose length is not 272 + 68 x its view count, whose view count is negative or
//   whose views run past the end, or whose path field has no 0 byte;
// - a view record that does not begin with 68 and 0;
// - bytes left over after the last document.
// Kind flags and placements are taken as they stand: the restorer decides what they mean.
// Bytes after a path's 0 byte are ignored. Never reads outside bytes, and allocates only for
// records the bytes actually hold.
// Example: WriteDesktopRecord(r) reads back as r whenever every path fits its field; the same
// bytes without their last byte read as nullopt.
std::optional<DesktopRecord> ReadDesktopRecord(std::span<const std::uint8_t> bytes);

// A stored path that means "a document never saved": "" and the two characters "" (a pair of
// double quotes). IsEmptyDesktopPath("\"\"") is true; IsEmptyDesktopPath("\"") and
// IsEmptyDesktopPath(" ") are false.
bool IsEmptyDesktopPath(std::string_view path) noexcept;

}  // namespace zobl
