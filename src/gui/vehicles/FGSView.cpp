#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/RawText.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include "core/clipboard/Clippy.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MenuResources.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/CarPropertyPanel.h"
#include "gui/vehicles/DlgChooseImportCategories.h"
#include "gui/vehicles/DlgNewCar.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/EditGrpDlg.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/ImportVehicle.h"
#include "gui/vehicles/VehicleTreeImages.h"

namespace zobl {

using namespace vehicle_tree;

namespace {
constexpr int kTreeId = 5392;
constexpr int kCarEditorId = 5393;
constexpr int kQuestionDeleteSet = message::kQuestionDeleteSet;
constexpr int kQuestionDeleteCar = message::kQuestionDeleteCar;
const QPoint kKeyboardMenuPoint(20, 20);
// Section "DIALOGS": what the steam dialog edits (car, view, segment and segment count).
constexpr int kSteamSubjectKey = 3961;

// The tree's label of a car view (section "DATA"), as the items below a car read.
int ViewLabelKey(int view) {
    for (std::size_t i = 0; i < kChildImages.size(); ++i) {
        if (CarViewOf(kChildImages[i]) == view) {
            return kChildTextKeys[i];
        }
    }
    return kChildTextKeys.back();
}

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

    popupRunner_ = [](QMenu& menu, const QPoint& globalPosition) { menu.exec(globalPosition); };
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
    RecordTreeState();
    update();
    if (Doc() != nullptr) {
        Doc()->NotifyStateChanged();
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
}

void CFGSView::SetSplitterPosition(int x) {
    // The lower margin wins in a window too narrow for both.
    splitterPosition_ = std::max(std::min(x, width() - kSplitterMargin), kSplitterMargin);
    LayOut();
    update();
}

bool CFGSView::TreeHasFocus() const {
    // The window's focus, not the application's: a menu of the main window may be open.
    return window()->focusWidget() == tree_;
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
}

void CFGSView::ApplyFont() {
    if (const QFont* font = services_.shell.SharedFont()) {
        tree_->setFont(*font);
        panel_->ApplyFont(*font);
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
        services_.help.SetHelpContext(kHelpContext);
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

// ---- commands ----

void CFGSView::CommandDone() {
    if (Doc() != nullptr) {
        Doc()->NotifyStateChanged();
    }
}

void CFGSView::NewCar() {
    VehicleDocument& model = *Model();
    std::vector<std::pair<int, QString>> sets;
    for (int s = 0; s < model.CountSets(); ++s) {
        sets.emplace_back(s, FromRaw(model.Set(s).name.View()));
    }
    const auto target = tree_->SelectedTarget();
    int added = -1;
    CDlgNewCar dialog(
        services_.language, services_.messages, sets, target ? target->set : -1,
        [this, &model, &added](int set, const QString& name, int length) {
            const int result = model.NewCar(set, ToRaw(name), length, CurrentMouseMode());
            if (result == 0) {
                added = set;
            }
            return result;
        },
        services_.shell.MainWindow());
    Doc()->RunDialog(dialog);
    if (added >= 0) {
        tree_->SelectCar(added, model.CountCars(added) - 1);
    }
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

// The categories to offer, then the import dialog, which stays open for car after car.
void CFGSView::ImportFromSimulator() {
    CDlgChooseImportCategories categories(services_.language, services_.messages, 0,
                                          services_.shell.MainWindow());
    if (Doc()->RunDialog(categories) != QDialog::Accepted) {
        return;
    }
    CImportVehicle dialog(services_, Doc(), this, categories.Flags(), services_.shell.MainWindow());
    if (dialog.Open()) {
        Doc()->RunDialog(dialog);
    }
}

void CFGSView::RenameSet() {
    const auto target = tree_->SelectedTarget();
    if (!target || !target->IsSet()) {
        return;
    }
    VehicleDocument& model = *Model();
    const int set = target->set;
    CEditGrpDlg dialog(
        services_.language, services_.messages, FromRaw(model.Set(set).name.View()),
        [this, &model, set](const QString& name) {
            const std::string raw = ToRaw(name);
            if (const int problem = model.CheckRenameSet(set, raw); problem != 0) {
                return problem;
            }
            return model.RenameVehicleSet(set, raw, CurrentMouseMode()) ? 0 : -1;
        },
        services_.shell.MainWindow());
    Doc()->RunDialog(dialog);
}

void CFGSView::DeleteSelection() {
    const auto target = tree_->SelectedTarget();
    if (!target) {
        return;
    }
    VehicleDocument& model = *Model();
    MessageService& messages = services_.messages;
    bool deleted = false;
    if (target->IsSet()) {
        if (messages.AskQuestion(kQuestionDeleteSet, FromRaw(model.Set(target->set).name.View())) !=
            kAnswerYes) {
            return;
        }
        deleted = model.DeleteVehicleSet(target->set, true, CurrentMouseMode());
    } else {
        if (messages.AskQuestion(kQuestionDeleteCar,
                                 FromRaw(model.CarAt(target->set, target->car).name.View())) != kAnswerYes) {
            return;
        }
        deleted = model.DeleteCar(target->set, target->car, true, CurrentMouseMode());
    }
    if (!deleted) {
        messages.ShowError(message::kDeleteFailed);
        return;
    }
    // The neighbour takes the selection, so that the keys go on working in the tree: the car
    // (or set) that took the slot, else the one before, else the set of the deleted car.
    if (target->IsSet()) {
        tree_->SelectSet(std::min(target->set, model.CountSets() - 1));
    } else if (model.CountCars(target->set) > 0) {
        tree_->SelectCar(target->set, std::min(target->car, model.CountCars(target->set) - 1));
    } else {
        tree_->SelectSet(target->set);
    }
}

void CFGSView::CopySelection(bool sets) {
    const auto target = tree_->SelectedTarget();
    if (!target) {
        return;
    }
    if (sets) {
        services_.clipboard.SetVehicleSet(Model()->Set(target->set));
    } else {
        services_.clipboard.SetCar(Model()->CarAt(target->set, target->car));
    }
}

void CFGSView::PasteCar() {
    const auto target = tree_->SelectedTarget();
    const CClippy& clipboard = services_.clipboard;
    if (!target || !clipboard.HasCar()) {
        return;
    }
    VehicleDocument& model = *Model();
    const int result = model.PasteCar(target->set, clipboard.GetCar(), CurrentMouseMode());
    if (result == 0) {
        tree_->SelectCar(target->set, model.CountCars(target->set) - 1);
    } else if (result > 0) {
        services_.messages.ShowError(result);
    }
}

void CFGSView::PasteSet() {
    const CClippy& clipboard = services_.clipboard;
    if (!clipboard.HasVehicleSet()) {
        return;
    }
    const int slot = Model()->PasteSet(clipboard.GetVehicleSet(), CurrentMouseMode());
    if (slot >= 0) {
        tree_->SelectSet(slot);
    }
}

bool CFGSView::CanMove(bool forward) const {
    const auto target = tree_->SelectedTarget();
    const VehicleDocument* model = Model();
    if (!target || model == nullptr) {
        return false;
    }
    if (target->IsCar()) {
        return forward ? target->car >= 1 : target->car < model->CountCars(target->set) - 1;
    }
    if (target->IsSet()) {
        return forward ? target->set >= 1 : target->set < model->CountSets() - 1;
    }
    return false;
}

void CFGSView::Move(bool forward) {
    const auto target = tree_->SelectedTarget();
    if (!target || !CanMove(forward)) {
        return;
    }
    VehicleDocument& model = *Model();
    const Car& car = model.CarAt(target->set, target->car);
    if (target->IsCar()) {
        if (forward) {
            model.MoveCarForward(car.setIndex, car.carIndex, true, CurrentMouseMode());
        } else {
            model.MoveCarBack(car.setIndex, car.carIndex, true, CurrentMouseMode());
        }
    } else if (forward) {
        model.MoveSetForward(target->set, true, CurrentMouseMode());
    } else {
        model.MoveSetBack(target->set, true, CurrentMouseMode());
    }
}

void CFGSView::EditSteam() {
    const auto target = tree_->SelectedTarget();
    if (!target || !target->IsCarView()) {
        return;
    }
    VehicleDocument& model = *Model();
    const int view = CarViewOf(target->image);
    const int segment =
        SegmentOfContext(view, model.CarAt(target->set, target->car).length, carEditor_->GetContextSegment());
    if (segment < 0) {
        // The remembered band lies outside this car: nothing to set.
        QApplication::beep();
        return;
    }
    const CLanguageManager& language = services_.language;
    CDlgSteamProperties dialog(language, model.SegmentWord(target->set, target->car, view, segment),
                               services_.shell.MainWindow());
    const Car& car = model.CarAt(target->set, target->car);
    dialog.SetSubject(GetText(language, kSteamSubjectKey, kDialogsSection)
                          .replace(QStringLiteral("%1"), FromRaw(car.name.View()))
                          .replace(QStringLiteral("%2"), GetText(language, ViewLabelKey(view), kDataSection))
                          .replace(QStringLiteral("%3"), QString::number(segment + 1))
                          .replace(QStringLiteral("%4"), QString::number(car.length)));
    if (Doc()->RunDialog(dialog) == QDialog::Accepted) {
        model.SetSteamValue(target->set, target->car, view, segment, dialog.Value(), CurrentMouseMode());
    }
}

void CFGSView::CopyKey() {
    const auto target = tree_->SelectedTarget();
    if (target && (target->IsSet() || target->IsCar())) {
        CopySelection(target->IsSet());
    }
}

void CFGSView::PasteKey() {
    const auto target = tree_->SelectedTarget();
    if (!target) {
        return;
    }
    if (target->IsSet()) {
        PasteSet();
    } else if (target->IsCar()) {
        PasteCar();
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
    switch (id) {
        case ID_VEHICLE_NEW_CAR:
            NewCar();
            break;
        case ID_VEHICLE_NEW_SET:
            if (const int set = Doc()->NewVehicleSet(); set >= 0) {
                tree_->SelectSet(set);
            }
            break;
        case ID_VEHICLE_EDIT_SET:
            RenameSet();
            break;
        case ID_VEHICLE_DELETE:
            DeleteSelection();
            break;
        case ID_VEHICLE_COPY_SET:
            CopySelection(true);
            break;
        case ID_VEHICLE_COPY_CAR:
            CopySelection(false);
            break;
        case ID_VEHICLE_PASTE_CAR:
            PasteCar();
            break;
        case ID_VEHICLE_PASTE_SET:
            PasteSet();
            break;
        case ID_VEHICLE_MOVE_FORWARD:
            Move(true);
            break;
        case ID_VEHICLE_MOVE_BACK:
            Move(false);
            break;
        case ID_VEHICLE_STEAM:
            EditSteam();
            break;
        case ID_VEHICLE_IMPORT:
            ImportFromSimulator();
            break;
        case ID_CONTEXT_MENU_KEY:
            ShowContextMenu(kKeyboardMenuPoint);
            break;
        // The menu's copy and paste do for sets and cars what their keys do.
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            CopyKey();
            break;
        case ID_EDIT_PASTE:
        case ID_EDIT_PASTE_ACTIVE:
            PasteKey();
            break;
        default:
            return false;
    }
    CommandDone();
    return true;
}

bool CFGSView::OnUpdateCommand(CommandId id, CommandState& state) {
    const VehicleDocument* model = Model();
    if (model == nullptr) {
        return false;
    }
    const auto target = tree_->SelectedTarget();
    const bool set = target && target->IsSet();
    const bool car = target && target->IsCar();
    const CClippy& clipboard = services_.clipboard;
    if (bool enabled = false; target && target->IsCarView() && carEditor_->OnUpdateCommand(id, enabled)) {
        state.Enable(enabled);
        return true;
    }
    switch (id) {
        case ID_VEHICLE_NEW_CAR:
            state.Enable();
            return true;
        case ID_VEHICLE_EDIT_SET:
            state.Enable(set);
            return true;
        case ID_VEHICLE_DELETE:
            state.Enable(set || car);
            return true;
        case ID_VEHICLE_COPY_SET:
            state.Enable(set && TreeHasFocus());
            return true;
        case ID_VEHICLE_COPY_CAR:
            state.Enable(car && TreeHasFocus());
            return true;
        case ID_VEHICLE_PASTE_CAR:
            state.Enable(clipboard.HasCar());
            return true;
        case ID_VEHICLE_PASTE_SET:
            state.Enable(clipboard.HasVehicleSet());
            return true;
        case ID_VEHICLE_MOVE_FORWARD:
            state.Enable(CanMove(true));
            return true;
        case ID_VEHICLE_MOVE_BACK:
            state.Enable(CanMove(false));
            return true;
        case ID_VEHICLE_STEAM:
            state.Enable(target && target->IsCarView());
            return true;
        case ID_VEHICLE_IMPORT:
            state.Enable();
            return true;
        case ID_CONTEXT_MENU_KEY:
            state.Enable(target.has_value() && TreeHasFocus());
            return true;
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            state.Enable(set || car);
            return true;
        case ID_EDIT_PASTE:
        case ID_EDIT_PASTE_ACTIVE:
            state.Enable((set && clipboard.HasVehicleSet()) || (car && clipboard.HasCar()));
            return true;
        default:
            return false;
    }
}

}  // namespace zobl
