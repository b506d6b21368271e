// The car editor painted offscreen with the longest horizontal view (256 x 14) shown, borders,
// steam markers and special-colour marks on, beside one drawImage of the finished picture.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "GuiBench.h"
#include "core/drawing/MouseMode.h"
#include "gui/app/Bug1App.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"

namespace zobl {
namespace {

constexpr MouseMode kMode = MouseMode::Freehand;

CCarEdi& LongCarEditor() {
    static CCarEdi* editor = [] {
        CBug1App& app = BenchApplication();
        app.Settings().showBorders = 1;
        app.Settings().showTransCol = 1;
        auto* doc = static_cast<CFGSDoc*>(app.Documents().NewDocument(*app.VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        model.AddVehicleSet("Zug", kMode);
        model.AddCar(0, 0, "Lang", "", "", vehicles::kMaxCarLength, nullptr, kMode);
        // A picture with every kind of pixel: colours, special colours, steam on every segment.
        for (int y = 0; y < 14; ++y) {
            for (int x = 0; x < 256; ++x) {
                model.SetPixel(0, 0, 1, x, y, PaletteIndex((x * 7 + y * 3) % 100), false, kMode);
            }
        }
        for (int s = 0; s < vehicles::kMaxCarLength; ++s) {
            model.SetSteamValue(0, 0, 1, s, s % 2 == 0 ? 0x80 : 0x40, kMode);
        }
        auto* view = dynamic_cast<CFGSView*>(doc->Views().front());
        view->CarEditor()->SetView(doc, 0, 0, 1);
        return view->CarEditor();
    }();
    return *editor;
}

QImage Target(const CCarEdi& editor) {
    return QImage(256 * editor.Zoom() + CCarEdi::kMarkerMargin, 14 * editor.Zoom() + CCarEdi::kMarkerMargin,
                  QImage::Format_ARGB32_Premultiplied);
}

void BM_CarEditorRender(benchmark::State& state) {
    CCarEdi& editor = LongCarEditor();
    editor.SetZoom(int(state.range(0)));
    QImage target = Target(editor);
    for (auto _ : state) {
        QPainter painter(&target);
        editor.PaintView(painter, target.rect());
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_CarEditorRender)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// One drawImage of the same picture, already scaled and in the screen's format.
void BM_CarEditorRender_Baseline(benchmark::State& state) {
    CCarEdi& editor = LongCarEditor();
    editor.SetZoom(int(state.range(0)));
    QImage finished = Target(editor);
    {
        QPainter painter(&finished);
        editor.PaintView(painter, finished.rect());
    }
    QImage target = Target(editor);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(0, 0, finished);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_CarEditorRender_Baseline)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zobl
