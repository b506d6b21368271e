#include "gui/framework/DocManager.h"

#include <QFileInfo>
#include <QMdiArea>

#include "gui/framework/ChildFrame.h"
#include "gui/framework/Document.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/View.h"

namespace zobl {

DocManager::DocManager(MessageService& messages, QObject* parent) : QObject(parent), messages_(messages) {}

DocManager::~DocManager() {
    // Documents go before their templates, while every template still exists.
    for (auto& docTemplate : templates_) {
        docTemplate->DeleteAllDocuments();
    }
}

DocTemplate& DocManager::AddTemplate(int menuResource, DocTemplate::Strings strings,
                                     DocTemplate::DocumentFactory documentFactory,
                                     DocTemplate::ViewFactory viewFactory) {
    templates_.push_back(std::make_unique<DocTemplate>(*this, menuResource, std::move(strings),
                                                       std::move(documentFactory), std::move(viewFactory)));
    return *templates_.back();
}

DocTemplate* DocManager::FindTemplate(const QString& documentName) const {
    for (const auto& docTemplate : templates_) {
        if (docTemplate->DocumentName() == documentName) {
            return docTemplate.get();
        }
    }
    return nullptr;
}

DocTemplate* DocManager::TemplateForPath(const QString& path) const {
    for (const auto& docTemplate : templates_) {
        if (docTemplate->MatchesExtension(path)) {
            return docTemplate.get();
        }
    }
    return templates_.empty() ? nullptr : templates_.front().get();
}

bool DocManager::PromptForSaveName(QString& path, DocTemplate& docTemplate) const {
    return savePrompt_ ? savePrompt_(path, docTemplate) : false;
}

Document* DocManager::FindOpenDocument(const QString& path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty()) {
        return nullptr;
    }
    for (Document* document : Documents()) {
        if (!document->PathName().isEmpty() &&
            QFileInfo(document->PathName()).canonicalFilePath() == wanted) {
            return document;
        }
    }
    return nullptr;
}

Document* DocManager::OpenDocumentFile(const QString& path) {
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists()) {
        messages_.get().ShowError(kErrorFileNotFound, path);
        return nullptr;
    }
    if (Document* open = FindOpenDocument(path)) {
        if (!open->Views().empty()) {
            if (CChildFrame* frame = CChildFrame::FrameOf(open->Views().front()); frame && area_) {
                area_->setActiveSubWindow(frame);
            }
        }
        return open;
    }
    DocTemplate* docTemplate = TemplateForPath(path);
    if (docTemplate == nullptr || !docTemplate->CanCreateDocuments()) {
        messages_.get().ShowError(kErrorUnsupportedFile, file.fileName());
        return nullptr;
    }
    Document* document = docTemplate->OpenDocumentFile(file.absoluteFilePath());
    if (document != nullptr && !document->OpenedWithoutFile()) {
        NotifyPathUsed(document->PathName());
    }
    return document;
}

Document* DocManager::NewDocument(DocTemplate& docTemplate) {
    return docTemplate.OpenDocumentFile(QString());
}

std::vector<Document*> DocManager::Documents() const {
    std::vector<Document*> documents;
    for (const auto& docTemplate : templates_) {
        documents.insert(documents.end(), docTemplate->Documents().begin(), docTemplate->Documents().end());
    }
    return documents;
}

std::size_t DocManager::DocumentCount() const {
    std::size_t count = 0;
    for (const auto& docTemplate : templates_) {
        count += docTemplate->Documents().size();
    }
    return count;
}

int DocManager::UpdateAllDocuments(Document* skip, int action, int argument) {
    // A document may close while it handles the action; walk a copy.
    for (Document* document : Documents()) {
        if (document == skip || document->IsClosing()) {
            continue;
        }
        if (!document->UpdateDoc(action, argument)) {
            return 1;
        }
    }
    return 0;
}

bool DocManager::SaveAllModified() {
    for (Document* document : Documents()) {
        if (!document->IsClosing() && !document->SaveModified()) {
            return false;
        }
    }
    return true;
}

void DocManager::CloseAllDocuments() {
    for (Document* document : Documents()) {
        document->OnCloseDocument();
    }
}

bool DocManager::AnyDocumentWantsTicks() const {
    for (const auto& docTemplate : templates_) {
        for (const Document* document : docTemplate->Documents()) {
            if (document->WantsTicks()) {
                return true;
            }
        }
    }
    return false;
}

void DocManager::AttachDocument(Document* document) {
    connect(document, &Document::StateChanged, this, &DocManager::DocumentStateChanged);
    connect(document, &Document::TitleChanged, this, &DocManager::DocumentStateChanged);
    connect(document, &Document::TickDemandChanged, this, &DocManager::TickDemandChanged);
}

}  // namespace zobl
