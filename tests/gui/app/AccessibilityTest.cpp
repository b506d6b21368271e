#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <QAccessible>
#include <QDockWidget>
#include <QToolBar>
#include <QToolButton>

#include "GuiTestSupport.h"
#include "gui/app/OptionsDlg.h"
#include "gui/framework/DocManager.h"
#include "gui/framework/DocTemplate.h"
#include "gui/lang/Localization.h"
#include "gui/palette/ColorDlg.h"
#include "gui/palette/ColorSettings.h"
#include "gui/recovery/RecoveryDialog.h"
#include "gui/vehicles/DlgChooseImportCategories.h"
#include "gui/vehicles/DlgExport.h"
#include "gui/vehicles/DlgNewCar.h"
#include "gui/vehicles/DlgNewGrp.h"
#include "gui/vehicles/DlgSteamProperties.h"
#include "gui/vehicles/EditGrpDlg.h"
#include "gui/vehicles/FGSDoc.h"
#include "gui/vehicles/FGSView.h"
#include "gui/vehicles/ImportVehicle.h"
#include "gui/widgets/EditInfoText.h"
#include "gui/widgets/GeneralDialogs.h"
#include "gui/widgets/MessageDialogs.h"

namespace zobl {
namespace {

// What a screen reader announces for a widget.
QString AnnouncedName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

// The roles of what a user operates; a screen reader needs a name for each.
bool IsOperated(QAccessible::Role role) {
    static const QAccessible::Role kOperated[] = {
        QAccessible::PushButton,   QAccessible::CheckBox,       QAccessible::RadioButton,
        QAccessible::ButtonMenu,   QAccessible::ButtonDropDown, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox,        QAccessible::Slider,
        QAccessible::List,         QAccessible::Tree,           QAccessible::Table};
    return std::find(std::begin(kOperated), std::end(kOperated), role) != std::end(kOperated);
}

// Walks the accessibility tree below node, as an assistive tool does: hidden objects and Qt's
// own helpers included, since the tool lists them too.
void CollectUnnamed(QAccessibleInterface* node, QStringList& problems) {
    if (node == nullptr || !node->isValid()) {
        return;
    }
    // A read-only field the keyboard cannot reach is a display, read as text.
    const QAccessible::State state = node->state();
    const bool display = node->role() == QAccessible::EditableText && state.readOnly && !state.focusable;
    if (IsOperated(node->role()) && !display) {
        const QString name = node->text(QAccessible::Name);
        if (name.trimmed().isEmpty() || name.contains(QLatin1Char('\t')) || name.contains(QLatin1Char('&'))) {
            const QObject* object = node->object();
            problems << QStringLiteral("%1 %2: '%3'")
                            .arg(object != nullptr ? QString::fromLatin1(object->metaObject()->className())
                                                   : QStringLiteral("role %1").arg(int(node->role())),
                                 object != nullptr ? object->objectName() : QString(), name);
        }
    }
    for (int i = 0; i < node->childCount(); ++i) {
        CollectUnnamed(node->child(i), problems);
    }
}

// Every control inside window, with what is wrong with its name.
QStringList Unnamed(QWidget* window) {
    QStringList problems;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), problems);
    return problems;
}

class Accessibility : public ::testing::Test, public test::AppFixture {};

