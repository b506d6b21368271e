#include <gtest/gtest.h>

#include <random>

#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "SceneryViewSupport.h"
#include "core/scenery/SceneryRules.h"
#include "gui/drawing/SceneCache.h"
#include "gui/scenery/SceneryHints.h"

namespace zobl {
namespace {

class SceneryView : public ::testing::Test, public test::SceneryViewFixture {
protected:
    void SetUp() override { OpenNewDocument(); }

    // Symbol distance through the setting and hint 17, as the options dialog does it.
    void SetDistance(int distance) {
        app->Settings().symbolDistance = distance;
        doc->UpdateDoc(8, 0);
    }
    QRgb Background() const {
        const Rgb c = app->Settings().gsvBg;
        return qRgb(c.red, c.green, c.blue);
    }
};

TEST_F(SceneryView, PaintsPresentRowsWithGapsAtSeveralZoomsAndDistances) {
    Model().AddRow(1, 2, 0);
    SetAbsolute(32 + 3, 3 * 16 + 4, 17);  // symbol 1, row 3, (3, 4)
    SetAbsolute(32 + 5, 2 * 16 + 1, 30);  // symbol 1, row 2, (5, 1)
    for (const auto& [zoom, distance] : {std::pair{1, 0}, {3, 4}, {8, 2}}) {
        SCOPED_TRACE(testing::Message() << "zoom " << zoom << ", distance " << distance);
        SetDistance(distance);
        view->SetZoom(zoom);
        const SceneryGeometry& g = view->Geometry();
        EXPECT_EQ(g.ExtentWidth(), (32 + distance) * 36 * zoom);
        EXPECT_EQ(g.ExtentHeight(), 16 * 5 * zoom + 22);
        const QImage image = Render();
        EXPECT_EQ(Shown(image, {1, 3, 3, 4}), PaletteColour(17));
        EXPECT_EQ(Shown(image, {1, 2, 5, 1}), PaletteColour(30));
        // Absent rows leave the background: row 2 of symbol 0, row 4 and row 0 everywhere.
        EXPECT_EQ(Shown(image, {0, 2, 5, 1}), Background());
        EXPECT_EQ(Shown(image, {1, 4, 3, 3}), Background());
        EXPECT_EQ(Shown(image, {1, 0, 3, 3}), Background());
        if (distance > 0) {
            const ScreenRect square = g.PixelSquare(PixelAddress{1, 3, 0, 4});
            EXPECT_EQ(image.pixel(square.left - 1, square.top + 1) | 0xFF000000u, Background());
        }
    }
    // With d = 4 and z = 3 symbol 1 starts at column 6 + 108.
    SetDistance(4);
    view->SetZoom(3);
    EXPECT_EQ(view->Geometry().SymbolLeft(1), 114);
}

TEST_F(SceneryView, ARowAboveTheBaseMovesTheSymbolsTopUp) {
    Model().AddRow(4, 2, 0);
    view->SetZoom(2);
    const SymbolBlit two = view->Geometry().SymbolPainting(Model(), 4);
    const SymbolBlit one = view->Geometry().SymbolPainting(Model(), 5);
    EXPECT_EQ(one.destination.top - two.destination.top, 16 * 2);
    EXPECT_EQ(two.destination.bottom, one.destination.bottom);
}

TEST_F(SceneryView, EveryZoomShowsThePresentRowsWithOrWithoutInvertDib) {
    // Symbol 6 has its base row only; hidden rows 0 to 2 hold other colours that must not show.
    for (int row = 0; row < 5; ++row) {
        Fill(6, row, PaletteIndex(20 + row));
    }
    for (const bool invert : {false, true}) {
        app->Settings().invertDib = invert;
        for (int zoom = 1; zoom <= 3; ++zoom) {
            SCOPED_TRACE(testing::Message() << "INVERTDIB " << invert << " zoom " << zoom);
            view->SetZoom(zoom);
            const QImage image = Render();
            EXPECT_EQ(Shown(image, {6, 3, 0, 0}), PaletteColour(23));
            EXPECT_EQ(Shown(image, {6, 3, 31, 15}), PaletteColour(23));
            EXPECT_EQ(Shown(image, {6, 2, 4, 4}), Background());
        }
    }
}

TEST_F(SceneryView, SpecialColoursAreMarkedFromShowTransColOn) {
    app->Settings().showTransCol = 4;
    const PixelAddress transparent{2, 3, 10, 10};
    const PixelAddress half{2, 3, 12, 10};
    const PixelAddress background{2, 3, 14, 10};
    const PixelAddress plain{2, 3, 16, 10};
    SetAbsolute(64 + 10, 58, TransparentIndex);
    SetAbsolute(64 + 12, 58, HalfTransparentIndex);
    SetAbsolute(64 + 14, 58, BackgroundIndex);
    SetAbsolute(64 + 16, 58, 20);
    SetAbsolute(64 + 10, 2 * 16 + 10, TransparentIndex);  // hidden in absent row 2
    const auto markAt = [&](const QImage& image, PixelAddress a) {
        const ScreenPoint p = view->Geometry().SpecialMarkPoint(a);
        return image.pixel(p.x, p.y) | 0xFF000000u;
    };
    const GeneralSettings& s = app->Settings();
    view->SetZoom(3);
    QImage image = Render();
    EXPECT_EQ(markAt(image, transparent), PaletteColour(TransparentIndex));
    view->SetZoom(4);
    image = Render();
    EXPECT_EQ(markAt(image, transparent),
              qRgb(s.markTransCol.red, s.markTransCol.green, s.markTransCol.blue));
    EXPECT_EQ(markAt(image, half), qRgb(s.markTransCol2.red, s.markTransCol2.green, s.markTransCol2.blue));
    EXPECT_EQ(markAt(image, background),
              qRgb(s.markTransCol3.red, s.markTransCol3.green, s.markTransCol3.blue));
    EXPECT_EQ(markAt(image, plain), PaletteColour(20));
    // Absent rows get no marks although their hidden pixels are transparent.
    EXPECT_EQ(markAt(image, {2, 2, 10, 10}), Background());
}

TEST_F(SceneryView, ZoomCommandsKeysAndTheirLimits) {
    EXPECT_EQ(view->Zoom(), 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Action(ID_ZOOM_OUT)->isEnabled());
    EXPECT_FALSE(Command(ID_ZOOM_OUT));
    EXPECT_EQ(view->Zoom(), 1);
    for (int i = 0; i < 12; ++i) {
        Command(ID_ZOOM_IN);
    }
    EXPECT_EQ(view->Zoom(), 10);
    EXPECT_FALSE(Action(ID_ZOOM_IN)->isEnabled());
    EXPECT_TRUE(Action(ID_ZOOM_OUT)->isEnabled());
    // The keypad keys, only without Ctrl and Shift.
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(view->Zoom(), 9);
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Minus);  // the main keyboard's minus
    EXPECT_EQ(view->Zoom(), 9);
    QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view->Zoom(), 10);
}

