#pragma once

#include <array>
#include <memory>

#include <QDialog>

class QCheckBox;

namespace Ui {
class DlgChooseImportCategories;
}

namespace zobl {

class CLanguageManager;
class HelpContextScope;
class MessageService;

// The first step of the import: which categories of the simulator's vehicles to offer. One check
// box per category bit a user can choose (0x1000 marks groups that are never offered and has
// none). OK with no box checked shows error 113 and the dialog stays open.
class CDlgChooseImportCategories : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 50110;
    static constexpr int kNoCategoryChosen = 113;

    struct CategoryBox {
        int control;
        unsigned bit;
    };
    static constexpr std::array<CategoryBox, 14> kCategoryBoxes{{{1067, 0x0001},
                                                                 {1068, 0x0002},
                                                                 {1069, 0x0004},
                                                                 {1070, 0x0008},
                                                                 {1071, 0x0010},
                                                                 {1072, 0x0020},
                                                                 {1073, 0x0040},
                                                                 {1074, 0x0080},
                                                                 {1075, 0x0100},
                                                                 {1076, 0x0200},
                                                                 {1081, 0x0400},
                                                                 {1082, 0x0800},
                                                                 {1083, 0x2000},
                                                                 {1084, 0x4000}}};

    // flags: the bits whose boxes are checked at the start.
    CDlgChooseImportCategories(const CLanguageManager& language, MessageService& messages, unsigned flags = 0,
                               QWidget* parent = nullptr);
    ~CDlgChooseImportCategories() override;

    // The chosen bits, valid after OK.
    unsigned Flags() const noexcept { return flags_; }
    QCheckBox* Box(int control) const;
    void accept() override;

private:
    MessageService& messages_;
    unsigned flags_;
    std::unique_ptr<Ui::DlgChooseImportCategories> ui_;
    std::unique_ptr<HelpContextScope> help_;
};

}  // namespace zobl
