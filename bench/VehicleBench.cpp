#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

#include "core/common/ByteWriter.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"

namespace {

using namespace zobl;

// The largest document: 10 sets of 8 cars of 4 units, 32 units per set, every pixel set.
void FillFullDocument(VehicleDocument& doc) {
    for (int s = 0; s < vehicles::kMaxSets; ++s) {
        doc.AddVehicleSet("Satz", MouseMode::View);
        for (int c = 0; c < vehicles::kMaxCars; ++c) {
            doc.AddCar(s, c, "Wagen", "zwei", "drei", 4, nullptr, MouseMode::View);
            for (int view = 0; view < vehicles::kViewCount; ++view) {
                for (int y = 0; y < vehicles::ViewHeight(view, 4); ++y) {
                    for (int x = 0; x < vehicles::ViewWidth(view, 4); ++x) {
                        doc.SetPixel(s, c, view, x, y, PaletteIndex((x + y + c) % 56), false,
                                     MouseMode::View);
                    }
                }
            }
        }
    }
}

std::size_t PixelBytes() {
    return std::size_t(vehicles::kMaxSets) * vehicles::kMaxSetLength * vehicles::kPlaneBytesPerUnit;
}

// The snapshot block of the full document without views: header, sets, cars, pixels, view count.
std::size_t FullSnapshotBytes() {
    return 4 + vehicles::kMaxSets * (23 + 1 + 400) +
           vehicles::kMaxSets * vehicles::kMaxCars * (1 + 3 * 62 + 256 + 12 + 400) + PixelBytes() + 4;
}

const std::vector<std::uint8_t>& FullFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        VehicleDocument doc;
        FillFullDocument(doc);
        return WriteFgs(doc);
    }();
    return bytes;
}

void BM_FgsRead(benchmark::State& state) {
    const auto& bytes = FullFile();
    VehicleDocument doc;
    const FgsDefaults defaults;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadFgs(bytes, defaults, doc));
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}
BENCHMARK(BM_FgsRead);

// What reading cannot beat: one copy of the file's bytes.
void BM_FgsRead_Baseline(benchmark::State& state) {
    const auto& bytes = FullFile();
    std::vector<std::uint8_t> target(bytes.size());
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(bytes.size()));
}
BENCHMARK(BM_FgsRead_Baseline);

void BM_FgsWrite(benchmark::State& state) {
    VehicleDocument doc;
    FillFullDocument(doc);
    std::size_t size = 0;
    for (auto _ : state) {
        const auto bytes = WriteFgs(doc);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
}
BENCHMARK(BM_FgsWrite);

// What writing cannot beat: the same number of bytes appended to a new buffer in one go.
void BM_FgsWrite_Baseline(benchmark::State& state) {
    const auto& source = FullFile();
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(source.size());
        ByteWriter out(bytes);
        out.Bytes(source);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(source.size()));
}
BENCHMARK(BM_FgsWrite_Baseline);

// One undo snapshot of the full document with the history kept full, so that every snapshot
// also drops the oldest one.
void BM_VehicleSnapshot(benchmark::State& state) {
    VehicleDocument doc;
    FillFullDocument(doc);
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
    state.SetBytesProcessed(state.iterations() * std::int64_t(FullSnapshotBytes()));
}
BENCHMARK(BM_VehicleSnapshot);

// What a snapshot cannot beat: one plain copy of the same number of bytes.
void BM_VehicleSnapshot_Baseline(benchmark::State& state) {
    const std::size_t size = FullSnapshotBytes();
    std::vector<std::uint8_t> source(size, 56);
    std::vector<std::uint8_t> target(size);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), size);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(size));
}
BENCHMARK(BM_VehicleSnapshot_Baseline);

// One undo and one redo of a pixel in the full document: each restores the whole document from
// a snapshot after taking one, so its baseline is the plain copy above of twice the bytes.
void BM_VehicleUndoRedo(benchmark::State& state) {
    VehicleDocument doc;
    FillFullDocument(doc);
    doc.CloseUndoGroup();
    doc.SetPixel(0, 0, 1, 0, 0, 7, false, MouseMode::Freehand);
    for (auto _ : state) {
        doc.Undo();
        doc.Redo(MouseMode::Freehand);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 2 * std::int64_t(FullSnapshotBytes()));
}
BENCHMARK(BM_VehicleUndoRedo);

void BM_VehicleExport(benchmark::State& state) {
    VehicleDocument doc;
    FillFullDocument(doc);
    for (auto _ : state) {
        const auto ufg = UfgWriter(doc, "Erstellt mit ZOBL_Graphic_Editor am 01.01.2024");
        const auto uzz = UzzWriter(doc);
        benchmark::DoNotOptimize(ufg->data());
        benchmark::DoNotOptimize(uzz->data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(PixelBytes()));
}
BENCHMARK(BM_VehicleExport);

// What the export cannot beat: every pixel translated to its simulator code once.
void BM_VehicleExport_Baseline(benchmark::State& state) {
    std::array<std::uint8_t, 256> codes{};
    for (int i = 0; i < 256; ++i) {
        auto byte = std::uint8_t(i);
        IndexToSimCode(byte);
        codes[std::size_t(i)] = byte;
    }
    std::vector<std::uint8_t> source(PixelBytes());
    for (std::size_t i = 0; i < source.size(); ++i) {
        source[i] = std::uint8_t(i % 56);
    }
    std::vector<std::uint8_t> target(source.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < source.size(); ++i) {
            target[i] = codes[source[i]];
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(source.size()));
}
BENCHMARK(BM_VehicleExport_Baseline);

}  // namespace
