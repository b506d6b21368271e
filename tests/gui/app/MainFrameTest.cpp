#include <gtest/gtest.h>

#include <functional>

#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "GuiTestSupport.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/Document.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/View.h"
#include "gui/lang/Localization.h"
#include "gui/scenery/GSDoc.h"
#include "gui/scenery/GSView.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/widgets/MessageDialogs.h"

namespace zobl {
namespace {

class MainFrame : public ::testing::Test, public test::AppFixture {
protected:
    CMainFrame& Frame() { return *app->MainFrame(); }
    QString State(int key) { return GetText(app->GetLanguageManager(), key, kStateSection); }
    std::vector<int> ButtonsOf(QToolBar* bar) {
        std::vector<int> ids;
        for (QAction* action : bar->actions()) {
            ids.push_back(test::CommandNumber(action));
        }
        return ids;
    }
    QMenu* TopMenu(QMenu* root, int index) { return root->actions().at(index)->menu(); }
};

// The bars, their buttons and the keys are made from the command table: the same commands in the
// same order, separators where the positions leave a gap, a drawing and a name on every button.
TEST_F(MainFrame, BarsAndKeysAreMadeFromTheCommandTable) {
    StartApp();
    const std::pair<QToolBar*, ToolBarId> bars[] = {{Frame().MainToolBar(), ToolBarId::Main},
                                                    {Frame().ModeToolBar(), ToolBarId::Modes}};
    for (const auto& [bar, which] : bars) {
        std::vector<int> expected;
        for (const std::optional<CommandId> id : ToolBarButtons(which)) {
            expected.push_back(id ? int(*id) : 0);
        }
        EXPECT_EQ(ButtonsOf(bar), expected);
        EXPECT_EQ(bar->allowedAreas(), Qt::AllToolBarAreas);
        EXPECT_TRUE(bar->isMovable());
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const int id = test::CommandNumber(action);
            EXPECT_FALSE(action->icon().isNull()) << id;
            // Drawn for whole-number scales only.
            EXPECT_TRUE(action->icon().availableSizes().contains(QSize(32, 32))) << id;
            const QWidget* button = bar->widgetForAction(action);
            ASSERT_NE(button, nullptr) << id;
            EXPECT_FALSE(button->accessibleName().isEmpty()) << id;
            EXPECT_FALSE(button->accessibleName().contains(QLatin1Char('('))) << id;
        }
    }
    for (const CommandFacts& facts : CommandTable()) {
        QList<QKeySequence> keys;
        for (const QKeyCombination combination : facts.keys) {
            if (combination != QKeyCombination()) {
                keys << QKeySequence(combination);
            }
        }
        EXPECT_EQ(Action(facts.id)->shortcuts(), keys) << facts.id;
        EXPECT_TRUE(keys.isEmpty() || Frame().actions().contains(Action(facts.id))) << facts.id;
    }
    // What the manual tells users, said as such: the keys they learn first.
    const std::pair<CommandId, const char*> manual[] = {
        {ID_FILE_NEW, "Ctrl+N"},
        {ID_FILE_OPEN, "Ctrl+O"},
        {ID_FILE_SAVE, "Ctrl+S"},
        {ID_EDIT_UNDO, "Ctrl+Z"},
        {ID_EDIT_REDO, "Ctrl+Shift+Z"},
        {ID_EDIT_COPY_ACTIVE, "Ctrl+C"},
        {ID_EDIT_PASTE_ACTIVE, "Ctrl+V"},
        {ID_HELP, "F1"},
        {ID_APP_EXIT, "Alt+X"},
        {ID_NEXT_PANE, "F6"},
        {ID_NEXT_MOUSE_MODE, "Ctrl+Space"},
        {ID_DAY_NIGHT, "Ctrl+T"},
    };
    for (const auto& [id, keys] : manual) {
        EXPECT_TRUE(Action(id)->shortcuts().contains(QKeySequence(QString::fromLatin1(keys)))) << id << keys;
    }
    EXPECT_EQ(Frame().MainToolBar()->windowTitle(), QString::fromUtf8("Schaltflächenleiste"));
    EXPECT_EQ(Frame().ModeToolBar()->windowTitle(), QStringLiteral("Maus-Modi"));
    EXPECT_FALSE(Frame().windowIcon().isNull());
    EXPECT_EQ(Frame().SharedFont().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(Frame().SharedFont().pointSizeF(), 9.0);
}

// The window shows the icon installed for the desktop, at each installed size, and no other drawing;
// on Wayland the application id names the desktop entry that carries it.
TEST_F(MainFrame, TheWindowIconIsTheInstalledApplicationIcon) {
    StartApp();
    const QString entry =
        QStringLiteral(ZOBL_DESKTOP_ICONS "/../%1.desktop").arg(QGuiApplication::desktopFileName());
    EXPECT_TRUE(QFileInfo::exists(entry)) << entry.toStdString();
    const QIcon icon = Frame().windowIcon();
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString file =
            QStringLiteral(ZOBL_DESKTOP_ICONS "/%1x%1/apps/de.zobl.GraphicsEditor.png").arg(size);
        const QImage installed(file);
        ASSERT_FALSE(installed.isNull()) << file.toStdString();
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        EXPECT_EQ(icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32),
                  installed.convertToFormat(QImage::Format_ARGB32))
            << size;
    }
}

