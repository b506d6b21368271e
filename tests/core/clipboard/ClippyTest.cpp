#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/clipboard/Clippy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"

namespace zobl {
namespace {

// The paste rule written out: every write in order, later ones overwriting earlier ones. Where
// pasting a cw x ch area into the marked rectangle mark puts each source pixel: the same
// size pixel for pixel; otherwise source column l goes to mark.x0 + w·l / cw and line k to
// mark.y0 + h·k / ch, widened by w / cw (h / ch) when the area is smaller, else by one, and cut
// at the mark's right and bottom edges (later source pixels overwrite earlier ones). write(x, y,
// sourceX, sourceY) is called for every target pixel in that order.
template <typename Write>
void ForEachPasteTarget(const PixelRect& mark, int cw, int ch, Write&& write) {
    const int w = mark.Width();
    const int h = mark.Height();
    if (cw <= 0 || ch <= 0 || w <= 0 || h <= 0) {
        return;
    }
    if (cw == w && ch == h) {
        for (int i = 0; i < h; ++i) {
            for (int j = 0; j < w; ++j) {
                write(mark.x0 + j, mark.y0 + i, j, i);
            }
        }
        return;
    }
    const int xs = cw < w ? w / cw : 1;
    const int ys = ch < h ? h / ch : 1;
    for (int k = 0; k < ch; ++k) {
        for (int l = 0; l < cw; ++l) {
            const int xa = int(std::int64_t(w) * l / cw) + mark.x0;
            const int ya = int(std::int64_t(h) * k / ch) + mark.y0;
            const int xb = std::min(xa + xs, mark.x1);
            const int yb = std::min(ya + ys, mark.y1);
            for (int y = ya; y <= yb; ++y) {
                for (int x = xa; x <= xb; ++x) {
                    write(x, y, l, k);
                }
            }
        }
    }
}

Car MakeCar(int length, const char* name) {
    Car car;
    car.length = length;
    car.name.Assign(name);
    if (length > 0) {
        car.AllocatePlanes();
    }
    car.viewState[3] = 2;
    return car;
}

TEST(Clippy, SlotsCountOnlyWhatCanBePasted) {
    struct CarCase {
        int length;
        const char* name;
        bool filled;
    };
    for (const CarCase c :
         {CarCase{0, "", false}, CarCase{0, "Lok", false}, CarCase{3, "", false}, CarCase{3, "Lok", true}}) {
        CClippy clipboard;
        clipboard.SetCar(MakeCar(c.length, c.name));
        EXPECT_EQ(clipboard.HasCar(), c.filled) << c.length << " " << c.name;
    }
    struct SetCase {
        const char* name;
        int cars;
        bool filled;
    };
    for (const SetCase c : {SetCase{"", 1, false}, SetCase{"Zug", 0, false}, SetCase{"Zug", 2, true}}) {
        VehicleSet set;
        set.name.Assign(c.name);
        for (int i = 0; i < c.cars; ++i) {
            set.cars[std::size_t(i)] = MakeCar(2, "W");
        }
        set.carCount = c.cars;
        CClippy clipboard;
        clipboard.SetVehicleSet(set);
        EXPECT_EQ(clipboard.HasVehicleSet(), c.filled) << c.name << " " << c.cars;
    }
}

TEST(Clippy, CopiesAreItsOwnAndLeaveTheWindowsStateBehind) {
    Car source = MakeCar(2, "Lok");
    source.planes[1][5] = 17;
    CClippy clipboard;
    clipboard.SetCar(source);
    source.planes[1][5] = 40;
    source.name.Assign("Anders");
    EXPECT_EQ(clipboard.GetCar().planes[1][5], 17);
    EXPECT_EQ(clipboard.GetCar().name.View(), "Lok");
    EXPECT_EQ(clipboard.GetCar().viewState[3], 0);

    VehicleSet set;
    set.name.Assign("Zug");
    set.cars[0] = MakeCar(1, "W");
    set.carCount = 1;
    set.viewState[0] = 1;
    clipboard.SetVehicleSet(set);
    EXPECT_EQ(clipboard.GetVehicleSet().viewState[0], 0);
    EXPECT_EQ(clipboard.GetVehicleSet().cars[0].viewState[3], 0);
    clipboard.ClearVehicleSlots();
    EXPECT_FALSE(clipboard.HasCar());
    EXPECT_FALSE(clipboard.HasVehicleSet());
}

}  // namespace
}  // namespace zobl

