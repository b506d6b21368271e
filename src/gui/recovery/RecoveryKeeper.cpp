#include "gui/recovery/RecoveryKeeper.h"

#include <algorithm>
#include <ctime>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include "core/common/MessageError.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MessageService.h"
#include "gui/framework/View.h"
#include "gui/framework/VisibleText.h"
#include "gui/framework/WindowPlacement.h"
#include "gui/lang/Localization.h"
#include "gui/recovery/RecoveryDialog.h"

namespace zobl {

namespace {
QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

constexpr int kEntryFormatKey = 3937;  // "%1 – %2, Stand %3": title, path, time of the copy
constexpr int kNeverSavedKey = 3938;

recovery::DocumentKind KindOf(const Document& document) {
    return document.Template().Extension().compare(QStringLiteral(".fgs"), Qt::CaseInsensitive) == 0
               ? recovery::DocumentKind::Vehicles
               : recovery::DocumentKind::Scenery;
}

// to takes over the windows of from (placements and view states, one window for each) and from
// closes.
void TakeWindows(Document& from, Document& to) {
    std::vector<PendingViewState> states;
    const std::vector<View*> views = from.Views();
    for (std::size_t j = 0; j < views.size(); ++j) {
        if (to.Views().size() <= j && to.Template().CreateNewFrame(to) == nullptr) {
            break;
        }
        View* view = to.Views()[j];
        const CChildFrame* old = CChildFrame::FrameOf(views[j]);
        if (CChildFrame* frame = CChildFrame::FrameOf(view); frame != nullptr && old != nullptr) {
            ApplyPlacement(*frame, PlacementOf(*old));
        }
        if (const std::optional<ViewState> state = views[j]->SaveViewState()) {
            states.push_back({view->Widget(), view, *state});
        }
    }
    from.OnCloseDocument();
    ApplyViewStates(states);
}
}  // namespace

CRecoveryKeeper::CRecoveryKeeper(const EditorServices& services, DocManager& documents, DocTemplate* scenery,
                                 DocTemplate* vehicles, std::string root, int intervalMs)
    : services_(services),
      documents_(documents),
      scenery_(scenery),
      vehicles_(vehicles),
      root_(std::move(root)),
      session_(root_) {
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, &CRecoveryKeeper::WriteDueCopies);
    afterDrag_.setSingleShot(true);
    afterDrag_.setInterval(kAfterDragMs);
    connect(&afterDrag_, &QTimer::timeout, this, &CRecoveryKeeper::WriteDueCopies);
    connect(&documents_, &DocManager::DocumentStateChanged, this, &CRecoveryKeeper::OnDocumentStates);
    connect(&documents_, &DocManager::DocumentsChanged, this, &CRecoveryKeeper::OnDocumentStates);
}

CRecoveryKeeper::~CRecoveryKeeper() = default;

CRecoveryKeeper::Tracked& CRecoveryKeeper::Track(Document* document) {
    const auto found = tracked_.find(document);
    if (found != tracked_.end()) {
        return found->second;
    }
    Tracked& tracked = tracked_[document];
    tracked.id = nextId_++;
    // A closed document's copy goes with it (the pointer is only a key here).
    connect(document, &QObject::destroyed, this, [this, document] {
        const auto it = tracked_.find(document);
        if (it != tracked_.end()) {
            RemoveCopy(it->second);
            tracked_.erase(it);
        }
        OnDocumentStates();
    });
    return tracked;
}

void CRecoveryKeeper::RemoveCopy(Tracked& tracked) {
    if (tracked.hasCopy) {
        session_.RemoveCopy(tracked.id);
        tracked.hasCopy = false;
    }
}

bool CRecoveryKeeper::WriteCopy(Document* document, Tracked& tracked) {
    recovery::CopyDescription description;
    description.kind = KindOf(*document);
    // A recovered copy that was never saved keeps its original path and name for the next start.
    const bool recovered = document->PathName().isEmpty() && !tracked.recoveredName.isEmpty();
    description.originalPath =
        QFile::encodeName(recovered ? tracked.recoveredPath : document->PathName()).toStdString();
    description.title = (recovered ? tracked.recoveredName : document->Title()).toStdString();
    description.savedAt = std::time(nullptr);
    const std::uint64_t changes = document->ChangeCount();
    try {
        session_.WriteCopy(tracked.id, description,
                           [document](const std::string& path) { document->WriteCopy(path); });
    } catch (const std::exception&) {
        if (!tracked.errorShown) {
            tracked.errorShown = true;
            services_.messages.ShowError(kErrorCopyNotWritten, document->Title());
        }
        return false;
    }
    tracked.hasCopy = true;
    tracked.copiedChanges = changes;
    tracked.errorShown = false;
    return true;
}

void CRecoveryKeeper::WriteDueCopies() {
    if (root_.empty()) {
        return;
    }
    bool dragging = false;
    for (Document* document : documents_.Documents()) {
        if (document->IsClosing()) {
            continue;
        }
        Tracked& tracked = Track(document);
        if (!document->IsModified()) {
            RemoveCopy(tracked);
            continue;
        }
        if (tracked.hasCopy && tracked.copiedChanges == document->ChangeCount()) {
            continue;
        }
        // Half a line or half a marking is no state to keep; the copy follows the drag.
        if (document->AnyViewDragging() || QGuiApplication::mouseButtons() != Qt::NoButton) {
            dragging = true;
            continue;
        }
        WriteCopy(document, tracked);
    }
    if (dragging) {
        afterDrag_.start();
    }
}