TEST_F(MainFrame, ToolTipsComeFromTheMenuSectionCutTo79Characters) {
    // The shipped texts of some buttons of both bars; a zoom-in text of 100 characters.
    const QString tooLong = QStringLiteral("Einzoomen: ") + QString(89, QLatin1Char('x'));
    {
        QFile shipped(QCoreApplication::applicationDirPath() + QStringLiteral("/zobl_ge.rtx"));
        ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
        QByteArray text = shipped.readAll();
        ASSERT_TRUE(text.contains("\n1824=Einzoomen\r\n") || text.contains("\n1824=Einzoomen\n"));
        text.replace("\n1824=Einzoomen", "\n1824=" + tooLong.toLatin1());
        languageFile = folder.File("lang.rtx");
        QFile changed(QString::fromStdString(languageFile));
        ASSERT_TRUE(changed.open(QIODevice::WriteOnly));
        changed.write(text);
    }
    StartApp();
    const std::pair<CommandId, const char*> expected[] = {
        {ID_FILE_NEW, "Neu (Strg+N)"},
        {ID_FILE_SAVE, "Speichern (Strg+S)"},
        {ID_EDIT_REDO, "Wiederherstellen (Strg+Umschalt+Z)"},
        {ID_ROTATE_DOWN, "Nach unten rotieren (Strg+Alt+Unten)"},
        {ID_MODE_VIEW, "Mausmodus: Anzeigen (V)"},
        {ID_MODE_PICK_COLOUR, "Mausmodus: Pinzette (Farbe aufnehmen) (I)"},
        {ID_MODE_ZOOM, "Mausmodus: Zoom (Z)"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(Action(id)->toolTip(), QString::fromUtf8(text)) << id;
    }
    EXPECT_EQ(Action(ID_ZOOM_IN)->toolTip(), tooLong.left(79));
    EXPECT_EQ(Action(ID_ZOOM_IN)->toolTip().size(), 79);
}

TEST_F(MainFrame, MenuHighlightsShowTheirStatusTextAndSetTheHelpContext) {
    StartApp();
    QMenu* file = TopMenu(Frame().FrameMenu(), 0);
    emit file->hovered(Action(ID_FILE_OPEN));
    EXPECT_EQ(Frame().MessageText(), State(7002));
    EXPECT_EQ(app->GetHelpContext(), 40010);
    emit file->hovered(Action(ID_APP_EXIT));
    EXPECT_EQ(Frame().MessageText(), State(7004));
    // The menu bar repeats its menus' highlights; they keep their texts.
    emit Frame().menuBar()->hovered(Action(ID_FILE_OPEN));
    EXPECT_EQ(Frame().MessageText(), State(7002));
    emit Frame().menuBar()->hovered(file->menuAction());
    EXPECT_EQ(Frame().MessageText(), State(7000));

    QMenu* view = TopMenu(Frame().FrameMenu(), 1);
    emit view->hovered(Action(ID_NEXT_MOUSE_MODE));
    EXPECT_EQ(Frame().MessageText(), State(7009));
    EXPECT_EQ(app->GetHelpContext(), 40030);

    // An item outside the table: key 7000, help context unchanged.
    emit view->hovered(file->menuAction());
    EXPECT_EQ(Frame().MessageText(), State(7000));
    EXPECT_EQ(app->GetHelpContext(), 40030);

    // Closing the menu sets the context of the active document kind.
    emit view->aboutToHide();
    EXPECT_EQ(app->GetHelpContext(), 21051);
    app->OpenDocumentFile(WriteSceneryFile("a.gs"));
    emit view->aboutToHide();
    EXPECT_EQ(app->GetHelpContext(), 2090);

    EXPECT_EQ(MenuItemStatusOf(RecentFileCommand(15)).stateKey, 7003);
    EXPECT_EQ(MenuItemStatusOf(WindowListCommand(8)).stateKey, 7205);
    EXPECT_EQ(MenuItemStatusOf(ID_WINDOW_ARRANGE).helpContext, std::nullopt);
}

TEST_F(MainFrame, HoveredToolButtonsShowTheirStatusText) {
    StartApp();
    QWidget* button = Frame().ModeToolBar()->widgetForAction(Action(ID_MODE_FILL));
    ASSERT_NE(button, nullptr);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(Frame().MessageText(), State(7056));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(Frame().MessageText(), State(7000));
    EXPECT_EQ(CommandStatusKey(ID_FILE_SAVE), 7016);
    EXPECT_EQ(CommandStatusKey(ID_APP_ABOUT), 7000);
}

TEST_F(MainFrame, EachDocumentKindShowsItsMenu) {
    StartApp();
    ASSERT_EQ(Frame().CurrentMenu(), Frame().FrameMenu());
    EXPECT_EQ(Frame().menuBar()->actions().size(), 4);

    Document* document = app->OpenDocumentFile(WriteSceneryFile("a.gs"));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(Frame().CurrentMenu(), document->DocumentMenu());
    ASSERT_EQ(Frame().menuBar()->actions().size(), 7);
    EXPECT_TRUE(Frame().windowTitle().endsWith(QStringLiteral(" - a.gs[*]")));
    // The document's commands are reachable through its menu.
    QMenu* edit = TopMenu(document->DocumentMenu(), 1);
    EXPECT_TRUE(edit->actions().contains(Action(ID_EDIT_UNDO)));

    Command(ID_FILE_CLOSE);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app->Documents().DocumentCount(), 0u);
    EXPECT_EQ(Frame().CurrentMenu(), Frame().FrameMenu());
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("ZOBL Graphic Editor"));
}

