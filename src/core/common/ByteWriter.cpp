#include "core/common/ByteWriter.h"

#include <stdexcept>

namespace zobl {

void ByteWriter::U16(std::uint16_t value) {
    const std::uint8_t bytes[2] = {std::uint8_t(value), std::uint8_t(value >> 8)};
    out_.insert(out_.end(), bytes, bytes + 2);
}

void ByteWriter::U32(std::uint32_t value) {
    const std::uint8_t bytes[4] = {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                                   std::uint8_t(value >> 24)};
    out_.insert(out_.end(), bytes, bytes + 4);
}

void ByteWriter::U32At(std::size_t position, std::uint32_t value) {
    if (position > out_.size() || out_.size() - position < 4) {
        throw std::out_of_range("U32At beyond the bytes written");
    }
    for (std::size_t i = 0; i < 4; ++i) {
        out_[position + i] = std::uint8_t(value >> (8 * i));
    }
}

void ByteWriter::Text(std::string_view text) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(text.data());
    out_.insert(out_.end(), first, first + text.size());
}

}  // namespace zobl
