#include "gui/palette/ColorDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/palette/Palette.h"
#include "core/settings/GeneralSettings.h"
#include "gui/framework/MessageService.h"
#include "gui/lang/Localization.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/StandardPrompts.h"
#include "png/PaletteExport.h"
#include "ui_ColorDlg.h"

namespace zobl {

namespace {

constexpr int kColourChoiceHelp = 50040;
constexpr int kLeftMarkKey = 1003;  // section "DATA"
constexpr int kRightMarkKey = 1004;
constexpr int kBothMarkKey = 1005;
constexpr int kAreaCaptionKey = 3109;
constexpr int kRowStep = 20;
constexpr int kPaletteFilterKey = 1070;   // section "DATA"
constexpr int kNoPaletteExtension = 140;  // error: the name has none of the palette extensions

struct Group {
    int firstField;
    int captionKey;
};
constexpr Group kGroups[CColorDlg::kGroupCount] = {{0, 3301}, {63, 3302}, {69, 3303}, {72, 3304}, {76, 3305}};

// Thirty-two fields to a row: the ordinary colours take two rows, every other group one.
constexpr QSize kAreaSize(2 + 32 * 20 + 3 + 3, 2 + 10 * 20 + 16 + 3 + 5);

// A mouse with its two buttons: the picture of the dialog.
QPixmap MousePicture() {
    QPixmap pixmap(28, 40);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 2.5, 23, 35), 11, 11);
    painter.setPen(QPen(QColor(64, 64, 64), 1.2));
    painter.setBrush(QColor(232, 232, 232));
    painter.drawPath(body);
    painter.drawLine(QPointF(14, 2.5), QPointF(14, 16));
    painter.drawLine(QPointF(2.5, 16), QPointF(25.5, 16));
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(3, 5, 11, 10), Qt::AlignCenter, QStringLiteral("L"));
    painter.drawText(QRectF(14, 5, 11, 10), Qt::AlignCenter, QStringLiteral("R"));
    return pixmap;
}

}  // namespace

CColorDlg::CColorDlg(const Palette& palette, const CLanguageManager& language, QWidget* parent)
    : QDialog(parent), palette_(palette), language_(language), ui_(std::make_unique<Ui::ColorDlg>()) {
    ui_->setupUi(this);
    LocalizeWindow(this, language_);
    help_ = std::make_unique<HelpContextScope>(kColourChoiceHelp);
    QWidget* area = ui_->area1010;
    area->setFixedSize(kAreaSize);
    area->setMouseTracking(true);
    area->setFocusPolicy(Qt::StrongFocus);
    area->setAccessibleName(GetText(language_, kAreaCaptionKey, kDialogsSection));
    area->installEventFilter(this);
    ui_->picture->setPixmap(MousePicture());
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->button1008, &QPushButton::clicked, this, &CColorDlg::OnDayNight);
    ui_->exportPalette->hide();
    connect(ui_->exportPalette, &QPushButton::clicked, this, &CColorDlg::OnExportPalette);
    connect(ui_->help1007, &QPushButton::clicked, this, [] { ShowDialogHelp(); });
    LayOut();
    area->setFocus(Qt::OtherFocusReason);
}

CColorDlg::~CColorDlg() = default;

void CColorDlg::SetColours(int left, int right) {
    leftColor_ = left;
    rightColor_ = right;
    ui_->area1010->update();
}

void CColorDlg::EnablePaletteExport(MessageService& messages, const QString& folder) {
    messages_ = &messages;
    exportFolder_ = folder;
    ui_->exportPalette->show();
}

QWidget* CColorDlg::PaletteArea() const {
    return ui_->area1010;
}

void CColorDlg::LayOut() {
    paletteArea_ = ui_->area1010->rect().adjusted(2, 2, -3, -3);
    const int left = paletteArea_.left();
    const int right = paletteArea_.left() + paletteArea_.width();  // the edge outside the area
    int x = left;
    int y = paletteArea_.top();
    for (int i = 0; i < kColourFieldCount; ++i) {
        int group = -1;
        for (int g = 0; g < kGroupCount; ++g) {
            if (kGroups[g].firstField == i) {
                group = g;
            }
        }
        if (group >= 0 || x + kFieldSize + kFieldGap > right) {
            if (group >= 0) {
                if (i != 0) {
                    y += kRowStep;
                }
                captionY_[static_cast<std::size_t>(group)] = y;
            }
            x = left;
            y += kRowStep;
        }
        fieldRects_[static_cast<std::size_t>(i)] = QRect(x, y, kFieldSize, kFieldSize);
        x += kFieldSize + kFieldGap;
    }
}

int CColorDlg::FieldAt(QPoint point) const {
    for (int i = 0; i < kColourFieldCount; ++i) {
        if (fieldRects_[static_cast<std::size_t>(i)].contains(point)) {
            return i;
        }
    }
    return -1;
}

QString CColorDlg::FieldMark(int field) const {
    if (field < 0 || field >= kColourFieldCount) {
        return {};
    }
    const int index = kColourFieldIndices[static_cast<std::size_t>(field)];
    const bool left = index == leftColor_;
    const bool right = index == rightColor_;
    const int key = left && right ? kBothMarkKey : left ? kLeftMarkKey : right ? kRightMarkKey : 0;
    return key != 0 ? GetText(language_, key, kDataSection) : QString();
}

