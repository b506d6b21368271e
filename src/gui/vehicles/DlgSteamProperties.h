#pragma once

#include <cstdint>
#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class DlgSteamProperties;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;

// The steam of a car segment: none, over half the segment (0x80) or over the whole segment
// (0x40). It starts from a segment word, of which only the steam bits count (0x80 wins when
// both are set), and gives back the value to store.
class CDlgSteamProperties : public QDialog {
    Q_OBJECT
public:
    CDlgSteamProperties(const CLanguageManager& language, std::uint16_t value, QWidget* parent = nullptr);
    ~CDlgSteamProperties() override;

    // 0, 0x80 or 0x40.
    std::uint16_t Value() const;
    // Says above the choice what is edited: the car, its view and the segment.
    void SetSubject(const QString& subject);
    QString Subject() const;

private:
    std::unique_ptr<Ui::DlgSteamProperties> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
