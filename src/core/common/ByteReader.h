#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace zobl {

// Thrown by ByteReader when the data do not hold what the caller asked for: a read past the end,
// a seek outside the data, or a text without its 0 byte within the allowed length. File readers
// catch it and report the file as unreadable.
class ByteReaderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads little-endian values from a byte span without ever leaving it. The span must outlive
// the reader.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) noexcept : data_(data) {}

    std::uint8_t U8();
    std::uint16_t U16();
    std::int16_t I16();
    std::uint32_t U32();
    std::int32_t I32();

    // Fills out completely.
    void Bytes(std::span<std::uint8_t> out);
    // The next count bytes as a view into the data, and moves past them.
    std::span<const std::uint8_t> View(std::size_t count);
    void Skip(std::size_t count);

    // Text up to its 0 byte; the 0 byte is consumed but not returned. More than maxLength bytes
    // before the 0 byte is an error, as is the end of the data.
    std::string ZeroTerminatedText(std::size_t maxLength);

    std::size_t Position() const noexcept { return pos_; }
    std::size_t Size() const noexcept { return data_.size(); }
    std::size_t Remaining() const noexcept { return data_.size() - pos_; }
    bool AtEnd() const noexcept { return pos_ == data_.size(); }
    // Any position from 0 to Size() inclusive.
    void Seek(std::size_t position);
    // Throws unless at least count bytes remain: lets a reader refuse short data before it
    // allocates for them.
    void Require(std::size_t count) const;

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

}  // namespace zobl
