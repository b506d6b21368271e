#include "core/scenery/GsFile.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "core/common/AtomicFile.h"
#include "core/common/ByteReader.h"
#include "core/common/ByteWriter.h"
#include "core/common/MessageError.h"
#include "core/scenery/SceneryDocument.h"
#include "core/text/CodePages.h"

namespace zobl {

using namespace scenery;

namespace {

constexpr std::size_t kPlaneRecordSize = 262;
constexpr std::size_t kCellMaskSize = std::size_t{kCellWidth} * kCellHeight;  // 512
constexpr std::size_t kStripSize = std::size_t{kStoreWidth} * kCellHeight;    // 18,432

// Everything a file contributes to a document. Reading fills this first and touches the
// document only once the whole file has been read, so a damaged file changes nothing.
struct GsContent {
    std::vector<std::uint8_t> pixels;            // built by the reader, or
    std::span<const std::uint8_t> storedPixels;  // the store as the file holds it
    std::array<SymbolRecord, kSymbolCount> records{};
    std::array<std::uint8_t, kSymbolCount> addedRows{};  // bit r: add row r without rule checks
    std::string author = kDefaultAuthor;                 // UTF-8
    std::string infoText = kDefaultInfoText;
    // A damaged file's readable part is wanted: pixels go into `pixels`, which starts as a new
    // document's, so that whatever the file holds before its damage lands there.
    bool keepReadablePart = false;
    bool anythingRead = false;  // a text, a record, a row word or pixels came from the file
};

// The older layouts store only some cells; every other cell keeps the picture of a new document.
std::vector<std::uint8_t> NewDocumentPixels() {
    const std::span<const std::uint8_t> store = SceneryDocument::DefaultPixelStore();
    return {store.begin(), store.end()};
}

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

[[noreturn]] void Unsupported(const std::string& path, const std::string& detail) {
    throw MessageError(message::kUnsupportedFormat, FileNameOf(path), detail);
}

std::string ReadText(ByteReader& in, GsContent& content) {
    std::string text = Cp1252ToUtf8(in.ZeroTerminatedText(gs::kMaxTextBytes));
    content.anythingRead = true;
    return text;
}

// count bytes of the store from offset on. Short data throw; when the readable part is kept,
// the bytes that are there are taken first.
void ReadPixelRun(ByteReader& in, GsContent& content, std::size_t offset, std::size_t count) {
    const std::span<std::uint8_t> run = std::span(content.pixels).subspan(offset, count);
    if (content.keepReadablePart && in.Remaining() < count) {
        const std::size_t available = in.Remaining();
        in.Bytes(run.first(available));
        content.anythingRead = content.anythingRead || available > 0;
    }
    in.Bytes(run);
    content.anythingRead = true;
}

// The store line of pixel row y of a cell: x runs along it.
std::uint8_t* CellLine(GsContent& content, int symbol, int row, int y) {
    return content.pixels.data() + StoreOffset(symbol, row, 0, y);
}

// Per byte value, without a comparison per pixel (every pixel of an old file passes here): a
// cell byte as a pixel (above 15 is transparent) and a mask byte as a bit mask (any non-zero
// value masks the pixel).
constexpr std::array<std::uint8_t, 256> kCellBytePixel = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t value = 0; value < table.size(); ++value) {
        table[value] = value > 15 ? TransparentIndex : std::uint8_t(value);
    }
    return table;
}();
constexpr std::array<std::uint8_t, 256> kMaskByteBits = [] {
    std::array<std::uint8_t, 256> table{};
    for (std::size_t value = 1; value < table.size(); ++value) {
        table[value] = 0xFF;
    }
    return table;
}();

// A 32 x 16 picture in four bit planes (weights 8, 4, 2, 1), most significant bit first.
void ReadPlaneRecord(ByteReader& in, GsContent& content, int symbol, int row) {
    const auto record = in.View(kPlaneRecordSize);
    for (int y = 0; y < kCellHeight; ++y) {
        std::uint8_t* line = CellLine(content, symbol, row, y);
        const std::uint8_t* planes = record.data() + 4 + 16 * y;
        for (int x = 0; x < kCellWidth; ++x) {
            const std::size_t at = std::size_t(x / 8);
            const int shift = 7 - x % 8;
            line[x] = std::uint8_t(((planes[at] >> shift) & 1) << 3 | ((planes[at + 4] >> shift) & 1) << 2 |
                                   ((planes[at + 8] >> shift) & 1) << 1 | ((planes[at + 12] >> shift) & 1));
        }
    }
}

