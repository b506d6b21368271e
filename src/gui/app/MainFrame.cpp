#include "gui/app/MainFrame.h"
#include "gui/app/DesktopPersistence.h"

#include <algorithm>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "core/settings/SettingsStore.h"
#include "gui/app/AppDialogs.h"
#include "gui/app/BackGroundView.h"
#include "gui/app/Bug1App.h"
#include "gui/app/CommandBars.h"
#include "gui/app/StatusLine.h"
#include "gui/app/WorkspaceWindows.h"
#include "gui/drawing/PngFiles.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/FrameTexts.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/View.h"
#include "gui/framework/VisibleText.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColorBar.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/widgets/PixelIcons.h"

namespace zobl {

namespace {

// Window texts of the bars (framework strings, not in the language file).
constexpr const char* kMainBarTitle = "Schaltflächenleiste";
constexpr const char* kModeBarTitle = "Maus-Modi";

constexpr const char* kPreparedMenu = "zoblPreparedMenu";

QString OneLine(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

}  // namespace

CMainFrame::CMainFrame(CBug1App& app) : app_(app) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(CBug1App::kAppTitle);
    tickTimer_.setInterval(kTickMilliseconds);
    connect(&tickTimer_, &QTimer::timeout, this, &CMainFrame::OnTick);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    CChildFrame::SetFrameHooks({});
    // Windows that go with the frame must not call back into it while it is half destroyed.
    QObject::disconnect(&app_.Documents(), nullptr, this, nullptr);
    QObject::disconnect(&app_, nullptr, this, nullptr);
    Destroy();
}

bool CMainFrame::Create() {
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    router_.SetChainProvider([this] { return RoutingChain(); });

    auto* background = new CBackGroundView(app_, router_, this);
    area_ = background;
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    windows_ = std::make_unique<WorkspaceWindows>(*area_);
    RepaintWorkspace();
    app_.Documents().SetMdiArea(area_);

    CreateToolBars();
    statusLine_ = std::make_unique<StatusLine>(*statusBar(), [this] { return app_.ReadLockKeys(); });
    // The zoom pane follows its command's state like a menu item: every update of the commands
    // (a zoom change, another active window) asks the active view.
    QAction* zoomIndicator = router_.Action(ID_INDICATOR_ZOOM);
    connect(zoomIndicator, &QAction::changed, this, [this, zoomIndicator] {
        statusLine_->SetZoomText(zoomIndicator->isEnabled() ? zoomIndicator->text() : QString());
    });
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    const auto chooseColours = [this](QWidget* over) { RunChooseColours(app_, over); };
    InstallColourBars(new CColorBar(app_.Services(), chooseColours, false, this),
                      new CColorBar(app_.Services(), chooseColours, true, this));
    // The window keeps the focus it starts with, which would otherwise go to the colour bar, the
    // first control Tab reaches: its arrow keys act only once the user moves there.
    setFocus(Qt::OtherFocusReason);
    RecreateSharedFont();

    frameMenu_ = BuildMenu(kFrameMenu, router_, app_.GetLanguageManager());
    if (!frameMenu_) {
        return false;
    }
    PrepareMenu(frameMenu_.get());
    ShowMenu(frameMenu_.get());
    // The menu bar repeats the highlights of its menus; its own titles have no text (7000).
    connect(menuBar(), &QMenuBar::hovered, this, &CMainFrame::OnMenuHovered);
    CreateAccelerators();

    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) { OnActiveWindowChanged(); });
    DocManager& documents = app_.Documents();
    connect(&documents, &DocManager::DocumentStateChanged, this, [this] {
        router_.RequestUpdate();
        UpdateTitle();
    });
    connect(&documents, &DocManager::DocumentsChanged, this, [this] {
        router_.RequestUpdate();
        UpdateTickTimer();
    });
    connect(&documents, &DocManager::TickDemandChanged, this, &CMainFrame::UpdateTickTimer);
    connect(&app_, &CBug1App::MouseModeChanged, &router_, &CommandRouter::RequestUpdate);
    connect(&app_, &CBug1App::DrawingColoursChanged, this, &CMainFrame::RepaintColourBars);
    qApp->installEventFilter(this);

    // The document windows show their window-menu texts here and the workspace menu on their caption.
    CChildFrame::SetFrameHooks(
        {[this](int stateKey, std::optional<int> helpContext) {
             if (helpContext) {
                 app_.SetHelpContext(*helpContext);
             }
             ShowStatusKey(stateKey);
         },
         [background](const QPoint& position) { background->ShowWorkspaceMenu(position); }});
    const GeneralSettings& settings = app_.Settings();
    background->LoadBackgroundPicture(settings.enableBitmap ? QString::fromStdString(settings.bckBitmap)
                                                            : QString());

    resize(1024, 720);
    ShowStatusKey(kIdleStatusKey);
    router_.UpdateAll();
    return true;
}

