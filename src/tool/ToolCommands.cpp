#include "tool/ToolCommands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <istream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/PathTools.h"
#include "core/drawing/MouseMode.h"
#include "core/lang/LanguageManager.h"
#include "core/lang/Messages.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/UzgExport.h"
#include "core/simimport/SimListing.h"
#include "core/simimport/SimVehicleReader.h"
#include "core/simimport/VehicleImport.h"
#include "core/text/CodePages.h"
#include "core/vehicles/FgsFile.h"
#include "core/vehicles/SteamProperties.h"
#include "core/vehicles/TrainStrip.h"
#include "core/vehicles/VehicleDocument.h"
#include "core/vehicles/VehicleExport.h"
#include "png/PaletteExport.h"
#include "png/PngSheet.h"
#include "png/SceneryPng.h"
#include "png/VehiclePng.h"
#include "tool/Thumbnail.h"

namespace zobl {

using namespace scenery;

namespace {

// A command-line mistake: one line, then a pointer to --help.
struct UsageError {
    std::string what;
};

enum class FileKind { Scenery, Vehicles };

// Files are told apart by the bytes after the first 0x1A, never by their names.
FileKind DetectKind(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kVehicleMagic[] = {0x46, 0xC7, 0x53};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0x1A) {
            if (bytes.size() - i - 1 >= 3 && std::equal(std::begin(kVehicleMagic), std::end(kVehicleMagic),
                                                        bytes.begin() + std::ptrdiff_t(i) + 1)) {
                return FileKind::Vehicles;
            }
            break;
        }
    }
    return FileKind::Scenery;
}

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

// One line: line breaks of a language text become blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\t') {
            c = ' ';
        }
    }
    return text;
}

struct Context {
    const CLanguageManager& language;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// "-" names standard input or output, as in other command-line tools.
constexpr std::string_view kStandardStream = "-";

bool IsStandardStream(const std::string& path) {
    return path == kStandardStream;
}

// The path a message gives, and the name: the stream "-" stands for instead of "-".
std::string MessagePath(const std::string& path) {
    return IsStandardStream(path) ? "stdin" : path;
}
std::string InputName(const std::string& path) {
    return IsStandardStream(path) ? "stdin" : FileNameOf(path);
}

std::vector<std::uint8_t> ReadInput(Context& ctx, const std::string& path) {
    if (!IsStandardStream(path)) {
        return ReadWholeFile(path);
    }
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (ctx.in.read(buffer, sizeof buffer) || ctx.in.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + ctx.in.gcount());
        if (bytes.size() > kMaxReadFileSize) {
            throw MessageError(message::kFileError, "stdin");
        }
    }
    if (ctx.in.bad()) {
        throw MessageError(message::kFileError, "stdin");
    }
    return bytes;
}

void WriteOutput(Context& ctx, const std::string& path, std::span<const std::uint8_t> bytes) {
    if (!IsStandardStream(path)) {
        WriteFileAtomically(path, bytes);
        return;
    }
    ctx.out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ctx.out.flush();
    if (!ctx.out) {
        throw MessageError(message::kFileError, "stdout");
    }
}

// For files that are read and written again, or named from a base: a stream cannot stand in.
void RefuseStandardStream(const std::string& path, const std::string& what) {
    if (IsStandardStream(path)) {
        throw UsageError{what + " cannot be standard input or output ('-')"};
    }
}

void ExpectArguments(const std::vector<std::string>& args, std::size_t count, const std::string& command) {
    if (args.size() != count) {
        throw UsageError{command + " takes " + std::to_string(count) + " file name" +
                         (count == 1 ? "" : "s")};
    }
}

// A vehicle file with any damage is a failure here (error 4, as in the editor): the tool must
// not write what it half read.
void ReadVehicles(std::span<const std::uint8_t> bytes, const std::string& path,
                  const CLanguageManager& language, VehicleDocument& doc) {
    const FgsReadResult result = ReadFgs(bytes, FgsDefaultsFrom(language), doc);
    if (result.damaged) {
        throw FgsDamageError(path, result);
    }
}

