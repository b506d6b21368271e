#include "core/settings/DesktopRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zobl {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds expected records byte by byte, independently of the writer under test.
struct Expected {
    Bytes bytes;

    Expected& I32(std::int32_t value) {
        const auto u = std::uint32_t(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(std::uint8_t(u >> shift));
        }
        return *this;
    }
    Expected& Placement(const WindowPlacement& p) {
        return I32(p.length)
            .I32(p.flags)
            .I32(p.showCommand)
            .I32(p.minPositionX)
            .I32(p.minPositionY)
            .I32(p.maxPositionX)
            .I32(p.maxPositionY)
            .I32(p.normalLeft)
            .I32(p.normalTop)
            .I32(p.normalRight)
            .I32(p.normalBottom);
    }
    Expected& PathField(const std::string& path) {
        bytes.insert(bytes.end(), path.begin(), path.end());
        bytes.resize(bytes.size() + 260 - path.size(), 0);
        return *this;
    }
    Expected& View(const DesktopView& v) {
        return I32(68)
            .I32(0)
            .Placement(v.placement)
            .I32(v.state.zoom)
            .I32(v.state.scrollX)
            .I32(v.state.scrollY)
            .I32(v.state.selectedEntry);
    }
};

// Distinct values in every field, so that a field in the wrong place shows.
WindowPlacement Placement(std::int32_t seed) {
    return {44,       seed,     seed + 1, -seed,      seed + 3,  seed + 4,
            seed + 5, seed + 6, seed + 7, seed + 800, seed + 600};
}

TEST(DesktopRecord, NoDocumentsIsTheHeaderAlone) {
    DesktopRecord record;
    record.mainWindow = {44, 2, 3, -1, -1, -32000, 0x123, 10, 20, 1034, 788};
    const Bytes expected = {
        0x38, 0x00, 0x00, 0x00,  // total length 56
        0x00, 0x00, 0x00, 0x00,  // 0
        0x2C, 0x00, 0x00, 0x00,  // placement length 44
        0x02, 0x00, 0x00, 0x00,  // flags
        0x03, 0x00, 0x00, 0x00,  // show command
        0xFF, 0xFF, 0xFF, 0xFF,  // minimised x -1
        0xFF, 0xFF, 0xFF, 0xFF,  // minimised y -1
        0x00, 0x83, 0xFF, 0xFF,  // maximised x -32000
        0x23, 0x01, 0x00, 0x00,  // maximised y
        0x0A, 0x00, 0x00, 0x00,  // left
        0x14, 0x00, 0x00, 0x00,  // top
        0x0A, 0x04, 0x00, 0x00,  // right 1034
        0x14, 0x03, 0x00, 0x00,  // bottom 788
        0x00, 0x00, 0x00, 0x00,  // no documents
    };
    EXPECT_EQ(WriteDesktopRecord(record), expected);
    EXPECT_EQ(ReadDesktopRecord(expected), record);
}

TEST(DesktopRecord, DocumentsWithTheirViews) {
    struct Case {
        const char* name;
        DesktopDocument document;
        std::size_t size;
    };
    const DesktopView preset{Placement(100), {}};
    const DesktopView vehicleView{Placement(200), {4, 16, 48, 7}};
    const DesktopView sceneryView{Placement(300), {2, -5, 9, 0}};
    const Case cases[] = {
        {"never-saved vehicle document, one view", {desktop::kVehicleKind, "", {vehicleView}}, 396},
        {"scenery document, two views",
         {desktop::kSceneryKind, "/home/u/bahnhof.gs", {sceneryView, preset}},
         464},
        {"document of neither kind, no view", {0, "/tmp/x", {}}, 328},
        {"path of two double quotes", {desktop::kVehicleKind, "\"\"", {vehicleView}}, 396},
        {"path of 259 bytes", {desktop::kSceneryKind, std::string(259, 'p'), {preset}}, 396},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopRecord record{Placement(1), {c.document}};
        Expected expected;
        expected.I32(std::int32_t(c.size)).I32(0).Placement(record.mainWindow).I32(1);
        expected.I32(std::int32_t(272 + 68 * c.document.views.size())).I32(c.document.kindFlags);
        expected.PathField(c.document.path).I32(std::int32_t(c.document.views.size()));
        for (const DesktopView& view : c.document.views) {
            expected.View(view);
        }
        ASSERT_EQ(expected.bytes.size(), c.size);
        EXPECT_EQ(WriteDesktopRecord(record), expected.bytes);
        EXPECT_EQ(ReadDesktopRecord(expected.bytes), record);
    }
}

