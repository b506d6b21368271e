#pragma once

// PNGs written byte by byte, so that colour type, depth and chunks are what a test says and not
// what an encoder chooses. The pixels go into stored (uncompressed) deflate blocks.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl::test {

struct PngLayout {
    int width = 0;
    int height = 0;
    int colourType = 2;  // 0 grey, 2 RGB, 3 indexed, 4 grey + alpha, 6 RGBA
    int depth = 8;
    std::vector<std::uint16_t> samples;      // row by row, every channel of every pixel
    std::vector<std::uint8_t> palette;       // PLTE: red, green, blue of each entry
    std::vector<std::uint8_t> transparency;  // tRNS as the file holds it
    bool gamma = false;                      // a gAMA chunk of 1/2.2, as ImageMagick writes it
};

inline int Channels(int colourType) {
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.insert(out.end(),
               {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)});
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char* type,
                     const std::vector<std::uint8_t>& data) {
    Put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = start; i < out.size(); ++i) {
        crc ^= out[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    Put32(out, ~crc);
}

inline std::vector<std::uint8_t> WritePng(const PngLayout& layout) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header, gamma;
    Put32(header, std::uint32_t(layout.width));
    Put32(header, std::uint32_t(layout.height));
    header.insert(header.end(), {std::uint8_t(layout.depth), std::uint8_t(layout.colourType), 0, 0, 0});
    PutChunk(out, "IHDR", header);
    Put32(gamma, 45455);
    for (const auto& [type, data] : {std::pair{"gAMA", layout.gamma ? gamma : std::vector<std::uint8_t>{}},
                                     {"PLTE", layout.palette},
                                     {"tRNS", layout.transparency}}) {
        if (!data.empty()) {
            PutChunk(out, type, data);
        }
    }
    // Rows of filter byte 0 and the samples, those of fewer than 8 bits packed from the top bit.
    const std::size_t rowSamples = std::size_t(layout.width) * std::size_t(Channels(layout.colourType));
    std::vector<std::uint8_t> raw;
    for (std::size_t y = 0; y < std::size_t(layout.height); ++y) {
        raw.push_back(0);
        int bits = 0;
        for (std::size_t i = 0; i < rowSamples; ++i, bits = (bits + layout.depth) % 8) {
            const std::uint16_t v = layout.samples[y * rowSamples + i];
            if (layout.depth == 16) {
                raw.push_back(std::uint8_t(v >> 8));
            }
            if (bits == 0) {
                raw.push_back(0);
            }
            raw.back() = std::uint8_t(raw.back() | (layout.depth >= 8 ? v : v << (8 - layout.depth - bits)));
        }
    }
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
        zlib.insert(zlib.end(), {std::uint8_t(at + size == raw.size()), std::uint8_t(size),
                                 std::uint8_t(size >> 8), std::uint8_t(~size), std::uint8_t(~size >> 8)});
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + size));
        at += size;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(zlib, (b << 16) | a);
    PutChunk(out, "IDAT", zlib);
    PutChunk(out, "IEND", {});
    return out;
}

// A sheet of palette indices in base colours: RGB or RGBA (56 transparent) of 8 or 16 bits, or
// indexed with the palette in reverse order, as another program may sort it.
inline PngLayout SheetAsColours(const std::vector<std::uint8_t>& indices, int width, int height,
                                int colourType, int depth) {
    PngLayout layout{width, height, colourType, depth, {}, {}, {}, false};
    const std::uint16_t scale = depth == 16 ? 257 : 1;
    for (const std::uint8_t index : indices) {
        const Rgb c = BaseColour(index);
        if (colourType == 3) {
            layout.samples.push_back(std::uint16_t(kPaletteSize - 1 - index));
        } else {
            layout.samples.insert(layout.samples.end(),
                                  {std::uint16_t(c.red * scale), std::uint16_t(c.green * scale),
                                   std::uint16_t(c.blue * scale)});
        }
        if (colourType == 6) {
            layout.samples.push_back(index == TransparentIndex ? 0 : std::uint16_t(255 * scale));
        }
    }
    for (int entry = 0; colourType == 3 && entry < kPaletteSize; ++entry) {
        const Rgb c = BaseColour(kPaletteSize - 1 - entry);
        layout.palette.insert(layout.palette.end(), {c.red, c.green, c.blue});
        layout.transparency.push_back(kPaletteSize - 1 - entry == TransparentIndex ? 0 : 255);
    }
    return layout;
}

}  // namespace zobl::test
