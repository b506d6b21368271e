#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "core/common/TestTempFolder.h"
#include "core/lang/LanguageManager.h"
#include "core/lang/Placeholder.h"
#include "gui/lang/Localization.h"

namespace zobl {
namespace {

TEST(Placeholder, ReadsTheNumberAsPercentDWould) {
    EXPECT_EQ(PlaceholderNumber("key1101"), 1101);
    EXPECT_EQ(PlaceholderNumber("key1101 und mehr"), 1101);
    EXPECT_EQ(PlaceholderNumber("key 42"), 42);
    EXPECT_EQ(PlaceholderNumber("key\t+7x"), 7);
    EXPECT_EQ(PlaceholderNumber("key-3"), -3);
    EXPECT_EQ(PlaceholderNumber("key"), 0);
    EXPECT_EQ(PlaceholderNumber("keyboard"), 0);
    EXPECT_EQ(PlaceholderNumber("key-"), 0);
    EXPECT_EQ(PlaceholderNumber("key99999999999"), 0);  // overflow names no text
    EXPECT_EQ(PlaceholderNumber("Key1101"), std::nullopt);
    EXPECT_EQ(PlaceholderNumber(" key1101"), std::nullopt);
    EXPECT_EQ(PlaceholderNumber(">>"), std::nullopt);
    EXPECT_EQ(PlaceholderNumber(""), std::nullopt);
}

class Localization : public ::testing::Test {
protected:
    Localization() {
        std::ofstream file(folder.File("test.rtx"), std::ios::binary);
        file << "[MENU]\r\n1001=&Datei\r\n1101=&Neu\\tStrg+N\r\n1102=\xD6"
                "ffnen\r\n1200=Unter\r\n1201=Eins\r\n"
             << "[DIALOGS]\r\n3001=OK\r\n3002=Abbrechen\r\n3101=Titel\r\n3102=Gruppe\r\n3103=Wahl\r\n3104="
                "Reiter\r\n"
             << "3105=Hinweis\r\n";
    }
    test::TempFolder folder;
    CLanguageManager language{folder.File("test.rtx")};
};

TEST_F(Localization, MenusGetTheirTextsAtEveryDepth) {
    QMenu root;
    QMenu* file = root.addMenu(QStringLiteral("key1001"));
    QAction* newItem = file->addAction(QStringLiteral("key1101"));
    newItem->setData(57600);
    QAction* separator = file->addSeparator();
    QMenu* sub = file->addMenu(QStringLiteral("key1200"));
    QAction* deep = sub->addAction(QStringLiteral("key1201"));
    QAction* wordy = file->addAction(QStringLiteral("key1102 mit weiteren Worten"));
    QAction* upper = file->addAction(QStringLiteral("Key1101"));
    QAction* bare = file->addAction(QStringLiteral("key"));
    QAction* missing = file->addAction(QStringLiteral("key1999"));

    EXPECT_TRUE(LocalizeMenu(&root, language));
    EXPECT_EQ(file->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(newItem->text(), QStringLiteral("&Neu\tStrg+N"));
    EXPECT_EQ(newItem->data().toInt(), 57600);
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(sub->title(), QStringLiteral("Unter"));
    EXPECT_EQ(sub->menuAction()->menu(), sub);
    EXPECT_EQ(deep->text(), QStringLiteral("Eins"));
    EXPECT_EQ(wordy->text(), QString::fromUtf8("\xC3\x96"
                                               "ffnen"));
    EXPECT_EQ(upper->text(), QStringLiteral("Key1101"));
    EXPECT_EQ(bare->text(), QStringLiteral("__RTX__"));
    EXPECT_EQ(missing->text(), QStringLiteral("__RTX__"));
    EXPECT_FALSE(LocalizeMenu(nullptr, language));
}

TEST_F(Localization, WindowsGetTheirTextsInNestedContainersToo) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("key3101"));
    auto* group = new QGroupBox(QStringLiteral("key3102"), &dialog);
    auto* radio = new QRadioButton(QStringLiteral("key3103"), group);
    auto* inner = new QWidget(group);
    auto* label = new QLabel(QStringLiteral("key3105"), inner);
    auto* browse = new QPushButton(QStringLiteral(">>"), &dialog);
    auto* ok = new QPushButton(QStringLiteral("key3001"), &dialog);
    auto* tabs = new QTabWidget(&dialog);
    tabs->addTab(new QWidget, QStringLiteral("key3104"));
    tabs->addTab(new QWidget, QStringLiteral("fest"));
    auto* choice = new QComboBox(inner);
    choice->addItems({QStringLiteral("key3104"), QStringLiteral("fest")});

