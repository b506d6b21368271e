#include "core/scenery/UzgExport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/common/AtomicFile.h"
#include "core/common/ByteReader.h"
#include "core/common/MessageError.h"
#include "core/common/TestTempFolder.h"
#include "core/lang/LanguageManager.h"
#include "core/scenery/SceneryDocument.h"

namespace zobl {
namespace {

using namespace scenery;
constexpr MouseMode kMouseMode = MouseMode::Rectangle;
constexpr std::size_t kImageSize = 512;

// The parts of an export, taken apart along the layout.
struct Export {
    std::string signature;
    std::uint16_t tileCount = 0;
    std::vector<std::vector<std::uint8_t>> images;
    std::vector<std::array<std::int16_t, 6>> records;
};

Export Parse(const std::vector<std::uint8_t>& bytes) {
    Export result;
    ByteReader in(bytes);
    for (std::uint8_t c = in.U8(); c != 0x1A; c = in.U8()) {
        result.signature.push_back(char(c));
    }
    EXPECT_EQ(in.U8(), 0x35);
    EXPECT_EQ(in.U8(), 0x09);
    result.tileCount = in.U16();
    EXPECT_EQ(in.U16(), 0);
    for (int i = 0; i < result.tileCount / 4; ++i) {
        const auto image = in.View(kImageSize);
        result.images.emplace_back(image.begin(), image.end());
    }
    const auto tag = in.View(4);
    EXPECT_EQ(std::string(tag.begin(), tag.end()), "SYMT");
    for (int s = 0; s < kSymbolCount; ++s) {
        std::array<std::int16_t, 6> record{};
        for (auto& slot : record) {
            slot = in.I16();
        }
        result.records.push_back(record);
    }
    EXPECT_TRUE(in.AtEnd());
    return result;
}

// Byte of pixel (x, y) inside an image: four tiles of 8 x 16, lines top first.
std::size_t ImageOffset(int x, int y) {
    return std::size_t(x / 8) * 128 + std::size_t(y) * 8 + std::size_t(x % 8);
}

void FillCell(SceneryDocument& doc, int s, int r, std::uint8_t value) {
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            doc.SetPixel(s, r, x, y, value, kMouseMode);
        }
    }
}

TEST(UzgExport, NewDocumentHasOneImagePerSymbol) {
    SceneryDocument doc;
    doc.SetPixel(0, 3, 9, 2, 65, kMouseMode);
    doc.SetPixel(0, 3, 31, 15, 88, kMouseMode);
    doc.SetPixel(5, 3, 0, 0, 97, kMouseMode);
    doc.SetPixel(5, 3, 1, 0, 99, kMouseMode);
    doc.SetModified(false);
    const int undoCount = doc.UndoCount();

    const std::vector<std::uint8_t> bytes = WriteUzg(doc, "UZG \u00e4");
    ASSERT_EQ(bytes.size(), 5 + 7 + 36 * kImageSize + 4 + 36 * 12);
    EXPECT_EQ(bytes[4], 0xE4);  // the signature is written in Windows-1252
    const Export uzg = Parse(bytes);
    EXPECT_EQ(uzg.signature, "UZG \xE4");
    EXPECT_EQ(uzg.tileCount, 144);
    for (int s = 0; s < kSymbolCount; ++s) {
        EXPECT_EQ(uzg.records[std::size_t(s)],
                  (std::array<std::int16_t, 6>{-1, std::int16_t(s), -1, -1, -1, -1}));
    }
    const auto& image0 = uzg.images[0];
    EXPECT_EQ(image0[ImageOffset(9, 2)], 50);    // index 65
    EXPECT_EQ(image0[ImageOffset(31, 15)], 53);  // index 88, the image's last byte
    EXPECT_EQ(image0[kImageSize - 1], 53);
    EXPECT_EQ(image0[ImageOffset(0, 0)], 255);  // transparent background
    EXPECT_EQ(uzg.images[5][0], 254);
    EXPECT_EQ(uzg.images[5][1], 253);
    // The default picture: line 2 starts "...b" with b = index 15 at x = 3.
    std::uint8_t code15 = 15;
    IndexToSimCode(code15);
    EXPECT_EQ(uzg.images[1][ImageOffset(3, 2)], code15);

    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.UndoCount(), undoCount);
}

