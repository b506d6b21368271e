#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QString>
#include <QTimer>

#include "core/recovery/RecoveryFolder.h"

class QWidget;

namespace zobl {

class DocManager;
class DocTemplate;
struct EditorServices;
class Document;

// Keeps a recovery copy of every document with unsaved changes, and offers the copies a crashed
// editor left behind. A copy is written at most once per interval and only when the document
// changed since its last copy, never while a mouse drag is under way (it follows a second after
// the drag); saving the document, taking its changes back by undo, or closing it removes the
// copy at once. The folder goes with the keeper (a normal end).
//
// An opened copy is a document without a file, titled "a.gs (wiederhergestellt)" so that it
// is never taken for the file; its first save proposes the original path, and replacing the file
// there takes the user's yes like any save over an existing file. A document of that file that
// is open unchanged (the desktop restore reopens it) gives the copy its windows and closes:
// the file holds everything it had, and one window per file leaves no doubt which one is saved.
class CRecoveryKeeper : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultIntervalMs = 30'000;
    static constexpr int kAfterDragMs = 1'000;
    static constexpr int kErrorCopyNotWritten = 122;
    static constexpr int kQuestionDiscard = 307;
    static constexpr int kRecoveredTitleKey = 3939;  // section "DIALOGS", "%1 (wiederhergestellt)"

    // root: the recovery root (empty: copies are never written, none are offered).
    // The copies of the documents of documents go below root; they reopen through the templates.
    CRecoveryKeeper(const EditorServices& services, DocManager& documents, DocTemplate* scenery,
                    DocTemplate* vehicles, std::string root, int intervalMs = kDefaultIntervalMs);
    ~CRecoveryKeeper() override;

    // One round of the timer: copies of the documents that changed since their last copy.
    void WriteDueCopies();
    // At the start: takes over what editors that ended without closing left behind and lets the
    // user open, discard or keep each copy. Nothing is shown when there is none.
    void OfferAbandonedCopies(QWidget* parent);

    // The copy of a document, empty while it has none.
    QString CopyPathOf(const Document* document) const;
    const recovery::RecoverySession& Session() const noexcept { return session_; }
    bool TimerRunning() const { return timer_.isActive(); }

private:
    struct Tracked {
        int id = 0;
        bool hasCopy = false;
        std::uint64_t copiedChanges = 0;
        bool errorShown = false;
        // A recovered copy's former name and original path (may be empty), for its own copies.
        QString recoveredName;
        QString recoveredPath;
    };

    Tracked& Track(Document* document);
    // Writes the copy of one document; false (error 122 once until a copy succeeds) on failure.
    bool WriteCopy(Document* document, Tracked& tracked);
    void RemoveCopy(Tracked& tracked);
    // After a document changed state: removes copies of documents no longer modified and runs
    // the timer while any document is.
    void OnDocumentStates();
    bool OpenCopy(const recovery::RecoveryCopy& copy, recovery::AbandonedSession& session);

    const EditorServices& services_;
    DocManager& documents_;
    DocTemplate* scenery_;
    DocTemplate* vehicles_;
    std::string root_;
    recovery::RecoverySession session_;
    std::map<const Document*, Tracked> tracked_;
    int nextId_ = 1;
    QTimer timer_;
    QTimer afterDrag_;
};

}  // namespace zobl
