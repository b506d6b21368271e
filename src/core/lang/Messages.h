#pragma once

#include <string>
#include <string_view>

namespace zobl {

class CLanguageManager;

inline constexpr const char* kErrorsSection = "Errors";
inline constexpr int kMessageKeyBase = 6000;  // message n is key 6000 + n

// The text of error or question number, with the argument in place of the first "%".
std::string MessageText(const CLanguageManager& language, int number, std::string_view argument = {});

}  // namespace zobl
