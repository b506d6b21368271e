#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/vehicles/VehicleModel.h"

namespace zobl {

// An undo step of a vehicle graphic: one packed block as laid out below (sets, cars with
// planes, tree states of the views). The buffer is sized once for the largest document within
// the limits, so taking a snapshot only copies.
struct VehicleSnapshot {
    std::vector<std::uint8_t> block;
    std::size_t used = 0;
};

// The tree state words one view handed to a snapshot, under the identity the document gave
// that view (it stays when other views close and the numbers move).
struct SnapshotTreeStates {
    std::uint32_t view = 0;
    std::size_t count = 0;
    std::array<std::int32_t, vehicles::kMaxSets> words{};
};

// The block, little-endian: int32 total size; per set slot name (23), car count (1), view state
// (400), then for a named set with cars per car length (1), three texts (3 x 62), segment flags
// (256), CarFlags, SetIndex, CarIndex (4 each), view state (400) and the planes of views 0, 1,
// 2, 3; finally int32 number of views and per view its identity, int32 word count and the tree
// state words. View v of the block owned word v of the records' view state when it was taken.
namespace vehicle_snapshot {
inline constexpr std::size_t kSetFixedBytes = vehicles::kSetNameField + 1 + 4 * vehicles::kViewStateWordCount;
inline constexpr std::size_t kCarFixedBytes = 1 + 3 * vehicles::kCarTextField +
                                              2 * vehicles::kViewCount * vehicles::kMaxSegments + 3 * 4 +
                                              4 * vehicles::kViewStateWordCount;
inline constexpr std::size_t kViewEntryBytes = 4 + 4 + 4 * std::size_t(vehicles::kMaxSets);
// Only the first views take part: one per view state word.
inline constexpr int kMaxViews = vehicles::kViewStateWordCount;
// The largest block of a document within the limits.
inline constexpr std::size_t kCapacity =
    4 + vehicles::kMaxSets * kSetFixedBytes +
    std::size_t(vehicles::kMaxSets * vehicles::kMaxCars) * kCarFixedBytes +
    std::size_t(vehicles::kMaxSets) * vehicles::kMaxSetLength * vehicles::kPlaneBytesPerUnit + 4 +
    std::size_t(kMaxViews) * kViewEntryBytes;
}  // namespace vehicle_snapshot

// The room a block of content with this many views needs at most (each view with a word per set).
std::size_t VehicleSnapshotBound(const VehicleContent& content, std::size_t views);

// Packs content and the views' tree states (the first kMaxViews of them) into into.block and
// sets into.used. Within the limits the block fits the buffer as it was made, so nothing is
// allocated; the buffer never shrinks.
void WriteVehicleSnapshot(const VehicleContent& content, std::span<const SnapshotTreeStates> views,
                          VehicleSnapshot& into);

// The reverse: overwrites the sets of content (a restored car keeps its plane buffers, the
// slots behind the restored cars are cleared; setIndex and carIndex are the block's) and
// returns the views' tree states. Throws ByteReaderError when the block ends too early; the
// sets read so far are then restored already.
std::vector<SnapshotTreeStates> ReadVehicleSnapshot(const VehicleSnapshot& from, VehicleContent& content);

}  // namespace zobl
