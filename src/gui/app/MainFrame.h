#pragma once

#include <array>
#include <memory>

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "gui/framework/CommandRouter.h"
#include "gui/framework/CommandTarget.h"

class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace zobl {

class CBug1App;
class CChildFrame;
class StatusLine;
class WorkspaceWindows;
class Document;
class View;

// The multi-document main window: menu bar, the main and the mouse-mode tool bars, the status
// line, the workspace with the document windows, the 5 ms timer and the shared font. Owns the
// command router; its own commands are the mouse modes, day/night, bar visibility and tiling.
class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    static constexpr int kTickMilliseconds = 5;
    static constexpr const char* kControlBarsSection = "MAINFRAME_CONTROLBARS";
    static constexpr const char* kWindowSection = "MAINWINDOW";

    explicit CMainFrame(CBug1App& app);
    ~CMainFrame() override;

    // The creation steps: tool bars, status line, docking, timer, font, menu 128, workspace.
    bool Create();

    CommandRouter& Router() noexcept { return router_; }
    QMdiArea* MdiArea() const noexcept { return area_; }
    QToolBar* MainToolBar() const noexcept { return mainBar_; }
    QToolBar* ModeToolBar() const noexcept { return modeBar_; }

    CChildFrame* ActiveChildFrame() const;
    View* ActiveView() const;
    Document* ActiveDocument() const;

    // The font the views write with (FONTFACE, FONTSIZE).
    const QFont& SharedFont() const noexcept { return font_; }
    void RecreateSharedFont();

    // The message pane of the status line.
    void SetMessageText(const QString& text);
    void ShowStatusKey(int stateKey);
    QString MessageText() const;
    // The texts of the three lock indicators ("UF", "NUM", "RF" while on, empty while off or
    // while the window system does not tell).
    QStringList IndicatorTexts() const;
    // The zoom pane's text ("Zoom 8", or empty).
    QString ZoomText() const;
    // Shows the lock keys' states as the window system reports them now.
    void UpdateLockIndicators();

    // Hooks for the colour bars: the frame shows the one HORIZCOLORBAR chooses and hides the other.
    void InstallColourBars(QDockWidget* vertical, QDockWidget* horizontal);
    QDockWidget* ChosenColourBar() const;
    // The menu of bars and docks (right click on a bar): only the colour bar the setting
    // HORIZCOLORBAR chooses can be switched on there.
    QMenu* createPopupMenu() override;
    // "Symbole anordnen": the minimised windows in rows along the bottom of the workspace, from
    // the left.
    void ArrangeMinimisedWindows();
    // "Überlappend": the windows that are not minimised, from the bottom of the stack to the top,
    // each two thirds of the workspace (never below its own minimum), one title bar lower and
    // further right than the one before; where the next step would reach past the workspace the
    // cascade starts again at its top left corner. The active window stays on top.
    void Cascade();
    // F6 and Shift+F6: the focus to the next or previous pane of the active window.
    void MoveToPane(int step);
    // After HORIZCOLORBAR changed: hides the other bar and shows or hides the chosen one.
    void ApplyColourBarChoice(bool visible);
    void RepaintColourBars();
    void RepaintWorkspace();

    // The menu resource on show: 128 without an active document window, else the document's.
    QMenu* CurrentMenu() const noexcept { return currentMenu_; }
    QMenu* FrameMenu() const noexcept { return frameMenu_.get(); }

    // Runs only while a document needs the tick, so idle documents cost nothing.
    bool IsTickTimerActive() const { return tickTimer_.isActive(); }
    void OnTick();

    // The steps when the window is destroyed (timer, font, "MAINWINDOW"); once.
    void Destroy();

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateToolBars();
    void CreateAccelerators();
    void PrepareMenu(QMenu* root);
    void ShowMenu(QMenu* root);
    void OnActiveWindowChanged();
    void UpdateTitle();
    void UpdateTickTimer();
    void OnMenuHovered(QAction* action);
    void OnMenuClosed();
    void RebuildRecentFiles(QMenu* popup);
    std::vector<CommandTarget*> RoutingChain() const;

    CBug1App& app_;
    CommandRouter router_;
    QMdiArea* area_ = nullptr;
    QToolBar* mainBar_ = nullptr;
    QToolBar* modeBar_ = nullptr;
    std::unique_ptr<StatusLine> statusLine_;
    std::unique_ptr<WorkspaceWindows> windows_;

    QPointer<QDockWidget> colourBars_[2];  // vertical, horizontal
    std::unique_ptr<QMenu> frameMenu_;
    QMenu* currentMenu_ = nullptr;
    QPointer<QMdiSubWindow> lastActive_;
    QTimer tickTimer_;
    QFont font_;
    bool destroyed_ = false;
};

}  // namespace zobl