TEST_F(Accessibility, EveryControlOfTheMainWindowAndTheDialogsHasAName) {
    StartApp({}, true);
    CMainFrame& frame = *app->MainFrame();
    EXPECT_EQ(Unnamed(&frame), QStringList());
    // The buttons say what they do, without the menu's shortcut.
    const auto nameOf = [&](QToolBar* bar, int index) {
        return AnnouncedName(bar->widgetForAction(bar->actions().at(index)));
    };
    EXPECT_EQ(nameOf(frame.MainToolBar(), 0), QStringLiteral("Neu"));
    EXPECT_EQ(nameOf(frame.ModeToolBar(), 0), QStringLiteral("Mausmodus: Anzeigen"));
    // Also the button for the buttons a bar has no room for, hidden or not.
    for (QToolBar* bar : {frame.MainToolBar(), frame.ModeToolBar()}) {
        auto* extension = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        ASSERT_NE(extension, nullptr);
        EXPECT_EQ(AnnouncedName(extension), QStringLiteral("Weitere Schaltflächen"));
    }
    for (QDockWidget* bar : frame.findChildren<QDockWidget*>()) {
        QWidget* face = bar->findChild<QWidget*>(QStringLiteral("ColourBarFace"));
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(AnnouncedName(face), QStringLiteral("Farben"));
    }

    const CLanguageManager& language = app->GetLanguageManager();
    MessageService& messages = app->Messages();
    const std::vector<std::pair<const char*, std::function<std::unique_ptr<QDialog>()>>> dialogs = {
        {"options", [&] { return std::make_unique<OptionsDlg>(*app); }},
        {"info text", [&] { return std::make_unique<CEditInfoText>(language); }},
        {"please wait", [&] { return std::make_unique<CInfoDlg>(language); }},
        {"new set",
         [&] { return std::make_unique<CDlgNewGrp>(language, messages, [](const QString&) { return 0; }); }},
        {"rename set",
         [&] {
             return std::make_unique<CEditGrpDlg>(language, messages, QStringLiteral("A"),
                                                  [](const QString&) { return 0; });
         }},
        {"new car",
         [&] {
             return std::make_unique<CDlgNewCar>(language, messages,
                                                 CDlgNewCar::SetEntries{{0, QStringLiteral("A")}}, 0,
                                                 [](int, const QString&, int) { return 0; });
         }},
        {"import categories",
         [&] { return std::make_unique<CDlgChooseImportCategories>(language, messages); }},
        {"import", [&] { return std::make_unique<CImportVehicle>(app->Services(), nullptr, nullptr, 1u); }},
        {"new document", [&] { return std::make_unique<CDlgChooseType>(language, true); }},
        {"about", [&] { return std::make_unique<CAboutDlg>(language); }},
        {"recovery",
         [&] {
             return std::make_unique<CRecoveryDlg>(
                 language, QStringList{QStringLiteral("a.gs")}, [](int) { return false; },
                 [](const std::vector<int>&) { return false; });
         }},
        {"error", [&] { return std::make_unique<CDlgError>(language, 1, QStringLiteral("a.gs")); }},
        {"question", [&] { return std::make_unique<CDlgQuestion>(language, 304, QStringLiteral("a.gs")); }},
        {"background", [&] { return std::make_unique<CDlgBckProperties>(*app, [](const QString&) {}); }},
        {"drawing colours", [&] { return std::make_unique<CColorDlg>(app->GetPalette(), language); }},
        {"colour settings",
         [&] {
             return std::make_unique<CColorSettings>(language, CColorSettings::Values{},
                                                     QStringLiteral("Arial"));
         }},
        {"steam", [&] { return std::make_unique<CDlgSteamProperties>(language, std::uint16_t{0}); }},
        {"export",
         [&] {
             return std::make_unique<CDlgExport>(language, messages, QStringLiteral("/tmp/"),
                                                 QStringLiteral("zug"),
                                                 [](const QString&, const std::function<void(int)>&) {});
         }},
    };
    for (const auto& [name, make] : dialogs) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QDialog> dialog = make();
        EXPECT_EQ(Unnamed(dialog.get()), QStringList());
    }
}

TEST_F(Accessibility, TheDocumentWindowsNameTheirControls) {
    StartApp({}, true);
    app->Documents().NewDocument(*app->SceneryTemplate());
    auto* vehicles = static_cast<CFGSDoc*>(app->Documents().NewDocument(*app->VehicleTemplate()));
    ASSERT_TRUE(vehicles->Model().AddVehicleSet("S", MouseMode::Freehand));
    ASSERT_TRUE(vehicles->Model().AddCar(0, 0, "W", "", "", 2, nullptr, MouseMode::Freehand));
    vehicles->Model().Notify({VehicleHintCode::RebuildAll});
    auto* view = dynamic_cast<CFGSView*>(vehicles->Views().front());
    QTreeWidgetItem* car = view->Tree()->CarItem(0, 0);
    view->Tree()->SelectItem(car->child(4));  // the property panel
    QCoreApplication::processEvents();
    EXPECT_EQ(Unnamed(app->MainFrame()), QStringList());
    view->Tree()->SelectItem(car->child(0));  // the car editor
    QCoreApplication::processEvents();
    EXPECT_EQ(Unnamed(app->MainFrame()), QStringList());
}

TEST(AccessibleText, DropsShortcutsMnemonicsAndColons) {
    struct Case {
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"&Neu...\tStrg+N", "Neu..."},
        {"&Ziel-Fahrzeugsatz:", "Ziel-Fahrzeugsatz"},
        {"Kategorie 1&0", "Kategorie 10"},
        {"Gr\xc3\xbcn && Blau", "Gr\xc3\xbcn & Blau"},
        {"  Name : ", "Name"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AccessibleText(QString::fromUtf8(c.text)), QString::fromUtf8(c.name)) << c.text;
    }
}

}  // namespace
}  // namespace zobl
