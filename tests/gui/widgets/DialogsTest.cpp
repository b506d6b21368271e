#include <gtest/gtest.h>

#include <fstream>

#include <QCheckBox>
#include <QColorDialog>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

#include "DialogTestSupport.h"
#include "GuiTestSupport.h"
#include "core/lang/Messages.h"
#include "gui/app/AppDialogs.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/Document.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/DialogSupport.h"
#include "gui/widgets/EditInfoText.h"
#include "gui/widgets/GeneralDialogs.h"
#include "gui/widgets/MessageDialogs.h"
#include "gui/widgets/StandardPrompts.h"

namespace zobl {
namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

class Dialogs : public ::testing::Test, public test::AppFixture {
protected:
    ~Dialogs() override { SetGreyDialogs(false); }
    const CLanguageManager& Language() { return app->GetLanguageManager(); }
    QString Errors(int key) { return GetText(Language(), key, kErrorsSection); }
};

TEST_F(Dialogs, MessagesTakeTheirArgumentAndCaptionsTheirNumber) {
    StartApp();
    EXPECT_EQ(MessageCaption(Language(), 1, false), QStringLiteral("Fehler 1"));
    EXPECT_EQ(MessageCaption(Language(), 303, true), QStringLiteral("Frage 303"));
    EXPECT_EQ(MessageBody(Language(), 1, QStringLiteral("/tmp/a.gs")),
              QStringLiteral("Die Datei /tmp/a.gs wurde nicht gefunden."));
    // Without an argument the "%" stays.
    EXPECT_EQ(MessageBody(Language(), 1, {}), Errors(6001));
    EXPECT_TRUE(MessageBody(Language(), 1, {}).contains(QLatin1Char('%')));
    // A message without "%" ignores its argument.
    EXPECT_EQ(MessageBody(Language(), 104, QStringLiteral("x")), Errors(6104));
    // An unknown number.
    EXPECT_EQ(MessageBody(Language(), 998, QStringLiteral("x")), QStringLiteral("__RTX__"));
    // A path whose characters would turn the message around shows them.
    EXPECT_EQ(MessageBody(Language(), 1, QStringLiteral("/tmp/a\u202Esg.txt")),
              QStringLiteral("Die Datei /tmp/a<U+202E>sg.txt wurde nicht gefunden."));
    // An argument that would run past the 1024-character buffer is cut.
    const QString body = MessageBody(Language(), 1, QString(3000, QLatin1Char('a')));
    EXPECT_EQ(body.size(), 1023);
    EXPECT_TRUE(body.startsWith(QStringLiteral("Die Datei aaa")));
}

TEST_F(Dialogs, ALanguageFileWithoutTheCaptionsShowsRtxEverywhere) {
    std::ofstream(folder.File("bare.rtx"), std::ios::binary) << "[Errors]\r\n6001=Datei % fehlt\r\n";
    CLanguageManager bare(folder.File("bare.rtx"));
    EXPECT_EQ(MessageCaption(bare, 1, false), QStringLiteral("__RTX__"));
    EXPECT_EQ(MessageCaption(bare, 303, true), QStringLiteral("__RTX__"));
    EXPECT_EQ(MessageBody(bare, 1, QStringLiteral("x")), QStringLiteral("Datei x fehlt"));
    EXPECT_EQ(MessageBody(bare, 2, QStringLiteral("x")), QStringLiteral("__RTX__"));
    // A text added later has a built-in one for files that lack it.
    EXPECT_EQ(GetText(bare, 3939, kDialogsSection), QStringLiteral("%1 (wiederhergestellt)"));
    CDlgError dialog(bare, 2, QStringLiteral("x"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("__RTX__"));
    EXPECT_EQ(dialog.MessageText(), QStringLiteral("__RTX__"));
}

TEST_F(Dialogs, TheErrorDialogShowsItsTextsAndHelpForItsNumber) {
    StartApp();
    app->SetHelpContext(2090);
    {
        CDlgError dialog(Language(), 104, {});
        EXPECT_EQ(app->GetHelpContext(), 60104);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Fehler 104"));
        EXPECT_EQ(dialog.MessageText(), Errors(6104));
        auto* ok = Child<QPushButton>(dialog, "ok1");
        auto* help = Child<QPushButton>(dialog, "help9");
        EXPECT_EQ(ok->text(), QStringLiteral("OK"));
        EXPECT_EQ(help->text(), QStringLiteral("&Hilfe"));
        EXPECT_TRUE(ok->isDefault());
        dialog.show();
        QTest::mouseClick(help, Qt::LeftButton);
        ASSERT_FALSE(infoBoxes.isEmpty());
        EXPECT_TRUE(infoBoxes.back().contains(QStringLiteral("Help ID = 60104")))
            << infoBoxes.back().toStdString();
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
    }
    // The help context goes back when the dialog is gone.
    EXPECT_EQ(app->GetHelpContext(), 2090);
}

TEST_F(Dialogs, QuestionsAnswerYesNoOrCancel) {
    StartApp();
    DialogMessageService service([this]() -> const CLanguageManager& { return app->GetLanguageManager(); },
                                 [this]() -> QWidget* { return app->MainFrame(); });
    const auto answer = [&](const char* button) {
        test::OnModal<CDlgQuestion>([button](CDlgQuestion& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Frage 303"));
            EXPECT_EQ(dialog.MessageText(),
                      QStringLiteral("Die Datei /x/a.gs existiert bereits. Überschreiben?"));
            if (button == nullptr) {
                QTest::keyClick(&dialog, Qt::Key_Escape);
            } else {
                QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)),
                                  Qt::LeftButton);
            }
        });
        return service.AskQuestion(303, QStringLiteral("/x/a.gs"));
    };
    EXPECT_EQ(answer("yes6"), kAnswerYes);
    EXPECT_EQ(answer("no7"), kAnswerNo);
    EXPECT_EQ(answer("cancel2"), kAnswerCancel);
    EXPECT_EQ(answer(nullptr), kAnswerCancel);
    // Return takes the default button, yes.
    test::OnModal<CDlgQuestion>([](CDlgQuestion& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_EQ(service.AskQuestion(304, QStringLiteral("a.gs")), kAnswerYes);

    test::OnModal<CDlgError>([](CDlgError& dialog) {
        EXPECT_EQ(dialog.MessageText(), QStringLiteral("Die Datei b.gs wurde nicht gefunden."));
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    service.ShowError(1, QStringLiteral("b.gs"));
}

TEST_F(Dialogs, TheInfoTextEditorCountsTheCharactersLeft) {
    StartApp();
    app->SetHelpContext(2090);
    {
        CEditInfoText dialog(Language());
        EXPECT_EQ(app->GetHelpContext(), 50070);
        EXPECT_EQ(dialog.windowTitle(), GetText(Language(), 3105, kDialogsSection));
        // Texts of the caller that look like placeholders stay as they are.
        dialog.SetTexts(QStringLiteral("key3001 Meier"), QStringLiteral("key3002"));
        EXPECT_EQ(dialog.Author(), QStringLiteral("key3001 Meier"));
        EXPECT_EQ(dialog.InfoText(), QStringLiteral("key3002"));
        auto* label = Child<QLabel>(dialog, "remaining1004");
        EXPECT_EQ(label->text(), QStringLiteral("Noch 2041 Zeichen"));

        auto* info = Child<QPlainTextEdit>(dialog, "info1003");
        dialog.show();
        info->setFocus();
        info->moveCursor(QTextCursor::End);
        QTest::keyClicks(info, QStringLiteral("abc"));
        EXPECT_EQ(label->text(), QStringLiteral("Noch 2038 Zeichen"));

        dialog.SetTexts(QStringLiteral("A"), QString(2047, QLatin1Char('x')));
        EXPECT_EQ(label->text(), QStringLiteral("Noch 1 Zeichen"));
        info->moveCursor(QTextCursor::End);
        QTest::keyClicks(info, QStringLiteral("yz"));
        EXPECT_EQ(label->text(), QStringLiteral("Noch 0 Zeichen"));
        EXPECT_EQ(dialog.InfoText().size(), 2048);
        EXPECT_TRUE(dialog.InfoText().endsWith(QStringLiteral("xy")));

        // The author field takes 80 characters.
        auto* author = Child<QLineEdit>(dialog, "author1002");
        author->clear();
        QTest::keyClicks(author, QString(85, QLatin1Char('m')));
        EXPECT_EQ(dialog.Author().size(), 80);
        // The limits hold typing only: longer texts of a document come back whole when left
        // alone, and so do their CR LF line ends.
        dialog.SetTexts(QString(100, QLatin1Char('n')), QString(3000, QLatin1Char('i')));
        EXPECT_EQ(dialog.Author().size(), 100);
        EXPECT_EQ(dialog.InfoText().size(), 3000);
        EXPECT_EQ(label->text(), QStringLiteral("Noch 0 Zeichen"));
        struct Case {
            QString given;
            QString typed;  // at the end, "\n" as Return
            QString result;
            const char* left;
        };
        const Case cases[] = {
            {"Zeile 1\r\nZeile 2", "", "Zeile 1\r\nZeile 2", "Noch 2032 Zeichen"},
            {"Zeile 1\nZeile 2", "", "Zeile 1\nZeile 2", "Noch 2033 Zeichen"},
            {"Zeile 1\r\nZeile 2", "\nx", "Zeile 1\r\nZeile 2\r\nx", "Noch 2029 Zeichen"},
            {"Zeile 1\nZeile 2", "\nx", "Zeile 1\nZeile 2\nx", "Noch 2031 Zeichen"},
            {"Eine Zeile", "\nx", "Eine Zeile\r\nx", "Noch 2035 Zeichen"},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.given.toStdString() + " + " + c.typed.toStdString());
            dialog.SetTexts(QStringLiteral("A"), c.given);
            info->moveCursor(QTextCursor::End);
            for (const QChar ch : c.typed) {
                if (ch == QLatin1Char('\n')) {
                    QTest::keyClick(info, Qt::Key_Return);
                } else {
                    QTest::keyClicks(info, QString(ch));
                }
            }
            EXPECT_EQ(dialog.InfoText(), c.result);
            EXPECT_EQ(label->text(), QString::fromLatin1(c.left));
        }
    }
    EXPECT_EQ(app->GetHelpContext(), 2090);
}

TEST_F(Dialogs, OptionNumbersOutsideTheirRangesAreRefusedWithError104) {
    StartApp();
    OptionsDlg dialog(*app);
    EXPECT_EQ(app->GetHelpContext(), 50090);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Einstellungen"));
    auto* transparent = Child<QLineEdit>(dialog, "edit1021");
    auto* borders = Child<QLineEdit>(dialog, "edit1022");
    auto* distance = Child<QLineEdit>(dialog, "edit1076");
    auto* singleUndo = Child<QCheckBox>(dialog, "check1033");
    auto* openFolder = Child<QLineEdit>(dialog, "edit1023");
    EXPECT_EQ(transparent->text(), QStringLiteral("4"));
    dialog.show();

    // A number field takes four characters at most.
    transparent->clear();
    QTest::keyClicks(transparent, QStringLiteral("123456"));
    EXPECT_EQ(transparent->text(), QStringLiteral("1234"));

    for (const char* refused : {"0", "17", "", "1x", "-3"}) {
        messages.entries.clear();
        transparent->setText(QString::fromLatin1(refused));
        singleUndo->setChecked(true);
        openFolder->setText(QStringLiteral("/srv/bilder"));
        QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
        EXPECT_EQ(messages.Numbers(), std::vector<int>{104}) << refused;
        EXPECT_TRUE(dialog.isVisible()) << refused;
        // Nothing is stored while a number is refused.
        EXPECT_FALSE(app->Settings().singleUndo);
        EXPECT_NE(app->Settings().openFolder, "/srv/bilder/");
        EXPECT_EQ(app->Settings().showTransCol, 4);
    }

    messages.entries.clear();
    transparent->setText(QStringLiteral("16"));
    borders->setText(QStringLiteral("0"));
    distance->setText(QStringLiteral("0"));
    QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
    EXPECT_EQ(messages.Numbers(), std::vector<int>{104});
    EXPECT_EQ(app->Settings().showTransCol, 4);
    EXPECT_TRUE(dialog.isVisible());

    // The symbol distance takes 0.
    messages.entries.clear();
    borders->setText(QStringLiteral(" 1"));
    QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(app->Settings().showBorders, 1);
    EXPECT_EQ(app->Settings().symbolDistance, 0);
    EXPECT_EQ(app->Settings().showTransCol, 16);
    EXPECT_TRUE(app->Settings().singleUndo);
    EXPECT_EQ(app->Settings().openFolder, "/srv/bilder/");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(Dialogs, OptionsSwitchTheColourBarAndBrowseForFolders) {
    StartApp({}, true);
    QDockWidget* vertical = app->MainFrame()->ChosenColourBar();
    ASSERT_NE(vertical, nullptr);
    EXPECT_FALSE(vertical->isHidden());

    OptionsDlg dialog(*app);
    QStringList titles;
    dialog.SetFolderPrompt([&](const QString& title) {
        titles << title;
        return titles.size() == 1 ? QStringLiteral("/srv/export/") : QString();
    });
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, "browse1029"), Qt::LeftButton);
    EXPECT_EQ(Child<QLineEdit>(dialog, "edit1026")->text(), QStringLiteral("/srv/export/"));
    // Cancelling the prompt keeps the field.
    QTest::mouseClick(Child<QPushButton>(dialog, "browse1031"), Qt::LeftButton);
    EXPECT_EQ(Child<QLineEdit>(dialog, "edit1030")->text(), QString::fromStdString(app->Settings().tmpPath));
    EXPECT_EQ(titles, (QStringList{GetText(Language(), 1012, kDataSection),
                                   GetText(Language(), 1013, kDataSection)}));

    Child<QCheckBox>(dialog, "check1082")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
    EXPECT_TRUE(app->Settings().horizColorBar);
    EXPECT_EQ(app->Settings().exportFolder, "/srv/export/");
    QDockWidget* horizontal = app->MainFrame()->ChosenColourBar();
    EXPECT_NE(horizontal, vertical);
    EXPECT_TRUE(vertical->isHidden());
    EXPECT_FALSE(horizontal->isHidden());

    // A hidden bar stays hidden when the choice switches back.
    Command(ID_VIEW_COLOUR_BAR);
    EXPECT_TRUE(horizontal->isHidden());
    OptionsDlg again(*app);
    Child<QCheckBox>(again, "check1082")->setChecked(false);
    EXPECT_TRUE(again.Apply());
    EXPECT_TRUE(vertical->isHidden());
    EXPECT_TRUE(horizontal->isHidden());
}

TEST_F(Dialogs, ARefusedNumberStoresNoOptionAndSwitchesNoBar) {
    StartApp({}, true);
    QDockWidget* vertical = app->MainFrame()->ChosenColourBar();
    const GeneralSettings before = app->Settings();
    {
        OptionsDlg dialog(*app);
        dialog.show();
        Child<QCheckBox>(dialog, "check1082")->setChecked(true);
        Child<QCheckBox>(dialog, "check1018")->setChecked(!before.fillDiagonal);
        Child<QLineEdit>(dialog, "edit1022")->setText(QStringLiteral("17"));
        for (int attempt = 0; attempt < 2; ++attempt) {
            QTest::mouseClick(Child<QPushButton>(dialog, "ok1"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(app->Settings().horizColorBar, before.horizColorBar);
            EXPECT_EQ(app->Settings().fillDiagonal, before.fillDiagonal);
            EXPECT_EQ(app->MainFrame()->ChosenColourBar(), vertical);
            EXPECT_FALSE(vertical->isHidden());
        }
        EXPECT_EQ(messages.Numbers(), (std::vector<int>{104, 104}));
        QTest::mouseClick(Child<QPushButton>(dialog, "cancel2"), Qt::LeftButton);
    }
    EXPECT_EQ(app->Settings().horizColorBar, before.horizColorBar);
    EXPECT_EQ(app->Settings().showBorders, before.showBorders);
    EXPECT_EQ(app->MainFrame()->ChosenColourBar(), vertical);
    EXPECT_FALSE(vertical->isHidden());
}

TEST_F(Dialogs, TheChooseTypeDialogMakesADocumentOfTheChosenKind) {
    StartApp();
    test::OnModal<CDlgChooseType>([this](CDlgChooseType& dialog) {
        EXPECT_EQ(app->GetHelpContext(), 50180);
        EXPECT_TRUE(dialog.findChild<QRadioButton*>(QStringLiteral("radio1074"))->isChecked());
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("cancel2")), Qt::LeftButton);
    });
    Command(ID_FILE_NEW);
    EXPECT_EQ(app->Documents().DocumentCount(), 0u);
    test::OnModal<CDlgChooseType>([](CDlgChooseType& dialog) {
        EXPECT_EQ(dialog.ChosenKind(), kSceneryKind);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    });
    Command(ID_FILE_NEW);
    ASSERT_EQ(app->Documents().DocumentCount(), 1u);
    EXPECT_EQ(app->Documents().Templates()[0]->Documents().size(), 1u);
}

TEST_F(Dialogs, TheSavePromptAsksBeforeReplacingAFile) {
    StartApp();
    const QString existing = WriteSceneryFile("alt.gs");
    const auto choose = [&](const QString& file) {
        test::OnModal<QFileDialog>([file](QFileDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Speichern unter"));
            EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
            dialog.selectFile(file);
            static_cast<QDialog&>(dialog).accept();
        });
    };
    app->Settings().autoApplyFolders = false;
    const std::string saveFolder = app->Settings().saveFolder;
    QString path = QStringLiteral("Neue.gs");
    messages.answers = {kAnswerNo};
    choose(existing);
    EXPECT_FALSE(app->PromptForSaveName(path, kSceneryKind));
    EXPECT_EQ(path, existing);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].number, 303);
    EXPECT_EQ(messages.entries[0].argument, existing);
    EXPECT_EQ(app->Settings().saveFolder, saveFolder);

    messages.answers = {kAnswerYes};
    choose(existing);
    EXPECT_TRUE(app->PromptForSaveName(path, kSceneryKind));

    // A new name gets the extension of the kind and needs no question; the folder follows.
    app->Settings().autoApplyFolders = true;
    messages.entries.clear();
    choose(QString::fromStdString(folder.File("neu")));
    EXPECT_TRUE(app->PromptForSaveName(path, kVehicleKind));
    EXPECT_EQ(path, QString::fromStdString(folder.File("neu.fgs")));
    EXPECT_TRUE(messages.entries.empty());
    EXPECT_EQ(app->Settings().saveFolder, folder.Path().string() + "/");

    test::OnModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(app->PromptForSaveName(path, kSceneryKind));

    // Save As on a document that has a file starts in its folder with its name; a document
    // without one in the save folder.
    app->Settings().saveFolder = folder.File("ablage") + "/";
    QDir().mkpath(QString::fromStdString(folder.File("eigen")));
    QDir().mkpath(QString::fromStdString(folder.File("ablage")));
    struct Case {
        QString proposed;
        QString folder;
        QString name;
    };
    const Case cases[] = {
        {QString::fromStdString(folder.File("eigen/bahnhof.gs")),
         QString::fromStdString(folder.File("eigen")), QStringLiteral("bahnhof.gs")},
        {QStringLiteral("Neue.gs"), QString::fromStdString(folder.File("ablage")), QStringLiteral("Neue.gs")},
    };
    for (const Case& c : cases) {
        QString shownFolder;
        QStringList shownName;
        test::OnModal<QFileDialog>([&](QFileDialog& dialog) {
            shownFolder = dialog.directory().absolutePath();
            shownName = dialog.selectedFiles();
            dialog.reject();
        });
        QString proposed = c.proposed;
        EXPECT_FALSE(app->PromptForSaveName(proposed, kSceneryKind));
        EXPECT_EQ(shownFolder, c.folder);
        ASSERT_EQ(shownName.size(), 1);
        EXPECT_EQ(QFileInfo(shownName.front()).fileName(), c.name);
    }
}