// "01" to "36", the way the editor numbers symbols from 1.
std::string SymbolLabel(int symbol) {
    std::string label = std::to_string(symbol + 1);
    if (label.size() < 2) {
        label.insert(0, 2 - label.size(), '0');
    }
    return label;
}

void PrintText(std::ostream& out, const char* label, const std::string& text) {
    // Continuation lines of a multi-line text are indented under the first.
    out << label;
    for (char c : text) {
        if (c == '\r') {
            continue;
        }
        out << c;
        if (c == '\n') {
            out << "  ";
        }
    }
    out << '\n';
}

std::string Utf8(std::string_view raw) {
    return Cp1252ToUtf8(raw);
}

// What a car has beyond its name: only what is set, so plain cars stay one line.
void CarDetails(std::ostream& out, const Car& car) {
    if (!car.text2.Empty() || !car.text3.Empty()) {
        out << "    texts: " << Utf8(car.text2.View()) << " | " << Utf8(car.text3.View()) << '\n';
    }
    if (car.carFlags != 0) {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%04X", unsigned(car.carFlags));
        out << "    flags: " << flags << '\n';
    }
    for (int view = 0; view < vehicles::kViewCount; ++view) {
        for (int segment = 0; segment < car.length && segment < vehicles::kMaxSegments; ++segment) {
            const std::uint16_t word = car.segmentFlags[std::size_t(view)][std::size_t(segment)];
            if (word != 0) {
                out << "    steam: view " << view << " segment " << segment << ' '
                    << (SteamChoice(word) == steam::kHalf    ? "half"
                        : SteamChoice(word) == steam::kWhole ? "whole"
                                                             : "other")
                    << '\n';
            }
        }
    }
}

void VehicleInfo(Context& ctx, const VehicleDocument& doc) {
    ctx.out << "kind: vehicles\n";
    PrintText(ctx.out, "author: ", Utf8(doc.Author()));
    PrintText(ctx.out, "description: ", Utf8(doc.Description()));
    PrintText(ctx.out, "info: ", Utf8(doc.InfoText()));
    for (int set = 0; set < doc.CountSets(); ++set) {
        ctx.out << "set " << set + 1 << ": " << Utf8(doc.Set(set).name.View()) << '\n';
        for (int car = 0; car < doc.CountCars(set); ++car) {
            const Car& record = doc.CarAt(set, car);
            ctx.out << "  car " << car + 1 << ": " << Utf8(record.name.View()) << " (length " << record.length
                    << " = " << 8 * record.length << " pixels)\n";
            CarDetails(ctx.out, record);
        }
    }
}

void CommandInfo(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 1, "info");
    const auto bytes = ReadInput(ctx, args[0]);
    if (DetectKind(bytes) == FileKind::Vehicles) {
        VehicleDocument doc;
        ReadVehicles(bytes, MessagePath(args[0]), ctx.language, doc);
        VehicleInfo(ctx, doc);
        return;
    }
    SceneryDocument doc;
    const GsLayout layout = ReadGs(bytes, MessagePath(args[0]), doc);
    ctx.out << "kind: scenery\n";
    if (layout == GsLayout::Oldest) {
        ctx.out << "layout: oldest (no version byte)\n";
    } else {
        ctx.out << "layout: version " << GsLayoutVersion(layout) << '\n';
    }
    PrintText(ctx.out, "author: ", doc.Author());
    PrintText(ctx.out, "info: ", doc.InfoText());
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        ctx.out << "symbol " << SymbolLabel(symbol) << ": rows";
        for (int row = 0; row < kRowCount; ++row) {
            if (doc.IsRowPresentForOutput(symbol, row)) {
                ctx.out << ' ' << row;
            }
        }
        ctx.out << '\n';
    }
}

