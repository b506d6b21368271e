#include "gui/vehicles/CarPropertyPanel.h"

#include <algorithm>

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/vehicles/VehicleModel.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/Cp1252Fields.h"

namespace zobl {

using namespace vehicles;

namespace {
// Section "DATA": the labels, then the captions of the options and of the choice.
constexpr int kLabelKeys[4] = {1040, 1041, 1042, 1043};
constexpr int kCheckKeys[3] = {1044, 1045, 1046};
constexpr int kRadioKeys[3] = {1047, 1048, 1049};
// Their tool tips, which name the bits as the simulator stores them.
constexpr int kCheckToolTipKeys[3] = {1052, 1053, 1054};
constexpr int kRadioToolTipKeys[3] = {1055, 1056, 1057};
constexpr const char* kEditNames[3] = {"name5383", "text5384", "text5385"};
constexpr const char* kCheckNames[3] = {"option5378", "option5377", "option5379"};
constexpr const char* kRadioNames[3] = {"choice5380", "choice5381", "choice5382"};
constexpr std::uint32_t kCheckBits[3] = {kCarFlagOption8000, kCarFlagOption0001, kCarFlagOption0040};
constexpr std::uint32_t kChoiceBits[3] = {0, kCarFlagChoice0020, kCarFlagChoice0010};
}  // namespace

CarPropertyPanel::CarPropertyPanel(const CLanguageManager& language, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("carPropertyPanel"));
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = new QLabel(GetText(language, kLabelKeys[i], kDataSection), this);
    }
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        QLineEdit* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(kEditNames[i]));
        edit->setMaxLength(kMaxTextLength);
        LimitToCp1252(edit, language);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, i] { OnTextEdited(int(i)); });
        edits_[i] = edit;
        labels_[i]->setBuddy(edit);
    }
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        QCheckBox* check = new QCheckBox(GetText(language, kCheckKeys[i], kDataSection), this);
        check->setObjectName(QString::fromLatin1(kCheckNames[i]));
        check->setToolTip(GetText(language, kCheckToolTipKeys[i], kDataSection));
        connect(check, &QCheckBox::clicked, this, [this] { emit FlagsClicked(Flags()); });
        checks_[i] = check;
    }
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        QRadioButton* radio = new QRadioButton(GetText(language, kRadioKeys[i], kDataSection), this);
        radio->setObjectName(QString::fromLatin1(kRadioNames[i]));
        radio->setToolTip(GetText(language, kRadioToolTipKeys[i], kDataSection));
        radio->installEventFilter(this);
        connect(radio, &QRadioButton::clicked, this, [this] { emit FlagsClicked(Flags()); });
        radios_[i] = radio;
    }
    radios_[0]->setChecked(true);
    setTabOrder(edits_[0], edits_[1]);
    setTabOrder(edits_[1], edits_[2]);
    setTabOrder(edits_[2], checks_[0]);
    setTabOrder(checks_[0], checks_[1]);
    setTabOrder(checks_[1], checks_[2]);
    setTabOrder(checks_[2], radios_[0]);
}

CarPropertyPanel::~CarPropertyPanel() = default;

void CarPropertyPanel::Load(const QString& name, const QString& text2, const QString& text3,
                            std::uint32_t carFlags) {
    const QString texts[3] = {name, text2, text3};
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        const QSignalBlocker blocker(edits_[i]);
        // Keep the cursor where it is when the text is the one shown (another window typed it).
        if (edits_[i]->text() != texts[i]) {
            edits_[i]->setText(texts[i].left(kMaxTextLength));
        }
    }
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        const QSignalBlocker blocker(checks_[i]);
        checks_[i]->setChecked((carFlags & kCheckBits[i]) != 0);
    }
    int choice = 0;
    if (carFlags & kCarFlagChoice0020) {
        choice = 1;
    } else if (carFlags & kCarFlagChoice0010) {
        choice = 2;
    }
    const QSignalBlocker blocker(radios_[std::size_t(choice)]);
    radios_[std::size_t(choice)]->setChecked(true);
    runField_ = -1;
}

QString CarPropertyPanel::Name() const {
    return edits_[0]->text();
}
QString CarPropertyPanel::Text2() const {
    return edits_[1]->text();
}
QString CarPropertyPanel::Text3() const {
    return edits_[2]->text();
}

