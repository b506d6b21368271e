#pragma once

// A PNG written byte by byte, so that its colour type, depth and chunks are what a test says and
// not what an encoder chooses. The pixels go into stored (uncompressed) deflate blocks.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl::test {

struct PngSpec {
    int width = 0;
    int height = 0;
    int colourType = 2;  // 0 grey, 2 RGB, 3 indexed, 4 grey + alpha, 6 RGBA
    int depth = 8;
    std::vector<std::uint16_t> samples;      // row by row, every channel of every pixel
    std::vector<std::uint8_t> palette;       // PLTE: red, green, blue of each entry
    std::vector<std::uint8_t> transparency;  // tRNS as the file holds it
    bool gamma = false;                      // gAMA and cHRM, as ImageMagick writes them
};

inline int Channels(int colourType) {
    constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    return kChannels[colourType];
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(std::uint8_t(v >> shift));
    }
}

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
                     const std::vector<std::uint8_t>& data) {
    Put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + start, out.size() - start));
}

// zlib around stored deflate blocks of at most 65535 bytes.
inline std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(raw.size() - at, 65535);
        out.push_back(at + size == raw.size() ? 1 : 0);
        out.insert(out.end(), {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(~size),
                               std::uint8_t(~size >> 8)});
        out.insert(out.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + size));
        at += size;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    Put32(out, (b << 16) | a);
    return out;
}

inline std::vector<std::uint8_t> WritePng(const PngSpec& spec) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Put32(header, std::uint32_t(spec.width));
    Put32(header, std::uint32_t(spec.height));
    header.insert(header.end(), {std::uint8_t(spec.depth), std::uint8_t(spec.colourType), 0, 0, 0});
    PutChunk(out, "IHDR", header);
    if (spec.gamma) {
        std::vector<std::uint8_t> gamma, chromaticities;
        Put32(gamma, 45455);
        for (const std::uint32_t v : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u}) {
            Put32(chromaticities, v);
        }
        PutChunk(out, "gAMA", gamma);
        PutChunk(out, "cHRM", chromaticities);
    }
    if (!spec.palette.empty()) {
        PutChunk(out, "PLTE", spec.palette);
    }
    if (!spec.transparency.empty()) {
        PutChunk(out, "tRNS", spec.transparency);
    }
    const std::size_t rowSamples = std::size_t(spec.width) * std::size_t(Channels(spec.colourType));
    std::vector<std::uint8_t> raw;
    for (int y = 0; y < spec.height; ++y) {
        raw.push_back(0);  // filter: none
        const std::uint16_t* row = spec.samples.data() + std::size_t(y) * rowSamples;
        if (spec.depth >= 8) {
            for (std::size_t i = 0; i < rowSamples; ++i) {
                if (spec.depth == 16) {
                    raw.push_back(std::uint8_t(row[i] >> 8));
                }
                raw.push_back(std::uint8_t(row[i]));
            }
            continue;
        }
        // Samples of fewer bits fill each byte from its top bit.
        std::uint8_t byte = 0;
        int used = 0;
        for (std::size_t i = 0; i < rowSamples; ++i) {
            byte = std::uint8_t(byte | (row[i] << (8 - spec.depth - used)));
            used += spec.depth;
            if (used == 8) {
                raw.push_back(byte);
                byte = 0;
                used = 0;
            }
        }
        if (used > 0) {
            raw.push_back(byte);
        }
    }
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}

// A sheet of palette indices as a PNG of colours: RGB or RGBA (index 56 transparent) of 8 or 16
// bits in the base colours, or indexed with the palette in reverse order, as another program
// may sort it.
inline PngSpec SheetAsColours(const std::vector<std::uint8_t>& indices, int width, int height, int colourType,
                              int depth) {
    PngSpec spec{width, height, colourType, depth, {}, {}, {}, false};
    const std::uint16_t scale = depth == 16 ? 257 : 1;
    for (const std::uint8_t index : indices) {
        if (colourType == 3) {
            spec.samples.push_back(std::uint16_t(kPaletteSize - 1 - index));
            continue;
        }
        const Rgb c = BaseColour(index);
        spec.samples.insert(spec.samples.end(), {std::uint16_t(c.red * scale), std::uint16_t(c.green * scale),
                                                 std::uint16_t(c.blue * scale)});
        if (colourType == 6) {
            spec.samples.push_back(index == TransparentIndex ? 0 : std::uint16_t(255 * scale));
        }
    }
    if (colourType == 3) {
        for (int entry = 0; entry < kPaletteSize; ++entry) {
            const Rgb c = BaseColour(kPaletteSize - 1 - entry);
            spec.palette.insert(spec.palette.end(), {c.red, c.green, c.blue});
            spec.transparency.push_back(kPaletteSize - 1 - entry == TransparentIndex ? 0 : 255);
        }
    }
    return spec;
}

}  // namespace zobl::test
