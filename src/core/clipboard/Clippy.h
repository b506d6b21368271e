#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/drawing/Canvas.h"
#include "core/drawing/PixelTypes.h"
#include "core/vehicles/VehicleModel.h"

namespace zobl {

// The editor's own clipboard, one per process, owned by the application. It keeps a copied
// area pixel by pixel, as palette indices, so special colours survive exactly; and one car and
// one vehicle set for the vehicle copy and paste commands.
//
// The area is a sparse picture over 0..8191 in both directions, stored in blocks of 64 x 64
// pixels; a pixel without a block reads 0, and a block whose pixels are all 0 again is freed.
class CClippy {
public:
    static constexpr int kMaxExtent = 8192;
    static constexpr int kBlockSize = 64;

    CClippy() = default;
    CClippy(const CClippy&) = delete;
    CClippy& operator=(const CClippy&) = delete;

    // ---- The copied area.
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    bool HasArea() const noexcept { return width_ > 0 && height_ > 0; }
    // Sizes outside 0..8192 are cut to it.
    void SetSize(int width, int height);
    // 0 where nothing was set, and outside the picture.
    std::uint8_t Get(int x, int y) const;
    // 0, or 255 when (x, y) lies outside 0..8191 (nothing stored).
    int Set(int x, int y, std::uint8_t value);
    // Frees every block and empties the area.
    void ClearArea();
    std::size_t BlockCount() const noexcept { return blocks_.size(); }

    // The clipboard file: width and height as 32-bit little-endian, then the pixels column by
    // column (x outer, y inner).
    std::vector<std::uint8_t> FileBytes() const;
    // Takes an area from file bytes. A width or height outside 1..8192, or fewer pixel bytes
    // than they claim, is refused (false) and leaves the clipboard as it was.
    bool LoadFileBytes(std::span<const std::uint8_t> bytes);
    // Atomically, at a name the program chose (see WriteFileAtomically, FileNaming::Program), in a
    // folder that is made private and refused when others could write it (MakePrivateFolder).
    // MessageError 3 or 4 with the path or the folder on failure; a link, a pipe or another
    // user's file at that name is refused and left alone.
    void WriteFile(const std::string& path) const;
    // False when the file cannot be read or is refused as above.
    bool ReadFile(const std::string& path);

    // ---- The vehicle slots.
    // Copies the record. The tree state of the source's windows stays behind: it means nothing
    // where the copy is pasted.
    void SetCar(const Car& car);
    void SetVehicleSet(const VehicleSet& set);
    // A car counts once it has a length and a name; a set once it has a name and a car.
    bool HasCar() const;
    bool HasVehicleSet() const;
    const Car& GetCar() const noexcept { return car_; }
    const VehicleSet& GetVehicleSet() const noexcept { return set_; }
    void ClearVehicleSlots();

private:
    using Block = std::array<std::uint8_t, std::size_t(kBlockSize) * kBlockSize>;
    static std::uint32_t KeyOf(int x, int y) {
        return (std::uint32_t(x / kBlockSize) << 16) | std::uint32_t(y / kBlockSize);
    }
    const Block* FindBlock(std::uint32_t key) const;

    int width_ = 0;
    int height_ = 0;
    std::unordered_map<std::uint32_t, std::unique_ptr<Block>> blocks_;
    // The last block looked up: copies and pastes walk a block's pixels in a row.
    mutable std::optional<std::uint32_t> cachedKey_;
    mutable const Block* cachedBlock_ = nullptr;