TEST_F(MainFrame, AcceleratorsTriggerTheirCommands) {
    StartApp({WriteSceneryFile("a.gs")}, true);
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    auto* document = static_cast<CGSDoc*>(Frame().ActiveDocument());
    ASSERT_NE(document, nullptr);

    QTest::keyClick(&Frame(), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(app->GetMouseMode(), MouseMode::Freehand);
    QTest::keyClick(&Frame(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(app->GetPalette().DayNightState(), 1);

    // Undo is enabled once the document has a step; Alt+Backspace and Ctrl+Z both undo.
    document->Model().SetPixel(0, 3, 0, 0, 5, MouseMode::Freehand);
    document->Model().CloseUndoGroup();
    document->Model().SetPixel(0, 3, 0, 0, 6, MouseMode::Line);
    document->NotifyStateChanged();
    QCoreApplication::processEvents();
    ASSERT_TRUE(Action(ID_EDIT_UNDO)->isEnabled());
    QTest::keyClick(&Frame(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(document->Model().GetPixel(0, 3, 0, 0), 5);
    QCoreApplication::processEvents();
    QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(document->Model().UndoCount(), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
    QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(document->Model().GetPixel(0, 3, 0, 0), 5);

    QTest::keyClick(&Frame(), Qt::Key_F1);
    ASSERT_FALSE(infoBoxes.isEmpty());
    EXPECT_TRUE(infoBoxes.back().startsWith(QStringLiteral("HELP: Help ID = ")));
}

// One letter per mouse mode in the editor and the vehicle tree; in a field that takes text (in a
// window's panel, a dock or a dialog alike) the letter is typed instead.
TEST_F(MainFrame, ToolLettersChooseTheirModesButAreTypedInTextFields) {
    StartApp({WriteSceneryFile("a.gs")}, true);
    QWidget* scenery = Frame().ActiveDocument()->Views().front()->Widget();
    auto* vehicles = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
    ASSERT_TRUE(vehicles->Model().AddVehicleSet("S", MouseMode::Freehand));
    ASSERT_TRUE(vehicles->Model().AddCar(0, 0, "W", "", "", 2, nullptr, MouseMode::Freehand));
    vehicles->Model().Notify({VehicleHintCode::RebuildAll});
    auto* vehicleView = dynamic_cast<CFGSView*>(vehicles->Views().front());
    vehicleView->Tree()->SelectItem(vehicleView->Tree()->CarItem(0, 0)->child(4));  // the panel
    QCoreApplication::processEvents();
    auto* dock = new QDockWidget(&Frame());
    dock->setWidget(new QWidget(dock));
    auto* layout = new QVBoxLayout(dock->widget());
    auto* line = new QLineEdit;
    auto* spin = new QSpinBox;
    auto* text = new QTextEdit;
    auto* combo = new QComboBox;
    combo->setEditable(true);
    for (QWidget* field : std::initializer_list<QWidget*>{line, spin, text, combo}) {
        layout->addWidget(field);
    }
    Frame().addDockWidget(Qt::RightDockWidgetArea, dock);
    QDialog dialog(&Frame());
    auto* dialogLine = new QLineEdit(&dialog);
    dialog.show();
    const struct {
        QWidget* widget;
        std::function<QString()> typed;  // none: the letter chooses the mode
    } places[] = {
        {scenery, {}},
        {vehicleView->Tree(), {}},  // no text field: Qt's search by letters gives way
        {vehicleView->Panel()->Edit(0), [&] { return vehicleView->Panel()->Edit(0)->text(); }},
        {line, [&] { return line->text(); }},
        {spin, [&] { return spin->text(); }},  // typed and refused
        {text, [&] { return text->toPlainText(); }},
        {combo, [&] { return combo->currentText(); }},
        {dialogLine, [&] { return dialogLine->text(); }},
    };
    for (const MouseModeFacts& facts : kMouseModeTable) {
        for (const auto& place : places) {
            SCOPED_TRACE(std::string(1, char(facts.key)) + " " + place.widget->metaObject()->className());
            const MouseMode before = facts.mode == MouseMode::View ? MouseMode::Zoom : MouseMode::View;
            app->SetMouseMode(before);
            place.widget->window()->activateWindow();
            place.widget->setFocus();
            ASSERT_TRUE(QTest::qWaitForWindowActive(place.widget->window()));
            QCoreApplication::processEvents();
            ASSERT_EQ(QApplication::focusWidget(), place.widget);
            const QString old = place.typed ? place.typed() : QString();
            QTest::keyClick(QApplication::focusWidget(), facts.key);
            EXPECT_EQ(app->GetMouseMode(), place.typed ? before : facts.mode);
            if (place.typed && place.widget != spin) {
                EXPECT_EQ(place.typed(), old + QChar(char(facts.key)).toLower());
            }
        }
    }
    EXPECT_EQ(Action(ID_MODE_LINE)->toolTip(), QStringLiteral("Mausmodus: Linie (L)"));
}

TEST_F(MainFrame, LockIndicatorsShowTheKeyboardsStateNotCountedPresses) {
    // Caps Lock already on at the start, Scroll Lock off, Num Lock not reported.
    LockKeyStates keyboard = {true, std::nullopt, false};
    lockKeys = [&keyboard] { return keyboard; };
    ASSERT_TRUE(StartActiveApp());
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"UF", "", ""}));
    // The keyboard switches Caps Lock off and Scroll Lock on; the indicators follow when the keys
    // come up, whatever was counted.
    keyboard = {false, std::nullopt, true};
    QTest::keyPress(Frame().windowHandle(), Qt::Key_CapsLock);
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"UF", "", ""}));
    QTest::keyRelease(Frame().windowHandle(), Qt::Key_CapsLock);
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"", "", "RF"}));
    // Switched in another program: seen when the editor becomes active again.
    keyboard = {true, true, true};
    QEvent activate(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &activate);
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"UF", "NUM", "RF"}));
}

