#pragma once

#include <optional>
#include <vector>

#include <QPointer>

#include "core/settings/DesktopRecord.h"
#include "gui/framework/CommandTarget.h"
#include "gui/framework/Document.h"

class QWidget;

namespace zobl {

// The view side of the document/view layer, mixed into a QWidget subclass:
//     class CGSView : public QAbstractScrollArea, public View { QWidget* Widget() override { return this; }
//     ... };
// A view shows one document and never changes its data directly: it calls the document's
// operations, which notify every view through OnUpdate. Views are first in command routing.
class View : public CommandTarget {
public:
    View() = default;
    ~View() override;
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    Document* GetDocument() const { return document_; }
    virtual QWidget* Widget() = 0;

    // Once, after the view joined its document and its window exists.
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    // A hint of the document (or of another view, sender); record may carry details and may be
    // filled in by the view for query hints.
    virtual void OnUpdate(View* sender, int hint, HintRecord* record) = 0;
    // Whether the view needs the 5 ms tick now (moving frame of a marked area, auto-scrolling).
    // Tell the document with Document::NotifyTickDemandChanged when this answer changes.
    virtual bool WantsTicks() const { return false; }
    // A mouse drag is under way: a press whose release has not come yet.
    virtual bool Dragging() const { return false; }
    // The view's window became the active one or stopped being it.
    virtual void OnActivateView(bool /*active*/) {}
    // The parts of the window that take the focus in turn with F6 and Shift+F6, in their order;
    // hidden ones are passed over. One pane by default: the view itself.
    virtual std::vector<QWidget*> Panes() { return {Widget()}; }
    // What the desktop record keeps of the window: zoom, scroll position and, for a vehicle
    // window, its selected tree entry. nullopt: nothing to keep.
    virtual std::optional<ViewState> SaveViewState() const { return std::nullopt; }
    virtual void RestoreViewState(const ViewState& /*state*/) {}

private:
    friend class Document;
    QPointer<Document> document_;
};

}  // namespace zobl
