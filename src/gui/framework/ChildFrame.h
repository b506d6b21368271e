#pragma once

#include <functional>
#include <optional>

#include <QMdiSubWindow>
#include <QPointer>

#include "gui/framework/CommandTarget.h"

namespace zobl {

class Document;
class View;

// The window of one view inside the main frame's multi-document area. Closing the last window
// of a document asks the document (question 304 when modified) and then closes the document.
// New windows are placed in a cascade; the caption offers the workspace menu on a right click,
// and the items of the window menu describe themselves in the status line.
class CChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    // What the frames need from the main window, which installs them while it lives.
    struct FrameHooks {
        std::function<void(int stateKey, std::optional<int> helpContext)> showStatus;
        std::function<void(const QPoint& globalPosition)> showWorkspaceMenu;
    };
    static void SetFrameHooks(FrameHooks hooks);

    // The cascade offset shared by all frames: 7, 14, ..., 63, then 7 again.
    static constexpr int kCascadeStep = 7;
    static constexpr int kCascadeLimit = 70;
    static int CascadeOffset();
    static void ResetCascade();
    // Status keys of the items of the window menu (system menu), in its order.
    static constexpr int kSystemMenuHelp = 40080;

    // Takes the view's widget as its own.
    explicit CChildFrame(View* view, QWidget* parent = nullptr);
    ~CChildFrame() override;

    View* GetView() const { return viewWidget_ ? view_ : nullptr; }
    Document* GetDocument() const;
    // The child frame a view lives in, or nullptr.
    static CChildFrame* FrameOf(const View* view);

    // The document's title, with ":n" when the document has several windows, and "*" while the
    // document has unsaved changes.
    void UpdateTitle();

    // The rectangle the window has when it is neither minimised nor maximised, also while it is:
    // QMdiSubWindow keeps it to itself.
    QRect NormalGeometry() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void PlaceInCascade();
    void ConnectSystemMenu();
    bool InCaption(const QPoint& point) const;

    View* view_;
    QPointer<QWidget> viewWidget_;
    QMetaObject::Connection titleConnection_;
    QMetaObject::Connection stateConnection_;
    bool placed_ = false;
    QRect normalGeometry_;
};

}  // namespace zobl
