#include "core/simimport/SimStream.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace zobl::simimport {

int SimStream::Open(const SimFileSystem& files, const std::string& fullName, bool skipPreamble) {
    Close();
    const std::optional<std::string> name = files.Find(fullName);
    if (!name) {
        return kEnd;
    }
    file_ = files.Open(*name);
    if (!file_) {
        return kEnd;
    }
    size_ = file_->Size();
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

int SimStream::Refill(std::uint8_t& byte) {
    if (!file_) {
        return kError;
    }
    const std::optional<std::size_t> got = file_->Read(buffer_.data(), buffer_.size());
    if (!got) {
        Close();
        return kError;
    }
    if (*got == 0) {
        return kEnd;
    }
    ++blocks_;
    position_ = 0;
    left_ = *got;
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
        // The rest of the buffer at once; ReadByte refills it.
        const std::size_t run = std::min(left_, count - done);
        std::memcpy(out + done, buffer_.data() + position_, run);
        position_ += run;
        left_ -= run;
        offset_ += run;
        done += run;
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
    if (!file_->Skip(count - left_)) {
        Close();
        return kError;
    }
    left_ = 0;
    position_ = 0;
    offset_ += count;
    return kOk;
}

void SimStream::Close() {
    file_.reset();
    left_ = 0;
    position_ = 0;
}

}  // namespace zobl::simimport