TEST(UzgExport, ImageNumbersFollowTheRowOrderFourToZero) {
    {
        // Symbol 0 with rows 2 and 3: 37 images.
        SceneryDocument doc;
        doc.AddRow(0, 2, kAddRowCheckRules);
        const Export uzg = Parse(WriteUzg(doc, "sig"));
        EXPECT_EQ(uzg.tileCount, 148);
        EXPECT_EQ(uzg.records[0], (std::array<std::int16_t, 6>{-1, 0, -1, 1, -1, -1}));
        EXPECT_EQ(uzg.records[1], (std::array<std::int16_t, 6>{-1, 2, -1, -1, -1, -1}));
    }

    SceneryDocument doc;
    for (const int r : {2, 1, 0}) {
        ASSERT_EQ(doc.AddRow(0, r, kAddRowCheckRules), 0);
    }
    ASSERT_EQ(doc.AddRow(1, 4, kAddRowCheckRules), 0);
    // Distinct colours per cell; the absent cells get a colour no present cell has.
    const std::uint8_t colour[2][5] = {{1, 2, 3, 4, 60}, {60, 60, 60, 5, 6}};
    for (int s = 0; s < 2; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            FillCell(doc, s, r, colour[s][r]);
        }
    }
    for (int s = 2; s < kSymbolCount; ++s) {
        for (int r = 0; r < kRowCount; ++r) {
            FillCell(doc, s, r, r == kBaseRow ? 7 : 60);
        }
    }
    doc.SetModified(true);

    const Export uzg = Parse(WriteUzg(doc, ""));
    EXPECT_EQ(uzg.signature, "");
    ASSERT_EQ(uzg.images.size(), 40u);
    EXPECT_EQ(uzg.tileCount, 160);
    EXPECT_EQ(uzg.records[0], (std::array<std::int16_t, 6>{-1, 0, -1, 1, 2, 3}));
    EXPECT_EQ(uzg.records[1], (std::array<std::int16_t, 6>{4, 5, -1, -1, -1, -1}));
    EXPECT_EQ(uzg.records[2], (std::array<std::int16_t, 6>{-1, 6, -1, -1, -1, -1}));
    EXPECT_EQ(uzg.records[35], (std::array<std::int16_t, 6>{-1, 39, -1, -1, -1, -1}));

    const auto code = [](std::uint8_t index) {
        IndexToSimCode(index);
        return index;
    };
    const std::uint8_t expectedImageColour[7] = {4, 3, 2, 1, 6, 5, 7};  // rows 3, 2, 1, 0; 4, 3; 3
    for (std::size_t i = 0; i < uzg.images.size(); ++i) {
        const std::uint8_t expected = code(expectedImageColour[std::min<std::size_t>(i, 6)]);
        for (const std::uint8_t byte : uzg.images[i]) {
            ASSERT_EQ(byte, expected) << "image " << i;  // never a pixel of an absent row
        }
    }
    EXPECT_TRUE(doc.IsModified());
}

TEST(UzgExport, FileCarriesTheSignatureOfTheLanguageFile) {
    test::TempFolder folder;
    const std::string languageFile = folder.File("lang.rtx");
    std::ofstream(languageFile, std::ios::binary) << "[DATA]\r\n1051=Sig\xE4tur\r\n";
    const CLanguageManager language(languageFile);
    const SceneryDocument doc;

    const std::string path = folder.File("out.uzg");
    ExportUzgFile(path, doc, language);
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    EXPECT_EQ(bytes, WriteUzg(doc, "Sig\u00e4tur"));
    EXPECT_EQ(bytes[3], 0xE4);

    try {
        ExportUzgFile(folder.File("missing/out.uzg"), doc, language);
        ADD_FAILURE() << "no error";
    } catch (const MessageError& error) {
        EXPECT_EQ(error.Number(), 3);
        EXPECT_EQ(error.Argument(), folder.File("missing/out.uzg"));
    }
}

}  // namespace
}  // namespace zobl
