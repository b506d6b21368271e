// The scenery view painted offscreen, beside the one blit of a finished picture that it cannot
// beat. Runs with a QApplication of its own on the offscreen platform.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTemporaryDir>

#include "GuiBench.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/MessageService.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"

namespace zobl {
namespace {

class SilentMessages : public MessageService {
public:
    void ShowError(int, const QString&, QWidget*) override {}
    int AskQuestion(int, const QString&, QWidget*) override { return kAnswerCancel; }
};

// One application with one new scenery document, made on first use.
struct Editor {
    Editor() {
        AppOptions options;
        options.messages = &messages;
        options.showMainWindow = false;
        options.infoBox = [](const QString&, const QString&) {};
        app = std::make_unique<CBug1App>(options);
        app->InitInstance({});
        app->Documents().NewDocument(*app->SceneryTemplate());
        view = dynamic_cast<CGSView*>(app->MainFrame()->ActiveView());
        // Every row present, so that every symbol paints its full height.
        SceneryDocument& model = static_cast<CGSDoc*>(view->GetDocument())->Model();
        for (int s = 0; s < scenery::kSymbolCount; ++s) {
            model.AddRow(s, 2, 0);
            model.AddRow(s, 1, 0);
            model.AddRow(s, 4, 0);
        }
        view->GetDocument()->UpdateAllViews(nullptr, 1, nullptr);
    }
    ~Editor() {
        view = nullptr;
        app->ExitInstance();
    }

