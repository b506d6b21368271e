#include "gui/drawing/AreaTransfer.h"

#include <span>
#include <vector>

#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

#include "core/clipboard/Clippy.h"
#include "core/palette/Palette.h"
#include "gui/drawing/PngFiles.h"
#include "gui/drawing/SceneryCursors.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/EditorServices.h"
#include "gui/framework/MessageService.h"
#include "gui/palette/PaletteDisplay.h"

namespace zobl {

namespace {

constexpr int kEmptyClipboardError = 114;
constexpr int kUnreadablePictureError = 130;

struct DropData {
    AreaDragKind kind = AreaDragKind::Pixels;
    QByteArray file;  // the clipboard file's bytes
    int width = 0;
    int height = 0;
};

// The drag data of this program, checked far enough to show a preview; the file itself is
// validated again when the drop loads it.
std::optional<DropData> ReadDropData(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasFormat(QLatin1String(AreaTransfer::kMimeType))) {
        return std::nullopt;
    }
    const QByteArray bytes = mime->data(QLatin1String(AreaTransfer::kMimeType));
    if (bytes.size() < 9 || std::uint8_t(bytes[0]) > 1) {
        return std::nullopt;
    }
    DropData data;
    data.kind = static_cast<AreaDragKind>(bytes[0]);
    data.file = bytes.mid(1);
    const auto word = [&data](int at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | std::uint8_t(data.file[at + i]);
        }
        return std::int32_t(value);
    };
    data.width = word(0);
    data.height = word(4);
    if (data.width < 1 || data.height < 1 || data.width > CClippy::kMaxExtent ||
        data.height > CClippy::kMaxExtent) {
        return std::nullopt;
    }
    return data;
}

}  // namespace

std::optional<PixelRect> AreaTransferTarget::DropPart(const PixelRect& area) const {
    const PixelRect whole = WholeArea();
    if (whole.Contains({area.x0, area.y0}) && whole.Contains({area.x1, area.y1})) {
        return area;
    }
    return std::nullopt;
}

// ---- Copy and paste -------------------------------------------------------------------------------

bool AreaTransfer::OnClipboardCommand(CommandId id) {
    const std::optional<PixelRect> mark = target_.FramedArea();
    CClippy& clipboard = services_.clipboard;
    switch (id) {
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            if (mark) {
                target_.CopyMarked(clipboard, *mark);
                QGuiApplication::clipboard()->setImage(target_.MarkedPicture(*mark));
            }
            return true;
        case ID_EDIT_PASTE_SYSTEM: {
            if (!mark) {
                return true;
            }
            const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
            if (image.isNull()) {
                // Offered as a picture, but the reader refused it (too large, or damaged).
                const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
                if (offered != nullptr && offered->hasImage()) {
                    services_.messages.ShowError(kUnreadablePictureError);
                }
                return true;
            }
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            clipboard.ClearArea();
            ImportPicture(
                clipboard, image.width(), image.height(), CreateNormalColourPalette(services_.palette),
                [&image](int x, int y) {
                    const QRgb rgb = image.pixel(x, y);
                    return Rgb{std::uint8_t(qRed(rgb)), std::uint8_t(qGreen(rgb)), std::uint8_t(qBlue(rgb))};
                });
            QGuiApplication::restoreOverrideCursor();
            [[fallthrough]];
        }
        case ID_EDIT_PASTE:
        case ID_EDIT_PASTE_ACTIVE:
            if (!mark) {
                return true;
            }
            if (!clipboard.HasArea()) {
                services_.messages.ShowError(kEmptyClipboardError);
                return true;
            }
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            target_.PasteInto(clipboard, *mark);
            QGuiApplication::restoreOverrideCursor();
            return true;
        default:
            return false;
    }
}

bool AreaTransfer::OnUpdateClipboardCommand(CommandId id, bool& enabled) const {
    const bool marked = target_.FramedArea().has_value();
    switch (id) {
        case ID_EDIT_COPY:
        case ID_EDIT_COPY_ACTIVE:
            enabled = marked;
            return true;
        case ID_EDIT_PASTE:
            enabled = marked && services_.clipboard.HasArea();
            return true;
        case ID_EDIT_PASTE_ACTIVE:
            enabled = marked;  // an empty clipboard says so (error 114)
            return true;
        case ID_EDIT_PASTE_SYSTEM:
            enabled = marked && QGuiApplication::clipboard()->mimeData() != nullptr &&
                      QGuiApplication::clipboard()->mimeData()->hasImage();
            return true;
        default:
            return false;
    }
}

// ---- Dragging areas ---------------------------------------------------------------------------

