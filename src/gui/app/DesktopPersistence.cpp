#include "gui/app/DesktopPersistence.h"

#include <algorithm>
#include <map>

#include <QGuiApplication>
#include <QMdiArea>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "core/settings/SettingsStore.h"
#include "gui/app/Bug1App.h"
#include "gui/app/MainFrame.h"
#include "gui/framework/ChildFrame.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/framework/Document.h"
#include "gui/framework/View.h"

namespace zobl {

namespace {

constexpr const char* kDesktopSection = "DESKTOP";
constexpr const char* kSizeKey = "size";
constexpr const char* kDataKey = "desktopdata";

int KindOf(const DocTemplate& docTemplate) {
    if (docTemplate.DocumentName() == QString::fromUtf8(kSceneryDocumentName)) {
        return desktop::kSceneryKind;
    }
    if (docTemplate.DocumentName() == QString::fromUtf8(kVehicleDocumentName)) {
        return desktop::kVehicleKind;
    }
    return 0;
}

DocTemplate* TemplateOf(CBug1App& app, int kind) {
    switch (kind) {
        case desktop::kSceneryKind:
            return app.SceneryTemplate();
        case desktop::kVehicleKind:
            return app.VehicleTemplate();
        default:
            return nullptr;
    }
}

CChildFrame* FrameOf(View& view) {
    for (QWidget* widget = view.Widget(); widget != nullptr; widget = widget->parentWidget()) {
        if (auto* frame = qobject_cast<CChildFrame*>(widget)) {
            return frame;
        }
    }
    return nullptr;
}

}  // namespace

void SaveDesktop(CBug1App& app) {
    CMainFrame* frame = app.MainFrame();
    if (frame == nullptr) {
        return;
    }
    DesktopRecord record;
    record.mainWindow = PlacementOf(*frame);
    for (const auto& docTemplate : app.Documents().Templates()) {
        for (Document* document : docTemplate->Documents()) {
            DesktopDocument entry;
            entry.kindFlags = KindOf(*docTemplate);
            entry.path = document->PathName().toStdString();
            for (View* view : document->Views()) {
                DesktopView window;
                if (CChildFrame* child = FrameOf(*view)) {
                    window.placement = PlacementOf(*child);
                }
                if (const std::optional<ViewState> state = view->SaveViewState()) {
                    window.state = *state;
                }
                entry.views.push_back(window);
            }
            record.documents.push_back(std::move(entry));
        }
    }
    const std::vector<std::uint8_t> bytes = WriteDesktopRecord(record);
    SettingsStore& store = app.Store();
    store.WriteInt(kDesktopSection, kSizeKey, static_cast<int>(bytes.size()));
    store.WriteBinary(kDesktopSection, kDataKey, bytes);
}

bool RestoreDesktop(CBug1App& app, std::vector<PendingViewState>& states) {
    SettingsStore& store = app.Store();
    if (store.ReadInt(kDesktopSection, kSizeKey, -1) == 0) {
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = store.ReadBinary(kDesktopSection, kDataKey);
    if (!bytes) {
        return false;
    }
    const std::optional<DesktopRecord> record = ReadDesktopRecord(*bytes);
    if (!record) {
        return false;
    }
    if (CMainFrame* frame = app.MainFrame()) {
        ApplyPlacement(*frame, record->mainWindow);
    }
    bool complete = true;
    // The record's windows already placed on each document: a file listed twice comes back as one
    // document with the windows of both entries.
    std::map<const Document*, std::size_t> placedViews;
    for (const DesktopDocument& entry : record->documents) {
        DocTemplate* docTemplate = TemplateOf(app, entry.kindFlags);
        if (docTemplate == nullptr) {
            complete = false;
            continue;
        }
        // The document reports a file it cannot open itself; the others still come back. A file
        // is open in one document at most, as the open command keeps it.
        const QString path = IsEmptyDesktopPath(entry.path) ? QString() : QString::fromStdString(entry.path);
        Document* document = path.isEmpty() ? nullptr : app.Documents().FindOpenDocument(path);
        if (document == nullptr) {
            document = docTemplate->OpenDocumentFile(path);
        }
        if (document == nullptr) {
            complete = false;
            continue;
        }
        std::size_t& placed = placedViews[document];
        for (const DesktopView& window : entry.views) {
            const std::size_t j = placed;
            if (document->Views().size() <= j && document->Template().CreateNewFrame(*document) == nullptr) {
                break;
            }
            ++placed;
            View* view = document->Views().at(j);
            if (CChildFrame* child = FrameOf(*view)) {
                ApplyPlacement(*child, window.placement);
            }
            states.push_back({view->Widget(), view, window.state});
        }
    }
    return complete;
}

}  // namespace zobl
