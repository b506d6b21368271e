// What the editor shows, menu by menu and dialog by dialog: in English no German text the
// language file translates and no missing text; in either language no two entries of one menu
// or controls of one dialog with the same access key, which Alt+key could not tell apart.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

#include "GuiTestSupport.h"
#include "core/lang/LanguageChoice.h"
#include "core/lang/LanguageManager.h"
#include "core/text/IniFile.h"
#include "gui/app/OptionsDlg.h"
#include "gui/drawing/PngFiles.h"
#include "gui/framework/DocTemplate.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColorDlg.h"
#include "gui/palette/ColorSettings.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/widgets/EditInfoText.h"
#include "gui/widgets/GeneralDialogs.h"
#include "gui/widgets/MessageDialogs.h"
#include "gui/widgets/StandardPrompts.h"

namespace zobl {
namespace {

// The texts of one menu or dialog; its entries (menu items, buttons, labels, group titles)
// share one set of access keys.
struct Shown {
    QString where;
    QStringList entries;
    QStringList others;  // titles, tool tips, items, field contents
};

// Opened as a user opens it, since some lists (recent files, windows) are filled only then.
void AddMenu(QMenu* menu, const QString& where, std::vector<Shown>& shown) {
    menu->popup(QPoint());
    QCoreApplication::processEvents();
    Shown own{where, {}, {menu->title()}};
    std::vector<QAction*> submenus;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible()) {
            continue;
        }
        own.entries << action->text();
        own.others << action->toolTip() << action->statusTip();
        if (action->menu() != nullptr && action->menu() != menu) {
            submenus.push_back(action);
        }
    }
    menu->hide();
    shown.push_back(own);
    for (QAction* action : submenus) {
        AddMenu(action->menu(), where + " > " + AccessibleText(action->text()), shown);
    }
}

std::vector<Shown> MenusOf(QMenuBar* bar, const QString& where) {
    std::vector<Shown> shown{{where, {}, {}}};
    for (QAction* action : bar->actions()) {
        if (action->isVisible() && action->menu() != nullptr) {
            shown.front().entries << action->text();
            AddMenu(action->menu(), where + " > " + AccessibleText(action->text()), shown);
        }
    }
    return shown;
}

Shown DialogTexts(const QString& where, QWidget& dialog) {
    Shown own{where, {}, {dialog.windowTitle()}};
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&dialog)) {
            continue;
        }
        own.others << widget->toolTip();
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            own.entries << button->text();
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            own.entries << label->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            own.entries << group->title();
        } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                own.others << combo->itemText(i);
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            own.others << edit->text() << edit->placeholderText();
        }
    }
    return own;
}

// The German texts of the shipped file that differ from the English text of their key,
// compared as a user reads them: without access-key marks, shortcuts and closing colons.
QSet<QString> GermanOnlyTexts() {
    const std::string germanPath = CLanguageManager().Path();
    const std::string englishPath = CLanguageManager(kEnglishLanguageFileName).Path();
    const std::optional<std::string> german = ReadTextFile(germanPath);
    const std::optional<std::string> english = ReadTextFile(englishPath);
    EXPECT_TRUE(german && english) << englishPath;
    if (!german || !english) {
        return {};
    }
    QSet<QString> texts;
    const IniFile file = IniFile::Parse(*german);
    for (const std::string& section : file.Sections()) {
        for (const std::string& key : file.Keys(section)) {
            const int number = std::stoi(key);
            const QString de =
                AccessibleText(QString::fromStdString(CLanguageManager::TextIn(*german, number, section)));
            const QString en =
                AccessibleText(QString::fromStdString(CLanguageManager::TextIn(*english, number, section)));
            if (de != en && !de.isEmpty()) {
                texts << de;
            }
        }
    }
    return texts;
}

class VisibleTexts : public ::testing::Test, public test::AppFixture {
protected:
    // Every lock key on, so that the status line shows all its indicators.
    VisibleTexts() {
        lockKeys = [] { return LockKeyStates{true, true, true}; };
    }
};

