#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zobl {

// width * height palette indices, top row first, as an 8-bit indexed PNG: colour table = the
// base palette (or the colours of a night state 1..3, see DayNightColourTable), index 56
// transparent. Bytes above 99 are no colours but are kept: the table grows to cover them (black).
std::vector<std::uint8_t> EncodeIndexedPng(int width, int height, std::span<const std::uint8_t> pixels,
                                           int dayNightState = 0);

}  // namespace zobl
