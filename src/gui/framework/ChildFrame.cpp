#include "gui/framework/ChildFrame.h"

#include <algorithm>

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

#include "gui/framework/Document.h"
#include "gui/framework/View.h"
#include "gui/framework/VisibleText.h"

namespace zobl {

namespace {
CChildFrame::FrameHooks g_hooks;
int g_cascadeOffset = 0;

// The window menu Qt gives a frame: restore, move, size, minimise, maximise, stay on top,
// separator, close. Its items are told apart by their position.
constexpr int kSystemMenuKeys[] = {7101, 7102, 7103, 7104, 7105, 0, 0, 7106};
constexpr int kIdleKey = 7000;
}  // namespace

void CChildFrame::SetFrameHooks(FrameHooks hooks) {
    g_hooks = std::move(hooks);
}

int CChildFrame::CascadeOffset() {
    return g_cascadeOffset;
}

void CChildFrame::ResetCascade() {
    g_cascadeOffset = 0;
}

CChildFrame::CChildFrame(View* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    viewWidget_ = view->Widget();
    setWidget(view->Widget());
    if (Document* document = view->GetDocument()) {
        titleConnection_ = connect(document, &Document::TitleChanged, this, &CChildFrame::UpdateTitle);
        // Saving, editing and undoing change the modified mark.
        stateConnection_ = connect(document, &Document::StateChanged, this, &CChildFrame::UpdateTitle);
    }
    ConnectSystemMenu();
}

void CChildFrame::ConnectSystemMenu() {
    QMenu* menu = systemMenu();
    if (menu == nullptr) {
        return;
    }
    connect(menu, &QMenu::hovered, this, [menu](QAction* action) {
        if (!g_hooks.showStatus) {
            return;
        }
        const int position = static_cast<int>(menu->actions().indexOf(action));
        const int key = position >= 0 && position < static_cast<int>(std::size(kSystemMenuKeys))
                            ? kSystemMenuKeys[position]
                            : 0;
        if (key != 0) {
            g_hooks.showStatus(key, kSystemMenuHelp);
        } else {
            g_hooks.showStatus(kIdleKey, std::nullopt);
        }
    });
    connect(menu, &QMenu::aboutToHide, this, [] {
        if (g_hooks.showStatus) {
            g_hooks.showStatus(kIdleKey, std::nullopt);
        }
    });
}

void CChildFrame::changeEvent(QEvent* event) {
    // Leaving the normal state: the geometry is still the normal one until the base class shrinks
    // or widens the window. (The base class's own corrections of the state arrive as overrides.)
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (!change->isOverride() && !(change->oldState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
            normalGeometry_ = geometry();
        }
    }
    QMdiSubWindow::changeEvent(event);
}

QRect CChildFrame::NormalGeometry() const {
    return windowState() & (Qt::WindowMinimized | Qt::WindowMaximized) ? normalGeometry_ : geometry();
}

void CChildFrame::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    if (!placed_) {
        placed_ = true;
        PlaceInCascade();
    }
}

void CChildFrame::PlaceInCascade() {
    g_cascadeOffset += kCascadeStep;
    if (g_cascadeOffset >= kCascadeLimit) {
        g_cascadeOffset = kCascadeStep;
    }
    QWidget* workspace = parentWidget();
    if (workspace == nullptr || isMaximized() || isMinimized()) {
        return;
    }
    const QRect client = workspace->rect();
    const int offset = g_cascadeOffset;
    // A workspace too small for the cascade still gets a window the user can grab.
    const QSize smallest = minimumSizeHint().expandedTo(QSize(120, 80));
    const QSize size(std::max(client.width() - 3 * offset, smallest.width()),
                     std::max(client.height() - 3 * offset, smallest.height()));
    setGeometry(QRect(client.topLeft() + QPoint(offset, offset), size));
    update();
}

bool CChildFrame::InCaption(const QPoint& point) const {
    // The caption is the band above the view; the frame's borders do not count.
    const QWidget* content = widget();
    if (content == nullptr || isMinimized()) {
        return rect().contains(point);
    }
    return point.y() >= 0 && point.y() < content->geometry().top() &&
           point.x() >= content->geometry().left() && point.x() <= content->geometry().right();
}

void CChildFrame::mousePressEvent(QMouseEvent* event) {
    // A right button the view left alone stops here; it never reaches the workspace behind.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QMdiSubWindow::mousePressEvent(event);
}

void CChildFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (InCaption(event->position().toPoint()) && g_hooks.showWorkspaceMenu) {
            g_hooks.showWorkspaceMenu(event->globalPosition().toPoint());
        }
        event->accept();
        return;
    }
    QMdiSubWindow::mouseReleaseEvent(event);
}

void CChildFrame::contextMenuEvent(QContextMenuEvent* event) {
    // The caption shows the workspace menu (on the button's release) instead of Qt's window menu,
    // which stays on the window icon.
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    QMdiSubWindow::contextMenuEvent(event);
}

// The view goes after this body has run, and its document would call back into a frame that is
// half gone.
CChildFrame::~CChildFrame() {
    disconnect(titleConnection_);
    disconnect(stateConnection_);
}

Document* CChildFrame::GetDocument() const {
    return GetView() != nullptr ? view_->GetDocument() : nullptr;
}

CChildFrame* CChildFrame::FrameOf(const View* view) {
    if (view == nullptr) {
        return nullptr;
    }
    for (QObject* object = const_cast<View*>(view)->Widget(); object != nullptr; object = object->parent()) {
        if (auto* frame = qobject_cast<CChildFrame*>(object)) {
            return frame;
        }
    }
    return nullptr;
}

void CChildFrame::UpdateTitle() {
    Document* document = GetDocument();
    if (document == nullptr) {
        return;
    }
    QString title = VisibleText(document->Title());
    const auto& views = document->Views();
    if (views.size() > 1) {
        const auto it = std::find(views.begin(), views.end(), view_);
        title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    setWindowTitle(TitleWithModifiedMark(title));
    setWindowModified(document->IsModified());
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    Document* document = GetDocument();
    if (document != nullptr && !document->IsClosing() && document->Views().size() == 1 &&
        !document->SaveModified()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted() || document == nullptr) {
        return;
    }
    disconnect(titleConnection_);
    disconnect(stateConnection_);
    document->RemoveView(view_);
    if (!document->IsClosing() && document->Views().empty()) {
        document->OnCloseDocument();
    }
}

}  // namespace zobl
