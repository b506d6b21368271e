#pragma once

#include <optional>

#include <cstdint>
#include <memory>

#include "core/drawing/MouseMode.h"
#include "core/undo/UndoHistory.h"

namespace zobl {

// The undo side every document kind shares: the modified flag and an UndoHistory of the
// document's own snapshots. A document derives from it, implements NewSnapshotBuffer,
// CaptureSnapshot and RestoreSnapshot, and repaints in OnContentRestored after an undo or redo.
template <typename Snapshot>
class UndoableDocument : private UndoSubject<Snapshot> {
public:
    UndoableDocument(const UndoableDocument&) = delete;
    UndoableDocument& operator=(const UndoableDocument&) = delete;

    bool IsModified() const final { return modified_ || textsEdited_; }
    // false: the content is as saved (or as loaded, or new).
    void SetModified(bool modified) {
        if (modified) {
            ++changes_;
        }
        modified_ = modified;
        if (!modified) {
            textsEdited_ = false;
        }
    }
    // The author and info texts are not part of the snapshots, so undo cannot take an edit of
    // them back: the document stays modified until it is saved.
    void MarkTextsEdited() {
        textsEdited_ = true;
        ++changes_;
    }
    // Counts the changes (undo and redo included) since the document was made: while it stays
    // the same, so does the content. For keeping copies of unsaved work.
    std::uint64_t ChangeCount() const noexcept { return changes_; }

    // Records a snapshot unless the mouse mode is the open undo group; marks the document modified.
    void PrepareChange(MouseMode mouseMode) {
        ++changes_;
        if (history_) {
            history_->PrepareChange(mouseMode);
        }
    }
    void CloseUndoGroup() {
        if (history_) {
            history_->CloseUndoGroup();
        }
    }
    bool Undo() {
        if (!history_ || !history_->Undo()) {
            return false;
        }
        ++changes_;
        OnContentRestored();
        return true;
    }
    bool Redo(MouseMode mouseMode) {
        if (!history_ || !history_->Redo(mouseMode)) {
            return false;
        }
        ++changes_;
        OnContentRestored();
        return true;
    }
    bool CanUndo() const { return history_ && history_->CanUndo(); }
    bool CanRedo() const { return history_ && history_->CanRedo(); }
    int UndoCount() const { return history_ ? history_->UndoCount() : 0; }
    std::optional<MouseMode> OpenUndoGroup() const {
        return history_ ? history_->OpenUndoGroup() : std::nullopt;
    }
    // See UndoHistory; 0 without a history.
    std::uint64_t RecordedTotal() const { return history_ ? history_->RecordedTotal() : 0; }
    std::uint64_t UndoneTotal() const { return history_ ? history_->UndoneTotal() : 0; }
    // Every snapshot buffer of the history, recorded or not (see UndoHistory::ForEachSnapshot).
    template <typename Visit>
    void ForEachSnapshot(Visit&& visit) const {
        if (history_) {
            history_->ForEachSnapshot(visit);
        }
    }
    void ResetUndoHistory() {
        if (history_) {
            history_->Reset();
        }
    }

protected:
    UndoableDocument() = default;
    ~UndoableDocument() override = default;

    // An empty history; its buffers are made as the snapshots need them.
    void CreateUndoHistory() {
        UndoSubject<Snapshot>& subject = *this;
        history_ = std::make_unique<UndoHistory<Snapshot>>(subject);
    }
    void ReleaseUndoHistory() { history_.reset(); }

    // After undo or redo replaced the content.
    virtual void OnContentRestored() {}

private:
    void SetModifiedByHistory(bool modified) final { modified_ = modified; }

    bool modified_ = false;
    bool textsEdited_ = false;
    std::uint64_t changes_ = 0;
    std::unique_ptr<UndoHistory<Snapshot>> history_;
};

}  // namespace zobl
