#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "core/simimport/SimListing.h"
#include "core/simimport/SimVehicleReader.h"

class QListWidget;

namespace Ui {
class ImportVehicle;
}

namespace zobl {

struct EditorServices;
class CFGSDoc;
class CFGSView;
class CInfoDlg;
class HelpContextScope;
class ImportPreview;

// Bringing vehicles of the simulator into a vehicle document: the list of the simulator's
// vehicles of the chosen categories (read while a "please wait" dialog shows the progress and
// offers to cancel), a preview of the chosen one, the target set and the import, which appends
// the vehicle as a car to the set and leaves the dialog open with the next vehicle chosen.
class CImportVehicle : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 50120;
    // Above this many sets the document can take no new one.
    static constexpr int kSetsAllowingNewSet = 9;
    // How long one listing step may read before the window handles its input again.
    static constexpr int kListingStepMilliseconds = 30;
    static constexpr int kListingEnded = -1;

    CImportVehicle(const EditorServices& services, CFGSDoc* document, CFGSView* view, unsigned categoryFilter,
                   QWidget* parent = nullptr);
    ~CImportVehicle() override;

    // Fills the set list, lists the simulator's vehicles through the "please wait" dialog (run by
    // the document's dialog runner, so tests see it) and chooses the first one. False when there
    // is nothing to open: the simulator was not found (error 121) or the user cancelled the
    // listing. A file that fails on the way is reported (error 4) and what was read is offered.
    bool Open();

    // The listing of the chosen categories from the start (Open runs it; benchmarks run it alone).
    void StartListing();
    // One step of the listing for the "please wait" dialog: reads for a while and shows the last
    // vehicle read; kListingEnded when the listing is over, else CInfoDlg::kStepAgain.
    int ListingStep(CInfoDlg& info);
    // The listing's entries, sorted as the list shows them, into the vehicle list.
    void FillVehicleList();

    // Button 1: imports the chosen vehicle into the chosen set (errors 119, 109, 111, 112, 120;
    // error 4 for a vehicle the simulator's files no longer give) and chooses the next vehicle.
    void Import();
    // Button 10: the new-set dialog, then the new set is the target.
    void NewSet();

    QListWidget* VehicleList() const;
    QListWidget* SetList() const;
    ImportPreview* Preview() const;
    QString VehicleText(int index) const;  // 0..2: the fields 1063..1065
    // The chosen entry of the vehicle list as it reads there, empty when none is chosen.
    QString SelectedVehicleName() const;
    // The vehicle shown, planes in palette indices; nullptr while no vehicle is chosen.
    const simimport::SimVehicle* ShownVehicle() const;
    bool NothingSelected() const noexcept { return nothingSelected_; }

    void accept() override;

private:
    void FillSetList();
    int ChosenSet() const;
    void OnVehicleSelectionChanged();
    void ShowTexts();

    const EditorServices& services_;
    QPointer<CFGSDoc> document_;
    QPointer<CFGSView> view_;
    unsigned categoryFilter_;
    std::unique_ptr<Ui::ImportVehicle> ui_;
    std::unique_ptr<HelpContextScope> help_;
    std::optional<simimport::SimListing> listing_;
    std::size_t shownProgress_ = 0;
    // The vehicle identifier of every row of the vehicle list.
    std::vector<int> listIdentifiers_;

    simimport::SimVehicle vehicle_;
    bool nothingSelected_ = true;
    int shownIdentifier_ = 0;
    // The chosen vehicle could not be read (the files changed since the listing): this file.
    std::optional<std::string> unreadableFile_;
    // The shown vehicle is longer than a car can be (the files are fine).
    bool tooLong_ = false;
    QString TooLongText() const;
};

}  // namespace zobl
