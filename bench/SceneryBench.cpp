#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/scenery/SceneryDocument.h"

namespace {

using namespace zobl;

// One undo snapshot of a scenery graphic: the history is kept full, so every snapshot also
// drops the oldest one, the most expensive case.
void BM_ScenerySnapshot(benchmark::State& state) {
    SceneryDocument doc;
    // Two modes in turn: every change opens a new undo step.
    MouseMode mode = MouseMode::View;
    const auto other = [&mode] {
        return mode = mode == MouseMode::View ? MouseMode::Freehand : MouseMode::View;
    };
    for (int i = 0; i < 100; ++i) {
        doc.PrepareChange(other());
    }
    for (auto _ : state) {
        doc.PrepareChange(other());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(scenery::kStoreSize));
}
BENCHMARK(BM_ScenerySnapshot);

// What a snapshot cannot beat: one plain copy of the pixel store.
void BM_ScenerySnapshot_Baseline(benchmark::State& state) {
    std::vector<std::uint8_t> source(scenery::kStoreSize, 56);
    std::vector<std::uint8_t> target(scenery::kStoreSize);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(scenery::kStoreSize));
}
BENCHMARK(BM_ScenerySnapshot_Baseline);

}  // namespace
