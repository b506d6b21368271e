#include "core/vehicles/VehicleExport.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <span>
#include <variant>

#include "core/common/AtomicFile.h"
#include "core/common/ByteWriter.h"
#include "core/common/MessageError.h"
#include "core/lang/LanguageManager.h"
#include "core/lang/Messages.h"
#include "core/text/CodePages.h"
#include "core/vehicles/SteamProperties.h"
#include "core/vehicles/VehicleDocument.h"

namespace zobl {

using namespace vehicles;
using namespace vehicle_export;

namespace {

constexpr int kMaxFieldWidth = 64;

using FormatArgument = std::variant<std::string_view, long long>;

std::string Render(const FormatArgument& argument, char conversion, int precision) {
    if (const auto* text = std::get_if<std::string_view>(&argument)) {
        std::string_view value = *text;
        if (conversion == 's' && precision >= 0) {
            value = value.substr(0, std::size_t(precision));
        }
        return std::string(value);
    }
    const long long number = std::get<long long>(argument);
    if (conversion == 'c') {
        return std::string(1, char(number));
    }
    char buffer[32];
    const int base = (conversion == 'x' || conversion == 'X') ? 16 : 10;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number, base);
    std::string digits(buffer, result.ptr);
    if (conversion == 'X') {
        for (char& c : digits) {
            c = char(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    if (precision >= 0 && conversion != 's') {
        const bool negative = !digits.empty() && digits[0] == '-';
        const std::size_t length = digits.size() - (negative ? 1 : 0);
        if (length < std::size_t(precision)) {
            digits.insert(negative ? 1 : 0, std::size_t(precision) - length, '0');
        }
    }
    return digits;
}

int ReadNumber(std::string_view pattern, std::size_t& pos) {
    int value = 0;
    while (pos < pattern.size() && pattern[pos] >= '0' && pattern[pos] <= '9') {
        value = std::min(value * 10 + (pattern[pos] - '0'), kMaxFieldWidth);
        ++pos;
    }
    return value;
}

std::string ToCp850Text(std::string_view utf8) {
    std::string text = Utf8ToCp850(utf8);
    // The text ends at its 0 byte in the file.
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

std::string Cp1252FieldToCp850(std::string_view raw) {
    return Cp1252ToCp850(raw);
}

const std::array<std::uint8_t, 256>& SimCodeTable() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> codes{};
        for (int i = 0; i < 256; ++i) {
            auto byte = std::uint8_t(i);
            IndexToSimCode(byte);
            codes[std::size_t(i)] = byte;
        }
        return codes;
    }();
    return table;
}

bool AnySetTooLong(const VehicleDocument& doc, const std::vector<int>& sets) {
    for (const int s : sets) {
        if (doc.TotalSetLength(s) > kMaxSetLength) {
            return true;
        }
    }
    return false;
}

// Header text, end mark, magic and a table of S (key, offset) entries with zero offsets.
// Returns the position of the first offset field.
std::size_t WriteTableHead(ByteWriter& out, std::string_view fileHeader, std::span<const std::uint8_t> magic,
                           const std::vector<std::uint16_t>& keys) {
    out.Text(fileHeader);
    out.U8(kEndMark);
    out.Bytes(magic);
    const std::size_t table = out.Size();
    for (const std::uint16_t key : keys) {
        out.U16(key);
        out.U32(0);
    }
    out.U16(0);
    return table + 2;
}

// The offset of entry s counts from just after its own offset field.
void PatchOffset(std::vector<std::uint8_t>& bytes, std::size_t firstOffsetField, std::size_t entry,
                 std::size_t blockStart) {
    const std::size_t field = firstOffsetField + 6 * entry;
    const auto offset = std::uint32_t(blockStart - (field + 4));
    for (int i = 0; i < 4; ++i) {
        bytes[field + std::size_t(i)] = std::uint8_t(offset >> (8 * i));
    }
}

std::uint8_t TileReference(int tile, std::uint16_t segmentWord) {
    return std::uint8_t(tile | (segmentWord & steam::kMask));
}

// A view's tiles are put together in one buffer and appended at once.
using TileBuffer = std::array<std::uint8_t, 112 * kMaxCarLength>;

void WriteHorizontalTiles(ByteWriter& out, const Car& car, int view, const std::array<std::uint8_t, 256>& sim,
                          TileBuffer& buffer) {
    const auto& plane = car.planes[std::size_t(view)];
    const int d = car.length;
    std::size_t at = 0;
    for (int m = 0; m < d; ++m) {
        for (int y = 0; y < 14; ++y) {
            const std::uint8_t* pixels = plane.data() + PixelOffset(view, d, 8 * m, y);
            for (int x = 0; x < 8; ++x) {
                buffer[at++] = sim[pixels[x]];
            }
        }
    }
    out.Bytes(std::span(buffer.data(), at));
}

// Vertical tile m is the 32 bytes at offset 32 m, in stored (bottom-up) row order: the order
// under which each reference lands on the band the steam table gives its segment.
void WriteVerticalTiles(ByteWriter& out, const Car& car, int view, const std::array<std::uint8_t, 256>& sim,
                        TileBuffer& buffer) {
    const auto& plane = car.planes[std::size_t(view)];
    const std::size_t size = std::min(plane.size(), buffer.size());
    for (std::size_t i = 0; i < size; ++i) {
        buffer[i] = sim[plane[i]];
    }
    out.Bytes(std::span(buffer.data(), size));
}

}  // namespace

ExportTime ExportTimeNow() {
    std::tm parts{};
    bool fixed = false;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        long long seconds = 0;
        const std::string_view text(epoch);
        const auto result = std::from_chars(text.data(), text.data() + text.size(), seconds);
        if (result.ec == std::errc() && result.ptr == text.data() + text.size()) {
            const auto instant = std::time_t(seconds);
            fixed = ::gmtime_r(&instant, &parts) != nullptr;
        }
    }
    if (!fixed) {
        const std::time_t now = std::time(nullptr);
        ::localtime_r(&now, &parts);
    }
    return {parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

namespace {

// printf-like, safe for any pattern: conversions beyond the arguments give nothing, a string
// under %d is written as it is, widths are capped.
std::string FormatSafely(std::string_view pattern, std::span<const FormatArgument> arguments) {
    std::size_t next = 0;
    std::string out;
    for (std::size_t pos = 0; pos < pattern.size();) {
        const char c = pattern[pos];
        if (c != '%') {
            out += c;
            ++pos;
            continue;
        }
        const std::size_t start = pos++;
        if (pos < pattern.size() && pattern[pos] == '%') {
            out += '%';
            ++pos;
            continue;
        }
        bool left = false;
        bool zero = false;
        while (pos < pattern.size() &&
               std::string_view("-+ #0").find(pattern[pos]) != std::string_view::npos) {
            left = left || pattern[pos] == '-';
            zero = zero || pattern[pos] == '0';
            ++pos;
        }
        const int width = ReadNumber(pattern, pos);
        int precision = -1;
        if (pos < pattern.size() && pattern[pos] == '.') {
            ++pos;
            precision = ReadNumber(pattern, pos);
        }
        while (pos < pattern.size() &&
               std::string_view("hlLqjzt").find(pattern[pos]) != std::string_view::npos) {
            ++pos;
        }
        if (pos >= pattern.size() ||
            std::string_view("sdiuxXc").find(pattern[pos]) == std::string_view::npos) {
            // Not a conversion we fill: keep it as it stands.
            const std::size_t end = std::min(pos + 1, pattern.size());
            out.append(pattern.substr(start, end - start));
            pos = end;
            continue;
        }
        const char conversion = pattern[pos++];
        std::string value;
        bool numeric = false;
        if (next < arguments.size()) {
            numeric = std::holds_alternative<long long>(arguments[next]);
            value = Render(arguments[next++], conversion, precision);
        }
        if (int(value.size()) < width) {
            const std::size_t pad = std::size_t(width) - value.size();
            if (left) {
                value.append(pad, ' ');
            } else if (zero && numeric && precision < 0) {
                value.insert(!value.empty() && value[0] == '-' ? 1 : 0, pad, '0');
            } else {
                value.insert(0, pad, ' ');
            }
        }
        out += value;
    }
    return out;
}

}  // namespace

std::string FormatExportHeader(std::string_view pattern, const ExportTime& time) {
    const FormatArgument arguments[] = {kProgramName,
                                        kUnknown,
                                        kPlatform,
                                        (long long)time.day,
                                        (long long)time.month,
                                        (long long)time.year,
                                        (long long)time.hour,
                                        (long long)time.minute,
                                        (long long)time.second};
    return FormatSafely(pattern, arguments);
}

std::optional<ExportProblem> CheckVehicleExport(const VehicleDocument& doc) {
    for (const auto& [index, kind] : {std::pair{HalfTransparentIndex, ExportProblemKind::HalfTransparent},
                                      std::pair{BackgroundIndex, ExportProblemKind::Background}}) {
        const SpecialPixelHit hit = doc.CountSpecialPixels(index);
        if (hit.count > 0) {
            return ExportProblem{kind, hit.set, hit.car, hit.view};
        }
    }
    for (const int s : ExportedSets(doc)) {
        if (doc.TotalSetLength(s) > kMaxSetLength) {
            return ExportProblem{ExportProblemKind::SetTooLong, s, 0, -1};
        }
    }
    return std::nullopt;
}

std::string ExportProblemText(const ExportProblem& problem, const CLanguageManager& language) {
    int key = 0;
    switch (problem.kind) {
        case ExportProblemKind::HalfTransparent:
            key = kHalfTransparentFoundKey;
            break;
        case ExportProblemKind::Background:
            key = kBackgroundFoundKey;
            break;
        case ExportProblemKind::SetTooLong:
            return MessageText(language, message::kSetTooLong);
    }
    const FormatArgument numbers[] = {(long long)problem.set, (long long)problem.car,
                                      (long long)problem.view};
    return FormatSafely(language.GetText(key, "DATA"), numbers);
}

std::vector<int> ExportedSets(const VehicleDocument& doc) {
    std::vector<int> sets;
    for (int s = 0; s < doc.CountSets(); ++s) {
        if (doc.CountCars(s) > 0) {
            sets.push_back(s);
        }
    }
    return sets;
}

std::vector<ExportTextLoss> ExportTextLosses(const VehicleDocument& doc) {
    std::vector<ExportTextLoss> losses;
    for (const int s : ExportedSets(doc)) {
        const VehicleSet& set = doc.Set(s);
        const std::string setName = Cp1252ToUtf8(set.name.View());
        if (std::string missing = MissingFromCp850(setName); !missing.empty()) {
            losses.push_back({s, -1, setName, std::move(missing)});
        }
        for (int c = 0; c < doc.CountCars(s); ++c) {
            const Car& car = set.cars[std::size_t(c)];
            std::string texts(car.name.View());
            texts.append(1, '\n').append(car.text2.View()).append(1, '\n').append(car.text3.View());
            if (std::string missing = MissingFromCp850(Cp1252ToUtf8(texts)); !missing.empty()) {
                losses.push_back({s, c, Cp1252ToUtf8(car.name.View()), std::move(missing)});
            }
        }
    }
    return losses;
}

std::optional<std::vector<std::uint8_t>> UfgWriter(const VehicleDocument& doc, std::string_view setHeaderUtf8,
                                                   std::string_view fileHeader,
                                                   const ExportProgress& progress) {
    const std::vector<int> sets = ExportedSets(doc);
    if (sets.empty() || AnySetTooLong(doc, sets)) {
        return std::nullopt;
    }
    const auto& sim = SimCodeTable();
    const std::string setHeader = ToCp850Text(setHeaderUtf8);
    const int exported = int(sets.size());

    std::size_t size = fileHeader.size() + 1 + kUfgMagic.size() + 6 * sets.size() + 2;
    std::vector<std::uint16_t> keys;
    for (int s = 0; s < exported; ++s) {
        keys.push_back(SetKey(s));
        const int units = doc.TotalSetLength(sets[std::size_t(s)]);
        size += 10 + setHeader.size() + 1 + std::size_t(4 * units + doc.CountCars(sets[std::size_t(s)])) +
                kPlaneBytesPerUnit * std::size_t(units);
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    ByteWriter out(bytes);
    const std::size_t offsets = WriteTableHead(out, fileHeader, kUfgMagic, keys);
    TileBuffer buffer{};

    for (int s = 0; s < exported; ++s) {
        if (progress) {
            progress(s * 100 / exported);
        }
        const VehicleSet& set = doc.Set(sets[std::size_t(s)]);
        const int cars = doc.CountCars(sets[std::size_t(s)]);
        const int tiles = 2 * set.TotalLength();
        PatchOffset(bytes, offsets, std::size_t(s), out.Size());
        out.U16(SetKey(s));
        out.U16(std::uint16_t(tiles | 0x8000));
        out.U16(std::uint16_t(tiles));
        out.U16(std::uint16_t(cars));
        int references = 0;
        for (int c = 0; c < cars; ++c) {
            references += 4 * set.cars[std::size_t(c)].length + 1;
        }
        out.U16(std::uint16_t(references));
        out.Text(setHeader);
        out.U8(0);

        int b = 0;  // running tile number within the set
        for (int c = 0; c < cars; ++c) {
            const Car& car = set.cars[std::size_t(c)];
            const int d = car.length;
            const auto& flags = car.segmentFlags;
            out.U8(std::uint8_t(d));
            for (int l = 0; l < d; ++l) {
                out.U8(TileReference(b + d - 1 - l, flags[2][std::size_t(l)]));
            }
            for (int l = 0; l < d; ++l) {
                out.U8(TileReference(b + d - 1 - l, flags[3][std::size_t(l)]));
            }
            b += d;
            for (int l = 0; l < d; ++l) {
                out.U8(TileReference(b + l, flags[1][std::size_t(l)]));
            }
            for (int l = 0; l < d; ++l) {
                out.U8(TileReference(b + l, flags[0][std::size_t(l)]));
            }
            b += d;
        }
        for (int c = 0; c < cars; ++c) {
            WriteHorizontalTiles(out, set.cars[std::size_t(c)], 2, sim, buffer);
            WriteHorizontalTiles(out, set.cars[std::size_t(c)], 1, sim, buffer);
        }
        for (int c = 0; c < cars; ++c) {
            WriteVerticalTiles(out, set.cars[std::size_t(c)], 3, sim, buffer);
            WriteVerticalTiles(out, set.cars[std::size_t(c)], 0, sim, buffer);
        }
    }
    return bytes;
}

std::optional<std::vector<std::uint8_t>> UzzWriter(const VehicleDocument& doc, std::string_view fileHeader) {
    const std::vector<int> sets = ExportedSets(doc);
    if (sets.empty() || AnySetTooLong(doc, sets)) {
        return std::nullopt;
    }
    const int exported = int(sets.size());
    std::vector<std::uint16_t> keys;
    for (int s = 0; s < exported; ++s) {
        keys.push_back(std::uint16_t(kTextKeyBase + s));
    }
    std::vector<std::uint8_t> bytes;
    ByteWriter out(bytes);
    const std::size_t offsets = WriteTableHead(out, fileHeader, kUzzMagic, keys);

    for (int s = 0; s < exported; ++s) {
        const VehicleSet& set = doc.Set(sets[std::size_t(s)]);
        const int cars = doc.CountCars(sets[std::size_t(s)]);
        std::vector<std::string> texts;
        int blockSize = 1;
        for (int c = 0; c < cars; ++c) {
            const Car& car = set.cars[std::size_t(c)];
            for (const auto* text : {&car.name, &car.text2, &car.text3}) {
                // An empty text is written as one space.
                std::string converted = Cp1252FieldToCp850(text->View());
                if (converted.empty()) {
                    converted.push_back(' ');
                }
                blockSize += int(converted.size()) + 1;
                texts.push_back(std::move(converted));
            }
            blockSize += 16;
        }

        PatchOffset(bytes, offsets, std::size_t(s), out.Size());
        out.U16(std::uint16_t(kTextKeyBase + s));
        out.U16(0x8000);
        out.U16(std::uint16_t(blockSize));
        out.U16(std::uint16_t(cars));
        std::string name = Cp1252FieldToCp850(set.name.View());
        name.resize(kSetNameBytes, '\0');
        out.Text(name);
        out.U16(1);
        out.U16(SetKey(s));
        for (const std::string& text : texts) {
            out.Text(text);
            out.U8(0);
        }
        out.U8(0);
        for (int c = 0; c < cars; ++c) {
            out.U16(1);
            out.U16(std::uint16_t(set.cars[std::size_t(c)].carFlags));
            out.U16(0);
            out.U16(std::uint16_t(SetKey(s) + c));
            out.U16(std::uint16_t(3 * c));
            out.U16(std::uint16_t(3 * c + 1));
            out.U16(std::uint16_t(3 * c + 2));
            out.U16(0xFFFF);
        }
    }
    out.U16(0);
    return bytes;
}

VehicleExportPaths ExportPathsFor(const std::string& basePath) {
    return {basePath + ".UFG", basePath + ".UZZ"};
}

void ExportVehicleFiles(const std::string& basePath, const VehicleDocument& doc,
                        const CLanguageManager& language, const ExportTime& time,
                        const ExportProgress& progress) {
    const std::string baseName = std::filesystem::path(basePath).filename().string();
    const std::vector<int> sets = ExportedSets(doc);
    if (sets.empty()) {
        throw MessageError(message::kCannotCreateFile, baseName, "no set with cars");
    }
    if (AnySetTooLong(doc, sets)) {
        throw MessageError(message::kSetTooLong, {}, "a set is longer than 32 length units");
    }
    const std::string header = FormatExportHeader(language.GetText(kHeaderPatternKey, "DATA"), time);
    const auto ufg = UfgWriter(doc, header, kFileHeaderText, progress);
    const auto uzz = UzzWriter(doc, kFileHeaderText);
    if (!ufg || !uzz) {
        throw MessageError(message::kCannotCreateFile, baseName);
    }
    const VehicleExportPaths paths = ExportPathsFor(basePath);
    // The pair belongs together: both are replaced, or neither.
    // The user named the base; the second file is never written through a link or into a pipe
    // that stands at its name.
    const FileToWrite files[] = {{paths.ufg, *ufg, FileNaming::User}, {paths.uzz, *uzz, FileNaming::Program}};
    WriteFilesAtomically(files);
    if (progress) {
        progress(100);
    }
}

}  // namespace zobl
