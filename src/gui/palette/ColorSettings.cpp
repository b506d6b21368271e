#include "gui/palette/ColorSettings.h"

#include <algorithm>

#include <QFontDatabase>
#include <QLabel>
#include <QPainter>

#include "gui/lang/Localization.h"
#include "gui/palette/ColourSwatchButton.h"
#include "gui/palette/PaletteDisplay.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/StandardPrompts.h"
#include "ui_ColorSettings.h"

namespace zobl {

namespace {
constexpr int kColourSettingsHelp = 50100;
constexpr int kColourPromptHelp = 50160;
constexpr int kSampleKey = 3158;
constexpr int kSmallestSize = 6;
constexpr int kLargestSize = 19;

}  // namespace

QStringList CColorSettings::FontFaces() {
    QStringList faces = QFontDatabase::families(QFontDatabase::Latin);
    faces.sort(Qt::CaseInsensitive);
    faces.removeDuplicates();
    return faces;
}

CColorSettings::CColorSettings(const CLanguageManager& language, const Values& values,
                               const QString& sharedFontFace, QWidget* parent)
    : QDialog(parent), language_(language), ui_(std::make_unique<Ui::ColorSettings>()), values_(values) {
    ui_->setupUi(this);
    LocalizeWindow(this, language_);
    help_ = std::make_unique<HelpContextScope>(kColourSettingsHelp);
    prompt_ = [this](const QColor& initial) { return RunColourPrompt(initial, language_, this); };

    // The labels of both colour groups share one width, so that the buttons line up.
    int labelWidth = 0;
    const auto labels = {ui_->label1034, ui_->label1035, ui_->label1036,      ui_->label1037,
                         ui_->label1038, ui_->label1039, ui_->labelPixelGrid, ui_->labelCellGrid};
    for (QLabel* label : labels) {
        labelWidth = std::max(labelWidth, label->sizeHint().width());
    }
    for (QLabel* label : labels) {
        label->setMinimumWidth(labelWidth);
    }
    for (int slot = 0; slot < kColourSlots; ++slot) {
        ColourSwatchButton* button = Button(static_cast<ColourSlot>(slot));
        button->SetColour(ToQColor(values_.colours[static_cast<std::size_t>(slot)]));
        connect(button, &QPushButton::clicked, this,
                [this, slot] { ChooseColour(static_cast<ColourSlot>(slot)); });
    }

    ui_->combo1058->addItems(FontFaces());
    ui_->combo1058->setCurrentIndex(ui_->combo1058->findText(sharedFontFace, Qt::MatchFixedString));
    for (int size = kSmallestSize; size <= kLargestSize; ++size) {
        ui_->combo1057->addItem(QString::asprintf("%2d", size), size * 10);
    }
    ui_->combo1057->setCurrentIndex(0);
    const int points = values_.fontSize / 10;
    if (points >= kSmallestSize && points <= kLargestSize) {
        ui_->combo1057->setCurrentIndex(points - kSmallestSize);
    }
    CollectFace();
    CollectSize();
    connect(ui_->combo1058, &QComboBox::currentIndexChanged, this, &CColorSettings::CollectFace);
    connect(ui_->combo1057, &QComboBox::currentIndexChanged, this, &CColorSettings::CollectSize);

    ui_->preview1059->installEventFilter(this);
    connect(ui_->ok1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancel2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->help9, &QPushButton::clicked, this, [] { ShowDialogHelp(); });
}

CColorSettings::~CColorSettings() = default;

ColourSwatchButton* CColorSettings::Button(ColourSlot slot) const {
    switch (slot) {
        case SceneryForeground:
            return ui_->colour1034;
        case SceneryBackground:
            return ui_->colour1035;
        case VehicleForeground:
            return ui_->colour1036;
        case VehicleBackground:
            return ui_->colour1037;
        case EditForeground:
            return ui_->colour1038;
        case EditBackground:
            return ui_->colour1039;
        case PixelGridLines:
            return ui_->colourPixelGrid;
        case CellGridLines:
        default:
            return ui_->colourCellGrid;
    }
}

void CColorSettings::CollectFace() {
    // A face the list does not hold keeps the previous one.
    if (ui_->combo1058->currentIndex() >= 0) {
        values_.fontFace = ui_->combo1058->currentText();
    }
    ui_->preview1059->update();
}

void CColorSettings::CollectSize() {
    if (ui_->combo1057->currentIndex() >= 0) {
        values_.fontSize = ui_->combo1057->currentData().toInt();
    }
    ui_->preview1059->update();
}

void CColorSettings::accept() {
    CollectFace();
    CollectSize();
    QDialog::accept();
}

void CColorSettings::ChooseColour(ColourSlot slot) {
    SetDialogHelpContext(kColourPromptHelp);
    ColourSwatchButton* button = Button(slot);
    if (const std::optional<QColor> chosen = prompt_(button->Colour()); chosen && chosen->isValid()) {
        values_.colours[static_cast<std::size_t>(slot)] = ToRgb(*chosen);
        button->SetColour(*chosen);
    }
    SetDialogHelpContext(kColourSettingsHelp);
}

bool CColorSettings::eventFilter(QObject* watched, QEvent* event) {
    // The sample is painted first; the frame then draws its border around it.
    if (watched == ui_->preview1059 && event->type() == QEvent::Paint) {
        QPainter painter(ui_->preview1059);
        QFont font(values_.fontFace);
        font.setPointSizeF(values_.fontSize / 10.0);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(ui_->preview1059->rect(), Qt::AlignCenter | Qt::TextSingleLine,
                         GetText(language_, kSampleKey, kDialogsSection));
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zobl
