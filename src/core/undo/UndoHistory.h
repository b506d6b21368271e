#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/drawing/MouseMode.h"

namespace zobl {

// The undo group of a document is the mouse mode for which its newest snapshot was taken.

// What an undo history needs from its document: a way to copy the editable content into a
// snapshot and back, and the document's modified flag. Content that is not part of a snapshot
// (texts, attributes, dimensions) survives undo and redo unchanged.
template <typename Snapshot>
class UndoSubject {
public:
    virtual ~UndoSubject() = default;
    // A snapshot buffer large enough for any content the document can hold. Called once per
    // slot, when the slot is first used.
    virtual Snapshot NewSnapshotBuffer() const = 0;
    // Copies the current content into an existing snapshot; must not allocate.
    virtual void CaptureSnapshot(Snapshot& into) const = 0;
    virtual void RestoreSnapshot(const Snapshot& from) = 0;
    virtual bool IsModified() const = 0;
    // The modified flag an undo, redo or new snapshot brings.
    virtual void SetModifiedByHistory(bool modified) = 0;
};

// A document's undo history: up to 99 full snapshots grouped by mouse mode, and one redo slot.
// The first change in a group records the state before it; later changes in the same group add
// nothing. A slot's buffer is made when the slot is first used and kept from then on (also
// across Reset), so an untouched document holds no snapshot at all and recording into a slot
// used before only copies.
template <typename Snapshot>
class UndoHistory {
public:
    static constexpr int kDepth = 100;  // positions; the last one is never used
    static constexpr int kMaxSnapshots = kDepth - 1;

    explicit UndoHistory(UndoSubject<Snapshot>& subject) : subject_(subject) { Reset(); }

    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Records a snapshot unless the current mouse mode is the open undo group, then marks the
    // document modified. Called before every change of snapshot content.
    void PrepareChange(MouseMode mouseMode) {
        if (group_ != mouseMode) {
            redoAvailable_ = false;
            group_ = mouseMode;
            if (count_ < kMaxSnapshots) {
                ++count_;
            } else {
                // Drop the oldest: its buffers become the newest slot, no pixel is moved.
                std::rotate(order_.begin(), order_.begin() + 1, order_.begin() + kMaxSnapshots);
            }
            Slot& slot = SlotAt(count_ - 1);
            subject_.CaptureSnapshot(slot.content);
            slot.modified = subject_.IsModified();
            ++recordedTotal_;
        }
        subject_.SetModifiedByHistory(true);
    }

    void CloseUndoGroup() noexcept { group_.reset(); }

    // Steps back one snapshot; the replaced state goes to the redo slot. Returns false when
    // there was nothing to undo (and nothing changed).
    bool Undo() {
        if (count_ < 1) {
            return false;
        }
        if (!redo_) {
            redo_ = Slot{false, subject_.NewSnapshotBuffer()};
        }
        subject_.CaptureSnapshot(redo_->content);
        redo_->modified = subject_.IsModified();
        redoAvailable_ = true;
        --count_;
        ++undoneTotal_;
        const Slot& slot = SlotAt(count_);
        subject_.RestoreSnapshot(slot.content);
        subject_.SetModifiedByHistory(slot.modified);
        CloseUndoGroup();
        return true;
    }

    // Restores the state the last undo replaced. The current state becomes an undo step of its
    // own (the group is closed after an undo), so an undo after a redo returns to it.
    bool Redo(MouseMode mouseMode) {
        if (!redoAvailable_) {
            return false;
        }
        PrepareChange(mouseMode);
        redoAvailable_ = false;  // the redo slot is consumed even if no snapshot was due
        subject_.RestoreSnapshot(redo_->content);
        subject_.SetModifiedByHistory(redo_->modified);
        return true;
    }

    void Reset() noexcept {
        group_.reset();
        count_ = 0;
        redoAvailable_ = false;
        for (int i = 0; i < kDepth; ++i) {
            order_[i] = static_cast<std::uint8_t>(i);
        }
    }

    bool CanUndo() const noexcept { return count_ > 0; }
    bool CanRedo() const noexcept { return redoAvailable_; }

    // Every buffer made so far, recorded or not, the redo slot's last: for checking them.
    template <typename Visit>
    void ForEachSnapshot(Visit&& visit) const {
        for (const Slot& slot : slots_) {
            visit(slot.content);
        }
        if (redo_) {
            visit(redo_->content);
        }
    }
    int UndoCount() const noexcept { return count_; }
    std::optional<MouseMode> OpenUndoGroup() const noexcept { return group_; }
    // How many snapshots were recorded and how many undone since the history was made (Reset
    // keeps counting): between two looks, they tell exactly what happened to the steps.
    std::uint64_t RecordedTotal() const noexcept { return recordedTotal_; }
    std::uint64_t UndoneTotal() const noexcept { return undoneTotal_; }

private:
    struct Slot {
        bool modified = false;
        Snapshot content;
    };

    // The buffer at a position; made on first use. Positions are filled from the oldest up and
    // only rotate once all of them hold a buffer, so the buffers are made in index order.
    Slot& SlotAt(int position) {
        const std::size_t index = order_[std::size_t(position)];
        while (slots_.size() <= index) {
            slots_.push_back(Slot{false, subject_.NewSnapshotBuffer()});
        }
        return slots_[index];
    }

    UndoSubject<Snapshot>& subject_;
    std::vector<Slot> slots_;                   // grows as positions are first used
    std::array<std::uint8_t, kDepth> order_{};  // position (0 = oldest) -> slot buffer
    std::optional<Slot> redo_;                  // made by the first undo
    std::optional<MouseMode> group_;            // the mode whose changes join the last step; none: closed
    int count_ = 0;
    bool redoAvailable_ = false;
    std::uint64_t recordedTotal_ = 0;
    std::uint64_t undoneTotal_ = 0;
};

}  // namespace zobl