void CMainFrame::CreateToolBars() {
    MakeToggleCommandsCheckable(router_, this);
    const CLanguageManager& language = app_.GetLanguageManager();
    mainBar_ = MakeToolBar(ToolBarId::Main, QString::fromUtf8(kMainBarTitle), QStringLiteral("MainToolBar"),
                           router_, language, this);
    addToolBar(Qt::TopToolBarArea, mainBar_);
    modeBar_ = MakeToolBar(ToolBarId::Modes, QString::fromUtf8(kModeBarTitle),
                           QStringLiteral("MouseModeToolBar"), router_, language, this);
    addToolBar(Qt::TopToolBarArea, modeBar_);
}

void CMainFrame::CreateAccelerators() {
    AssignCommandKeys(router_);
    // Every central action belongs to the window, so its keys work whichever menu is shown.
    for (const auto& [id, action] : router_.Actions()) {
        addAction(action);
    }
}

std::vector<CommandTarget*> CMainFrame::RoutingChain() const {
    std::vector<CommandTarget*> chain;
    if (CChildFrame* frame = ActiveChildFrame()) {
        if (View* view = frame->GetView()) {
            chain.push_back(view);
        }
        if (Document* document = frame->GetDocument()) {
            chain.push_back(document);
        }
        chain.push_back(frame);
    }
    chain.push_back(const_cast<CMainFrame*>(this));
    chain.push_back(&app_);
    return chain;
}

CChildFrame* CMainFrame::ActiveChildFrame() const {
    return area_ != nullptr ? qobject_cast<CChildFrame*>(area_->currentSubWindow()) : nullptr;
}

View* CMainFrame::ActiveView() const {
    CChildFrame* frame = ActiveChildFrame();
    return frame != nullptr ? frame->GetView() : nullptr;
}

Document* CMainFrame::ActiveDocument() const {
    CChildFrame* frame = ActiveChildFrame();
    return frame != nullptr ? frame->GetDocument() : nullptr;
}

void CMainFrame::RecreateSharedFont() {
    const GeneralSettings& settings = app_.Settings();
    font_ = QFont(QString::fromStdString(settings.fontFace));
    font_.setPointSizeF(settings.fontSize / 10.0);
}

void CMainFrame::SetMessageText(const QString& text) {
    if (statusLine_) {
        statusLine_->SetMessageText(text);
    }
}

void CMainFrame::ShowStatusKey(int stateKey) {
    SetMessageText(
        OneLine(GetText(app_.GetLanguageManager(), stateKey, kStateSection)).left(kMaxStatusTextLength));
}

QString CMainFrame::MessageText() const {
    return statusLine_ ? statusLine_->MessageText() : QString();
}

void CMainFrame::UpdateLockIndicators() {
    statusLine_->UpdateLockIndicators();
}

QStringList CMainFrame::IndicatorTexts() const {
    return statusLine_->IndicatorTexts();
}

QString CMainFrame::ZoomText() const {
    return statusLine_ ? statusLine_->ZoomText() : QString();
}

