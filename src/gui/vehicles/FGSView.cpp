#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/RawText.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MenuResources.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/TrainPreview.h"
#include "gui/vehicles/VehicleCommands.h"
#include "gui/vehicles/VehicleTreeImages.h"

namespace zobl {

using namespace vehicle_tree;

namespace {
constexpr int kTreeId = 5392;
constexpr int kCarEditorId = 5393;
const QPoint kKeyboardMenuPoint(20, 20);
}  // namespace

CFGSView::CFGSView(CFGSDoc& document, const EditorServices& services)
    : services_(services), document_(&document) {
    setObjectName(QStringLiteral("ZOBL_GRAPHICS_EDITOR_FGS"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);

    tree_ = new VehicleTree(this);
    tree_->setProperty("controlId", kTreeId);
    tree_->LoadTexts(services_.language);
    // For screen readers: the tree of the vehicle sets ("&Fahrzeugsatz" of the edit menu).
    tree_->setAccessibleName(AccessibleText(GetText(services_.language, 1209, kMenuSection)));
    tree_->setIndentation(kTreeIndent);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->installEventFilter(this);
    // The selection, not the current item: a click makes the item current before it selects it.
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(tree_, &QTreeWidget::itemExpanded, this, [this] { RecordTreeState(); });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [this] { RecordTreeState(); });
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        if (QTreeWidgetItem* item = tree_->itemAt(point)) {
            tree_->SelectItem(item);
        }
        ShowContextMenu(tree_->viewport()->mapTo(this, point));
    });
    setFocusProxy(tree_);

    panel_ = new CarPropertyPanel(services_.language, this);
    panel_->hide();
    connect(panel_, &CarPropertyPanel::TextsEdited, this, &CFGSView::OnPanelTexts);
    connect(panel_, &CarPropertyPanel::FlagsClicked, this, &CFGSView::OnPanelFlags);
    connect(panel_, &CarPropertyPanel::NameLeftEmpty, this, &CFGSView::OnNameLeftEmpty);
    connect(panel_, &CarPropertyPanel::EditingRunEnded, this, [this] {
        if (Model() != nullptr) {
            Model()->CloseUndoGroup();
        }
    });
    // The fields keep no history of their own: their undo and redo keys are the document's.
    connect(panel_, &CarPropertyPanel::UndoRequested, this, [this] { ExecuteCommand(ID_EDIT_UNDO); });
    connect(panel_, &CarPropertyPanel::RedoRequested, this, [this] { ExecuteCommand(ID_EDIT_REDO); });

    // The car editor: hidden until a car view is chosen.
    carEditor_ = new CCarEdi(services_, this);
    carEditor_->setProperty("controlId", kCarEditorId);
    carEditor_->SetTickDemandChanged([this] {
        if (Doc() != nullptr) {
            Doc()->NotifyTickDemandChanged();
        }
    });
    carEditor_->hide();
    // The set as a train: shown for the set and car items.
    preview_ = new TrainPreview(services_, this);
    preview_->hide();
    // The preview shows the tree's choice and takes no keys: what it is clicked for, the tree
    // then has the focus for, so that the keys and the tree's commands work on it.
    preview_->onCarClicked = [this](int car) {
        if (const auto target = tree_->SelectedTarget()) {
            tree_->SelectCar(target->set, car);
        }
        tree_->setFocus(Qt::MouseFocusReason);
    };
    preview_->onViewActivated = [this](int car, int view) { SelectViewItem(car, view); };
    preview_->onDayNightWanted = [this](int state) { StepDayNightTo(state); };
    preview_->onContextMenu = [this](const QPoint& globalPosition) {
        tree_->setFocus(Qt::MouseFocusReason);
        ShowContextMenu(mapFromGlobal(globalPosition));
    };
    commands_ = std::make_unique<VehicleCommands>(document, *this, *tree_, *carEditor_, services_);

    popupRunner_ = &ExecContextMenu;
    ApplyColours();
    ApplyFont();
    splitterPosition_ = std::max(kInitialSplitterPosition, TreeWidthForLongestSetName());
    document.Model().AttachListener(*this);
    resize(500, 360);
}