// Reads a graphics file of either kind and writes what the matching function makes of it.
void WriteConverted(Context& ctx, const std::string& in, const std::string& out,
                    const std::function<std::vector<std::uint8_t>(const VehicleDocument&)>& vehicles,
                    const std::function<std::vector<std::uint8_t>(const SceneryDocument&)>& scenery) {
    const auto bytes = ReadInput(ctx, in);
    if (DetectKind(bytes) == FileKind::Vehicles) {
        VehicleDocument doc;
        ReadVehicles(bytes, MessagePath(in), ctx.language, doc);
        WriteOutput(ctx, out, vehicles(doc));
        return;
    }
    SceneryDocument doc;
    ReadGs(bytes, MessagePath(in), doc);
    WriteOutput(ctx, out, scenery(doc));
}

void CommandConvert(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "convert");
    WriteConverted(ctx, args[0], args[1], WriteFgs, [](const SceneryDocument& doc) { return WriteGs(doc); });
}

// The pixel check comes first, as in the editor: a refused export touches no file.
struct ExportRefused {
    std::string what;
};

void CommandExport(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "export");
    const auto bytes = ReadInput(ctx, args[0]);
    if (DetectKind(bytes) == FileKind::Vehicles) {
        RefuseStandardStream(args[1],
                             "export: the base name of the vehicle files OUTBASE.UFG and OUTBASE.UZZ");
        VehicleDocument doc;
        ReadVehicles(bytes, MessagePath(args[0]), ctx.language, doc);
        if (const auto problem = CheckVehicleExport(doc)) {
            throw ExportRefused{MessagePath(args[0]) + ": " +
                                OneLine(ExportProblemText(*problem, ctx.language))};
        }
        ExportVehicleFiles(args[1], doc, ctx.language, ExportTimeNow());
        return;
    }
    SceneryDocument doc;
    ReadGs(bytes, MessagePath(args[0]), doc);
    if (IsStandardStream(args[1])) {
        WriteOutput(ctx, args[1], WriteUzg(doc, ctx.language.GetText(uzg::kSignatureKey, "DATA")));
    } else {
        ExportUzgFile(args[1], doc, ctx.language);
    }
}

std::optional<int> DecimalArgument(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stoi(text);
}

// SET of --train: the set of that name first, so a set called "2" is found by its name; then
// the position 1..count in the document's order. Names are Windows-1252 in the file and UTF-8
// on the command line.
int FindTrainSet(const VehicleDocument& doc, const std::string& wanted, const std::string& path) {
    for (int set = 0; set < doc.CountSets(); ++set) {
        if (Utf8(doc.Set(set).name.View()) == wanted) {
            return set;
        }
    }
    if (const std::optional<int> number = DecimalArgument(wanted);
        number && *number >= 1 && *number <= doc.CountSets()) {
        return *number - 1;
    }
    std::string known;
    for (int set = 0; set < doc.CountSets(); ++set) {
        known += std::string(set == 0 ? "" : ", ") + '"' + OneLine(Utf8(doc.Set(set).name.View())) + '"';
    }
    const int count = doc.CountSets();
    throw std::runtime_error(MessagePath(path) + ": no set \"" + OneLine(wanted) + "\" (" +
                             (count == 0   ? std::string("no sets")
                              : count == 1 ? "1 set: " + known
                                           : std::to_string(count) + " sets: " + known) +
                             ")");
}

void WriteTrainPicture(Context& ctx, const std::string& in, const std::string& out, const std::string& wanted,
                       int zoom, int night) {
    const auto bytes = ReadInput(ctx, in);
    if (DetectKind(bytes) != FileKind::Vehicles) {
        throw std::runtime_error(MessagePath(in) +
                                 ": a scenery file has no sets; --train needs a vehicle file (.fgs)");
    }
    VehicleDocument doc;
    ReadVehicles(bytes, MessagePath(in), ctx.language, doc);
    const VehicleSet& set = doc.Set(FindTrainSet(doc, wanted, in));
    std::vector<std::uint8_t> png;
    try {
        png = TrainToPng(set, zoom, night);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(MessagePath(in) + ", set \"" + OneLine(Utf8(set.name.View())) +
                                 "\": " + e.what());
    }
    WriteOutput(ctx, out, png);
}