namespace zobl {
namespace {

TEST(ClippyArea, BlocksComeAndGoWithTheirPixels) {
    CClippy clipboard;
    EXPECT_EQ(clipboard.Set(70, 130, 9), 0);
    EXPECT_EQ(clipboard.Set(71, 130, 8), 0);
    EXPECT_EQ(clipboard.BlockCount(), 1u);
    EXPECT_EQ(clipboard.Get(70, 130), 9);
    EXPECT_EQ(clipboard.Get(0, 0), 0);
    clipboard.Set(64, 128, 0);
    clipboard.Set(127, 191, 0);
    EXPECT_EQ(clipboard.BlockCount(), 1u);  // a 0 over a 0 changes nothing
    EXPECT_EQ(clipboard.Get(71, 130), 8);
    clipboard.Set(70, 130, 0);
    EXPECT_EQ(clipboard.BlockCount(), 1u);  // the other pixel keeps it
    clipboard.Set(71, 130, 0);
    EXPECT_EQ(clipboard.BlockCount(), 0u);
    EXPECT_EQ(clipboard.Get(71, 130), 0);
    for (const PixelPoint outside : {PixelPoint{-1, 0}, PixelPoint{0, 8192}, PixelPoint{8192, 5}}) {
        EXPECT_EQ(clipboard.Set(outside.x, outside.y, 4), 255);
        EXPECT_EQ(clipboard.Get(outside.x, outside.y), 0);
    }
    EXPECT_EQ(clipboard.BlockCount(), 0u);
}

// A loaded area keeps a block exactly where a pixel is not 0, wherever in the block that pixel is.
TEST(ClippyArea, LoadedAreaKeepsTheBlocksOfItsPixels) {
    struct Case {
        int width;
        int height;
        std::vector<std::pair<int, int>> drawn;  // pixels of value 7, all others 0
        std::size_t blocks;
    };
    const Case cases[] = {
        {64, 64, {}, 0},
        {64, 64, {{0, 0}}, 1},
        {64, 64, {{63, 63}}, 1},
        {130, 70, {{63, 0}, {64, 0}, {129, 69}}, 3},
        {130, 70, {{5, 64}, {5, 65}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << " x " << c.height << ", " << c.drawn.size() << " drawn");
        std::vector<std::uint8_t> file(8 + std::size_t(c.width) * std::size_t(c.height), 0);
        file[0] = std::uint8_t(c.width);
        file[4] = std::uint8_t(c.height);
        for (const auto& [x, y] : c.drawn) {
            file[8 + std::size_t(x) * std::size_t(c.height) + std::size_t(y)] = 7;  // column by column
        }
        CClippy clipboard;
        ASSERT_TRUE(clipboard.LoadFileBytes(file));
        EXPECT_EQ(clipboard.BlockCount(), c.blocks);
        EXPECT_EQ(clipboard.FileBytes(), file);
    }
}

// A plain 16 x 16 surface whose right half a paste may not write.
struct Surface {
    std::array<PaletteIndex, 256> pixels{};
    PixelRect Bounds() const { return {0, 0, 15, 15}; }
    bool Contains(PixelPoint p) const { return Bounds().Contains(p); }
    bool Fillable(PixelPoint p) const { return Contains(p); }
    PixelRun FillableRun(int, int) const { return {0, 15}; }
    PaletteIndex Get(PixelPoint p) const { return pixels[std::size_t(p.y * 16 + p.x)]; }
    const PaletteIndex* Line(int y) const { return pixels.data() + y * 16; }
    bool Set(PixelPoint p, PaletteIndex v) {
        pixels[std::size_t(p.y * 16 + p.x)] = v;
        return true;
    }
    void SetSpan(int, int, int, PaletteIndex) {}
    bool SetDrawn(PixelPoint p, PaletteIndex v) { return Set(p, v); }
};

TEST(ClippyArea, PastesScaleAsTheCommandsDoAndKeepSpecialColours) {
    struct Case {
        int cw;
        int ch;
        PixelRect mark;
        // expected[y][x] of the mark's pixels, as source pixel number sx + 10 * sy + 1
        std::vector<std::vector<int>> expected;
    };
    const Case cases[] = {
        {2, 2, {4, 4, 5, 5}, {{1, 2}, {11, 12}}},  // same size
        {2, 2, {0, 0, 3, 3}, {{1, 1, 2, 2}, {1, 1, 2, 2}, {11, 11, 12, 12}, {11, 11, 12, 12}}},
        {4, 4, {1, 1, 2, 2}, {{12, 14}, {32, 34}}},  // larger into smaller
        {1, 1, {0, 0, 2, 0}, {{1, 1, 1}}},
    };
    for (const Case& c : cases) {
        CClippy clipboard;
        for (int y = 0; y < c.ch; ++y) {
            for (int x = 0; x < c.cw; ++x) {
                clipboard.Set(x, y, PaletteIndex(x + 10 * y + 1));
            }
        }
        clipboard.SetSize(c.cw, c.ch);
        Surface surface;
        PasteArea(surface, clipboard, c.mark, [](PixelPoint) { return true; });
        for (int y = 0; y < c.mark.Height(); ++y) {
            for (int x = 0; x < c.mark.Width(); ++x) {
                EXPECT_EQ(surface.Get({c.mark.x0 + x, c.mark.y0 + y}),
                          c.expected[std::size_t(y)][std::size_t(x)])
                    << c.cw << "x" << c.ch << " at " << x << "," << y;
            }
        }
    }
    // Copy and paste keep every index, special colours included; unwritable pixels stay.
    Surface surface;
    surface.Set({0, 0}, TransparentIndex);
    surface.Set({1, 0}, HalfTransparentIndex);
    surface.Set({0, 1}, BackgroundIndex);
    surface.Set({1, 1}, 3);
    CClippy clipboard;
    CopyArea(clipboard, surface, {0, 0, 1, 1});
    PasteArea(surface, clipboard, {7, 3, 8, 4}, [](PixelPoint p) { return p.x < 8; });
    EXPECT_EQ(surface.Get({7, 3}), TransparentIndex);
    EXPECT_EQ(surface.Get({7, 4}), BackgroundIndex);
    EXPECT_EQ(surface.Get({8, 3}), 0);
}

// Writing each target once with its last source pixel leaves what every write in order leaves,
// for areas smaller, equal and larger than the mark in either direction.
TEST(ClippyArea, FinalPasteTargetsAreWhatEveryWriteInOrderLeaves) {
    constexpr int kSizes[] = {1, 2, 3, 4, 5, 7, 13, 20};
    const auto sourceNumber = [](int sx, int sy) { return sx + 100 * sy + 1; };
    for (const int cw : kSizes) {
        for (const int ch : kSizes) {
            for (const int w : kSizes) {
                for (const int h : kSizes) {
                    const PixelRect mark{2, 3, 2 + w - 1, 3 + h - 1};
                    std::vector<int> everyWrite(30 * 30, 0);
                    ForEachPasteTarget(mark, cw, ch, [&](int x, int y, int sx, int sy) {
                        everyWrite[std::size_t(y * 30 + x)] = sourceNumber(sx, sy);
                    });
                    std::vector<int> finalWrite(30 * 30, 0);
                    std::vector<int> writes(30 * 30, 0);
                    ForEachFinalPasteTarget(mark, cw, ch, [&](int x, int y, int sx, int sy) {
                        finalWrite[std::size_t(y * 30 + x)] = sourceNumber(sx, sy);
                        ++writes[std::size_t(y * 30 + x)];
                    });
                    ASSERT_EQ(finalWrite, everyWrite) << cw << "x" << ch << " into " << w << "x" << h;
                    ASSERT_LE(*std::max_element(writes.begin(), writes.end()), 1);
                }
            }
        }
    }
}

TEST(ClippyFile, DamagedFilesAreRefusedAndChangeNothing) {
    CClippy source;
    source.Set(0, 0, 56);
    source.Set(2, 1, 7);
    source.SetSize(3, 2);
    const std::vector<std::uint8_t> good = source.FileBytes();
    EXPECT_EQ(good, (std::vector<std::uint8_t>{3, 0, 0, 0, 2, 0, 0, 0, 56, 0, 0, 0, 0, 7}));

    const auto withSize = [&good](std::int32_t w, std::int32_t h) {
        std::vector<std::uint8_t> bytes = good;
        for (int i = 0; i < 4; ++i) {
            bytes[std::size_t(i)] = std::uint8_t(std::uint32_t(w) >> (8 * i));
            bytes[std::size_t(4 + i)] = std::uint8_t(std::uint32_t(h) >> (8 * i));
        }
        return bytes;
    };
    const std::vector<std::uint8_t> damaged[] = {
        {},
        {3, 0, 0, 0, 2, 0, 0},
        std::vector<std::uint8_t>(good.begin(), good.end() - 1),  // a pixel short
        withSize(0, 2),
        withSize(3, -1),
        withSize(8193, 1),
        withSize(8192, 8192),  // claims 64 MiB, holds 6 bytes
    };
    for (const auto& bytes : damaged) {
        CClippy target;
        target.Set(1, 1, 9);
        target.SetSize(2, 2);
        EXPECT_FALSE(target.LoadFileBytes(bytes)) << bytes.size();
        EXPECT_EQ(target.Width(), 2);
        EXPECT_EQ(target.Get(1, 1), 9);
    }
    CClippy target;
    ASSERT_TRUE(target.LoadFileBytes(good));
    EXPECT_EQ(target.FileBytes(), good);
    EXPECT_EQ(target.Get(0, 0), 56);
}

// The clipboard file lies at a name the program chose: its folder is made the user's alone, and
// what another user could have put there is refused without being touched.
TEST(ClippyFile, IsWrittenOnlyIntoAPrivateFolderAndNeverThroughALink) {
    namespace fs = std::filesystem;
    CClippy clipboard;
    clipboard.Set(0, 0, 56);
    clipboard.SetSize(1, 1);
    test::TempFolder temp;
    const std::string precious = temp.File("precious");
    std::ofstream(precious) << "precious";

    const fs::path fresh = temp.Path() / "runtime/zobl_ge";
    clipboard.WriteFile((fresh / "zobl_ge.clipboard").string());
    struct stat info {};
    ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(ReadWholeFile((fresh / "zobl_ge.clipboard").string()), clipboard.FileBytes());

    const fs::path shared = temp.Path() / "shared";
    fs::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    const fs::path linked = temp.Path() / "linked";
    fs::create_directory(linked);
    ::chmod(linked.c_str(), 0700);
    fs::create_symlink(precious, linked / "zobl_ge.clipboard");
    for (const fs::path& path : {shared / "zobl_ge.clipboard", linked / "zobl_ge.clipboard"}) {
        EXPECT_THROW(clipboard.WriteFile(path.string()), MessageError) << path;
    }
    EXPECT_FALSE(fs::exists(shared / "zobl_ge.clipboard"));
    EXPECT_TRUE(fs::is_symlink(linked / "zobl_ge.clipboard"));
    EXPECT_EQ(ReadWholeFile(precious), std::vector<std::uint8_t>({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    // Removing it at the end leaves a link and what it leads to alone.
    EXPECT_FALSE(RemoveProgramFile((linked / "zobl_ge.clipboard").string()));
    EXPECT_TRUE(fs::is_symlink(linked / "zobl_ge.clipboard"));
    EXPECT_TRUE(RemoveProgramFile((fresh / "zobl_ge.clipboard").string()));
    EXPECT_FALSE(fs::exists(fresh / "zobl_ge.clipboard"));
}

}  // namespace
}  // namespace zobl
