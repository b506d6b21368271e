#include "core/lang/Placeholder.h"

#include <limits>

namespace zobl {

std::optional<int> PlaceholderNumber(std::string_view text) noexcept {
    if (!text.starts_with("key")) {
        return std::nullopt;
    }
    std::size_t pos = 3;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                                 text[pos] == '\r' || text[pos] == '\v' || text[pos] == '\f')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    bool anyDigit = false;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        anyDigit = true;
        value = value * 10 + (text[pos] - '0');
        if (value > std::numeric_limits<int>::max()) {
            return 0;
        }
    }
    if (!anyDigit) {
        return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace zobl
