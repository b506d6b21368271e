// Arbitrary bytes as the stored desktop record, as a damaged or hand-edited settings file hands
// it over: reading must never leave the bytes, and a record that is taken must be written back
// to the same length and read back as the same record.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "core/settings/DesktopRecord.h"

using zobl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<zobl::DesktopRecord> record = zobl::ReadDesktopRecord(std::span(data, size));
    if (!record) {
        return 0;
    }
    // A path read from the record always fits its field again, so nothing is lost on writing;
    // only bytes after a path's terminator may differ.
    const std::vector<std::uint8_t> written = zobl::WriteDesktopRecord(*record);
    Check(written.size() == size);
    const std::optional<zobl::DesktopRecord> again = zobl::ReadDesktopRecord(written);
    Check(again.has_value() && *again == *record);
    Check(zobl::WriteDesktopRecord(*again) == written);
    return 0;
}