void CMainFrame::InstallColourBars(QDockWidget* vertical, QDockWidget* horizontal) {
    colourBars_[0] = vertical;
    colourBars_[1] = horizontal;
    if (vertical != nullptr) {
        vertical->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        addDockWidget(Qt::LeftDockWidgetArea, vertical);
    }
    if (horizontal != nullptr) {
        horizontal->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
        addDockWidget(Qt::BottomDockWidgetArea, horizontal);
    }
    for (QDockWidget* bar : {vertical, horizontal}) {
        if (bar != nullptr) {
            connect(bar, &QDockWidget::visibilityChanged, &router_, &CommandRouter::RequestUpdate);
        }
    }
    const bool horizontalChosen = app_.Settings().horizColorBar;
    if (QDockWidget* shown = colourBars_[horizontalChosen ? 1 : 0]) {
        shown->show();
    }
    if (QDockWidget* hidden = colourBars_[horizontalChosen ? 0 : 1]) {
        hidden->hide();
    }
    router_.RequestUpdate();
}

QDockWidget* CMainFrame::ChosenColourBar() const {
    return colourBars_[app_.Settings().horizColorBar ? 1 : 0];
}

void CMainFrame::ArrangeMinimisedWindows() {
    windows_->ArrangeMinimised();
}

void CMainFrame::Cascade() {
    windows_->Cascade();
}

