#include "gui/vehicles/ImportVehicle.h"

#include <algorithm>
#include <chrono>

#include <QListWidget>
#include <QPushButton>

#include "core/common/MessageError.h"
#include "core/lang/Messages.h"
#include "core/simimport/VehicleImport.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MessageService.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/ImportPreview.h"
#include "gui/vehicles/RawText.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/GeneralDialogs.h"
#include "ui_ImportVehicle.h"

namespace zobl {

namespace {

// Every category: a vehicle is asked for by its identifier, whatever the listing's filter was.
constexpr unsigned kAnyCategory = simimport::kUserCategories;

// Moves the selection to row, or clears it when there is no such row.
void SelectRow(QListWidget* list, int row) {
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        list->scrollToItem(list->item(row));
    } else {
        list->clearSelection();
        list->setCurrentRow(-1);
    }
}

}  // namespace

CImportVehicle::CImportVehicle(const EditorServices& services, CFGSDoc* document, CFGSView* view,
                               unsigned categoryFilter, QWidget* parent)
    : QDialog(parent),
      services_(services),
      document_(document),
      view_(view),
      categoryFilter_(categoryFilter),
      ui_(std::make_unique<Ui::ImportVehicle>()) {
    ui_->setupUi(this);
    help_ = StartDialog(*this, services_.language, kHelpContext, ui_->import1, ui_->close2, ui_->help9);
    connect(ui_->newSet10, &QPushButton::clicked, this, &CImportVehicle::NewSet);
    connect(ui_->vehicles1060, &QListWidget::itemSelectionChanged, this,
            &CImportVehicle::OnVehicleSelectionChanged);
    ui_->preview1066->Show(nullptr, &services_.palette);
}

CImportVehicle::~CImportVehicle() = default;

QListWidget* CImportVehicle::VehicleList() const {
    return ui_->vehicles1060;
}

QListWidget* CImportVehicle::SetList() const {
    return ui_->sets1045;
}

ImportPreview* CImportVehicle::Preview() const {
    return ui_->preview1066;
}

QString CImportVehicle::VehicleText(int index) const {
    const QLabel* fields[] = {ui_->text1063, ui_->text1064, ui_->text1065};
    return fields[index]->text();
}

const simimport::SimVehicle* CImportVehicle::ShownVehicle() const {
    return nothingSelected_ || unreadableFile_ || tooLong_ ? nullptr : &vehicle_;
}

QString CImportVehicle::SelectedVehicleName() const {
    const QListWidgetItem* item = ui_->vehicles1060->currentItem();
    return item != nullptr ? item->text() : QString();
}

QString CImportVehicle::TooLongText() const {
    return QString::fromStdString(
        MessageText(services_.language, message::kImportVehicleTooLong, SelectedVehicleName().toStdString()));
}

bool CImportVehicle::Open() {
    FillSetList();
    if (view_ != nullptr) {
        if (const auto target = view_->SelectedTarget(); target && target->set >= 0) {
            SelectRow(ui_->sets1045, target->set);
        }
    }

    StartListing();
    // This dialog shows only after the listing: the "please wait" belongs to the window below.
    CInfoDlg info(services_.language, isVisible() ? this : parentWidget());
    info.SetStep([this](CInfoDlg& dialog, std::intptr_t) { return ListingStep(dialog); }, 0);
    const int ended = document_ != nullptr ? document_->RunDialog(info) : info.exec();
    if (ended != kListingEnded) {
        listing_.reset();  // cancelled: the reader lets go of its files
        return false;
    }
    switch (listing_->CurrentStatus()) {
        case simimport::SimListing::Status::NotFound:
            listing_.reset();
            services_.messages.ShowError(message::kSimulatorNotFound, {}, parentWidget());
            return false;
        case simimport::SimListing::Status::FileError:
            services_.messages.ShowError(message::kFileError, QString::fromStdString(listing_->FailedFile()),
                                         parentWidget());
            break;
        default:
            if (listing_->Entries().empty()) {
                // Not an error of any file: the chosen categories hold no vehicle.
                listing_.reset();
                services_.messages.ShowError(message::kImportNothingListed, {}, parentWidget());
                return false;
            }
            break;
    }
    FillVehicleList();
    listing_.reset();
    SelectRow(ui_->vehicles1060, 0);
    OnVehicleSelectionChanged();
    return true;
}

void CImportVehicle::StartListing() {
    listing_.reset();  // before the next listing takes the reader
    listing_.emplace(services_.simReader, categoryFilter_);
    shownProgress_ = 0;
}

int CImportVehicle::ListingStep(CInfoDlg& info) {
    if (!listing_) {
        return kListingEnded;
    }
    listing_->Step(std::chrono::milliseconds(kListingStepMilliseconds));
    // The field shows the vehicle read last; the ones before it would only flash by.
    const auto& entries = listing_->Entries();
    if (entries.size() > shownProgress_) {
        shownProgress_ = entries.size();
        info.SetText(QString::fromStdString(entries.back().Text()));
    }
    return listing_->Running() ? CInfoDlg::kStepAgain : kListingEnded;
}

