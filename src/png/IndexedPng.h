#pragma once

#include <QImage>

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zobl {

// width * height palette indices, top row first, as an 8-bit indexed PNG: colour table = the
// base palette (or the colours of a night state 1..3, see DayNightColourTable), index 56
// transparent. Bytes above 99 are no colours but are kept: the table grows to cover them (black).
std::vector<std::uint8_t> EncodeIndexedPng(int width, int height, std::span<const std::uint8_t> pixels,
                                           int dayNightState = 0);

// Decodes a PNG of the given size, checking the size before decoding the pixels: a PNG of
// another size goes to wrongSize, which throws. A 1-bit picture comes back as Format_Indexed8.
// Throws MessageError 2 with fileName when the bytes are no PNG or a damaged one.
QImage DecodePng(std::span<const std::uint8_t> png, const std::string& fileName, QSize size,
                 const std::function<void(QSize)>& wrongSize);

}  // namespace zobl
