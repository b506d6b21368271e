#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "core/clipboard/Clippy.h"
#include "core/drawing/MouseMode.h"
#include "core/drawing/UBStack.h"
#include "core/lang/LanguageManager.h"
#include "core/palette/Palette.h"
#include "core/settings/GeneralSettings.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/HelpService.h"
#include "gui/framework/MessageService.h"

class QBrush;
class QFont;
class QWidget;

namespace zobl {

namespace simimport {
class SimVehicleReader;
}

// The choices every editor window draws with: the mouse mode (and the one the pipette returns
// to) and the two drawing colours, palette indices kept in the settings (COLOR1, COLOR2).
class DrawingChoices : public QObject {
    Q_OBJECT
public:
    explicit DrawingChoices(GeneralSettings& settings) : settings_(settings) {}

    MouseMode GetMouseMode() const noexcept { return mouseMode_.Current(); }
    MouseMode PreviousMouseMode() const noexcept { return mouseMode_.Previous(); }
    // Returns the mode current before.
    MouseMode SetMouseMode(MouseMode mode);

    int GetColor1() const noexcept;
    int GetColor2() const noexcept;
    // A change repaints the colour bars and, with UNDOBYCOLORCHANGE, ends the active document's
    // undo step (the hook). Return the old colour.
    int SetColor1(int colour);
    int SetColor2(int colour);
    void SetColourChangeHook(std::function<void()> hook) { colourChanged_ = std::move(hook); }

signals:
    void MouseModeChanged(zobl::MouseMode mode);
    void DrawingColoursChanged();

private:
    int SetDrawingColour(int& member, int colour);

    GeneralSettings& settings_;
    MouseModeState mouseMode_;
    std::function<void()> colourChanged_;
};

// The views' background brushes, made from the settings.
enum class ViewBrush { VehicleView, EditField, SceneryView };

// What the main window offers the windows of the features. Documents and views may live without
// one (tests, the start): then there is no router, no shared font and no owner for dialogs.
class EditorShell {
public:
    virtual CommandRouter* Router() const = 0;
    virtual const QFont* SharedFont() const = 0;
    virtual void SetMessageText(const QString& text) = 0;
    // The main window, owner of the dialogs that no other window asks for.
    virtual QWidget* MainWindow() const = 0;
    // A text for the user that has no number.
    virtual void ShowInfo(const QString& title, const QString& text) = 0;
    virtual const QBrush& Brush(ViewBrush kind) const = 0;
    // The internal clipboard file.
    virtual QString ClipboardFilePath() const = 0;

protected:
    ~EditorShell() = default;
};

// The narrow services the documents, views and dialogs of the features are handed; the
// application owns each of them.
struct EditorServices {
    const CLanguageManager& language;
    GeneralSettings& settings;
    MessageService& messages;
    Palette& palette;
    DrawingChoices& drawing;
    CClippy& clipboard;
    CStackList& stacks;
    HelpService& help;
    EditorShell& shell;
    simimport::SimVehicleReader& simReader;
};

}  // namespace zobl