TEST_F(MainFrame, LockIndicatorsStayEmptyWhereTheStateCannotBeRead) {
    StartApp({}, true);  // offscreen: no keyboard state
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"", "", ""}));
    for (const Qt::Key key : {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock}) {
        QTest::keyClick(Frame().windowHandle(), key);
    }
    EXPECT_EQ(Frame().IndicatorTexts(), (QStringList{"", "", ""}));
}

TEST_F(MainFrame, FourDayNightStepsComeBackToDayWithTheTransparentColours) {
    CBug1App& started = StartApp({WriteSceneryFile("a.gs")});
    started.Settings().transCol = {200, 10, 20};
    started.Settings().transCol2 = {30, 40, 50};
    auto* document = static_cast<CGSDoc*>(Frame().ActiveDocument());
    ASSERT_NE(document, nullptr);
    // Pixel (0, 0) of the picture is palette index 56 (transparent).
    const QRgb before = document->DisplayImage().pixel(0, 0);
    EXPECT_EQ(before, qRgb(0, 112, 0));
    for (int step = 1; step <= 4; ++step) {
        Command(ID_DAY_NIGHT);
        EXPECT_EQ(started.GetPalette().DayNightState(), step % 4);
    }
    EXPECT_EQ(started.GetPalette().CurrentColour(56), (Rgb{200, 10, 20}));
    EXPECT_EQ(started.GetPalette().CurrentColour(97), (Rgb{30, 40, 50}));
    // The documents rebuilt their pictures (update action 1).
    EXPECT_EQ(document->DisplayImage().pixel(0, 0), qRgb(200, 10, 20));
}

