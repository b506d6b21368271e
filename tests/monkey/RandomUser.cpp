#include "monkey/RandomUser.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include "core/clipboard/Clippy.h"
#include "core/scenery/GsFile.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/VehicleDocument.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/drawing/PixelEditView.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/Document.h"
#include "gui/recovery/RecoveryKeeper.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/TrainPreview.h"
#include "gui/vehicles/VehicleTree.h"

namespace zobl::monkey {
namespace {

// Every step's generator comes from the seed and the step alone (SplitMix64 of both).
std::uint64_t Mix(std::uint64_t seed, std::uint64_t step) {
    std::uint64_t z = seed * 0x9E3779B97F4A7C15ULL + step + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string Name(const Document& doc) {
    return doc.Title().toStdString();
}

// What an undo step restores, as bytes: the pixels and row masks of a scenery graphic; the sets,
// cars, texts, flags and planes of a vehicle file. Author and info texts and the trees' view
// state are not part of a step.
std::vector<std::uint8_t> Content(Document& doc) {
    std::vector<std::uint8_t> bytes;
    const auto add = [&bytes](const auto& field) {
        const auto* raw = reinterpret_cast<const std::uint8_t*>(&field);
        bytes.insert(bytes.end(), raw, raw + sizeof(field));
    };
    if (auto* scenery = dynamic_cast<CGSDoc*>(&doc)) {
        const SceneryDocument& model = scenery->Model();
        bytes.assign(model.PixelStore().begin(), model.PixelStore().end());
        for (int symbol = 0; symbol < scenery::kSymbolCount; ++symbol) {
            for (int row = 0; row < scenery::kRowCount; ++row) {
                bytes.push_back(model.IsRowPresent(symbol, row) ? 1 : 0);
            }
        }
    } else if (auto* vehicles = dynamic_cast<CFGSDoc*>(&doc)) {
        for (const VehicleSet& set : vehicles->Model().Content().sets) {
            add(set.name.Field());
            add(set.carCount);
            for (int c = 0; c < set.carCount && c < vehicles::kMaxCars; ++c) {
                const Car& car = set.cars[std::size_t(c)];
                add(car.length);
                add(car.name.Field());
                add(car.text2.Field());
                add(car.text3.Field());
                add(car.segmentFlags);
                add(car.carFlags);
                for (const std::vector<std::uint8_t>& plane : car.planes) {
                    add(plane.size());
                    bytes.insert(bytes.end(), plane.begin(), plane.end());
                }
            }
        }
    }
    return bytes;
}

// The undo history's count and counters, whichever kind the document is.
struct UndoState {
    int count = 0;
    std::uint64_t recorded = 0;
    std::uint64_t undone = 0;
};
UndoState UndoStateOf(Document& doc) {
    const auto of = [](const auto& model) {
        return UndoState{model.UndoCount(), model.RecordedTotal(), model.UndoneTotal()};
    };
    if (auto* scenery = dynamic_cast<CGSDoc*>(&doc)) {
        return of(scenery->Model());
    }
    if (auto* vehicles = dynamic_cast<CFGSDoc*>(&doc)) {
        return of(vehicles->Model());
    }
    return {};
}

void Require(bool condition, const char* kind, const std::string& details) {
    if (!condition) {
        throw Finding(kind, details);
    }
}

// Sends a key press and, unless the press took the widget away, its release.
void TypeKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QPointer<QWidget> widget = target;
    QTest::sendKeyEvent(QTest::Press, widget, key, QTest::keyToAscii(key), modifiers);
    if (widget) {
        QTest::sendKeyEvent(QTest::Release, widget, key, QTest::keyToAscii(key), modifiers);
    }
}

}  // namespace

// One table: what a person does, and how often.
const RandomUser::Action RandomUser::kActions[] = {
    {"mouse stroke", 34, &RandomUser::MouseStroke},
    {"wheel", 3, &RandomUser::Wheel},
    {"keys", 12, &RandomUser::PressKeys},
    {"menu or tool-bar command", 24, &RandomUser::MenuCommand},
    {"mouse mode", 8, &RandomUser::ChooseMouseMode},
    {"activate window", 4, &RandomUser::ActivateWindow},
    {"close window", 2, &RandomUser::CloseWindow},
    {"resize window", 3, &RandomUser::ResizeWindow},
    {"drop area", 4, &RandomUser::DropArea},
    {"drop file", 2, &RandomUser::DropFile},
    {"system clipboard", 2, &RandomUser::FillSystemClipboard},
    {"wait for ticks", 1, &RandomUser::WaitForTicks},
    {"recovery copies", 1, &RandomUser::WriteRecoveryCopies},
    {"restart", 1, &RandomUser::Restart},
};

PrivateHome::PrivateHome() {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                             "XDG_RUNTIME_DIR", "HOME"}) {
        const std::string folder = folder_.File(name);
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        qputenv(name, QByteArray::fromStdString(folder));
    }
    // Names the user types are relative to the working folder: keep what they create in here,
    // not in the folder the run started from.
    std::filesystem::current_path(folder_.File("HOME"));
}

RandomUser::RandomUser(const PrivateHome& home, std::uint64_t seed, bool verbose)
    : seed_(seed), verbose_(verbose), random_(Mix(seed, ~0ULL)), home_(home) {
    walkEvery_ = 100 + int(random_() % 400);
    files_ = QString::fromStdString(home_.File("files"));
    QCoreApplication::instance()->installEventFilter(&heldTicks_);
    answerer_.setInterval(2);
    QObject::connect(&answerer_, &QTimer::timeout, [this] { AnswerModal(); });
}

RandomUser::~RandomUser() {
    answerer_.stop();
    if (app_) {
        app_->ExitInstance();
        app_.reset();
    }
}

bool RandomUser::HeldTicks::eventFilter(QObject* watched, QEvent* event) {
    const auto* timer = qobject_cast<QTimer*>(watched);
    return event->type() == QEvent::Timer && timer != nullptr &&
           timer->interval() == CMainFrame::kTickMilliseconds;
}

// ---- The editor's life -------------------------------------------------------------------------