int CFGSView::TreeWidthForLongestSetName() const {
    // Letters of both cases in equal numbers stand for a name: mostly small letters, and the
    // capitals are what makes one name wider than another.
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const double letter = QFontMetricsF(tree_->font()).horizontalAdvance(letters) / double(letters.size());
    const QStyle* style = tree_->style();
    const int text = int(std::ceil(letter * double(FixedText<vehicles::kSetNameField>::kCapacity)));
    // Branch, icon and the margins around the text, the frame, and room for a vertical scroll bar.
    const int item = tree_->indentation() + tree_->iconSize().width() +
                     4 * style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree_) + 8;
    return text + item + 2 * tree_->frameWidth() +
           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree_);
}

void CFGSView::ExecuteCommand(CommandId id) {
    if (CommandRouter* router = services_.shell.Router()) {
        router->Execute(id);
    }
}

CFGSView::~CFGSView() {
    if (VehicleDocument* model = Model()) {
        model->DetachListener(*this);
    }
}

VehicleDocument* CFGSView::Model() const {
    return Doc() != nullptr ? &Doc()->Model() : nullptr;
}

MouseMode CFGSView::CurrentMouseMode() const {
    return services_.drawing.GetMouseMode();
}

int CFGSView::ViewNumber() const {
    const VehicleDocument* model = Model();
    return model != nullptr ? model->ListenerNumber(*this) : -1;
}

// ---- document hints ----

void CFGSView::OnInitialUpdate() {
    LayOut();
    OnVehicleHint({VehicleHintCode::RebuildAll});
}

void CFGSView::OnUpdate(View* /*sender*/, int hint, HintRecord* /*record*/) {
    OnVehicleHint({static_cast<VehicleHintCode>(hint)});
}

void CFGSView::OnVehicleHint(const VehicleHint& hint) {
    VehicleDocument* model = Model();
    if (model == nullptr) {
        return;
    }
    switch (hint.code) {
        case VehicleHintCode::RebuildAll:
        case VehicleHintCode::CarDeleted:
        case VehicleHintCode::Added:
        case VehicleHintCode::SetDeleted:
        case VehicleHintCode::SetAdded:
            Rebuild();
            break;
        case VehicleHintCode::Redraw:
            ApplyColours();
            carEditor_->Refresh();
            if (preview_->isVisible()) {
                preview_->Refresh();
            }
            update();
            break;
        case VehicleHintCode::CarChangedInView:
            if (editorMode_ == kProperties) {
                const auto target = tree_->SelectedTarget();
                if (target && target->set == hint.set && target->car == hint.car) {
                    LoadPanel();
                }
            }
            break;
        case VehicleHintCode::FontChanged:
            ApplyFont();
            break;
        case VehicleHintCode::SetRenamed:
            tree_->SetSetText(hint.set, FromRaw(model->Set(hint.set).name.View()));
            preview_->RefreshTexts();
            break;
        case VehicleHintCode::CarTextsChanged:
            tree_->SetCarText(hint.set, hint.car, FromRaw(model->CarAt(hint.set, hint.car).name.View()));
            break;
        case VehicleHintCode::SetAboutToBeDeleted:
        case VehicleHintCode::CarAboutToBeDeleted:
        case VehicleHintCode::AboutToMove:
            RecordTreeState();
            break;
        case VehicleHintCode::SelectCar:
            tree_->SelectCar(hint.set, hint.car);
            break;
        case VehicleHintCode::Tick:
            if (editorMode_ >= 1 && editorMode_ <= 4) {
                carEditor_->OnTick();
            }
            break;
    }
    // A document that has a name keeps it (see CGSView::OnUpdate).
    if (firstUpdate_ && Doc()->PathName().isEmpty() && Doc()->Title().isEmpty()) {
        firstUpdate_ = false;
        Doc()->SetTitle(GetText(services_.language, CFGSDoc::kNewVehicleTitleKey, kDataSection));
    }
}

std::size_t CFGSView::CaptureTreeStates(std::span<std::int32_t> into) const {
    return tree_->TopLevelStates(into);
}

