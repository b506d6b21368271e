#include "core/scenery/SceneryRules.h"

#include <gtest/gtest.h>

namespace zobl {
namespace {

TEST(SceneryRules, UpdateActionsMapToHints) {
    EXPECT_EQ(EffectOfUpdateAction(1), (UpdateActionEffect{true, 1}));
    EXPECT_EQ(EffectOfUpdateAction(2), (UpdateActionEffect{false, 2}));
    EXPECT_EQ(EffectOfUpdateAction(4), (UpdateActionEffect{false, 10}));
    EXPECT_EQ(EffectOfUpdateAction(8), (UpdateActionEffect{false, 17}));
    for (const int other : {0, 3, 5, 16, -1}) {
        EXPECT_EQ(EffectOfUpdateAction(other), UpdateActionEffect{}) << other;
    }
}

TEST(SceneryRules, OnlyAFilledInAuthorIsProtected) {
    const std::string_view unknown = "unbekannt";
    EXPECT_EQ(DecideAuthorChange("Anna", "Anna", unknown), AuthorChange::Unchanged);
    EXPECT_EQ(DecideAuthorChange("", "", unknown), AuthorChange::Unchanged);
    EXPECT_EQ(DecideAuthorChange("unbekannt", "Anna", unknown), AuthorChange::Take);
    EXPECT_EQ(DecideAuthorChange("", "Anna", unknown), AuthorChange::Take);
    EXPECT_EQ(DecideAuthorChange("Anna", "Bert", unknown), AuthorChange::AskFirst);
    EXPECT_EQ(DecideAuthorChange("Anna", "", unknown), AuthorChange::AskFirst);
    EXPECT_EQ(DecideAuthorChange("Unbekannt", "Anna", unknown), AuthorChange::AskFirst);  // exact match only
    EXPECT_TRUE(AuthorChangeNeedsQuestion("Anna", "unbekannt", unknown));
    EXPECT_FALSE(AuthorChangeNeedsQuestion("unbekannt", "", unknown));
}

}  // namespace
}  // namespace zobl