TEST_F(VisibleTexts, NoGermanInEnglishAndNoAccessKeyTwiceInAMenuOrDialog) {
    const QSet<QString> germanOnly = GermanOnlyTexts();
    ASSERT_TRUE(germanOnly.contains(QStringLiteral("Datei")));
    const auto language = [this]() -> const CLanguageManager& { return app->GetLanguageManager(); };
    using Rows = std::vector<Shown>;
    const auto dialog = [](const char* where, auto&& make) {
        return [where, make] {
            const std::unique_ptr<QWidget> window = make();
            return Rows{DialogTexts(QString::fromLatin1(where), *window)};
        };
    };
    const auto filePrompt = [&](const char* where, FilePromptKind kind) {
        return dialog(where, [&, kind] {
            auto files = std::make_unique<QFileDialog>();
            files->setOption(QFileDialog::DontUseNativeDialog);
            LocalizeFileDialog(*files, kind, language());
            return files;
        });
    };
    // In this order: the documents stay open for the rows after them.
    const std::function<Rows()> rows[] = {
        [&] {
            Rows shown = MenusOf(app->MainFrame()->menuBar(), "menu bar");
            // It names the tool bars and the colour bar.
            const std::unique_ptr<QMenu> bars(app->MainFrame()->createPopupMenu());
            AddMenu(bars.get(), "menu of the bars", shown);
            return shown;
        },
        [&] {
            return Rows{{"status line", {}, app->MainFrame()->IndicatorTexts()}};
        },
        [&] {
            EXPECT_NE(app->SceneryTemplate()->OpenDocumentFile(WriteSceneryFile("a.gs")), nullptr);
            return MenusOf(app->MainFrame()->menuBar(), "scenery menu bar");
        },
        [&] {
            EXPECT_NE(app->VehicleTemplate()->OpenDocumentFile({}), nullptr);
            return MenusOf(app->MainFrame()->menuBar(), "vehicle menu bar");
        },
        dialog("error", [&] { return std::make_unique<CDlgError>(language(), 104, QString()); }),
        dialog("question",
               [&] { return std::make_unique<CDlgQuestion>(language(), 303, QStringLiteral("a.gs")); }),
        dialog("info text", [&] { return std::make_unique<CEditInfoText>(language()); }),
        dialog("options", [&] { return std::make_unique<OptionsDlg>(*app); }),
        dialog("document type", [&] { return std::make_unique<CDlgChooseType>(language(), true); }),
        dialog("please wait", [&] { return std::make_unique<CInfoDlg>(language()); }),
        dialog("about", [&] { return std::make_unique<CAboutDlg>(language()); }),
        dialog("colour settings",
               [&] { return std::make_unique<CColorSettings>(language(), CColorSettings::Values{}, ""); }),
        dialog("drawing colours", [&] { return std::make_unique<CColorDlg>(app->GetPalette(), language()); }),
        dialog("steam properties", [&] { return std::make_unique<CDlgSteamProperties>(language(), 0); }),
        dialog("PNG import", [&] { return std::make_unique<CPngImportDlg>(app->Services()); }),
        filePrompt("open prompt", FilePromptKind::Open),
        filePrompt("save prompt", FilePromptKind::Save),
        filePrompt("export prompt", FilePromptKind::Export),
        filePrompt("picture prompt", FilePromptKind::Picture),
        dialog("colour prompt",
               [&] {
                   auto colours = std::make_unique<QColorDialog>();
                   colours->setOption(QColorDialog::DontUseNativeDialog);
                   LocalizeColourDialog(*colours, language());
                   return colours;
               }),
        // Ends the editor: the last row.
        [&] {
            EndApp();
            infoBoxes.clear();
            EXPECT_FALSE(MakeApp().InitInstance({QStringLiteral("-unregister")}));
            Shown told{"answer to -unregister", {}, {}};
            for (const QString& box : infoBoxes) {
                told.others << box.section(QStringLiteral(": "), 1);  // after "title: "
            }
            EXPECT_EQ(told.others.size(), 1);
            return Rows{told};
        },
    };
    for (const bool english : {true, false}) {
        environment = [english](const char* name) -> const char* {
            return english && std::string_view(name) == "LANG" ? "en_US.UTF-8" : nullptr;
        };
        StartApp();
        ASSERT_EQ(app->MainFrame()->menuBar()->actions().value(0)->text(),
                  english ? QStringLiteral("&File") : QStringLiteral("&Datei"));
        for (const auto& row : rows) {
            for (const Shown& shown : row()) {
                const std::string where = (english ? "English, " : "German, ") + shown.where.toStdString();
                std::map<QString, QString> keys;
                for (const QString& text : shown.entries) {
                    const QString key = QKeySequence::mnemonic(text).toString();
                    if (!key.isEmpty() && !keys.emplace(key, text).second) {
                        ADD_FAILURE() << where << ": \"" << keys[key].toStdString() << "\" and \""
                                      << text.toStdString() << "\" share " << key.toStdString();
                    }
                }
                if (!english) {
                    continue;
                }
                for (const QString& text : shown.entries + shown.others) {
                    EXPECT_FALSE(text.contains(QLatin1String(CLanguageManager::kMissingText)))
                        << where << ": " << text.toStdString();
                    EXPECT_FALSE(germanOnly.contains(AccessibleText(text)))
                        << where << ": German \"" << text.toStdString() << "\"";
                }
            }
        }
        EndApp();
    }
}

}  // namespace
}  // namespace zobl
