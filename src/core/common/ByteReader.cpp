#include "core/common/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace zobl {

void ByteReader::Require(std::size_t count) const {
    if (count > Remaining()) {
        throw ByteReaderError("unexpected end of data at byte " + std::to_string(pos_));
    }
}

std::uint8_t ByteReader::U8() {
    Require(1);
    return data_[pos_++];
}

std::uint16_t ByteReader::U16() {
    Require(2);
    const std::uint16_t value = std::uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return value;
}

std::int16_t ByteReader::I16() {
    return static_cast<std::int16_t>(U16());
}

std::uint32_t ByteReader::U32() {
    Require(4);
    const std::uint32_t value = std::uint32_t{data_[pos_]} | (std::uint32_t{data_[pos_ + 1]} << 8) |
                                (std::uint32_t{data_[pos_ + 2]} << 16) |
                                (std::uint32_t{data_[pos_ + 3]} << 24);
    pos_ += 4;
    return value;
}

std::int32_t ByteReader::I32() {
    return static_cast<std::int32_t>(U32());
}

void ByteReader::Bytes(std::span<std::uint8_t> out) {
    const auto from = View(out.size());
    if (!from.empty()) {
        std::memcpy(out.data(), from.data(), from.size());
    }
}

std::span<const std::uint8_t> ByteReader::View(std::size_t count) {
    Require(count);
    const auto view = data_.subspan(pos_, count);
    pos_ += count;
    return view;
}

void ByteReader::Skip(std::size_t count) {
    Require(count);
    pos_ += count;
}

std::string ByteReader::ZeroTerminatedText(std::size_t maxLength) {
    const auto rest = data_.subspan(pos_);
    const std::size_t window = std::min(rest.size(), maxLength + 1);
    const auto end = std::find(rest.begin(), rest.begin() + std::ptrdiff_t(window), std::uint8_t{0});
    const std::size_t length = std::size_t(end - rest.begin());
    if (length == window) {
        if (window == rest.size()) {
            throw ByteReaderError("text without end at byte " + std::to_string(pos_));
        }
        throw ByteReaderError("text longer than " + std::to_string(maxLength) + " bytes at byte " +
                              std::to_string(pos_));
    }
    std::string text(reinterpret_cast<const char*>(rest.data()), length);
    pos_ += length + 1;
    return text;
}

void ByteReader::Seek(std::size_t position) {
    if (position > data_.size()) {
        throw ByteReaderError("seek to byte " + std::to_string(position) + " beyond the end");
    }
    pos_ = position;
}

}  // namespace zobl