TEST_F(SceneryView, TheZoomToolAndCtrlWheelKeepThePixelUnderThePointer) {
    // A window smaller than the view both ways, so that it can scroll where the pixel wants.
    CChildFrame* frame = app->MainFrame()->ActiveChildFrame();
    frame->showNormal();
    frame->resize(500, 200);
    QCoreApplication::processEvents();
    view->SetZoom(3);
    view->ScrollTo({1100, 0});
    SetMode(MouseMode::Zoom);
    const PixelAddress target{12, 1, 7, 9};
    const QPoint point = At(12, 1, 7, 9);
    ASSERT_TRUE(Window()->rect().contains(point));
    Click(point);
    EXPECT_EQ(view->Zoom(), 4);
    EXPECT_EQ(view->HitTestWindow(point), target);
    // Both clicks of a double-click zoom.
    DoubleClick(point);
    EXPECT_EQ(view->Zoom(), 6);
    EXPECT_EQ(view->HitTestWindow(point), target);
    Click(point, Qt::RightButton);
    EXPECT_EQ(view->Zoom(), 5);
    EXPECT_EQ(view->HitTestWindow(point), target);
    DoubleClick(point, Qt::RightButton);
    EXPECT_EQ(view->Zoom(), 3);

    SetMode(MouseMode::Freehand);
    const auto wheel = [&](int delta, Qt::KeyboardModifiers keys) {
        QWheelEvent event(point, Window()->mapToGlobal(point), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Window(), &event);
    };
    wheel(240, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 5);
    EXPECT_EQ(view->HitTestWindow(point), target);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(view->Zoom(), 4);
    EXPECT_EQ(view->HitTestWindow(point), target);
    wheel(-120, Qt::NoModifier);  // scrolls, never zooms
    EXPECT_EQ(view->Zoom(), 4);
    EXPECT_EQ(Model().UndoCount(), 0);

    // The zoom commands keep the pixel in the middle of the window (with the scroll bars the
    // zoom above brought).
    QCoreApplication::processEvents();
    const QPoint middle = Window()->rect().center();
    const ScreenRect square = view->Geometry().PixelSquare(target);
    view->ScrollTo(QPoint(square.left, square.top) - middle);
    ASSERT_EQ(view->HitTestWindow(middle), target);
    Command(ID_ZOOM_IN);
    EXPECT_EQ(view->Zoom(), 5);
    EXPECT_EQ(view->HitTestWindow(middle), target);
    Command(ID_ZOOM_OUT);
    Command(ID_ZOOM_OUT);
    EXPECT_EQ(view->Zoom(), 3);
    EXPECT_EQ(view->HitTestWindow(middle), target);
}

