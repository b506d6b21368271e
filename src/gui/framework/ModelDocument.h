#pragma once

#include <cstdint>
#include <memory>

#include <QMenu>

#include "core/drawing/MouseMode.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/Document.h"

namespace zobl {

// A document over a core model with an undo history (an UndoableDocument): the modified flag
// and the change count are the model's, the undo group is closed in the model, and undo and
// redo run on it. Every kind has an export ("Als UZG speichern"), its sheet as a PNG out and in,
// and the author and info text dialog; it supplies them, the mouse mode that names the undo group, its menu,
// and what its windows need after an undo or redo. A template because the models share no base class: their
// snapshots differ.
template <typename ModelType>
class ModelDocument : public Document {
public:
    ModelType& Model() noexcept { return model_; }
    const ModelType& Model() const noexcept { return model_; }

    bool IsModified() const override { return model_.IsModified(); }
    std::uint64_t ChangeCount() const override { return model_.ChangeCount(); }
    void SetModifiedFlag(bool modified) override {
        if (model_.IsModified() != modified) {
            model_.SetModified(modified);
            NotifyStateChanged();
        }
    }
    void CloseUndoGroup() override { model_.CloseUndoGroup(); }
    // Built when first asked for once there is a main window to route its commands.
    QMenu* DocumentMenu() override {
        if (!menu_) {
            menu_ = BuildDocumentMenu();
        }
        return menu_.get();
    }

    bool OnCommand(CommandId id) override {
        switch (id) {
            case ID_FILE_SAVE_UZG:
                Export();
                return true;
            case ID_FILE_EXPORT_PNG:
                ExportPng();
                return true;
            case ID_FILE_IMPORT_PNG:
                ImportPng();
                return true;
            case ID_EDIT_INFO:
                EditInfoTexts();
                return true;
            case ID_EDIT_UNDO:
                AfterUndoOrRedo(model_.Undo());
                return true;
            case ID_EDIT_REDO:
                AfterUndoOrRedo(model_.Redo(CurrentMouseMode()));
                return true;
            default:
                return Document::OnCommand(id);
        }
    }
    bool OnUpdateCommand(CommandId id, CommandState& state) override {
        switch (id) {
            case ID_FILE_SAVE_UZG:
                state.Enable(CanExport());
                return true;
            case ID_FILE_EXPORT_PNG:
            case ID_FILE_IMPORT_PNG:
                state.Enable(HasPngSheet());
                return true;
            case ID_EDIT_INFO:
                state.Enable();
                return true;
            case ID_EDIT_UNDO:
                state.Enable(model_.UndoCount() > 0);
                return true;
            case ID_EDIT_REDO:
                state.Enable(model_.CanRedo());
                return true;
            default:
                return Document::OnUpdateCommand(id, state);
        }
    }

protected:
    explicit ModelDocument(DocTemplate& docTemplate) : Document(docTemplate) {}

    virtual void Export() = 0;
    virtual bool CanExport() const { return true; }
    // The document's sheet as a PNG, and a sheet read back into it as one undo step. A document
    // without a sheet (vehicles without cars) offers neither.
    virtual void ExportPng() = 0;
    virtual void ImportPng() = 0;
    virtual bool HasPngSheet() const { return true; }
    virtual void EditInfoTexts() = 0;
    // The application's mouse mode as the undo group's number.
    virtual MouseMode CurrentMouseMode() const = 0;
    // Null while there is no main window yet; asked again next time.
    virtual std::unique_ptr<QMenu> BuildDocumentMenu() = 0;
    // After an undo or redo command; restored is false when there was no step to take. A model
    // that tells its own listeners needs no more than the default: the command states change.
    virtual void AfterUndoOrRedo(bool /*restored*/) { NotifyStateChanged(); }

    ModelType model_;

private:
    std::unique_ptr<QMenu> menu_;
};

}  // namespace zobl
