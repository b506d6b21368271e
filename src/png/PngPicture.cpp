#include "png/PngPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "core/common/MessageError.h"

namespace zobl {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kHeaderEnd = 8 + 4 + 4 + 13 + 4;  // signature, IHDR length, type, data, CRC

enum ColourType { kGrey = 0, kRgb = 2, kIndexed = 3, kGreyAlpha = 4, kRgba = 6 };

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

[[noreturn]] void ThrowNotAPng(const std::string& fileName) {
    throw MessageError(message::kUnsupportedFormat, fileName, "not a PNG image");
}
[[noreturn]] void ThrowDamaged(const std::string& fileName) {
    throw MessageError(message::kUnsupportedFormat, fileName, "damaged PNG image");
}

bool ValidDepth(int colourType, int depth) {
    switch (colourType) {
        case kGrey:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case kIndexed:
            return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case kRgb:
        case kGreyAlpha:
        case kRgba:
            return depth == 8 || depth == 16;
        default:
            return false;
    }
}

struct PngHeader {
    int width = 0;
    int height = 0;
    int depth = 0;
    int colourType = 0;
    // The one transparent colour of a grey or RGB file (tRNS), as 16-bit values, and where its
    // chunks lie (offset, size).
    std::optional<std::array<std::uint16_t, 3>> key;
    std::vector<std::pair<std::size_t, std::size_t>> keyChunks;
};

// A sample of depth bits as a 16-bit value, the way decoders widen it; none for a sample that
// does not fit the depth.
std::optional<std::uint16_t> Widen(std::uint32_t sample, int depth) {
    const std::uint32_t top = (1u << depth) - 1;
    if (sample > top) {
        return std::nullopt;
    }
    return std::uint16_t(sample * (65535u / top));
}

// The header and, for grey and RGB files, the tRNS chunk, read from the bytes: Qt hands back
// a grey file of few bits as an indexed picture, and mistakes a 16-bit RGB file with tRNS.
PngHeader ParseHeader(std::span<const std::uint8_t> png, const std::string& fileName) {
    if (png.size() < kHeaderEnd || !std::equal(std::begin(kSignature), std::end(kSignature), png.begin())) {
        ThrowNotAPng(fileName);
    }
    const std::uint8_t* ihdr = png.data() + 8;
    if (Be32(ihdr) != 13 || std::memcmp(ihdr + 4, "IHDR", 4) != 0) {
        ThrowDamaged(fileName);
    }
    const std::uint32_t width = Be32(ihdr + 8);
    const std::uint32_t height = Be32(ihdr + 12);
    PngHeader header;
    header.depth = ihdr[16];
    header.colourType = ihdr[17];
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu ||
        !ValidDepth(header.colourType, header.depth)) {
        ThrowDamaged(fileName);
    }
    header.width = int(width);
    header.height = int(height);

    // The chunks before the pixels; a damaged chain is left for the decoder to find.
    for (std::size_t at = kHeaderEnd; png.size() - at >= 12;) {
        const std::uint32_t length = Be32(png.data() + at);
        if (length > png.size() - at - 12) {
            break;
        }
        const std::uint8_t* type = png.data() + at + 4;
        const std::uint8_t* data = type + 4;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            break;
        }
        if (std::memcmp(type, "tRNS", 4) == 0 && (header.colourType == kGrey || header.colourType == kRgb)) {
            const bool grey = header.colourType == kGrey;
            if (length == (grey ? 2u : 6u)) {
                std::array<std::uint16_t, 3> key{};
                bool fits = true;
                for (int c = 0; c < 3; ++c) {
                    const std::uint8_t* sample = data + (grey ? 0 : 2 * c);
                    const auto value = Widen((std::uint32_t{sample[0]} << 8) | sample[1], header.depth);
                    fits = fits && value.has_value();
                    key[std::size_t(c)] = value.value_or(0);
                }
                if (fits) {
                    header.key = key;
                }
            }
            header.keyChunks.emplace_back(at, 12 + std::size_t(length));
        }
        at += 12 + std::size_t(length);
    }
    return header;
}

void CheckLimits(const PngHeader& header, const std::string& fileName) {
    if (header.width > kMaxPngSide || header.height > kMaxPngSide ||
        std::int64_t{header.width} * header.height > kMaxPngPixels) {
        throw std::runtime_error(fileName + ": the picture is " + std::to_string(header.width) + " x " +
                                 std::to_string(header.height) + " pixels, more than can be read (at most " +
                                 std::to_string(kMaxPngPixels) + " pixels, " + std::to_string(kMaxPngSide) +
                                 " on a side)");
    }
}