TEST_F(SceneryView, HintsAreAnsweredAndTheNewDocumentIsTitled) {
    EXPECT_EQ(doc->Title(), QStringLiteral("Neue Grafik"));
    EXPECT_EQ(app->MainFrame()->ActiveChildFrame()->windowTitle(), QStringLiteral("Neue Grafik[*]"));
    view->SetZoom(6);
    view->ScrollTo({200, 30});
    ZoomScrollRecord record;
    doc->UpdateAllViews(nullptr, hint::kQueryZoomAndScroll, &record);
    EXPECT_EQ(record.zoom, 6);
    EXPECT_EQ(record.scrollX, 200);
    EXPECT_EQ(record.scrollY, view->verticalScrollBar()->value());
    EXPECT_EQ(record.reserved, 0);

    app->Settings().symbolDistance = 10;
    doc->UpdateDoc(8, 0);
    EXPECT_EQ(view->Geometry().SymbolDistance(), 10);
    EXPECT_EQ(view->horizontalScrollBar()->maximum(), view->Geometry().ExtentWidth() - Window()->width());

    view->RestoreZoomAndScroll(2, {40, 0});
    EXPECT_EQ(view->Zoom(), 2);
    EXPECT_EQ(view->ScrollPosition().x(), 40);
}

// Records the areas the view repaints.
class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    QRegion region;
};

TEST_F(SceneryView, AChangedAreaRepaintsOnlyItsSquares) {
    view->SetZoom(10);
    QTest::qWait(20);
    PaintRecorder recorder;
    Window()->installEventFilter(&recorder);
    SetMode(MouseMode::Freehand);
    SetColours(17, 0);
    const QPoint point = At(1, 3, 4, 4);
    Click(point);
    QTest::qWait(20);
    Window()->removeEventFilter(&recorder);
    ASSERT_FALSE(recorder.region.isEmpty());
    const QRect painted = recorder.region.boundingRect();
    EXPECT_LE(painted.width(), 11);
    EXPECT_LE(painted.height(), 11);
    EXPECT_TRUE(painted.contains(point));
    EXPECT_EQ(Grab().pixel(point), PaletteColour(17));

    // Everything (undo: hint 1 without area).
    recorder.region = QRegion();
    Window()->installEventFilter(&recorder);
    Command(ID_EDIT_UNDO);
    QTest::qWait(20);
    Window()->removeEventFilter(&recorder);
    EXPECT_EQ(recorder.region.boundingRect(), Window()->rect());
}