void CImportVehicle::FillVehicleList() {
    if (!listing_) {
        return;
    }
    struct Row {
        QString text;
        QString key;  // case-folded text
        int identifier;
    };
    std::vector<Row> rows;
    rows.reserve(listing_->Entries().size());
    for (const simimport::SimListEntry& entry : listing_->Entries()) {
        QString text = QString::fromStdString(entry.Text());
        QString key = text.toCaseFolded();
        rows.push_back({std::move(text), std::move(key), entry.identifier});
    }
    // Sorted by text as a list box sorts, without regard to letter case; equal texts keep the
    // order of the simulator's files.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.key < b.key; });
    QStringList texts;
    texts.reserve(qsizetype(rows.size()));
    listIdentifiers_.clear();
    listIdentifiers_.reserve(rows.size());
    for (Row& row : rows) {
        texts.append(std::move(row.text));
        listIdentifiers_.push_back(row.identifier);
    }
    QListWidget* list = ui_->vehicles1060;
    const QSignalBlocker blocker(list);
    list->clear();
    // One insertion for the whole list: thousands of single ones would each tell the view.
    list->addItems(texts);
}

void CImportVehicle::FillSetList() {
    QListWidget* list = ui_->sets1045;
    list->clear();
    if (document_ != nullptr && view_ != nullptr) {
        const VehicleDocument& model = document_->Model();
        for (int set = 0; set < model.CountSets(); ++set) {
            const std::string_view name = model.Set(set).name.View();
            if (name.empty()) {
                break;
            }
            AddListEntry(list, FromRaw(name), set);
        }
        ui_->newSet10->setEnabled(model.CountSets() <= kSetsAllowingNewSet);
    }
}

int CImportVehicle::ChosenSet() const {
    return SelectedData(ui_->sets1045);
}

void CImportVehicle::OnVehicleSelectionChanged() {
    const int row = SelectedRow(ui_->vehicles1060);
    if (row < 0) {
        nothingSelected_ = true;
        return;
    }
    nothingSelected_ = false;
    const int identifier = listIdentifiers_.at(static_cast<std::size_t>(row));
    if (identifier == shownIdentifier_ && !unreadableFile_ && !tooLong_) {
        return;
    }
    shownIdentifier_ = identifier;
    simimport::SimVehicleReader& reader = services_.simReader;
    simimport::SimVehicle vehicle;
    const int result = reader.QueryVehicle(identifier, kAnyCategory, &vehicle);
    tooLong_ = result < 0 && reader.VehicleTooLong();
    if (tooLong_) {
        unreadableFile_.reset();
        vehicle_ = simimport::SimVehicle{};
        ShowTexts();
        ui_->preview1066->ShowNote(TooLongText());
        return;
    }
    if (result < 0) {
        // Not the previous vehicle under this one's name: nothing to show or import.
        std::string file = reader.FailedFile();
        if (file.empty()) {
            file = reader.Location().directory + simimport::kGroupFileName;
        }
        unreadableFile_ = std::move(file);
        vehicle_ = simimport::SimVehicle{};
    } else {
        unreadableFile_.reset();
        vehicle_ = std::move(vehicle);
        simimport::TranslateToPaletteIndices(vehicle_);
    }
    ShowTexts();
    ui_->preview1066->Show(ShownVehicle(), &services_.palette);
}

void CImportVehicle::ShowTexts() {
    QLabel* fields[] = {ui_->text1063, ui_->text1064, ui_->text1065};
    for (std::size_t i = 0; i < 3; ++i) {
        fields[i]->setText(QString::fromStdString(vehicle_.texts[i]));
    }
}

void CImportVehicle::accept() {
    Import();
}

void CImportVehicle::Import() {
    MessageService& messages = services_.messages;
    if (!nothingSelected_ && unreadableFile_) {
        messages.ShowError(message::kFileError, QString::fromStdString(*unreadableFile_), this);
        return;
    }
    if (!nothingSelected_ && tooLong_) {
        messages.ShowError(message::kImportVehicleTooLong, SelectedVehicleName(), this);
        return;
    }
    if (nothingSelected_) {
        messages.ShowError(message::kImportNoVehicleChosen, {}, this);
        return;
    }
    if (document_ == nullptr || view_ == nullptr) {
        return;
    }
    const int result = simimport::ImportVehicle(document_->Model(), ChosenSet(), &vehicle_,
                                                services_.drawing.GetMouseMode());
    if (result != 0) {
        if (result > 0) {
            messages.ShowError(result, {}, this);
        }
        return;
    }
    document_->NotifyStateChanged();
    // The next vehicle is ready for the next import.
    SelectRow(ui_->vehicles1060, SelectedRow(ui_->vehicles1060) + 1);
    OnVehicleSelectionChanged();
}

void CImportVehicle::NewSet() {
    if (document_ == nullptr || view_ == nullptr) {
        return;
    }
    const int before = document_->Model().CountSets();
    const int chosen = ChosenSet();
    document_->NewVehicleSet(this);
    FillSetList();
    // The new set is the target; after a cancel the target stays as it was.
    SelectRow(ui_->sets1045, document_->Model().CountSets() > before ? before : chosen);
}

}  // namespace zobl
