#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "GuiTestSupport.h"
#include "core/scenery/SceneryDocument.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/View.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"

namespace zobl::test {

// A started application with one new scenery document in a maximised window, and the mouse
// as QtTest drives it.
class SceneryViewFixture : public AppFixture {
public:
    void OpenNewDocument() {
        StartApp({}, true);
        // As "Neu" makes it once the kind is chosen.
        ASSERT_NE(app->Documents().NewDocument(*app->SceneryTemplate()), nullptr);
        QCoreApplication::processEvents();
        CChildFrame* frame = app->MainFrame()->ActiveChildFrame();
        ASSERT_NE(frame, nullptr);
        frame->showMaximized();
        QCoreApplication::processEvents();
        view = dynamic_cast<CGSView*>(frame->GetView());
        doc = static_cast<CGSDoc*>(frame->GetDocument());
        ASSERT_NE(view, nullptr);
        ASSERT_NE(doc, nullptr);
    }

    SceneryDocument& Model() { return doc->Model(); }
    QWidget* Window() { return view->viewport(); }
    void SetMode(MouseMode mode) { app->SetMouseMode(mode); }

    QPoint At(int s, int r, int x, int y) const { return view->WindowPointOf({s, r, x, y}); }
    // The window point of an absolute pixel.
    QPoint AtAbsolute(int X, int Y) const { return view->WindowPointOf(PixelAddress::FromAbsolute({X, Y})); }
    // A point in the gap left of symbol s (needs a symbol distance of at least 2).
    QPoint InGapBefore(int s, int r) const {
        const ScreenRect square = view->Geometry().PixelSquare(PixelAddress{s, r, 0, 8});
        return QPoint(square.left - 1, square.top) - view->ScrollPosition();
    }

    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
        QTest::mousePress(Window(), button, keys, p);
    }
    void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseRelease(Window(), button, keys, p);
    }
    void Click(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(Window(), button, keys, p);
    }
    // With a button down QtTest sends the move itself; without one it would move the cursor.
    void Move(QPoint p, Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QMouseEvent move(QEvent::MouseMove, p, Window()->mapToGlobal(p), Qt::NoButton,
                         QTestPrivate::qtestMouseButtons, keys);
        QApplication::sendEvent(Window(), &move);
    }
    // What a double-click is: press, release, double-click, release.
    void DoubleClick(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(Window(), button, {}, p);
        QTest::mouseRelease(Window(), button, {}, p);
        QMouseEvent second(QEvent::MouseButtonDblClick, p, Window()->mapToGlobal(p), button, button,
                           Qt::NoModifier);
        QApplication::sendEvent(Window(), &second);
        QTest::mouseRelease(Window(), button, {}, p);
    }
    void Drag(QPoint from, std::initializer_list<QPoint> path, Qt::MouseButton button = Qt::LeftButton,
              Qt::KeyboardModifiers keys = {}) {
        Press(from, button, keys);
        QPoint last = from;
        for (const QPoint& p : path) {
            Move(p);
            last = p;
        }
        Release(last, button, keys);
    }

    PaletteIndex Pixel(int X, int Y) { return Model().GetPixel(X / 32, Y / 16, X % 32, Y % 16); }
    void Fill(int s, int r, PaletteIndex value) {
        auto store = Model().PixelStoreForLoading();
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 32; ++x) {
                store[scenery::StoreOffset(s, r, x, y)] = value;
            }
        }
        Model().RefreshBitmap();
        doc->UpdateAllViews(nullptr, 1, nullptr);
    }
    void SetAbsolute(int X, int Y, PaletteIndex value) {
        Model().PixelStoreForLoading()[scenery::StoreOffset(X, Y)] = value;
        Model().RefreshBitmap();
        doc->UpdateAllViews(nullptr, 1, nullptr);
    }
    void SetColours(int left, int right) {
        app->SetColor1(left);
        app->SetColor2(right);
    }

    QRgb PaletteColour(int index) const {
        const Rgb c = app->GetPalette().CurrentColour(index);
        return qRgb(c.red, c.green, c.blue);
    }
    // The whole view painted offscreen.
    QImage Render() {
        QImage image(view->Geometry().ExtentWidth(), view->Geometry().ExtentHeight(),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        view->PaintView(painter, image.rect());
        return image;
    }
    // Where the picture shows a pixel: one line below the top of its square.
    QRgb Shown(const QImage& image, PixelAddress a) const {
        const ScreenRect square = view->Geometry().PixelSquare(a);
        return image.pixel(square.left, square.top + 1) | 0xFF000000u;
    }
    QImage Grab() { return Window()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CGSView* view = nullptr;
    CGSDoc* doc = nullptr;
};

}  // namespace zobl::test
