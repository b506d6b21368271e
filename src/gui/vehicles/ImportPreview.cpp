#include "gui/vehicles/ImportPreview.h"

#include <QPainter>

#include "core/simimport/SimVehicleReader.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

ImportPreview::ImportPreview(QWidget* parent) : QWidget(parent) {
    setEnabled(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ImportPreview::Show(const simimport::SimVehicle* vehicle, const Palette* palette) {
    vehicle_ = vehicle;
    palette_ = palette;
    note_.clear();
    update();
}

void ImportPreview::ShowNote(const QString& note) {
    vehicle_ = nullptr;
    note_ = note;
    update();
}

QSize ImportPreview::sizeHint() const {
    return {simimport::kSidePlaneWidth, kSecondStripOffset + kIndexedStripHeight};
}

void ImportPreview::paintEvent(QPaintEvent*) {
    if (!note_.isEmpty()) {
        QPainter painter(this);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, note_);
        return;
    }
    if (vehicle_ == nullptr || palette_ == nullptr || vehicle_->lengthPixels == 0 ||
        !vehicle_->paletteIndices) {
        return;
    }
    QPainter painter(this);
    DrawIndexedStrip(1, simimport::kSidePlaneWidth, vehicle_->plane0, painter, {0, 0}, *palette_);
    DrawIndexedStrip(2, simimport::kSidePlaneWidth, vehicle_->plane2, painter, {0, kSecondStripOffset},
                     *palette_);
}

}  // namespace zobl
