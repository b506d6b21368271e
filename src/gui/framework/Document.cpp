#include "gui/framework/Document.h"

#include <algorithm>

#include <QFileInfo>

#include "core/common/MessageError.h"
#include "core/common/PathTools.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/View.h"

namespace zobl {

namespace {
// Question 304 names a document that has neither path nor title by this framework text.
constexpr const char* kUntitled = "Unbenannt";
constexpr int kQuestionSaveChanges = 304;
}  // namespace

Document::Document(DocTemplate& docTemplate) : template_(docTemplate) {}

Document::~Document() {
    for (View* view : views_) {
        view->document_ = nullptr;
    }
}

DocManager& Document::Manager() const noexcept {
    return template_.Manager();
}

void Document::SetPathName(const QString& path) {
    path_ = path;
    proposedPath_.clear();
    SetTitle(QFileInfo(path).fileName());
}

void Document::SetTitle(const QString& title) {
    if (title_ != title) {
        title_ = title;
        emit TitleChanged();
    }
}

void Document::SetModifiedFlag(bool modified) {
    if (modified_ != modified) {
        modified_ = modified;
        NotifyStateChanged();
    }
}

bool Document::UpdateDoc(int /*action*/, int /*argument*/) {
    return true;
}

void Document::UpdateAllViews(View* sender, int hint, HintRecord* record) {
    // A view may close itself in OnUpdate; walk a copy.
    const std::vector<View*> views = views_;
    for (View* view : views) {
        if (view != sender && std::find(views_.begin(), views_.end(), view) != views_.end()) {
            view->OnUpdate(sender, hint, record);
        }
    }
}

void Document::AddView(View* view) {
    if (view == nullptr || std::find(views_.begin(), views_.end(), view) != views_.end()) {
        return;
    }
    if (view->document_ != nullptr && view->document_ != this) {
        view->document_->RemoveView(view);
    }
    views_.push_back(view);
    view->document_ = this;
    emit TitleChanged();  // the windows number themselves ":1", ":2" when there are several
}

void Document::RemoveView(View* view) {
    const auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end()) {
        return;
    }
    views_.erase(it);
    view->document_ = nullptr;
    if (!closing_) {
        emit TitleChanged();
    }
    NotifyTickDemandChanged();
}

bool Document::OnNewDocument() {
    path_.clear();
    SetModifiedFlag(false);
    return true;
}

bool Document::OnOpenDocument(const QString& /*path*/) {
    SetModifiedFlag(false);
    return true;
}

bool Document::OnSaveDocument(const QString& /*path*/) {
    SetModifiedFlag(false);
    return true;
}

void Document::OnCloseDocument() {
    if (closing_) {
        return;
    }
    closing_ = true;
    const std::vector<View*> views = views_;
    for (View* view : views) {
        if (CChildFrame* frame = CChildFrame::FrameOf(view)) {
            frame->close();
        }
        RemoveView(view);
    }
    template_.RemoveDocument(this);
}

bool Document::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    QString name = path_.isEmpty() ? title_ : path_;
    if (name.isEmpty()) {
        name = kUntitled;
    }
    switch (Manager().Messages().AskQuestion(kQuestionSaveChanges, name)) {
        case kAnswerCancel:
            return false;
        case kAnswerYes:
            return DoFileSave();
        default:
            return true;
    }
}

QString Document::ProposedSaveName() const {
    if (!path_.isEmpty()) {
        return path_;
    }
    if (!proposedPath_.isEmpty()) {
        return proposedPath_;
    }
    return QString::fromStdString(
        zobl::ProposedSaveName(title_.toStdString(), template_.Extension().toStdString()));
}

bool Document::WantsTicks() const {
    return std::any_of(views_.begin(), views_.end(), [](const View* view) { return view->WantsTicks(); });
}

bool Document::AnyViewDragging() const {
    return std::any_of(views_.begin(), views_.end(), [](const View* view) { return view->Dragging(); });
}

void Document::WriteCopy(const std::string& path) const {
    throw MessageError(message::kFileError, path);  // a kind without a file format of its own
}

bool Document::DoFileSave() {
    const QFileInfo file(path_);
    if (path_.isEmpty() || (file.exists() && !file.isWritable())) {
        return DoSave(QString());
    }
    return DoSave(path_);
}

bool Document::DoSave(const QString& path, bool replace) {
    QString target = path;
    if (target.isEmpty()) {
        target = ProposedSaveName();
        if (!Manager().PromptForSaveName(target, template_)) {
            return false;
        }
    }
    // The file is written beside the target and renamed over it only when complete, so a
    // failed save leaves neither a partial new file nor a damaged old one.
    if (!OnSaveDocument(target)) {
        return false;
    }
    if (replace) {
        SetPathName(target);
    }
    Manager().NotifyPathUsed(target);
    NotifyStateChanged();
    return true;
}

bool Document::OnCommand(CommandId id) {
    switch (id) {
        case ID_FILE_SAVE:
            DoFileSave();
            return true;
        case ID_FILE_SAVE_AS:
            DoSave(QString());
            return true;
        case ID_FILE_CLOSE:
            if (SaveModified()) {
                OnCloseDocument();
            }
            return true;
        default:
            return false;
    }
}

bool Document::OnUpdateCommand(CommandId id, CommandState& state) {
    switch (id) {
        case ID_FILE_SAVE:
        case ID_FILE_SAVE_AS:
        case ID_FILE_CLOSE:
            state.Enable();
            return true;
        default:
            return false;
    }
}

void Document::NotifyStateChanged() {
    emit StateChanged();
}

void Document::NotifyTickDemandChanged() {
    emit TickDemandChanged();
}

}  // namespace zobl
