#pragma once

#include <cstdint>
#include <optional>

#include "core/drawing/PixelTypes.h"
#include "core/drawing/Tools.h"
#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"

namespace zobl {

// Absolute pixels of the store (PixelPoint): X 0..1151, Y 0..79 counted from the top.

// A pixel by cell: symbol 0..35, row 0..4, x 0..31, y 0..15.
struct PixelAddress {
    int symbol = 0;
    int row = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelAddress&, const PixelAddress&) = default;

    bool IsValid() const { return scenery::IsValidAddress(symbol, row, x, y); }
    PixelPoint Absolute() const { return {symbol * scenery::kCellWidth + x, row * scenery::kCellHeight + y}; }
    // Meaningful for points inside the store; others give an invalid address.
    static PixelAddress FromAbsolute(PixelPoint p);
};

// The whole pixel store as a rectangle of absolute pixels.
inline PixelRect WholeStoreRect() {
    return {0, 0, scenery::kStoreWidth - 1, scenery::kStoreHeight - 1};
}

// View coordinates in screen pixels, scrolled ("logical"): (0, 0) is the top-left corner of the
// whole view, not of the window.
struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Right and bottom are exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// Where one symbol is painted from and to: the present rows only, as one stretched copy of the
// display pixels (top-down lines, line 0 = Y 0).
struct SymbolBlit {
    ScreenRect destination;
    int sourceLeft = 0;
    int sourceTop = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    friend bool operator==(const SymbolBlit&, const SymbolBlit&) = default;
};

// The layout of a scenery view at one zoom: the symbols side by side with a gap between them,
// each with its number band above, every document pixel a square of zoom x zoom screen pixels.
// Everything a view needs to paint, hit-test and scroll that does not need a window.
class SceneryGeometry {
public:
    static constexpr int kLabelHeight = 22;  // the number band, not scaled by the zoom
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 10;
    static constexpr int kMaxSymbolDistance = 1000;  // far beyond the setting's 16; keeps sums in range

    explicit SceneryGeometry(int zoom = kMinZoom, int symbolDistance = 0, int rowGap = 0);

    int Zoom() const noexcept { return zoom_; }
    // Clamped to 1..10. True when the zoom changed.
    bool SetZoom(int zoom) noexcept;
    bool CanZoomIn() const noexcept { return zoom_ < kMaxZoom; }
    bool CanZoomOut() const noexcept { return zoom_ > kMinZoom; }
    bool ZoomIn() noexcept { return SetZoom(zoom_ + 1); }
    bool ZoomOut() noexcept { return SetZoom(zoom_ - 1); }

    // Gap between symbols in document pixels (SYMBOLDISTANCE), clamped to 0..kMaxSymbolDistance.
    int SymbolDistance() const noexcept { return distance_; }
    void SetSymbolDistance(int distance) noexcept;
    // Gap between rows in document pixels; 0 unless someone sets it. Same clamping.
    int RowGap() const noexcept { return rowGap_; }
    void SetRowGap(int gap) noexcept;

    // Size of the whole view: (W + d)·N·z by (H + g)·L·z + 22.
    int ExtentWidth() const noexcept;
    int ExtentHeight() const noexcept;

    // First screen column of symbol s: (d·z)/2 + s·(W + d)·z.
    int SymbolLeft(int symbol) const noexcept;
    // The band above symbol s where its number ("%02d" of s + 1) is centred.
    ScreenRect LabelRect(int symbol) const noexcept;

    // The z x z square of a document pixel (hit testing, previews, marks, repaint areas).
    ScreenRect PixelSquare(PixelAddress address) const noexcept;
    ScreenRect PixelSquare(PixelPoint point) const noexcept {
        return PixelSquare(PixelAddress::FromAbsolute(point));
    }
    // The squares of two corner pixels and everything between, normalised: what to repaint for
    // a changed area, what a filled preview inverts, what the marking frame surrounds.
    ScreenRect AreaRect(PixelPoint a, PixelPoint b) const noexcept;
    ScreenRect AreaRect(const PixelRect& rect) const noexcept {
        return AreaRect(PixelPoint{rect.x0, rect.y0}, PixelPoint{rect.x1, rect.y1});
    }

    // The document pixel under a view position, or nothing over a gap, the number band or
    // outside the symbols. Row presence is not looked at.
    std::optional<PixelAddress> HitTest(ScreenPoint position) const noexcept;

    // The scroll position that keeps a pixel under the pointer after a zoom change (call it at
    // the new zoom): the pixel's square minus the pointer's place in the window. The caller
    // clamps it to its scroll range.
    ScreenPoint ScrollKeepingPixel(PixelAddress address, ScreenPoint pointerInWindow) const noexcept;

    // How symbol s is painted, present rows only (output test of the document), at every zoom.
    // The setting INVERTDIB corrected graphics drivers that counted the lines of bottom-up
    // pictures from the other end when stretching; our picture is top-down and painted the same
    // way at every zoom, so the rows are right without it and the setting changes nothing here.
    SymbolBlit SymbolPainting(const SceneryDocument& doc, int symbol) const;

    // Special-colour marks are drawn from zoom SHOWTRANSCOL on.
    bool ShowsSpecialMarks(int showTransCol) const noexcept { return zoom_ >= showTransCol; }
    // The one screen pixel that marks a special colour: the centre of the pixel's square.
    ScreenPoint SpecialMarkPoint(PixelAddress address) const noexcept;

private:
    int CellPitchX() const noexcept { return (scenery::kCellWidth + distance_) * zoom_; }
    int CellPitchY() const noexcept { return (scenery::kCellHeight + rowGap_) * zoom_; }

    int zoom_ = kMinZoom;
    int distance_ = 0;
    int rowGap_ = 0;
};

}  // namespace zobl
