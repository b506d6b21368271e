#pragma once

// Shared by the fuzz targets of the simulator files: every input is put into a simulator folder
// held in memory beside fixed companions, then read through queries.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "core/simimport/SimFiles.h"
#include "core/simimport/SimTestFiles.h"
#include "core/simimport/SimVehicleReader.h"
#include "core/text/CodePages.h"

namespace zobl::fuzz {

inline constexpr const char* kSimFolder = "sim/";

// The files. Without a TRAK.INI the text file is TRAK.LNG, as the simulator has it.
inline simimport::MemorySimFiles& SimFiles() {
    static simimport::MemorySimFiles files;
    return files;
}

inline void PutSimFile(const char* name, std::string_view content) {
    SimFiles().Put(kSimFolder + std::string(name), content);
}

inline void PutSimFile(const char* name, const std::uint8_t* data, std::size_t size) {
    PutSimFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

inline void PutSimFile(const char* name, const test::Bytes& bytes) {
    PutSimFile(name, bytes.data(), bytes.size());
}

// Group 3 (two vehicles, block 16), group 5 (text-number name, blocks 32 and 16) and group 6
// (eight vehicles, one per composition reference).
inline std::vector<test::ZggGroup> FuzzGroups() {
    test::ZggGroup three;
    three.identifier = 3;
    three.categories = 0x0001;
    three.name = "Dampfloks";
    three.keys = {16};
    three.strings = {{"Lok"}, {"", 100}, {"Gr\x81n"}, {"", 3}};
    three.vehicles = {{0x0041, 0, {0, 1}}, {0x8030, 1, {2, 3, 1}}};
    test::ZggGroup five;
    five.identifier = 5;
    five.categories = 0x0002;
    five.nameTextNumber = 1;
    five.keys = {32, 16};
    five.strings = {{"", 0}, {"", 2}, {"", 65535}};
    five.vehicles = {{0, 0, {0, 1, 2}}};
    test::ZggGroup six;
    six.identifier = 6;
    six.categories = 0x4000;
    six.name = "Wagen\tneu";
    six.keys = {48};
    six.strings = {{"W"}};
    for (unsigned i = 0; i < 8; ++i) {
        six.vehicles.push_back({i, i, {0}});
    }
    return {three, five, six};
}

inline std::vector<test::FzgBlock> FuzzBlocks() {
    std::vector<test::FzgBlock> blocks;
    for (unsigned key : {16u, 32u, 48u}) {
        test::FzgBlock block;
        block.key = key;
        block.sideImages = {test::SideImage(1), test::SideImage(20)};
        block.topImages = {test::TopImage(40)};
        test::FzgComposition two;
        two.lists = {test::Bytes{0, 1}, test::Bytes{0, 0x40}, test::Bytes{1, 0x80}, test::Bytes{0, 0xC1}};
        test::FzgComposition one;
        one.lists = {test::Bytes{1}, test::Bytes{0}, test::Bytes{0}, test::Bytes{9}};
        block.compositions = {two, one};
        blocks.push_back(block);
    }
    return blocks;
}

inline constexpr const char* kFuzzTexts =
    "; texts\r\n0\r\nnull#0x\r\n1\r\nGruppe#tB   \r\n2\r\nZwei#n#2#H##\r\n3\r\n#q\r\n100\r\nHundert\r\n.\r\n";

inline void CheckVehicle(const simimport::SimVehicle& v) {
    Check(v.lengthPixels >= 0 && v.lengthPixels <= simimport::kSidePlaneWidth && v.lengthPixels % 8 == 0);
    Check(IsValidUtf8(v.groupName) && Utf8Length(v.groupName) <= simimport::kMaxGroupNameLength);
    for (const std::string& text : v.texts) {
        Check(IsValidUtf8(text) && Utf8Length(text) <= simimport::kMaxTextLength);
    }
}

// Vehicles outside FuzzGroups' groups and numbers beside those within.
inline const std::vector<int> kFixedIdentifiers = {48, 49, 80, 96, 97, 100, 103, 7, 0};

// A whole listing, checked as it goes; what it gave. It must end by itself: it cannot list more
// than 16 vehicles per directory entry.
inline std::vector<int> ListEverything(simimport::SimVehicleReader& reader, std::size_t groupFileSize) {
    using namespace simimport;
    SimVehicle vehicle;
    std::vector<int> listed;
    const std::size_t bound = 16 * (groupFileSize / 6 + 1);
    int result = reader.QueryVehicle(kQueryFirst, 0xFFFF, &vehicle);
    while (result > 0) {
        CheckVehicle(vehicle);
        listed.push_back(result);
        Check(listed.size() <= bound);
        result = reader.QueryVehicle(kQueryNext, 0xFFFF, &vehicle);
    }
    Check(result >= kSimFileError);
    return listed;
}

// Full queries of the identifiers (up to 40). A query by identifier starts afresh and leaves
// nothing loaded behind, so asking for the same vehicle again would repeat it exactly: every
// identifier is asked for once.
inline void QueryEach(simimport::SimVehicleReader& reader, const std::vector<int>& identifiers) {
    using namespace simimport;
    SimVehicle vehicle;
    std::vector<int> queried;
    for (int id : identifiers) {
        if (std::find(queried.begin(), queried.end(), id) != queried.end()) {
            continue;
        }
        if (queried.size() == 40) {
            break;
        }
        queried.push_back(id);
        const int result = reader.QueryVehicle(id, 0, &vehicle);
        Check(result == id || (result < 0 && result >= kSimFileError));
        if (result > 0) {
            CheckVehicle(vehicle);
        }
    }
}

// A reader of the folder in memory; one for every input, so nothing carries over.
inline std::unique_ptr<simimport::SimVehicleReader> MakeFuzzReader() {
    auto reader = std::make_unique<simimport::SimVehicleReader>(SimFiles());
    reader->SetSimulatorFolder(kSimFolder);
    return reader;
}

}  // namespace zobl::fuzz
