#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include <QMenu>

#include "GuiTestSupport.h"
#include "gui/framework/CommandRouter.h"
#include "gui/framework/CommandTable.h"
#include "gui/framework/MenuResources.h"
#include "gui/lang/Localization.h"
#include "gui/widgets/PixelIcons.h"

namespace zobl {
namespace {

class CommandTableTest : public ::testing::Test, public test::AppFixture {
protected:
    // The shipped text of a key, or a failure naming the row.
    void ExpectText(int key, std::string_view section, int id) {
        const QString text = GetText(app->GetLanguageManager(), key, section);
        EXPECT_FALSE(text.isEmpty()) << id << " " << key;
        EXPECT_FALSE(text.contains(QLatin1String(CLanguageManager::kMissingText))) << id << " " << key;
    }
};

TEST_F(CommandTableTest, RowsAreUniqueAndEveryTextKeyIsInTheLanguageFile) {
    StartApp();
    std::set<int> ids;
    std::map<int, int> keyOwners;  // key combination -> command
    for (const CommandFacts& facts : CommandTable()) {
        EXPECT_TRUE(ids.insert(facts.id).second) << "two rows for " << facts.id;
        for (const QKeyCombination keys : facts.keys) {
            if (keys != QKeyCombination()) {
                const auto [owner, added] = keyOwners.emplace(keys.toCombined(), facts.id);
                EXPECT_TRUE(added) << facts.id << " and " << owner->second << " share a key";
            }
        }
        if (facts.menuText != 0) {
            ExpectText(facts.menuText, kMenuSection, facts.id);
        }
        if (facts.toolTip != 0) {
            ExpectText(facts.toolTip, kMenuSection, facts.id);
        }
        ExpectText(facts.statusKey, kStateSection, facts.id);
        // A help context comes with a status text of the item's own.
        EXPECT_TRUE(facts.menuHelp == 0 || facts.statusKey != kIdleStatusKey) << facts.id;
        EXPECT_EQ(FindCommand(facts.id), &facts);
    }
    EXPECT_EQ(FindCommand(ID_FILE_MRU_LAST), FindCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(FindCommand(ID_WINDOW_LIST_LAST), FindCommand(ID_WINDOW_LIST_FIRST));
}

TEST_F(CommandTableTest, EveryButtonHasADrawingATipAndAStatusText) {
    for (const ToolBarId bar : {ToolBarId::Main, ToolBarId::Modes}) {
        std::set<int> positions;
        for (const CommandFacts& facts : CommandTable()) {
            if (facts.place.bar != bar) {
                continue;
            }
            EXPECT_TRUE(positions.insert(facts.place.position).second) << facts.id;
            EXPECT_NE(facts.icon, ToolIcon::None) << facts.id;
            EXPECT_FALSE(ToolIconImage(facts.icon).isNull()) << facts.id;
            EXPECT_NE(facts.toolTip, 0) << facts.id;
            EXPECT_NE(CommandStatusKey(facts.id), kIdleStatusKey) << facts.id;
        }
        ASSERT_FALSE(positions.empty());
        EXPECT_EQ(*positions.begin(), 0);
        // Bars neither start nor end with a separator, nor hold two in a row.
        const std::vector<std::optional<CommandId>> buttons = ToolBarButtons(bar);
        EXPECT_TRUE(buttons.front() && buttons.back());
        for (std::size_t i = 1; i < buttons.size(); ++i) {
            EXPECT_TRUE(buttons[i] || buttons[i - 1]) << i;
        }
    }
    // Each mouse mode has its button, with the mode table's texts and drawing.
    for (const MouseModeFacts& mode : kMouseModeTable) {
        const CommandFacts* facts = FindCommand(mode.command);
        ASSERT_NE(facts, nullptr);
        EXPECT_EQ(facts->place.bar, ToolBarId::Modes);
        EXPECT_EQ(ToolTipKey(mode.command), mode.toolTipKey);
        EXPECT_EQ(MouseModeOfCommand(mode.command), mode.mode);
    }
    EXPECT_EQ(MouseModeOfCommand(ID_FILE_NEW), std::nullopt);
}

// Every item of the menu bars is a command with a text of its row. The items are the central actions, so a
// menu that renamed one would show here as a text that is not its row's.
TEST_F(CommandTableTest, MenuBarItemsTakeTheirTextsFromTheTable) {
    StartApp();
    CommandRouter& router = app->MainFrame()->Router();
    for (const int resource : {kFrameMenu, kSceneryMenu, kVehicleMenu}) {
        const std::unique_ptr<QMenu> menu = BuildMenu(resource, router, app->GetLanguageManager());
        ASSERT_NE(menu, nullptr);
        int items = 0;
        const std::function<void(const QMenu&)> walk = [&](const QMenu& popup) {
            for (QAction* action : popup.actions()) {
                if (action->menu() != nullptr) {
                    walk(*action->menu());
                } else if (!action->isSeparator()) {
                    ++items;
                    ASSERT_TRUE(CommandRouter::CommandOf(action));
                    const CommandId id = *CommandRouter::CommandOf(action);
                    const CommandFacts* facts = FindCommand(id);
                    ASSERT_NE(facts, nullptr) << id;
                    ASSERT_NE(facts->menuText, 0) << id;
                    EXPECT_EQ(action->text(),
                              GetText(app->GetLanguageManager(), facts->menuText, kMenuSection))
                        << id;
                }
            }
        };
        walk(*menu);
        EXPECT_GT(items, 10) << resource;
    }
}

}  // namespace
}  // namespace zobl
