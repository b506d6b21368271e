// Writes the seed corpus of fuzz_gs_reader: one file of every layout the reader knows and a few
// damaged ones. Usage: make_gs_corpus FOLDER. The files are built byte by byte with the same
// helpers as the unit tests.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/AtomicFile.h"
#include "core/scenery/GsTestFiles.h"

using namespace zobl::test;

namespace {

std::uint8_t SomePicture(int x, int y) {
    return std::uint8_t((x * 7 + y * 3) % 16);
}

std::vector<std::uint8_t> PlanesAndMask() {
    std::vector<std::uint8_t> bytes = PlaneRecord(SomePicture);
    std::vector<std::uint8_t> mask(512, 0);
    for (int i = 0; i < 16; ++i) {
        mask[std::size_t(i * 17)] = 1;
    }
    bytes.insert(bytes.end(), mask.begin(), mask.end());
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gs_corpus FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
        zobl::WriteFileAtomically((folder / name).string(), bytes);
    };

    const auto records = [](int s) {
        return RecordBytes{12, s, s % 3 == 0 ? 8u : (s % 3 == 1 ? 12u : 0x80000019u)};
    };
    const auto pixels = [](std::size_t i) { return std::uint8_t(i % 1152 < 32 ? 56 : (i / 7) % 100); };
    const std::vector<std::uint8_t> version7 =
        GsVersion7("Autor \xE4", "Info\r\nZeile 2", records, pixels).Take();
    write("version7.gs", version7);
    write("version5.gs", GsVersion5(
                             "abc", "info", [](int s) { return std::uint16_t(s % 16); },
                             [](int r, int y, int x) { return std::uint8_t((r * 16 + y + x) % 100); })
                             .Take());
    write("version1.gs", GsVersion1Or2(1, [](int s, int r) {
                             return (s + r) % 17 == 0 ? PlanesAndMask() : std::vector<std::uint8_t>{};
                         }).Take());
    write("version2.gs", GsVersion1Or2(2, [](int s, int r) {
                             return (s * r) % 29 == 1
                                        ? ColumnMajorCell([](int x, int y) { return std::uint8_t(x + y); })
                                        : std::vector<std::uint8_t>{};
                         }).Take());
    write("oldest.gs", GsOldest([](int s) { return PlaneRecord(SomePicture, std::uint8_t(s), 0); }).Take());

    // Damaged: version 6, an unknown version, no end mark, cut inside the texts, a text too long.
    write("version6.gs", GsStart(2, 6).Fill(64, 0).Take());
    write("version0.gs", GsStart(2, 0).Fill(64, 0).Take());
    write("no-end-mark.gs", FileBytes().Raw("TRAK User Graphics File").U8(2).U8(7).Take());
    write("cut.gs", std::vector<std::uint8_t>(version7.begin(), version7.begin() + 50));
    write("long-text.gs", GsStart(2, 7).I32(36).I32(5).I32(32).I32(16).Fill(20480, 'x').U8(0).Take());
    return 0;
}