TEST_F(SceneryView, DayNightRecoloursThePicture) {
    // An ordinary colour darkens to grey ((R + G + B) / 8), a lamp shines, a signal light stays.
    const struct {
        int x;
        PaletteIndex index;
        QRgb day, night;
    } pixels[] = {
        {0, 17, qRgb(220, 188, 48), qRgb(57, 57, 57)},
        {1, 57, qRgb(72, 72, 72), qRgb(255, 255, 168)},
        {2, 50, qRgb(60, 236, 124), qRgb(60, 236, 124)},
    };
    for (const auto& p : pixels) {
        SetAbsolute(p.x, 48, p.index);
    }
    const auto expectShown = [&](bool night) {
        const QImage image = Render();
        for (const auto& p : pixels) {
            EXPECT_EQ(Shown(image, {0, 3, p.x, 0}), night ? p.night : p.day) << "index " << int{p.index};
        }
    };
    expectShown(false);
    Command(ID_DAY_NIGHT);
    expectShown(true);
    Command(ID_DAY_NIGHT);
    expectShown(true);
    // Two more steps: back to day.
    Command(ID_DAY_NIGHT);
    Command(ID_DAY_NIGHT);
    expectShown(false);
}

TEST_F(SceneryView, EveryDocumentPixelCoversWholeDevicePixelsAtTwiceTheDensity) {
    view->SetZoom(3);
    SetAbsolute(40, 50, 17);
    const QSize size = Window()->size();
    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    Window()->render(&image);
    const ScreenRect square = view->Geometry().PixelSquare(PixelPoint{40, 50});
    const QPoint origin = (QPoint(square.left, square.top + 1) - view->ScrollPosition()) * 2;
    // The pixel is a block of 6 x 6 device pixels of its colour, its neighbours start right
    // beside it.
    for (int dy = 0; dy < 6; ++dy) {
        for (int dx = 0; dx < 6; ++dx) {
            EXPECT_EQ(image.pixel(origin + QPoint(dx, dy)) | 0xFF000000u, PaletteColour(17));
        }
    }
    EXPECT_NE(image.pixel(origin + QPoint(6, 0)) | 0xFF000000u, PaletteColour(17));
    EXPECT_NE(image.pixel(origin + QPoint(-1, 0)) | 0xFF000000u, PaletteColour(17));
}

TEST_F(SceneryView, StatusTextsAndCursorsFollowThePointer) {
    SetDistance(4);
    view->SetZoom(4);
    SetAbsolute(32 * 2 + 5, 3 * 16 + 6, 17);
    SetMode(MouseMode::Freehand);
    Move(At(2, 3, 5, 6));
    const QString expected = QString::fromStdString("69:54 = (Symbol: 2:3 -> 5:6) " +
                                                    DescribeColour(app->GetLanguageManager(), 17));
    EXPECT_EQ(app->MainFrame()->MessageText(), expected);
    EXPECT_TRUE(expected.endsWith(QStringLiteral("(17)")));
    EXPECT_EQ(Window()->cursor().shape(), Qt::BitmapCursor);
    // A mode change shows the new mode's cursor at once.
    const QImage freehandCursor = Window()->cursor().pixmap().toImage();
    SetMode(MouseMode::Fill);
    EXPECT_NE(Window()->cursor().pixmap().toImage(), freehandCursor);
    Move(InGapBefore(3, 3));
    EXPECT_EQ(app->MainFrame()->MessageText(), QString());
    EXPECT_EQ(Window()->cursor().shape(), Qt::ArrowCursor);
    Move(QPoint(At(2, 3, 5, 6).x(), 5));  // the number band
    EXPECT_EQ(app->MainFrame()->MessageText(), QString());
}

