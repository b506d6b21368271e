#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "core/drawing/MouseMode.h"
#include "core/drawing/UBStack.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/SceneryTools.h"

namespace {

using namespace zobl;

constexpr MouseMode kFillMode = MouseMode::Fill;

// The fill tool on the largest region there is: every row of every symbol present, the whole
// store one colour. Each run fills back and forth between two colours; the undo group stays
// open, so no snapshot is taken after the first run. The display refresh is part of the tool.
void BM_FloodFillWhole(benchmark::State& state) {
    SceneryDocument doc;
    for (int s = 0; s < scenery::kSymbolCount; ++s) {
        for (int r = 0; r < scenery::kRowCount; ++r) {
            doc.AddRow(s, r, 0);
        }
    }
    const auto store = doc.PixelStoreForLoading();
    std::fill(store.begin(), store.end(), TransparentIndex);
    doc.RefreshBitmap();
    CUBStack stack(2048);
    const EditContext context{kFillMode, false};
    const bool diagonal = state.range(0) != 0;
    PaletteIndex colour = 1;
    for (auto _ : state) {
        const FloodFillResult result = FloodFill(doc, {576, 40}, colour, diagonal, context, &stack);
        benchmark::DoNotOptimize(result.pixelsChanged);
        colour = colour == 1 ? TransparentIndex : 1;
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(scenery::kStoreSize));
}
BENCHMARK(BM_FloodFillWhole)->Arg(0)->Arg(1);

// What a fill cannot beat: setting the same bytes in one go.
void BM_FloodFillWhole_Baseline(benchmark::State& state) {
    std::vector<std::uint8_t> store(scenery::kStoreSize, TransparentIndex);
    std::uint8_t colour = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.data());
        std::fill(store.begin(), store.end(), colour);
        benchmark::ClobberMemory();
        colour = colour == 1 ? TransparentIndex : 1;
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(scenery::kStoreSize));
}
BENCHMARK(BM_FloodFillWhole_Baseline)->Arg(0)->Arg(1);

}  // namespace
