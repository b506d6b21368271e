#include "core/common/MessageError.h"

namespace zobl {

namespace {
std::string Describe(int number, const std::string& argument, const std::string& detail) {
    std::string text = "message " + std::to_string(number);
    if (!argument.empty()) {
        text += " (" + argument + ")";
    }
    if (!detail.empty()) {
        text += ": " + detail;
    }
    return text;
}
}  // namespace

MessageError::MessageError(int number, std::string argument, const std::string& detail)
    : std::runtime_error(Describe(number, argument, detail)), number_(number), argument_(std::move(argument)) {}

}  // namespace zobl
