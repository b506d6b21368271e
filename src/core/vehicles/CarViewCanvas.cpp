#include "core/vehicles/CarViewCanvas.h"

#include <cstring>

namespace zobl {

using namespace vehicles;

CarViewCanvas::CarViewCanvas(VehicleDocument& doc, int set, int car, int view, MouseMode mouseMode)
    : doc_(doc), set_(set), car_(car), plane_(doc.PlaneForDrawing(set, car, view)), mouseMode_(mouseMode) {
    if (!plane_.empty()) {
        const int length = doc.CarAt(set, car).length;
        width_ = ViewWidth(view, length);
        height_ = ViewHeight(view, length);
    }
}

bool CarViewCanvas::Prepare(PaletteIndex value) {
    // A value beyond the palette would read past every colour table.
    if (value >= kPaletteSize) {
        return false;
    }
    // The first write records the undo snapshot and marks the document; later ones need nothing.
    if (!prepared_) {
        doc_.PrepareChange(mouseMode_);
        prepared_ = true;
    }
    return true;
}

bool CarViewCanvas::Set(PixelPoint p, PaletteIndex value) {
    if (!Contains(p) || !Prepare(value)) {
        return false;
    }
    std::uint8_t& stored = plane_[Offset(p.x, p.y)];
    if (stored == value) {
        return false;
    }
    stored = value;
    ++changedCount_;
    return true;
}

void CarViewCanvas::SetSpan(int y, int x0, int x1, PaletteIndex value) {
    if (x0 > x1 || !Contains({x0, y}) || !Contains({x1, y}) || !Prepare(value)) {
        return;
    }
    std::memset(plane_.data() + Offset(x0, y), value, std::size_t(x1 - x0 + 1));
    changedCount_ += std::size_t(x1 - x0 + 1);
}

bool CarViewCanvas::Finish() {
    if (changedCount_ == 0) {
        return false;
    }
    doc_.RebuildCarBitmaps(set_, car_);
    doc_.Notify({VehicleHintCode::Redraw});
    return true;
}

}  // namespace zobl
