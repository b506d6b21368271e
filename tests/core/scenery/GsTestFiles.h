#pragma once

// Builds .gs files byte by byte for the tests and the fuzz corpus, independently of the writer
// under test. Every function documents the bytes it appends.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace zobl::test {

class FileBytes {
public:
    FileBytes& U8(std::uint8_t value) {
        data_.push_back(value);
        return *this;
    }
    FileBytes& U16(std::uint16_t value) { return U8(std::uint8_t(value)).U8(std::uint8_t(value >> 8)); }
    FileBytes& U32(std::uint32_t value) {
        return U8(std::uint8_t(value))
            .U8(std::uint8_t(value >> 8))
            .U8(std::uint8_t(value >> 16))
            .U8(std::uint8_t(value >> 24));
    }
    FileBytes& I32(std::int32_t value) { return U32(std::uint32_t(value)); }
    // The bytes of text, no terminator.
    FileBytes& Raw(std::string_view text) {
        data_.insert(data_.end(), text.begin(), text.end());
        return *this;
    }
    // The bytes of text and a 0 byte.
    FileBytes& Text(std::string_view text) { return Raw(text).U8(0); }
    FileBytes& Fill(std::size_t count, std::uint8_t value) {
        data_.insert(data_.end(), count, value);
        return *this;
    }
    FileBytes& Append(const std::vector<std::uint8_t>& bytes) {
        data_.insert(data_.end(), bytes.begin(), bytes.end());
        return *this;
    }

    std::size_t Size() const { return data_.size(); }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    std::vector<std::uint8_t> Take() { return std::move(data_); }

private:
    std::vector<std::uint8_t> data_;
};

// Header text, 0x1A, format byte, version byte.
inline FileBytes GsStart(std::uint8_t format, std::uint8_t version,
                         std::string_view header = "TRAK User Graphics File") {
    FileBytes bytes;
    bytes.Raw(header).U8(0x1A).U8(format).U8(version);
    return bytes;
}

using CellPicture = std::function<std::uint8_t(int x, int y)>;

// A plane record (262 bytes) of a 32 x 16 picture with values 0..15: 4 bytes (first two given,
// the next two 0xEE), then per line y and plane p (weights 8, 4, 2, 1) 32 bits, pixel x in byte
// x / 8 at bit 7 - x % 8, then 2 bytes 0xEE.
inline std::vector<std::uint8_t> PlaneRecord(const CellPicture& picture, std::uint8_t first = 0xEE,
                                             std::uint8_t second = 0xEE) {
    std::vector<std::uint8_t> record(262, 0);
    record[0] = first;
    record[1] = second;
    record[2] = record[3] = record[260] = record[261] = 0xEE;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int value = picture(x, y) & 15;
            for (int plane = 0; plane < 4; ++plane) {
                if (value & (8 >> plane)) {
                    record[std::size_t(4 + 16 * y + 4 * plane + x / 8)] |= std::uint8_t(0x80 >> (x % 8));
                }
            }
        }
    }
    return record;
}

// 512 bytes column by column: byte x * 16 + y.
inline std::vector<std::uint8_t> ColumnMajorCell(const CellPicture& picture) {
    std::vector<std::uint8_t> cell(512);
    for (int x = 0; x < 32; ++x) {
        for (int y = 0; y < 16; ++y) {
            cell[std::size_t(x * 16 + y)] = picture(x, y);
        }
    }
    return cell;
}

struct RecordBytes {
    std::int32_t attributeA = 12;
    std::int32_t attributeB = 0;
    std::uint32_t rowMask = 8;
};

// A complete version-7 file: dimensions 36, 5, 32, 16, the two texts (bytes as given), the
// records (A, B, mask), the 92,160 store bytes pixel(i) for i = 0..92159, trailer 0.
inline FileBytes GsVersion7(std::string_view author, std::string_view info,
                            const std::function<RecordBytes(int symbol)>& record,
                            const std::function<std::uint8_t(std::size_t offset)>& pixel) {
    FileBytes bytes = GsStart(2, 7);
    bytes.I32(36).I32(5).I32(32).I32(16).Text(author).Text(info);
    for (int s = 0; s < 36; ++s) {
        const RecordBytes r = record(s);
        bytes.I32(r.attributeA).I32(r.attributeB).U32(r.rowMask);
    }
    for (std::size_t i = 0; i < 92160; ++i) {
        bytes.U8(pixel(i));
    }
    bytes.U8(0);
    return bytes;
}

// A complete version-5 file: the author scrambled (each byte XOR its length), the info text,
// 36 row words, then five strips of 16 lines x 1152 bytes, row 0 first, each strip bottom line
// (y = 15) first; the byte of strip row r, line y, column X is pixel(r, y, X).
inline FileBytes GsVersion5(std::string_view author, std::string_view info,
                            const std::function<std::uint16_t(int symbol)>& rowWord,
                            const std::function<std::uint8_t(int row, int y, int absX)>& pixel) {
    FileBytes bytes = GsStart(2, 5);
    for (const char c : author) {
        bytes.U8(std::uint8_t(std::uint8_t(c) ^ std::uint8_t(author.size())));
    }
    bytes.U8(0).Text(info);
    for (int s = 0; s < 36; ++s) {
        bytes.U16(rowWord(s));
    }
    for (int r = 0; r < 5; ++r) {
        for (int y = 15; y >= 0; --y) {
            for (int absX = 0; absX < 1152; ++absX) {
                bytes.U8(pixel(r, y, absX));
            }
        }
    }
    return bytes;
}

// Versions 1 and 2: for each symbol and, inside, each row one presence byte, 1 when cell(s, r)
// returns bytes (which then follow at once), 0 when it returns none.
inline FileBytes GsVersion1Or2(std::uint8_t version,
                               const std::function<std::vector<std::uint8_t>(int symbol, int row)>& cell) {
    FileBytes bytes = GsStart(2, version);
    for (int s = 0; s < 36; ++s) {
        for (int r = 0; r < 5; ++r) {
            const std::vector<std::uint8_t> content = cell(s, r);
            bytes.U8(content.empty() ? 0 : 1).Append(content);
        }
    }
    return bytes;
}

// The oldest layout: header text, 0x1A, then 36 plane records (the base rows) and nothing else.
// The first record's first two bytes stand where the other layouts have format and version.
inline FileBytes GsOldest(const std::function<std::vector<std::uint8_t>(int symbol)>& record,
                          std::string_view header = "TRAK User Graphics File") {
    FileBytes bytes;
    bytes.Raw(header).U8(0x1A);
    for (int s = 0; s < 36; ++s) {
        bytes.Append(record(s));
    }
    return bytes;
}

}  // namespace zobl::test
