#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include <QDialog>
#include <QTimer>

namespace Ui {
class DlgChooseType;
class InfoDlg;
class AboutDlg;
}  // namespace Ui

namespace zobl {

class CLanguageManager;
class HelpContextScope;

// The choice of the kind of a new document: scenery (selected at the start) or vehicles.
class CDlgChooseType : public QDialog {
    Q_OBJECT
public:
    // vehiclesAvailable: false while vehicle documents cannot be made (the choice is disabled).
    CDlgChooseType(const CLanguageManager& language, bool vehiclesAvailable, QWidget* parent = nullptr);
    ~CDlgChooseType() override;
    // kSceneryKind or kVehicleKind.
    int ChosenKind() const;

private:
    std::unique_ptr<Ui::DlgChooseType> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

// "Please wait": while it is open, a step function of the caller runs every 150 ms; a negative
// result ends the dialog with that result. A step that has more to do at once answers kStepAgain:
// the next step then runs as soon as the window has handled its input and painted. The cancel
// button (and Escape) end the dialog with Rejected, and no step runs after that.
class CInfoDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kStepMilliseconds = 150;
    static constexpr int kStepAgain = 1;
    using StepFunction = std::function<int(CInfoDlg& dialog, std::intptr_t value)>;

    explicit CInfoDlg(const CLanguageManager& language, QWidget* parent = nullptr);
    ~CInfoDlg() override;

    void SetStep(StepFunction step, std::intptr_t value);
    void SetText(const QString& text);
    QString Text() const;
    bool TimerActive() const { return timer_.isActive(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void OnTick();

    std::unique_ptr<Ui::InfoDlg> ui_;
    QTimer timer_;
    StepFunction step_;
    std::intptr_t value_ = 0;
};

// The About box. After it has been shown, dialogs get a light grey background.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const CLanguageManager& language, QWidget* parent = nullptr);
    ~CAboutDlg() override;

private:
    std::unique_ptr<Ui::AboutDlg> ui_;
};

}  // namespace zobl
