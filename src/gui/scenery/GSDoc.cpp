#include "gui/scenery/GSDoc.h"

#include <QFileInfo>

#include "core/common/MessageError.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryRules.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MenuResources.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"

namespace zobl {

namespace {
constexpr int kNewSceneryTitleKey = 1001;  // section "DATA"
}

CGSDoc::CGSDoc(DocTemplate& docTemplate, CBug1App& app) : Document(docTemplate), app_(app) {}

CGSDoc::~CGSDoc() = default;

bool CGSDoc::OnNewDocument() {
    model_.Initialise();
    SetTitle(GetText(app_.GetLanguageManager(), kNewSceneryTitleKey, kDataSection));
    return Document::OnNewDocument();
}

bool CGSDoc::OnOpenDocument(const QString& path) {
    GeneralSettings& settings = app_.Settings();
    if (settings.autoApplyFolders) {
        settings.openFolder = WithTrailingSlash(QFileInfo(path).absolutePath().toStdString());
    }
    MessageService& messages = app_.Messages();
    try {
        ReadGsFile(QFile::encodeName(path).toStdString(), model_);
    } catch (const MessageError& error) {
        // A format error names the file first; every failure then reports error 4 with the path.
        if (error.Number() != message::kFileError) {
            messages.ShowError(error.Number(), QString::fromStdString(error.Argument()));
        }
        messages.ShowError(message::kFileError, path);
        return false;
    } catch (const std::exception&) {
        messages.ShowError(message::kFileError, path);
        return false;
    }
    NotifyStateChanged();
    return true;
}

bool CGSDoc::OnSaveDocument(const QString& path) {
    try {
        SaveGsFile(QFile::encodeName(path).toStdString(), model_);
    } catch (const std::exception&) {
        app_.Messages().ShowError(message::kFileError, path);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CGSDoc::UpdateDoc(int action, int /*argument*/) {
    const UpdateActionEffect effect = EffectOfUpdateAction(action);
    if (effect.rebuildBitmap) {
        model_.RefreshBitmap();
    }
    if (effect.hint) {
        UpdateAllViews(nullptr, *effect.hint, nullptr);
    }
    return true;
}

void CGSDoc::SetModifiedFlag(bool modified) {
    if (model_.IsModified() != modified) {
        model_.SetModified(modified);
        NotifyStateChanged();
    }
}

void CGSDoc::CloseUndoGroup() {
    model_.CloseUndoGroup();
}

QString CGSDoc::ProposedSaveName() const {
    if (!PathName().isEmpty()) {
        return PathName();
    }
    return QString::fromStdString(zobl::ProposedSaveName(Title().toStdString()));
}

QMenu* CGSDoc::DocumentMenu() {
    if (!menu_ && app_.MainFrame() != nullptr) {
        menu_ = BuildMenu(kSceneryMenu, app_.MainFrame()->Router(), app_.GetLanguageManager());
    }
    return menu_.get();
}

bool CGSDoc::OnCommand(int id) {
    switch (id) {
        case ID_EDIT_UNDO:
            if (model_.Undo()) {
                UpdateAllViews(nullptr, hint::kPixelsChanged, nullptr);
            }
            return true;
        case ID_EDIT_REDO:
            if (model_.Redo(static_cast<int>(app_.GetMouseMode()))) {
                UpdateAllViews(nullptr, hint::kPixelsChanged, nullptr);
            }
            return true;
        default:
            return Document::OnCommand(id);
    }
}

bool CGSDoc::OnUpdateCommand(int id, CommandState& state) {
    switch (id) {
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

}  // namespace zobl
