// Arbitrary bytes as the description of a recovery copy: either refused or read, and what was
// read writes and reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/recovery/RecoveryFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl::recovery;
    const auto read = ParseDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    if (read) {
        const auto again = ParseDescription(FormatDescription(*read));
        zobl::fuzz::Check(again && *again == *read);
    }
    return 0;
}
