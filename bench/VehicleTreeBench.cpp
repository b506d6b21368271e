// The vehicle tree rebuilt after a change (every undo and every structural change does it),
// beside filling a plain QTreeWidget with the same items and texts.
#include <benchmark/benchmark.h>

#include <string>

#include <QTreeWidget>

#include "GuiBench.h"
#include "core/drawing/MouseMode.h"
#include "core/text/CodePages.h"
#include "gui/app/Bug1App.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

constexpr MouseMode kMode = MouseMode::Freehand;

// A document of 10 sets of 8 cars: 10 + 80 + 400 = 490 items.
CFGSView& FullVehicleView() {
    static CFGSView* view = [] {
        CBug1App& app = BenchApplication();
        auto* doc = static_cast<CFGSDoc*>(app.Documents().NewDocument(*app.VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        for (int s = 0; s < vehicles::kMaxSets; ++s) {
            model.AddVehicleSet("Fahrzeugsatz " + std::to_string(s), kMode);
            for (int c = 0; c < vehicles::kMaxCars; ++c) {
                model.AddCar(s, c, "Wagen " + std::to_string(s) + "." + std::to_string(c), "", "", 4, nullptr,
                             kMode);
            }
        }
        auto* created = dynamic_cast<CFGSView*>(doc->Views().front());
        created->Tree()->SelectCar(4, 3);
        return created;
    }();
    return *view;
}

void BM_VehicleTreeRebuild(benchmark::State& state) {
    CFGSView& view = FullVehicleView();
    for (auto _ : state) {
        view.OnVehicleHint({VehicleHintCode::RebuildAll});
    }
    state.counters["items"] = 490;
}
BENCHMARK(BM_VehicleTreeRebuild)->Unit(benchmark::kMicrosecond);

// The same 490 items with the same texts and icons into a plain tree, nothing else.
void BM_VehicleTreeRebuild_Baseline(benchmark::State& state) {
    const VehicleDocument& model = static_cast<CFGSDoc*>(FullVehicleView().GetDocument())->Model();
    QTreeWidget tree;
    const QIcon icon = FullVehicleView().Tree()->topLevelItem(0)->icon(0);
    const QStringList children = {"Waagerecht vorwärts", "Waagerecht rückwärts", "Senkrecht vorwärts",
                                  "Senkrecht rückwärts", "Eigenschaften"};
    for (auto _ : state) {
        tree.clear();
        QList<QTreeWidgetItem*> sets;
        for (int s = 0; s < model.CountSets(); ++s) {
            auto* setItem = new QTreeWidgetItem(
                QStringList{QString::fromStdString(Cp1252ToUtf8(model.Set(s).name.View()))});
            setItem->setIcon(0, icon);
            for (int c = 0; c < model.CountCars(s); ++c) {
                auto* carItem = new QTreeWidgetItem(
                    QStringList{QString::fromStdString(Cp1252ToUtf8(model.CarAt(s, c).name.View()))});
                carItem->setIcon(0, icon);
                for (const QString& text : children) {
                    auto* child = new QTreeWidgetItem(QStringList{text});
                    child->setIcon(0, icon);
                    carItem->addChild(child);
                }
                setItem->addChild(carItem);
            }
            sets.append(setItem);
        }
        tree.addTopLevelItems(sets);
    }
    state.counters["items"] = 490;
}
BENCHMARK(BM_VehicleTreeRebuild_Baseline)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zobl
