#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QColor>
#include <QDialog>
#include <QString>
#include <QStringList>

#include "core/palette/Palette.h"

namespace Ui {
class ColorSettings;
}

namespace zobl {

class CLanguageManager;
class ColourSwatchButton;
class HelpContextScope;

// The editors' window colours and the shared font: six colour buttons, the face and size lists
// and a preview of the font; below the window colours, the colours of the two grids.
class CColorSettings : public QDialog {
    Q_OBJECT
public:
    // The six colours in the order of their buttons 1034-1039, then the grids'.
    enum ColourSlot {
        SceneryForeground,
        SceneryBackground,
        VehicleForeground,
        VehicleBackground,
        EditForeground,
        EditBackground,
        PixelGridLines,
        CellGridLines,
        kColourSlots
    };
    struct Values {
        std::array<Rgb, kColourSlots> colours{};
        QString fontFace = QStringLiteral("Arial");
        int fontSize = 80;  // tenths of a point
    };
    using ColourPrompt = std::function<std::optional<QColor>(const QColor& initial)>;

    // sharedFontFace: the face of the application's font, selected in the face list when listed.
    CColorSettings(const CLanguageManager& language, const Values& values, const QString& sharedFontFace,
                   QWidget* parent = nullptr);
    ~CColorSettings() override;

    Values GetValues() const { return values_; }
    // The fonts the system lists for the Western character set, sorted.
    static QStringList FontFaces();
    // The colour prompt behind the buttons (the standard colour prompt unless replaced).
    void SetColourPrompt(ColourPrompt prompt) { prompt_ = std::move(prompt); }
    ColourSwatchButton* Button(ColourSlot slot) const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CollectFace();
    void CollectSize();
    void ChooseColour(ColourSlot slot);

    const CLanguageManager& language_;
    std::unique_ptr<Ui::ColorSettings> ui_;
    std::unique_ptr<HelpContextScope> help_;
    Values values_;
    ColourPrompt prompt_;
};

}  // namespace zobl
