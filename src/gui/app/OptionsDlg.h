#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QColor>
#include <QDialog>
#include <QString>

namespace Ui {
class OptionsDlg;
class DlgBckProperties;
}  // namespace Ui

class QLineEdit;

namespace zobl {

class CBug1App;
class HelpContextScope;

// The options: check boxes, three zoom and distance numbers, four folders and the language. OK
// stores the check boxes and folders first, then each number in turn; a number that is no
// decimal number or lies outside its range shows error 104 and keeps the dialog open. A changed
// language is written to the settings file at once and read at the next start.
class OptionsDlg : public QDialog {
    Q_OBJECT
public:
    using FolderPrompt = std::function<QString(const QString& title)>;

    explicit OptionsDlg(CBug1App& app, QWidget* parent = nullptr);
    ~OptionsDlg() override;

    // The folder prompt behind the browse buttons (the standard one unless replaced): the
    // chosen folder ending in '/', or empty on cancel.
    void SetFolderPrompt(FolderPrompt prompt) { folderPrompt_ = std::move(prompt); }

    // The steps of OK; false when a number was refused (the dialog stays open).
    bool Apply();
    void accept() override;

private:
    bool ReadNumber(QLineEdit* edit, int low, int high, int& setting);
    void Browse(QLineEdit* edit, int titleKey);

    CBug1App& app_;
    std::unique_ptr<Ui::OptionsDlg> ui_;
    std::unique_ptr<HelpContextScope> help_;
    FolderPrompt folderPrompt_;
};

// The properties of the workspace background: its colour, whether a picture is shown, which
// one, and whether it is stretched.
class CDlgBckProperties : public QDialog {
    Q_OBJECT
public:
    using ColourPrompt = std::function<std::optional<QColor>(const QColor& initial)>;
    using PicturePrompt = std::function<QString(const QString& current)>;  // empty: cancelled
    // Loads the background picture after OK (an empty path: no picture).
    using PictureLoader = std::function<void(const QString& path)>;

    CDlgBckProperties(CBug1App& app, PictureLoader loader, QWidget* parent = nullptr);
    ~CDlgBckProperties() override;

    void SetColourPrompt(ColourPrompt prompt) { colourPrompt_ = std::move(prompt); }
    void SetPicturePrompt(PicturePrompt prompt) { picturePrompt_ = std::move(prompt); }

    QColor Colour() const { return colour_; }
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateEnabled();
    // With the picture ticked and no path, the picture prompt opens at once.
    void PromptIfNoPicture();
    void ChooseColour();
    void BrowsePicture();

    CBug1App& app_;
    std::unique_ptr<Ui::DlgBckProperties> ui_;
    std::unique_ptr<HelpContextScope> help_;
    PictureLoader loader_;
    ColourPrompt colourPrompt_;
    PicturePrompt picturePrompt_;
    QColor colour_;
    bool shown_ = false;
};

}  // namespace zobl
