// Arbitrary bytes through the conversions between the 8-bit code pages and UTF-8, which every
// text from outside passes (language file, simulator texts, clipboard, settings).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "core/text/CodePages.h"

using zobl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    // Every byte string survives the way through UTF-8; any bytes read as UTF-8 never fail.
    Check(zobl::Utf8ToCp1252(zobl::Cp1252ToUtf8(content)) == content);
    Check(zobl::Utf8ToCp850(zobl::Cp850ToUtf8(content)) == content);
    Check(zobl::Utf8ToCp1252(content).size() == zobl::Utf8Length(content));
    Check(zobl::IsValidUtf8(zobl::SanitizeUtf8(content)));
    Check(zobl::Utf8Length(zobl::Utf8Prefix(content, 7)) ==
          std::min<std::size_t>(7, zobl::Utf8Length(content)));
    return 0;
}