// The files it starts with: a scenery graphic with its rows, a vehicle file with two sets, and
// files that are no graphics at all.
void RandomUser::PrepareFolder() {
    std::filesystem::remove_all(files_.toStdString());
    QDir().mkpath(files_);
    SceneryDocument scenery;
    for (int i = 0; i < 200; ++i) {
        scenery.SetPixel(i % 36, 0, (i * 7) % 32, (i * 5) % 16, PaletteIndex(i % 100), MouseMode::Freehand);
    }
    scenery.AddRow(3, 2, 0);  // rows above the base row stand on the row below them
    scenery.AddRow(3, 1, 0);
    scenery.AddRow(7, 4, 0);
    SaveGsFile((files_ + "/start.gs").toStdString(), scenery);
    VehicleDocument vehicles;
    vehicles.AddVehicleSet("Zug", MouseMode::Freehand);
    vehicles.AddCar(0, 0, "Lok", "", "", 3, nullptr, MouseMode::Freehand);
    vehicles.AddCar(0, 1, "Wagen", "", "", 2, nullptr, MouseMode::Freehand);
    vehicles.AddVehicleSet("Kurz", MouseMode::Freehand);
    vehicles.AddCar(1, 0, "Draisine", "", "", 1, nullptr, MouseMode::Freehand);
    for (int x = 0; x < 24; ++x) {
        vehicles.SetPixel(0, 0, 1, x, x % 14, PaletteIndex(x * 4 % 100), false, MouseMode::Freehand);
    }
    SaveFgsFile((files_ + "/start.fgs").toStdString(), vehicles);
    std::ofstream(files_.toStdString() + "/empty.fgs");
    std::ofstream(files_.toStdString() + "/notes.gs") << "no graphic";
    std::ofstream(files_.toStdString() + "/half.gs", std::ios::binary)
        << std::string(reinterpret_cast<const char*>(WriteGs(scenery).data()), 3000);
}

void RandomUser::StartEditor() {
    AppOptions options;
    options.infoBox = [](const QString&, const QString&) {};
    options.openUrl = [](const QUrl&) { return true; };
    options.helpFile = files_ + "/help/index.html";
    options.lockKeys = [] { return LockKeyStates{}; };
    options.automation = false;
    options.recoveryRoot = QString::fromStdString(home_.File("recovery"));
    options.recoveryIntervalMs = 3'600'000;  // WriteRecoveryCopies
    app_ = std::make_unique<CBug1App>(options);
    answerer_.start();
    Require(app_->InitInstance({}), "start", "the editor did not start");
    Settle();
}

// Closes the main window as a person does; the questions are answered at random, so the window
// may stay. Returns with the editor ended or still running.
void RandomUser::EndEditor() {
    if (app_->MainFrame() != nullptr && app_->MainFrame()->isVisible()) {
        app_->MainFrame()->close();
        Settle();
    }
    if (app_->MainFrame() == nullptr || !app_->MainFrame()->isVisible()) {
        app_->ExitInstance();
        app_.reset();
        histories_.clear();
    }
}

void RandomUser::Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- The run ----------------------------------------------------------------------------------

void RandomUser::Run(int from, int to) {
    PrepareFolder();
    StartEditor();
    app_->OpenDocumentFile(files_ + "/start.gs");
    app_->OpenDocumentFile(files_ + "/start.fgs");
    Settle();
    int total = 0;
    for (const Action& action : kActions) {
        total += action.weight;
    }
    for (step_ = from; step_ < to; ++step_) {
        random_.seed(Mix(seed_, std::uint64_t(step_)));
        int roll = Pick(total);
        const Action* chosen = &kActions[0];
        for (const Action& action : kActions) {
            if (roll < action.weight) {
                chosen = &action;
                break;
            }
            roll -= action.weight;
        }
        // What would depend on the time between two events depends on the step instead.
        QApplication::setDoubleClickInterval(Chance(0.5) ? 1 : 1'000'000);
        QApplication::setKeyboardInputInterval(Chance(0.5) ? 1 : 1'000'000);
        std::printf("STEP %d %s\n", step_, chosen->name);
        std::fflush(stdout);
        RememberContents();
        (this->*chosen->run)();
        Settle();
        ++actionsRun_;
        Require(stuckDialog_.empty(), "dialog", "a dialog that no answer closes: " + stuckDialog_);
        if (!app_ || app_->MainFrame() == nullptr || !app_->MainFrame()->isVisible()) {
            // "Beenden" or a closed main window: the next session starts.
            if (app_) {
                EndEditor();
            }
            StartEditor();
            continue;
        }
        FollowHistories();
        CheckAfterStep();
        if ((step_ + 1) % 40 == 0) {
            CheckThoroughly();
        }
        if ((step_ + 1) % walkEvery_ == 0) {
            WalkUndoHistories();
        }
    }
    random_.seed(Mix(seed_, std::uint64_t(to)));
    CheckThoroughly();
    WalkUndoHistories();
    EndEditor();
    if (app_) {
        // Somebody kept a document open: the program ends anyway.
        app_->ExitInstance();
        app_.reset();
    }
    answerer_.stop();
}

// ---- The actions -------------------------------------------------------------------------------

