// Arbitrary bytes as the internal clipboard file, as a drop or a second running editor hands
// it over: a file that is taken must write back exactly the bytes of its area, and pasting it
// anywhere must stay inside the target.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "core/clipboard/Clippy.h"

namespace {

using namespace zobl;

using zobl::fuzz::Check;

// A 40 x 30 surface that traps on any write outside it.
struct Target {
    std::array<PaletteIndex, 40 * 30> pixels{};
    PixelRect Bounds() const { return {0, 0, 39, 29}; }
    bool Contains(PixelPoint p) const { return Bounds().Contains(p); }
    bool Fillable(PixelPoint p) const { return Contains(p); }
    PixelRun FillableRun(int, int) const { return {0, 39}; }
    PaletteIndex Get(PixelPoint p) const { return pixels[std::size_t(p.y * 40 + p.x)]; }
    const PaletteIndex* Line(int y) const { return pixels.data() + y * 40; }
    bool Set(PixelPoint p, PaletteIndex v) {
        Check(Contains(p));
        pixels[std::size_t(p.y * 40 + p.x)] = v;
        return true;
    }
    void SetSpan(int, int, int, PaletteIndex) {}
    bool SetDrawn(PixelPoint p, PaletteIndex v) { return Set(p, v); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    CClippy clipboard;
    if (!clipboard.LoadFileBytes(bytes)) {
        Check(!clipboard.HasArea() && clipboard.BlockCount() == 0);
        return 0;
    }
    Check(clipboard.Width() >= 1 && clipboard.Width() <= CClippy::kMaxExtent);
    Check(clipboard.Height() >= 1 && clipboard.Height() <= CClippy::kMaxExtent);
    const std::vector<std::uint8_t> written = clipboard.FileBytes();
    Check(written.size() <= size);
    Check(std::equal(written.begin(), written.end(), bytes.begin()));
    Target target;
    PasteArea(target, clipboard, {3, 2, 17, 9}, [](PixelPoint) { return true; });
    PasteArea(target, clipboard, {30, 20, 45, 35}, [](PixelPoint) { return true; });
    return 0;
}