// to-png [--night N] [--train SET [--zoom ZOOM]] IN OUT.png: the colours of night state N are for
// looking at only.
void CommandToPng(Context& ctx, const std::vector<std::string>& args) {
    int night = 0;
    std::optional<std::string> trainSet;
    std::optional<int> zoom;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--night") {
            const std::string value = i + 1 < args.size() ? args[++i] : std::string();
            if (value.size() != 1 || value[0] < '1' || value[0] > '3') {
                throw UsageError{"to-png: --night takes a night state from 1 to 3"};
            }
            night = value[0] - '0';
        } else if (args[i] == "--train") {
            if (i + 1 >= args.size()) {
                throw UsageError{"to-png: --train needs a set name or number"};
            }
            trainSet = args[++i];
        } else if (args[i] == "--zoom") {
            zoom = i + 1 < args.size() ? DecimalArgument(args[++i]) : std::nullopt;
            if (!zoom || *zoom < 1 || *zoom > train::kMaxZoom) {
                throw UsageError{"to-png: --zoom takes a zoom from 1 to " + std::to_string(train::kMaxZoom)};
            }
        } else if (args[i].starts_with("--")) {
            throw UsageError{"to-png: unknown option " + args[i]};
        } else {
            names.push_back(args[i]);
        }
    }
    if (zoom && !trainSet) {
        throw UsageError{"to-png: --zoom is for the train picture of --train SET"};
    }
    ExpectArguments(names, 2, "to-png");
    if (trainSet) {
        WriteTrainPicture(ctx, names[0], names[1], *trainSet, zoom.value_or(1), night);
        return;
    }
    WriteConverted(
        ctx, names[0], names[1], [night](const VehicleDocument& doc) { return VehicleToPng(doc, night); },
        [night](const SceneryDocument& doc) { return SceneryToPng(doc, night); });
}

// A refused sheet says what helps on this command line.
template <typename Read>
auto ReadSheet(Read&& read) {
    try {
        return read();
    } catch (const UnmatchedColours& e) {
        throw std::runtime_error(std::string(e.what()) + "; use --nearest to map them");
    } catch (const NightPicture& e) {
        throw std::runtime_error(std::string(e.what()) + "; export without --night to read it back");
    }
}

void SayMapped(Context& ctx, const std::string& png, int mapped) {
    if (mapped > 0) {
        ctx.err << "zobl-tool: " << InputName(png) << ": " << mapped << (mapped == 1 ? " pixel" : " pixels")
                << " mapped to the nearest palette colour\n";
    }
}

// The sheet's pixels into the cars of an existing vehicle file, which is written only when the
// whole sheet fits.
void VehiclesFromPng(Context& ctx, const std::string& png, const std::string& into, bool nearest) {
    RefuseStandardStream(into, "from-png: --into, which is read and written again,");
    const auto bytes = ReadWholeFile(into);
    if (DetectKind(bytes) != FileKind::Vehicles) {
        throw FgsNotAVehicleFileError(into);
    }
    VehicleDocument doc;
    ReadVehicles(bytes, into, ctx.language, doc);
    const int mapped =
        ReadSheet([&] { return VehicleFromPng(ReadInput(ctx, png), InputName(png), doc, nearest); });
    SaveFgsFile(into, doc);
    SayMapped(ctx, png, mapped);
}

void CommandFromPng(Context& ctx, const std::vector<std::string>& args) {
    std::vector<std::string> names;
    std::optional<std::string> into;
    bool nearest = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--into") {
            if (i + 1 >= args.size()) {
                throw UsageError{"from-png: --into needs a file name"};
            }
            into = args[++i];
        } else if (args[i] == "--nearest") {
            nearest = true;
        } else if (args[i].starts_with("--")) {
            throw UsageError{"from-png: unknown option " + args[i]};
        } else {
            names.push_back(args[i]);
        }
    }
    if (into) {
        ExpectArguments(names, 1, "from-png with --into");
        VehiclesFromPng(ctx, names[0], *into, nearest);
        return;
    }
    ExpectArguments(names, 2, "from-png");
    SceneryDocument doc;
    const auto read = ReadSheet(
        [&] { return SceneryFromPng(ReadInput(ctx, names[0]), InputName(names[0]), doc, nearest); });
    WriteOutput(ctx, names[1], WriteGs(doc));
    SayMapped(ctx, names[0], read.mapped);
    for (const SkippedRow& s : read.skipped) {
        ctx.err << "zobl-tool: " << names[0] << ": symbol " << SymbolLabel(s.symbol) << ", row " << s.row
                << " is drawn but cannot be present beside the other rows; it was left out\n";
    }
}

