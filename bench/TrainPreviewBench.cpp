// The train preview of a set of eight cars of 32 pixels (a strip of 256 x 14 in both directions)
// at the zoom that fits a preview 820 pixels wide (3): drawn from scratch, and after one car's
// pixels changed (only that car is drawn again); beside one drawImage of a finished picture the
// size of both rows.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "GuiBench.h"
#include "core/drawing/MouseMode.h"
#include "gui/app/Bug1App.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/TrainPreview.h"

namespace zobl {
namespace {

constexpr MouseMode kMode = MouseMode::Freehand;
constexpr int kCars = 8;

struct Train {
    VehicleDocument* model = nullptr;
    TrainPreview* preview = nullptr;
};

Train& EightCarTrain() {
    static Train train = [] {
        CBug1App& app = BenchApplication();
        app.Settings().showTransCol = 1;
        auto* doc = static_cast<CFGSDoc*>(app.Documents().NewDocument(*app.VehicleTemplate()));
        VehicleDocument& model = doc->Model();
        model.AddVehicleSet("Zug", kMode);
        for (int c = 0; c < kCars; ++c) {
            model.AddCar(0, c, "Wagen " + std::to_string(c), "", "", 4, nullptr, kMode);
            for (int view = 1; view <= 2; ++view) {
                for (int y = 0; y < 14; ++y) {
                    for (int x = 0; x < 32; ++x) {
                        model.SetPixel(0, c, view, x, y, PaletteIndex((x * 7 + y * 3 + c) % 100), false,
                                       kMode);
                    }
                }
            }
        }
        auto* preview = new TrainPreview(app.Services());
        preview->resize(820, 400);
        preview->ShowSet(model, 0, -1);
        return Train{&model, preview};
    }();
    return train;
}

QRect RowsArea(const TrainPreview& preview) {
    return preview.RowRect(TrainDirection::Forward).united(preview.RowRect(TrainDirection::Reverse));
}

void BM_TrainPreview(benchmark::State& state) {
    Train& train = EightCarTrain();
    TrainPreview& preview = *train.preview;
    const bool oneCar = state.range(0) == 1;
    QImage target(RowsArea(preview).bottomRight().x() + 1, RowsArea(preview).bottomRight().y() + 1,
                  QImage::Format_ARGB32_Premultiplied);
    int value = 0;
    for (auto _ : state) {
        QRect area = RowsArea(preview);
        if (oneCar) {
            // A stroke of the car editor: one pixel of car 3, then the redraw hint.
            train.model->SetPixel(0, 3, 1, 5, 5, PaletteIndex(value++ % 50), false, kMode);
            preview.Refresh();
            area = QRect();
            for (const auto direction : {TrainDirection::Forward, TrainDirection::Reverse}) {
                const TrainRowImage& row = preview.Row(direction);
                const TrainCarPlace* place = row.Layout().FindCar(3);
                area |= QRect(preview.RowRect(direction).topLeft() + QPoint(place->x * row.Zoom(), 0),
                              QSize(place->width * row.Zoom(), place->height * row.Zoom()));
            }
        } else {
            preview.Clear();
            preview.ShowSet(*train.model, 0, -1);
        }
        QPainter painter(&target);
        preview.PaintCanvas(painter, area);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["zoom"] = preview.StripZoom();
}
BENCHMARK(BM_TrainPreview)->ArgName("oneCar")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One drawImage of a finished picture the size of both rows, in the screen's format.
void BM_TrainPreview_Baseline(benchmark::State& state) {
    const TrainPreview& preview = *EightCarTrain().preview;
    const QRect area = RowsArea(preview);
    QImage finished(area.size(), QImage::Format_ARGB32_Premultiplied);
    finished.fill(Qt::darkGreen);
    QImage target(area.bottomRight().x() + 1, area.bottomRight().y() + 1,
                  QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(area.topLeft(), finished);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_TrainPreview_Baseline)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace zobl
