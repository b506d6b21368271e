#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "core/common/MessageError.h"
#include "core/drawing/MouseMode.h"
#include "core/lang/LanguageManager.h"
#include "core/text/CodePages.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"
#include "gui/lang/Localization.h"
#include "gui/vehicles/DlgExport.h"
#include "gui/vehicles/DlgNewCar.h"
#include "gui/vehicles/DlgNewGrp.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/EditGrpDlg.h"

namespace zobl {
namespace {

constexpr MouseMode kFreehand = MouseMode::Freehand;

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

std::string Raw(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class VehicleDialogs : public ::testing::Test, public test::AppFixture {
protected:
    VehicleDialogs() { StartApp(); }
    const CLanguageManager& Language() { return app->GetLanguageManager(); }

    // Types text into a cleared field and clicks OK, as a user would.
    void TypeAndConfirm(QDialog& dialog, const char* field, const QString& text) {
        dialog.show();
        auto* edit = Child<QLineEdit>(dialog, field);
        edit->clear();
        QTest::keyClicks(edit, text);
        Confirm(dialog);
    }
    void Confirm(QDialog& dialog) {
        dialog.show();
        QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
    }
    void AddSets(int count) {
        for (int set = 0; set < count; ++set) {
            ASSERT_TRUE(doc.AddVehicleSet(std::string("S").append(std::to_string(set)), kFreehand));
        }
    }

    VehicleDocument doc;
};

TEST_F(VehicleDialogs, EachDialogHasItsHelpContextAndNoPlaceholderLeft) {
    struct Case {
        int help;
        int caption;
        std::function<std::unique_ptr<QDialog>()> make;
    };
    const auto never = [](auto&&...) { return -1; };
    const Case cases[] = {
        {50150, 3149, [&] { return std::make_unique<CDlgNewGrp>(Language(), messages, never); }},
        {50080, 3161, [&] { return std::make_unique<CEditGrpDlg>(Language(), messages, "S", never); }},
        {50140, 3151,
         [&] {
             return std::make_unique<CDlgNewCar>(Language(), messages, CDlgNewCar::SetEntries{}, -1, never);
         }},
        {50060, 3201, [&] { return std::make_unique<CDlgSteamProperties>(Language(), 0); }},
        {50035, 3143,
         [&] {
             return std::make_unique<CDlgExport>(Language(), messages, "/tmp", "zug",
                                                 [](const QString&, const auto&) {});
         }},
    };
    app->SetHelpContext(2090);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.help);
        {
            const std::unique_ptr<QDialog> dialog = c.make();
            EXPECT_EQ(app->GetHelpContext(), c.help);
            EXPECT_EQ(dialog->windowTitle(), GetText(Language(), c.caption, kDialogsSection));
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                EXPECT_FALSE(label->text().startsWith(QStringLiteral("key")))
                    << label->objectName().toStdString();
            }
            for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
                EXPECT_FALSE(button->text().startsWith(QStringLiteral("key")))
                    << button->objectName().toStdString();
            }
        }
        EXPECT_EQ(app->GetHelpContext(), 2090);
    }
}

