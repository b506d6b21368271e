#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/UzgExport.h"

namespace {

using namespace zobl;
using namespace zobl::scenery;

// A graphic with a picture in every cell and texts, as a user would save it.
void Decorate(SceneryDocument& doc) {
    auto store = doc.PixelStoreForLoading();
    for (std::size_t i = 0; i < store.size(); ++i) {
        store[i] = std::uint8_t((i * 31 + i / kStoreWidth) % 100);
    }
    doc.RefreshBitmap();
    doc.SetAuthor("Autorin M\u00fcller");
    doc.SetInfoText("Bahnhofsgeb\u00e4ude, Stellwerk und Signale in Epoche III");
}

std::vector<std::uint8_t> SampleFile() {
    SceneryDocument doc;
    Decorate(doc);
    return WriteGs(doc);
}

void BM_GsRead(benchmark::State& state) {
    const std::vector<std::uint8_t> file = SampleFile();
    SceneryDocument doc;
    for (auto _ : state) {
        ReadGs(file, "bench.gs", doc);
        benchmark::DoNotOptimize(doc.PixelStore().data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(file.size()));
}
BENCHMARK(BM_GsRead);

// What a read cannot beat: one plain copy of the file's bytes into memory that exists.
void BM_GsRead_Baseline(benchmark::State& state) {
    const std::vector<std::uint8_t> file = SampleFile();
    std::vector<std::uint8_t> target(file.size());
    for (auto _ : state) {
        std::memcpy(target.data(), file.data(), file.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(file.size()));
}
BENCHMARK(BM_GsRead_Baseline);

void BM_GsWrite(benchmark::State& state) {
    SceneryDocument doc;
    Decorate(doc);
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = WriteGs(doc);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
}
BENCHMARK(BM_GsWrite);

// What a write cannot beat: a new buffer of the file's size filled by one plain copy.
void BM_GsWrite_Baseline(benchmark::State& state) {
    const std::vector<std::uint8_t> file = SampleFile();
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes(file.size());
        std::memcpy(bytes.data(), file.data(), file.size());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(file.size()));
}
BENCHMARK(BM_GsWrite_Baseline);

// Four rows in every symbol: 144 images, the export's usual worst case.
void FillRows(SceneryDocument& doc) {
    for (int s = 0; s < kSymbolCount; ++s) {
        doc.AddRow(s, 2, kAddRowCheckRules);
        doc.AddRow(s, 1, kAddRowCheckRules);
        doc.AddRow(s, s % 2 == 0 ? 0 : 4, kAddRowCheckRules);
    }
}

void BM_UzgExport(benchmark::State& state) {
    SceneryDocument doc;
    Decorate(doc);
    FillRows(doc);
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = WriteUzg(doc, "TRAK User Graphics");
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
}
BENCHMARK(BM_UzgExport);

// What the export cannot beat: a new buffer of the export's size filled by one plain copy.
void BM_UzgExport_Baseline(benchmark::State& state) {
    SceneryDocument doc;
    Decorate(doc);
    FillRows(doc);
    const std::vector<std::uint8_t> source = WriteUzg(doc, "TRAK User Graphics");
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes(source.size());
        std::memcpy(bytes.data(), source.data(), source.size());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(source.size()));
}
BENCHMARK(BM_UzgExport_Baseline);

}  // namespace
