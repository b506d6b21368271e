#include "gui/framework/ChildFrame.h"

#include <algorithm>

#include <QCloseEvent>

#include "gui/framework/Document.h"
#include "gui/framework/View.h"

namespace zobl {

CChildFrame::CChildFrame(View* view, QWidget* parent) : QMdiSubWindow(parent), view_(view) {
    setAttribute(Qt::WA_DeleteOnClose);
    viewWidget_ = view->Widget();
    setWidget(view->Widget());
    if (Document* document = view->GetDocument()) {
        titleConnection_ = connect(document, &Document::TitleChanged, this, &CChildFrame::UpdateTitle);
    }
}

// The view goes after this body has run, and its document would call back into a frame that is
// half gone.
CChildFrame::~CChildFrame() {
    disconnect(titleConnection_);
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
    QString title = document->Title();
    const auto& views = document->Views();
    if (views.size() > 1) {
        const auto it = std::find(views.begin(), views.end(), view_);
        title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    setWindowTitle(title);
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
    document->RemoveView(view_);
    if (!document->IsClosing() && document->Views().empty()) {
        document->OnCloseDocument();
    }
}

}  // namespace zobl
