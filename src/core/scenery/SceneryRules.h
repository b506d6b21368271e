#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/common/MessageError.h"

namespace zobl {

// View update hints a scenery document sends to its views.
namespace hint {
inline constexpr int kPixelsChanged = 1;  // optional area record; none = everything
inline constexpr int kTick = 2;           // auto-scroll and marching frame
inline constexpr int kRedrawAll = 10;
inline constexpr int kSymbolDistanceChanged = 17;
inline constexpr int kQueryZoomAndScroll = 19;
}  // namespace hint

// Actions of the broadcast the application sends to every open document.
namespace update_action {
inline constexpr int kRebuildBitmap = 1;  // the colour table changed (day/night, colour settings)
inline constexpr int kTick = 2;
inline constexpr int kRedrawAll = 4;
inline constexpr int kSymbolDistanceChanged = 8;
}  // namespace update_action

struct UpdateActionEffect {
    bool rebuildBitmap = false;  // refresh the display bitmap before sending the hint
    std::optional<int> hint;     // the hint for the views, sent without area record
    friend bool operator==(const UpdateActionEffect&, const UpdateActionEffect&) = default;
};

// What a scenery document does on an update action: 1 -> rebuild, then hint 1; 2 -> hint 2;
// 4 -> hint 10; 8 -> hint 17; any other value (combinations included) -> nothing.
UpdateActionEffect EffectOfUpdateAction(int action) noexcept;

// Question asked before replacing an author that someone has filled in.
inline constexpr int kQuestionChangeProtectedAuthor = message::kQuestionReplaceAuthor;

enum class AuthorChange {
    Unchanged,  // nothing to do
    Take,       // take the new author without asking
    AskFirst,   // ask question 305, take it only on Yes
};

// defaultAuthorText is the language text DATA key 1020: an author equal to it, or an empty one,
// counts as not filled in and may be replaced freely.
AuthorChange DecideAuthorChange(std::string_view oldAuthor, std::string_view newAuthor,
                                std::string_view defaultAuthorText) noexcept;
inline bool AuthorChangeNeedsQuestion(std::string_view oldAuthor, std::string_view newAuthor,
                                      std::string_view defaultAuthorText) noexcept {
    return DecideAuthorChange(oldAuthor, newAuthor, defaultAuthorText) == AuthorChange::AskFirst;
}

}  // namespace zobl
