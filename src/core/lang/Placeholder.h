#pragma once

#include <optional>
#include <string_view>

namespace zobl {

// Menu and dialog texts written "key1101" stand for text 1101 of the language file. A text is
// such a placeholder when it starts with the lower-case letters "key"; the number follows as
// "%d" would read it (blanks, an optional sign, digits; anything after them is ignored). Without
// digits, or when the digits overflow, the number is 0, which no text has.
// nullopt when the text is no placeholder.
std::optional<int> PlaceholderNumber(std::string_view text) noexcept;

}  // namespace zobl
