#include "core/drawing/Tools.h"

namespace zobl {

int ShapePreviewFlags(int mouseMode) noexcept {
    switch (static_cast<MouseMode>(mouseMode)) {
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

int ShapeOfMode(int mouseMode) noexcept {
    switch (static_cast<MouseMode>(mouseMode)) {
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

}  // namespace zobl