void CMainFrame::MoveToPane(int step) {
    View* view = ActiveView();
    if (view == nullptr) {
        return;
    }
    std::vector<QWidget*> panes;
    for (QWidget* pane : view->Panes()) {
        if (pane != nullptr && pane->isVisible()) {
            panes.push_back(pane);
        }
    }
    if (panes.empty()) {
        return;
    }
    const QWidget* focus = QApplication::focusWidget();
    const auto current = std::find_if(panes.begin(), panes.end(), [focus](const QWidget* pane) {
        return focus != nullptr && (focus == pane || pane->isAncestorOf(focus));
    });
    const auto count = static_cast<int>(panes.size());
    const int index =
        current == panes.end() ? (step > 0 ? -1 : 0) : static_cast<int>(current - panes.begin());
    QWidget* target = panes[static_cast<std::size_t>(((index + step) % count + count) % count)];
    target->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

QMenu* CMainFrame::createPopupMenu() {
    QMenu* menu = QMainWindow::createPopupMenu();
    if (menu != nullptr) {
        for (const auto& bar : colourBars_) {
            if (bar != nullptr && bar != ChosenColourBar()) {
                menu->removeAction(bar->toggleViewAction());
            }
        }
        SelectFirstItemOnOpen(*menu);
    }
    return menu;
}

void CMainFrame::ApplyColourBarChoice(bool visible) {
    const bool horizontalChosen = app_.Settings().horizColorBar;
    if (QDockWidget* other = colourBars_[horizontalChosen ? 0 : 1]) {
        other->hide();
    }
    if (QDockWidget* chosen = colourBars_[horizontalChosen ? 1 : 0]) {
        chosen->setVisible(visible);
    }
    router_.RequestUpdate();
}

void CMainFrame::RepaintColourBars() {
    for (const auto& bar : colourBars_) {
        if (bar != nullptr) {
            bar->update();
            if (QWidget* content = bar->widget()) {
                content->update();
            }
            if (auto* colourBar = qobject_cast<CColorBar*>(bar.data())) {
                colourBar->RepaintFace();
            }
        }
    }
}

void CMainFrame::RepaintWorkspace() {
    if (area_ == nullptr) {
        return;
    }
    // The background view paints MDIBCK or its picture itself; the brush serves Qt's own fills.
    const Rgb colour = app_.Settings().mdiBck;
    area_->setBackground(ToQColor(colour));
    area_->viewport()->update();
}

void CMainFrame::PrepareMenu(QMenu* root) {
    if (root == nullptr || root->property(kPreparedMenu).toBool()) {
        return;
    }
    root->setProperty(kPreparedMenu, true);
    QAction* recentMarker = router_.Action(ID_FILE_MRU_FILE1);
    QAction* windowMarker = router_.Action(ID_WINDOW_ARRANGE);
    std::function<void(QMenu*)> connectPopup = [&](QMenu* popup) {
        connect(popup, &QMenu::hovered, this, &CMainFrame::OnMenuHovered);
        connect(popup, &QMenu::aboutToHide, this, &CMainFrame::OnMenuClosed);
        const QList<QAction*> actions = popup->actions();
        if (actions.contains(recentMarker)) {
            connect(popup, &QMenu::aboutToShow, this, [this, popup] { RebuildRecentFiles(popup); });
        }
        if (actions.contains(windowMarker)) {
            connect(popup, &QMenu::aboutToShow, this,
                    [this, popup] { windows_->RebuildList(*popup, router_); });
        }
        for (QAction* action : actions) {
            if (action->menu() != nullptr) {
                connectPopup(action->menu());
            }
        }
    };
    for (QAction* action : root->actions()) {
        if (action->menu() != nullptr) {
            connectPopup(action->menu());
        }
    }
}

void CMainFrame::ShowMenu(QMenu* root) {
    if (root == nullptr || root == currentMenu_) {
        return;
    }
    QMenuBar* bar = menuBar();
    for (QAction* action : bar->actions()) {
        bar->removeAction(action);
    }
    bar->addActions(root->actions());
    currentMenu_ = root;
}

void CMainFrame::OnActiveWindowChanged() {
    QMdiSubWindow* current = area_->currentSubWindow();
    if (current != lastActive_) {
        if (auto* old = qobject_cast<CChildFrame*>(lastActive_.data()); old != nullptr && old->GetView()) {
            old->GetView()->OnActivateView(false);
        }
        if (auto* now = qobject_cast<CChildFrame*>(current); now != nullptr && now->GetView()) {
            now->GetView()->OnActivateView(true);
        }
        lastActive_ = current;
    }
    Document* document = ActiveDocument();
    QMenu* menu = document != nullptr ? document->DocumentMenu() : nullptr;
    if (menu != nullptr) {
        PrepareMenu(menu);
    }
    ShowMenu(menu != nullptr ? menu : frameMenu_.get());
    UpdateTitle();
    router_.RequestUpdate();
}

void CMainFrame::UpdateTitle() {
    const Document* document = ActiveDocument();
    setWindowTitle(document != nullptr
                       ? QStringLiteral("%1 - %2").arg(QString::fromLatin1(CBug1App::kAppTitle),
                                                       TitleWithModifiedMark(VisibleText(document->Title())))
                       : QString::fromLatin1(CBug1App::kAppTitle));
    setWindowModified(document != nullptr && document->IsModified());
}

void CMainFrame::UpdateTickTimer() {
    const bool wanted = app_.Documents().AnyDocumentWantsTicks() && !destroyed_;
    if (wanted && !tickTimer_.isActive()) {
        tickTimer_.start();
    } else if (!wanted && tickTimer_.isActive()) {
        tickTimer_.stop();
    }
}

void CMainFrame::OnTick() {
    app_.UpdateAllDocuments(nullptr, 2, 0);
}

void CMainFrame::OnMenuHovered(QAction* action) {
    const std::optional<CommandId> id = CommandRouter::CommandOf(action);
    const MenuItemStatus status = id ? MenuItemStatusOf(*id) : MenuItemStatus{kIdleStatusKey, std::nullopt};
    if (status.helpContext) {
        app_.SetHelpContext(*status.helpContext);
    }
    ShowStatusKey(status.stateKey);
}

void CMainFrame::OnMenuClosed() {
    const Document* document = ActiveDocument();
    int context = help::kNoDocument;
    if (document != nullptr) {
        context = document->Template().DocumentName() == QLatin1String(kVehicleDocumentName)
                      ? help::kVehicleDocument
                      : help::kSceneryDocument;
    }
    app_.SetHelpContext(context);
    ShowStatusKey(kIdleStatusKey);
}

void CMainFrame::RebuildRecentFiles(QMenu* popup) {
    RemoveDynamicItems(popup);
    // Files that are missing now stay listed: they may be on a disk that is not mounted. Opening
    // one that fails drops it.
    const RecentFileList& recent = app_.RecentFiles();
    QAction* marker = router_.Action(ID_FILE_MRU_FILE1);
    const auto& files = recent.Files();
    // With no recent file the marker shows, disabled, where the list would be.
    marker->setVisible(files.empty());
    for (std::size_t i = 0; i < files.size(); ++i) {
        QAction* item = router_.NewMenuItem(RecentFileCommand(int(i)),
                                            RecentFileLabel(int(i), QString::fromStdString(files[i])), popup);
        MarkDynamicItem(item);
        popup->insertAction(marker, item);
    }
    router_.UpdateMenu(popup);
}

bool CMainFrame::OnCommand(CommandId id) {
    if (const std::optional<MouseMode> mode = MouseModeOfCommand(id)) {
        app_.SetMouseMode(*mode);
        return true;
    }
    switch (id) {
        case ID_NEXT_MOUSE_MODE:
            app_.SetMouseMode(NextMouseMode(app_.GetMouseMode()));
            return true;
        case ID_DAY_NIGHT: {
            const GeneralSettings& settings = app_.Settings();
            app_.GetPalette().StepDayNight(settings.transCol, settings.transCol2);
            app_.UpdateAllDocuments(nullptr, 1, 0);
            RepaintColourBars();
            RepaintWorkspace();
            return true;
        }
        case ID_VIEW_MODE_BAR:
            modeBar_->setVisible(modeBar_->isHidden());
            return true;
        case ID_VIEW_TOOLBAR:
            mainBar_->setVisible(mainBar_->isHidden());
            return true;
        case ID_VIEW_STATUS_BAR:
            statusBar()->setVisible(statusBar()->isHidden());
            return true;
        case ID_VIEW_COLOUR_BAR:
            if (QDockWidget* bar = ChosenColourBar()) {
                bar->setVisible(bar->isHidden());
                return true;
            }
            return false;
        case ID_VIEW_PIXEL_GRID:
        case ID_VIEW_CELL_GRID: {
            GeneralSettings& settings = app_.Settings();
            bool& shown = id == ID_VIEW_PIXEL_GRID ? settings.pixelGrid : settings.cellGrid;
            shown = !shown;
            app_.UpdateAllDocuments(nullptr, 1, 0);
            return true;
        }
        case ID_WINDOW_CASCADE:
            windows_->Cascade();
            return true;
        case ID_BACKGROUND_PROPERTIES:
            RunBackgroundProperties(app_);
            return true;
        case ID_WINDOW_TILE_HORZ:
            windows_->Tile(Qt::Horizontal);
            return true;
        case ID_WINDOW_TILE_VERT:
            windows_->Tile(Qt::Vertical);
            return true;
        case ID_WINDOW_NEW:
            if (Document* document = ActiveDocument()) {
                document->Template().CreateNewFrame(*document);
                return true;
            }
            return false;
        case ID_WINDOW_ARRANGE:
            ArrangeMinimisedWindows();
            return true;
        case ID_NEXT_PANE:
        case ID_PREV_PANE:
            MoveToPane(id == ID_NEXT_PANE ? 1 : -1);
            return true;
        default:
            if (id >= ID_WINDOW_LIST_FIRST && id <= ID_WINDOW_LIST_LAST) {
                windows_->ActivateListed(id - ID_WINDOW_LIST_FIRST);
                return true;
            }
            return false;
    }
}

bool CMainFrame::OnUpdateCommand(CommandId id, CommandState& state) {
    if (const std::optional<MouseMode> mode = MouseModeOfCommand(id)) {
        state.Enable();
        state.Check(app_.GetMouseMode() == *mode);
        return true;
    }
    if (const CommandFacts* facts = FindCommand(id);
        facts != nullptr && facts->enable == EnableRule::Always) {
        state.Enable();
        return true;
    }
    switch (id) {
        case ID_VIEW_MODE_BAR:
            state.Enable();
            state.Check(!modeBar_->isHidden());
            return true;
        case ID_VIEW_PIXEL_GRID:
            state.Enable();
            state.Check(app_.Settings().pixelGrid);
            return true;
        case ID_VIEW_CELL_GRID:
            state.Enable();
            state.Check(app_.Settings().cellGrid);
            return true;
        case ID_VIEW_TOOLBAR:
            state.Enable();
            state.Check(!mainBar_->isHidden());
            return true;
        case ID_VIEW_STATUS_BAR:
            state.Enable();
            state.Check(!statusBar()->isHidden());
            return true;
        case ID_VIEW_COLOUR_BAR:
            if (QDockWidget* bar = ChosenColourBar()) {
                state.Enable();
                state.Check(!bar->isHidden());
                return true;
            }
            return false;
        case ID_WINDOW_CASCADE:
        case ID_WINDOW_TILE_HORZ:
        case ID_WINDOW_TILE_VERT:
        case ID_WINDOW_ARRANGE:
            state.Enable(!area_->subWindowList().isEmpty());
            return true;
        case ID_NEXT_PANE:
        case ID_PREV_PANE:
            state.Enable(ActiveView() != nullptr);
            return true;
        case ID_WINDOW_NEW:
            state.Enable(ActiveDocument() != nullptr);
            return true;
        default:
            if (id >= ID_WINDOW_LIST_FIRST && id <= ID_WINDOW_LIST_LAST) {
                const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::CreationOrder);
                const int index = id - ID_WINDOW_LIST_FIRST;
                state.Enable(index < windows.size());
                state.Check(index < windows.size() && windows[index] == area_->currentSubWindow());
                return true;
            }
            return false;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The tool bar layout and the desktop are recorded even if the user then keeps a document.
    const QByteArray layout = saveState();
    app_.Store().WriteBinary(kControlBarsSection, "State",
                             std::vector<std::uint8_t>(layout.begin(), layout.end()));
    if (app_.Settings().saveDsk) {
        SaveDesktop(app_);
    }
    if (!app_.Documents().SaveAllModified()) {
        event->ignore();
        return;
    }
    app_.Documents().CloseAllDocuments();
    Destroy();
    // Now, so that a settings file that cannot be written is reported over this window.
    app_.SaveAtExit();
    event->accept();
}

void CMainFrame::Destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    tickTimer_.stop();
    SettingsStore& store = app_.Store();
    store.WriteInt(kWindowSection, "ZOOMED", isMaximized() ? 1 : 0);
    store.WriteInt(kWindowSection, "ICONIC", isMinimized() ? 1 : 0);
    store.WriteInt(kWindowSection, "X", 0);
    store.WriteInt(kWindowSection, "Y", 0);
    store.WriteInt(kWindowSection, "SX", width());
    store.WriteInt(kWindowSection, "SY", height());
}

