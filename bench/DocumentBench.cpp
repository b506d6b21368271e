#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "core/palette/Palette.h"
#include "core/scenery/SceneryDocument.h"
#include "core/vehicles/VehicleDocument.h"

namespace {

using namespace zobl;

// What a scenery graphic is: its pixel store and the symbols' records.
constexpr std::size_t kSceneryContentBytes =
    scenery::kStoreSize + std::size_t(scenery::kSymbolCount) * sizeof(SymbolRecord);
// What a vehicle graphic is: the ten set slots with their cars and the header texts (no car is
// used in an empty document, so no planes).
constexpr std::size_t kVehicleContentBytes =
    sizeof(VehicleContent) + std::size_t(vehicles::kMaxSets) * sizeof(VehicleSet);

// Bytes the heap has handed out and not taken back (small blocks and mapped ones).
std::size_t HeapBytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Constructs and destroys an empty document; reports the bytes one holds while it exists and
// that figure over its content's bytes.
template <typename Document>
void NewDocument(benchmark::State& state, std::size_t contentBytes) {
    std::size_t held = 0;
    {
        const std::size_t before = HeapBytesInUse();
        const auto doc = std::make_unique<Document>();
        held = HeapBytesInUse() - before;
    }
    for (auto _ : state) {
        auto doc = std::make_unique<Document>();
        benchmark::DoNotOptimize(doc.get());
    }
    state.counters["held_bytes"] = double(held);
    state.counters["held_per_content_byte"] = double(held) / double(contentBytes);
}

void BM_NewSceneryDocument(benchmark::State& state) {
    NewDocument<SceneryDocument>(state, kSceneryContentBytes);
}
BENCHMARK(BM_NewSceneryDocument);

void BM_NewVehicleDocument(benchmark::State& state) {
    NewDocument<VehicleDocument>(state, kVehicleContentBytes);
}
BENCHMARK(BM_NewVehicleDocument);

// What constructing a document cannot beat: allocating its content's bytes, setting them, and
// freeing them. Argument 0: a scenery graphic's bytes, 1: a vehicle graphic's.
void BM_NewDocument_Baseline(benchmark::State& state) {
    const std::size_t bytes = state.range(0) == 0 ? kSceneryContentBytes : kVehicleContentBytes;
    for (auto _ : state) {
        std::vector<std::uint8_t> content(bytes, TransparentIndex);
        benchmark::DoNotOptimize(content.data());
    }
    state.counters["held_bytes"] = double(bytes);
}
BENCHMARK(BM_NewDocument_Baseline)->Arg(0)->Arg(1);

}  // namespace