// Press, moves and release with one button (sometimes a second button joins, sometimes Escape
// comes between), inside and outside the surface, or a double-click as real input makes it.
void RandomUser::MouseStroke() {
    const std::vector<QWidget*> surfaces = Surfaces();
    if (surfaces.empty()) {
        return;
    }
    QPointer<QWidget> target = surfaces[std::size_t(Pick(int(surfaces.size())))];
    const QSize size = target->size();
    const auto point = [&] {
        if (Chance(0.85)) {
            return QPoint(Pick(std::max(1, size.width())), Pick(std::max(1, size.height())));
        }
        return QPoint(Pick(size.width() + 200) - 100, Pick(size.height() + 200) - 100);
    };
    static constexpr Qt::MouseButton kButtons[] = {Qt::LeftButton, Qt::LeftButton, Qt::RightButton,
                                                   Qt::MiddleButton};
    static constexpr Qt::KeyboardModifiers kModifiers[] = {Qt::NoModifier,
                                                           Qt::NoModifier,
                                                           Qt::NoModifier,
                                                           Qt::ControlModifier,
                                                           Qt::ShiftModifier,
                                                           Qt::AltModifier,
                                                           Qt::ControlModifier | Qt::ShiftModifier};
    const Qt::MouseButton button = kButtons[Pick(4)];
    const Qt::KeyboardModifiers modifiers = kModifiers[Pick(7)];
    // Each event on its own, so that the checker sees every undo step the moment it is taken.
    const auto press = [&](Qt::MouseButton which, QPoint at) {
        Tracked([&] { QTest::mousePress(target, which, modifiers, at); });
    };
    const auto release = [&](Qt::MouseButton which, QPoint at) {
        if (target) {
            Tracked([&] { QTest::mouseRelease(target, which, modifiers, at); });
        }
    };
    const auto send = [&](QEvent::Type type, Qt::MouseButton which, Qt::MouseButtons held, QPoint at) {
        if (target) {
            QMouseEvent event(type, at, target->mapToGlobal(at), which, held, modifiers);
            Tracked([&] { QApplication::sendEvent(target, &event); });
        }
    };
    const QPoint start = point();
    if (Chance(0.1)) {
        press(button, start);
        release(button, start);
        send(QEvent::MouseButtonDblClick, button, button, start);
        release(button, start);
        return;
    }
    press(button, start);
    QPoint at = start;
    const int moves = Pick(9);
    for (int i = 0; i < moves && target; ++i) {
        at = point();
        send(QEvent::MouseMove, Qt::NoButton, button, at);
        if (Chance(0.05) && target) {
            Tracked([&] { TypeKey(target, Qt::Key_Escape, Qt::NoModifier); });
        }
        if (Chance(0.05) && target) {
            const Qt::MouseButton other = button == Qt::LeftButton ? Qt::RightButton : Qt::LeftButton;
            press(other, at);
            release(other, at);
        }
        if (Chance(0.1)) {
            Tick(1 + Pick(4));  // scrolling by itself while the pointer is outside, the marching frame
        }
    }
    release(button, at);
}

void RandomUser::Wheel() {
    const std::vector<QWidget*> surfaces = Surfaces();
    if (surfaces.empty()) {
        return;
    }
    QWidget* target = surfaces[std::size_t(Pick(int(surfaces.size())))];
    const QPoint at(Pick(std::max(1, target->width())), Pick(std::max(1, target->height())));
    const int delta = (Pick(2) == 0 ? 1 : -1) * 120 * (1 + Pick(3));
    QWheelEvent wheel(at, target->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton,
                      Chance(0.5) ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
    Tracked([&] { QApplication::sendEvent(target, &wheel); });
}

// The editor's own keys (taken from its actions, so new ones join by themselves) and the keys
// every window knows, to whatever has the focus.
void RandomUser::PressKeys() {
    std::vector<QKeyCombination> keys;
    for (const auto& [id, action] : app_->MainFrame()->Router().Actions()) {
        for (const QKeySequence& sequence : action->shortcuts()) {
            if (!sequence.isEmpty()) {
                keys.push_back(sequence[0]);
            }
        }
    }
    static constexpr Qt::Key kCommon[] = {
        Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,    Qt::Key_Down, Qt::Key_Delete, Qt::Key_Escape,
        Qt::Key_Return, Qt::Key_Tab,   Qt::Key_Space, Qt::Key_Plus, Qt::Key_Minus,  Qt::Key_Insert,
        Qt::Key_A,      Qt::Key_C,     Qt::Key_V,     Qt::Key_Z,    Qt::Key_Y,      Qt::Key_1,
        Qt::Key_Home,   Qt::Key_End,   Qt::Key_F1,    Qt::Key_F6,   Qt::Key_Menu,   Qt::Key_Backspace};
    static constexpr Qt::KeyboardModifiers kModifiers[] = {Qt::NoModifier, Qt::ControlModifier,
                                                           Qt::ShiftModifier, Qt::AltModifier};
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = app_->MainFrame();
    }
    const int count = 1 + Pick(3);
    for (int i = 0; i < count && app_->MainFrame() != nullptr && app_->MainFrame()->isVisible(); ++i) {
        if (!keys.empty() && Chance(0.5)) {
            const QKeyCombination key = keys[std::size_t(Pick(int(keys.size())))];
            Tracked([&] { TypeKey(target, key.key(), key.keyboardModifiers()); });
        } else {
            const Qt::Key key = kCommon[Pick(int(std::size(kCommon)))];
            const Qt::KeyboardModifiers modifier = kModifiers[Pick(4)];
            Tracked([&] { TypeKey(target, key, modifier); });
        }
        target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : app_->MainFrame();
    }
}

// Any item of the menu bar on show or of the tool bars that is enabled now, as a click on it.
void RandomUser::MenuCommand() {
    CMainFrame& frame = *app_->MainFrame();
    frame.Router().UpdateAll();
    std::vector<QAction*> items;
    std::vector<QMenu*> menus{frame.CurrentMenu()};
    while (!menus.empty()) {
        QMenu* menu = menus.back();
        menus.pop_back();
        if (menu == nullptr) {
            continue;
        }
        emit menu->aboutToShow();  // the recent files and the window list fill themselves now
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr) {
                menus.push_back(action->menu());
            } else if (!action->isSeparator() && action->isEnabled()) {
                items.push_back(action);
            }
        }
    }
    for (QToolBar* bar : {frame.MainToolBar(), frame.ModeToolBar()}) {
        for (QAction* action : bar->actions()) {
            if (!action->isSeparator() && action->isEnabled()) {
                items.push_back(action);
            }
        }
    }
    if (items.empty()) {
        return;
    }
    QAction* chosen = items[std::size_t(Pick(int(items.size())))];
    if (verbose_) {
        const std::optional<CommandId> id = CommandRouter::CommandOf(chosen);
        std::printf("  command %d %s\n", id ? int(*id) : 0, chosen->text().toLocal8Bit().constData());
        std::fflush(stdout);
    }
    chosen->trigger();
}

void RandomUser::ChooseMouseMode() {
    const int mode = Pick(kMouseModeCount);
    if (verbose_) {
        std::printf("  mode %d\n", mode);
    }
    app_->MainFrame()->Router().Execute(kMouseModeCommands[std::size_t(mode)]);
}

void RandomUser::ActivateWindow() {
    const QList<QMdiSubWindow*> windows = app_->MainFrame()->MdiArea()->subWindowList();
    if (!windows.isEmpty()) {
        app_->MainFrame()->MdiArea()->setActiveSubWindow(windows[Pick(int(windows.size()))]);
    }
}

