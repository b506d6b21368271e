#include "core/simimport/SimLocator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/text/CodePages.h"
#include "core/text/IniFile.h"

namespace zobl::simimport {
namespace {

namespace fs = std::filesystem;

// The entry of folder whose name equals name without regard to case; nullopt when none does.
std::optional<fs::path> FindInFolder(const fs::path& folder, const std::string& name) {
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    if (error) {
        return std::nullopt;
    }
    std::optional<std::string> best;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        const std::string candidate = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(candidate, name) && (!best || candidate < *best)) {
            best = candidate;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return folder / *best;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A registry-file string from pos up to the unescaped terminator, which is consumed. The file
// escapes backslashes and quotes with a backslash, control characters as in C, and characters
// beyond ASCII as \x followed by up to four hex digits (one UTF-16 unit). nullopt when the
// terminator is missing.
std::optional<std::string> DecodeRegistryString(std::string_view text, std::size_t& pos, char terminator) {
    std::string out;
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == terminator) {
            return out;
        }
        if (c != '\\' || pos >= text.size()) {
            out += c;
            continue;
        }
        const char e = text[pos++];
        switch (e) {
            case 'a':
                out += '\a';
                break;
            case 'b':
                out += '\b';
                break;
            case 'e':
                out += '\x1B';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'v':
                out += '\v';
                break;
            case 'x': {
                char32_t unit = 0;
                int digits = 0;
                for (; digits < 4 && pos < text.size() && HexValue(text[pos]) >= 0; ++digits) {
                    unit = unit * 16 + static_cast<char32_t>(HexValue(text[pos++]));
                }
                if (digits == 0) {
                    out += 'x';
                } else {
                    // A lone surrogate becomes U+FFFD there.
                    AppendUtf8(out, unit);
                }
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1;
                         digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++digits) {
                        value = value * 8 + static_cast<unsigned>(text[pos++] - '0');
                    }
                    out += static_cast<char>(value & 0xFF);
                } else {
                    out += e;
                }
        }
    }
    return std::nullopt;
}

std::string Cut(std::string_view text, std::size_t maxLength) {
    return std::string(text.substr(0, maxLength));
}

// A Windows program writes its INI files in its code page, Windows-1252 here; Wine names the
// files on the disk in UTF-8. A text that is valid UTF-8 already stays as it is.
std::string WindowsTextAsUtf8(std::string_view text) {
    return IsValidUtf8(text) ? std::string(text) : Cp1252ToUtf8(text);
}

}  // namespace

std::optional<std::string> FindSimFile(const std::string& fullName) {
    if (fullName.empty()) {
        return std::nullopt;
    }
    if (IsRegularFile(fullName)) {
        return fullName;
    }
    const fs::path path(fullName);
    fs::path found;
    for (const fs::path& part : path) {
        const std::string name = part.string();
        if (name.empty()) {
            continue;
        }
        if (part == path.root_path() || name == "." || name == ".." || name == "/") {
            found /= part;
            continue;
        }
        std::error_code error;
        const fs::path exact = found / part;
        if (fs::exists(exact, error)) {
            found = exact;
            continue;
        }
        const std::optional<fs::path> other = FindInFolder(found, name);
        if (!other) {
            return std::nullopt;
        }
        found = *other;
    }
    if (!IsRegularFile(found)) {
        return std::nullopt;
    }
    return found.string();
}

bool FileExists(const std::string& fullName, const SimFileSystem& files) {
    const std::optional<std::string> name = files.Find(fullName);
    return name && files.Open(*name) != nullptr;
}

std::optional<std::string> WinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        return std::string(prefix);
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.wine";
    }
    return std::nullopt;
}