TEST_F(VehicleDialogs, NewSetClosesOnlyWhenTheSetWasAdded) {
    struct Case {
        const char* what;
        int existingSets;
        QString typed;
        int error;  // 0: added
        std::string storedName;
    };
    const Case cases[] = {
        {"empty name", 0, QString(), 106, {}},
        {"22 characters", 0, QString(22, QLatin1Char('a')), 0, std::string(22, 'a')},
        {"the field stops at 22 characters", 0, QString(23, QLatin1Char('b')), 0, std::string(22, 'b')},
        {"10 sets exist", 10, QStringLiteral("Elf"), 105, {}},
        {"the tenth set", 9, QStringLiteral("Zehn"), 0, "Zehn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.Clear();
        AddSets(c.existingSets);
        messages.entries.clear();
        CDlgNewGrp dialog(Language(), messages,
                          [&](const QString& name) { return doc.NewVehicleSet(Raw(name), kFreehand); });
        TypeAndConfirm(dialog, "name1041", c.typed);
        if (c.error != 0) {
            EXPECT_EQ(messages.Numbers(), std::vector<int>{c.error});
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(doc.CountSets(), c.existingSets);
        } else {
            EXPECT_TRUE(messages.entries.empty());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_FALSE(dialog.isVisible());
            ASSERT_EQ(doc.CountSets(), c.existingSets + 1);
            EXPECT_EQ(doc.Set(c.existingSets).name.View(), c.storedName);
        }
    }
}

TEST_F(VehicleDialogs, RenamingToAnEmptyNameKeepsTheOldOneAndTheDialogOpen) {
    AddSets(1);
    ASSERT_TRUE(doc.RenameVehicleSet(0, "Alt", kFreehand));
    CEditGrpDlg dialog(Language(), messages, QStringLiteral("Alt"), [&](const QString& name) {
        const std::string raw = Raw(name);
        if (const int problem = doc.CheckRenameSet(0, raw); problem != 0) {
            return problem;
        }
        return doc.RenameVehicleSet(0, raw, kFreehand) ? 0 : -1;
    });
    EXPECT_EQ(Child<QLineEdit>(dialog, "name1041")->text(), QStringLiteral("Alt"));

    TypeAndConfirm(dialog, "name1041", QString());
    EXPECT_EQ(messages.Numbers(), std::vector<int>{106});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(doc.Set(0).name.View(), "Alt");

    // The user corrects the name; the same dialog now renames and closes.
    TypeAndConfirm(dialog, "name1041", QStringLiteral("Neu"));
    EXPECT_EQ(messages.Numbers(), std::vector<int>{106});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(doc.Set(0).name.View(), "Neu");
}

TEST_F(VehicleDialogs, NewCarClosesOnlyWhenTheCarWasAdded) {
    struct Case {
        const char* what;
        int preselected;
        std::vector<int> lengthsInSet1;  // cars already in set 1
        QString typed;
        int error;  // 0: added to set 1 with the preselected length 4
    };
    const Case cases[] = {
        {"no set chosen", -1, {}, QStringLiteral("Lok"), 105},
        {"empty name", 1, {}, QString(), 110},
        {"set holds 8 cars", 1, {1, 1, 1, 1, 1, 1, 1, 1}, QStringLiteral("Lok"), 111},
        {"set would reach 33 units", 1, {29}, QStringLiteral("Lok"), 112},
        {"set reaches 32 units", 1, {20, 8}, QStringLiteral("Lok"), 0},
        {"61 characters", 1, {}, QString(70, QLatin1Char('n')), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doc.Clear();
        AddSets(2);
        for (const int length : c.lengthsInSet1) {
            ASSERT_EQ(doc.NewCar(1, "C", length, kFreehand), 0);
        }
        const int carsBefore = doc.CountCars(1);
        messages.entries.clear();
        CDlgNewCar dialog(Language(), messages, {{0, QStringLiteral("S0")}, {1, QStringLiteral("S1")}},
                          c.preselected, [&](int set, const QString& name, int length) {
                              return doc.NewCar(set, Raw(name), length, kFreehand);
                          });
        TypeAndConfirm(dialog, "name1042", c.typed);
        if (c.error != 0) {
            EXPECT_EQ(messages.Numbers(), std::vector<int>{c.error});
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(doc.CountCars(1), carsBefore);
            EXPECT_EQ(doc.CountCars(0), 0);
        } else {
            EXPECT_TRUE(messages.entries.empty());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            ASSERT_EQ(doc.CountCars(1), carsBefore + 1);
            const Car& car = doc.CarAt(1, carsBefore);
            EXPECT_EQ(car.length, 4);
            EXPECT_EQ(car.name.View(), Raw(c.typed.left(61)));
        }
    }
}

TEST_F(VehicleDialogs, NewCarLengthsAreWordedByTheLanguageFile) {
    const struct {
        const char* file;
        const char* shortest;
        const char* longest;
    } cases[] = {
        {"zobl_ge.rtx", "8 Pixel", "256 Pixel"},
        {"zobl_ge.en.rtx", "8 pixels", "256 pixels"},
    };
    for (const auto& c : cases) {
        const CLanguageManager language(c.file);
        CDlgNewCar dialog(language, messages, {}, -1, [](int, const QString&, int) { return -1; });
        const auto* lengths = Child<QListWidget>(dialog, "lengths1046");
        EXPECT_EQ(lengths->item(0)->text().toStdString(), c.shortest) << c.file;
        EXPECT_EQ(lengths->item(31)->text().toStdString(), c.longest) << c.file;
    }
}

TEST_F(VehicleDialogs, NewCarListsSetsByTheirIndexAndLengthsInPixels) {
    int chosenSet = -2;
    int chosenLength = -2;
    CDlgNewCar dialog(Language(), messages, {{3, QStringLiteral("Drei")}, {7, QStringLiteral("Sieben")}}, 7,
                      [&](int set, const QString&, int length) {
                          chosenSet = set;
                          chosenLength = length;
                          return -1;
                      });
    dialog.show();
    auto* sets = Child<QListWidget>(dialog, "sets1045");
    ASSERT_EQ(sets->selectedItems().size(), 1);
    EXPECT_EQ(sets->selectedItems().front()->text(), QStringLiteral("Sieben"));

    auto* lengths = Child<QListWidget>(dialog, "lengths1046");
    ASSERT_EQ(lengths->count(), 32);
    EXPECT_EQ(lengths->item(0)->text(), QStringLiteral("8 Pixel"));
    EXPECT_EQ(lengths->item(1)->text(), QStringLiteral("16 Pixel"));
    EXPECT_EQ(lengths->item(12)->text(), QStringLiteral("104 Pixel"));
    EXPECT_EQ(lengths->item(31)->text(), QStringLiteral("256 Pixel"));
    ASSERT_EQ(lengths->selectedItems().size(), 1);
    EXPECT_EQ(lengths->selectedItems().front()->text(), QStringLiteral("32 Pixel"));

    Confirm(dialog);
    EXPECT_EQ(chosenSet, 7);
    EXPECT_EQ(chosenLength, 4);
    EXPECT_TRUE(dialog.isVisible());  // -1 keeps it open without a message
    EXPECT_TRUE(messages.entries.empty());

    // Clicking the rows chooses the other set and the longest car.
    const auto click = [](QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    };
    click(sets, 0);
    click(lengths, 31);
    Confirm(dialog);
    EXPECT_EQ(chosenSet, 3);
    EXPECT_EQ(chosenLength, 32);
}

// Typing a length in the list chooses the entry of that number, not a longer one that starts
// with it; digits that name no entry choose the first that starts with them.
TEST_F(VehicleDialogs, TypingALengthChoosesIt) {
    const struct {
        const char* typed;
        int length;
    } cases[] = {{"8", 1}, {"80", 10}, {"16", 2}, {"2", 3}, {"25", 32}, {"256", 32}, {"104", 13}};
    for (const auto& c : cases) {
        CDlgNewCar dialog(Language(), messages, {{0, QStringLiteral("Null")}}, 0,
                          [](int, const QString&, int) { return -1; });
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* lengths = Child<QListWidget>(dialog, "lengths1046");
        lengths->setFocus();
        QTest::keyClicks(lengths, QString::fromLatin1(c.typed));
        EXPECT_EQ(dialog.ChosenLength(), c.length) << c.typed;
    }
}

TEST_F(VehicleDialogs, NewCarWithoutPreselectionChoosesNoSetEvenWhenTheListHasTheFocus) {
    int chosenSet = -2;
    CDlgNewCar dialog(Language(), messages, {{0, QStringLiteral("Null")}}, -1,
                      [&](int set, const QString&, int) {
                          chosenSet = set;
                          return -1;
                      });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* sets = Child<QListWidget>(dialog, "sets1045");
    sets->setFocus();
    Confirm(dialog);
    EXPECT_EQ(chosenSet, -1);
}

TEST_F(VehicleDialogs, SteamShowsTheStoredChoiceAndGivesBackItsValue) {
    struct Case {
        std::uint16_t word;
        const char* checked;
        std::uint16_t value;
    };
    const Case cases[] = {
        {0x0000, "none1072", 0x00}, {0x0080, "half1073", 0x80}, {0x0040, "whole1074", 0x40},
        {0x00C0, "half1073", 0x80}, {0x1F3F, "none1072", 0x00}, {0xFF7F, "whole1074", 0x40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        CDlgSteamProperties dialog(Language(), c.word);
        EXPECT_TRUE(Child<QRadioButton>(dialog, c.checked)->isChecked());
        EXPECT_EQ(dialog.Value(), c.value);
    }
    // The user's choice is what comes back.
    CDlgSteamProperties dialog(Language(), 0x80);
    dialog.show();
    const std::pair<const char*, std::uint16_t> clicks[] = {
        {"whole1074", 0x40}, {"none1072", 0}, {"half1073", 0x80}};
    for (const auto& [radio, value] : clicks) {
        // On the indicator: a radio button only takes clicks on its indicator and text.
        auto* button = Child<QRadioButton>(dialog, radio);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
        EXPECT_EQ(dialog.Value(), value) << radio;
    }
}

class VehicleExportDialog : public VehicleDialogs {
protected:
    VehicleExportDialog() {
        AddSets(1);
        EXPECT_EQ(doc.NewCar(0, "Lok", 2, kFreehand), 0);
    }
    std::unique_ptr<CDlgExport> MakeDialog(CDlgExport::ExportFunction exportFiles = {}) {
        if (!exportFiles) {
            exportFiles = [this](const QString& basePath, const std::function<void(int)>& progress) {
                ExportVehicleFiles(basePath.toStdString(), doc, Language(), ExportTime{}, progress);
            };
        }
        // No trailing '/': the dialog adds it.
        return std::make_unique<CDlgExport>(Language(), messages,
                                            QString::fromStdString(exportFolder.string()),
                                            QStringLiteral("zug"), exportFiles);
    }
    std::string Path(const char* extension) const { return (exportFolder / "zug").string() + extension; }

    std::filesystem::path exportFolder = folder.Path() / "export";
};

TEST_F(VehicleExportDialog, ExistingFilesAreReplacedOnlyWhenTheUserAgreesToEach) {
    struct Case {
        const char* what;
        std::vector<const char*> existing;
        std::vector<int> answers;
        std::vector<const char*> asked;
        bool written;
    };
    const Case cases[] = {
        {"no files yet", {}, {}, {}, true},
        {"UZZ declined", {".UZZ"}, {kAnswerNo}, {".UZZ"}, false},
        {"UFG cancelled", {".UFG"}, {kAnswerCancel}, {".UFG"}, false},
        {"UFG declined after UZZ", {".UFG", ".UZZ"}, {kAnswerYes, kAnswerNo}, {".UZZ", ".UFG"}, false},
        {"both replaced", {".UFG", ".UZZ"}, {kAnswerYes, kAnswerYes}, {".UZZ", ".UFG"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(exportFolder);
        std::filesystem::create_directories(exportFolder);
        for (const char* extension : c.existing) {
            std::ofstream(Path(extension), std::ios::binary) << "old";
        }
        messages.entries.clear();
        messages.answers.assign(c.answers.begin(), c.answers.end());
        const auto dialog = MakeDialog();
        Confirm(*dialog);

        std::vector<QString> asked;
        for (const auto& entry : messages.entries) {
            EXPECT_TRUE(entry.question);
            EXPECT_EQ(entry.number, 303);
            asked.push_back(entry.argument);
        }
        std::vector<QString> expected;
        for (const char* extension : c.asked) {
            expected.push_back(QString::fromStdString(Path(extension)));
        }
        EXPECT_EQ(asked, expected);
        EXPECT_EQ(dialog->isVisible(), !c.written);
        const auto progress = Child<QProgressBar>(*dialog, "progress1040")->value();
        EXPECT_EQ(progress, c.written ? 100 : 0);
        for (const char* extension : {".UFG", ".UZZ"}) {
            const bool existed = std::find(c.existing.begin(), c.existing.end(),
                                           std::string_view(extension)) != c.existing.end();
            const std::string content = ReadFile(Path(extension));
            if (c.written) {
                EXPECT_TRUE(content.starts_with(vehicle_export::kFileHeaderText)) << extension;
            } else {
                EXPECT_EQ(content, existed ? "old" : "") << extension;
                EXPECT_EQ(std::filesystem::exists(Path(extension)), existed) << extension;
            }
        }
    }
}

// A link at a file's name, even one that leads nowhere yet, is a file there: the question says
// where it leads, and a refusal leaves it alone.
TEST_F(VehicleExportDialog, LinksCountAsExistingFilesAndTheQuestionSaysWhereTheyLead) {
    std::filesystem::create_directories(exportFolder);
    const std::string nowhere = (folder.Path() / "nowhere.txt").string();
    std::filesystem::create_symlink(nowhere, Path(".UZZ"));
    messages.entries.clear();
    messages.answers.assign({kAnswerNo});
    const auto dialog = MakeDialog();
    Confirm(*dialog);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 303);
    EXPECT_EQ(messages.entries[0].argument, QString::fromStdString(Path(".UZZ") + " -> " + nowhere));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_FALSE(std::filesystem::exists(Path(".UFG")));
}

TEST_F(VehicleExportDialog, FailuresAreShownAndKeepTheDialogOpen) {
    struct Case {
        const char* what;
        QString name;
        std::function<void()> failure;  // none: the real export of the document
        bool emptyDocument;
        int error;
        QString argument;
        QString folder = {};  // replaces the export folder when set
    };
    const QString folderText = QString::fromStdString(exportFolder.string()) + QLatin1Char('/');
    // The real export comes first, while the document still has a car to write.
    const Case cases[] = {
        {"empty name", QString(), {}, false, 3, folderText},
        {"empty folder", QStringLiteral("zug"), {}, false, 3, QStringLiteral("zug.UFG"), QStringLiteral(" ")},
        {"no set has cars", QStringLiteral("zug"), {}, true, 3, QStringLiteral("zug")},
        {"message error", QStringLiteral("zug"), [] { throw MessageError(4, "/x/zug.UFG"); }, false, 4,
         QStringLiteral("/x/zug.UFG")},
        {"other failure", QStringLiteral("zug"), [] { throw std::runtime_error("disk"); }, false, 3,
         QStringLiteral("zug")},
    };
    std::filesystem::create_directories(exportFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.emptyDocument) {
            doc.Clear();
        }
        messages.entries.clear();
        const auto dialog = MakeDialog(
            c.failure
                ? CDlgExport::ExportFunction([&](const QString&, const std::function<void(int)>& progress) {
                      progress(50);
                      c.failure();
                  })
                : CDlgExport::ExportFunction());
        dialog->show();
        auto* name = Child<QLineEdit>(*dialog, "name1038");
        name->clear();
        QTest::keyClicks(name, c.name);
        if (!c.folder.isNull()) {
            auto* folderField = Child<QLineEdit>(*dialog, "folder1036");
            folderField->clear();
            QTest::keyClicks(folderField, c.folder);
        }
        Confirm(*dialog);
        ASSERT_EQ(messages.entries.size(), 1u);
        EXPECT_EQ(messages.entries[0].number, c.error);
        EXPECT_EQ(messages.entries[0].argument, c.argument);
        EXPECT_FALSE(messages.entries[0].question);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(std::filesystem::is_empty(exportFolder));
    }
}

TEST_F(VehicleExportDialog, TheFolderAlwaysEndsInASlash) {
    const std::pair<QString, QString> given[] = {
        {QStringLiteral("/home/a"), QStringLiteral("/home/a/")},
        {QStringLiteral("/home/a/"), QStringLiteral("/home/a/")},
        {QString(), QString()},
    };
    for (const auto& [folder, shown] : given) {
        CDlgExport dialog(Language(), messages, folder, QStringLiteral("zug"), {});
        EXPECT_EQ(Child<QLineEdit>(dialog, "folder1036")->text(), shown);
        EXPECT_EQ(dialog.Folder(), shown);
    }

    const auto dialog = MakeDialog();
    dialog->show();
    EXPECT_TRUE(Child<QPushButton>(*dialog, "hidden1039")->isHidden());
    auto* field = Child<QLineEdit>(*dialog, "folder1036");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("/typed"));
    EXPECT_EQ(dialog->Folder(), QStringLiteral("/typed/"));

    QString answer = QStringLiteral("/media/stick/");
    dialog->SetFolderPrompt([&] { return answer; });
    auto* browse = Child<QPushButton>(*dialog, "browse1037");
    EXPECT_EQ(browse->text(), QStringLiteral(">>"));
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(field->text(), QStringLiteral("/media/stick/"));
    answer.clear();  // cancelled: the field stays
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(dialog->Folder(), QStringLiteral("/media/stick/"));
}

}  // namespace
}  // namespace zobl