TEST_F(MainFrame, BarsAreShownAndHiddenByTheirCommands) {
    StartApp({}, true);
    const auto toggles = [&](CommandId id, QWidget* bar) {
        ASSERT_TRUE(Action(id)->isChecked());
        Command(id);
        EXPECT_TRUE(bar->isHidden());
        EXPECT_FALSE(Action(id)->isChecked());
        Command(id);
        EXPECT_FALSE(bar->isHidden());
        EXPECT_TRUE(Action(id)->isChecked());
    };
    toggles(ID_VIEW_TOOLBAR, Frame().MainToolBar());
    toggles(ID_VIEW_MODE_BAR, Frame().ModeToolBar());
    toggles(ID_VIEW_STATUS_BAR, Frame().statusBar());

    // The colour bar command acts on the bar HORIZCOLORBAR chooses, and only on it.
    EXPECT_TRUE(Action(ID_VIEW_COLOUR_BAR)->isEnabled());
    auto* vertical = new QDockWidget(QStringLiteral("Farben"));
    auto* horizontal = new QDockWidget(QStringLiteral("Farben"));
    app->Settings().horizColorBar = true;
    Frame().InstallColourBars(vertical, horizontal);
    EXPECT_TRUE(vertical->isHidden());
    Command(ID_VIEW_COLOUR_BAR);
    EXPECT_TRUE(horizontal->isHidden());
    EXPECT_TRUE(vertical->isHidden());
    Command(ID_VIEW_COLOUR_BAR);
    EXPECT_FALSE(horizontal->isHidden());
    EXPECT_TRUE(vertical->isHidden());

    // The menu of bars (right click on a bar) offers the chosen colour bar only: whatever the
    // user switches there, the other one stays hidden.
    for (const bool horizontalChosen : {true, false}) {
        app->Settings().horizColorBar = horizontalChosen;
        Frame().ApplyColourBarChoice(true);
        QDockWidget* chosen = horizontalChosen ? horizontal : vertical;
        QDockWidget* other = horizontalChosen ? vertical : horizontal;
        const std::unique_ptr<QMenu> menu(Frame().createPopupMenu());
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().contains(chosen->toggleViewAction()));
        EXPECT_FALSE(menu->actions().contains(other->toggleViewAction()));
        for (QAction* action : menu->actions()) {
            if (action->isCheckable() && !action->isChecked()) {
                action->trigger();
            }
        }
        EXPECT_FALSE(chosen->isHidden());
        EXPECT_TRUE(other->isHidden());
    }
}