TEST_F(Dialogs, TheOpenPromptOpensEveryChosenFileInOrder) {
    StartApp();
    const QString a = WriteSceneryFile("a.gs");
    const QString b = WriteSceneryFile("b.gs");
    std::filesystem::create_directories(folder.File("sub"));
    const QString c = WriteSceneryFile("sub/c.gs");
    test::OnModal<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Datei öffnen"));
        EXPECT_EQ(app->GetHelpContext(), 50010);
        dialog.setDirectory(QString::fromStdString(folder.Path().string()));
        dialog.selectFile(QStringLiteral("\"a.gs\" \"b.gs\" \"sub/c.gs\""));
        static_cast<QDialog&>(dialog).accept();
    });
    Command(ID_FILE_OPEN);
    std::vector<QString> opened;
    for (Document* document : app->Documents().Templates()[0]->Documents()) {
        opened.push_back(document->PathName());
    }
    EXPECT_EQ(opened, (std::vector<QString>{a, b, c}));
    EXPECT_EQ(app->Settings().openFolder, folder.File("sub") + "/");
}

TEST_F(Dialogs, ThePollingDialogStepsUntilANegativeResult) {
    StartApp();
    CInfoDlg dialog(Language());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bitte warten"));
    EXPECT_EQ(dialog.Text(), GetText(Language(), 3160, kDialogsSection));
    int calls = 0;
    dialog.SetStep(
        [&](CInfoDlg& self, std::intptr_t value) {
            EXPECT_EQ(&self, &dialog);
            EXPECT_EQ(value, 42);
            self.SetText(QString::number(++calls));
            return calls == 3 ? -5 : 0;
        },
        42);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog.exec(), -5);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(dialog.Text(), QStringLiteral("3"));
    // Three steps of 150 ms.
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_FALSE(dialog.TimerActive());
}

