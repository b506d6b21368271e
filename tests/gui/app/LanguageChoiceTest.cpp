#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "GuiTestSupport.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/CommandIds.h"

namespace zobl {
namespace {

// The editor's language files in a folder of the test's own; the first menu's title tells which
// one is read.
class LanguageChoiceApp : public ::testing::Test, public test::AppFixture {
protected:
    LanguageChoiceApp() {
        QDir().mkpath(QString::fromStdString(folder.File("data")));
        QDir().mkpath(QString::fromStdString(folder.File("help/en")));
        WriteFile("data/zobl_ge.rtx", "[MENU]\n1001=&Datei\n");
        WriteFile("help/index.html", "<html>");
        findData = [this](std::string_view name) { return folder.File("data/" + std::string(name)); };
        environment = [this](const char* name) -> const char* {
            return std::string_view(name) == "LANG" && lang_ != nullptr ? lang_ : nullptr;
        };
    }
    void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream(folder.File(name), std::ios::binary) << text;
    }
    void ShipEnglish() {
        WriteFile("data/zobl_ge.en.rtx", "[MENU]\n1001=&File\n");
        WriteFile("help/en/index.html", "<html>");
    }
    QString FirstMenu() const { return app->MainFrame()->menuBar()->actions().value(0)->text(); }
    // The manual F1 opens, relative to the test's folder.
    QString ManualOpened() {
        openedUrls.clear();
        Command(ID_HELP);
        return openedUrls.isEmpty() ? QString()
                                    : QDir(QString::fromStdString(folder.Path().string()))
                                          .relativeFilePath(openedUrls.front().toLocalFile());
    }

    const char* lang_ = nullptr;
};

TEST_F(LanguageChoiceApp, TheSettingChoosesTheLanguageFileAndTheManual) {
    struct Case {
        const char* stored;  // LANGUAGE of section "Language"; nullptr: none
        const char* lang;    // the environment's LANG
        bool englishShipped;
        bool fileNamed;  // the application is told the German file by name
        const char* firstMenu;
        const char* manual;
        bool englishManual = true;  // shipped with the English file
    };
    const Case cases[] = {
        {nullptr, nullptr, true, false, "&Datei", "help/index.html"},
        {nullptr, "en_US.UTF-8", true, false, "&File", "help/en/index.html"},
        {"auto", "en_GB.UTF-8", true, false, "&File", "help/en/index.html"},
        {"en", "de_DE.UTF-8", true, false, "&File", "help/en/index.html"},
        {"de", "en_US.UTF-8", true, false, "&Datei", "help/index.html"},
        // No English file: German, without a word.
        {"en", nullptr, false, false, "&Datei", "help/index.html"},
        // The English file without the English manual: the German manual.
        {"en", nullptr, true, false, "&File", "help/index.html", false},
        // A damaged value is the default, automatic.
        {"Englisch!", "en_US.UTF-8", true, false, "&File", "help/en/index.html"},
        // A file named by whoever starts the editor wins over the setting.
        {"en", "en_US.UTF-8", true, true, "&Datei", "help/index.html"},
    };
    for (const Case& c : cases) {
        QFile::remove(QString::fromStdString(folder.File("data/zobl_ge.en.rtx")));
        QFile::remove(QString::fromStdString(folder.File("help/en/index.html")));
        if (c.englishShipped) {
            ShipEnglish();
        }
        if (!c.englishManual) {
            QFile::remove(QString::fromStdString(folder.File("help/en/index.html")));
        }
        QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
        QFile::remove(SettingsFile());
        if (c.stored != nullptr) {
            WriteFile(QFile::encodeName(SettingsFile()).toStdString(),
                      std::string("[Language]\nLANGUAGE=") + c.stored + "\n");
        }
        lang_ = c.lang;
        languageFile = c.fileNamed ? folder.File("data/zobl_ge.rtx") : std::string();
        StartApp();
        const std::string row = std::string(c.stored ? c.stored : "-") + " " + (c.lang ? c.lang : "-");
        EXPECT_EQ(FirstMenu(), QString::fromLatin1(c.firstMenu)) << row;
        EXPECT_EQ(ManualOpened(), QString::fromLatin1(c.manual)) << row;
        EXPECT_TRUE(messages.entries.empty()) << row;
        EndApp();
    }
}

TEST_F(LanguageChoiceApp, AChoiceInTheSettingsDialogIsKeptAndReadAtTheNextStart) {
    ShipEnglish();
    StartApp();
    ASSERT_FALSE(app->Settings().autoSaveOptions);
    {
        OptionsDlg dialog(*app);
        auto* language = dialog.findChild<QComboBox*>(QStringLiteral("comboLanguage"));
        ASSERT_NE(language, nullptr);
        EXPECT_EQ(language->currentIndex(), 2);  // automatic, the default
        // The items are the language file's (here the built-in texts of these keys).
        const QStringList items{language->itemText(0), language->itemText(1), language->itemText(2)};
        EXPECT_EQ(items, (QStringList{"Deutsch", "English", "Automatisch"}));
        dialog.show();
        language->setCurrentIndex(1);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    // Written at once, though the options are not saved; this run keeps its language.
    EXPECT_TRUE(SettingsText().contains(QStringLiteral("LANGUAGE=en"))) << SettingsText().toStdString();
    EXPECT_EQ(FirstMenu(), QStringLiteral("&Datei"));
    EndApp();

    StartApp();
    EXPECT_EQ(FirstMenu(), QStringLiteral("&File"));
    OptionsDlg dialog(*app);
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("comboLanguage"))->currentIndex(), 1);
}

}  // namespace
}  // namespace zobl
