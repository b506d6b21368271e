#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "gui/framework/DocTemplate.h"

#include <QMdiArea>

namespace zobl {

class Document;
class MessageService;

// The document templates in registration order and everything that concerns all documents.
class DocManager : public QObject {
    Q_OBJECT
public:
    static constexpr int kErrorFileNotFound = 1;
    static constexpr int kErrorUnsupportedFile = 2;

    explicit DocManager(MessageService& messages, QObject* parent = nullptr);
    ~DocManager() override;

    DocTemplate& AddTemplate(int menuResource, DocTemplate::Strings strings,
                             DocTemplate::DocumentFactory documentFactory,
                             DocTemplate::ViewFactory viewFactory);
    const std::vector<std::unique_ptr<DocTemplate>>& Templates() const noexcept { return templates_; }
    DocTemplate* FindTemplate(const QString& documentName) const;
    // The template whose extension the path has; the first one when none matches (its reader
    // then says what is wrong with the file).
    DocTemplate* TemplateForPath(const QString& path) const;

    void SetMdiArea(QMdiArea* area) { area_ = area; }
    QMdiArea* MdiArea() const { return area_; }
    MessageService& Messages() const noexcept { return messages_; }
    void SetMessages(MessageService& messages) { messages_ = messages; }

    // The save prompt: path holds the proposed name and receives the chosen one.
    using SavePrompt = std::function<bool(QString& path, DocTemplate& docTemplate)>;
    void SetSavePrompt(SavePrompt prompt) { savePrompt_ = std::move(prompt); }
    bool PromptForSaveName(QString& path, DocTemplate& docTemplate) const;

    // The open operation: error 1 with the path when the file does not exist; an open document
    // of the same file gets its window activated; otherwise the matching template opens it.
    Document* OpenDocumentFile(const QString& path);
    Document* NewDocument(DocTemplate& docTemplate);
    Document* FindOpenDocument(const QString& path) const;

    // Every open document, template by template in registration order.
    std::vector<Document*> Documents() const;
    std::size_t DocumentCount() const;

    // Calls UpdateDoc(action, argument) of every document but skip; stops at the first one
    // that answers false and then returns 1, otherwise 0.
    int UpdateAllDocuments(Document* skip, int action, int argument);

    // Asks every modified document (question 304); false as soon as one must stay.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();
    bool AnyDocumentWantsTicks() const;

    // For templates and documents.
    void AttachDocument(Document* document);
    void NotifyDocumentsChanged() { emit DocumentsChanged(); }
    void NotifyPathUsed(const QString& path) { emit PathUsed(path); }

signals:
    void DocumentsChanged();
    // A document's title, modified state or undo state changed.
    void DocumentStateChanged();
    void TickDemandChanged();
    // A file was opened or saved under this path (for the recent-file list).
    void PathUsed(const QString& path);

private:
    std::reference_wrapper<MessageService> messages_;
    QPointer<QMdiArea> area_;
    SavePrompt savePrompt_;
    std::vector<std::unique_ptr<DocTemplate>> templates_;
};

}  // namespace zobl