void CRecoveryKeeper::OnDocumentStates() {
    const std::vector<Document*> documents = documents_.Documents();
    // A closed document leaves the list at once and is deleted later: its copy goes now.
    for (auto& [document, tracked] : tracked_) {
        if (std::find(documents.begin(), documents.end(), document) == documents.end()) {
            RemoveCopy(tracked);
        }
    }
    bool anyModified = false;
    for (Document* document : documents) {
        Tracked& tracked = Track(document);
        if (document->IsClosing()) {
            RemoveCopy(tracked);
            continue;
        }
        if (document->IsModified()) {
            anyModified = true;
        } else {
            RemoveCopy(tracked);
        }
    }
    if (root_.empty() || !anyModified) {
        timer_.stop();
        afterDrag_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

QString CRecoveryKeeper::CopyPathOf(const Document* document) const {
    const auto it = tracked_.find(document);
    if (it == tracked_.end() || !it->second.hasCopy) {
        return {};
    }
    return FromLocalPath(session_.CopyPath(it->second.id, KindOf(*document)));
}

bool CRecoveryKeeper::OpenCopy(const recovery::RecoveryCopy& copy, recovery::AbandonedSession& session) {
    DocTemplate* docTemplate =
        copy.description.kind == recovery::DocumentKind::Vehicles ? vehicles_ : scenery_;
    if (docTemplate == nullptr) {
        return false;
    }
    const QString original = FromLocalPath(copy.description.originalPath);
    Document* replaced = original.isEmpty() ? nullptr : documents_.FindOpenDocument(original);
    if (replaced != nullptr &&
        (replaced->IsModified() || replaced->IsClosing() || &replaced->Template() != docTemplate)) {
        replaced = nullptr;  // changes of this session are never thrown away unasked
    }
    // Reading the copy must not make the recovery folder the folder of the next open prompt.
    const std::string openFolder = services_.settings.openFolder;
    Document* document = docTemplate->OpenDocumentFile(FromLocalPath(copy.copyPath));
    services_.settings.openFolder = openFolder;
    if (document == nullptr) {
        return false;  // the reader has told the user; the copy stays for another start
    }
    // The copy is not the file: it has none until the user saves it somewhere.
    const QString name =
        original.isEmpty() ? QString::fromStdString(copy.description.title) : QFileInfo(original).fileName();
    document->SetPathName(QString());
    document->SetTitle(name);
    document->SetProposedPath(original.isEmpty() ? document->ProposedSaveName() : original);
    document->SetTitle(GetText(services_.language, kRecoveredTitleKey, kDialogsSection).arg(name));
    document->SetModifiedFlag(true);
    Tracked& tracked = Track(document);
    tracked.recoveredName = name;
    tracked.recoveredPath = original;
    if (replaced != nullptr) {
        TakeWindows(*replaced, *document);
    }
    // The old copy goes only once this editor holds one of its own.
    if (WriteCopy(document, tracked)) {
        session.Discard(copy.id);
    }
    return true;
}

void CRecoveryKeeper::OfferAbandonedCopies(QWidget* parent) {
    if (root_.empty()) {
        return;
    }
    std::vector<std::unique_ptr<recovery::AbandonedSession>> sessions =
        recovery::TakeAbandonedSessions(root_);
    struct Entry {
        recovery::AbandonedSession* session;
        recovery::RecoveryCopy copy;
    };
    std::vector<Entry> entries;
    QStringList texts;
    const CLanguageManager& language = services_.language;
    const QString format = GetText(language, kEntryFormatKey, kDialogsSection);
    const QString neverSaved = GetText(language, kNeverSavedKey, kDialogsSection);
    // The time as the people the language file speaks to write it.
    const QLocale locale = LanguageLocale(language);
    for (const auto& session : sessions) {
        for (const recovery::RecoveryCopy& copy : session->Copies()) {
            const QString path = FromLocalPath(copy.description.originalPath);
            const QString when = locale.toString(QDateTime::fromSecsSinceEpoch(copy.description.savedAt),
                                                 QLocale::ShortFormat);
            // One pass: a "%2" inside a title stays as it is.
            texts << format.arg(VisibleText(QString::fromStdString(copy.description.title)),
                                path.isEmpty() ? neverSaved : VisibleText(path), when);
            entries.push_back({session.get(), copy});
        }
    }
    if (entries.empty()) {
        return;
    }
    CRecoveryDlg dialog(
        language, texts,
        [&](int entry) {
            return OpenCopy(entries[std::size_t(entry)].copy, *entries[std::size_t(entry)].session);
        },
        [&](const std::vector<int>& chosen) {
            QStringList titles;
            for (const int entry : chosen) {
                titles << QString::fromStdString(entries[std::size_t(entry)].copy.description.title);
            }
            if (services_.messages.AskQuestion(kQuestionDiscard, titles.join(QStringLiteral(", ")),
                                               nullptr) != kAnswerYes) {
                return false;
            }
            for (const int entry : chosen) {
                entries[std::size_t(entry)].session->Discard(entries[std::size_t(entry)].copy.id);
            }
            return true;
        },
        parent);
    dialog.exec();
    // Folders without copies go now; the others are unlocked for the next start.
}

}  // namespace zobl
