#include <benchmark/benchmark.h>

#include "core/palette/Palette.h"

namespace {

using zobl::Rgb;

void BM_DayNightStep(benchmark::State& state) {
    zobl::Palette palette;
    for (auto _ : state) {
        palette.StepDayNight({0, 112, 0}, {0, 56, 0});
        benchmark::DoNotOptimize(palette.CurrentColourTable().data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DayNightStep);

// The least a step can do: write 100 table entries.
void BM_DayNightStep_Baseline(benchmark::State& state) {
    zobl::ColourTable table{};
    std::uint8_t value = 0;
    for (auto _ : state) {
        ++value;
        for (auto& entry : table)
            entry = {value, value, value, 0};
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DayNightStep_Baseline);

Rgb NextColour(std::uint32_t& seed) {
    seed = seed * 1664525u + 1013904223u;
    return {static_cast<std::uint8_t>(seed >> 24), static_cast<std::uint8_t>(seed >> 16),
            static_cast<std::uint8_t>(seed >> 8)};
}

void BM_NearestNormalIndex(benchmark::State& state) {
    const zobl::Palette palette;
    const zobl::NormalColourTable table = zobl::CreateNormalColourPalette(palette);
    std::uint32_t seed = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zobl::NearestNormalIndex(table, NextColour(seed)));
    }
}
BENCHMARK(BM_NearestNormalIndex);

// One pass of squared distances over the 63 entries, without keeping track of the minimum.
void BM_NearestNormalIndex_Baseline(benchmark::State& state) {
    const zobl::Palette palette;
    const zobl::NormalColourTable table = zobl::CreateNormalColourPalette(palette);
    std::uint32_t seed = 1;
    for (auto _ : state) {
        const Rgb colour = NextColour(seed);
        int sum = 0;
        for (const Rgb& entry : table) {
            const int dr = entry.red - colour.red;
            const int dg = entry.green - colour.green;
            const int db = entry.blue - colour.blue;
            sum += dr * dr + dg * dg + db * db;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NearestNormalIndex_Baseline);

}  // namespace
