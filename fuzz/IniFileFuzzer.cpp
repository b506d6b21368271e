// Arbitrary bytes through the initialisation-file reader.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/text/IniFile.h"

using zobl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const zobl::IniFile ini = zobl::IniFile::Parse(content);

    // The one-pass lookup and the parsed file must agree, for fixed names and for every name the
    // file itself holds.
    constexpr std::string_view kSections[] = {"DATA", "Errors", "", "a"};
    constexpr std::string_view kKeys[] = {"1001", "6000", "", "k"};
    for (std::string_view section : kSections) {
        for (std::string_view key : kKeys) {
            Check(ini.Value(section, key) == zobl::FindIniValue(content, section, key));
            const std::optional<std::string> cut = ini.Value(section, key, 3);
            Check(!cut || cut->size() <= 3);
        }
    }
    for (const std::string& section : ini.Sections()) {
        Check(ini.HasSection(section));
        for (const std::string& key : ini.Keys(section)) {
            const std::optional<std::string> value = ini.Value(section, key);
            Check(value.has_value() && *value == zobl::FindIniValue(content, section, key));
        }
    }

    return 0;
}
