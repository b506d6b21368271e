// The import's listing of the simulator's vehicles, run through the import dialog (stepped
// reading, progress text, the sorted list filled), beside the bare loop of reader queries over
// the same data.
#include <benchmark/benchmark.h>

#include <QListWidget>
#include <QTemporaryDir>

#include "GuiBench.h"
#include "core/simimport/SimTestFiles.h"
#include "core/simimport/SimVehicleReader.h"
#include "gui/app/Bug1App.h"
#include "gui/app/GeneralDialogs.h"
#include "gui/vehicles/ImportVehicle.h"

namespace zobl {
namespace {

constexpr int kVehicles = 5000;

// A simulator of 5,000 vehicles (625 groups) in a folder of its own, written once.
const std::string& SimulatorFolder() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const std::string written = folder.path().toStdString();
        test::WriteSyntheticSimulator(written, kVehicles);
        return written + "/";
    }();
    return path;
}

void BM_SimListing(benchmark::State& state) {
    CBug1App& app = BenchApplication();
    app.SimReader().SetSimulatorFolder(SimulatorFolder());
    CImportVehicle dialog(app, nullptr, nullptr, simimport::kUserCategories);
    CInfoDlg info(app.GetLanguageManager());
    for (auto _ : state) {
        dialog.StartListing();
        while (dialog.ListingStep(info) != CImportVehicle::kListingEnded) {
        }
        dialog.FillVehicleList();
    }
    if (dialog.VehicleList()->count() != kVehicles) {
        state.SkipWithError("not every vehicle was listed");
    }
    state.counters["vehicles"] = kVehicles;
}
BENCHMARK(BM_SimListing)->Unit(benchmark::kMillisecond);

// The queries alone: first, then next until the end, no widget.
void BM_SimListing_Baseline(benchmark::State& state) {
    simimport::SimVehicleReader reader;
    reader.SetSimulatorFolder(SimulatorFolder());
    simimport::SimVehicle vehicle;
    int listed = 0;
    for (auto _ : state) {
        listed = 0;
        int result = reader.QueryVehicle(simimport::kQueryFirst, simimport::kUserCategories, &vehicle);
        while (result > 0) {
            ++listed;
            result = reader.QueryVehicle(simimport::kQueryNext, simimport::kUserCategories, &vehicle);
        }
    }
    if (listed != kVehicles) {
        state.SkipWithError("not every vehicle was listed");
    }
    state.counters["vehicles"] = kVehicles;
}
BENCHMARK(BM_SimListing_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zobl
