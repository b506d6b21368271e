#include "gui/widgets/PixelIcons.h"

#include <utility>

#include <QDirIterator>
#include <QImage>
#include <QPixmap>

#include "gui/framework/CommandIds.h"

namespace zobl {

namespace {

using Art = const char* const[16];

// clang-format off
Art kNew = {
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
};
Art kOpen = {
    "................",
    "................",
    "..........kkk...",
    ".........k...k.k",
    "..kkk.........kk",
    ".kyyyk.......kkk",
    ".kyyyykkkkkk....",
    ".kyyyyyyyyyk....",
    ".kyyyykkkkkkkkk.",
    ".kyyykoooooooook",
    ".kyykoooooooook.",
    ".kykoooooooook..",
    ".kkoooooooook...",
    ".kkkkkkkkkkk....",
    "................",
    "................",
};
Art kSave = {
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbkllllkllkbk.",
    ".kbbkllllkllkbk.",
    ".kbbkllllkllkbk.",
    "..kbkkkkkkkkkbk.",
    "...kkkkkkkkkkkk.",
    "................",
    "................",
};
Art kZoomIn = {
    "................",
    "....kkkkk.......",
    "...kwwwwwk......",
    "..kwwwkwwwk.....",
    ".kwwwwkwwwwk....",
    ".kwwwwkwwwwk....",
    ".kwkkkkkkkwk....",
    ".kwwwwkwwwwk....",
    ".kwwwwkwwwwk....",
    "..kwwwkwwwk.....",
    "...kwwwwwkgo....",
    "....kkkkk.ooo...",
    "...........ooo..",
    "............ooo.",
    ".............oo.",
    "................",
};
Art kZoomOut = {
    "................",
    "....kkkkk.......",
    "...kwwwwwk......",
    "..kwwwwwwwk.....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    ".kwkkkkkkkwk....",
    ".kwwwwwwwwwk....",
    ".kwwwwwwwwwk....",
    "..kwwwwwwwk.....",
    "...kwwwwwkgo....",
    "....kkkkk.ooo...",
    "...........ooo..",
    "............ooo.",
    ".............oo.",
    "................",
};
Art kUndo = {
    "................",
    "................",
    "....k...........",
    "...kk...........",
    "..kbkkkkkkk.....",
    ".kbbbbbbbbbk....",
    "..kbkkkkkkbbk...",
    "...kk.....kbk...",
    "....k......kbk..",
    "...........kbk..",
    "...........kbk..",
    "..........kbk...",
    ".......kkkbk....",
    ".......kbbk.....",
    ".......kkk......",
    "................",
};
Art kRedo = {
    "................",
    "................",
    "...........k....",
    "...........kk...",
    ".....kkkkkkkbk..",
    "....kbbbbbbbbbk.",
    "...kbbkkkkkkbk..",
    "...kbk.....kk...",
    "..kbk......k....",
    "..kbk...........",
    "..kbk...........",
    "...kbk..........",
    "....kbkkk.......",
    ".....kbbk.......",
    "......kkk.......",
    "................",
};
Art kDayNight = {
    ".......y........",
    "..y....y....y...",
    "...y...y...y....",
    "....yyyyykk.....",
    "...yyyyykknk....",
    "...yyyykknnnk...",
    "yyyyyyyknnnnkk..",
    "...yyyyknnnnn...",
    "...yyyyknnnnk...",
    "....yyyyknnk....",
    "...y.yyyykk.....",
    "..y....y...y....",
    ".y.....y....y...",
    ".......y........",
    "................",
    "................",
};
Art kHelp = {
    "................",
    ".....kkkkk......",
    "....kbbbbbk.....",
    "...kbbkkkbbk....",
    "...kbk...kbbk...",
    "....k....kbbk...",
    "........kbbk....",
    ".......kbbk.....",
    "......kbbk......",
    "......kbbk......",
    ".......kk.......",
    "................",
    "......kkkk......",
    "......kbbk......",
    "......kkkk......",
    "................",
};
Art kMirrorVertical = {
    "................",
    ".......k........",
    "......krk.......",
    ".....krrrk......",
    "....krrrrrk.....",
    "...kkkkkkkkk....",
    "................",
    "kkkkkkkkkkkkkkkk",
    "................",
    "...kkkkkkkkk....",
    "....kRRRRRk.....",
    ".....kRRRk......",
    "......kRk.......",
    ".......k........",
    "................",
    "................",
};
Art kMirrorHorizontal = {
    ".......k........",
    ".......k........",
    "...k...k...k....",
    "..kk...k...kk...",
    ".krk...k...kRk..",
    "krrk...k...kRRk.",
    "krrk...k...kRRk.",
    ".krk...k...kRk..",
    "..kk...k...kk...",
    "...k...k...k....",
    ".......k........",
    ".......k........",
    ".......k........",
    ".......k........",
    "................",
    "................",
};
Art kRotateRight = {
    "................",
    "................",
    "................",
    "..........k.....",
    "..........kk....",
    "..........kGk...",
    ".kkkkkkkkkkGGk..",
    ".kGGGGGGGGGGGGk.",
    ".kGGGGGGGGGGGGk.",
    ".kkkkkkkkkkGGk..",
    "..........kGk...",
    "..........kk....",
    "..........k.....",
    "................",
    "................",
    "................",
};
Art kRotateLeft = {
    "................",
    "................",
    "................",
    ".....k..........",
    "....kk..........",
    "...kGk..........",
    "..kGGkkkkkkkkkk.",
    ".kGGGGGGGGGGGGk.",
    ".kGGGGGGGGGGGGk.",
    "..kGGkkkkkkkkkk.",
    "...kGk..........",
    "....kk..........",
    ".....k..........",
    "................",
    "................",
    "................",
};
Art kRotateUp = {
    "................",
    ".......kk.......",
    "......kGGk......",
    ".....kGGGGk.....",
    "....kGGGGGGk....",
    "...kkkkGGkkkk...",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kkkk......",
    "................",
    "................",
};
Art kRotateDown = {
    "................",
    "......kkkk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "......kGGk......",
    "...kkkkGGkkkk...",
    "....kGGGGGGk....",
    ".....kGGGGk.....",
    "......kGGk......",
    ".......kk.......",
    "................",
    "................",
};
Art kModeView = {
    "................",
    "...k............",
    "...kk...........",
    "...kwk..........",
    "...kwwk.........",
    "...kwwwk........",
    "...kwwwwk.......",
    "...kwwwwwk......",
    "...kwwwwwwk.....",
    "...kwwwwkkkk....",
    "...kwkwwk.......",
    "...kk.kwwk......",
    "...k..kwwk......",
    ".......kwwk.....",
    ".......kkk......",
    "................",
};
Art kModeFreehand = {
    "................",
    "...........kk...",
    "..........kRRk..",
    ".........kykRk..",
    "........kyyykk..",
    ".......kyyyk....",
    "......kyyyk.....",
    ".....kyyyk......",
    "....kyyyk.......",
    "...kwyyk........",
    "...kwwk.........",
    "..kkkk..........",
    "..kk............",
    "................",
    ".bb..bbb..bb....",
    "...bb...bb..bb..",
};
Art kModeLine = {
    "................",
    ".............kk.",
    "............kk..",
    "...........kk...",
    "..........kk....",
    ".........kk.....",
    "........kk......",
    ".......kk.......",
    "......kk........",
    ".....kk.........",
    "....kk..........",
    "...kk...........",
    "..kk............",
    ".kk.............",
    "................",
    "................",
};
Art kModeRectangle = {
    "................",
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".k............k.",
    ".k............k.",
    ".k............k.",
    ".k............k.",
    ".k............k.",
    ".k............k.",
    ".k............k.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
    "................",
};
Art kModeFilledRectangle = {
    "................",
    "................",
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kBBBBBBBBBBBBk.",
    ".kkkkkkkkkkkkkk.",
    "................",
    "................",
    "................",
    "................",
};
Art kModeFill = {
    "................",
    "......k.........",
    ".....kwk........",
    "....kwwwk.......",
    "...kwwwwwk......",
    "..kwwwwwwwk.....",
    ".kkkkkkkkkkkb...",
    "..kbbbbbbbkbbb..",
    "...kbbbbbk.bbb..",
    "....kbbbk..bbb..",
    ".....kbk....b...",
    "......k.........",
    "................",
    "................",
    "................",
    "................",
};
Art kModeReplaceColour = {
    "................",
    "kkkkkk..........",
    "krrrrk..........",
    "krrrrk..........",
    "krrrrk...k......",
    "krrrrk...kk.....",
    "kkkkkkkkkkGk....",
    ".....kGGGGGGk...",
    ".....kkkkkkGk...",
    ".........kkkkkkk",
    ".........kbbbbbk",
    ".........kbbbbbk",
    ".........kbbbbbk",
    ".........kbbbbbk",
    ".........kkkkkkk",
    "................",
};
Art kModeMark = {
    "................",
    "................",
    "................",
    ".kk.kk.kk.kk.kk.",
    ".k............k.",
    "................",
    ".k............k.",
    ".k............k.",
    "................",
    ".k............k.",
    ".k............k.",
    "................",
    ".kk.kk.kk.kk.kk.",
    "................",
    "................",
    "................",
};
Art kModePickColour = {
    "................",
    ".............kk.",
    "............kggk",
    "...........kggk.",
    "..........kggk..",
    ".........kggk...",
    "........kggk....",
    ".......kggk.....",
    "......kggk......",
    ".....kggk.......",
    "....kggk........",
    "...kGgk.........",
    "..kGGk..........",
    ".kGGk...........",
    ".kkk............",
    "................",
};
Art kModeZoom = {
    "................",
    "....kkkkk.......",
    "...kBBwBBk......",
    "..kBwwBBBBk.....",
    ".kBwBBBBBBBk....",
    ".kBBBBBBBBBk....",
    ".kBBBBBBBBBk....",
    ".kBBBBBBBBBk....",
    ".kBBBBBBBBBk....",
    "..kBBBBBBBk.....",
    "...kBBBBBkgo....",
    "....kkkkk.ooo...",
    "...........ooo..",
    "............ooo.",
    ".............oo.",
    "................",
};
// clang-format on

QIcon IconOf(const Art& art, std::initializer_list<int> scales) {
    const QImage image = PixelArtImage(art, 16);
    QIcon icon;
    for (const int scale : scales) {
        icon.addPixmap(QPixmap::fromImage(
            image.scaled(16 * scale, 16 * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    }
    return icon;
}

}  // namespace

QRgb PixelArtColour(char c) {
    switch (c) {
        case 'k':
            return qRgb(0, 0, 0);
        case 'w':
            return qRgb(255, 255, 255);
        case 'l':
            return qRgb(192, 192, 192);
        case 'g':
            return qRgb(128, 128, 128);
        case 'r':
            return qRgb(200, 0, 0);
        case 'R':
            return qRgb(255, 96, 96);
        case 'b':
            return qRgb(0, 0, 200);
        case 'B':
            return qRgb(96, 160, 255);
        case 'y':
            return qRgb(255, 224, 0);
        case 'o':
            return qRgb(160, 96, 32);
        case 'G':
            return qRgb(0, 144, 0);
        case 'L':
            return qRgb(120, 220, 120);
        case 'n':
            return qRgb(0, 0, 96);
        default:
            return 0;
    }
}

QImage PixelArtImage(std::span<const char* const> rows, int width) {
    QImage image(width, int(rows.size()), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < int(rows.size()); ++y) {
        const char* row = rows[std::size_t(y)];
        for (int x = 0; x < width && row[x] != '\0'; ++x) {
            if (const QRgb colour = PixelArtColour(row[x]); colour != 0) {
                image.setPixel(x, y, colour);
            }
        }
    }
    return image;
}

QIcon ToolIconImage(ToolIcon icon) {
    // In the order of ToolIcon, after None.
    static const Art* const kArt[kToolIconCount - 1] = {
        &kNew,
        &kOpen,
        &kSave,
        &kZoomIn,
        &kZoomOut,
        &kUndo,
        &kRedo,
        &kDayNight,
        &kHelp,
        &kMirrorVertical,
        &kMirrorHorizontal,
        &kRotateRight,
        &kRotateLeft,
        &kRotateUp,
        &kRotateDown,
        &kModeView,
        &kModeFreehand,
        &kModeLine,
        &kModeRectangle,
        &kModeFilledRectangle,
        &kModeFill,
        &kModeReplaceColour,
        &kModeMark,
        &kModePickColour,
        &kModeZoom,
    };
    if (icon == ToolIcon::None) {
        return {};
    }
    return IconOf(*kArt[int(icon) - 1], {1, 2, 3, 4});
}

QIcon ApplicationIcon() {
    // The pictures installed for the desktop, so the window shows the icon the launcher does.
    QIcon icon;
    QDirIterator files(QStringLiteral(":/icons"), {QStringLiteral("de.zobl.GraphicsEditor.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        icon.addFile(files.next());
    }
    return icon;
}

}  // namespace zobl