std::optional<std::string> FindWineRegistryString(std::string_view content, std::string_view key,
                                                  std::string_view valueName) {
    bool inKey = false;
    std::size_t lineStart = 0;
    while (lineStart < content.size()) {
        std::size_t lineEnd = content.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) {
            lineEnd = content.size();
        }
        std::string_view line = content.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::size_t pos = 1;
        if (line.starts_with('[')) {
            const std::optional<std::string> name = DecodeRegistryString(line, pos, ']');
            inKey = name && EqualsIgnoringAsciiCase(*name, key);
        } else if (inKey && line.starts_with('"')) {
            const std::optional<std::string> name = DecodeRegistryString(line, pos, '"');
            if (!name || !EqualsIgnoringAsciiCase(*name, valueName)) {
                continue;
            }
            // The first entry of that name decides: a value of another type means no string.
            if (pos + 1 >= line.size() || line[pos] != '=' || line[pos + 1] != '"') {
                return std::nullopt;
            }
            pos += 2;
            std::optional<std::string> value = DecodeRegistryString(line, pos, '"');
            if (value) {
                // The stored string ends at its first zero character.
                value->resize(std::min(value->size(), value->find('\0')));
            }
            return value;
        }
    }
    return std::nullopt;
}

std::string ReadMakerSetting(std::string_view valueName, std::string_view defaultText,
                             std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    if (const std::optional<std::string> prefix = WinePrefix()) {
        if (const std::optional<std::string> winIni = FindSimFile(*prefix + "/drive_c/windows/win.ini")) {
            const std::string value = GetProfileString(*winIni, kMakerSection, valueName, "", bufferSize - 1);
            if (!value.empty()) {
                return WindowsTextAsUtf8(value);
            }
        }
        if (const std::optional<std::string> userReg = FindSimFile(*prefix + "/user.reg")) {
            if (const std::optional<std::string> content = ReadTextFile(*userReg)) {
                std::optional<std::string> value =
                    FindWineRegistryString(*content, kMakerRegistryKey, valueName);
                // Like a registry query into a buffer: a value that does not fit is no value.
                if (value && value->size() < bufferSize) {
                    return std::move(*value);
                }
            }
        }
    }
    return Cut(defaultText, bufferSize - 1);
}

std::string MapWindowsPath(std::string_view windowsPath, std::string_view prefix) {
    const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                          ((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') ||
                           (windowsPath[0] >= 'a' && windowsPath[0] <= 'z'));
    if (!hasDrive) {
        return std::string(windowsPath);
    }
    while (prefix.size() > 1 && prefix.back() == '/') {
        prefix.remove_suffix(1);
    }
    std::string out(prefix);
    out += "/dosdevices/";
    out += FoldAsciiCase(windowsPath[0]);
    out += ':';
    std::string_view rest = windowsPath.substr(2);
    if (!rest.empty() && rest.front() != '\\' && rest.front() != '/') {
        out += '/';
    }
    for (char c : rest) {
        out += (c == '\\') ? '/' : c;
    }
    return out;
}

bool IsNameInsideFolder(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        name.find(':') != std::string_view::npos) {
        return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

std::optional<SimulatorLocation> CheckSimulatorFolder(const std::string& directory,
                                                      const SimFileSystem& files) {
    if (!FileExists(directory + kGroupFileName, files) || !FileExists(directory + kImageFileName, files)) {
        return std::nullopt;
    }
    SimulatorLocation location{directory, {}};
    if (const std::optional<std::string> ini = files.Find(directory + kIniFileName)) {
        if (const std::optional<std::string> content = ReadWholeSimFile(files, *ini, kMaxTextFileSize)) {
            if (const std::optional<std::string_view> name = FindIniValue(*content, "TRAK_381", "Sprache");
                name && name->size() <= kSimPathMax) {
                location.textFileName = WindowsTextAsUtf8(*name);
            }
        }
    }
    // The name may be a relative Windows path, but one that stays inside the simulator's folder.
    std::replace(location.textFileName.begin(), location.textFileName.end(), '\\', '/');
    if (!IsNameInsideFolder(location.textFileName) || !FileExists(directory + location.textFileName, files)) {
        location.textFileName = kDefaultTextFileName;
    }
    return location;
}

std::optional<SimulatorLocation> LocateSimulator(std::string& path, const SimFileSystem& files) {
    if (std::optional<SimulatorLocation> location = CheckSimulatorFolder(path, files)) {
        return location;
    }
    const std::string setting = ReadMakerSetting(kInstallPathValue, "", kSimPathMax);
    const std::optional<std::string> prefix = WinePrefix();
    path = prefix ? MapWindowsPath(setting, *prefix) : setting;
    return CheckSimulatorFolder(path, files);
}

}  // namespace zobl::simimport