QMimeData* AreaTransfer::MakeDragData(std::uint8_t kind, const CClippy& clipboard) {
    const std::vector<std::uint8_t> file = clipboard.FileBytes();
    QByteArray bytes;
    bytes.append(char(kind));
    bytes.append(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
    auto* mime = new QMimeData;
    mime->setData(QLatin1String(kMimeType), bytes);
    return mime;
}

void AreaTransfer::DragArea(AreaDragKind kind, const PixelRect& area) {
    CClippy& clipboard = services_.clipboard;
    target_.CopyMarked(clipboard, area);
    try {
        // Written as it always was, for whoever reads it; the drag carries the same bytes.
        clipboard.WriteFile(services_.shell.ClipboardFilePath().toStdString());
    } catch (const std::exception&) {
    }
    auto* drag = new QDrag(&source_);
    drag->setMimeData(MakeDragData(std::uint8_t(kind), clipboard));
    drag->setDragCursor(DragCursor().pixmap(), Qt::CopyAction);
    drag->exec(Qt::CopyAction);
}

void AreaTransfer::DragEnter(QDragEnterEvent* event) {
    fileDrag_.reset();
    if (ReadDropData(event->mimeData())) {
        event->acceptProposedAction();
    } else if (const std::optional<QString> png = DroppedPngFile(event->mimeData())) {
        fileDrag_ = FileDrag{*png, PngFileSize(*png)};
        event->acceptProposedAction();
    } else {
        // Documents and anything else go on to the main window.
        event->ignore();
    }
}

void AreaTransfer::DragMove(QDragMoveEvent* event) {
    if (fileDrag_) {
        DragFileMove(event);
        return;
    }
    const std::optional<DropData> data = ReadDropData(event->mimeData());
    if (!data) {
        event->ignore();
        return;
    }
    target_.BringToFront();
    drop_.reset();
    target_.HideDropFrame();
    if (const std::optional<PixelPoint> hit = target_.PixelAtWindow(event->position().toPoint())) {
        const PixelPoint origin = target_.DropOrigin(*hit, data->kind);
        const PixelRect area{origin.x, origin.y, origin.x + data->width - 1, origin.y + data->height - 1};
        if (const std::optional<PixelRect> part = target_.DropPart(area)) {
            drop_ = DropPreview{area, *part};
            target_.ShowDropFrame(*part);
        }
    }
    event->acceptProposedAction();
}

void AreaTransfer::DragLeave() {
    drop_.reset();
    fileDrag_.reset();
    target_.HideDropFrame();
}

void AreaTransfer::Drop(QDropEvent* event) {
    if (fileDrag_) {
        DropFile(event);
        return;
    }
    const std::optional<DropData> data = ReadDropData(event->mimeData());
    const std::optional<DropPreview> drop = drop_;
    drop_.reset();
    target_.HideDropFrame();
    if (!data) {
        event->ignore();
        return;
    }
    target_.SetMarkedPixels(std::nullopt);
    CClippy& clipboard = services_.clipboard;
    // A damaged drop pastes nothing, not whatever the clipboard held before.
    if (drop &&
        clipboard.LoadFileBytes(std::span(reinterpret_cast<const std::uint8_t*>(data->file.constData()),
                                          std::size_t(data->file.size())))) {
        target_.SetMarkedPixels(drop->part);
        target_.PrepareDrop(drop->part, data->kind);
        // The whole area, so that its pixels land where they were pointed to; the window pastes
        // only what lies on its pixels.
        target_.PasteInto(clipboard, drop->area);
        if (data->kind == AreaDragKind::Symbol) {
            target_.SetMarkedPixels(std::nullopt);
        }
    }
    event->acceptProposedAction();
}

// ---- PNG files from a file manager ------------------------------------------------------------------

std::optional<AreaTransfer::DropPreview> AreaTransfer::FileDropAt(QPoint windowPoint, QSize size) const {
    if (const std::optional<PixelRect> mark = target_.FramedArea()) {
        return DropPreview{*mark, *mark};
    }
    const std::optional<PixelPoint> hit = target_.PixelAtWindow(windowPoint);
    if (!hit || size.isEmpty()) {
        return std::nullopt;
    }
    const PixelRect area{hit->x, hit->y, hit->x + size.width() - 1, hit->y + size.height() - 1};
    const PixelRect part = area.ClippedTo(target_.WholeArea());
    if (!part.HasPixels()) {
        return std::nullopt;
    }
    return DropPreview{area, part};
}

void AreaTransfer::DragFileMove(QDragMoveEvent* event) {
    target_.BringToFront();
    target_.HideDropFrame();
    if (fileDrag_->size) {
        if (const std::optional<DropPreview> drop =
                FileDropAt(event->position().toPoint(), *fileDrag_->size)) {
            target_.ShowDropFrame(drop->part);
        }
    }
    event->acceptProposedAction();
}

void AreaTransfer::DropFile(QDropEvent* event) {
    const FileDrag file = *fileDrag_;
    fileDrag_.reset();
    target_.HideDropFrame();
    event->acceptProposedAction();
    // The editor's clipboard keeps what it holds: a dropped file is no copy.
    CClippy picture;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool loaded = LoadPngPicture(services_, file.path, picture);
    QGuiApplication::restoreOverrideCursor();
    if (!loaded) {
        return;
    }
    const std::optional<DropPreview> drop =
        FileDropAt(event->position().toPoint(), QSize(picture.Width(), picture.Height()));
    if (!drop) {
        return;
    }
    if (!target_.FramedArea()) {
        target_.SetMarkedPixels(drop->part);
        target_.PrepareDrop(drop->part, AreaDragKind::Pixels);
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    target_.PasteInto(picture, drop->area);
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace zobl
