#include "gui/scenery/SceneryPreviewView.h"

#include <algorithm>

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>

#include "core/palette/Palette.h"
#include "core/scenery/SceneryRules.h"
#include "gui/scenery/GSDoc.h"

namespace zobl {

CSceneryPreviewView::CSceneryPreviewView(CGSDoc& document, const Palette& palette)
    : document_(document), palette_(palette), picture_(new QLabel) {
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(picture_);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
}

void CSceneryPreviewView::OnUpdate(View* /*sender*/, int hint, HintRecord* /*record*/) {
    if (hint != hint::kTick && hint != hint::kQueryZoomAndScroll) {
        Rebuild();
    }
}

QSize CSceneryPreviewView::sizeHint() const {
    // The whole height and as much of the width as fits a usual screen.
    const int frame = 2 * frameWidth();
    return {std::min(scenery::kStoreWidth * kZoom, 960) + frame,
            scenery::kStoreHeight * kZoom + frame + horizontalScrollBar()->sizeHint().height()};
}

QImage CSceneryPreviewView::Picture() const {
    return picture_->pixmap().toImage();
}

void CSceneryPreviewView::Rebuild() {
    const auto pixels = document_.Model().DisplayPixels();
    if (pixels.size() < scenery::kStoreSize) {
        picture_->clear();
        return;
    }
    // Lines of 1152 bytes are already 4-byte aligned, as QImage wants them.
    QImage image(pixels.data(), scenery::kStoreWidth, scenery::kStoreHeight, scenery::kStoreWidth,
                 QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const ColourTableEntry& entry : palette_.CurrentColourTable()) {
        table.append(entry.ToArgb());
    }
    // A damaged file may hold bytes above 99; they show black rather than read past the table.
    table.resize(256, qRgb(0, 0, 0));
    image.setColorTable(table);
    picture_->setPixmap(
        QPixmap::fromImage(image.scaled(scenery::kStoreWidth * kZoom, scenery::kStoreHeight * kZoom,
                                        Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    picture_->resize(picture_->pixmap().size());
}

}  // namespace zobl