void CFGSView::RestoreTreeStates(std::span<const std::int32_t> states) {
    // The records came back with the state words of their time, which every change of the
    // tree keeps current: the rebuild that follows shows this window as it was then, with the
    // selection on the record it was on. The sets' expansion is the tree's own record of it.
    VehicleDocument* model = Model();
    const int n = ViewNumber();
    if (model == nullptr || n < 0 || n >= VehicleDocument::kMaxRecordedViews) {
        return;
    }
    for (std::size_t s = 0; s < states.size() && int(s) < model->CountSets(); ++s) {
        std::int32_t& word = (*model->MutableViewState(int(s)))[std::size_t(n)];
        word = (states[s] & kItemExpandedState) ? (word | kExpandedBit) : (word & ~kExpandedBit);
    }
}

void CFGSView::Rebuild() {
    filling_ = true;
    tree_->Rebuild(*Model(), ViewNumber());
    filling_ = false;
    OnSelectionChanged();
}

void CFGSView::RecordTreeState() {
    if (!filling_ && Model() != nullptr) {
        tree_->RecordState(*Model(), ViewNumber());
    }
}

// ---- selection and the right side ----

void CFGSView::OnSelectionChanged() {
    const auto target = tree_->SelectedTarget();
    editorMode_ = target ? EditorModeOf(target->image) : kNothing;
    const bool carView = editorMode_ >= 1 && editorMode_ <= 4;
    if (carView) {
        carEditor_->SetView(Doc(), target->set, target->car, CarViewOf(target->image));
    } else {
        carEditor_->ClearView();
    }
    carEditor_->setVisible(carView);
    if (editorMode_ == kProperties) {
        LoadPanel();
    }
    panel_->setVisible(editorMode_ == kProperties);
    ShowPreview();
    RecordTreeState();
    update();
    if (Doc() != nullptr) {
        Doc()->NotifyStateChanged();
    }
}

void CFGSView::ShowPreview() {
    const auto target = tree_->SelectedTarget();
    if (target && (target->IsSet() || target->IsCar()) && Model() != nullptr) {
        preview_->ShowSet(*Model(), target->set, target->IsCar() ? target->car : -1);
        preview_->show();
    } else {
        preview_->hide();
        preview_->Clear();
    }
    // F1 follows what the right side shows while this kind of window has the help context.
    const int help = services_.help.GetHelpContext();
    if (help == kHelpContext || help == TrainPreview::kHelpContext) {
        services_.help.SetHelpContext(HelpContext());
    }
}

int CFGSView::HelpContext() const {
    return preview_->isVisible() ? TrainPreview::kHelpContext : kHelpContext;
}

void CFGSView::SelectViewItem(int car, int view) {
    const auto target = tree_->SelectedTarget();
    QTreeWidgetItem* carItem = target ? tree_->CarItem(target->set, car) : nullptr;
    if (carItem == nullptr) {
        return;
    }
    for (int i = 0; i < carItem->childCount(); ++i) {
        const auto child = VehicleTree::TargetOf(carItem->child(i));
        if (child && CarViewOf(child->image) == view) {
            tree_->SelectItem(carItem->child(i));
            return;
        }
    }
}

void CFGSView::StepDayNightTo(int state) {
    // The state is the application's: the palette steps through the four in turn.
    for (int step = 0; step <= Palette::kNightStates && services_.palette.DayNightState() != state; ++step) {
        ExecuteCommand(ID_DAY_NIGHT);
    }
}

void CFGSView::LoadPanel() {
    const auto target = tree_->SelectedTarget();
    if (!target || Model() == nullptr) {
        return;
    }
    const Car& car = Model()->CarAt(target->set, target->car);
    filling_ = true;
    panel_->Load(FromRaw(car.name.View()), FromRaw(car.text2.View()), FromRaw(car.text3.View()),
                 car.carFlags);
    filling_ = false;
}

void CFGSView::OnPanelTexts(bool continueRun) {
    const auto target = tree_->SelectedTarget();
    VehicleDocument* model = Model();
    if (filling_ || !target || model == nullptr) {
        return;
    }
    // An emptied name field keeps the car's name: an empty name would free the slot.
    QString name = panel_->Name();
    if (name.isEmpty()) {
        name = FromRaw(model->CarAt(target->set, target->car).name.View());
    }
    model->SetCarTexts(target->set, target->car, ToRaw(name), ToRaw(panel_->Text2()), ToRaw(panel_->Text3()),
                       this, CurrentMouseMode(), continueRun);
    Doc()->NotifyStateChanged();
}