    EXPECT_TRUE(LocalizeWindow(&dialog, language));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Titel"));
    EXPECT_EQ(group->title(), QStringLiteral("Gruppe"));
    EXPECT_EQ(radio->text(), QStringLiteral("Wahl"));
    EXPECT_EQ(label->text(), QStringLiteral("Hinweis"));
    EXPECT_EQ(browse->text(), QStringLiteral(">>"));
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Reiter"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("fest"));
    EXPECT_EQ(choice->itemText(0), QStringLiteral("Reiter"));
    EXPECT_EQ(choice->itemText(1), QStringLiteral("fest"));
    EXPECT_FALSE(LocalizeWindow(nullptr, language));

    // Texts set afterwards (user data beginning with k, e, y among them) stay as they are.
    label->setText(QStringLiteral("key3001"));
    EXPECT_EQ(label->text(), QStringLiteral("key3001"));
}

TEST_F(Localization, GetTextIfKeyRefusesNonPlaceholdersAndNumberZero) {
    QString result = QStringLiteral("unchanged");
    EXPECT_FALSE(GetTextIfKey(result, QStringLiteral("Schwarz"), kDialogsSection, language));
    EXPECT_FALSE(GetTextIfKey(result, QStringLiteral("key"), kDialogsSection, language));
    EXPECT_FALSE(GetTextIfKey(result, QStringLiteral("key0"), kDialogsSection, language));
    EXPECT_EQ(result, QStringLiteral("unchanged"));
    EXPECT_TRUE(GetTextIfKey(result, QStringLiteral("key3002"), kDialogsSection, language));
    EXPECT_EQ(result, QStringLiteral("Abbrechen"));
    EXPECT_TRUE(GetTextIfKey(result, QStringLiteral("key3002"), kMenuSection, language));
    EXPECT_EQ(result, QStringLiteral("__RTX__"));
}

// The shipped language file: a dialog written with placeholders gets German texts.
// The language file names its language; one that does not, or names none Qt knows, is German.
TEST(QtDialogLanguage, FollowsTheLanguageFile) {
    struct Case {
        const char* data;  // section DATA of the file
        QLocale::Language language;
        QLocale::Territory territory;
    };
    const Case cases[] = {
        {"1068=de_DE\r\n", QLocale::German, QLocale::Germany},
        {"1068=de_AT\r\n", QLocale::German, QLocale::Austria},
        {"1068=en_GB\r\n", QLocale::English, QLocale::UnitedKingdom},
        {"1001=Neue Grafik\r\n", QLocale::German, QLocale::Germany},  // a file of the original keys
        {"1068=Deutsch\r\n", QLocale::German, QLocale::Germany},
        {"1068=#empty\r\n", QLocale::German, QLocale::Germany},
    };
    test::TempFolder folder;
    for (const Case& c : cases) {
        std::ofstream(folder.File("lang.rtx"), std::ios::binary) << "[DATA]\r\n" << c.data;
        const QLocale locale = LanguageLocale(CLanguageManager(folder.File("lang.rtx")));
        EXPECT_EQ(locale.language(), c.language) << c.data;
        EXPECT_EQ(locale.territory(), c.territory) << c.data;
    }
}

// Qt's own dialogs speak German, and dates come in the German form.
TEST(QtDialogLanguage, QtsOwnTextsAndDatesAreGerman) {
    const QLocale before;
    {
        QObject owner;
        const bool translated = UseLocaleInQtDialogs(QLocale(QLocale::German, QLocale::Germany), &owner);
        EXPECT_EQ(QLocale().language(), QLocale::German);
        EXPECT_EQ(QLocale().toString(QDate(2024, 3, 5), QLocale::ShortFormat), QStringLiteral("05.03.24"));
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm")) {
            QLocale::setDefault(before);
            GTEST_SKIP() << "Qt's German translation is not installed";
        }
        EXPECT_TRUE(translated);
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        auto* buttons = files.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Close);
        EXPECT_EQ(box.button(QDialogButtonBox::No)->text(), QStringLiteral("&Nein"));
        EXPECT_EQ(box.button(QDialogButtonBox::Close)->text(), QStringLiteral("Schlie\u00dfen"));
    }
    // The translation goes with its owner.
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    QLocale::setDefault(before);
}

TEST(ShippedLanguageFile, ADialogShowsTextsNotPlaceholders) {
    CLanguageManager shipped;
    QDialog dialog;
    auto* group = new QGroupBox(&dialog);
    auto* ok = new QPushButton(QStringLiteral("key3001"), group);
    auto* cancel = new QPushButton(QStringLiteral("key3002"), group);
    auto* help = new QPushButton(QStringLiteral("key3003"), &dialog);
    auto* yes = new QPushButton(QStringLiteral("key3006"), &dialog);
    auto* no = new QPushButton(QStringLiteral("key3007"), &dialog);
    LocalizeWindow(&dialog, shipped);
    for (const QPushButton* button : {ok, cancel, help, yes, no}) {
        EXPECT_FALSE(button->text().startsWith(QStringLiteral("key"))) << button->text().toStdString();
        EXPECT_NE(button->text(), QStringLiteral("__RTX__"));
        EXPECT_FALSE(button->text().isEmpty());
    }
}

}  // namespace
}  // namespace zobl