Rgba64 Widen8(QRgb c) {
    return {std::uint16_t(qRed(c) * 257), std::uint16_t(qGreen(c) * 257), std::uint16_t(qBlue(c) * 257),
            std::uint16_t(qAlpha(c) * 257)};
}

void ReadIndexed(const QImage& image, ForeignPicture& picture) {
    picture.indexed = true;
    picture.indices.resize(std::size_t(picture.width) * std::size_t(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(image.constScanLine(y), picture.width,
                    picture.indices.begin() + std::ptrdiff_t(y) * picture.width);
    }
    for (const QRgb c : image.colorTable()) {
        picture.table.push_back(Widen8(c));
        picture.canBeTransparent = picture.canBeTransparent || qAlpha(c) != 255;
    }
}

void ReadColours(const QImage& decoded, ForeignPicture& picture) {
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height));
    auto out = picture.pixels.begin();
    if (decoded.format() == QImage::Format_Grayscale8 || decoded.format() == QImage::Format_Grayscale16) {
        const bool wide = decoded.format() == QImage::Format_Grayscale16;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const auto v = wide ? reinterpret_cast<const quint16*>(decoded.constScanLine(y))[x]
                                    : std::uint16_t(decoded.constScanLine(y)[x] * 257);
                *out++ = Rgba64{v, v, v, 0xFFFF};
            }
        }
        return;
    }
    // Not premultiplied: a transparent pixel keeps its colour, a half transparent one is seen
    // as such.
    const QImage image = decoded.convertToFormat(QImage::Format_RGBA64);
    for (int y = 0; y < picture.height; ++y) {
        const auto* line = reinterpret_cast<const QRgba64*>(image.constScanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            *out++ = Rgba64{line[x].red(), line[x].green(), line[x].blue(), line[x].alpha()};
        }
    }
}

}  // namespace

PngSize ReadPngSize(std::span<const std::uint8_t> png, const std::string& fileName) {
    const PngHeader header = ParseHeader(png, fileName);
    return {header.width, header.height};
}

ForeignPicture ReadPngPicture(std::span<const std::uint8_t> png, const std::string& fileName) {
    const PngHeader header = ParseHeader(png, fileName);
    CheckLimits(header, fileName);

    // The transparent colour of a grey or RGB file is applied here, the same way for every depth.
    std::vector<std::uint8_t> withoutKey;
    if (!header.keyChunks.empty()) {
        std::size_t from = 0;
        for (const auto& [at, size] : header.keyChunks) {
            withoutKey.insert(withoutKey.end(), png.begin() + std::ptrdiff_t(from),
                              png.begin() + std::ptrdiff_t(at));
            from = at + size;
        }
        withoutKey.insert(withoutKey.end(), png.begin() + std::ptrdiff_t(from), png.end());
        png = withoutKey;
    }
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(png.data()), qsizetype(png.size()));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    if (!reader.canRead()) {
        ThrowNotAPng(fileName);
    }
    QImage image = reader.read();
    if (image.isNull() || image.size() != QSize(header.width, header.height)) {
        ThrowDamaged(fileName);
    }

    ForeignPicture picture;
    picture.width = header.width;
    picture.height = header.height;
    if (header.colourType == kIndexed) {
        if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) {
            image = image.convertToFormat(QImage::Format_Indexed8);
        }
        if (image.format() == QImage::Format_Indexed8) {
            ReadIndexed(image, picture);
            return picture;
        }
    }
    picture.canBeTransparent = header.colourType == kGreyAlpha || header.colourType == kRgba || header.key ||
                               image.hasAlphaChannel();
    ReadColours(image, picture);
    if (header.key) {
        const auto& key = *header.key;
        for (Rgba64& c : picture.pixels) {
            if (c.red == key[0] && c.green == key[1] && c.blue == key[2]) {
                c.alpha = 0;
            }
        }
    }
    return picture;
}

WrongPictureSize::WrongPictureSize(const std::string& fileName, PngSize foundSize,
                                   const std::string& expectedName, PngSize expectedSize)
    : std::runtime_error(fileName + ": the picture is " + std::to_string(foundSize.width) + " x " +
                         std::to_string(foundSize.height) + " pixels, " + expectedName + " is " +
                         std::to_string(expectedSize.width) + " x " + std::to_string(expectedSize.height)),
      found(foundSize),
      expected(expectedSize) {}

void CheckPngSize(std::span<const std::uint8_t> png, const std::string& fileName,
                  const std::string& expectedName, PngSize expected) {
    const PngSize found = ReadPngSize(png, fileName);
    if (found.width != expected.width || found.height != expected.height) {
        throw WrongPictureSize(fileName, found, expectedName, expected);
    }
}

}  // namespace zobl
