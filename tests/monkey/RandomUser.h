#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "core/common/TestTempFolder.h"
#include "core/palette/Palette.h"

class QWidget;

namespace zobl {
class CBug1App;
class CFGSView;
class Document;
}  // namespace zobl

namespace zobl::monkey {

// What the random user found: a kind (the same kind again means the same fault) and details.
struct Finding : std::runtime_error {
    Finding(std::string kind, const std::string& details)
        : std::runtime_error(kind + ": " + details), kind(std::move(kind)) {}
    std::string kind;
};

// Folders of the user's own (settings, state, cache, runtime, home) in place of the real ones,
// set before the application starts, removed at the end.
class PrivateHome {
public:
    PrivateHome();
    std::string File(const std::string& name) const { return folder_.File(name); }
    // For an end without destructors.
    void RemoveNow() const {
        std::error_code ignored;
        std::filesystem::remove_all(folder_.Path(), ignored);
    }

private:
    test::TempFolder folder_;
};

// A person who knows no fear: drives the whole editor in this process (offscreen, with folders of
// its own) through mouse, keys, menus, tool bars, dialogs, drops and the clipboards, chosen by a
// seeded generator, and checks after every step what must always hold. Every step draws its
// choices from (seed, step) alone, so any run of steps, also a tail that starts elsewhere than
// at 0, replays exactly from a fresh start.
class RandomUser {
public:
    RandomUser(const PrivateHome& home, std::uint64_t seed, bool verbose);
    ~RandomUser();
    RandomUser(const RandomUser&) = delete;
    RandomUser& operator=(const RandomUser&) = delete;

    // Runs steps [from, to) from a fresh start, then the final checks and the exit. Throws Finding.
    void Run(int from, int to);

    int ActionsRun() const noexcept { return actionsRun_; }

private:
    using Bytes = std::vector<std::uint8_t>;
    // What the checker knows of one document's undo steps: the content before each step still
    // kept, oldest first (none where one action took several steps), and the history's counters
    // when it last looked.
    struct History {
        QPointer<Document> doc;
        std::deque<std::optional<Bytes>> steps;
        std::uint64_t recorded = 0;
        std::uint64_t undone = 0;
        Bytes before;
        void TakeCounters(Document& of);
    };
    struct Action {
        const char* name;
        int weight;
        void (RandomUser::*run)();
    };
    static const Action kActions[];

    // ---- The editor's life.
    void PrepareFolder();
    void StartEditor();
    void EndEditor();
    void Settle();

    // ---- The actions.
    void MouseStroke();
    void Wheel();
    void PressKeys();
    void MenuCommand();
    void ChooseMouseMode();
    void ActivateWindow();
    void CloseWindow();
    void ResizeWindow();
    void DropArea();
    void DropFile();
    void FillSystemClipboard();
    void WaitForTicks();
    void WriteRecoveryCopies();
    void Tick(int count);
    // Delivers one event (or one tick) and follows the undo histories across it.
    template <typename Deliver>
    void Tracked(Deliver&& deliver) {
        RememberContents();
        deliver();
        FollowHistories();
    }
    void Restart();

    // ---- Answering what a person would answer: modal dialogs, file prompts, pop-up menus.
    void AnswerModal();
    void Answer(QWidget& waiting);
    void FillFields(QWidget& dialog);
    QString RandomPath();
    QString RandomText();

    // ---- The checks.
    void RememberContents();
    void FollowHistories();
    void CheckAfterStep();
    void CheckThoroughly();
    void WalkUndoHistories();
    void CheckSavedCopy(Document& doc);
    void CheckRendering();
    void CheckTrainPreview(
        const CFGSView& vehicles,
        const std::function<void(const QImage&, QPoint, PaletteIndex, const std::string&)>& requireShown);
    History& HistoryOf(Document& doc);

    // ---- Small helpers.
    int Pick(int count);
    bool Chance(double p);
    std::vector<QWidget*> Surfaces() const;
    std::vector<Document*> Documents() const;

    // Holds back the clock's 5 ms ticks (Tick gives them).
    class HeldTicks : public QObject {
    public:
        bool eventFilter(QObject* watched, QEvent* event) override;
    };

    HeldTicks heldTicks_;
    std::uint64_t seed_;
    bool verbose_;
    std::mt19937_64 random_;
    const PrivateHome& home_;
    QString files_;  // the folder its file prompts and saves use
    std::unique_ptr<CBug1App> app_;
    std::vector<History> histories_;
    std::map<const QWidget*, Bytes> lastShown_;  // each scenery window's pixels at its last look
    QTimer answerer_;
    QPointer<QWidget> lastModal_;
    int modalAttempts_ = 0;
    bool answerPending_ = false;
    std::string stuckDialog_;
    int step_ = 0;
    int actionsRun_ = 0;
    int walkEvery_ = 200;
};

}  // namespace zobl::monkey