void RandomUser::CloseWindow() {
    const QList<QMdiSubWindow*> windows = app_->MainFrame()->MdiArea()->subWindowList();
    if (!windows.isEmpty()) {
        windows[Pick(int(windows.size()))]->close();
    }
}

void RandomUser::ResizeWindow() {
    const QList<QMdiSubWindow*> windows = app_->MainFrame()->MdiArea()->subWindowList();
    if (windows.isEmpty() || Chance(0.2)) {
        app_->MainFrame()->resize(200 + Pick(900), 150 + Pick(700));
        return;
    }
    QMdiSubWindow* window = windows[Pick(int(windows.size()))];
    switch (Pick(4)) {
        case 0:
            window->showMaximized();
            break;
        case 1:
            window->showMinimized();
            break;
        case 2:
            window->showNormal();
            break;
        default:
            window->resize(Pick(900), Pick(700));
            break;
    }
}

// An area as another window (or another editor) drags it: the editor's clipboard or a random
// one, over one or more points of a surface, then dropped or taken away again.
void RandomUser::DropArea() {
    const std::vector<QWidget*> surfaces = Surfaces();
    if (surfaces.empty()) {
        return;
    }
    QPointer<QWidget> target = surfaces[std::size_t(Pick(int(surfaces.size())))];
    CClippy random;
    const CClippy* area = &app_->Clipboard();
    if (!area->HasArea() || Chance(0.5)) {
        random.SetSize(1 + Pick(Chance(0.8) ? 40 : 300), 1 + Pick(Chance(0.8) ? 20 : 120));
        const auto value = std::uint8_t(Pick(100));
        for (int y = 0; y < random.Height(); ++y) {
            for (int x = 0; x < random.Width(); ++x) {
                random.Set(x, y, std::uint8_t((value + x / 3 + y) % 100));
            }
        }
        area = &random;
    }
    std::unique_ptr<QMimeData> mime(PixelEditView::MakeDragData(std::uint8_t(Pick(2)), *area));
    QPoint at(Pick(std::max(1, target->width())), Pick(std::max(1, target->height())));
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    for (int i = Pick(4); i >= 0 && target; --i) {
        at = QPoint(Pick(std::max(1, target->width())), Pick(std::max(1, target->height())));
        QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        Tracked([&] { QApplication::sendEvent(target, &move); });
    }
    if (!target) {
        return;
    }
    if (Chance(0.2)) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
    } else {
        QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
        Tracked([&] { QApplication::sendEvent(target, &drop); });
    }
}

// Files from a file manager onto the main window.
void RandomUser::DropFile() {
    QList<QUrl> urls;
    for (int i = 0; i < 1 + Pick(2); ++i) {
        urls << QUrl::fromLocalFile(RandomPath());
    }
    QMimeData mime;
    mime.setUrls(urls);
    CMainFrame* frame = app_->MainFrame();
    const QPoint at(frame->width() / 2, frame->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame, &drop);
}

// What another program left on the system clipboard: a picture of any size, text, or nothing.
void RandomUser::FillSystemClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    switch (Pick(4)) {
        case 0:
            clipboard->clear();
            break;
        case 1:
            clipboard->setText(RandomText());
            break;
        default: {
            QImage image(1 + Pick(Chance(0.9) ? 60 : 1300), 1 + Pick(Chance(0.9) ? 30 : 200),
                         Chance(0.5) ? QImage::Format_ARGB32 : QImage::Format_RGB888);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    image.setPixelColor(
                        x, y,
                        QColor(int(Mix(x, y) % 256), (x * 37) % 256, (y * 91) % 256, Pick(3) == 0 ? 0 : 255));
                }
            }
            clipboard->setImage(image);
        }
    }
}

void RandomUser::WaitForTicks() {
    Tick(Pick(60));
}

// The recovery copies come from the user's steps, not the clock.
void RandomUser::WriteRecoveryCopies() {
    app_->Recovery()->WriteDueCopies();
}

// The 5 ms tick, as many times as a step wants: the clock's own ticks are held back, so that a
// run does not depend on how fast the machine is.
void RandomUser::Tick(int count) {
    for (int i = 0; i < count && app_ && app_->MainFrame() != nullptr; ++i) {
        if (app_->MainFrame()->IsTickTimerActive()) {
            Tracked([this] { app_->MainFrame()->OnTick(); });
        }
    }
}

void RandomUser::Restart() {
    EndEditor();
}

// ---- Answers ------------------------------------------------------------------------------------

// Whatever waits for the user: a pop-up menu gets a click on one of its items or Escape; a
// modal dialog gets random field values and a click on one of its buttons (a file prompt a path
// in the user's folder). A dialog that will not go after many answers is closed, then reported.
void RandomUser::AnswerModal() {
    QWidget* waiting = QApplication::activePopupWidget();
    if (waiting == nullptr) {
        waiting = QApplication::activeModalWidget();
    }
    if (waiting == nullptr || !waiting->isVisible() || answerPending_) {
        return;
    }
    modalAttempts_ = waiting == lastModal_ ? modalAttempts_ + 1 : 0;
    lastModal_ = waiting;
    // The answer comes from the event loop, not from this timer's slot: a dialog that the answer
    // opens in turn runs its loop there, and this timer must be free to answer it as well.
    answerPending_ = true;
    QTimer::singleShot(0, [this, target = QPointer<QWidget>(waiting)] {
        answerPending_ = false;
        if (target && target->isVisible()) {
            Answer(*target);
        }
    });
}

