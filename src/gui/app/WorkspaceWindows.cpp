#include "gui/app/WorkspaceWindows.h"

#include <algorithm>

#include <QAction>
#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>

#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/VisibleText.h"

namespace zobl {

void WorkspaceWindows::ArrangeMinimised() {
    const QRect workspace = area_.viewport()->rect();
    int x = workspace.left();
    int bottom = workspace.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* window : area_.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        if (x > workspace.left() && x + size.width() > workspace.right() + 1) {
            // The row is full: the next one goes above it.
            x = workspace.left();
            bottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, bottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void WorkspaceWindows::Cascade() {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area_.subWindowList(QMdiArea::StackingOrder)) {
        if (window->isVisible() && !window->isMinimized()) {
            windows << window;
        }
    }
    QMdiSubWindow* active = area_.currentSubWindow();
    const QRect workspace = area_.viewport()->rect();
    const QSize twoThirds = workspace.size() * 2 / 3;
    int step = 0;
    int k = 0;
    for (QMdiSubWindow* window : windows) {
        if (window->isMaximized()) {
            window->showNormal();
        }
        if (step == 0) {
            // The frame's top margin is its title bar, in whatever style draws it.
            step = std::max(window->contentsMargins().top(),
                            window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
        }
        const QSize size = twoThirds.expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
        const auto fits = [&](int offset) {
            return offset + size.width() <= workspace.width() && offset + size.height() <= workspace.height();
        };
        if (k > 0 && !fits(k * step)) {
            k = 0;
        }
        window->setGeometry(QRect(workspace.topLeft() + QPoint(k * step, k * step), size));
        window->raise();
        ++k;
    }
    if (active != nullptr) {
        area_.setActiveSubWindow(active);
    }
}

void WorkspaceWindows::Tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area_.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isVisible() && !window->isMinimized()) {
            windows << window;
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    const QRect client = area_.viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[i];
        if (window->isMaximized()) {
            window->showNormal();
        }
        // Horizontal tiling lays the windows one above the other, vertical side by side.
        if (orientation == Qt::Horizontal) {
            const int top = client.height() * i / count;
            const int bottom = client.height() * (i + 1) / count;
            window->setGeometry(0, top, client.width(), bottom - top);
        } else {
            const int left = client.width() * i / count;
            const int right = client.width() * (i + 1) / count;
            window->setGeometry(left, 0, right - left, client.height());
        }
    }
}

void WorkspaceWindows::RebuildList(QMenu& popup, CommandRouter& router) const {
    RemoveDynamicItems(&popup);
    const QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) {
        return;
    }
    QAction* separator = popup.addSeparator();
    MarkDynamicItem(separator);
    const int count = std::min<int>(int(windows.size()), ID_WINDOW_LIST_LAST - ID_WINDOW_LIST_FIRST + 1);
    for (int i = 0; i < count; ++i) {
        QString title = ShownTitle(*windows[i]);
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item =
            router.NewMenuItem(WindowListCommand(i), QStringLiteral("&%1 %2").arg(i + 1).arg(title), &popup);
        item->setCheckable(true);
        MarkDynamicItem(item);
        popup.addAction(item);
    }
    router.UpdateMenu(&popup);
}

void WorkspaceWindows::ActivateListed(int index) {
    const QList<QMdiSubWindow*> windows = area_.subWindowList(QMdiArea::CreationOrder);
    if (index >= 0 && index < windows.size()) {
        if (windows[index]->isMinimized()) {
            windows[index]->showNormal();
        }
        area_.setActiveSubWindow(windows[index]);
    }
}

}  // namespace zobl
