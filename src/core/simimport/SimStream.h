#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zobl::simimport {

// A read-only byte stream over one simulator file through a 4096-byte buffer. Every operation
// answers with a result code; a failure that ends the stream's usefulness closes it.
class SimStream {
public:
    static constexpr int kOk = 0;
    static constexpr int kEnd = 1;  // end of file; for Open: not opened
    static constexpr int kError = 2;
    static constexpr std::size_t kBufferSize = 4096;

    SimStream() = default;
    ~SimStream() { Close(); }
    SimStream(const SimStream&) = delete;
    SimStream& operator=(const SimStream&) = delete;

    // Opens the file (found as FindSimFile does). With skipPreamble everything up to and
    // including the first 0x1A byte is dropped; a file without one gives kError.
    int Open(const std::string& fullName, bool skipPreamble);
    int ReadByte(std::uint8_t& byte);
    int ReadWord(std::uint16_t& word);   // low byte first
    int ReadLong(std::uint32_t& value);  // low word first
    // Reads until count bytes or a failure; the number of bytes read.
    std::size_t ReadBlock(std::uint8_t* out, std::size_t count);
    // Moves so that the next byte read is count bytes after the current read position; a
    // position beyond the end of the file (as it was when opened) is an error.
    int SkipBytes(std::uint32_t count);
    void Close();

    bool IsOpen() const noexcept { return file_ != nullptr; }
    // Offset in the file of the next byte to read.
    std::uint64_t Offset() const noexcept { return offset_; }
    unsigned BlocksRead() const noexcept { return blocks_; }

private:
    std::FILE* file_ = nullptr;
    std::array<std::uint8_t, kBufferSize> buffer_{};
    std::size_t position_ = 0;
    std::size_t left_ = 0;
    unsigned blocks_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t size_ = 0;
};

}  // namespace zobl::simimport
