#include "core/drawing/Tools.h"

#include <cstdio>
#include <cstdlib>

namespace zobl {

int ShapePreviewFlags(MouseMode mouseMode) noexcept {
    switch (mouseMode) {
        case MouseMode::Line:
            return shape::kLine | shape::kPreview;
        case MouseMode::Rectangle:
            return shape::kOutline | shape::kPreview;
        case MouseMode::FilledRectangle:
            return shape::kFilled | shape::kPreview;
        case MouseMode::Mark:
            return shape::kMarkFrame;
        default:
            return 0;
    }
}

int ShapeOfMode(MouseMode mouseMode) noexcept {
    switch (mouseMode) {
        case MouseMode::Line:
            return shape::kLine;
        case MouseMode::Rectangle:
            return shape::kOutline;
        case MouseMode::FilledRectangle:
            return shape::kFilled;
        default:
            return 0;
    }
}

std::string MarkExtentText(PixelPoint p, PixelPoint c) {
    char text[32];
    const long long width = std::llabs(static_cast<long long>(c.x) - p.x) + 1;
    const long long height = std::llabs(static_cast<long long>(c.y) - p.y) + 1;
    std::snprintf(text, sizeof text, "%lldx%lld", width, height);
    return text;
}

SpecialMark SpecialMarkOf(PaletteIndex value) noexcept {
    switch (value) {
        case TransparentIndex:
            return SpecialMark::Transparent;
        case HalfTransparentIndex:
            return SpecialMark::HalfTransparent;
        case BackgroundIndex:
            return SpecialMark::Background;
        default:
            return SpecialMark::None;
    }
}

}  // namespace zobl
