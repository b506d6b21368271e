#include "gui/framework/DocTemplate.h"

#include <algorithm>

#include <QMdiArea>

#include "gui/framework/ChildFrame.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/Document.h"
#include "gui/framework/View.h"

namespace zobl {

DocTemplate::DocTemplate(DocManager& manager, int menuResource, Strings strings,
                         DocumentFactory documentFactory, ViewFactory viewFactory)
    : manager_(manager),
      menuResource_(menuResource),
      strings_(std::move(strings)),
      documentFactory_(std::move(documentFactory)),
      viewFactory_(std::move(viewFactory)) {}

DocTemplate::~DocTemplate() {
    DeleteAllDocuments();
}

bool DocTemplate::MatchesExtension(const QString& path) const {
    return !strings_.extension.isEmpty() && path.endsWith(strings_.extension, Qt::CaseInsensitive);
}

Document* DocTemplate::OpenDocumentFile(const QString& path) {
    if (!CanCreateDocuments()) {
        return nullptr;
    }
    Document* document = documentFactory_(*this);
    if (document == nullptr) {
        return nullptr;
    }
    documents_.push_back(document);
    manager_.AttachDocument(document);
    const bool ok = path.isEmpty() ? document->OnNewDocument() : document->OnOpenDocument(path);
    if (!ok) {
        documents_.erase(std::find(documents_.begin(), documents_.end(), document));
        delete document;
        manager_.NotifyDocumentsChanged();
        return nullptr;
    }
    if (!path.isEmpty() && !document->OpenedWithoutFile()) {
        document->SetPathName(path);
    }
    if (CreateNewFrame(*document) == nullptr) {
        RemoveDocument(document);
        return nullptr;
    }
    manager_.NotifyDocumentsChanged();
    return document;
}

CChildFrame* DocTemplate::CreateNewFrame(Document& document) {
    if (!viewFactory_) {
        return nullptr;
    }
    View* view = viewFactory_(document);
    if (view == nullptr) {
        return nullptr;
    }
    document.AddView(view);
    auto* frame = new CChildFrame(view);
    if (QMdiArea* area = manager_.MdiArea()) {
        area->addSubWindow(frame);
    }
    view->OnInitialUpdate();
    frame->UpdateTitle();
    frame->resize(frame->sizeHint());
    frame->show();
    if (QMdiArea* area = manager_.MdiArea()) {
        area->setActiveSubWindow(frame);
    }
    return frame;
}

void DocTemplate::RemoveDocument(Document* document) {
    const auto it = std::find(documents_.begin(), documents_.end(), document);
    if (it == documents_.end()) {
        return;
    }
    documents_.erase(it);
    document->deleteLater();
    manager_.NotifyDocumentsChanged();
}

void DocTemplate::DeleteAllDocuments() {
    std::vector<Document*> documents;
    documents.swap(documents_);
    for (Document* document : documents) {
        for (View* view : std::vector<View*>(document->Views())) {
            if (CChildFrame* frame = CChildFrame::FrameOf(view)) {
                frame->setAttribute(Qt::WA_DeleteOnClose, false);
                document->RemoveView(view);
                delete frame;
            }
        }
        delete document;
    }
}

}  // namespace zobl
