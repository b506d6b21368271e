// The import's listing of the simulator's vehicles, run through the import dialog (stepped
// reading, progress text, the sorted list filled), beside the bare loop of reader queries over
// the same data.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include <QListWidget>
#include <QTemporaryDir>

#include "GuiBench.h"
#include "core/simimport/SimTestFiles.h"
#include "core/simimport/SimVehicleReader.h"
#include "gui/app/Bug1App.h"
#include "gui/vehicles/ImportVehicle.h"
#include "gui/widgets/GeneralDialogs.h"

namespace zobl {
namespace {

// Two catalogues, each written once into a folder of its own: 5,000 vehicles in groups of eight
// (625 groups), and 20,000 vehicles each in a group of its own, where the cost per group shows.
struct Catalogue {
    int perGroup;
    int vehicles;
};
Catalogue CatalogueOf(const benchmark::State& state) {
    const int perGroup = int(state.range(0));
    return {perGroup, perGroup == 1 ? 20000 : 5000};
}

const std::string& SimulatorFolder(const Catalogue& catalogue) {
    static std::map<int, std::pair<std::unique_ptr<QTemporaryDir>, std::string>> folders;
    auto& [folder, path] = folders[catalogue.perGroup];
    if (!folder) {
        folder = std::make_unique<QTemporaryDir>();
        test::WriteSyntheticSimulator(folder->path().toStdString(), catalogue.vehicles, catalogue.perGroup);
        path = folder->path().toStdString() + "/";
    }
    return path;
}

void BM_SimListing(benchmark::State& state) {
    const Catalogue catalogue = CatalogueOf(state);
    CBug1App& app = BenchApplication();
    app.SimReader().SetSimulatorFolder(SimulatorFolder(catalogue));
    CImportVehicle dialog(app.Services(), nullptr, nullptr, simimport::kUserCategories);
    CInfoDlg info(app.GetLanguageManager());
    for (auto _ : state) {
        dialog.StartListing();
        while (dialog.ListingStep(info) != CImportVehicle::kListingEnded) {
        }
        dialog.FillVehicleList();
    }
    if (dialog.VehicleList()->count() != catalogue.vehicles) {
        state.SkipWithError("not every vehicle was listed");
    }
    state.counters["vehicles"] = catalogue.vehicles;
}
BENCHMARK(BM_SimListing)->Arg(8)->Arg(1)->Unit(benchmark::kMillisecond);

// The queries alone: first, then next until the end, no widget.
void BM_SimListing_Baseline(benchmark::State& state) {
    const Catalogue catalogue = CatalogueOf(state);
    simimport::SimVehicleReader reader;
    reader.SetSimulatorFolder(SimulatorFolder(catalogue));
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
    if (listed != catalogue.vehicles) {
        state.SkipWithError("not every vehicle was listed");
    }
    state.counters["vehicles"] = catalogue.vehicles;
}
BENCHMARK(BM_SimListing_Baseline)->Arg(8)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zobl
