#include "core/clipboard/Clippy.h"

#include <algorithm>
#include <filesystem>

#include "core/common/AtomicFile.h"
#include "core/common/ByteReader.h"
#include "core/common/ByteWriter.h"
#include "core/common/PrivateFolder.h"

namespace zobl {

// ---- The copied area ---------------------------------------------------------------------------

void CClippy::SetSize(int width, int height) {
    width_ = std::clamp(width, 0, kMaxExtent);
    height_ = std::clamp(height, 0, kMaxExtent);
}

const CClippy::Block* CClippy::FindBlock(std::uint32_t key) const {
    if (cachedKey_ == key) {
        return cachedBlock_;
    }
    const auto it = blocks_.find(key);
    cachedKey_ = key;
    cachedBlock_ = it == blocks_.end() ? nullptr : it->second.get();
    return cachedBlock_;
}

std::uint8_t CClippy::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= kMaxExtent || y >= kMaxExtent) {
        return 0;
    }
    const Block* block = FindBlock(KeyOf(x, y));
    return block == nullptr ? 0 : (*block)[std::size_t(x % kBlockSize + kBlockSize * (y % kBlockSize))];
}

int CClippy::Set(int x, int y, std::uint8_t value) {
    if (x < 0 || y < 0 || x >= kMaxExtent || y >= kMaxExtent) {
        return 255;
    }
    cachedKey_.reset();
    const std::uint32_t key = KeyOf(x, y);
    auto it = blocks_.find(key);
    if (it == blocks_.end()) {
        if (value == 0) {
            return 0;
        }
        it = blocks_.emplace(key, std::make_unique<Block>()).first;
        it->second->fill(0);
    }
    Block& block = *it->second;
    std::uint8_t& pixel = block[std::size_t(x % kBlockSize + kBlockSize * (y % kBlockSize))];
    const std::uint8_t before = pixel;
    pixel = value;
    // A stored block always holds a pixel other than 0, so only clearing one can empty it: a 0
    // written over a 0 (most pixels of a sparse area) need not look at the other 4095.
    if (value == 0 && before != 0 &&
        std::all_of(block.begin(), block.end(), [](std::uint8_t v) { return v == 0; })) {
        blocks_.erase(it);
    }
    return 0;
}

void CClippy::ClearArea() {
    blocks_.clear();
    cachedKey_.reset();
    width_ = height_ = 0;
}

std::vector<std::uint8_t> CClippy::FileBytes() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(8 + std::size_t(width_) * std::size_t(height_));
    ByteWriter out(bytes);
    out.I32(width_);
    out.I32(height_);
    for (int x = 0; x < width_; ++x) {
        for (int y = 0; y < height_; ++y) {
            out.U8(Get(x, y));
        }
    }
    return bytes;
}

bool CClippy::LoadFileBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8) {
        return false;
    }
    ByteReader in(bytes);
    const std::int32_t width = in.I32();
    const std::int32_t height = in.I32();
    if (width < 1 || height < 1 || width > kMaxExtent || height > kMaxExtent ||
        bytes.size() - 8 < std::size_t(width) * std::size_t(height)) {
        return false;
    }
    blocks_.clear();
    cachedKey_.reset();
    const std::uint8_t* pixels = bytes.data() + 8;
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            Set(x, y, *pixels++);
        }
    }
    SetSize(width, height);
    return true;
}

void CClippy::WriteFile(const std::string& path) const {
    const std::vector<std::uint8_t> bytes = FileBytes();
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    MakePrivateFolder(folder.empty() ? std::string(".") : folder.string());
    WriteFileAtomically(path, bytes, FileNaming::Program);
}

bool CClippy::ReadFile(const std::string& path) {
    try {
        return LoadFileBytes(ReadWholeFile(path));
    } catch (const std::exception&) {
        return false;
    }
}

// ---- The vehicle slots ---------------------------------------------------------------------------

void CClippy::SetCar(const Car& car) {
    car_.CopyFrom(car);
    car_.viewState.fill(0);
}

void CClippy::SetVehicleSet(const VehicleSet& set) {
    set_.CopyFrom(set);
    set_.viewState.fill(0);
    for (Car& car : set_.cars) {
        car.viewState.fill(0);
    }
}

bool CClippy::HasCar() const {
    return car_.length != 0 && car_.IsUsed();
}

bool CClippy::HasVehicleSet() const {
    return set_.IsUsed() && set_.carCount > 0;
}

void CClippy::ClearVehicleSlots() {
    car_.Clear();
    set_.Clear();
}

}  // namespace zobl
