#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <QDir>
#include <QRadioButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "GuiTestSupport.h"
#include "core/lang/Messages.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/CommandIds.h"
#include "gui/framework/FrameTexts.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/GeneralDialogs.h"

namespace zobl {
namespace {

// Every element id of a manual as the build puts it beside the programs, in the order of the page.
std::vector<std::string> ManualIds(const QString& page) {
    QFile manual(QCoreApplication::applicationDirPath() + QStringLiteral("/help/") + page);
    EXPECT_TRUE(manual.open(QIODevice::ReadOnly)) << manual.fileName().toStdString();
    const QString html = QString::fromUtf8(manual.readAll());
    std::vector<std::string> ids;
    static const QRegularExpression kId(QStringLiteral(R"re(\bid="([^"]*)")re"));
    for (auto match = kId.globalMatch(html); match.hasNext();) {
        ids.push_back(match.next().captured(1).toStdString());
    }
    return ids;
}

// The numbered anchors F1 can open.
std::set<int> ManualAnchors() {
    std::set<int> anchors;
    for (const std::string& id : ManualIds(QStringLiteral("index.html"))) {
        bool number = false;
        const int anchor = QString::fromStdString(id).toInt(&number);
        if (number) {
            anchors.insert(anchor);
        }
    }
    return anchors;
}

// F1 opens the English manual at the same anchors as the German one.
TEST(HelpManuals, TheEnglishManualHasTheIdsOfTheGermanOneInTheSameOrder) {
    const std::vector<std::string> german = ManualIds(QStringLiteral("index.html"));
    EXPECT_EQ(ManualIds(QStringLiteral("en/index.html")), german);
    EXPECT_GT(german.size(), 60u);
}

class HelpAnchors : public ::testing::Test, public test::AppFixture {};

TEST_F(HelpAnchors, EveryHelpContextTheProgramCanShowHasItsPlaceInTheManual) {
    StartApp();
    std::set<int> contexts = {
        help::kNoDocument,
        help::kSceneryDocument,
        help::kVehicleDocument,
        help::kOpenPrompt,
        help::kSavePrompt,
        help::kAboutBox,
        // The dialogs and prompts: export prompt and dialog, colour choice, steam, info text, set name,
        // options, colour settings, import categories and import, new car, new set, colour prompt, new
        // document, background, background picture; the windows' system menu.
        50030,
        50035,
        50040,
        50060,
        50070,
        50080,
        50090,
        50100,
        50110,
        50120,
        50130,  // recovery after a crash
        50140,
        50150,
        50160,
        50180,
        50190,
        50195,
        50200,  // PNG import dialog
        50205,  // PNG export prompt
        50210,  // train preview
        40080,
    };
    // The menus: every command the menus can highlight.
    for (const CommandFacts& facts : CommandTable()) {
        if (const std::optional<int> context = MenuItemStatusOf(facts.id).helpContext) {
            contexts.insert(*context);
        }
    }
    // The messages: every error and question of the language file (their captions aside).
    const CLanguageManager& language = app->GetLanguageManager();
    for (int n = 1; n < 1000; ++n) {
        if (n != 300 &&
            language.GetText(kMessageKeyBase + n, kErrorsSection) != CLanguageManager::kMissingText) {
            contexts.insert(help::kMessageBase + n);
        }
    }
    const std::set<int> anchors = ManualAnchors();
    std::vector<int> missing;
    for (const int context : contexts) {
        if (anchors.count(context) == 0) {
            missing.push_back(context);
        }
    }
    EXPECT_EQ(missing, std::vector<int>{});
    EXPECT_GT(contexts.size(), 60u);  // menus and messages were found
}

TEST_F(HelpAnchors, F1OpensTheManualAtTheWindowOrDialogShown) {
    QDir().mkpath(QFileInfo(helpFile).absolutePath());
    QFile manual(helpFile);
    ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
    manual.close();
    ASSERT_TRUE(StartActiveApp());
    // A new vehicle document: its window's context, not the one the closed "Neu" dialog gives back.
    test::OnModal<CDlgChooseType>([](CDlgChooseType& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("radio1075"))->setChecked(true);
        dialog.accept();
    });
    Command(ID_FILE_NEW);
    EXPECT_EQ(app->GetHelpContext(), help::kVehicleDocument);
    // F1 inside a dialog: that dialog's place.
    test::OnModal<OptionsDlg>([](OptionsDlg& dialog) {
        QTest::keyClick(dialog.windowHandle(), Qt::Key_F1);
        dialog.reject();
    });
    Command(ID_OPTIONS_SETTINGS);
    ASSERT_FALSE(openedUrls.isEmpty());
    EXPECT_EQ(openedUrls.back().fragment(), QStringLiteral("50090"));
    EXPECT_EQ(app->GetHelpContext(), help::kVehicleDocument);
}

}  // namespace
}  // namespace zobl
