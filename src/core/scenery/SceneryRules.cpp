#include "core/scenery/SceneryRules.h"

namespace zobl {

UpdateActionEffect EffectOfUpdateAction(int action) noexcept {
    switch (action) {
        case update_action::kRebuildBitmap:
            return {true, hint::kPixelsChanged};
        case update_action::kTick:
            return {false, hint::kTick};
        case update_action::kRedrawAll:
            return {false, hint::kRedrawAll};
        case update_action::kSymbolDistanceChanged:
            return {false, hint::kSymbolDistanceChanged};
        default:
            return {};
    }
}

AuthorChange DecideAuthorChange(std::string_view oldAuthor, std::string_view newAuthor,
                                std::string_view defaultAuthorText) noexcept {
    if (newAuthor == oldAuthor) {
        return AuthorChange::Unchanged;
    }
    if (oldAuthor.empty() || oldAuthor == defaultAuthorText) {
        return AuthorChange::Take;
    }
    return AuthorChange::AskFirst;
}

}  // namespace zobl
