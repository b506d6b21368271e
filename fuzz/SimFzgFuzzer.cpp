// Arbitrary bytes as TRAK.FZG beside a good TRAK.ZGG and text file: image blocks are read or
// refused without reading outside the file or the planes.
#include "SimFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl;
    static const bool companions = [] {
        fuzz::PutSimFile("TRAK.ZGG", test::BuildZgg(fuzz::FuzzGroups()));
        fuzz::PutSimFile("TRAK.LNG", fuzz::kFuzzTexts);
        return true;
    }();
    (void)companions;
    fuzz::PutSimFile("TRAK.FZG", data, size);
    // A vehicle of every block and of the first, second and last composition of the block that
    // has eight: the compositions between are found and drawn the same way. Listings, and
    // vehicles that do not exist, read only the group file, which the group target varies.
    const std::unique_ptr<simimport::SimVehicleReader> reader = fuzz::MakeFuzzReader();
    fuzz::QueryEach(*reader, {48, 49, 80, 96, 97, 103});
    fuzz::Check(reader->QueryVehicle(simimport::kQueryClose, 0, nullptr) == 0);
    return 0;
}
