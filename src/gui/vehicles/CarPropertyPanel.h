#pragma once

#include <array>
#include <cstdint>

#include <QWidget>

class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zobl {

class CLanguageManager;

// The properties of one car beside the vehicle tree: its three texts, three independent
// options and a three-way choice (the car flags 0x8000, 0x0001, 0x0040 and 0x0020 / 0x0010 /
// neither). The panel only shows and reports; the view stores what the user changed.
//
// Typing in one field is one editing run: TextsEdited tells whether a change continues the run
// (same field, not left in between) so the owner can make the run one undo step. The fields keep
// no history of their own: their undo and redo keys (also Ctrl+Y) ask the owner for the
// document's.
class CarPropertyPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxTextLength = 61;
    static constexpr int kLabelHeight = 18;
    static constexpr int kEditHeight = 24;
    static constexpr int kButtonHeight = 20;
    static constexpr int kGroupGap = 6;

    explicit CarPropertyPanel(const CLanguageManager& language, QWidget* parent = nullptr);
    ~CarPropertyPanel() override;

    // Fills the controls without any signal and ends the editing run.
    void Load(const QString& name, const QString& text2, const QString& text3, std::uint32_t carFlags);
    QString Name() const;
    QString Text2() const;
    QString Text3() const;
    // The flags the controls give: the five bits, every other bit clear.
    std::uint32_t Flags() const;
    // Puts a text back into the name field without a signal (an empty name is never kept).
    void RestoreName(const QString& name);

    void ApplyColours(const QColor& background, const QColor& text, const QColor& editBackground,
                      const QColor& editText);
    void ApplyFont(const QFont& font);
    // Lays the controls out top to bottom for the given width.
    void Arrange(int width);
    int PreferredHeight() const;

    // For tests and the view's keyboard handling: edits 0..2 (name, text 2, text 3), check
    // boxes 0..2 (0x8000, 0x0001, 0x0040), radio buttons 0..2 (neither, 0x0020, 0x0010).
    QLineEdit* Edit(int index) const { return edits_[std::size_t(index)]; }
    QCheckBox* Check(int index) const { return checks_[std::size_t(index)]; }
    QRadioButton* Radio(int index) const { return radios_[std::size_t(index)]; }
    // Moves the checked radio button up (-1) or down (+1) within the three; true when it moved.
    bool StepChoice(int step);

signals:
    void TextsEdited(bool continueRun);
    void FlagsClicked(std::uint32_t flags);
    // The user left the name field empty; the owner puts the car's name back.
    void NameLeftEmpty();
    void EditingRunEnded();
    void UndoRequested();
    void RedoRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnTextEdited(int field);
    int CheckedChoice() const;
    // -1 for an undo key, +1 for a redo key, else 0.
    static int HistoryStep(const QKeyEvent& key);

    std::array<QLabel*, 4> labels_{};
    std::array<QLineEdit*, 3> edits_{};
    std::array<QCheckBox*, 3> checks_{};
    std::array<QRadioButton*, 3> radios_{};
    int runField_ = -1;  // the field of the editing run, -1 none
};

}  // namespace zobl
