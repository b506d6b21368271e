#include "core/drawing/MouseMode.h"
#include "core/undo/UndoHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace zobl {
namespace {

// A document whose whole content is one number, so that every state is easy to name.
struct Counter : UndoSubject<std::vector<int>> {
    int value = 0;
    bool modified = false;
    int captures = 0;
    mutable int buffersMade = 0;

    std::vector<int> NewSnapshotBuffer() const override {
        ++buffersMade;
        return std::vector<int>(1, 0);
    }
    void CaptureSnapshot(std::vector<int>& into) const override {
        into[0] = value;
        ++const_cast<Counter*>(this)->captures;
    }
    void RestoreSnapshot(const std::vector<int>& from) override { value = from[0]; }
    bool IsModified() const override { return modified; }
    void SetModifiedByHistory(bool m) override { modified = m; }
};

constexpr MouseMode kFreehand = MouseMode::Freehand;
constexpr MouseMode kLine = MouseMode::Line;

class UndoHistoryTest : public ::testing::Test {
protected:
    void Change(MouseMode mode, int newValue) {
        history.PrepareChange(mode);
        doc.value = newValue;
    }

    Counter doc;
    UndoHistory<std::vector<int>> history{doc};
};

TEST_F(UndoHistoryTest, ChangesInOneMouseModeAreOneStep) {
    Change(kFreehand, 1);
    Change(kFreehand, 2);
    Change(kFreehand, 3);
    EXPECT_EQ(history.UndoCount(), 1);
    EXPECT_EQ(history.OpenUndoGroup(), kFreehand);

    // Another mode starts a new step; so does the same mode after the group was closed.
    Change(kLine, 4);
    history.CloseUndoGroup();
    Change(kLine, 5);
    EXPECT_EQ(history.UndoCount(), 3);

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 4);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 3);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 0);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(doc.value, 0);
}

// The counters tell a watcher exactly what happened between two looks, also when the full
// history drops its oldest step and its count stays at 99.
TEST_F(UndoHistoryTest, CountsEveryRecordedAndUndoneStep) {
    for (int step = 1; step <= 101; ++step) {
        Change(step % 2 ? kFreehand : kLine, step);
    }
    Change(kFreehand, 200);  // the same group: nothing recorded
    EXPECT_EQ(history.UndoCount(), 99);
    EXPECT_EQ(history.RecordedTotal(), 101u);
    history.Undo();
    history.Undo();
    history.Redo(kLine);  // a redo records the state it replaces
    EXPECT_EQ(history.UndoneTotal(), 2u);
    EXPECT_EQ(history.RecordedTotal(), 102u);
    history.Reset();  // a file read into the document: the counting goes on
    Change(kLine, 300);
    EXPECT_EQ(history.RecordedTotal(), 103u);
    EXPECT_EQ(history.UndoneTotal(), 2u);
}

TEST_F(UndoHistoryTest, KeepsTheNewest99Steps) {
    // 120 steps alternating two modes, so every change records a snapshot.
    for (int step = 1; step <= 120; ++step) {
        Change(step % 2 ? kFreehand : kLine, step);
        EXPECT_LE(history.UndoCount(), 99);
    }
    EXPECT_EQ(history.UndoCount(), 99);
    // Undoing walks back through the states 119, 118, ..., 21 and stops there.
    for (int expected = 119; expected >= 21; --expected) {
        ASSERT_TRUE(history.Undo());
        ASSERT_EQ(doc.value, expected);
    }
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(doc.value, 21);

    // The dropped slots are reused: after more steps the order is still right.
    for (int step = 200; step < 205; ++step) {
        Change(step % 2 ? kFreehand : kLine, step);
    }
    for (int expected = 203; expected >= 200; --expected) {
        ASSERT_TRUE(history.Undo());
        ASSERT_EQ(doc.value, expected);
    }
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 21);
}

