#include "gui/vehicles/VehicleCommands.h"
#include "gui/vehicles/RawText.h"

#include <algorithm>

#include <QApplication>

#include "core/clipboard/Clippy.h"
#include "gui/framework/CommandTarget.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/CarEdi.h"
#include "gui/vehicles/DlgChooseImportCategories.h"
#include "gui/vehicles/DlgNewCar.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/EditGrpDlg.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/ImportVehicle.h"
#include "gui/vehicles/VehicleTree.h"
#include "gui/vehicles/VehicleTreeImages.h"

namespace zobl {

using namespace vehicle_tree;

namespace {
constexpr int kQuestionDeleteSet = message::kQuestionDeleteSet;
constexpr int kQuestionDeleteCar = message::kQuestionDeleteCar;
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

VehicleCommands::VehicleCommands(CFGSDoc& document, CFGSView& view, VehicleTree& tree,
                                 const CCarEdi& carEditor, const EditorServices& services)
    : document_(&document), view_(view), tree_(tree), carEditor_(carEditor), services_(services) {}

VehicleDocument* VehicleCommands::Model() const {
    return document_ != nullptr ? &document_->Model() : nullptr;
}

MouseMode VehicleCommands::CurrentMouseMode() const {
    return services_.drawing.GetMouseMode();
}

bool VehicleCommands::OnCommand(CommandId id) {
    if (Model() == nullptr) {
        return false;
    }
    switch (id) {
        case ID_VEHICLE_NEW_CAR:
            NewCar();
            return true;
        case ID_VEHICLE_NEW_SET:
            NewSet();
            return true;
        case ID_VEHICLE_EDIT_SET:
            RenameSet();
            return true;
        case ID_VEHICLE_DELETE:
            DeleteSelection();
            return true;
        case ID_VEHICLE_COPY_SET:
            CopySelection(true);
            return true;
        case ID_VEHICLE_COPY_CAR:
            CopySelection(false);
            return true;
        case ID_VEHICLE_PASTE_CAR:
            PasteCar();
            return true;
        case ID_VEHICLE_PASTE_SET:
            PasteSet();
            return true;
        case ID_VEHICLE_MOVE_FORWARD:
            Move(true);
            return true;
        case ID_VEHICLE_MOVE_BACK:
            Move(false);
            return true;
        case ID_VEHICLE_STEAM:
            EditSteam();
            return true;
        case ID_VEHICLE_IMPORT:
            ImportFromSimulator();
            return true;
        // The menu's copy and paste do for sets and cars what their keys do.
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            CopyKey();
            return true;
        case ID_EDIT_PASTE:
        case ID_EDIT_PASTE_ACTIVE:
            PasteKey();
            return true;
        default:
            return false;
    }
}

bool VehicleCommands::OnUpdateCommand(CommandId id, CommandState& state) const {
    if (Model() == nullptr) {
        return false;
    }
    const auto target = tree_.SelectedTarget();
    const bool set = target && target->IsSet();
    const bool car = target && target->IsCar();
    const CClippy& clipboard = services_.clipboard;
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
            state.Enable(set && tree_.HasWindowFocus());
            return true;
        case ID_VEHICLE_COPY_CAR:
            state.Enable(car && tree_.HasWindowFocus());
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

void VehicleCommands::NewSet() {
    if (const int set = document_->NewVehicleSet(); set >= 0) {
        tree_.SelectSet(set);
    }
}

void VehicleCommands::NewCar() {
    VehicleDocument& model = *Model();
    std::vector<std::pair<int, QString>> sets;
    for (int s = 0; s < model.CountSets(); ++s) {
        sets.emplace_back(s, FromRaw(model.Set(s).name.View()));
    }
    const auto target = tree_.SelectedTarget();
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
    document_->RunDialog(dialog);
    if (added >= 0) {
        tree_.SelectCar(added, model.CountCars(added) - 1);
    }
}

void VehicleCommands::RenameSet() {
    const auto target = tree_.SelectedTarget();
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
    document_->RunDialog(dialog);
}

void VehicleCommands::DeleteSelection() {
    const auto target = tree_.SelectedTarget();
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
        tree_.SelectSet(std::min(target->set, model.CountSets() - 1));
    } else if (model.CountCars(target->set) > 0) {
        tree_.SelectCar(target->set, std::min(target->car, model.CountCars(target->set) - 1));
    } else {
        tree_.SelectSet(target->set);
    }
}

void VehicleCommands::CopySelection(bool sets) {
    const auto target = tree_.SelectedTarget();
    if (!target) {
        return;
    }
    if (sets) {
        services_.clipboard.SetVehicleSet(Model()->Set(target->set));
    } else {
        services_.clipboard.SetCar(Model()->CarAt(target->set, target->car));
    }
}

void VehicleCommands::PasteCar() {
    const auto target = tree_.SelectedTarget();
    const CClippy& clipboard = services_.clipboard;
    if (!target || !clipboard.HasCar()) {
        return;
    }
    VehicleDocument& model = *Model();
    const int result = model.PasteCar(target->set, clipboard.GetCar(), CurrentMouseMode());
    if (result == 0) {
        tree_.SelectCar(target->set, model.CountCars(target->set) - 1);
    } else if (result > 0) {
        services_.messages.ShowError(result);
    }
}

void VehicleCommands::PasteSet() {
    const CClippy& clipboard = services_.clipboard;
    if (!clipboard.HasVehicleSet()) {
        return;
    }
    const int slot = Model()->PasteSet(clipboard.GetVehicleSet(), CurrentMouseMode());
    if (slot >= 0) {
        tree_.SelectSet(slot);
    }
}

bool VehicleCommands::CanMove(bool forward) const {
    const auto target = tree_.SelectedTarget();
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

void VehicleCommands::Move(bool forward) {
    const auto target = tree_.SelectedTarget();
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

void VehicleCommands::EditSteam() {
    const auto target = tree_.SelectedTarget();
    if (!target || !target->IsCarView()) {
        return;
    }
    VehicleDocument& model = *Model();
    const int view = CarViewOf(target->image);
    const int segment =
        SegmentOfContext(view, model.CarAt(target->set, target->car).length, carEditor_.GetContextSegment());
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
    if (document_->RunDialog(dialog) == QDialog::Accepted) {
        model.SetSteamValue(target->set, target->car, view, segment, dialog.Value(), CurrentMouseMode());
    }
}

// The categories to offer, then the import dialog, which stays open for car after car.
void VehicleCommands::ImportFromSimulator() {
    CDlgChooseImportCategories categories(services_.language, services_.messages, 0,
                                          services_.shell.MainWindow());
    if (document_->RunDialog(categories) != QDialog::Accepted) {
        return;
    }
    CImportVehicle dialog(services_, document_, &view_, categories.Flags(), services_.shell.MainWindow());
    if (dialog.Open()) {
        document_->RunDialog(dialog);
    }
}

void VehicleCommands::CopyKey() {
    const auto target = tree_.SelectedTarget();
    if (target && (target->IsSet() || target->IsCar())) {
        CopySelection(target->IsSet());
    }
}

void VehicleCommands::PasteKey() {
    const auto target = tree_.SelectedTarget();
    if (!target) {
        return;
    }
    if (target->IsSet()) {
        PasteSet();
    } else if (target->IsCar()) {
        PasteCar();
    }
}

}  // namespace zobl
