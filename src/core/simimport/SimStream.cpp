#include "core/simimport/SimStream.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>

#include "core/simimport/SimLocator.h"

namespace zobl::simimport {

int SimStream::Open(const std::string& fullName, bool skipPreamble) {
    Close();
    const std::optional<std::string> path = FindSimFile(fullName);
    if (!path) {
        return kEnd;
    }
    file_ = std::fopen(path->c_str(), "rb");
    if (!file_) {
        return kEnd;
    }
    struct stat status {};
    if (::fstat(::fileno(file_), &status) != 0) {
        Close();
        return kEnd;
    }
    size_ = static_cast<std::uint64_t>(status.st_size);
    position_ = 0;
    left_ = 0;
    blocks_ = 1;
    offset_ = 0;
    if (skipPreamble) {
        std::uint8_t byte = 0;
        do {
            if (ReadByte(byte) != kOk) {
                Close();
                return kError;
            }
        } while (byte != 0x1A);
    }
    return kOk;
}

int SimStream::ReadByte(std::uint8_t& byte) {
    if (!file_) {
        return kError;
    }
    if (left_ == 0) {
        const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
        if (got == 0) {
            if (std::ferror(file_)) {
                Close();
                return kError;
            }
            return kEnd;
        }
        ++blocks_;
        position_ = 0;
        left_ = got;
    }
    byte = buffer_[position_++];
    --left_;
    ++offset_;
    return kOk;
}

int SimStream::ReadWord(std::uint16_t& word) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    int result = ReadByte(low);
    if (result == kOk) {
        result = ReadByte(high);
    }
    word = static_cast<std::uint16_t>(low | (high << 8));
    return result;
}

int SimStream::ReadLong(std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    int result = ReadWord(low);
    if (result == kOk) {
        result = ReadWord(high);
    }
    value = low | (std::uint32_t{high} << 16);
    return result;
}

std::size_t SimStream::ReadBlock(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count && ReadByte(out[done]) == kOk) {
        ++done;
    }
    return done;
}

int SimStream::SkipBytes(std::uint32_t count) {
    if (!file_) {
        return kError;
    }
    if (count <= left_) {
        position_ += count;
        left_ -= count;
        offset_ += count;
        return kOk;
    }
    // A distance beyond the end of the file is damage, not a place to read from.
    if (offset_ + count > size_) {
        Close();
        return kError;
    }
    // The file position stands behind the buffered bytes.
    const off_t distance = static_cast<off_t>(count - left_);
    if (fseeko(file_, distance, SEEK_CUR) != 0) {
        Close();
        return kError;
    }
    left_ = 0;
    position_ = 0;
    offset_ += count;
    return kOk;
}

void SimStream::Close() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    left_ = 0;
    position_ = 0;
}

}  // namespace zobl::simimport