TEST_F(Dialogs, AfterTheAboutBoxDialogsAreLightGrey) {
    StartApp();
    {
        CDlgChooseType before(Language(), true);
        before.show();
        EXPECT_NE(before.palette().color(QPalette::Window), QColor(192, 192, 192));
    }
    test::OnModal<CAboutDlg>([this](CAboutDlg& dialog) {
        EXPECT_EQ(app->GetHelpContext(), 50050);
        EXPECT_EQ(dialog.windowTitle(), GetText(Language(), 3101, kDialogsSection));
        EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("edit1013"))->text().isEmpty());
        // The version is the build's, the one the tool and the package give.
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("name"))->text(),
                  GetText(Language(), 3102, kDialogsSection) + QStringLiteral(" " ZOBL_VERSION));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ok1")), Qt::LeftButton);
    });
    Command(ID_APP_ABOUT);
    EXPECT_EQ(app->GetHelpContext(), 21051);
    EXPECT_TRUE(GreyDialogs());
    CDlgChooseType after(Language(), true);
    after.show();
    EXPECT_EQ(after.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(after.palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

TEST_F(Dialogs, TheStandardPromptsSpeakTheLanguageFile) {
    StartApp();
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    LocalizeFileDialog(files, FilePromptKind::Export, Language());
    EXPECT_EQ(files.windowTitle(), QStringLiteral("Als UZG speichern"));
    EXPECT_EQ(files.labelText(QFileDialog::FileName), QStringLiteral("Datei&name:"));
    // These two labels have no mnemonic, so the "&" goes.
    EXPECT_EQ(files.labelText(QFileDialog::LookIn), QStringLiteral("Suchen in:"));
    EXPECT_EQ(files.labelText(QFileDialog::FileType), QStringLiteral("Dateityp:"));
    EXPECT_EQ(files.labelText(QFileDialog::Accept), QStringLiteral("&Speichern"));
    ASSERT_NE(files.findChild<QPushButton*>(QStringLiteral("help9")), nullptr);
    // The list gives its dates in the German form too, not the system's.
    QFile file(QString::fromStdString(folder.File("list/plan.gs")));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
    file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)), QFileDevice::FileModificationTime);
    file.close();
    files.setDirectory(QFileInfo(file).path());
    auto* list = files.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(list, nullptr);
    QModelIndex date;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        date = list->model()->index(0, 3, list->rootIndex());
        return date.isValid();
    }));
    EXPECT_EQ(date.data().toString(), QStringLiteral("05.03.24 14:07"));

    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    LocalizeColourDialog(colours, Language());
    QStringList texts;
    for (QLabel* label : colours.findChildren<QLabel*>()) {
        texts << label->text();
    }
    for (QAbstractButton* button : colours.findChildren<QAbstractButton*>()) {
        texts << button->text();
    }
    for (const int key : {3902, 3903, 3904, 3906, 3909, 3910, 3911}) {
        EXPECT_TRUE(texts.contains(GetText(Language(), key, kDialogsSection))) << key;
    }
    EXPECT_EQ(colours.windowTitle(), QStringLiteral("Farbe wählen"));
}

}  // namespace
}  // namespace zobl