    SilentMessages messages;
    std::unique_ptr<CBug1App> app;
    CGSView* view = nullptr;
};

// Goes before the QApplication does (see main).
std::unique_ptr<Editor> editor;

Editor& TheEditor() {
    if (!editor) {
        editor = std::make_unique<Editor>();
    }
    return *editor;
}

QImage ViewImage(const CGSView& view) {
    return QImage(view.Geometry().ExtentWidth(), view.Geometry().ExtentHeight(),
                  QImage::Format_ARGB32_Premultiplied);
}

// The whole view (36 symbols, numbers, special-colour marks from zoom 4) painted offscreen.
void BM_SceneryRender(benchmark::State& state) {
    CGSView& view = *TheEditor().view;
    view.SetZoom(int(state.range(0)));
    QImage target = ViewImage(view);
    for (auto _ : state) {
        QPainter painter(&target);
        view.PaintView(painter, target.rect());
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(target.sizeInBytes()));
}
BENCHMARK(BM_SceneryRender)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// One drawImage of the same picture, already scaled and in the screen's format.
void BM_SceneryRender_Baseline(benchmark::State& state) {
    CGSView& view = *TheEditor().view;
    view.SetZoom(int(state.range(0)));
    QImage finished = ViewImage(view);
    {
        QPainter painter(&finished);
        view.PaintView(painter, finished.rect());
    }
    QImage target = ViewImage(view);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.drawImage(0, 0, finished);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(target.sizeInBytes()));
}
BENCHMARK(BM_SceneryRender_Baseline)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// After a change of every pixel (an undo, a colour step) the scene is made afresh on the next
// paint: what the first repaint after such a change costs.
void BM_SceneryRenderAfterChange(benchmark::State& state) {
    CGSView& view = *TheEditor().view;
    view.SetZoom(int(state.range(0)));
    QImage target = ViewImage(view);
    for (auto _ : state) {
        view.GetDocument()->UpdateAllViews(nullptr, 1, nullptr);
        QPainter painter(&target);
        view.PaintView(painter, target.rect());
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_SceneryRenderAfterChange)->Arg(1)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SceneryRender_Baseline)
    ->Name("BM_SceneryRenderAfterChange_Baseline")
    ->Arg(1)
    ->Arg(4)
    ->Arg(10)
    ->Unit(benchmark::kMicrosecond);

// The scene made afresh with both grids on, beside the same with them off: the grids are
// drawn when the scene is rendered, so that is where they cost.
void RenderWithGrids(benchmark::State& state, bool grids) {
    Editor& editor = TheEditor();
    CGSView& view = *editor.view;
    GeneralSettings& settings = editor.app->Settings();
    settings.pixelGrid = grids;
    settings.cellGrid = grids;
    view.SetZoom(int(state.range(0)));
    QImage target = ViewImage(view);
    for (auto _ : state) {
        view.GetDocument()->UpdateAllViews(nullptr, 1, nullptr);
        QPainter painter(&target);
        view.PaintView(painter, target.rect());
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    settings.pixelGrid = false;
    settings.cellGrid = false;
}
void BM_SceneryRenderGrid(benchmark::State& state) {
    RenderWithGrids(state, true);
}
void BM_SceneryRenderGrid_Baseline(benchmark::State& state) {
    RenderWithGrids(state, false);
}
BENCHMARK(BM_SceneryRenderGrid)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SceneryRenderGrid_Baseline)->Arg(4)->Arg(10)->Unit(benchmark::kMicrosecond);

// A window of a usual size onto the view at zoom, scrolled to the left.
CGSView& ScrollWindow(int zoom) {
    CGSView& view = *TheEditor().view;
    view.SetZoom(zoom);
    const QSize window(960, 600);
    if (view.viewport()->size() != window) {
        // The main window stays hidden, so the layout that showing it would do is done here.
        const QSize old = view.size();
        view.resize(window);
        QResizeEvent resize(window, old);
        QApplication::sendEvent(&view, &resize);
    }
    view.ScrollTo({0, 0});
    return view;
}

// Scrolls across the whole width at the scroll bar's line step, each step painting the strip it
// exposes as the window's paint event does (Qt moves the rest of the window's pixels).
// paintStrip(painter, strip) paints a strip of view coordinates; the painter is translated so
// that the window's corner is at the target's.
template <typename PaintStrip>
void ScrollAcross(benchmark::State& state, CGSView& view, const PaintStrip& paintStrip) {
    const QSize window = view.viewport()->size();
    const int step = view.horizontalScrollBar()->singleStep();
    const int last = view.horizontalScrollBar()->maximum();
    QImage target(window, QImage::Format_ARGB32_Premultiplied);
    std::int64_t steps = 0;
    for (auto _ : state) {
        QPainter painter(&target);
        // Back at the left edge: all of the window.
        view.ScrollTo({0, 0});
        paintStrip(painter, QRect(QPoint(0, 0), window));
        for (int x = 0; x < last;) {
            const int next = std::min(x + step, last);
            view.ScrollTo({next, 0});
            painter.resetTransform();
            painter.translate(-next, 0);
            paintStrip(painter, QRect(x + window.width(), 0, next - x, window.height()));
            x = next;
            ++steps;
        }
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["steps"] = benchmark::Counter(double(steps), benchmark::Counter::kAvgIterations);
}

void BM_SceneryScroll(benchmark::State& state) {
    CGSView& view = ScrollWindow(int(state.range(0)));
    ScrollAcross(state, view,
                 [&view](QPainter& painter, const QRect& strip) { view.PaintView(painter, strip); });
}
BENCHMARK(BM_SceneryScroll)->Arg(10)->Unit(benchmark::kMillisecond);

// The same strips copied out of a finished picture of the whole view.
void BM_SceneryScroll_Baseline(benchmark::State& state) {
    CGSView& view = ScrollWindow(int(state.range(0)));
    QImage finished = ViewImage(view);
    {
        QPainter painter(&finished);
        view.PaintView(painter, finished.rect());
    }
    ScrollAcross(state, view, [&finished](QPainter& painter, const QRect& strip) {
        painter.drawImage(strip.topLeft(), finished, strip);
    });
}
BENCHMARK(BM_SceneryScroll_Baseline)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace

CBug1App& BenchApplication() {
    return *TheEditor().app;
}

}  // namespace zobl

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The application reads and writes its settings; keep the user's out of it.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zobl::editor.reset();
    return 0;
}