TEST(DesktopRecord, PathsThatDoNotFitAreWrittenEmpty) {
    for (const std::string& path :
         {std::string(260, 'p'), std::string(4000, 'q'), std::string("/a\0b.gs", 7)}) {
        SCOPED_TRACE(path.size());
        const DesktopRecord record{{}, {{desktop::kSceneryKind, path, {{}}}}};
        const Bytes bytes = WriteDesktopRecord(record);
        ASSERT_EQ(bytes.size(), 396u);
        for (std::size_t i = 64; i < 64 + 260; ++i) {
            ASSERT_EQ(bytes[i], 0) << "path byte " << i - 64;
        }
        const auto read = ReadDesktopRecord(bytes);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->documents[0].path, "");
        EXPECT_EQ(read->documents[0].views.size(), 1u);
    }
}

TEST(DesktopRecord, BytesAfterThePathTerminatorAreIgnored) {
    Expected e;
    e.I32(328).I32(0).Placement({}).I32(1).I32(272).I32(5);
    e.PathField(std::string("/a.gs\0stale-longer-path", 23)).I32(0);
    const auto read = ReadDesktopRecord(e.bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->documents[0].path, "/a.gs");
    EXPECT_EQ(read->documents[0].kindFlags, 5);  // taken as it stands
}

TEST(DesktopRecord, EmptyPaths) {
    const struct {
        const char* path;
        bool empty;
    } cases[] = {{"", true},   {"\"\"", true}, {"\"", false},    {"\"\"\"", false},
                 {" ", false}, {"''", false},  {"\"\" ", false}, {"/a.gs", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsEmptyDesktopPath(c.path), c.empty) << "[" << c.path << "]";
    }
}

DesktopRecord SeveralDocuments() {
    DesktopRecord record;
    record.mainWindow = Placement(-7);
    record.documents = {
        {desktop::kSceneryKind, "/home/u/Grafik/Stellwerk.gs", {{Placement(10), {3, 100, 200, 0}}}},
        {desktop::kVehicleKind, "", {{Placement(20), {1, 0, 0, 12}}, {Placement(30), {8, 1, 2, 3}}}},
        {0, "/home/u/x.txt", {}},
        {7,
         "/home/u/Gr\xC3\xBCn.fgs",
         {{Placement(40), {}}, {Placement(50), {}}, {Placement(60), {5, 6, 7, 8}}}},
    };
    return record;
}

TEST(DesktopRecord, SeveralDocumentsRoundTrip) {
    const DesktopRecord record = SeveralDocuments();
    const Bytes bytes = WriteDesktopRecord(record);
    EXPECT_EQ(bytes.size(), 56u + 272 * 4 + 68 * 6);
    EXPECT_EQ(ReadDesktopRecord(bytes), record);
}

TEST(DesktopRecord, EveryTruncatedRecordIsRefused) {
    const Bytes bytes = WriteDesktopRecord(SeveralDocuments());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(ReadDesktopRecord(std::span(bytes).first(length))) << length << " bytes";
    }
    // Also when the total length is made to agree with the cut.
    for (std::size_t length = 56; length < bytes.size(); ++length) {
        Bytes cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
        Expected size;
        size.I32(std::int32_t(length));
        std::copy(size.bytes.begin(), size.bytes.end(), cut.begin());
        EXPECT_FALSE(ReadDesktopRecord(cut)) << length << " bytes, length adjusted";
    }
}

