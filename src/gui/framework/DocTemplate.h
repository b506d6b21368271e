#pragma once

#include <functional>
#include <vector>

#include <QString>

namespace zobl {

// The document kinds as the save prompt and the choose-type dialog number them.
inline constexpr int kSceneryKind = 2;
inline constexpr int kVehicleKind = 3;

class CChildFrame;
class DocManager;
class Document;
class View;

// The document names by which the two kinds are told apart (the desktop record and the
// automation interface rely on them).
inline constexpr const char* kSceneryDocumentName = "Nutzerdefinierte Grafiken";
inline constexpr const char* kVehicleDocumentName = "Nutzerdefinierte Fahrzeuge";

// One document kind: its names, its file extension, and how to make its documents and views.
// It owns its open documents.
class DocTemplate {
public:
    using DocumentFactory = std::function<Document*(DocTemplate&)>;
    // Makes a view widget (with View mixed in) for the document; the child frame takes it.
    using ViewFactory = std::function<View*(Document&)>;

    struct Strings {
        QString documentName;  // "Nutzerdefinierte Grafiken"
        QString filterName;    // "Grafikdateien (*.gs)"
        QString extension;     // ".gs"
        QString fileTypeId;    // "ZOBL-Grafik-Datei"
        QString fileTypeName;  // "GS Datei"
    };

    DocTemplate(DocManager& manager, int menuResource, Strings strings, DocumentFactory documentFactory,
                ViewFactory viewFactory);
    ~DocTemplate();
    DocTemplate(const DocTemplate&) = delete;
    DocTemplate& operator=(const DocTemplate&) = delete;

    DocManager& Manager() const noexcept { return manager_; }
    int MenuResource() const noexcept { return menuResource_; }
    const Strings& GetStrings() const noexcept { return strings_; }
    const QString& DocumentName() const noexcept { return strings_.documentName; }
    const QString& Extension() const noexcept { return strings_.extension; }
    // False while this kind has no document or view class yet.
    bool CanCreateDocuments() const { return bool(documentFactory_) && bool(viewFactory_); }
    bool MatchesExtension(const QString& path) const;

    const std::vector<Document*>& Documents() const noexcept { return documents_; }

    // path empty: a new empty document. Opens its first window; nullptr on failure (reported to
    // the user by the document). A document opened without its file (the readable part of a
    // damaged one) does not take path as its name.
    Document* OpenDocumentFile(const QString& path);
    // Another window on the document, in the manager's multi-document area.
    CChildFrame* CreateNewFrame(Document& document);
    // Called by a closing document: forgets it and deletes it from the event loop.
    void RemoveDocument(Document* document);
    // Deletes every document at once, without questions (end of the program).
    void DeleteAllDocuments();

private:
    DocManager& manager_;
    int menuResource_;
    Strings strings_;
    DocumentFactory documentFactory_;
    ViewFactory viewFactory_;
    std::vector<Document*> documents_;
};

}  // namespace zobl
