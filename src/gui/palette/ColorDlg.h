#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QDialog>
#include <QRect>

class QKeyEvent;

#include "gui/palette/ColorBar.h"

namespace Ui {
class ColorDlg;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;
class Palette;

// The colour choice: the whole palette in five labelled groups. A left click on a field chooses
// the left drawing colour, a right click the right one; the fields carry "L", "R" or "LR"
// (section "DATA" 1003-1005). The caller sets both colours, runs the dialog and on OK takes
// them back. The day/night button steps the display state while the dialog is open.
// The fields have the focus when the dialog opens: the arrow keys step the left colour through
// the rows as shown, Shift with an arrow the right one, as on the colour bar.
class CColorDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFieldSize = 16;
    static constexpr int kFieldGap = 4;
    static constexpr int kGroupCount = 5;

    CColorDlg(const Palette& palette, const CLanguageManager& language, QWidget* parent = nullptr);
    ~CColorDlg() override;

    void SetColours(int left, int right);
    int LeftColor() const noexcept { return leftColor_; }
    int RightColor() const noexcept { return rightColor_; }
    // Run by the day/night button before the dialog repaints (the main window's ID_DAY_NIGHT).
    void SetDayNightHandler(std::function<void()> handler) { dayNight_ = std::move(handler); }

    // Shows the button "Palette exportieren ...", which writes the colours of the state shown to a
    // file of the user's choice (GIMP or JASC palette, hex list, swatch PNG, by its extension).
    // The prompt starts in folder; errors and the overwrite question go to messages.
    void EnablePaletteExport(MessageService& messages, const QString& folder);
    // The folder of the last palette written, else the one given.
    QString ExportFolder() const { return exportFolder_; }

    // The widget the fields are painted on, and where they lie in it.
    QWidget* PaletteArea() const;
    QRect PaletteRect() const noexcept { return paletteArea_; }
    const QRect& FieldRect(int field) const { return fieldRects_.at(static_cast<std::size_t>(field)); }
    int CaptionY(int group) const { return captionY_.at(static_cast<std::size_t>(group)); }
    // The field under point (area coordinates), or -1.
    int FieldAt(QPoint point) const;
    // The mark a field shows: "L", "R", "LR" or nothing.
    QString FieldMark(int field) const;
    QString Description() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOut();
    void Paint(QPainter& painter);
    bool KeyPress(QKeyEvent* event);
    void PaintFocus(QPainter& painter);
    void OnDayNight();
    void OnExportPalette();

    const Palette& palette_;
    const CLanguageManager& language_;
    std::unique_ptr<Ui::ColorDlg> ui_;
    std::unique_ptr<HelpContextScope> help_;
    std::function<void()> dayNight_;
    MessageService* messages_ = nullptr;
    QString exportFolder_;
    int describedIndex_ = 0;
    QRect paletteArea_;
    std::array<QRect, kColourFieldCount> fieldRects_{};
    std::array<int, kGroupCount> captionY_{};
    int rightColor_ = 56;
    int leftColor_ = 15;
    // The fields last chosen, which tell the two fields of a doubled index apart.
    int leftField_ = -1;
    int rightField_ = -1;
};

}  // namespace zobl
