#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "core/palette/ColourMatch.h"

namespace zobl {

// The largest picture ReadPngPicture decodes: its 16-bit copy stays well below Qt's allocation
// limit for one image.
inline constexpr int kMaxPngSide = 16384;
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{1} << 24;

// The pixels of any PNG, as the file holds them: grey, RGB, indexed, grey with alpha or RGBA,
// 1 to 16 bits per channel, a tRNS chunk included; no gamma or colour-space conversion. Only an
// indexed file comes back indexed (a grey file of few bits stays grey). Throws MessageError 2
// with fileName when the bytes are no PNG or a damaged one, std::runtime_error naming fileName
// and both sizes for a picture larger than the limits above (before decoding it).
ForeignPicture ReadPngPicture(std::span<const std::uint8_t> png, const std::string& fileName);

// The width and height a PNG's header gives, without decoding it; MessageError 2 as above.
struct PngSize {
    int width = 0;
    int height = 0;
};
PngSize ReadPngSize(std::span<const std::uint8_t> png, const std::string& fileName);

// A picture of another size than the one it is read into. what() names the file and both sizes:
// "x.png: the picture is 100 x 80 pixels, a scenery sheet is 1152 x 80".
struct WrongPictureSize : std::runtime_error {
    WrongPictureSize(const std::string& fileName, PngSize found, const std::string& expectedName,
                     PngSize expected);
    PngSize found;
    PngSize expected;
};

// Throws WrongPictureSize unless the PNG's header gives the expected size; expectedName says
// what is expected ("a scenery sheet").
void CheckPngSize(std::span<const std::uint8_t> png, const std::string& fileName,
                  const std::string& expectedName, PngSize expected);

}  // namespace zobl
