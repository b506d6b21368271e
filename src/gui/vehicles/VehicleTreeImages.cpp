#include "gui/vehicles/VehicleTreeImages.h"

#include <QImage>
#include <QPixmap>

#include "gui/widgets/PixelIcons.h"

namespace zobl {

namespace {

constexpr int kArtSize = 16;
constexpr int kCursorScale = 2;
using Art = const char* const[kArtSize];

// clang-format off
Art kSet = {
    "................",
    "................",
    "................",
    "................",
    ".kkkkkk.kkkkkk..",
    ".kbbbbk.krrrrk..",
    ".kbwwbk.krwwrk..",
    ".kbbbbk.krrrrk..",
    ".kkkkkkkkkkkkkk.",
    "..kk..kk.kk..kk.",
    "..kk..kk.kk..kk.",
    "................",
    "kkkkkkkkkkkkkkkk",
    "................",
    "................",
    "................",
};
Art kCar = {
    "................",
    "................",
    "................",
    "................",
    "..kkkkkkkkkkkk..",
    "..krrrrrrrrrrk..",
    "..krwwrrrrwwrk..",
    "..krrrrrrrrrrk..",
    "..krrrrrrrrrrk..",
    ".kkkkkkkkkkkkkk.",
    "...kk......kk...",
    "...kk......kk...",
    "kkkkkkkkkkkkkkkk",
    "................",
    "................",
    "................",
};
// Horizontal views: the car from the side, an arrow giving the direction.
Art kForward = {
    "................",
    "................",
    "..........k.....",
    "..........kk....",
    "..kkkkkkkkkkk...",
    "..........kk....",
    "..........k.....",
    "................",
    "..kkkkkkkkkkkk..",
    "..kllllllllllk..",
    "..kllllllllllk..",
    "..kkkkkkkkkkkk..",
    "...kk......kk...",
    "................",
    "................",
    "................",
};
Art kBackward = {
    "................",
    "................",
    ".....k..........",
    "....kk..........",
    "...kkkkkkkkkkk..",
    "....kk..........",
    ".....k..........",
    "................",
    "..kkkkkkkkkkkk..",
    "..kggggggggggk..",
    "..kggggggggggk..",
    "..kkkkkkkkkkkk..",
    "...kk......kk...",
    "................",
    "................",
    "................",
};
// Vertical views: the car from above, standing upright.
Art kUpward = {
    "................",
    ".....kkkkkk.....",
    ".....kggggk..k..",
    ".....kggggk.kkk.",
    ".....kggggkk.k.k",
    ".....kggggk..k..",
    ".....kggggk..k..",
    ".....kggggk..k..",
    ".....kggggk..k..",
    ".....kggggk..k..",
    ".....kggggk..k..",
    ".....kggggk.....",
    ".....kggggk.....",
    ".....kkkkkk.....",
    "................",
    "................",
};
Art kDownward = {
    "................",
    ".....kkkkkk.....",
    ".....kllllk.....",
    ".....kllllk.....",
    ".....kllllk..k..",
    ".....kllllk..k..",
    ".....kllllk..k..",
    ".....kllllk..k..",
    ".....kllllk..k..",
    ".....kllllk..k..",
    ".....kllllkk.k.k",
    ".....kllllk.kkk.",
    ".....kllllk..k..",
    ".....kkkkkk.....",
    "................",
    "................",
};
Art kProperties = {
    "................",
    "..kkkkkkkkkkk...",
    "..kwwwwwwwwwk...",
    "..kwkkkwkkkwk...",
    "..kwwwwwwwwwk...",
    "..kwkkwkkkkwk...",
    "..kwwwwwwwwwk...",
    "..kwkkkkwkkwk...",
    "..kwwwwwwwwwk...",
    "..kwkkwkkkwwk...",
    "..kwwwwwwwwwk...",
    "..kwkkkwkkkwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
    "................",
};
// Two arrows apart, a double bar between them; white seam so it shows on any background.
Art kSplitter = {
    "................",
    "................",
    "................",
    "................",
    "......kwwk......",
    "...k..kwwk..k...",
    "..kk..kwwk..kk..",
    ".kkkkkkwwkkkkkk.",
    ".kkkkkkwwkkkkkk.",
    "..kk..kwwk..kk..",
    "...k..kwwk..k...",
    "......kwwk......",
    "................",
    "................",
    "................",
    "................",
};
// clang-format on

const Art* ArtOf(int image) {
    switch (image) {
        case 3:
            return &kSet;
        case 4:
            return &kCar;
        case 5:
            return &kForward;
        case 6:
            return &kBackward;
        case 7:
            return &kDownward;
        case 8:
            return &kUpward;
        case 9:
            return &kProperties;
        default:
            return nullptr;
    }
}

}  // namespace

QIcon VehicleTreeIcon(int image) {
    const Art* art = ArtOf(image);
    if (art == nullptr) {
        return {};
    }
    QIcon icon;
    const QImage picture = PixelArtImage(*art, kArtSize);
    // Whole factors only, so the pixels stay crisp on dense screens.
    for (const int factor : {1, 2, 3}) {
        icon.addPixmap(QPixmap::fromImage(picture.scaled(kArtSize * factor, kArtSize * factor,
                                                         Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
    return icon;
}

QCursor SplitterCursor() {
    const QImage picture = PixelArtImage(kSplitter, kArtSize)
                               .scaled(kArtSize * kCursorScale, kArtSize * kCursorScale,
                                       Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return QCursor(QPixmap::fromImage(picture), 8 * kCursorScale, 8 * kCursorScale);
}

}  // namespace zobl