QString CColorDlg::Description() const {
    return ui_->edit1011->text();
}

void CColorDlg::Paint(QPainter& painter) {
    painter.setFont(font());
    for (int i = 0; i < kColourFieldCount; ++i) {
        const QRect& field = fieldRects_[static_cast<std::size_t>(i)];
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(DisplayColour(palette_, kColourFieldIndices[static_cast<std::size_t>(i)]));
        painter.drawRect(field.adjusted(0, 0, -1, -1));
        const QString mark = FieldMark(i);
        if (!mark.isEmpty()) {
            // White as always, with a dark rim so that the mark stays readable on white and on
            // the light night colours.
            constexpr int kFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
            painter.setPen(Qt::black);
            for (const QPoint shift : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
                painter.drawText(field.translated(shift), kFlags, mark);
            }
            painter.setPen(Qt::white);
            painter.drawText(field, kFlags, mark);
        }
    }
    painter.setPen(Qt::black);
    for (int g = 0; g < kGroupCount; ++g) {
        const QRect caption(paletteArea_.left(), captionY_[static_cast<std::size_t>(g)], paletteArea_.width(),
                            kFieldSize);
        painter.drawText(caption, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                         GetText(language_, kGroups[g].captionKey, kDialogsSection));
    }
    if (ui_->area1010->hasFocus()) {
        PaintFocus(painter);
    }
}

void CColorDlg::PaintFocus(QPainter& painter) {
    PaintColourFocus(painter, *ui_->area1010,
                     fieldRects_[static_cast<std::size_t>(FieldShowing(leftColor_, leftField_))],
                     fieldRects_[static_cast<std::size_t>(FieldShowing(rightColor_, rightField_))], 2);
}

bool CColorDlg::KeyPress(QKeyEvent* event) {
    const std::optional<ColourStep> step = ColourStepOf(*event);
    if (!step) {
        return false;
    }
    int& colour = step->rightColour ? rightColor_ : leftColor_;
    int& field = step->rightColour ? rightField_ : leftField_;
    field = NeighbourField(fieldRects_, FieldShowing(colour, field), step->direction, false);
    colour = kColourFieldIndices[static_cast<std::size_t>(field)];
    // The description follows the keys as it follows the pointer.
    describedIndex_ = colour;
    ui_->edit1011->setText(QString::fromStdString(DescribeColour(language_, colour)));
    ui_->area1010->update();
    return true;
}

bool CColorDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui_->area1010) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::Paint: {
            QPainter painter(ui_->area1010);
            Paint(painter);
            return true;
        }
        case QEvent::MouseMove: {
            const int field = FieldAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            const int index = field >= 0 ? kColourFieldIndices[static_cast<std::size_t>(field)] : -1;
            if (index != describedIndex_) {
                describedIndex_ = index;
                ui_->edit1011->setText(index >= 0 ? QString::fromStdString(DescribeColour(language_, index))
                                                  : QString());
            }
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const int field = FieldAt(mouse->position().toPoint());
            if (field < 0) {
                return true;
            }
            const int index = kColourFieldIndices[static_cast<std::size_t>(field)];
            if (mouse->button() == Qt::LeftButton) {
                leftColor_ = index;
                leftField_ = field;
            } else if (mouse->button() == Qt::RightButton) {
                rightColor_ = index;
                rightField_ = field;
            }
            ui_->area1010->update();
            return true;
        }
        case QEvent::ShortcutOverride:
            // The arrows are the fields' while they have the focus.
            if (ColourStepOf(*static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress:
            return KeyPress(static_cast<QKeyEvent*>(event)) || QDialog::eventFilter(watched, event);
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            ui_->area1010->update();
            return false;
        default:
            return QDialog::eventFilter(watched, event);
    }
}

void CColorDlg::OnDayNight() {
    if (dayNight_) {
        dayNight_();
    }
    ui_->area1010->update();
}

// The colours as the dialog shows them, so an artist gets the night colours by stepping there.
void CColorDlg::OnExportPalette() {
    if (messages_ == nullptr) {
        return;
    }
    FilePromptRequest request;
    request.kind = FilePromptKind::Save;
    request.filter = GetText(language_, kPaletteFilterKey, kDataSection);
    request.suffixFollowsFilter = true;
    request.folder = exportFolder_;
    const QStringList chosen = RunFilePrompt(request, language_, this);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = chosen.constFirst();
    const std::optional<PaletteFormat> format = PaletteFormatOfPath(QFile::encodeName(path).toStdString());
    if (!format) {
        messages_->ShowError(kNoPaletteExtension, QFileInfo(path).fileName(), this);
        return;
    }
    if (!MayOverwrite(*messages_, path, this)) {
        return;
    }
    try {
        WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            PaletteFileBytes(*format, palette_.DayNightState(), language_));
        exportFolder_ =
            QString::fromStdString(WithTrailingSlash(QFileInfo(path).absolutePath().toStdString()));
    } catch (const MessageError& error) {
        messages_->ShowError(error.Number(), QString::fromStdString(error.Argument()), this);
    } catch (const std::exception&) {
        messages_->ShowError(message::kFileError, path, this);
    }
}

}  // namespace zobl
