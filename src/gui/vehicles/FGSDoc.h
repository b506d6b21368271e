#pragma once

#include <functional>
#include <memory>

#include <QMenu>
#include <QString>

#include "core/vehicles/VehicleDocument.h"
#include "gui/drawing/PngFiles.h"
#include "gui/framework/ModelDocument.h"

namespace zobl {

struct EditorServices;

// A vehicle graphic (.fgs) in the editor: the core VehicleDocument with its windows. Reads and
// writes the file, maps the update actions to view hints, runs undo and redo, the author and
// info texts, the new-set dialog, the export and the return to the saved version. Everything
// that needs the tree selection (cars, renaming, deleting, copying) is the view's.
class CFGSDoc : public ModelDocument<VehicleDocument> {
    Q_OBJECT
public:
    static constexpr int kNewVehicleTitleKey = 1002;  // section "DATA"
    static constexpr int kQuestionRevert = 306;
    // Section "DIALOGS": the export dialog's notice of characters the simulator's files lack,
    // its lines for a set's name ("%1": set, "%2": characters) and for a car ("%1": car, "%2":
    // its set, "%3": characters).
    static constexpr int kExportLossKey = 3962;
    static constexpr int kExportLossSetKey = 3963;
    static constexpr int kExportLossCarKey = 3964;

    CFGSDoc(DocTemplate& docTemplate, const EditorServices& services);
    ~CFGSDoc() override;

    const EditorServices& Services() const noexcept { return services_; }

    // "Neuer Fahrzeugsatz": the dialog, which stays open until the name is accepted. The new
    // set's index, -1 when none was added. parent: the window the dialog belongs to, the main
    // window when null.
    int NewVehicleSet(QWidget* parent = nullptr);
    // "Als UZG speichern": refuses pixels vehicles cannot show (message box, the views select
    // the car), then the export dialog. The document stays as it is.
    void Export() override;
    // Only vehicles with cars export.
    bool CanExport() const override;
    // "Als PNG exportieren": the sheet of every car's views (see VehicleToPng).
    void ExportPng() override;
    // "Zugansicht als PNG speichern": set as the train preview shows it at zoom, in the
    // current day/night colours, through the PNG export's prompt.
    void ExportTrainPng(int set, int zoom);
    // "PNG importieren": such a sheet, which must fit the sets and cars, into the cars' views as
    // one undo step. A refused file changes nothing.
    void ImportPng() override;
    // Only vehicles with cars have a sheet.
    bool HasPngSheet() const override;
    // The author and info text dialog; question 305 before replacing a filled-in author.
    void EditInfoTexts() override;
    // "Zurück zur letzten Version": after a yes, the file as last saved, without undo history.
    // A file that cannot be read any more leaves the document as it is.
    bool RevertToSaved();

    // The export dialog; tests put their own runner in place of exec().
    using DialogRunner = std::function<int(QDialog& dialog)>;
    void SetDialogRunner(DialogRunner runner) { dialogRunner_ = std::move(runner); }
    // The prompts of the PNG commands; tests put their own in place of the dialogs.
    void SetPngPrompts(PngPrompts prompts) { pngPrompts_ = std::move(prompts); }
    int RunDialog(QDialog& dialog) const;

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    bool UpdateDoc(int action, int argument) override;
    void WriteCopy(const std::string& path) const override;

    bool OnCommand(CommandId id) override;
    bool OnUpdateCommand(CommandId id, CommandState& state) override;

protected:
    MouseMode CurrentMouseMode() const override;
    std::unique_ptr<QMenu> BuildDocumentMenu() override;

private:
    // Reads path into content. Error 2 for a file that is no vehicle file, error 4 for a damaged
    // or unreadable one; Part when a damaged file still gave something (it is in content).
    enum class FileRead { Whole, Part, Failed };
    FileRead ReadFile(const QString& path, VehicleContent& content) const;
    QString ExportBaseName() const;
    // Empty when every exported text fits code page 850.
    QString ExportLossNotice() const;

    const EditorServices& services_;
    DialogRunner dialogRunner_;
    PngPrompts pngPrompts_;
};

}  // namespace zobl