// Options of the simulator commands, anywhere among their arguments.
struct SimOptions {
    std::optional<std::string> folder;
    unsigned categories = simimport::kUserCategories;
    std::optional<std::string> into;
    std::optional<std::string> set;
    std::vector<std::string> rest;
};

SimOptions ParseSimOptions(const std::vector<std::string>& args, const std::string& command, bool importing) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{command + ": " + arg + " needs a value"};
            }
            return args[++i];
        };
        if (arg == "--sim") {
            options.folder = value();
        } else if (arg == "--categories" && !importing) {
            const std::string& text = value();
            const bool hex = text.starts_with("0x") || text.starts_with("0X");
            const std::string digits = hex ? text.substr(2) : text;
            bool valid = !digits.empty() && digits.size() <= 16;
            for (const char c : digits) {
                const auto byte = static_cast<unsigned char>(c);
                valid = valid && (hex ? std::isxdigit(byte) : std::isdigit(byte));
            }
            const unsigned long long mask = valid ? std::stoull(digits, nullptr, hex ? 16 : 10) : 0;
            if (!valid || mask > 0xFFFF) {
                throw UsageError{command +
                                 ": --categories takes a mask of 16 bits, decimal or 0x... hexadecimal"};
            }
            options.categories = static_cast<unsigned>(mask);
        } else if (arg == "--into" && importing) {
            options.into = value();
        } else if (arg == "--set" && importing) {
            options.set = value();
        } else if (arg.starts_with("--")) {
            throw UsageError{command + ": unknown option " + arg};
        } else {
            options.rest.push_back(arg);
        }
    }
    return options;
}

// --sim names the folder itself; without it the reader looks from the current folder.
void UseSimFolder(simimport::SimVehicleReader& reader, const std::optional<std::string>& folder) {
    if (folder) {
        std::string prefix = *folder;
        if (!prefix.empty() && prefix.back() != '/') {
            prefix += '/';
        }
        reader.SetSimulatorFolder(prefix);
    }
}

[[noreturn]] void ThrowQueryFailure(const std::string& failedFile, int result, int identifier,
                                    const std::optional<std::string>& folder) {
    if (result == simimport::kSimulatorNotFound) {
        throw std::runtime_error(
            folder ? "no simulator in " + *folder + " (TRAK.ZGG and TRAK.FZG are needed)"
                   : "simulator not found: TRAK.ZGG and TRAK.FZG are neither in the current "
                     "folder nor in the folder T381_PFAD names");
    }
    if (!failedFile.empty()) {
        throw MessageError(message::kFileError, failedFile);
    }
    throw std::runtime_error("the simulator has no vehicle " + std::to_string(identifier));
}

void CommandSimList(Context& ctx, const std::vector<std::string>& args) {
    const SimOptions options = ParseSimOptions(args, "sim-list", false);
    if (!options.rest.empty()) {
        throw UsageError{"sim-list: unexpected argument " + options.rest.front()};
    }
    simimport::SimVehicleReader reader;
    UseSimFolder(reader, options.folder);
    simimport::SimListing listing(reader, options.categories);
    if (const auto status = listing.RunToEnd(); status != simimport::SimListing::Status::Finished) {
        ThrowQueryFailure(listing.FailedFile(),
                          status == simimport::SimListing::Status::NotFound ? simimport::kSimulatorNotFound
                                                                            : simimport::kSimFileError,
                          0, options.folder);
    }
    if (listing.Entries().empty()) {
        // An empty listing is no failure: nothing on standard output, a word on standard error.
        ctx.err << "zobl-tool: " << OneLine(MessageText(ctx.language, message::kImportNothingListed)) << '\n';
        return;
    }
    // Printed only when the whole listing could be read.
    std::string lines;
    for (const simimport::SimListEntry& entry : listing.Entries()) {
        lines += std::to_string(entry.identifier) + '\t' + OneLine(entry.groupName) + '\t' +
                 OneLine(entry.firstText) + '\n';
    }
    ctx.out << lines;
}