std::uint32_t CarPropertyPanel::Flags() const {
    std::uint32_t flags = 0;
    for (std::size_t i = 0; i < checks_.size(); ++i) {
        if (checks_[i]->isChecked()) {
            flags |= kCheckBits[i];
        }
    }
    return flags | kChoiceBits[std::size_t(CheckedChoice())];
}

void CarPropertyPanel::RestoreName(const QString& name) {
    const QSignalBlocker blocker(edits_[0]);
    edits_[0]->setText(name.left(kMaxTextLength));
}

int CarPropertyPanel::CheckedChoice() const {
    for (std::size_t i = 0; i < radios_.size(); ++i) {
        if (radios_[i]->isChecked()) {
            return int(i);
        }
    }
    return 0;
}

bool CarPropertyPanel::StepChoice(int step) {
    const int next = CheckedChoice() + step;
    if (next < 0 || next >= int(radios_.size())) {
        return false;
    }
    QRadioButton* radio = radios_[std::size_t(next)];
    radio->setChecked(true);
    radio->setFocus(Qt::TabFocusReason);
    emit FlagsClicked(Flags());
    return true;
}

void CarPropertyPanel::OnTextEdited(int field) {
    const bool continueRun = runField_ == field;
    runField_ = field;
    emit TextsEdited(continueRun);
    // The field keeps no history of its own: undoing from it would bring back a text of it as a
    // new change of the document, also of another car. Setting the text is the one way to empty
    // a line edit's history.
    QLineEdit* edit = edits_[std::size_t(field)];
    const QSignalBlocker blocker(edit);
    const int cursor = edit->cursorPosition();
    edit->setText(edit->text());
    edit->setCursorPosition(cursor);
}

int CarPropertyPanel::HistoryStep(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Undo)) {
        return -1;
    }
    const bool ctrlY =
        key.key() == Qt::Key_Y && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    return key.matches(QKeySequence::Redo) || ctrlY ? 1 : 0;
}

bool CarPropertyPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto field = std::find(edits_.begin(), edits_.end(), watched);
    if (field != edits_.end() &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        if (const int step = HistoryStep(*static_cast<QKeyEvent*>(event)); step != 0) {
            if (event->type() == QEvent::KeyPress) {
                emit step < 0 ? UndoRequested() : RedoRequested();
            }
            // Accepting the override brings the key here as a key press, whatever else uses it.
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool isRadio = std::find(radios_.begin(), radios_.end(), watched) != radios_.end();
        if (isRadio && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            StepChoice(key->key() == Qt::Key_Up ? -1 : +1);
            return true;
        }
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (field != edits_.end()) {
            if (event->type() == QEvent::FocusOut) {
                if (field == edits_.begin() && edits_[0]->text().isEmpty()) {
                    emit NameLeftEmpty();
                }
                if (runField_ >= 0) {
                    runField_ = -1;
                    emit EditingRunEnded();
                }
            }
            runField_ = -1;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CarPropertyPanel::ApplyColours(const QColor& background, const QColor& text,
                                    const QColor& editBackground, const QColor& editText) {
    QPalette panelPalette = palette();
    panelPalette.setColor(QPalette::Window, background);
    panelPalette.setColor(QPalette::WindowText, text);
    panelPalette.setColor(QPalette::Button, background);
    panelPalette.setColor(QPalette::ButtonText, text);
    setPalette(panelPalette);
    setAutoFillBackground(true);
    for (QLineEdit* edit : edits_) {
        QPalette editPalette = edit->palette();
        editPalette.setColor(QPalette::Base, editBackground);
        editPalette.setColor(QPalette::Text, editText);
        edit->setPalette(editPalette);
    }
}

void CarPropertyPanel::ApplyFont(const QFont& font) {
    setFont(font);
}

void CarPropertyPanel::Arrange(int width) {
    int y = 0;
    const auto place = [&](QWidget* widget, int height) {
        widget->setGeometry(0, y, std::max(width, 0), height);
        y += height;
    };
    for (std::size_t i = 0; i < edits_.size(); ++i) {
        place(labels_[i], kLabelHeight);
        place(edits_[i], kEditHeight);
    }
    y += kGroupGap;
    place(labels_[3], kLabelHeight);
    for (QCheckBox* check : checks_) {
        place(check, kButtonHeight);
    }
    for (QRadioButton* radio : radios_) {
        place(radio, kButtonHeight);
    }
}

int CarPropertyPanel::PreferredHeight() const {
    return 3 * (kLabelHeight + kEditHeight) + kGroupGap + kLabelHeight + 6 * kButtonHeight;
}

}  // namespace zobl
