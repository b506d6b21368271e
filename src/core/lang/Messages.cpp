#include "core/lang/Messages.h"

#include "core/lang/LanguageManager.h"

namespace zobl {

std::string MessageText(const CLanguageManager& language, int number, std::string_view argument) {
    std::string text = language.GetText(kMessageKeyBase + number, kErrorsSection);
    if (const auto at = text.find('%'); at != std::string::npos) {
        text.replace(at, 1, argument);
    }
    return text;
}

}  // namespace zobl