// Either every named vehicle goes into the file or none: the file is written once at the end.
void CommandSimImport(Context& ctx, const std::vector<std::string>& args) {
    const SimOptions options = ParseSimOptions(args, "sim-import", true);
    if (!options.into || !options.set) {
        throw UsageError{"sim-import needs --into FILE.fgs and --set N"};
    }
    const std::optional<int> set = DecimalArgument(*options.set);
    if (!set) {
        throw UsageError{"sim-import: --set takes a set number counted from 0"};
    }
    std::vector<int> identifiers;
    for (const std::string& arg : options.rest) {
        const std::optional<int> identifier = DecimalArgument(arg);
        if (!identifier) {
            throw UsageError{"sim-import: " + arg + " is no vehicle identifier"};
        }
        identifiers.push_back(*identifier);
    }
    RefuseStandardStream(*options.into, "sim-import: --into, which is read and written again,");
    const auto bytes = ReadWholeFile(*options.into);
    if (DetectKind(bytes) != FileKind::Vehicles) {
        throw MessageError(message::kUnsupportedFormat, FileNameOf(*options.into), "not a vehicle file");
    }
    VehicleDocument doc;
    ReadVehicles(bytes, *options.into, ctx.language, doc);
    if (identifiers.empty()) {
        throw MessageError(message::kImportNoVehicleChosen, "");
    }
    if (*set >= doc.CountSets()) {
        throw MessageError(message::kImportNoSetChosen, "");
    }
    simimport::SimVehicleReader reader;
    UseSimFolder(reader, options.folder);
    simimport::SimVehicle vehicle;
    for (const int identifier : identifiers) {
        const int result = reader.QueryVehicle(identifier, simimport::kUserCategories, &vehicle);
        if (result < 0 && reader.VehicleTooLong()) {
            throw MessageError(message::kImportVehicleTooLong, std::to_string(identifier));
        }
        if (result < 0) {
            ThrowQueryFailure(reader.FailedFile(), result, identifier, options.folder);
        }
        const int problem = simimport::ImportVehicle(doc, *set, &vehicle, MouseMode::View);
        if (problem == message::kImportNoImages || problem == simimport::kImportRefusedByDocument) {
            throw std::runtime_error("vehicle " + std::to_string(identifier) +
                                     " has no images (length 0) and cannot become a car");
        }
        if (problem != 0) {
            throw MessageError(problem, "");
        }
    }
    SaveFgsFile(*options.into, doc);
}

using Command = std::function<void(Context&, const std::vector<std::string>&)>;

// A preview picture for file managers: thumbnail [-s SIZE] IN OUT.png.
void CommandThumbnail(Context& ctx, const std::vector<std::string>& args) {
    int size = kDefaultThumbnailSize;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-s" || args[i] == "--size") {
            const std::optional<int> value =
                i + 1 < args.size() ? DecimalArgument(args[i + 1]) : std::nullopt;
            if (!value || *value < 1 || *value > kMaxThumbnailSize) {
                throw UsageError{"thumbnail: -s takes a size from 1 to " + std::to_string(kMaxThumbnailSize)};
            }
            size = *value;
            ++i;
        } else {
            names.push_back(args[i]);
        }
    }
    ExpectArguments(names, 2, "thumbnail");
    WriteConverted(
        ctx, names[0], names[1], [size](const VehicleDocument& doc) { return VehicleThumbnail(doc, size); },
        [size](const SceneryDocument& doc) { return SceneryThumbnail(doc, size); });
}

