#pragma once

// Builders of small simulator files, byte by byte, for the tests of the simulator reader.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/palette/Palette.h"

namespace zobl::test {

// Restores an environment variable at the end of a test (the simulator lookup reads WINEPREFIX
// and HOME).
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* value = std::getenv(name)) {
            value_ = value;
        }
    }
    ~SavedVariable() {
        if (value_) {
            ::setenv(name_, value_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> value_;
};

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
    for (const char c : text) {
        out.push_back(static_cast<std::uint8_t>(c));
    }
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

namespace zobl::test {

// A simulator catalogue of vehicleCount vehicles in the reader's file layout (TRAK.ZGG, TRAK.FZG,
// TRAK.LNG and TRAK.INI in folder, which must exist), for the import's tests, its benchmark and
// trying the import by hand. Groups of perGroup vehicles (at most eight), one image block each
// (groups beyond the 4095 block keys share the blocks of earlier ones); the groups go
// through the fourteen categories a user can choose; every fourth group is named through the
// text file. Vehicle v is 8 * (1 + v % 4) pixels long; its first text is "Wagen <v>", its second
// refers to the text file. Pixels are the simulator's codes of palette colours: a body in one of
// a few colours, a window band, dark wheels, and top views to match.
inline void WriteSyntheticSimulator(const std::string& folder, int vehicleCount, int perGroup = 8) {
    constexpr int kBlockKeys = 4095;  // 16 to 65520 in steps of 16
    constexpr unsigned kCategories[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040,
                                        0x0080, 0x0100, 0x0200, 0x0400, 0x0800, 0x2000, 0x4000};
    const auto code = [](std::uint8_t index) {
        IndexToSimCode(index);
        return index;
    };
    const std::uint8_t bodies[] = {code(7), code(23), code(36), code(48), code(61), code(75)};
    const std::uint8_t window = code(2);
    const std::uint8_t wheel = code(1);
    const std::uint8_t roof = code(12);

    std::vector<ZggGroup> groups;
    std::vector<FzgBlock> blocks;
    std::string texts = "; synthetic simulator texts\r\n";
    const int groupCount = (vehicleCount + perGroup - 1) / perGroup;
    for (int g = 0; g < groupCount; ++g) {
        const unsigned identifier = static_cast<unsigned>(g + 1);
        ZggGroup group;
        group.identifier = identifier;
        group.categories = kCategories[g % 14];
        if (g % 4 == 3) {
            group.nameTextNumber = 1000 + g;
            texts += std::to_string(1000 + g) + "\r\nGruppe " + std::to_string(g) + " (Text)\r\n";
        } else {
            group.name = "Gruppe " + std::to_string(g);
        }
        group.keys = {16 * static_cast<unsigned>(g % kBlockKeys + 1)};
        FzgBlock block;
        block.key = group.keys[0];
        for (int b = 0; b < 4; ++b) {
            const std::uint8_t body = bodies[(g + b) % 6];
            std::array<std::uint8_t, 112> side{};
            for (int y = 0; y < 14; ++y) {
                for (int x = 0; x < 8; ++x) {
                    std::uint8_t pixel = body;
                    if (y < 2) {
                        pixel = roof;
                    } else if (y >= 4 && y <= 6 && x % 4 != 0) {
                        pixel = window;
                    } else if (y >= 12) {
                        pixel = (x == 2 || x == 5) ? wheel : 255;
                    }
                    side[static_cast<std::size_t>(y * 8 + x)] = pixel;
                }
            }
            block.sideImages.push_back(side);
            std::array<std::uint8_t, 32> top{};
            top.fill(b % 2 == 0 ? roof : body);
            block.topImages.push_back(top);
        }
        const int inGroup = std::min(perGroup, vehicleCount - g * perGroup);
        for (int k = 0; k < inGroup; ++k) {
            const int v = g * perGroup + k;
            const std::size_t segments = static_cast<std::size_t>(1 + v % 4);
            FzgComposition composition;
            for (std::size_t s = 0; s < segments; ++s) {
                const auto image = static_cast<std::uint8_t>((k + s) % 4);
                for (auto& list : composition.lists) {
                    list.push_back(image);
                }
            }
            block.compositions.push_back(composition);
            group.strings.push_back({"Wagen " + std::to_string(v), -1});
            group.strings.push_back({"", 1});
            group.vehicles.push_back({static_cast<unsigned>(k % 3 == 0 ? 0x0040 : 0x0020),
                                      static_cast<unsigned>(k),
                                      {static_cast<unsigned>(2 * k), static_cast<unsigned>(2 * k + 1)}});
        }
        groups.push_back(std::move(group));
        if (g < kBlockKeys) {
            blocks.push_back(std::move(block));
        }
    }
    texts += "1\r\nAus der synthetischen Sammlung\r\n.\r\n";
    WriteFile(folder + "/TRAK.ZGG", BuildZgg(groups));
    WriteFile(folder + "/TRAK.FZG", BuildFzg(blocks));
    WriteFile(folder + "/TRAK.LNG", texts);
    WriteFile(folder + "/TRAK.INI", std::string_view("[TRAK_381]\r\nSprache=TRAK.LNG\r\n"));
}

}  // namespace zobl::test
