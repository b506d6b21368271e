#include "gui/drawing/SceneryCursors.h"

#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"

#include <array>
#include <cstddef>

#include <QImage>
#include <QPixmap>

#include "gui/widgets/PixelIcons.h"

namespace zobl {

namespace {

constexpr int kArtSize = 16;
constexpr int kScale = 2;

using Art = std::array<const char*, kArtSize>;

struct CursorArt {
    Art pixels;
    int hotX;
    int hotY;
};

// Crosshair tools draw their own sign into the lower right corner.
using Sign = std::array<const char*, 6>;

// clang-format off
const CursorArt kView = {{
    "k...............",
    "kk..............",
    "kwk.............",
    "kwwk............",
    "kwwwk...........",
    "kwwwwk..........",
    "kwwwwwk.........",
    "kwwwwwwk........",
    "kwwwwwwwk.......",
    "kwwwwwkkkk......",
    "kwwkwwk.........",
    "kwk.kwwk........",
    "kk..kwwk........",
    "k....kwwk.......",
    ".....kwwk.......",
    "......kk........",
}, 0, 0};
// The arrow carrying a small framed area: what a drag of pixels or a symbol shows.
const CursorArt kDrag = {{
    "k...............",
    "kk..............",
    "kwk.............",
    "kwwk............",
    "kwwwk...........",
    "kwwwwk..........",
    "kwwwwwk.........",
    "kwwwwwwk........",
    "kwwwwkkkk.......",
    "kwkwwk..........",
    "kk.kwwk.kkkkkkk.",
    "k...kwwkkwwwwwk.",
    "....kwwkkwbbbwk.",
    ".....kk.kwbbbwk.",
    "........kwwwwwk.",
    "........kkkkkkk.",
}, 0, 0};
const CursorArt kFreehand = {{
    "............kk..",
    "...........krrk.",
    "..........krrrrk",
    ".........kykrrk.",
    "........kyyykk..",
    ".......kyyyyk...",
    "......kyyyyk....",
    ".....kyyyyk.....",
    "....kyyyyk......",
    "...kyyyyk.......",
    "..kwyyyk........",
    ".kwwwyk.........",
    ".kwwwk..........",
    "kkwwk...........",
    "kkkk............",
    "kk..............",
}, 0, 15};
const CursorArt kFill = {{
    "......kk........",
    ".....k..k.......",
    ".....k..k.......",
    "....kkkkkk......",
    "...kwwwwwwk.....",
    "..kwwwwwwwwk....",
    ".kwwwwwwwwwwk...",
    "kbwwwwwwwwwk....",
    "kbbwwwwwwwk.....",
    "kbbbwwwwwk......",
    "kbbbkkwwk.......",
    "kbbb..kk........",
    "kbb.............",
    "kbb.............",
    ".kb.............",
    "..k.............",
}, 2, 15};
const CursorArt kZoom = {{
    "...kkkkk........",
    "..kwwwwwk.......",
    ".kwwwwwwwk......",
    "kwwwwkwwwwk.....",
    "kwwwwkwwwwk.....",
    "kwwkkkkkwwk.....",
    "kwwwwkwwwwk.....",
    "kwwwwkwwwwk.....",
    ".kwwwwwwwk......",
    "..kwwwwwkk......",
    "...kkkkkkkk.....",
    "..........kkk...",
    "...........kkk..",
    "............kkk.",
    ".............kk.",
    "................",
}, 5, 5};
const CursorArt kPipette = {{
    "............kkk.",
    "...........kgggk",
    "..........kggggk",
    "........kkkgggk.",
    ".......kgkkkkk..",
    "........kwkk....",
    ".......kwwk.k...",
    "......kwwk......",
    ".....kwwk.......",
    "....kwwk........",
    "...kwwk.........",
    "..kwwk..........",
    ".kwwk...........",
    ".kwk............",
    "k.k.............",
    "k...............",
}, 0, 15};

const Sign kLineSign = {"k.....", ".k....", "..k...", "...k..", "....k.", ".....k"};
const Sign kRectangleSign = {"kkkkkk", "k....k", "k....k", "k....k", "k....k", "kkkkkk"};
const Sign kFilledSign = {"kkkkkk", "kbbbbk", "kbbbbk", "kbbbbk", "kbbbbk", "kkkkkk"};
const Sign kMarkSign = {"k.k.k.", "......", "k....k", "......", "k....k", ".k.k.k"};
const Sign kReplaceSign = {"rr....", "rr.k..", "..kkk.", "...k..", "....bb", "....bb"};
// clang-format on

QImage ImageOf(const Art& art) {
    return PixelArtImage(art, kArtSize);
}

// A black crosshair around (7, 7) with a white seam, so that it shows on any colour.
QImage CrosshairWith(const Sign& sign) {
    QImage image(kArtSize, kArtSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb black = PixelArtColour('k');
    const QRgb white = PixelArtColour('w');
    for (int i = 0; i < 15; ++i) {
        if (i >= 5 && i <= 9) {
            continue;
        }
        image.setPixel(7, i, black);
        image.setPixel(i, 7, black);
        image.setPixel(6, i, white);
        image.setPixel(i, 6, white);
    }
    image.setPixel(7, 7, black);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (const QRgb colour = PixelArtColour(sign[y][x]); colour != 0) {
                image.setPixel(10 + x, 10 + y, colour);
            }
        }
    }
    return image;
}

QCursor CursorOf(const QImage& art, int hotX, int hotY) {
    const QImage scaled =
        art.scaled(kArtSize * kScale, kArtSize * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return QCursor(QPixmap::fromImage(scaled), hotX * kScale, hotY * kScale);
}

QCursor MakeCursor(MouseMode mode) {
    switch (mode) {
        case MouseMode::View:
            return CursorOf(ImageOf(kView.pixels), kView.hotX, kView.hotY);
        case MouseMode::Freehand:
            return CursorOf(ImageOf(kFreehand.pixels), kFreehand.hotX, kFreehand.hotY);
        case MouseMode::Line:
            return CursorOf(CrosshairWith(kLineSign), 7, 7);
        case MouseMode::Rectangle:
            return CursorOf(CrosshairWith(kRectangleSign), 7, 7);
        case MouseMode::FilledRectangle:
            return CursorOf(CrosshairWith(kFilledSign), 7, 7);
        case MouseMode::Fill:
            return CursorOf(ImageOf(kFill.pixels), kFill.hotX, kFill.hotY);
        case MouseMode::ReplaceColor:
            return CursorOf(CrosshairWith(kReplaceSign), 7, 7);
        case MouseMode::Mark:
            return CursorOf(CrosshairWith(kMarkSign), 7, 7);
        case MouseMode::PickColor:
            return CursorOf(ImageOf(kPipette.pixels), kPipette.hotX, kPipette.hotY);
        case MouseMode::Zoom:
            return CursorOf(ImageOf(kZoom.pixels), kZoom.hotX, kZoom.hotY);
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace

int SceneryCursorResource(MouseMode mode) {
    return FactsOf(mode).cursorResource;
}

QCursor DragCursor() {
    return CursorOf(ImageOf(kDrag.pixels), kDrag.hotX, kDrag.hotY);
}

QCursor SceneryModeCursor(MouseMode mode) {
    return MakeCursor(mode);
}

}  // namespace zobl