void RandomUser::Answer(QWidget& waiting) {
    if (verbose_) {
        std::printf("  answer %s \"%s\"\n", waiting.metaObject()->className(),
                    waiting.windowTitle().toLocal8Bit().constData());
    }
    if (auto* popup = qobject_cast<QMenu*>(&waiting)) {
        std::vector<QAction*> items;
        for (QAction* action : popup->actions()) {
            if (!action->isSeparator() && action->isEnabled() && action->isVisible() &&
                action->menu() == nullptr) {
                items.push_back(action);
            }
        }
        if (items.empty() || Chance(0.15)) {
            TypeKey(popup, Qt::Key_Escape, Qt::NoModifier);
        } else {
            popup->setActiveAction(items[std::size_t(Pick(int(items.size())))]);
            TypeKey(popup, Qt::Key_Return, Qt::NoModifier);
        }
        return;
    }
    auto* dialog = qobject_cast<QDialog*>(&waiting);
    if (modalAttempts_ > 60 || dialog == nullptr) {
        // Reported after the step: an exception must not cross the dialog's event loop.
        stuckDialog_ = waiting.metaObject()->className() + std::string(" \"") +
                       waiting.windowTitle().toStdString() + "\"";
        waiting.close();
        return;
    }
    if (modalAttempts_ > 30) {
        dialog->reject();
        return;
    }
    if (auto* prompt = qobject_cast<QFileDialog*>(dialog)) {
        if (Chance(0.2)) {
            prompt->reject();
        } else {
            prompt->selectFile(Chance(0.2) && prompt->fileMode() == QFileDialog::Directory ? files_
                                                                                           : RandomPath());
            dialog->accept();  // as its button does
        }
        return;
    }
    if (Chance(0.7)) {
        FillFields(*dialog);
    }
    std::vector<QAbstractButton*> buttons;
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->isEnabled() && !qobject_cast<QCheckBox*>(button) &&
            !qobject_cast<QRadioButton*>(button)) {
            buttons.push_back(button);
        }
    }
    if (buttons.empty() || Chance(0.1)) {
        TypeKey(dialog, Chance(0.5) ? Qt::Key_Escape : Qt::Key_Return, Qt::NoModifier);
    } else {
        buttons[std::size_t(Pick(int(buttons.size())))]->click();
    }
}

// Random values, valid and invalid, as a person types or picks them.
void RandomUser::FillFields(QWidget& dialog) {
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly() && Chance(0.5) &&
            qobject_cast<QSpinBox*>(edit->parentWidget()) == nullptr) {
            edit->setText(RandomText());
        }
    }
    for (QSpinBox* spin : dialog.findChildren<QSpinBox*>()) {
        if (spin->isVisible() && spin->isEnabled() && Chance(0.5)) {
            spin->setValue(spin->minimum() + Pick(spin->maximum() - spin->minimum() + 1));
        }
    }
    for (QComboBox* combo : dialog.findChildren<QComboBox*>()) {
        if (combo->isVisible() && combo->isEnabled() && combo->count() > 0 && Chance(0.5)) {
            combo->setCurrentIndex(Pick(combo->count()));
        }
    }
    for (QAbstractButton* box : dialog.findChildren<QAbstractButton*>()) {
        if ((qobject_cast<QCheckBox*>(box) || qobject_cast<QRadioButton*>(box)) && box->isVisible() &&
            box->isEnabled() && Chance(0.3)) {
            box->click();
        }
    }
    for (QListWidget* list : dialog.findChildren<QListWidget*>()) {
        if (list->isVisible() && list->count() > 0 && Chance(0.5)) {
            list->setCurrentRow(Pick(list->count()));
        }
    }
    for (QTreeWidget* tree : dialog.findChildren<QTreeWidget*>()) {
        if (tree->isVisible() && tree->topLevelItemCount() > 0 && Chance(0.5)) {
            tree->setCurrentItem(tree->topLevelItem(Pick(tree->topLevelItemCount())));
        }
    }
    for (QPlainTextEdit* text : dialog.findChildren<QPlainTextEdit*>()) {
        if (text->isVisible() && !text->isReadOnly() && Chance(0.3)) {
            text->setPlainText(RandomText() + "\n" + RandomText());
        }
    }
}

// A path in the user's folder: a file that is there, a new name, a missing folder, the folder
// itself, or names with spaces, umlauts and no extension.
QString RandomUser::RandomPath() {
    const QStringList present = QDir(files_).entryList(QDir::Files);
    switch (Pick(8)) {
        case 0:
        case 1:
        case 2:
            if (!present.isEmpty()) {
                return files_ + "/" + present[Pick(int(present.size()))];
            }
            [[fallthrough]];
        case 3:
            return files_ + QStringLiteral("/neu%1.gs").arg(Pick(5));
        case 4:
            return files_ + QStringLiteral("/Zug ö%1.fgs").arg(Pick(5));
        case 5:
            return files_ + "/fehlt/x.gs";
        case 6:
            return files_ + QStringLiteral("/ohne%1").arg(Pick(3));
        default:
            return files_;
    }
}

QString RandomUser::RandomText() {
    static const QString kTexts[] = {"",      "A",      "Zug 1", "0",        "1",   "8",
                                     "32",    "33",     "-1",    "99999999", "abc", "Güterwagen €",
                                     "%s %d", "a\\b/c", "_LEER", "  "};
    if (Chance(0.85)) {
        return kTexts[Pick(int(std::size(kTexts)))];
    }
    QString text;
    const int length = Pick(Chance(0.5) ? 30 : 3000);
    for (int i = 0; i < length; ++i) {
        text += QChar(char16_t(Chance(0.9) ? 32 + Pick(95) : 160 + Pick(600)));
    }
    return text;
}

// ---- Checks -------------------------------------------------------------------------------------

void RandomUser::History::TakeCounters(Document& of) {
    const UndoState state = UndoStateOf(of);
    recorded = state.recorded;
    undone = state.undone;
}

RandomUser::History& RandomUser::HistoryOf(Document& doc) {
    for (History& history : histories_) {
        if (history.doc == &doc) {
            return history;
        }
    }
    History& history = histories_.emplace_back();
    history.doc = &doc;
    history.steps.assign(std::size_t(UndoStateOf(doc).count), std::nullopt);
    history.TakeCounters(doc);
    return history;
}

void RandomUser::RememberContents() {
    std::erase_if(histories_, [](const History& history) { return history.doc.isNull(); });
    if (!app_) {
        return;
    }
    for (Document* doc : Documents()) {
        History& history = HistoryOf(*doc);
        history.before = Content(*doc);
        history.TakeCounters(*doc);
    }
}

