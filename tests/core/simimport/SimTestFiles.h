#pragma once

// Builders of small simulator files, byte by byte, for the tests of the simulator reader.

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zobl::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void PutU32(Bytes& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

inline void PutText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// One string of a group's string area: plain code page 850 bytes, or a text number.
struct ZggString {
    std::string text;
    int textNumber = -1;  // >= 0: a reference "#" number 0
};

struct ZggVehicle {
    unsigned fileFlags = 0;
    unsigned imageReference = 0;
    std::vector<unsigned> strings;
};

struct ZggGroup {
    unsigned identifier = 0;
    unsigned categories = 1;
    std::vector<unsigned> countWords;  // categories 0 only
    std::string name;                  // plain name (code page 850), up to 21 bytes
    int nameTextNumber = -1;           // >= 0: the name is that text of the text file
    std::vector<unsigned> keys;
    std::vector<ZggString> strings;
    std::vector<ZggVehicle> vehicles;
    int restSizeAdjust = 0;  // damages the rest size
};

inline Bytes GroupRecord(const ZggGroup& group) {
    Bytes out;
    PutU16(out, group.identifier);
    PutU16(out, group.categories);
    if (group.categories == 0) {
        PutU16(out, static_cast<unsigned>(group.countWords.size()));
        for (unsigned word : group.countWords) {
            PutU16(out, word);
        }
        return out;
    }
    Bytes rest;
    for (const ZggString& s : group.strings) {
        if (s.textNumber >= 0) {
            rest.push_back('#');
            PutU16(rest, static_cast<unsigned>(s.textNumber));
        } else {
            PutText(rest, s.text);
        }
        rest.push_back(0);
    }
    rest.push_back(0);
    for (const ZggVehicle& v : group.vehicles) {
        PutU16(rest, 0x1111);
        PutU16(rest, v.fileFlags);
        PutU16(rest, 0x2222);
        PutU16(rest, v.imageReference);
        for (unsigned s : v.strings) {
            PutU16(rest, s);
        }
        PutU16(rest, 0xFFFF);
    }
    PutU16(out, static_cast<unsigned>(static_cast<int>(rest.size()) + group.restSizeAdjust));
    PutU16(out, static_cast<unsigned>(group.vehicles.size()));
    std::array<std::uint8_t, 22> name{};
    if (group.nameTextNumber >= 0) {
        name[2] = static_cast<std::uint8_t>(group.nameTextNumber & 0xFF);
        name[3] = static_cast<std::uint8_t>(group.nameTextNumber >> 8);
    } else {
        for (std::size_t i = 0; i < group.name.size() && i < name.size(); ++i) {
            name[i] = static_cast<std::uint8_t>(group.name[i]);
        }
    }
    out.insert(out.end(), name.begin(), name.end());
    PutU16(out, static_cast<unsigned>(group.keys.size()));
    for (unsigned key : group.keys) {
        PutU16(out, key);
    }
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

// preamble, 0x1A, magic, then for the directory and the records: see BuildFile.
struct RawEntry {
    unsigned key = 0;
    std::uint32_t distance = 0;
};

// A file of the common frame: preamble text, 0x1A, head bytes (magic and version), a directory
// with an entry per record (keys), then the records, each preceded by gap filler bytes, and the
// trailer.
inline Bytes BuildFile(const Bytes& head, const std::vector<std::pair<unsigned, Bytes>>& records,
                       std::size_t gap = 0, const Bytes& trailer = {}) {
    Bytes out;
    PutText(out, "Simulator data file for tests\r\n");
    out.push_back(0x1A);
    out.insert(out.end(), head.begin(), head.end());
    const std::size_t directoryStart = out.size();
    std::size_t recordOffset = directoryStart + 6 * records.size() + 2;
    for (std::size_t i = 0; i < records.size(); ++i) {
        recordOffset += gap;
        const std::size_t afterEntry = directoryStart + 6 * (i + 1);
        PutU16(out, records[i].first);
        PutU32(out, static_cast<std::uint32_t>(recordOffset - afterEntry));
        recordOffset += records[i].second.size();
    }
    PutU16(out, 0);
    for (const auto& record : records) {
        out.insert(out.end(), gap, 0xEE);
        out.insert(out.end(), record.second.begin(), record.second.end());
    }
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

// The records end with an identifier 0 unless endMark is false.
inline Bytes BuildZgg(const std::vector<ZggGroup>& groups, std::size_t gap = 0, bool endMark = true) {
    std::vector<std::pair<unsigned, Bytes>> records;
    for (const ZggGroup& group : groups) {
        records.emplace_back(group.identifier, GroupRecord(group));
    }
    return BuildFile({0x5A, 0xC7, 0x47}, records, gap, endMark ? Bytes{0, 0} : Bytes{});
}

struct FzgComposition {
    std::array<std::vector<std::uint8_t>, 4> lists;  // all of the same length n
};

struct FzgBlock {
    unsigned key = 16;
    unsigned sideCountWord = 0;  // 0: the number of side images with bit 15
    std::vector<FzgComposition> compositions;
    std::vector<std::array<std::uint8_t, 112>> sideImages;
    std::vector<std::array<std::uint8_t, 32>> topImages;
    int compositionCountOverride = -1;
    int compositionBytesAdjust = 0;
};

inline Bytes ImageBlockRecord(const FzgBlock& block) {
    Bytes compositions;
    for (const FzgComposition& c : block.compositions) {
        compositions.push_back(static_cast<std::uint8_t>(c.lists[0].size()));
        for (const auto& list : c.lists) {
            compositions.insert(compositions.end(), list.begin(), list.end());
        }
    }
    Bytes out;
    PutU16(out, block.key);
    PutU16(out, block.sideCountWord ? block.sideCountWord
                                    : 0x8000u | static_cast<unsigned>(block.sideImages.size()));
    PutU16(out, static_cast<unsigned>(block.topImages.size()));
    PutU16(out, block.compositionCountOverride >= 0 ? static_cast<unsigned>(block.compositionCountOverride)
                                                    : static_cast<unsigned>(block.compositions.size()));
    PutU16(out, static_cast<unsigned>(static_cast<int>(compositions.size()) + block.compositionBytesAdjust));
    PutText(out, "Block name");
    out.push_back(0);
    out.insert(out.end(), compositions.begin(), compositions.end());
    for (const auto& image : block.sideImages) {
        out.insert(out.end(), image.begin(), image.end());
    }
    for (const auto& image : block.topImages) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

inline Bytes BuildFzg(const std::vector<FzgBlock>& blocks, std::uint8_t versionLow = 0x06,
                      std::size_t gap = 0) {
    std::vector<std::pair<unsigned, Bytes>> records;
    for (const FzgBlock& block : blocks) {
        records.emplace_back(block.key, ImageBlockRecord(block));
    }
    return BuildFile({0x46, 0x5A, 0xC7, 0x35, versionLow}, records, gap);
}

// A side image whose every pixel is value + row (so that rows can be told apart).
inline std::array<std::uint8_t, 112> SideImage(std::uint8_t value) {
    std::array<std::uint8_t, 112> image{};
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 8; ++x) {
            image[static_cast<std::size_t>(y * 8 + x)] = static_cast<std::uint8_t>(value + y);
        }
    }
    return image;
}

inline std::array<std::uint8_t, 32> TopImage(std::uint8_t value) {
    std::array<std::uint8_t, 32> image{};
    for (int i = 0; i < 32; ++i) {
        image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value + i / 8);
    }
    return image;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFile(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace zobl::test
