// Arbitrary bytes as the simulator's text file: every lookup ends, texts keep to 199 characters,
// and a missing text shows its number.
#include "SimFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl;
    static const bool companions = [] {
        fuzz::PutSimFile("TRAK.ZGG", test::BuildZgg(fuzz::FuzzGroups()));
        fuzz::PutSimFile("TRAK.FZG", test::BuildFzg(fuzz::FuzzBlocks()));
        return true;
    }();
    (void)companions;
    fuzz::PutSimFile("TRAK.LNG", data, size);
    // The text file changes only the texts and group names the vehicles read: vehicle 49 reads
    // texts 3 and 100, vehicle 80 texts 0, 2 and 65535 and its group's name, text 1. The other
    // vehicles repeat these or read none. Listings read names the same way and otherwise only
    // the group file, which the group target varies.
    const std::unique_ptr<simimport::SimVehicleReader> reader = fuzz::MakeFuzzReader();
    fuzz::QueryEach(*reader, {49, 80});
    // The texts those vehicles refer to, asked for by number.
    for (unsigned number : {0u, 1u, 2u, 3u, 100u, 65535u}) {
        const std::optional<std::string> text = reader->GetSimText(number);
        fuzz::Check(!text || text->size() <= simimport::kMaxTextLength);
        const std::string shown = reader->SimTextForDisplay(number);
        fuzz::Check(zobl::IsValidUtf8(shown));
        fuzz::Check(text || shown == "?@F" + std::to_string(number));
    }
    fuzz::Check(reader->QueryVehicle(simimport::kQueryClose, 0, nullptr) == 0);
    return 0;
}
