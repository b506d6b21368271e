#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/simimport/SimFiles.h"

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

    // Opens the file (found as files.Find does). With skipPreamble everything up to and
    // including the first 0x1A byte is dropped; a file without one gives kError.
    int Open(const SimFileSystem& files, const std::string& fullName, bool skipPreamble);
    // Inline while the buffer holds bytes: texts are read a byte at a time.
    int ReadByte(std::uint8_t& byte) {
        if (left_ == 0) {
            return Refill(byte);
        }
        byte = buffer_[position_++];
        --left_;
        ++offset_;
        return kOk;
    }
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
    // ReadByte on an empty buffer.
    int Refill(std::uint8_t& byte);

    std::unique_ptr<SimFile> file_;
    std::array<std::uint8_t, kBufferSize> buffer_{};
    std::size_t position_ = 0;
    std::size_t left_ = 0;
    unsigned blocks_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t size_ = 0;
};

}  // namespace zobl::simimport