TEST_F(MainFrame, ArrangingPutsTheMinimisedWindowsAlongTheBottom) {
    StartApp({}, true);
    for (const char* name : {"a.gs", "b.gs", "c.gs"}) {
        app->OpenDocumentFile(WriteSceneryFile(name));
    }
    QCoreApplication::processEvents();
    const QList<QMdiSubWindow*> windows = Frame().MdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 3);
    windows[0]->showMinimized();
    windows[2]->showMinimized();
    windows[0]->move(200, 30);
    windows[2]->move(10, 10);
    const QRect normal = windows[1]->geometry();
    Frame().Router().UpdateAll();
    EXPECT_TRUE(Action(ID_WINDOW_ARRANGE)->isEnabled());
    Command(ID_WINDOW_ARRANGE);
    const QRect client = Frame().MdiArea()->viewport()->rect();
    const QRect first = windows[0]->geometry();
    const QRect third = windows[2]->geometry();
    EXPECT_EQ(first.topLeft(), QPoint(0, client.bottom() + 1 - first.height()));
    EXPECT_EQ(third.topLeft(), QPoint(first.width(), client.bottom() + 1 - third.height()));
    EXPECT_EQ(windows[1]->geometry(), normal);  // windows that are not minimised stay
}

TEST_F(MainFrame, F6MovesTheFocusThroughThePanesOfTheActiveWindow) {
    ASSERT_TRUE(StartActiveApp());
    auto* doc = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
    VehicleDocument& model = doc->Model();
    ASSERT_TRUE(model.AddVehicleSet("S", MouseMode::Freehand));
    ASSERT_TRUE(model.AddCar(0, 0, "W", "", "", 2, nullptr, MouseMode::Freehand));
    model.Notify({VehicleHintCode::RebuildAll});
    auto* view = dynamic_cast<CFGSView*>(doc->Views().front());
    QTreeWidgetItem* car = view->Tree()->CarItem(0, 0);
    view->Tree()->SelectItem(car->child(0));  // a car view: the car editor shows, the panel not
    QCoreApplication::processEvents();
    view->Tree()->setFocus();
    QCoreApplication::processEvents();
    const auto focused = [] { return QApplication::focusWidget(); };
    ASSERT_EQ(focused(), view->Tree());
    struct Step {
        CommandId command;
        QWidget* expected;
    };
    const Step steps[] = {
        {ID_NEXT_PANE, view->CarEditor()},
        {ID_NEXT_PANE, view->Tree()},
        {ID_PREV_PANE, view->CarEditor()},
        {ID_PREV_PANE, view->Tree()},
    };
    for (const Step& step : steps) {
        Command(step.command);
        QWidget* now = focused();
        EXPECT_TRUE(now == step.expected || step.expected->isAncestorOf(now)) << step.command;
    }
    // The properties item shows the panel in place of the car editor.
    view->Tree()->SelectItem(car->child(4));
    QCoreApplication::processEvents();
    view->Tree()->setFocus();
    Command(ID_NEXT_PANE);
    EXPECT_TRUE(view->Panel()->isAncestorOf(focused()) || focused() == view->Panel());
}

TEST_F(MainFrame, DocumentWindowsAreTiledAndListed) {
    StartApp({}, true);
    app->OpenDocumentFile(WriteSceneryFile("a.gs"));
    app->OpenDocumentFile(WriteSceneryFile("b.gs"));
    QCoreApplication::processEvents();
    const QList<QMdiSubWindow*> windows = Frame().MdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);
    const QRect client = Frame().MdiArea()->viewport()->rect();

    Command(ID_WINDOW_TILE_HORZ);
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, client.width(), client.height() / 2));
    EXPECT_EQ(windows[1]->geometry().top(), client.height() / 2);
    Command(ID_WINDOW_TILE_VERT);
    EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, client.width() / 2, client.height()));
    EXPECT_EQ(windows[1]->geometry().left(), client.width() / 2);

    // The window menu lists the windows; choosing one activates it.
    Document* active = Frame().ActiveDocument();
    QMenu* window = TopMenu(active->DocumentMenu(), 5);
    emit window->aboutToShow();
    QStringList listed;
    QAction* first = nullptr;
    for (QAction* action : window->actions()) {
        const int id = test::CommandNumber(action);
        if (id >= ID_WINDOW_LIST_FIRST && id <= ID_WINDOW_LIST_LAST) {
            listed << action->text();
            if (id == ID_WINDOW_LIST_FIRST) {
                first = action;
            }
        }
    }
    EXPECT_EQ(listed, (QStringList{"&1 a.gs", "&2 b.gs"}));
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isChecked());
    first->trigger();
    EXPECT_EQ(Frame().MdiArea()->currentSubWindow(), windows[0]);
}

