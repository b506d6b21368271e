#pragma once

#include <QMdiSubWindow>
#include <QPointer>

#include "gui/framework/CommandTarget.h"

namespace zobl {

class Document;
class View;

// The window of one view inside the main frame's multi-document area. Closing the last window
// of a document asks the document (question 304 when modified) and then closes the document.
class CChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    // Takes the view's widget as its own.
    explicit CChildFrame(View* view, QWidget* parent = nullptr);
    ~CChildFrame() override;

    View* GetView() const { return viewWidget_ ? view_ : nullptr; }
    Document* GetDocument() const;
    // The child frame a view lives in, or nullptr.
    static CChildFrame* FrameOf(const View* view);

    // The document's title, with ":n" when the document has several windows.
    void UpdateTitle();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    View* view_;
    QPointer<QWidget> viewWidget_;
    QMetaObject::Connection titleConnection_;
};

}  // namespace zobl
