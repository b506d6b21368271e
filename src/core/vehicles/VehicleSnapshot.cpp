#include "core/vehicles/VehicleSnapshot.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string_view>

#include "core/common/ByteReader.h"
#include "core/common/ByteWriter.h"

namespace zobl {

using namespace vehicles;
using namespace vehicle_snapshot;

namespace {

int CarsInBlock(const VehicleSet& set) {
    return set.IsUsed() ? std::clamp(set.carCount, 0, kMaxCars) : 0;
}

template <std::size_t N>
void WriteField(ByteWriter& out, const FixedText<N>& text) {
    out.Text(std::string_view(text.Field().data(), N));
}

template <std::size_t N>
void ReadField(ByteReader& in, FixedText<N>& text) {
    const auto field = in.View(N);
    text.Assign(std::string_view(reinterpret_cast<const char*>(field.data()), field.size()));
}

// Whole arrays of words at once where the host already has the block's byte order.
template <typename Word, std::size_t N>
void WriteWords(ByteWriter& out, const std::array<Word, N>& words) {
    if constexpr (std::endian::native == std::endian::little) {
        out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(words.data()), sizeof words));
    } else {
        for (const Word word : words) {
            if constexpr (sizeof(Word) == 2) {
                out.U16(word);
            } else {
                out.U32(std::uint32_t(word));
            }
        }
    }
}

template <typename Word, std::size_t N>
void ReadWords(ByteReader& in, std::array<Word, N>& words) {
    const auto bytes = in.View(sizeof words);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(words.data(), bytes.data(), sizeof words);
    } else {
        for (std::size_t i = 0; i < N; ++i) {
            std::uint32_t word = 0;
            for (std::size_t b = sizeof(Word); b-- > 0;) {
                word = (word << 8) | bytes[i * sizeof(Word) + b];
            }
            words[i] = Word(word);
        }
    }
}

}  // namespace

std::size_t VehicleSnapshotBound(const VehicleContent& content, std::size_t views) {
    std::size_t size = 4 + kMaxSets * kSetFixedBytes;
    for (const VehicleSet& set : content.sets) {
        for (int c = 0; c < CarsInBlock(set); ++c) {
            size += kCarFixedBytes;
            for (const auto& plane : set.cars[std::size_t(c)].planes) {
                size += plane.size();
            }
        }
    }
    return size + 4 + std::min(views, std::size_t(kMaxViews)) * kViewEntryBytes;
}

void WriteVehicleSnapshot(const VehicleContent& content, std::span<const SnapshotTreeStates> views,
                          VehicleSnapshot& into) {
    const std::size_t size = into.block.size();
    // Only a file with a set beyond the limits needs more than the buffer holds; such sets stay
    // as they were read.
    into.block.clear();
    into.block.reserve(VehicleSnapshotBound(content, views.size()));
    ByteWriter out(into.block);
    out.I32(0);  // total size, filled in at the end
    for (const VehicleSet& set : content.sets) {
        WriteField(out, set.name);
        out.U8(std::uint8_t(set.carCount));
        WriteWords(out, set.viewState);
        for (int c = 0; c < CarsInBlock(set); ++c) {
            const Car& car = set.cars[std::size_t(c)];
            out.U8(std::uint8_t(car.length));
            WriteField(out, car.name);
            WriteField(out, car.text2);
            WriteField(out, car.text3);
            for (const auto& view : car.segmentFlags) {
                WriteWords(out, view);
            }
            out.U32(car.carFlags);
            out.I32(car.setIndex);
            out.I32(car.carIndex);
            WriteWords(out, car.viewState);
            for (const auto& plane : car.planes) {
                out.Bytes(plane);
            }
        }
    }
    views = views.first(std::min(views.size(), std::size_t(kMaxViews)));
    out.I32(std::int32_t(views.size()));
    for (const SnapshotTreeStates& view : views) {
        const std::size_t count = std::min(view.count, view.words.size());
        out.U32(view.view);
        out.I32(std::int32_t(count));
        for (std::size_t i = 0; i < count; ++i) {
            out.I32(view.words[i]);
        }
    }
    into.used = out.Size();
    out.U32At(0, std::uint32_t(into.used));
    into.block.resize(std::max(size, into.used));
}

std::vector<SnapshotTreeStates> ReadVehicleSnapshot(const VehicleSnapshot& from, VehicleContent& content) {
    ByteReader in(std::span(from.block.data(), std::min(from.used, from.block.size())));
    in.I32();
    for (VehicleSet& set : content.sets) {
        ReadField(in, set.name);
        set.carCount = std::min<int>(in.U8(), kMaxCars);
        ReadWords(in, set.viewState);
        // Every field of a restored car is overwritten, so its planes keep their buffers; only
        // the slots behind the restored cars are cleared.
        const int restored = set.IsUsed() ? set.carCount : 0;
        for (int c = restored; c < kMaxCars; ++c) {
            set.cars[std::size_t(c)].Clear();
        }
        for (int c = 0; c < restored; ++c) {
            Car& car = set.cars[std::size_t(c)];
            car.length = in.U8();
            ReadField(in, car.name);
            ReadField(in, car.text2);
            ReadField(in, car.text3);
            for (auto& view : car.segmentFlags) {
                ReadWords(in, view);
            }
            car.carFlags = in.U32();
            car.setIndex = in.I32();
            car.carIndex = in.I32();
            ReadWords(in, car.viewState);
            for (int view = 0; view < kViewCount; ++view) {
                const auto bytes = in.View(PlaneSize(view, car.length));
                car.planes[std::size_t(view)].assign(bytes.begin(), bytes.end());
            }
        }
    }
    std::vector<SnapshotTreeStates> views(std::size_t(std::clamp(in.I32(), 0, kMaxViews)));
    for (SnapshotTreeStates& view : views) {
        view.view = in.U32();
        view.count = std::min<std::size_t>(std::size_t(in.I32()), view.words.size());
        for (std::size_t i = 0; i < view.count; ++i) {
            view.words[i] = in.I32();
        }
    }
    return views;
}

}  // namespace zobl
