// Arbitrary bytes as TRAK.FZG beside a good TRAK.ZGG and text file: image blocks are read or
// refused without reading outside the file or the planes.
#include "SimFuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zobl;
    static const std::size_t groupFileSize = [] {
        const test::Bytes groups = test::BuildZgg(fuzz::FuzzGroups());
        fuzz::PutSimFile("TRAK.ZGG", groups);
        fuzz::PutSimFile("TRAK.LNG", fuzz::kFuzzTexts);
        return groups.size();
    }();
    fuzz::PutSimFile("TRAK.FZG", data, size);
    fuzz::ExerciseReader(groupFileSize);
    return 0;
}