TEST_F(UndoHistoryTest, OneRedoStepDisarmedByAnyNewSnapshot) {
    Change(kFreehand, 1);
    Change(kLine, 2);
    EXPECT_FALSE(history.CanRedo());

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 1);
    EXPECT_TRUE(history.CanRedo());
    EXPECT_EQ(history.OpenUndoGroup(), std::nullopt);

    ASSERT_TRUE(history.Redo(kFreehand));
    EXPECT_EQ(doc.value, 2);
    EXPECT_FALSE(history.CanRedo());
    // An undo after a redo returns to the state before the redo.
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 1);

    // Repeated undo keeps only the state before the last undo for redo.
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 0);
    ASSERT_TRUE(history.Redo(kLine));
    EXPECT_EQ(doc.value, 1);

    // A new change after an undo disarms the redo.
    ASSERT_TRUE(history.Undo());
    Change(kLine, 7);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(kLine));
    EXPECT_EQ(doc.value, 7);
}

TEST_F(UndoHistoryTest, ChangeInTheSameOpenGroupKeepsRedo) {
    Change(kFreehand, 1);
    ASSERT_TRUE(history.Undo());
    ASSERT_TRUE(history.Redo(kFreehand));  // the group is now open for freehand
    Change(kFreehand, 5);                  // no snapshot due, no redo to disarm
    EXPECT_EQ(history.UndoCount(), 1);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 0);
}

TEST_F(UndoHistoryTest, UndoAndRedoRestoreTheModifiedFlag) {
    // Saved document: not modified. The first change sets the flag, its undo clears it again.
    Change(kFreehand, 1);
    EXPECT_TRUE(doc.modified);
    ASSERT_TRUE(history.Undo());
    EXPECT_FALSE(doc.modified);
    ASSERT_TRUE(history.Redo(kFreehand));
    EXPECT_TRUE(doc.modified);

    // A save between two steps: undoing back to the saved state clears the flag, one step
    // further back the unsaved state is modified again.
    Change(kLine, 2);
    doc.modified = false;
    Change(kFreehand, 3);
    EXPECT_TRUE(doc.modified);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 2);
    EXPECT_FALSE(doc.modified);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(doc.value, 1);
    EXPECT_TRUE(doc.modified);
}

TEST_F(UndoHistoryTest, ResetForgetsEverything) {
    Change(kFreehand, 1);
    Change(kLine, 2);
    ASSERT_TRUE(history.Undo());
    history.Reset();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.OpenUndoGroup(), std::nullopt);
    const int captures = doc.captures;
    Change(kLine, 3);  // group was closed by the reset
    EXPECT_EQ(doc.captures, captures + 1);
}

// An untouched history holds no buffer; each position gets one when first recorded into, and
// keeps it: a reset history, a rotation past 99 steps and a second undo make none.
TEST_F(UndoHistoryTest, BuffersAreMadeOnFirstUseAndReused) {
    constexpr int kMaxUndoSnapshots = UndoHistory<std::vector<int>>::kMaxSnapshots;
    EXPECT_EQ(doc.buffersMade, 0);
    int next = 0;
    const auto steps = [&](int count) {  // each a step of its own, the value counting up
        for (int i = 0; i < count; ++i, ++next) {
            Change(next % 2 == 0 ? kFreehand : kLine, next + 1);
        }
    };
    const struct {
        const char* what;
        std::function<void()> action;
        int buffers;
    } cases[] = {
        {"three steps", [&] { steps(3); }, 3},
        {"undo: the redo slot", [&] { history.Undo(); }, 4},
        {"undo again", [&] { history.Undo(); }, 4},
        {"reset and three steps",
         [&] {
             history.Reset();
             steps(3);
         },
         4},
        {"150 steps", [&] { steps(150); }, kMaxUndoSnapshots + 1},
        {"reset and 150 steps",
         [&] {
             history.Reset();
             steps(150);
         },
         kMaxUndoSnapshots + 1},
    };
    for (const auto& c : cases) {
        c.action();
        EXPECT_EQ(doc.buffersMade, c.buffers) << c.what;
    }
    // The rotated buffers still give back the newest 99 states in order.
    int restored = 0;
    int previous = doc.value;
    while (history.Undo()) {
        EXPECT_EQ(doc.value, previous - 1);
        previous = doc.value;
        ++restored;
    }
    EXPECT_EQ(restored, kMaxUndoSnapshots);
}

}  // namespace
}  // namespace zobl