void ReadVersion7(ByteReader& in, const std::string& path, GsContent& content) {
    const std::int32_t symbols = in.I32();
    const std::int32_t rows = in.I32();
    const std::int32_t width = in.I32();
    const std::int32_t height = in.I32();
    if (symbols != kSymbolCount || rows != kRowCount || width != kCellWidth || height != kCellHeight) {
        Unsupported(path, "dimensions " + std::to_string(symbols) + " x " + std::to_string(rows) +
                              " cells of " + std::to_string(width) + " x " + std::to_string(height));
    }
    content.author = ReadText(in, content);
    content.infoText = ReadText(in, content);
    for (SymbolRecord& record : content.records) {
        in.Require(12);  // a record is taken whole or not at all
        // The file has the mask last.
        record.attributeA = in.I32();
        record.attributeB = in.I32();
        record.rowMask = in.U32();
    }
    if (content.keepReadablePart) {
        ReadPixelRun(in, content, 0, kStoreSize);
    } else {
        content.storedPixels = in.View(kStoreSize);
    }
    in.U8();  // trailer; whatever follows it is ignored
}

void ReadVersion5(ByteReader& in, GsContent& content) {
    std::string author = in.ZeroTerminatedText(gs::kMaxTextBytes);
    const auto key = static_cast<char>(author.size() % 256);
    for (char& c : author) {
        c = static_cast<char>(c ^ key);
    }
    content.author = Cp1252ToUtf8(author);
    content.anythingRead = true;
    content.infoText = ReadText(in, content);
    for (std::uint8_t& rows : content.addedRows) {
        const std::uint16_t word = in.U16();
        if (word & 1) {
            rows |= 1u << 2;
        }
        if (word & 2) {
            rows |= (1u << 1) | (1u << 2);
        }
        if (word & 4) {
            rows |= (1u << 0) | (1u << 1) | (1u << 2);
        }
        if (word & 8) {
            rows |= 1u << 4;
        }
    }
    // One strip per row, bottom line first: in the bottom-up store that is one contiguous run.
    if (!content.keepReadablePart) {
        in.Require(kRowCount * kStripSize);
        content.pixels.resize(kStoreSize);
    }
    for (int row = 0; row < kRowCount; ++row) {
        ReadPixelRun(in, content, StoreOffset(0, row * kCellHeight + kCellHeight - 1), kStripSize);
    }
}

void ReadVersion1Or2(ByteReader& in, int version, GsContent& content) {
    content.pixels = NewDocumentPixels();
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        for (int row = 0; row < kRowCount; ++row) {
            if (in.U8() == 0) {
                continue;
            }
            // A cell is taken whole or not at all.
            in.Require(version == 1 ? kPlaneRecordSize + kCellMaskSize : kCellMaskSize);
            if (version == 1) {
                ReadPlaneRecord(in, content, symbol, row);
                // Column by column in the file.
                const auto mask = in.View(kCellMaskSize);
                for (int y = 0; y < kCellHeight; ++y) {
                    std::uint8_t* line = CellLine(content, symbol, row, y);
                    for (int x = 0; x < kCellWidth; ++x) {
                        const std::uint8_t bits = kMaskByteBits[mask[std::size_t(x * kCellHeight + y)]];
                        line[x] = std::uint8_t((line[x] & ~bits) | (TransparentIndex & bits));
                    }
                }
            } else {
                const auto cell = in.View(kCellMaskSize);
                for (int y = 0; y < kCellHeight; ++y) {
                    std::uint8_t* line = CellLine(content, symbol, row, y);
                    for (int x = 0; x < kCellWidth; ++x) {
                        line[x] = kCellBytePixel[cell[std::size_t(x * kCellHeight + y)]];
                    }
                }
            }
            content.addedRows[std::size_t(symbol)] |= std::uint8_t(1u << row);
            content.anythingRead = true;
        }
    }
}

void ReadOldest(ByteReader& in, GsContent& content) {
    content.pixels = NewDocumentPixels();
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        ReadPlaneRecord(in, content, symbol, kBaseRow);
        content.anythingRead = true;
    }
}