// "*" follows the document's unsaved changes: in the main window's title as the desktop shows it,
// in the window menu, on the document window; undoing back to the saved state takes it away.
TEST_F(MainFrame, TheTitlesMarkUnsavedChanges) {
    StartApp({WriteSceneryFile("a[*].gs")}, true);  // Qt's mark place in the name itself
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    CChildFrame* child = Frame().ActiveChildFrame();
    ASSERT_NE(child, nullptr);
    auto* view = dynamic_cast<CGSView*>(child->GetView());
    ASSERT_NE(view, nullptr);
    app->SetMouseMode(MouseMode::Freehand);
    const auto draw = [&](int x) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->WindowPointOf({0, 3, x, 2}));
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers) { QTest::keyClick(view, k, modifiers); };
    const struct {
        const char* step;
        std::function<void()> act;
        bool modified;
    } steps[] = {
        {"opened", [] {}, false},
        {"drawn", [&] { draw(1); }, true},
        {"saved", [&] { key(Qt::Key_S, Qt::ControlModifier); }, false},
        {"drawn again", [&] { draw(5); }, true},
        {"undone to the saved state", [&] { key(Qt::Key_Z, Qt::ControlModifier); }, false},
        {"redone", [&] { key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        view->setFocus();
        step.act();
        QCoreApplication::processEvents();
        const QString name = step.modified ? QStringLiteral("a[*].gs*") : QStringLiteral("a[*].gs");
        EXPECT_EQ(Frame().windowHandle()->title(), QStringLiteral("ZOBL Graphic Editor - ") + name);
        EXPECT_EQ(child->isWindowModified(), step.modified);
        QMenu* window = TopMenu(Frame().ActiveDocument()->DocumentMenu(), 5);
        emit window->aboutToShow();
        QStringList listed;
        for (QAction* action : window->actions()) {
            if (test::CommandNumber(action) == ID_WINDOW_LIST_FIRST) {
                listed << action->text();
            }
        }
        EXPECT_EQ(listed, QStringList{QStringLiteral("&1 ") + name});
    }
}

// Cascaded windows are usable: each two thirds of the workspace, one title bar below and right of
// the window beneath it, back at the top left where that would leave the workspace; the active
// window stays on top.
TEST_F(MainFrame, CascadedWindowsHaveASensibleSizeInsideTheWorkspace) {
    for (const bool vehicles : {false, true}) {
        for (const int count : {1, 3, 12}) {
            QFile::remove(SettingsFile());  // no desktop of the row before
            StartApp({}, true);
            Frame().resize(1000, 760);
            for (int i = 0; i < count; ++i) {
                app->Documents().NewDocument(vehicles ? *app->VehicleTemplate() : *app->SceneryTemplate());
            }
            QCoreApplication::processEvents();
            QMdiSubWindow* active = Frame().MdiArea()->currentSubWindow();
            Command(ID_WINDOW_CASCADE);
            const QList<QMdiSubWindow*> windows = Frame().MdiArea()->subWindowList(QMdiArea::StackingOrder);
            const QRect client = Frame().MdiArea()->viewport()->rect();
            const std::string row =
                std::to_string(count) + (vehicles ? " vehicle windows" : " scenery windows");
            ASSERT_EQ(windows.size(), count) << row;
            EXPECT_EQ(windows.back(), active) << row;
            QRect expected(client.topLeft(), client.size() * 2 / 3);
            for (QMdiSubWindow* window : windows) {
                if (!client.contains(expected)) {
                    expected.moveTopLeft(client.topLeft());
                }
                EXPECT_EQ(window->geometry(), expected) << row << ", window " << windows.indexOf(window);
                EXPECT_LE(window->minimumSizeHint().height(), expected.height()) << row;
                const int title = window->widget()->geometry().top();  // where its title bar ends
                expected.translate(title, title);
            }
            EndApp();
        }
    }
}

// A document kind whose views animate, to see the timer start and stop.
class TickingDocument : public Document {
public:
    using Document::Document;
    bool UpdateDoc(int action, int) override {
        ticks += action == 2 ? 1 : 0;
        return true;
    }
    bool WantsTicks() const override { return wanted; }
    int ticks = 0;
    bool wanted = false;
};

class PlainView : public QWidget, public View {
public:
    QWidget* Widget() override { return this; }
    void OnUpdate(View*, int, HintRecord*) override {}
};

TEST_F(MainFrame, TheTimerRunsOnlyWhileADocumentNeedsIt) {
    StartApp();
    for (int i = 0; i < 10; ++i) {
        ASSERT_NE(
            app->OpenDocumentFile(WriteSceneryFile(std::string("d").append(std::to_string(i)).append(".gs"))),
            nullptr);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(app->Documents().DocumentCount(), 10u);
    EXPECT_FALSE(Frame().IsTickTimerActive());

    DocTemplate& ticking = app->Documents().AddTemplate(
        999, {QStringLiteral("Test"), QString(), QStringLiteral(".tick"), QString(), QString()},
        [](DocTemplate& t) -> Document* { return new TickingDocument(t); },
        [](Document&) -> View* { return new PlainView; });
    auto* document = static_cast<TickingDocument*>(app->Documents().NewDocument(ticking));
    document->wanted = true;
    document->NotifyTickDemandChanged();
    EXPECT_TRUE(Frame().IsTickTimerActive());
    QElapsedTimer clock;
    clock.start();
    while (document->ticks < 3 && clock.elapsed() < 2000) {
        QTest::qWait(10);
    }
    EXPECT_GE(document->ticks, 3);

    document->wanted = false;
    document->NotifyTickDemandChanged();
    EXPECT_FALSE(Frame().IsTickTimerActive());
}

// Everything a normal run shows comes from the language file: no text reads "__RTX__" and no
// placeholder is left.
TEST_F(MainFrame, NoMissingTextInANormalRun) {
    StartApp({WriteSceneryFile("a.gs")}, true);
    QCoreApplication::processEvents();
    QStringList problems;
    const auto check = [&](const QString& where, const QString& text) {
        if (text.contains(QStringLiteral("__RTX__")) || text.startsWith(QStringLiteral("key"))) {
            problems << where + ": " + text;
        }
    };
    std::function<void(QMenu*, const QString&)> visit = [&](QMenu* menu, const QString& path) {
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible()) {
                continue;
            }
            const QString where = path + "/" + action->text();
            check(where, action->text());
            emit menu->hovered(action);
            check(where + " (status)", Frame().MessageText());
            if (action->menu() != nullptr) {
                visit(action->menu(), where);
            }
        }
        emit menu->aboutToHide();
    };
    for (QMenu* root : {Frame().FrameMenu(), Frame().ActiveDocument()->DocumentMenu()}) {
        for (QAction* top : root->actions()) {
            check(QStringLiteral("menu bar"), top->text());
            visit(top->menu(), top->text());
        }
    }
    for (QToolBar* bar : {Frame().MainToolBar(), Frame().ModeToolBar()}) {
        check(QStringLiteral("tool bar"), bar->windowTitle());
        for (QAction* action : bar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const QString id = QString::number(test::CommandNumber(action));
            check(id + " (tooltip)", action->toolTip());
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(bar->widgetForAction(action), &enter);
            check(id + " (status)", Frame().MessageText());
        }
    }
    check(QStringLiteral("main window"), Frame().windowTitle());
    for (QMdiSubWindow* window : Frame().MdiArea()->subWindowList()) {
        check(QStringLiteral("document window"), window->windowTitle());
    }
    // The numbered messages this part of the program raises, with their captions.
    for (const auto& [number, question] :
         {std::pair{1, false}, {2, false}, {3, false}, {4, false}, {303, true}, {304, true}, {305, true}}) {
        check(QStringLiteral("caption %1").arg(number),
              MessageCaption(app->GetLanguageManager(), number, question));
        check(QStringLiteral("message %1").arg(number), MessageBody(app->GetLanguageManager(), number, "x"));
    }
    check(QStringLiteral("file filter"), app->FileFilter());
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}

}  // namespace
}  // namespace zobl
