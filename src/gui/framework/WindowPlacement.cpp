#include "gui/framework/WindowPlacement.h"

#include <algorithm>

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include "gui/framework/ChildFrame.h"
#include "gui/framework/View.h"

namespace zobl {

namespace {

bool OnSomeScreen(const QRect& rect) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&rect](const QScreen* screen) {
        return screen->availableGeometry().intersects(rect);
    });
}

}  // namespace

WindowPlacement PlacementOf(const QWidget& window) {
    WindowPlacement placement;
    placement.minPositionX = placement.minPositionY = -1;
    placement.maxPositionX = placement.maxPositionY = -1;
    placement.showCommand = window.isMinimized()   ? kShowMinimised
                            : window.isMaximized() ? kShowMaximised
                                                   : kShowNormal;
    // A minimised document window's geometry is its icon, a maximised one's the workspace.
    QRect normal;
    if (const auto* frame = qobject_cast<const CChildFrame*>(&window)) {
        normal = frame->NormalGeometry();
    } else if (window.isWindow()) {
        normal = window.normalGeometry();
    }
    if (!normal.isValid()) {
        normal = window.geometry();
    }
    placement.normalLeft = normal.left();
    placement.normalTop = normal.top();
    placement.normalRight = normal.right() + 1;
    placement.normalBottom = normal.bottom() + 1;
    return placement;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& placement) {
    QRect normal(QPoint(placement.normalLeft, placement.normalTop),
                 QPoint(placement.normalRight - 1, placement.normalBottom - 1));
    if (normal.width() < 1 || normal.height() < 1) {
        normal = window.geometry();
    }
    if (window.isWindow() && !OnSomeScreen(normal)) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            const QRect available = primary->availableGeometry();
            normal.setSize(normal.size().boundedTo(available.size()));
            normal.moveTopLeft(available.topLeft());
        }
    }
    window.showNormal();
    window.setGeometry(normal);
    if (placement.showCommand == kShowMinimised) {
        window.showMinimized();
    } else if (placement.showCommand == kShowMaximised) {
        window.showMaximized();
    }
}

void ApplyViewStates(const std::vector<PendingViewState>& states) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (const PendingViewState& pending : states) {
        if (pending.widget != nullptr) {
            pending.view->RestoreViewState(pending.state);
        }
    }
}

}  // namespace zobl