bool CMainFrame::event(QEvent* event) {
    // The message pane shows our own texts; Qt's status tips would blank it.
    if (event->type() == QEvent::StatusTip) {
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Enter:
            if (IsCommandButton(watched)) {
                const auto* button = static_cast<QToolButton*>(watched);
                if (const std::optional<CommandId> id = CommandRouter::CommandOf(button->defaultAction())) {
                    ShowStatusKey(CommandStatusKey(*id));
                }
            }
            break;
        case QEvent::Leave:
            if (IsCommandButton(watched)) {
                ShowStatusKey(kIdleStatusKey);
            }
            break;
        case QEvent::KeyPress:
            // F1 in a dialog opens the help of that dialog (its help context is the current one
            // while it is open); in the main window the accelerator does it.
            if (watched->isWindowType() && QApplication::activeModalWidget() != nullptr &&
                static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
                static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
                app_.ShowHelp();
                return true;
            }
            break;
        case QEvent::KeyRelease:
            // Windows see each key once, before the widgets. The keyboard has switched the lock
            // by the time the key comes up; counting presses would go wrong when a lock was on
            // before the editor started or was switched in another program.
            if (watched->isWindowType()) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (StatusLine::IsLockKey(key)) {
                    UpdateLockIndicators();
                }
            }
            break;
        case QEvent::ApplicationActivate:
            UpdateLockIndicators();
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        // A picture dropped beside the windows: say where it goes rather than fail to open it.
        const QString path = url.toLocalFile();
        if (QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0) {
            app_.Messages().ShowError(message::kPictureIsNoDocument, QFileInfo(path).fileName());
        } else {
            app_.OpenDocumentFile(path);
        }
    }
}

}  // namespace zobl