// The colours for other paint programs: palette [--format F] [--night N] OUT.
void CommandPalette(Context& ctx, const std::vector<std::string>& args) {
    std::optional<PaletteFormat> format;
    int state = 0;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
        if (args[i] == "--format") {
            format = value != nullptr ? PaletteFormatNamed(*value) : std::nullopt;
            if (!format) {
                throw UsageError{"palette: --format takes gpl, pal, hex or png"};
            }
            ++i;
        } else if (args[i] == "--night") {
            const std::optional<int> night = value != nullptr ? DecimalArgument(*value) : std::nullopt;
            if (!night || *night < 1 || *night > Palette::kNightStates) {
                throw UsageError{"palette: --night takes a night state from 1 to 3"};
            }
            state = *night;
            ++i;
        } else if (args[i].starts_with("--")) {
            throw UsageError{"palette: unknown option " + args[i]};
        } else {
            names.push_back(args[i]);
        }
    }
    ExpectArguments(names, 1, "palette");
    if (!format && IsStandardStream(names[0])) {
        throw UsageError{"palette: standard output ('-') needs --format"};
    }
    if (!format) {
        format = PaletteFormatOfPath(names[0]);
    }
    if (!format) {
        throw UsageError{"palette: " + names[0] +
                         ": unknown extension; use .gpl, .pal, .hex or .png, or --format"};
    }
    WriteOutput(ctx, names[0], PaletteFileBytes(*format, state, ctx.language));
}

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"info", CommandInfo},        {"convert", CommandConvert},      {"export", CommandExport},
        {"to-png", CommandToPng},     {"thumbnail", CommandThumbnail},  {"from-png", CommandFromPng},
        {"sim-list", CommandSimList}, {"sim-import", CommandSimImport}, {"palette", CommandPalette},
    };
    return commands;
}

}  // namespace

std::string ToolUsage() {
    return "usage: zobl-tool [--lang FILE] COMMAND ARGS...\n"
           "\n"
           "commands:\n"
           "  info FILE               kind, layout, author, info text and rows of a graphics file,\n"
           "                          or texts, sets and cars of a vehicle file\n"
           "  convert IN.gs OUT.gs    read any scenery layout, write the current one\n"
           "  convert IN.fgs OUT.fgs  read and write a vehicle file again\n"
           "  export IN.gs OUT.uzg    write the simulator's user-graphics file\n"
           "  export IN.fgs OUTBASE   write the simulator's vehicle files OUTBASE.UFG and OUTBASE.UZZ\n"
           "  to-png [--night N] IN.gs OUT.png\n"
           "                          the pixels as an indexed PNG of 1152 x 80\n"
           "  to-png [--night N] IN.fgs OUT.png\n"
           "                          every car's views on one indexed PNG sheet: a band per set,\n"
           "                          the cars left to right, views 1, 2, 0, 3 top to bottom\n"
           "                          (--night 1..3: in the colours of that night state, for\n"
           "                          looking at; such a picture is not read back)\n"
           "  to-png --train SET [--zoom ZOOM] [--night N] IN.fgs OUT.png\n"
           "                          the train picture of one set: its cars coupled, forwards\n"
           "                          (view 1) above backwards (view 2), every pixel ZOOM x ZOOM\n"
           "                          (1..16, default 1); SET is the set's name or its number\n"
           "                          from 1 in the file's order\n"
           "  from-png [--nearest] IN.png OUT.gs\n"
           "                          a scenery file from a PNG of 1152 x 80\n"
           "  from-png [--nearest] IN.png --into DOC.fgs\n"
           "                          the views of such a sheet back into the cars of DOC.fgs,\n"
           "                          which must have the same sets and cars\n"
           "                          (any PNG: indexed as to-png writes it, or grey, RGB or RGBA\n"
           "                          in exact palette colours, alpha 0 transparent; other colours\n"
           "                          are refused, or with --nearest mapped to the nearest\n"
           "                          ordinary colour)\n"
           "  thumbnail [-s SIZE] IN OUT.png\n"
           "                          a preview picture of at most SIZE x SIZE (default 128) for\n"
           "                          file managers: the symbols, or the cars' side views\n"
           "  sim-list [--sim DIR] [--categories MASK]\n"
           "                          the simulator's vehicles: identifier, group and first text\n"
           "                          (MASK decimal or 0x..., default 0x6FFF: every category)\n"
           "  sim-import [--sim DIR] --into DOC.fgs --set N ID...\n"
           "                          append the simulator's vehicles ID... to set N (from 0) of\n"
           "                          DOC.fgs; all of them or, on any failure, none\n"
           "                          (without --sim the simulator is looked for from the current\n"
           "                          folder, then where its Wine setting T381_PFAD points)\n"
           "  palette [--format gpl|pal|hex|png] [--night N] OUT\n"
           "                          the 100 colours for other paint programs, in palette order:\n"
           "                          GIMP palette, JASC palette, hex list or 10 x 10 PNG; the\n"
           "                          format from OUT's extension unless given; --night N (1..3)\n"
           "                          the colours of that night state\n"
           "\n"
           "options:\n"
           "  --lang FILE             language file instead of zobl_ge.rtx (zobl_ge.en.rtx when\n"
           "                          LANGUAGE, LC_ALL, LC_MESSAGES or LANG asks for English),\n"
           "                          which is looked for in " +
           ProgramFolder() +
           " (beside the tool),\n"
           "                          then in " +
           InstalledDataFolder() +
           "\n"
           "  --help                  this text\n"
           "  --version               the program's name and version\n"
           "\n"
           "A file name '-' stands for standard input or output (not for OUTBASE, nor for --into).\n"
           "Files are recognised by their content, not their names. A damaged vehicle file is a\n"
           "failure. SOURCE_DATE_EPOCH, when set, is the time written into vehicle exports.\n"
           "\n"
           "Exit status: 0 success, 1 failure, 2 wrong command line.\n";
}