// What the last action did to each history, from its counters: new steps hold the content
// before the action (the first of them; further ones in the same action are unknown), undone
// steps leave, and the oldest go when the history is full.
void RandomUser::FollowHistories() {
    for (History& history : histories_) {
        Document* doc = history.doc.data();
        if (doc == nullptr || doc->IsClosing()) {
            continue;
        }
        const auto [undoCount, recorded, undone] = UndoStateOf(*doc);
        const auto count = std::size_t(undoCount);
        if (recorded < history.recorded || undone < history.undone ||
            (recorded > history.recorded && undone > history.undone)) {
            history.steps.assign(count, std::nullopt);  // a new history, or steps in unknown order
        } else if (recorded > history.recorded) {
            history.steps.push_back(history.before);
            for (std::uint64_t i = history.recorded + 1; i < recorded; ++i) {
                history.steps.push_back(std::nullopt);
            }
        } else {
            for (std::uint64_t i = history.undone; i < undone && !history.steps.empty(); ++i) {
                history.steps.pop_back();
            }
        }
        while (history.steps.size() > count) {
            history.steps.pop_front();
        }
        while (history.steps.size() < count) {
            history.steps.push_front(std::nullopt);
        }
        history.recorded = recorded;
        history.undone = undone;
    }
}

// The cheap checks of every step: nobody left waiting, no tick without a reason, every window's
// state within its ranges.
void RandomUser::CheckAfterStep() {
    Require(QApplication::activeModalWidget() == nullptr, "dialog",
            "a modal dialog stays open after the step");
    Require(QApplication::activePopupWidget() == nullptr, "dialog",
            "a pop-up menu stays open after the step");
    CMainFrame& frame = *app_->MainFrame();
    Require(frame.IsTickTimerActive() == app_->Documents().AnyDocumentWantsTicks(), "timer",
            frame.IsTickTimerActive() ? "the 5 ms tick runs with no window that wants it"
                                      : "a window wants the tick, but it does not run");
    const std::vector<Document*> documents = Documents();
    const bool anyModified = std::any_of(documents.begin(), documents.end(),
                                         [](const Document* doc) { return doc->IsModified(); });
    Require(app_->Recovery()->TimerRunning() == anyModified, "timer",
            anyModified ? "a document is modified, but no recovery copy is due"
                        : "the recovery timer runs with no modified document");
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        auto* child = qobject_cast<CChildFrame*>(window);
        View* view = child != nullptr ? child->GetView() : nullptr;
        Require(view != nullptr && child->GetDocument() != nullptr, "window",
                "a window without view or document");
        if (auto* scenery = dynamic_cast<CGSView*>(view)) {
            Require(scenery->Zoom() >= PixelEditView::kMinZoom && scenery->Zoom() <= PixelEditView::kMaxZoom,
                    "range", "scenery zoom " + std::to_string(scenery->Zoom()));
            const PixelRect mark = scenery->Marked().Rect();
            Require(scenery->Marked().IsEmpty() || (WholeStoreRect().Contains({mark.x0, mark.y0}) &&
                                                    WholeStoreRect().Contains({mark.x1 - 1, mark.y1 - 1})),
                    "range", "a scenery mark outside the picture");
        } else if (auto* vehicles = dynamic_cast<CFGSView*>(view)) {
            const VehicleDocument& model = static_cast<CFGSDoc*>(child->GetDocument())->Model();
            if (const std::optional<VehicleTreeTarget> target = vehicles->SelectedTarget()) {
                Require(target->set >= 0 && target->set < model.CountSets(), "range",
                        "the tree selects set " + std::to_string(target->set));
                Require(target->car < model.CountCars(target->set), "range",
                        "the tree selects car " + std::to_string(target->car));
            }
            std::vector<std::int32_t> states(vehicles::kMaxSets + 1);
            Require(vehicles->CaptureTreeStates(states) == std::size_t(model.CountSets()), "range",
                    "the tree does not show one item per set");
            const CCarEdi& editor = *vehicles->CarEditor();
            Require(editor.Zoom() >= PixelEditView::kMinZoom && editor.Zoom() <= PixelEditView::kMaxZoom,
                    "range", "car editor zoom " + std::to_string(editor.Zoom()));
            if (editor.ShowsView()) {
                const Car& car = model.CarAt(editor.ShownSet(), editor.ShownCar());
                Require(car.length > 0, "range", "the car editor shows a car that is not there");
                if (const std::optional<PixelRect> mark = editor.MarkRect()) {
                    const int width = vehicles::ViewWidth(editor.ShownView(), car.length);
                    const int height = vehicles::ViewHeight(editor.ShownView(), car.length);
                    Require(mark->x0 >= 0 && mark->y0 >= 0 && mark->x1 < width && mark->y1 < height &&
                                mark->x0 <= mark->x1 && mark->y0 <= mark->y1,
                            "range", "a car mark outside the view");
                }
            }
        }
    }
}

// The costly checks: undo one step and redo it, every document saved and read back, and what
// the windows show against the documents' pixels.
void RandomUser::CheckThoroughly() {
    if (!app_) {
        return;
    }
    RememberContents();
    for (Document* doc : Documents()) {
        History& history = HistoryOf(*doc);
        if (!history.steps.empty()) {
            const Bytes now = Content(*doc);
            doc->OnCommand(ID_EDIT_UNDO);
            Settle();
            Require(!history.steps.back() || Content(*doc) == *history.steps.back(), "undo",
                    Name(*doc) + ": one undo does not give back the content before the last step");
            doc->OnCommand(ID_EDIT_REDO);
            Settle();
            Require(Content(*doc) == now, "redo",
                    Name(*doc) + ": redo does not give back the content before the undo");
            history.TakeCounters(*doc);
        }
        CheckSavedCopy(*doc);
    }
    CheckRendering();
}

// Undo as far as the history goes: each step gives back the content the checker kept for it;
// then the one redo gives back the content before the last undo.
void RandomUser::WalkUndoHistories() {
    if (!app_) {
        return;
    }
    RememberContents();
    for (Document* doc : Documents()) {
        History& history = HistoryOf(*doc);
        const std::size_t count = history.steps.size();
        if (count == 0) {
            continue;
        }
        std::vector<Bytes> seen{Content(*doc)};
        for (std::size_t i = 1; i <= count; ++i) {
            doc->OnCommand(ID_EDIT_UNDO);
            seen.push_back(Content(*doc));
            const std::optional<Bytes>& kept = history.steps[count - i];
            Require(!kept || seen.back() == *kept, "undo",
                    Name(*doc) + ": undo " + std::to_string(i) + " of " + std::to_string(count) +
                        " does not give back the content kept for that step");
        }
        Require(UndoStateOf(*doc).count == 0, "undo", Name(*doc) + ": steps left after undoing all of them");
        Settle();
        doc->OnCommand(ID_EDIT_REDO);
        Settle();
        Require(Content(*doc) == seen[count - 1], "redo",
                Name(*doc) +
                    ": redo after undoing everything does not give back the content before the last undo");
        history.steps.assign(1, seen[count]);
        history.TakeCounters(*doc);
    }
}