void CFGSView::OnPanelFlags(std::uint32_t flags) {
    const auto target = tree_->SelectedTarget();
    VehicleDocument* model = Model();
    if (filling_ || !target || model == nullptr) {
        return;
    }
    model->SetCarFlags(target->set, target->car, flags, this, CurrentMouseMode());
    Doc()->NotifyStateChanged();
}

void CFGSView::OnNameLeftEmpty() {
    const auto target = tree_->SelectedTarget();
    if (target && Model() != nullptr) {
        panel_->RestoreName(FromRaw(Model()->CarAt(target->set, target->car).name.View()));
    }
}

// ---- layout, painting, splitter ----

void CFGSView::LayOut() {
    const int height = this->height();
    tree_->setGeometry(0, 0, splitterPosition_, height);
    const int editorLeft = splitterPosition_ + kSplitterWidth;
    carEditor_->setGeometry(editorLeft, 0, std::max(width() - editorLeft, 0), height);
    const int panelLeft = splitterPosition_ + kPanelMargin;
    const int panelWidth = std::max(width() - kPanelRightGap - panelLeft, 0);
    panel_->setGeometry(panelLeft, kPanelMargin, panelWidth, panel_->PreferredHeight());
    panel_->Arrange(panelWidth);
    preview_->setGeometry(editorLeft, 0, std::max(width() - editorLeft, 0), height);
}

void CFGSView::SetSplitterPosition(int x) {
    // The lower margin wins in a window too narrow for both.
    splitterPosition_ = std::max(std::min(x, width() - kSplitterMargin), kSplitterMargin);
    LayOut();
    update();
}

bool CFGSView::InSplitterGrip(int x) const {
    return x >= splitterPosition_ - kSplitterGrip &&
           x <= splitterPosition_ + kSplitterWidth - 1 + kSplitterGrip;
}

void CFGSView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (editorMode_ < 1 || editorMode_ > 4) {
        painter.fillRect(rect(), services_.shell.Brush(ViewBrush::VehicleView));
    }
    const QColor lines[kSplitterWidth] = {Qt::white, QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80),
                                          Qt::black};
    for (int i = 0; i < kSplitterWidth; ++i) {
        painter.setPen(lines[i]);
        painter.drawLine(splitterPosition_ + i, 0, splitterPosition_ + i, height() - 1);
    }
}

void CFGSView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CFGSView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && InSplitterGrip(event->position().toPoint().x())) {
        splitterDrag_ = true;
        return;
    }
    QWidget::mousePressEvent(event);
}

void CFGSView::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (splitterDrag_) {
        SetSplitterPosition(x);
    }
    if (splitterDrag_ || InSplitterGrip(x)) {
        setCursor(SplitterCursor());
    } else {
        unsetCursor();
    }
}

