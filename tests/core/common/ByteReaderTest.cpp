#include "core/common/ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "core/common/ByteWriter.h"

namespace zobl {
namespace {

TEST(ByteReader, ReadsLittleEndianValuesInOrder) {
    const std::vector<std::uint8_t> data = {0x7F, 0x34, 0x12, 0xFE, 0xFF, 0x78, 0x56, 0x34,
                                            0x12, 0xFF, 0xFF, 0xFF, 0x80, 0xAA, 0xBB, 0xCC};
    ByteReader in(data);
    EXPECT_EQ(in.U8(), 0x7F);
    EXPECT_EQ(in.U16(), 0x1234);
    EXPECT_EQ(in.I16(), -2);
    EXPECT_EQ(in.U32(), 0x12345678u);
    EXPECT_EQ(in.I32(), std::int32_t(0x80FFFFFF));
    std::array<std::uint8_t, 2> two{};
    in.Bytes(two);
    EXPECT_EQ(two[0], 0xAA);
    EXPECT_EQ(two[1], 0xBB);
    EXPECT_EQ(in.Position(), 15u);
    EXPECT_EQ(in.Remaining(), 1u);
    in.Seek(1);
    EXPECT_EQ(in.View(2)[1], 0x12);
    in.Seek(data.size());
    EXPECT_TRUE(in.AtEnd());
}

TEST(ByteReader, NeverReadsPastTheEndAndKeepsItsPosition) {
    const std::vector<std::uint8_t> data = {1, 2, 3};
    ByteReader in(data);
    in.Skip(1);
    EXPECT_THROW(in.U32(), ByteReaderError);
    EXPECT_THROW(in.I32(), ByteReaderError);
    std::array<std::uint8_t, 3> three{};
    EXPECT_THROW(in.Bytes(three), ByteReaderError);
    EXPECT_THROW(in.Skip(3), ByteReaderError);
    EXPECT_THROW(in.Seek(4), ByteReaderError);
    EXPECT_EQ(in.Position(), 1u);
    EXPECT_EQ(in.U16(), 0x0302);
    EXPECT_THROW(in.U8(), ByteReaderError);
    EXPECT_THROW(in.U16(), ByteReaderError);
    EXPECT_NO_THROW(in.Skip(0));

    ByteReader empty(std::span<const std::uint8_t>{});
    EXPECT_THROW(empty.U8(), ByteReaderError);
    EXPECT_THROW(empty.ZeroTerminatedText(10), ByteReaderError);
}

TEST(ByteReader, ZeroTerminatedTextHonoursItsLimit) {
    const std::vector<std::uint8_t> data = {'a', 'b', 'c', 0, 0, 'x', 'y'};
    ByteReader in(data);
    EXPECT_THROW(in.ZeroTerminatedText(2), ByteReaderError);  // three bytes before the 0
    EXPECT_EQ(in.Position(), 0u);
    EXPECT_EQ(in.ZeroTerminatedText(3), "abc");
    EXPECT_EQ(in.ZeroTerminatedText(0), "");
    EXPECT_EQ(in.Position(), 5u);
    EXPECT_THROW(in.ZeroTerminatedText(100), ByteReaderError);  // no 0 before the end
    EXPECT_THROW(in.ZeroTerminatedText(1), ByteReaderError);
}

TEST(ByteWriter, WritesWhatTheReaderReads) {
    std::vector<std::uint8_t> bytes = {0xEE};
    ByteWriter out(bytes);
    out.U8(5);
    out.U16(0xBEEF);
    out.I16(-3);
    out.U32(0xDEADBEEF);
    out.I32(-123456789);
    out.Text("hi");
    out.Fill(2, 9);
    const std::array<std::uint8_t, 2> raw = {7, 8};
    out.Bytes(raw);
    EXPECT_EQ(out.Size(), 1u + 1 + 2 + 2 + 4 + 4 + 2 + 2 + 2);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 1, bytes.begin() + 4)),
              (std::vector<std::uint8_t>{5, 0xEF, 0xBE}));

    ByteReader in(bytes);
    EXPECT_EQ(in.U8(), 0xEE);
    EXPECT_EQ(in.U8(), 5);
    EXPECT_EQ(in.U16(), 0xBEEF);
    EXPECT_EQ(in.I16(), -3);
    EXPECT_EQ(in.U32(), 0xDEADBEEFu);
    EXPECT_EQ(in.I32(), -123456789);
    EXPECT_EQ(in.U16(), 'h' | ('i' << 8));
    EXPECT_EQ(in.U16(), 0x0909);
    EXPECT_EQ(in.U16(), 0x0807);
    EXPECT_TRUE(in.AtEnd());

    // A size known only at the end goes over its placeholder; nothing is added or left half done.
    out.U32At(4, 0x04030201);
    EXPECT_EQ(out.Size(), 20u);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 3, bytes.begin() + 9)),
              (std::vector<std::uint8_t>{0xBE, 1, 2, 3, 4, 0xAD}));
    const std::vector<std::uint8_t> before = bytes;
    EXPECT_THROW(out.U32At(17, 0), std::out_of_range);
    EXPECT_THROW(out.U32At(std::size_t(-1), 0), std::out_of_range);
    EXPECT_EQ(bytes, before);
}

}  // namespace
}  // namespace zobl