    Car car_;
    VehicleSet set_;
};

// Where pasting a cw x ch area into the marked rectangle mark puts each source pixel: the same
// size pixel for pixel; otherwise source column l covers mark.x0 + w·l / cw and line k covers
// mark.y0 + h·k / ch, widened by w / cw (h / ch) when the area is smaller, else by one, and cut
// at the mark's right and bottom edges; later source pixels (in line order) overwrite earlier
// ones. write(x, y, sourceX, sourceY) is called once per target pixel, lines top to bottom, with
// the source pixel that ends up there. Coverage in x depends on the source column alone and in y
// on the source line alone, so that is the last column covering x in the last line covering y.
template <typename Write>
void ForEachFinalPasteTarget(const PixelRect& mark, int cw, int ch, Write&& write) {
    const int w = mark.Width();
    const int h = mark.Height();
    if (cw <= 0 || ch <= 0 || w <= 0 || h <= 0) {
        return;
    }
    // Per target column (line): the last source column (line) covering it, -1 for none. (Pixel
    // for pixel, each covers itself and the next one, which then covers itself: the same result.)
    const auto lastCovering = [](int targetSize, int sourceSize) {
        std::vector<int> last(std::size_t(targetSize), -1);
        const int widen = sourceSize < targetSize ? targetSize / sourceSize : 1;
        for (int source = 0; source < sourceSize; ++source) {
            const int from = int(std::int64_t(targetSize) * source / sourceSize);
            const int to = std::min(from + widen, targetSize - 1);
            for (int t = from; t <= to; ++t) {
                last[std::size_t(t)] = source;
            }
        }
        return last;
    };
    const std::vector<int> columns = lastCovering(w, cw);
    const std::vector<int> lines = lastCovering(h, ch);
    for (int y = 0; y < h; ++y) {
        if (lines[std::size_t(y)] < 0) {
            continue;
        }
        for (int x = 0; x < w; ++x) {
            if (columns[std::size_t(x)] >= 0) {
                write(mark.x0 + x, mark.y0 + y, columns[std::size_t(x)], lines[std::size_t(y)]);
            }
        }
    }
}

// Copies the marked pixels of a surface into the clipboard's area: every pixel of the new size is
// written (the area is not emptied first). Pixels off the surface are copied as 0.
template <PixelCanvas C>
void CopyArea(CClippy& clipboard, const C& canvas, const PixelRect& mark) {
    const int width = std::min(mark.Width(), CClippy::kMaxExtent);
    const int height = std::min(mark.Height(), CClippy::kMaxExtent);
    for (int i = 0; i < height; ++i) {
        for (int j = 0; j < width; ++j) {
            const PixelPoint p{mark.x0 + j, mark.y0 + i};
            clipboard.Set(j, i, canvas.Contains(p) ? canvas.Get(p) : 0);
        }
    }
    clipboard.SetSize(width, height);
}

// Pastes the clipboard's area into mark (see ForEachPasteTarget), in bulk, only into pixels on
// the surface for which writable(p) holds (the scenery store: present rows). Each target pixel is
// written once, with its final value.
template <PixelCanvas C, typename Writable>
void PasteArea(C& canvas, const CClippy& clipboard, const PixelRect& mark, Writable&& writable) {
    // The targets of one source pixel come one after another: it is looked up once for them.
    PixelPoint source{-1, -1};
    std::uint8_t value = 0;
    ForEachFinalPasteTarget(mark, clipboard.Width(), clipboard.Height(), [&](int x, int y, int sx, int sy) {
        const PixelPoint p{x, y};
        if (canvas.Contains(p) && writable(p)) {
            if (sx != source.x || sy != source.y) {
                source = {sx, sy};
                value = clipboard.Get(sx, sy);
            }
            canvas.Set(p, value);
        }
    });
}

// Takes a picture of another program into the area (the system clipboard's image): every pixel
// becomes the nearest ordinary colour, never a special one; a picture beyond 8192 pixels is cut.
// pixelAt(x, y) gives the colour of a pixel as Rgb.
template <typename PixelAt>
void ImportPicture(CClippy& clipboard, int width, int height, const NormalColourTable& table,
                   PixelAt&& pixelAt) {
    width = std::clamp(width, 0, CClippy::kMaxExtent);
    height = std::clamp(height, 0, CClippy::kMaxExtent);
    // Pictures repeat their colours: each is looked up once.
    std::unordered_map<std::uint32_t, PaletteIndex> nearest;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = pixelAt(x, y);
            const std::uint32_t key =
                (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) | colour.blue;
            auto it = nearest.find(key);
            if (it == nearest.end()) {
                it = nearest.emplace(key, NearestNormalIndex(table, colour)).first;
            }
            clipboard.Set(x, y, it->second);
        }
    }
    clipboard.SetSize(width, height);
}

}  // namespace zobl
