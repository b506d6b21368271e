// Writes the seed corpora of fuzz_sim_zgg, fuzz_sim_fzg and fuzz_sim_text: the good files the
// fuzz targets place beside their input, and a few damaged ones. Usage: make_sim_corpus FOLDER
// (the corpus folder; the three subfolders are made). Built byte by byte with the helpers of
// the unit tests.
#include <cstdio>
#include <filesystem>
#include <string>

#include "SimFuzzCommon.h"

using namespace zobl;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sim_corpus FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const auto write = [&](const char* target, const char* name, const test::Bytes& bytes) {
        std::filesystem::create_directories(root / target);
        test::WriteFile((root / target / name).string(), bytes);
    };

    const test::Bytes groups = test::BuildZgg(fuzz::FuzzGroups());
    write("fuzz_sim_zgg", "groups.zgg", groups);
    write("fuzz_sim_zgg", "far-apart.zgg", test::BuildZgg(fuzz::FuzzGroups(), 300, false));
    {
        std::vector<test::ZggGroup> odd = fuzz::FuzzGroups();
        odd[0].categories = 0;
        odd[0].countWords = {1, 2};
        odd[1].categories = 0x1002;
        odd[2].restSizeAdjust = -3;
        write("fuzz_sim_zgg", "odd.zgg", test::BuildZgg(odd));
    }
    write("fuzz_sim_zgg", "cut.zgg", test::Bytes(groups.begin(), groups.begin() + 60));

    const test::Bytes blocks = test::BuildFzg(fuzz::FuzzBlocks());
    write("fuzz_sim_fzg", "blocks.fzg", blocks);
    write("fuzz_sim_fzg", "version9.fzg", test::BuildFzg(fuzz::FuzzBlocks(), 0x09, 100));
    {
        std::vector<test::FzgBlock> odd = fuzz::FuzzBlocks();
        odd[0].sideCountWord = 2;
        odd[1].compositionBytesAdjust = 2;
        odd[2].compositions[1].lists = {test::Bytes(33), test::Bytes(33), test::Bytes(33), test::Bytes(33)};
        write("fuzz_sim_fzg", "odd.fzg", test::BuildFzg(odd));
    }
    write("fuzz_sim_fzg", "cut.fzg", test::Bytes(blocks.begin(), blocks.begin() + 90));

    const std::string texts = fuzz::kFuzzTexts;
    write("fuzz_sim_text", "texts.lng", test::Bytes(texts.begin(), texts.end()));
    const std::string odd = "1\n" + std::string(210, 'x') + "#2\n-0\n#\n70000\nzu gross\n2\nnie";
    write("fuzz_sim_text", "odd.lng", test::Bytes(odd.begin(), odd.end()));
    return 0;
}
