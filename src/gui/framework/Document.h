#pragma once

// The document/view layer of the editor, on Qt's multi-document area.
//
//  - DocManager (owned by the application) holds the two DocTemplates in registration order
//    (scenery first, then vehicles), opens files (error 1 for a missing one, the template chosen
//    by extension), knows the QMdiArea, and broadcasts update actions to every open document
//    with UpdateAllDocuments (skip one, stop at the first document that answers false).
//  - DocTemplate: one document kind. Its document name ("Nutzerdefinierte Grafiken",
//    "Nutzerdefinierte Fahrzeuge") tells the kinds apart; it has the extension, the filter text,
//    the factories for the document and its view, and owns its open documents.
//  - Document (this file): data + undo of one file, path, title, modified flag. It turns update
//    actions into view hints (UpdateDoc), notifies its views with UpdateAllViews(sender, hint,
//    record), opens, saves and asks question 304 before closing a modified document. It owns the
//    menu its windows show (DocumentMenu). After a change that a command state depends on (undo
//    available, modified) it calls NotifyStateChanged, so menus and buttons are refreshed; when a
//    view starts or stops needing the 5 ms tick it calls NotifyTickDemandChanged.
//  - View (View.h): a mixin for the QWidget that shows a document; CChildFrame (ChildFrame.h) is
//    the QMdiSubWindow holding one view. Closing a document's last window closes the document.
//  - Commands (CommandRouter.h, CommandIds.h): one QAction per command number; a command goes
//    to the active view, its document, its child frame, the main frame and the application, in
//    this order; each target answers OnCommand/OnUpdateCommand (CommandTarget.h).
//  - Errors and questions go through MessageService (MessageService.h) by number.
//  See docs/gui-framework.md for where the application shell takes the parts still to come.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "gui/framework/CommandTarget.h"

class QMenu;

namespace zobl {

class DocManager;
class DocTemplate;
class View;

// Base of the records that travel with a view hint (an area, a query to fill in, ...).
struct HintRecord {
    virtual ~HintRecord() = default;
};

class Document : public QObject, public CommandTarget {
    Q_OBJECT
public:
    explicit Document(DocTemplate& docTemplate);
    ~Document() override;

    DocTemplate& Template() const noexcept { return template_; }
    DocManager& Manager() const noexcept;

    // The file of the document, empty for a new one never saved.
    const QString& PathName() const noexcept { return path_; }
    // Also makes the file name the title, and drops a proposed path.
    void SetPathName(const QString& path);
    // For a document without a file: where its first save proposes to write (a recovered copy's
    // original file). Only a proposal: the save prompt shows it, and replacing a file that
    // exists there takes the user's yes.
    const QString& ProposedPath() const noexcept { return proposedPath_; }
    void SetProposedPath(const QString& path) { proposedPath_ = path; }
    const QString& Title() const noexcept { return title_; }
    void SetTitle(const QString& title);

    virtual bool IsModified() const { return modified_; }
    virtual void SetModifiedFlag(bool modified);

    // Opened from a damaged file as what could be read of it: the document takes no file name,
    // so it is never saved over that file without a name chosen anew.
    bool OpenedWithoutFile() const noexcept { return openedWithoutFile_; }

    // An update action of the application's broadcast (1 colours, 2 tick, 4 editor colours,
    // 8 symbol distance); false stops the broadcast.
    virtual bool UpdateDoc(int action, int argument);
    // Calls OnUpdate of every view except sender.
    void UpdateAllViews(View* sender, int hint = 0, HintRecord* record = nullptr);

    void AddView(View* view);
    void RemoveView(View* view);
    const std::vector<View*>& Views() const noexcept { return views_; }

    // Fills a new empty document; false leaves no document.
    virtual bool OnNewDocument();
    // Reads the file; false (after telling the user) leaves no document.
    virtual bool OnOpenDocument(const QString& path);
    // Writes the file; false after telling the user.
    virtual bool OnSaveDocument(const QString& path);
    // Closes every window of the document and deletes it (later, from the event loop).
    virtual void OnCloseDocument();
    // Before closing: true when the document may go. A modified one asks question 304: yes
    // saves (a failed save keeps it), no discards, cancel keeps it.
    virtual bool SaveModified();
    // Ends the current undo step, so the next edit opens a new one.
    virtual void CloseUndoGroup() {}
    // The name the save prompt proposes when the document has no path yet: the proposed path,
    // else a name made from the title.
    virtual QString ProposedSaveName() const;
    // The menu bar shown while a window of this document is active: a QMenu whose submenus are
    // the top-level menus. Null: the main frame's own menu.
    virtual QMenu* DocumentMenu() { return nullptr; }
    // Whether any view needs the 5 ms tick; the main frame runs its timer only while one does.
    virtual bool WantsTicks() const;
    // Whether a view is in the middle of a mouse drag (a line, a marking, freehand drawing).
    bool AnyViewDragging() const;

    // For the recovery copies: a number that changes with every edit, and a copy of the content
    // in the document's own file format (replaced atomically; throws MessageError on failure).
    virtual std::uint64_t ChangeCount() const { return 0; }
    virtual void WriteCopy(const std::string& path) const;

    // Save (asks for a name when there is none) and Save As (path empty: ask).
    bool DoFileSave();
    bool DoSave(const QString& path, bool replace = true);

    bool IsClosing() const noexcept { return closing_; }

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

    // For views and subclasses: something that the command states depend on changed.
    void NotifyStateChanged();
    void NotifyTickDemandChanged();

protected:
    // From OnOpenDocument, which then returns true: the file is not the document's.
    void KeepWithoutFile() { openedWithoutFile_ = true; }

signals:
    void TitleChanged();
    void StateChanged();
    void TickDemandChanged();

private:
    DocTemplate& template_;
    QString path_;
    QString proposedPath_;
    QString title_;
    bool modified_ = false;
    bool closing_ = false;
    bool openedWithoutFile_ = false;
    std::vector<View*> views_;
};

}  // namespace zobl
