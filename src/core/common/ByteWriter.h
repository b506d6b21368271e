#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zobl {

// Appends little-endian values to a byte vector that the caller owns.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) noexcept : out_(out) {}

    void U8(std::uint8_t value) { out_.push_back(value); }
    void U16(std::uint16_t value);
    void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
    void U32(std::uint32_t value);
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    // Overwrites four bytes written before: for a size or offset known only later. Throws
    // std::out_of_range when they were not all written yet.
    void U32At(std::size_t position, std::uint32_t value);
    void Bytes(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    // The characters only, no terminator.
    void Text(std::string_view text);
    // count copies of value.
    void Fill(std::size_t count, std::uint8_t value) { out_.insert(out_.end(), count, value); }

    std::size_t Size() const noexcept { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace zobl
