// Arbitrary bytes as the simulator's text file: every lookup ends, texts keep to 199 characters,
// and a missing text shows its number.
#include "SimFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl;
    static const std::size_t groupFileSize = [] {
        const test::Bytes groups = test::BuildZgg(fuzz::FuzzGroups());
        test::WriteFile(fuzz::SimFolder() + "TRAK.ZGG", groups);
        test::WriteFile(fuzz::SimFolder() + "TRAK.FZG", test::BuildFzg(fuzz::FuzzBlocks()));
        return groups.size();
    }();
    fuzz::PutSimFile("TRAK.LNG", data, size);
    fuzz::ExerciseReader(groupFileSize);

    simimport::SimVehicleReader reader;
    reader.SetSimulatorFolder(fuzz::SimFolder());
    fuzz::Check(reader.QueryVehicle(48, 0, nullptr) == 48);  // locates the simulator
    for (unsigned number : {0u, 1u, 2u, 3u, 100u, 65535u}) {
        const std::optional<std::string> text = reader.GetSimText(number);
        fuzz::Check(!text || text->size() <= simimport::kMaxTextLength);
        const std::string shown = reader.SimTextForDisplay(number);
        fuzz::Check(zobl::IsValidUtf8(shown));
        fuzz::Check(text || shown == "?@F" + std::to_string(number));
    }
    return 0;
}
