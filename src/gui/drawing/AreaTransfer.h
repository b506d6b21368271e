#pragma once

#include <cstdint>
#include <optional>

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>

#include "core/drawing/PixelTypes.h"
#include "gui/framework/CommandIds.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QWidget;

namespace zobl {

struct EditorServices;
class CClippy;

// What travels in a drag: marked pixels, or a whole symbol (which snaps to cells).
enum class AreaDragKind : std::uint8_t { Pixels = 0, Symbol = 1 };

// The window's side of copying, pasting and dropping marked areas.
class AreaTransferTarget {
public:
    // The marked area, if any.
    virtual std::optional<PixelRect> FramedArea() const = 0;
    // All pixels of the window (nothing when it shows none).
    virtual PixelRect WholeArea() const = 0;
    // The marked pixels into the clipboard, the marked part of the picture, and the clipboard
    // into the mark (one undo step, SINGLEUNDO, the views told).
    virtual void CopyMarked(CClippy& clipboard, const PixelRect& mark) = 0;
    virtual QImage MarkedPicture(const PixelRect& mark) const = 0;
    virtual void PasteInto(const CClippy& clipboard, const PixelRect& mark) = 0;
    // Where a dropped area of kind starts when the pointer is over hit.
    virtual PixelPoint DropOrigin(PixelPoint hit, AreaDragKind /*kind*/) const { return hit; }
    // The part of a dropped area that the window takes: it is shown, marked and pasted into
    // (pixel for pixel, so the rest of the area falls away). None refuses the drop. Here the
    // whole area or nothing, as the scenery view takes it.
    virtual std::optional<PixelRect> DropPart(const PixelRect& area) const;
    // Before a drop pastes into area (the scenery view adds a missing row).
    virtual void PrepareDrop(const PixelRect& /*area*/, AreaDragKind /*kind*/) {}
    // After it: the marked area is the dropped one (a symbol's is cleared again).
    virtual void SetMarkedPixels(std::optional<PixelRect> area) = 0;
    // Brings the window's frame to the top while something is dragged over it.
    virtual void BringToFront() {}
    // The pixel under a window point, and the frame that shows where a drop lands.
    virtual std::optional<PixelPoint> PixelAtWindow(QPoint windowPoint) const = 0;
    virtual void ShowDropFrame(const PixelRect& part) = 0;
    virtual void HideDropFrame() = 0;

protected:
    ~AreaTransferTarget() = default;
};

// Copy and paste of the marked area, "Kopieren" (ID_EDIT_COPY, also ID_EDIT_COPY_ACTIVE),
// "Einfügen (Intern)" (ID_EDIT_PASTE, also ID_EDIT_PASTE_ACTIVE) and "Einfügen: MS-Windows"
// (ID_EDIT_PASTE_SYSTEM), and dragging areas between windows, also of two running editors. Copy fills the
// editor's clipboard and puts the picture in the current colours on the system clipboard; pasting the system
// clipboard maps its image to ordinary colours first. A drag carries its data itself under this program's own
// type (the kind, then the clipboard file's bytes). A PNG file dragged from a file manager pastes like the
// system clipboard's picture (exact palette colours and transparency kept, other colours the nearest
// ordinary one): into the mark when there is one, else at the pointed pixel at its own size, clipped.
class AreaTransfer {
public:
    static constexpr const char* kMimeType = "application/x-zobl-ge-area";
    // The drag data of an area (for tests and for the drag itself).
    static QMimeData* MakeDragData(std::uint8_t kind, const CClippy& clipboard);

    // source: the widget a drag starts from.
    AreaTransfer(const EditorServices& services, QWidget& source, AreaTransferTarget& target)
        : services_(services), source_(source), target_(target) {}

    // False for other commands.
    bool OnClipboardCommand(CommandId id);
    bool OnUpdateClipboardCommand(CommandId id, bool& enabled) const;

    // The marked pixels of area onto the clipboard (and its file), then a drag of them.
    void DragArea(AreaDragKind kind, const PixelRect& area);
    void DragEnter(QDragEnterEvent* event);
    void DragMove(QDragMoveEvent* event);
    void DragLeave();
    void Drop(QDropEvent* event);

private:
    // The drop frame shown: the whole dropped area and the part the window takes.
    struct DropPreview {
        PixelRect area;
        PixelRect part;
    };
    // A PNG file dragged over the window; its size as its header claims (none: unreadable, which
    // the drop reports).
    struct FileDrag {
        QString path;
        std::optional<QSize> size;
    };
    // Where a dragged file lands: the mark, or the picture's size at the pointed pixel.
    std::optional<DropPreview> FileDropAt(QPoint windowPoint, QSize size) const;
    void DragFileMove(QDragMoveEvent* event);
    void DropFile(QDropEvent* event);

    const EditorServices& services_;
    QWidget& source_;
    AreaTransferTarget& target_;
    std::optional<DropPreview> drop_;
    std::optional<FileDrag> fileDrag_;
};

}  // namespace zobl
