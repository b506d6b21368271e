#include "core/simimport/SimFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/TestTempFolder.h"
#include "core/simimport/SimStream.h"
#include "core/simimport/SimTestFiles.h"

namespace zobl::simimport {
namespace {

// The same names and bytes on disk and in memory must be found and read alike.
class SimFilesTest : public ::testing::TestWithParam<bool> {
protected:
    bool OnDisk() const { return GetParam(); }
    const SimFileSystem& Files() const {
        return OnDisk() ? DiskSimFiles() : static_cast<const SimFileSystem&>(memory_);
    }
    std::string Name(const std::string& name) const { return folder_.Path().string() + "/" + name; }
    void Put(const std::string& name, std::string_view content) {
        if (OnDisk()) {
            test::WriteFile(Name(name), content);
        } else {
            memory_.Put(Name(name), content);
        }
    }

    test::TempFolder folder_;
    MemorySimFiles memory_;
};

TEST_P(SimFilesTest, NamesAreFoundWithoutRegardToLetterCase) {
    Put("Trak.Zgg", "a");
    Put("TRAK.zgg", "b");
    Put("trak.ZGG", "c");
    Put("exact.fzg", "d");
    struct Case {
        const char* asked;
        const char* found;  // nullptr: none
    };
    const Case cases[] = {
        {"trak.ZGG", "trak.ZGG"},  // as spelt
        {"TRAK.ZGG", "TRAK.zgg"},  // else the first variant in byte order
        {"EXACT.FZG", "exact.fzg"}, {"exact.fz", nullptr},
        {"TRAK.ZGG ", nullptr},     {"TRÄK.ZGG", nullptr},  // only ASCII letters fold
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        const std::optional<std::string> found = Files().Find(Name(c.asked));
        if (c.found == nullptr) {
            EXPECT_EQ(found, std::nullopt);
        } else {
            EXPECT_EQ(found, Name(c.found));
        }
    }
    EXPECT_EQ(Files().Find(""), std::nullopt);
    EXPECT_EQ(Files().Open(Name("missing")), nullptr);
}

TEST_P(SimFilesTest, StreamsReadSkipAndStopAtTheEnd) {
    // Longer than two buffers, with a preamble to drop.
    std::string content = "preamble\x1A";
    for (int i = 0; i < 9000; ++i) {
        content += static_cast<char>(i % 251);
    }
    Put("big.bin", content);
    SimStream stream;
    ASSERT_EQ(stream.Open(Files(), Name("BIG.BIN"), true), SimStream::kOk);
    std::uint8_t byte = 0;
    ASSERT_EQ(stream.ReadByte(byte), SimStream::kOk);
    EXPECT_EQ(byte, 0);
    ASSERT_EQ(stream.SkipBytes(5000), SimStream::kOk);  // past the buffer
    ASSERT_EQ(stream.ReadByte(byte), SimStream::kOk);
    EXPECT_EQ(byte, 5001 % 251);
    std::uint8_t block[3000] = {};
    ASSERT_EQ(stream.ReadBlock(block, sizeof block), sizeof block);  // across a refill
    for (std::size_t i = 0; i < sizeof block; ++i) {
        ASSERT_EQ(block[i], (5002 + i) % 251) << i;
    }
    EXPECT_EQ(stream.Offset(), 9 + 8002u);
    EXPECT_EQ(stream.ReadBlock(block, sizeof block), 998u);  // the rest
    EXPECT_EQ(block[997], 8999 % 251);
    EXPECT_EQ(stream.ReadByte(byte), SimStream::kEnd);

    // A distance beyond the end closes the stream; a file without a preamble mark is refused.
    ASSERT_EQ(stream.Open(Files(), Name("big.bin"), false), SimStream::kOk);
    EXPECT_EQ(stream.SkipBytes(static_cast<std::uint32_t>(content.size()) + 1), SimStream::kError);
    EXPECT_FALSE(stream.IsOpen());
    Put("plain.bin", "no mark");
    EXPECT_EQ(stream.Open(Files(), Name("plain.bin"), true), SimStream::kError);
    EXPECT_EQ(stream.Open(Files(), Name("none.bin"), false), SimStream::kEnd);
}

TEST_P(SimFilesTest, WholeFilesUpToALimit) {
    Put("ini", "[TRAK_381]\r\nSprache=x\r\n");
    EXPECT_EQ(ReadWholeSimFile(Files(), Name("ini"), 100), "[TRAK_381]\r\nSprache=x\r\n");
    EXPECT_EQ(ReadWholeSimFile(Files(), Name("ini"), 10), std::nullopt);
    EXPECT_EQ(ReadWholeSimFile(Files(), Name("none"), 100), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, SimFilesTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Disk" : "Memory";
                         });

// An open file keeps what it held when the memory file is replaced.
TEST(MemorySimFilesTest, OpenFilesKeepTheirContent) {
    MemorySimFiles files;
    files.Put("f", "old");
    const std::unique_ptr<SimFile> open = files.Open("f");
    files.Put("f", "new content");
    files.Remove("f");
    std::uint8_t bytes[8] = {};
    EXPECT_EQ(open->Read(bytes, sizeof bytes), 3u);
    EXPECT_EQ(std::string(bytes, bytes + 3), "old");
    EXPECT_EQ(files.Find("f"), std::nullopt);
}

}  // namespace
}  // namespace zobl::simimport
