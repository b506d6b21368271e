#include "tool/ToolCommands.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/lang/LanguageManager.h"
#include "core/lang/Messages.h"
#include "core/scenery/GsFile.h"
#include "core/scenery/SceneryDocument.h"
#include "core/scenery/UzgExport.h"
#include "tool/SceneryPng.h"

namespace zobl {

using namespace scenery;

namespace {

// A command-line mistake: the usage text follows the message.
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
    std::ostream& out;
    std::ostream& err;
};

void ExpectArguments(const std::vector<std::string>& args, std::size_t count, const std::string& command) {
    if (args.size() != count) {
        throw UsageError{command + " takes " + std::to_string(count) + " file name" +
                         (count == 1 ? "" : "s")};
    }
}

void ReadScenery(const std::string& path, SceneryDocument& doc, GsLayout* layout = nullptr) {
    const auto bytes = ReadWholeFile(path);
    if (DetectKind(bytes) != FileKind::Scenery) {
        throw MessageError(message::kUnsupportedFormat, FileNameOf(path),
                           "a vehicle file, not a scenery file");
    }
    const GsLayout read = ReadGs(bytes, path, doc);
    if (layout) {
        *layout = read;
    }
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

void CommandInfo(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 1, "info");
    const auto bytes = ReadWholeFile(args[0]);
    if (DetectKind(bytes) == FileKind::Vehicles) {
        throw MessageError(message::kUnsupportedFormat, FileNameOf(args[0]),
                           "vehicle files are not supported yet");
    }
    SceneryDocument doc;
    const GsLayout layout = ReadGs(bytes, args[0], doc);
    ctx.out << "kind: scenery\n";
    if (layout == GsLayout::Oldest) {
        ctx.out << "layout: oldest (no version byte)\n";
    } else {
        ctx.out << "layout: version " << GsLayoutVersion(layout) << '\n';
    }
    PrintText(ctx.out, "author: ", doc.Author());
    PrintText(ctx.out, "info: ", doc.InfoText());
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", symbol + 1);
        ctx.out << "symbol " << number << ": rows";
        for (int row = 0; row < kRowCount; ++row) {
            if (doc.IsRowPresentForOutput(symbol, row)) {
                ctx.out << ' ' << row;
            }
        }
        ctx.out << '\n';
    }
}

void CommandConvert(Context&, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "convert");
    SceneryDocument doc;
    ReadScenery(args[0], doc);
    SaveGsFile(args[1], doc);
}

void CommandExport(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "export");
    SceneryDocument doc;
    ReadScenery(args[0], doc);
    ExportUzgFile(args[1], doc, ctx.language);
}

void CommandToPng(Context&, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "to-png");
    SceneryDocument doc;
    ReadScenery(args[0], doc);
    WriteFileAtomically(args[1], SceneryToPng(doc));
}

void CommandFromPng(Context& ctx, const std::vector<std::string>& args) {
    ExpectArguments(args, 2, "from-png");
    SceneryDocument doc;
    const auto skipped = SceneryFromPng(ReadWholeFile(args[0]), FileNameOf(args[0]), doc);
    SaveGsFile(args[1], doc);
    for (const SkippedRow& s : skipped) {
        char symbol[8];
        std::snprintf(symbol, sizeof symbol, "%02d", s.symbol + 1);
        ctx.err << "zobl-tool: " << args[0] << ": symbol " << symbol << ", row " << s.row
                << " is drawn but cannot be present beside the other rows; it was left out\n";
    }
}

using Command = std::function<void(Context&, const std::vector<std::string>&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"info", CommandInfo},    {"convert", CommandConvert},  {"export", CommandExport},
        {"to-png", CommandToPng}, {"from-png", CommandFromPng},
    };
    return commands;
}

}  // namespace

std::string ToolUsage() {
    return "usage: zobl-tool [--lang FILE] COMMAND ARGS...\n"
           "\n"
           "commands:\n"
           "  info FILE               kind, layout, author, info text and rows of a graphics file\n"
           "  convert IN.gs OUT.gs    read any scenery layout, write the current one\n"
           "  export IN.gs OUT.uzg    write the simulator's user-graphics file\n"
           "  to-png IN.gs OUT.png    the pixels as an indexed PNG of 1152 x 80\n"
           "  from-png IN.png OUT.gs  a scenery file from a PNG of 1152 x 80\n"
           "\n"
           "options:\n"
           "  --lang FILE             language file instead of zobl_ge.rtx beside the tool\n"
           "  --help                  this text\n"
           "\n"
           "Exit status: 0 success, 1 failure, 2 wrong command line.\n";
}

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> languageFile;
    std::size_t next = 0;
    try {
        for (; next < args.size() && args[next].starts_with("--"); ++next) {
            if (args[next] == "--help") {
                out << ToolUsage();
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
        // A language file given on the command line is taken as it is, relative to the current
        // folder; the default one lies beside the tool.
        const CLanguageManager language(languageFile ? std::filesystem::absolute(*languageFile).string()
                                                     : std::string(CLanguageManager::kDefaultFileName));
        Context ctx{language, out, err};
        const std::vector<std::string> rest(args.begin() + std::ptrdiff_t(next) + 1, args.end());
        try {
            command->second(ctx, rest);
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
        err << "zobl-tool: " << e.what << "\n\n" << ToolUsage();
        return kToolUsageError;
    } catch (const std::exception& e) {
        err << "zobl-tool: " << e.what() << '\n';
        return kToolFailure;
    }
}

}  // namespace zobl