// The window keeps a picture of its own area and a margin, not of the magnified whole, and
// what scrolls into it (in pieces, moved along, at the edges cut) shows exactly what the whole
// scene painted at once shows.
TEST_F(SceneryView, TheKeptSceneCoversTheWindowAndScrollsInPixelForPixel) {
    std::mt19937 random(29);
    auto store = Model().PixelStoreForLoading();
    for (auto& pixel : store) {
        pixel = PaletteIndex(random() % 256);  // special colours among them
    }
    for (int s = 0; s < scenery::kSymbolCount; ++s) {
        Model().AddRow(s, 1 + s % 3, 0);
        Model().AddRow(s, 4, 0);
    }
    Model().RefreshBitmap();
    doc->UpdateAllViews(nullptr, 1, nullptr);
    app->Settings().showTransCol = 4;
    CChildFrame* frame = app->MainFrame()->ActiveChildFrame();
    frame->showNormal();
    QImage whole;
    const auto expectShown = [&] {
        const QRect shown(view->ScrollPosition(), Window()->size());
        SCOPED_TRACE(testing::Message() << "at " << shown.x() << "," << shown.y() << " " << shown.width()
                                        << "x" << shown.height());
        const QImage grabbed = Grab();
        const QImage expected = whole.copy(shown);
        ASSERT_EQ(grabbed.size(), expected.size());
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                differing += grabbed.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
        const QRect kept = view->KeptSceneRect();
        EXPECT_LE(kept.width(), shown.width() + 3 * SceneCache::kMargin);
        EXPECT_LE(kept.height(), shown.height() + 3 * SceneCache::kMargin);
    };

    for (const int zoom : {1, 4, 10}) {
        SCOPED_TRACE(zoom);
        frame->resize(613, 263);  // not a multiple of any zoom
        QCoreApplication::processEvents();
        view->SetZoom(zoom);
        // Also the background below and beside a scene smaller than the window.
        whole = QImage(QSize(view->Geometry().ExtentWidth(), view->Geometry().ExtentHeight())
                           .expandedTo(Window()->size()),
                       QImage::Format_RGB32);
        {
            QPainter painter(&whole);
            view->PaintView(painter, whole.rect());
        }
        const QPoint last(view->horizontalScrollBar()->maximum(), view->verticalScrollBar()->maximum());
        // The picture of the whole narrows to the window, keeping what it holds.
        view->ScrollTo(last / 2);
        expectShown();
        doc->UpdateAllViews(nullptr, 1, nullptr);  // made afresh from here on, in pieces
        const QPoint positions[] = {{0, 0},
                                    {37, 11},
                                    last / 2,
                                    last / 2 + QPoint(-300, 123),
                                    last / 2 + QPoint(200, -150),
                                    last / 2 + QPoint(-20, 0),
                                    last / 2 + QPoint(180, -60),
                                    {last.x(), 0},
                                    last,
                                    last - QPoint(5, 200),
                                    {0, last.y()},
                                    last / 3};
        for (const QPoint& position : positions) {
            view->ScrollTo(position);
            expectShown();
        }
        // A smaller window keeps what it still shows, from a picture whose edges wrapped by now.
        frame->resize(480, 200);
        QCoreApplication::processEvents();
        expectShown();
    }
    // At zoom 10 the whole is many windows large; the kept picture stays one.
    EXPECT_GT(view->Geometry().ExtentWidth(), 4 * (Window()->width() + 3 * SceneCache::kMargin));
}

}  // namespace
}  // namespace zobl
