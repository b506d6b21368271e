#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include <QPointer>
#include <QWidget>

#include "core/vehicles/SteamProperties.h"
#include "core/vehicles/VehicleDocument.h"
#include "gui/framework/View.h"
#include "gui/vehicles/VehicleTree.h"

class QMenu;

namespace zobl {

struct EditorServices;
class CFGSDoc;
class CarPropertyPanel;
class CCarEdi;
class TrainPreview;
class VehicleCommands;

// The window of a vehicle graphic: the tree of sets, cars and car views on the left; right of
// a movable splitter the car editor with the car view chosen in the tree, the properties of
// the chosen car, or for a set or car item the set as a train. The tree selection is the target of the set
// and car commands, which the car editor gets first and VehicleCommands runs. Every window of a document
// keeps its own expanded and selected items, across undo and rebuilds.
class CFGSView : public QWidget, public View, public VehicleDocumentListener {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 2080;
    static constexpr int kInitialSplitterPosition = 150;  // at least; wider for a long set name
    static constexpr int kSplitterWidth = 4;
    static constexpr int kSplitterGrip = 4;     // a press this close to the splitter drags it
    static constexpr int kSplitterMargin = 20;  // the splitter stays this far from both edges
    static constexpr int kPanelMargin = 10;
    static constexpr int kPanelRightGap = 2;
    static constexpr int kTreeIndent = 12;

    // What the right side shows: 0 nothing, 1..4 the car editor with view 1, 2, 0, 3, 5 the
    // properties of the car.
    enum EditorModeValue { kNothing = 0, kProperties = 5 };

    CFGSView(CFGSDoc& document, const EditorServices& services);
    ~CFGSView() override;

    QWidget* Widget() override { return this; }
    void OnInitialUpdate() override;
    void OnUpdate(View* sender, int hint, HintRecord* record) override;
    void OnActivateView(bool active) override;
    bool WantsTicks() const override;
    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;
    // The tree, the car editor and the property panel.
    std::vector<QWidget*> Panes() override;
    // The car editor's zoom and scroll position, and the selected tree entry counted from 1 in
    // tree order (sets, their cars, the cars' five items; 0: none).
    std::optional<ViewState> SaveViewState() const override;
    void RestoreViewState(const ViewState& state) override;

    void OnVehicleHint(const VehicleHint& hint) override;
    std::size_t CaptureTreeStates(std::span<std::int32_t> into) const override;
    void RestoreTreeStates(std::span<const std::int32_t> states) override;

    VehicleTree* Tree() const noexcept { return tree_; }
    CarPropertyPanel* Panel() const noexcept { return panel_; }
    // The car editor, shown for the car view items.
    QWidget* CarEditorArea() const noexcept;
    CCarEdi* CarEditor() const noexcept { return carEditor_; }
    TrainPreview* Preview() const noexcept { return preview_; }
    bool Dragging() const override;
    int EditorMode() const noexcept { return editorMode_; }
    int SplitterPosition() const noexcept { return splitterPosition_; }
    // Clamped to the margins; lays the children out again.
    void SetSplitterPosition(int x);
    // The view's slot in the records' state words, -1 when it has none.
    int ViewNumber() const;
    std::optional<VehicleTreeTarget> SelectedTarget() const { return tree_->SelectedTarget(); }

    // The band a right click in the car editor remembered, for the steam properties.
    void SetContextSegment(ContextSegment segment);

    // Shows the tree's context menu; tests put their own in place of QMenu::exec.
    using PopupRunner = std::function<void(QMenu& menu, const QPoint& globalPosition)>;
    void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }
    void ShowContextMenu(const QPoint& viewPoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CFGSDoc* Doc() const { return document_.data(); }
    VehicleDocument* Model() const;
    MouseMode CurrentMouseMode() const;

    void Rebuild();
    void RecordTreeState();
    void OnSelectionChanged();
    void LoadPanel();
    void LayOut();
    void ApplyColours();
    void ApplyFont();
    bool InSplitterGrip(int x) const;
    // The tree's width at which a set name of the longest length fits in the average font.
    int TreeWidthForLongestSetName() const;
    // Through the main window, as the menu would: only when enabled.
    void ExecuteCommand(CommandId id);

    void OnPanelTexts(bool continueRun);
    void OnPanelFlags(std::uint32_t flags);
    void OnNameLeftEmpty();

    void CommandDone();
    void ShowPreview();
    void SelectViewItem(int car, int view);
    void StepDayNightTo(int state);
    int HelpContext() const;

    const EditorServices& services_;
    QPointer<CFGSDoc> document_;
    VehicleTree* tree_ = nullptr;
    CarPropertyPanel* panel_ = nullptr;
    CCarEdi* carEditor_ = nullptr;
    TrainPreview* preview_ = nullptr;
    std::unique_ptr<VehicleCommands> commands_;
    int editorMode_ = kNothing;
    int splitterPosition_ = kInitialSplitterPosition;
    bool splitterDrag_ = false;
    bool firstUpdate_ = true;
    bool filling_ = false;
    PopupRunner popupRunner_;
    std::unique_ptr<QMenu> contextMenu_;
    // The colours last given to the tree and the panel; a redraw after a pixel edit leaves
    // their palettes alone.
    std::optional<std::array<Rgb, 4>> appliedColours_;
};

}  // namespace zobl