std::string ToolLanguageFile(const std::optional<std::string>& given, const EnvironmentLookup& environment,
                             const DataFinder& find) {
    // A file given on the command line is taken as it is, relative to the current folder.
    return given ? std::filesystem::absolute(*given).string()
                 : LanguageFilePath(LanguageFromEnvironment(environment), find);
}

int RunTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    std::optional<std::string> languageFile;
    std::size_t next = 0;
    try {
        for (; next < args.size() && args[next].starts_with("--"); ++next) {
            if (args[next] == "--help") {
                out << ToolUsage();
                return kToolSuccess;
            }
            if (args[next] == "--version") {
                out << "zobl-tool " << ZOBL_VERSION << '\n';
                return kToolSuccess;
            }
            if (args[next] == "--lang") {
                if (++next >= args.size()) {
                    throw UsageError{"--lang needs a file name"};
                }
                languageFile = args[next];
            } else if (args[next] == "--") {
                ++next;
                break;
            } else {
                throw UsageError{"unknown option " + args[next]};
            }
        }
        if (next >= args.size()) {
            throw UsageError{"no command given"};
        }
        const auto command = Commands().find(args[next]);
        if (command == Commands().end()) {
            throw UsageError{"unknown command " + args[next]};
        }
        if (languageFile && !std::filesystem::is_regular_file(*languageFile)) {
            err << "zobl-tool: " << *languageFile << ": language file not found\n";
            return kToolFailure;
        }
        const CLanguageManager language(ToolLanguageFile(languageFile, std::getenv, FindProgramData));
        Context ctx{language, in, out, err};
        const std::vector<std::string> rest(args.begin() + std::ptrdiff_t(next) + 1, args.end());
        try {
            command->second(ctx, rest);
        } catch (const ExportRefused& e) {
            err << "zobl-tool: " << e.what << '\n';
            return kToolFailure;
        } catch (const MessageError& e) {
            std::string text = OneLine(MessageText(language, e.Number(), e.Argument()));
            if (!e.Argument().empty() && text.find(e.Argument()) == std::string::npos) {
                text = e.Argument() + ": " + text;
            }
            err << "zobl-tool: " << text << '\n';
            return kToolFailure;
        }
        return kToolSuccess;
    } catch (const UsageError& e) {
        err << "zobl-tool: " << e.what << "\nTry 'zobl-tool --help' for more.\n";
        return kToolUsageError;
    } catch (const std::exception& e) {
        err << "zobl-tool: " << e.what() << '\n';
        return kToolFailure;
    }
}

}  // namespace zobl
