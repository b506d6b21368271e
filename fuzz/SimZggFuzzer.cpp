// Arbitrary bytes as TRAK.ZGG beside a good TRAK.FZG and text file: listings end by themselves,
// queries answer with the identifier asked for or a negative result, and what they deliver
// stays within the reader's limits.
#include "SimFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl;
    static const bool companions = [] {
        fuzz::PutSimFile("TRAK.FZG", test::BuildFzg(fuzz::FuzzBlocks()));
        fuzz::PutSimFile("TRAK.LNG", fuzz::kFuzzTexts);
        return true;
    }();
    (void)companions;
    fuzz::PutSimFile("TRAK.ZGG", data, size);
    // The listing, then every vehicle it gave and the fixed ones.
    const std::unique_ptr<simimport::SimVehicleReader> reader = fuzz::MakeFuzzReader();
    std::vector<int> identifiers = fuzz::ListEverything(*reader, size);
    identifiers.insert(identifiers.end(), fuzz::kFixedIdentifiers.begin(), fuzz::kFixedIdentifiers.end());
    fuzz::QueryEach(*reader, identifiers);
    fuzz::Check(reader->QueryVehicle(simimport::kQueryClose, 0, nullptr) == 0);
    return 0;
}