void CFGSView::mouseReleaseEvent(QMouseEvent* event) {
    if (splitterDrag_ && event->button() == Qt::LeftButton) {
        SetSplitterPosition(event->position().toPoint().x());
        splitterDrag_ = false;
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

bool CFGSView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (watched == tree_ && key->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
            ExecuteCommand(ID_VEHICLE_DELETE);
            return true;
        }
        if (watched == tree_ && key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
            ExecuteCommand(ID_CONTEXT_MENU_KEY);
            return true;
        }
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier));
        if (plain && (key->modifiers() & Qt::KeypadModifier) &&
            (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus)) {
            ExecuteCommand(key->key() == Qt::Key_Plus ? ID_ZOOM_IN : ID_ZOOM_OUT);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CFGSView::ApplyColours() {
    const GeneralSettings& settings = services_.settings;
    const std::array<Rgb, 4> colours{settings.fgsvBg, settings.fgsvFg, settings.editBg, settings.editFg};
    if (appliedColours_ == colours) {
        return;
    }
    appliedColours_ = colours;
    QPalette treePalette = tree_->palette();
    treePalette.setColor(QPalette::Base, ToQColor(settings.fgsvBg));
    treePalette.setColor(QPalette::Text, ToQColor(settings.fgsvFg));
    tree_->setPalette(treePalette);
    tree_->setIndentation(kTreeIndent);
    panel_->ApplyColours(ToQColor(settings.fgsvBg), ToQColor(settings.fgsvFg), ToQColor(settings.editBg),
                         ToQColor(settings.editFg));
    preview_->Canvas()->update();
}

void CFGSView::ApplyFont() {
    if (const QFont* font = services_.shell.SharedFont()) {
        tree_->setFont(*font);
        panel_->ApplyFont(*font);
        preview_->setFont(*font);
        preview_->RefreshTexts();
    }
}

QWidget* CFGSView::CarEditorArea() const noexcept {
    return carEditor_;
}

void CFGSView::SetContextSegment(ContextSegment segment) {
    carEditor_->SetContextSegment(segment);
}

bool CFGSView::Dragging() const {
    return carEditor_ != nullptr && carEditor_->Dragging();
}

bool CFGSView::WantsTicks() const {
    return carEditor_->WantsTicks();
}

void CFGSView::OnActivateView(bool active) {
    if (active) {
        services_.help.SetHelpContext(HelpContext());
    }
}

void CFGSView::ShowContextMenu(const QPoint& viewPoint) {
    CommandRouter* router = services_.shell.Router();
    if (router == nullptr) {
        return;
    }
    // Context menus are localised each time they are loaded.
    contextMenu_ = BuildMenu(kVehicleTreeContextMenu, *router, services_.language);
    QMenu* popup = ContextPopup(contextMenu_.get());
    if (popup == nullptr) {
        return;
    }
    router->UpdateMenu(popup);
    popupRunner_(*popup, mapToGlobal(viewPoint));
}

std::optional<ViewState> CFGSView::SaveViewState() const {
    ViewState state;
    state.zoom = carEditor_->Zoom();
    const QPoint scroll = carEditor_->ScrollPosition();
    state.scrollX = scroll.x();
    state.scrollY = scroll.y();
    int number = 0;
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        ++number;
        if ((*it)->isSelected()) {
            state.selectedEntry = number;
        }
    }
    return state;
}

void CFGSView::RestoreViewState(const ViewState& state) {
    int number = 0;
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        if (++number == state.selectedEntry) {
            tree_->SelectItem(*it);
            break;
        }
    }
    carEditor_->SetZoom(std::clamp(state.zoom, CCarEdi::kMinZoom, CCarEdi::kMaxZoom));
    carEditor_->ScrollTo(QPoint(state.scrollX, state.scrollY));
}

std::vector<QWidget*> CFGSView::Panes() {
    return {tree_, carEditor_, panel_};
}

// ---- commands ----

void CFGSView::CommandDone() {
    if (Doc() != nullptr) {
        Doc()->NotifyStateChanged();
    }
}

bool CFGSView::OnCommand(CommandId id) {
    if (Model() == nullptr) {
        return false;
    }
    if (editorMode_ >= 1 && editorMode_ <= 4 && carEditor_->OnCommand(id)) {
        CommandDone();
        return true;
    }
    if (id == ID_CONTEXT_MENU_KEY) {
        ShowContextMenu(kKeyboardMenuPoint);
    } else if (id == ID_VEHICLE_SAVE_TRAIN_PNG) {
        const auto target = tree_->SelectedTarget();
        if (!target) {
            return false;
        }
        // As shown: the preview's zoom while it shows this set.
        const int zoom = preview_->isVisible() && preview_->Set() == target->set ? preview_->StripZoom() : 1;
        Doc()->ExportTrainPng(target->set, zoom);
    } else if (!commands_->OnCommand(id)) {
        return false;
    }
    CommandDone();
    return true;
}

bool CFGSView::OnUpdateCommand(CommandId id, CommandState& state) {
    if (Model() == nullptr) {
        return false;
    }
    const auto target = tree_->SelectedTarget();
    if (id == ID_INDICATOR_ZOOM) {
        // The zoom is the car editor's, shown while it shows a car's view.
        state.Enable(target && target->IsCarView());
        state.text = carEditor_->ZoomIndicatorText();
        return true;
    }
    if (bool enabled = false; target && target->IsCarView() && carEditor_->OnUpdateCommand(id, enabled)) {
        state.Enable(enabled);
        return true;
    }
    if (id == ID_CONTEXT_MENU_KEY) {
        state.Enable(target.has_value() && tree_->HasWindowFocus());
        return true;
    }
    if (id == ID_VEHICLE_SAVE_TRAIN_PNG) {
        state.Enable(target && HasCoupledCars(Model()->Set(target->set)));
        return true;
    }
    return commands_->OnUpdateCommand(id, state);
}

}  // namespace zobl
