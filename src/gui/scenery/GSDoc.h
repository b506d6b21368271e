#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QImage>
#include <QMenu>

#include "core/scenery/SceneryDocument.h"
#include "core/scenery/SceneryTools.h"
#include "gui/drawing/PngFiles.h"
#include "gui/framework/ModelDocument.h"

namespace zobl {

struct EditorServices;

// A scenery graphic (.gs) in the editor: the core SceneryDocument with its windows. Maps the
// update actions to view hints, reads and writes the file, exports it, edits its texts and
// handles undo and redo.
class CGSDoc : public ModelDocument<SceneryDocument> {
    Q_OBJECT
public:
    static constexpr int kHelpExportPrompt = 50030;

    CGSDoc(DocTemplate& docTemplate, const EditorServices& services);
    ~CGSDoc() override;

    const EditorServices& Services() const noexcept { return services_; }

    // The display pixels as an 8-bit picture with the current colour table. It shares the
    // model's buffer, so a drawn pixel shows without a copy; the colour table follows the
    // palette (update action 1, day/night).
    const QImage& DisplayImage() const;

    // Tells every view what an edit changed (hint 1 with the area, or without record for
    // everything) and refreshes the command states. Nothing changed: only the states.
    void NotifyChange(const SceneryChange& change, View* sender = nullptr);

    // The file prompt of the export: start folder and filter in, chosen path out (empty: cancel).
    // Tests put their own in place of the dialog.
    using ExportPrompt = std::function<QString(const QString& folder, const QString& filter)>;
    void SetExportPrompt(ExportPrompt prompt) { exportPrompt_ = std::move(prompt); }

    // The prompts of the PNG commands; tests put their own in place of the dialogs.
    void SetPngPrompts(PngPrompts prompts) { pngPrompts_ = std::move(prompts); }

    // "Als UZG speichern": the file prompt, question 303 before replacing a file, the export
    // folder remembered, error 3 or 4 on failure. The document stays as it is.
    void Export() override;
    // "Als PNG exportieren": the store as a 1152 x 80 PNG (see SceneryToPng).
    void ExportPng() override;
    // "PNG importieren": such a sheet into this graphic as one undo step; rows with drawn pixels
    // are made present as far as the row rules allow. A refused file changes nothing.
    void ImportPng() override;
    // The author and info text dialog; question 305 before replacing a filled-in author.
    void EditInfoTexts() override;

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    bool UpdateDoc(int action, int argument) override;
    void WriteCopy(const std::string& path) const override;

protected:
    MouseMode CurrentMouseMode() const override;
    std::unique_ptr<QMenu> BuildDocumentMenu() override;
    // The views redraw everything an undo or redo brought back.
    void AfterUndoOrRedo(bool restored) override;

private:
    QString PromptExportFile(const QString& folder, const QString& filter) const;

    const EditorServices& services_;
    ExportPrompt exportPrompt_;
    PngPrompts pngPrompts_;
    mutable QImage displayImage_;
    mutable std::uint64_t displayRevision_ = 0;
};

}  // namespace zobl