TEST(DesktopRecord, DamagedRecordsAreRefused) {
    // The base: two documents of one and two views, 56 + 2 x 272 + 3 x 68 = 804 bytes.
    const DesktopRecord base{Placement(1),
                             {{desktop::kVehicleKind, "/v.fgs", {{Placement(2), {}}}},
                              {desktop::kSceneryKind, "/s.gs", {{Placement(3), {}}, {Placement(4), {}}}}}};
    constexpr std::size_t kDocCount = 52, kDoc1 = 56, kDoc2 = 56 + 272 + 68;
    constexpr std::size_t kPath = 8, kViews = 268, kView1 = kDoc1 + 272;
    const auto put = [](Bytes& b, std::size_t at, std::int32_t value) {
        for (int i = 0; i < 4; ++i) {
            b[at + std::size_t(i)] = std::uint8_t(std::uint32_t(value) >> (8 * i));
        }
    };
    const struct {
        const char* name;
        std::function<void(Bytes&)> damage;
    } cases[] = {
        {"total length too big", [&](Bytes& b) { put(b, 0, 805); }},
        {"total length too small", [&](Bytes& b) { put(b, 0, 803); }},
        {"total length negative", [&](Bytes& b) { put(b, 0, -804); }},
        {"header's second integer not 0", [&](Bytes& b) { put(b, 4, 1); }},
        {"one document more than held", [&](Bytes& b) { put(b, kDocCount, 3); }},
        {"one document fewer: bytes left over", [&](Bytes& b) { put(b, kDocCount, 1); }},
        {"huge document count", [&](Bytes& b) { put(b, kDocCount, 0x7FFFFFFF); }},
        {"negative document count", [&](Bytes& b) { put(b, kDocCount, -1); }},
        {"document length one view too long", [&](Bytes& b) { put(b, kDoc1, 272 + 2 * 68); }},
        {"document length one byte short", [&](Bytes& b) { put(b, kDoc2, 272 + 2 * 68 - 1); }},
        {"document length without its views", [&](Bytes& b) { put(b, kDoc2, 272); }},
        {"view count beyond the bytes, length agreeing",
         [&](Bytes& b) {
             put(b, kDoc2, 272 + 3 * 68);
             put(b, kDoc2 + kViews, 3);
         }},
        {"view count of the first document beyond the bytes, length agreeing",
         [&](Bytes& b) {
             put(b, kDoc1, 272 + 10 * 68);
             put(b, kDoc1 + kViews, 10);
         }},
        {"view count one short, length agreeing",
         [&](Bytes& b) {
             put(b, kDoc1, 272);
             put(b, kDoc1 + kViews, 0);
         }},
        {"huge view count",
         [&](Bytes& b) {
             put(b, kDoc1, 272 + 68 * 3);
             put(b, kDoc1 + kViews, 0x7FFFFFFF);
         }},
        {"negative view count",
         [&](Bytes& b) {
             put(b, kDoc1, 272 - 68);
             put(b, kDoc1 + kViews, -1);
         }},
        {"path without terminator",
         [&](Bytes& b) { std::fill_n(b.begin() + std::ptrdiff_t(kDoc2 + kPath), 260, std::uint8_t('a')); }},
        {"view record length 67", [&](Bytes& b) { put(b, kView1, 67); }},
        {"view record length 0", [&](Bytes& b) { put(b, kDoc2 + 272 + 68, 0); }},
        {"view record's second integer not 0", [&](Bytes& b) { put(b, kView1 + 4, 68); }},
        {"trailing bytes",
         [&](Bytes& b) {
             b.insert(b.end(), {0, 0, 0, 0});
         }},
        {"trailing bytes, total length agreeing",
         [&](Bytes& b) {
             b.insert(b.end(), {0, 0, 0, 0});
             put(b, 0, 808);
         }},
    };
    const Bytes valid = WriteDesktopRecord(base);
    ASSERT_EQ(valid.size(), 804u);
    ASSERT_EQ(ReadDesktopRecord(valid), base);
    for (const auto& c : cases) {
        Bytes damaged = valid;
        c.damage(damaged);
        EXPECT_FALSE(ReadDesktopRecord(damaged)) << c.name;
    }
}

}  // namespace
}  // namespace zobl