// What a save writes reads back as the same content, and writes again as the same bytes.
void RandomUser::CheckSavedCopy(Document& doc) {
    const std::string path = home_.File("copy");
    doc.WriteCopy(path);
    std::ifstream file(path, std::ios::binary);
    const Bytes written{std::istreambuf_iterator<char>(file), {}};
    if (dynamic_cast<CGSDoc*>(&doc) != nullptr) {
        SceneryDocument read;
        ReadGs(written, path, read);
        Require(WriteGs(read) == written, "save",
                Name(doc) + ": the saved scenery file does not read back the same");
    } else if (dynamic_cast<CFGSDoc*>(&doc) != nullptr) {
        VehicleDocument read;
        const FgsReadResult result = ReadFgs(written, FgsDefaults{}, read);
        Require(!result.damaged, "save",
                Name(doc) + ": the saved vehicle file reads as damaged: " + result.detail);
        Require(WriteFgs(read) == written, "save",
                Name(doc) + ": the saved vehicle file does not read back the same");
    }
}

// A few pixels of every window, through the window's own painting, against the document's
// pixel and the palette's colour for it.
void RandomUser::CheckRendering() {
    const Palette& palette = app_->GetPalette();
    const auto isSpecial = [](PaletteIndex value) { return value == 56 || value == 97 || value == 99; };
    const auto requireShown = [&palette](const QImage& picture, QPoint at, PaletteIndex value,
                                         const std::string& where) {
        const QRgb shown = picture.pixel(at) & 0xFFFFFFu;
        const Rgb colour = palette.CurrentColour(value);
        const QRgb expected = qRgb(colour.red, colour.green, colour.blue) & 0xFFFFFFu;
        char details[96];
        std::snprintf(details, sizeof details, " at %d,%d shows %06x, not colour %d (%06x)", at.x(), at.y(),
                      shown, int(value), expected);
        Require(shown == expected, "render", where + details);
    };
    // The points looked at are the centres of the magnified pixels. Grid lines cover the first
    // screen line of a magnified pixel and the last one of a cell or area: at zoom 3 and more
    // they miss the centre; below that, a window with a grid shown is not looked at.
    const GeneralSettings& settings = app_->Settings();
    const auto gridHides = [&settings](int zoom) {
        return zoom < 3 && (settings.cellGrid || (settings.pixelGrid && zoom >= settings.showPixelGrid));
    };
    std::map<const QWidget*, Bytes> lastShown;  // windows that are gone drop out
    lastShown.swap(lastShown_);
    for (QMdiSubWindow* window : app_->MainFrame()->MdiArea()->subWindowList()) {
        if (!window->isVisible() || window->isMinimized()) {
            continue;
        }
        View* view = qobject_cast<CChildFrame*>(window)->GetView();
        if (auto* scenery = dynamic_cast<CGSView*>(view)) {
            lastShown_[scenery] = std::move(lastShown[scenery]);
            if (scenery->PreviewShown() || gridHides(scenery->Zoom())) {
                continue;
            }
            const SceneryDocument& model = static_cast<CGSDoc*>(scenery->GetDocument())->Model();
            const QImage picture = scenery->viewport()->grab().toImage();
            // Pixels anywhere in the window, and pixels that changed since the last look.
            std::vector<PixelAddress> pixels;
            for (int i = 0; i < 40; ++i) {
                if (const auto hit =
                        scenery->HitTestWindow({Pick(picture.width()), Pick(picture.height())})) {
                    pixels.push_back(*hit);
                }
            }
            Bytes& shownBefore = lastShown_[scenery];
            const std::span<const std::uint8_t> store = model.PixelStore();
            std::vector<PixelAddress> changed;
            for (std::size_t i = 0; i < shownBefore.size() && i < store.size(); ++i) {
                if (shownBefore[i] != store[i]) {
                    changed.push_back(PixelAddress::FromAbsolute(
                        {int(i % scenery::kStoreWidth),
                         scenery::kStoreHeight - 1 - int(i / scenery::kStoreWidth)}));
                }
            }
            for (int i = 0; i < 40 && !changed.empty(); ++i) {
                pixels.push_back(changed[std::size_t(Pick(int(changed.size())))]);
            }
            shownBefore.assign(store.begin(), store.end());
            const PixelRect mark = scenery->Marked().Rect();
            for (const PixelAddress& pixel : pixels) {
                // The picture lies one line below the squares the tools and marks use.
                const QPoint at = scenery->WindowPointOf(pixel) + QPoint(0, scenery->Zoom() == 1 ? 1 : 0);
                const PaletteIndex value = model.GetPixel(pixel.symbol, pixel.row, pixel.x, pixel.y);
                const PixelPoint p = pixel.Absolute();
                const bool nearMark = !scenery->Marked().IsEmpty() && p.x >= mark.x0 - 1 && p.x <= mark.x1 &&
                                      p.y >= mark.y0 - 1 && p.y <= mark.y1;
                // The last line of the picture lies beyond the window's extent: at zoom 1 the
                // bottom line of the pixels is not shown.
                const bool beyond =
                    at.y() + scenery->ScrollPosition().y() >= scenery->Geometry().ExtentHeight();
                // At zoom 1 the point is also where the mark of the pixel below goes.
                const PixelAddress below = PixelAddress::FromAbsolute({p.x, p.y + 1});
                const bool markBelow = scenery->Zoom() == 1 && below.IsValid() &&
                                       isSpecial(model.GetPixel(below.symbol, below.row, below.x, below.y));
                if (picture.rect().contains(at) && !isSpecial(value) && !nearMark && !markBelow && !beyond &&
                    model.IsRowPresent(pixel.symbol, pixel.row)) {
                    requireShown(picture, at, value,
                                 Name(*scenery->GetDocument()) + ": the scenery window, pixel " +
                                     std::to_string(p.x) + "," + std::to_string(p.y));
                }
            }
        } else if (auto* vehicles = dynamic_cast<CFGSView*>(view)) {
            CheckTrainPreview(*vehicles, requireShown);
            CCarEdi& editor = *vehicles->CarEditor();
            if (!editor.ShowsView() || !editor.isVisible() || editor.PreviewShown() ||
                gridHides(editor.Zoom())) {
                continue;
            }
            const VehicleDocument& model = static_cast<CFGSDoc*>(vehicles->GetDocument())->Model();
            const Car& car = model.CarAt(editor.ShownSet(), editor.ShownCar());
            const int view = editor.ShownView();
            const QImage picture = editor.viewport()->grab().toImage();
            const std::optional<PixelRect> mark = editor.MarkRect();
            for (int i = 0; i < 60; ++i) {
                const PixelPoint p{Pick(vehicles::ViewWidth(view, car.length)),
                                   Pick(vehicles::ViewHeight(view, car.length))};
                const PaletteIndex value =
                    model.GetPixel(editor.ShownSet(), editor.ShownCar(), view, p.x, p.y);
                const QPoint at = editor.WindowPointOf(p);
                const bool nearMark = mark && p.x >= mark->x0 - 1 && p.x <= mark->x1 + 1 &&
                                      p.y >= mark->y0 - 1 && p.y <= mark->y1 + 1;
                if (picture.rect().contains(at) && !isSpecial(value) && !nearMark) {
                    requireShown(picture, at, value,
                                 Name(*vehicles->GetDocument()) + ": the car editor, pixel " +
                                     std::to_string(p.x) + "," + std::to_string(p.y));
                }
            }
        }
    }
}

