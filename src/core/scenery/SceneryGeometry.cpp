#include "core/scenery/SceneryGeometry.h"

#include <algorithm>

namespace zobl {

using namespace scenery;

namespace {

// Division and remainder rounding toward minus infinity. For the positions inside the view they
// equal the truncating ones; for positions left of the first symbol or in the number band they
// keep those positions off the pixels (truncation would turn the last z - 1 screen pixels
// before the first column or line into pixel 0).
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
    return a - FloorDiv(a, b) * b;
}

}  // namespace

PixelAddress PixelAddress::FromAbsolute(PixelPoint p) {
    if (p.x < 0 || p.x >= kStoreWidth || p.y < 0 || p.y >= kStoreHeight) {
        return {-1, -1, -1, -1};
    }
    return {p.x / kCellWidth, p.y / kCellHeight, p.x % kCellWidth, p.y % kCellHeight};
}

SceneryGeometry::SceneryGeometry(int zoom, int symbolDistance, int rowGap) {
    SetZoom(zoom);
    SetSymbolDistance(symbolDistance);
    SetRowGap(rowGap);
}

bool SceneryGeometry::SetZoom(int zoom) noexcept {
    const int clamped = std::clamp(zoom, kMinZoom, kMaxZoom);
    const bool changed = clamped != zoom_;
    zoom_ = clamped;
    return changed;
}

void SceneryGeometry::SetSymbolDistance(int distance) noexcept {
    distance_ = std::clamp(distance, 0, kMaxSymbolDistance);
}

void SceneryGeometry::SetRowGap(int gap) noexcept {
    rowGap_ = std::clamp(gap, 0, kMaxSymbolDistance);
}

int SceneryGeometry::ExtentWidth() const noexcept {
    return CellPitchX() * kSymbolCount;
}

int SceneryGeometry::ExtentHeight() const noexcept {
    return CellPitchY() * kRowCount + kLabelHeight;
}

int SceneryGeometry::SymbolLeft(int symbol) const noexcept {
    return (distance_ * zoom_) / 2 + symbol * CellPitchX();
}

ScreenRect SceneryGeometry::LabelRect(int symbol) const noexcept {
    const int left = SymbolLeft(symbol);
    return {left, 0, left + kCellWidth * zoom_, kLabelHeight};
}

ScreenRect SceneryGeometry::PixelSquare(PixelAddress a) const noexcept {
    const int left = SymbolLeft(a.symbol) + a.x * zoom_;
    const int top = kLabelHeight + (rowGap_ * zoom_) / 2 + (a.row * (kCellHeight + rowGap_) + a.y) * zoom_;
    return {left, top, left + zoom_, top + zoom_};
}

ScreenRect SceneryGeometry::AreaRect(PixelPoint a, PixelPoint b) const noexcept {
    const ScreenRect first = PixelSquare(PixelAddress::FromAbsolute(a));
    const ScreenRect second = PixelSquare(PixelAddress::FromAbsolute(b));
    return {std::min(first.left, second.left), std::min(first.top, second.top),
            std::max(first.right, second.right), std::max(first.bottom, second.bottom)};
}

std::optional<PixelAddress> SceneryGeometry::HitTest(ScreenPoint position) const noexcept {
    const std::int64_t pitchX = CellPitchX();
    const std::int64_t pitchY = CellPitchY();
    const std::int64_t xm = position.x;
    const std::int64_t ym = std::int64_t{position.y} - kLabelHeight;
    const std::int64_t s = FloorDiv(xm, pitchX);
    const std::int64_t r = FloorDiv(ym, pitchY);
    const std::int64_t x = FloorMod(xm - (distance_ * zoom_) / 2, pitchX) / zoom_;
    const std::int64_t y = FloorMod(ym - (rowGap_ * zoom_) / 2, pitchY) / zoom_;
    if (s < 0 || s >= kSymbolCount || r < 0 || r >= kRowCount || x >= kCellWidth || y >= kCellHeight) {
        return std::nullopt;
    }
    return PixelAddress{int(s), int(r), int(x), int(y)};
}

ScreenPoint SceneryGeometry::ScrollKeepingPixel(PixelAddress address,
                                                ScreenPoint pointerInWindow) const noexcept {
    const ScreenRect square = PixelSquare(address);
    return {square.left - pointerInWindow.x, square.top - pointerInWindow.y};
}

SymbolBlit SceneryGeometry::SymbolPainting(const SceneryDocument& doc, int symbol) const {
    const int cellPitchY = CellPitchY();
    SymbolBlit blit;
    blit.destination.left = SymbolLeft(symbol);
    blit.destination.right = blit.destination.left + kCellWidth * zoom_;
    // One line below the squares that hit testing and the marks use: the picture has always
    // been painted this way.
    blit.destination.top = kLabelHeight + 1;
    blit.destination.bottom = blit.destination.top + cellPitchY * kRowCount;

    int sourceTop = 0;
    int sourceBottom = kStoreHeight;
    for (int row = 0; row < kBaseRow; ++row) {
        if (!doc.IsRowPresentForOutput(symbol, row)) {
            blit.destination.top += cellPitchY;
            sourceTop += kCellHeight;
        }
    }
    if (!doc.IsRowPresentForOutput(symbol, kRowCount - 1)) {
        blit.destination.bottom -= cellPitchY;
        sourceBottom -= kCellHeight;
    }
    const int sourceHeight = sourceBottom - sourceTop;
    blit.sourceLeft = symbol * kCellWidth;
    blit.sourceTop = sourceTop;
    blit.sourceWidth = kCellWidth;
    blit.sourceHeight = sourceHeight;
    return blit;
}

ScreenPoint SceneryGeometry::SpecialMarkPoint(PixelAddress address) const noexcept {
    const ScreenRect square = PixelSquare(address);
    return {square.left + zoom_ / 2, square.top + zoom_ / 2};
}

}  // namespace zobl