GsLayout Parse(std::span<const std::uint8_t> bytes, const std::string& path, GsContent& content) {
    // Without the end mark and the two bytes after it nothing says that this is a scenery file.
    const auto end = std::find(bytes.begin(), bytes.end(), gs::kEndMark);
    if (bytes.end() - end < 3) {
        Unsupported(path, "no end mark with format and version bytes");
    }
    ByteReader in(bytes);
    in.Seek(std::size_t(end - bytes.begin()) + 1);
    if (content.keepReadablePart) {
        content.pixels = NewDocumentPixels();
    }
    const std::uint8_t format = in.U8();
    const std::uint8_t version = in.U8();
    if (format == gs::kFormat) {
        switch (version) {
            case 7:
                ReadVersion7(in, path, content);
                return GsLayout::Version7;
            case 5:
                ReadVersion5(in, content);
                return GsLayout::Version5;
            case 1:
            case 2:
                ReadVersion1Or2(in, version, content);
                return version == 1 ? GsLayout::Version1 : GsLayout::Version2;
            default:
                break;
        }
    } else if (version == 0) {
        // The two bytes just read already belong to the first plane record.
        in.Seek(in.Position() - 2);
        ReadOldest(in, content);
        return GsLayout::Oldest;
    }
    Unsupported(path, "format " + std::to_string(format) + " version " + std::to_string(version));
}

void Apply(const GsContent& content, SceneryDocument& doc) {
    if (!doc.IsInitialised()) {
        doc.Initialise();
    }
    const std::span<const std::uint8_t> pixels =
        content.pixels.empty() ? content.storedPixels : content.pixels;
    std::copy(pixels.begin(), pixels.end(), doc.PixelStoreForLoading().begin());
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        doc.SetRecordForLoading(symbol, content.records[std::size_t(symbol)]);
        for (int row = 0; row < kRowCount; ++row) {
            if ((content.addedRows[std::size_t(symbol)] >> row) & 1u) {
                doc.AddRow(symbol, row, 0);
            }
        }
    }
    doc.SetAuthor(content.author);
    doc.SetInfoText(content.infoText);
    doc.RefreshBitmap();
    doc.ResetUndoHistory();
    doc.SetModified(false);
}

void WriteText(ByteWriter& out, const std::string& utf8) {
    std::string bytes = Utf8ToCp1252(utf8);
    // A 0 character would end the text early and shift everything after it.
    bytes.resize(std::min({bytes.size(), bytes.find('\0'), gs::kMaxTextBytes}));
    out.Text(bytes);
    out.U8(0);
}

}  // namespace

int GsLayoutVersion(GsLayout layout) noexcept {
    switch (layout) {
        case GsLayout::Version7:
            return 7;
        case GsLayout::Version5:
            return 5;
        case GsLayout::Version1:
            return 1;
        case GsLayout::Version2:
            return 2;
        case GsLayout::Oldest:
            return 0;
    }
    return 0;
}

GsLayout ReadGs(std::span<const std::uint8_t> bytes, const std::string& path, SceneryDocument& doc) {
    GsContent content;
    GsLayout layout;
    try {
        layout = Parse(bytes, path, content);
    } catch (const ByteReaderError& error) {
        throw MessageError(message::kFileError, path, error.what());
    }
    Apply(content, doc);
    return layout;
}

GsLayout ReadGsFile(const std::string& path, SceneryDocument& doc) {
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    return ReadGs(bytes, path, doc);
}

bool ReadGsReadablePart(std::span<const std::uint8_t> bytes, SceneryDocument& doc) {
    GsContent content;
    content.keepReadablePart = true;
    try {
        Parse(bytes, {}, content);
    } catch (const ByteReaderError&) {
        // The damage: what came before it is in content.
    } catch (const MessageError&) {
        return false;  // not a scenery file, or a layout this program does not read
    }
    if (!content.anythingRead) {
        return false;
    }
    Apply(content, doc);
    return true;
}

std::vector<std::uint8_t> WriteGs(const SceneryDocument& doc) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(gs::kHeaderText.size() + 3 + 16 + doc.Author().size() + doc.InfoText().size() + 2 +
                  kSymbolCount * 12 + kStoreSize + 1);
    ByteWriter out(bytes);
    out.Text(gs::kHeaderText);
    out.U8(gs::kEndMark);
    out.U8(gs::kFormat);
    out.U8(gs::kWrittenVersion);
    out.I32(kSymbolCount);
    out.I32(kRowCount);
    out.I32(kCellWidth);
    out.I32(kCellHeight);
    WriteText(out, doc.Author());
    WriteText(out, doc.InfoText());
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        const SymbolRecord& record = doc.Record(symbol);
        out.I32(record.attributeA);
        out.I32(record.attributeB);
        out.U32(record.rowMask);
    }
    if (doc.PixelStore().size() == kStoreSize) {
        out.Bytes(doc.PixelStore());
    } else {
        // A released document reads as transparent everywhere.
        out.Fill(kStoreSize, TransparentIndex);
    }
    out.U8(0);
    return bytes;
}

void SaveGsFile(const std::string& path, const SceneryDocument& doc) {
    WriteFileAtomically(path, WriteGs(doc));
}

}  // namespace zobl