// The train preview shows the tree's set as the document holds it now: its rows are what a
// fresh drawing of the set gives, and a few of its squares show the cars' pixels.
void RandomUser::CheckTrainPreview(
    const CFGSView& vehicles,
    const std::function<void(const QImage&, QPoint, PaletteIndex, const std::string&)>& requireShown) {
    const TrainPreview& preview = *vehicles.Preview();
    if (!preview.isVisible()) {
        return;
    }
    const std::string where = Name(*vehicles.GetDocument()) + ": the train preview";
    const std::optional<VehicleTreeTarget> target = vehicles.SelectedTarget();
    Require(target && (target->IsSet() || target->IsCar()) && preview.Set() == target->set, "render",
            where + " shows another set than the tree's");
    if (!target) {
        return;
    }
    const VehicleSet& set = static_cast<CFGSDoc*>(vehicles.GetDocument())->Model().Set(target->set);
    const QImage picture = preview.Canvas()->grab().toImage();
    for (const TrainDirection direction : {TrainDirection::Forward, TrainDirection::Reverse}) {
        const TrainRowImage& row = preview.Row(direction);
        const TrainLayout fresh = LayoutTrain(set, direction);
        const std::vector<PaletteIndex> pixels = RenderTrain(set, fresh, BackgroundIndex);
        Require(fresh.places == row.Layout().places &&
                    std::equal(pixels.begin(), pixels.end(), row.Indices().begin(), row.Indices().end()),
                "render", where + " is not the set's present state");
        const QRect framed = preview.FrameRect(direction);
        for (int i = 0; i < 20 && fresh.width > 0; ++i) {
            const int x = Pick(fresh.width);
            const int y = Pick(fresh.height);
            const QPoint at = preview.RowRect(direction).topLeft() + QPoint(x, y) * row.Zoom();
            const PaletteIndex value = pixels[std::size_t(y * fresh.width + x)];
            const bool onFrame = framed.contains(at) && !framed.adjusted(2, 2, -2, -2).contains(at);
            if (picture.rect().contains(at) && !onFrame && value != 56 && value != 97 && value != 99) {
                requireShown(picture, at, value,
                             where + ", strip pixel " + std::to_string(x) + "," + std::to_string(y));
            }
        }
    }
}

// ---- Helpers ------------------------------------------------------------------------------------

int RandomUser::Pick(int count) {
    return count <= 1 ? 0 : int(random_() % std::uint64_t(count));
}

bool RandomUser::Chance(double p) {
    return double(random_() % 1'000'000) < p * 1'000'000;
}

// Where a person clicks and drags: the editors, the vehicle trees, the splitter and the property
// panel, and the colour bar.
std::vector<QWidget*> RandomUser::Surfaces() const {
    std::vector<QWidget*> surfaces;
    CMainFrame& frame = *app_->MainFrame();
    for (QMdiSubWindow* window : frame.MdiArea()->subWindowList()) {
        if (!window->isVisible() || window->isMinimized()) {
            continue;
        }
        View* view = qobject_cast<CChildFrame*>(window)->GetView();
        if (auto* scenery = dynamic_cast<CGSView*>(view)) {
            surfaces.push_back(scenery->viewport());
            surfaces.push_back(scenery->viewport());
        } else if (auto* vehicles = dynamic_cast<CFGSView*>(view)) {
            surfaces.push_back(vehicles);
            surfaces.push_back(vehicles->Tree()->viewport());
            if (vehicles->Preview()->isVisible()) {
                surfaces.push_back(vehicles->Preview()->Canvas());
                for (int state = 0; state < 4; ++state) {
                    surfaces.push_back(vehicles->Preview()->DayNightButton(state));
                }
            }
            if (vehicles->CarEditor()->isVisible()) {
                surfaces.push_back(vehicles->CarEditor()->viewport());
                surfaces.push_back(vehicles->CarEditor()->viewport());
            }
            if (vehicles->Panel()->isVisible()) {
                for (QWidget* field : vehicles->Panel()->findChildren<QWidget*>()) {
                    if (field->isVisible() && field->isEnabled()) {
                        surfaces.push_back(field);
                    }
                }
            }
        }
    }
    if (QDockWidget* bar = frame.ChosenColourBar();
        bar != nullptr && bar->isVisible() && bar->widget() != nullptr) {
        surfaces.push_back(bar->widget());
    }
    return surfaces;
}

std::vector<Document*> RandomUser::Documents() const {
    std::vector<Document*> documents;
    for (Document* doc : app_->Documents().Documents()) {
        if (!doc->IsClosing()) {
            documents.push_back(doc);
        }
    }
    return documents;
}

}  // namespace zobl::monkey
