#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/simimport/SimFiles.h"

namespace zobl::simimport {

// Finding the simulator's installation. The simulator is a program of another platform that its
// users run under Wine, so its maker setting T381_PFAD lives in the Wine prefix: first in the
// profile file drive_c/windows/win.ini (section "Velmorax_ChKMSt"), then in the registry file
// user.reg (key Software\Velmorax_ChKMSt, a plain string value). WINEPREFIX names the prefix,
// ~/.wine when it is not set.

// The simulator's own limit for its paths and names.
inline constexpr std::size_t kSimPathMax = 260;

inline constexpr const char* kMakerSection = "Velmorax_ChKMSt";
inline constexpr const char* kMakerRegistryKey = "Software\\Velmorax_ChKMSt";
inline constexpr const char* kInstallPathValue = "T381_PFAD";
inline constexpr const char* kGroupFileName = "TRAK.ZGG";
inline constexpr const char* kImageFileName = "TRAK.FZG";
inline constexpr const char* kIniFileName = "TRAK.INI";
inline constexpr const char* kDefaultTextFileName = "TRAK.LNG";

struct SimulatorLocation {
    // A plain prefix for every simulator file name: empty (the current folder) or ending in '/'.
    std::string directory;
    // The simulator's text file, relative to directory.
    std::string textFileName;
};

// The simulator's files come from a case-insensitive file system: a name that does not exist as
// spelt is looked up component by component without regard to ASCII letter case (an exact match
// wins; among several others the first in byte order). The path of the existing regular file,
// or nullopt.
std::optional<std::string> FindSimFile(const std::string& fullName);

// True when the file (found as files.Find does) can be opened for binary reading.
bool FileExists(const std::string& fullName, const SimFileSystem& files = DiskSimFiles());

// The Wine prefix: $WINEPREFIX, else $HOME/.wine; nullopt when neither variable is set.
std::optional<std::string> WinePrefix();

// The first plain string value valueName of key in the text of a Wine registry file (user.reg).
// Key and value names are compared without regard to ASCII letter case. nullopt when the key or
// the value is missing, or the value is of another type (dword:, hex:, str(2): ...).
std::optional<std::string> FindWineRegistryString(std::string_view content, std::string_view key,
                                                  std::string_view valueName);

// One value of the maker setting store: win.ini first (cut to bufferSize - 1 bytes, then read as
// Windows-1252 unless it is valid UTF-8), then user.reg (a value that does not fit bufferSize
// with its terminator is not taken), else defaultText (cut likewise). UTF-8.
std::string ReadMakerSetting(std::string_view valueName, std::string_view defaultText,
                             std::size_t bufferSize = kSimPathMax);

// A Windows path "X:\dir\" as a local path through the prefix's dosdevices/x: link, backslashes
// turned into slashes ("<prefix>/dosdevices/x:/dir/"). Anything that does not start with a drive
// letter and a colon is returned unchanged.
std::string MapWindowsPath(std::string_view windowsPath, std::string_view prefix);

// Whether a file name read from the simulator's files names a file inside its folder: relative,
// no drive letter (no ':' at all) and no ".." part, with a slash or a backslash between parts.
// "TEXT\DE.LNG" is inside; "..\x.txt", "/etc/passwd" and "C:\x.txt" are not.
bool IsNameInsideFolder(std::string_view name);

// The simulator in this folder (a prefix as in SimulatorLocation::directory): both data files
// must exist; the text file name comes from TRAK.INI [TRAK_381] Sprache (Windows-1252 unless it
// is valid UTF-8), "TRAK.LNG" when that is missing, too long, names no file or a file outside
// the folder.
std::optional<SimulatorLocation> CheckSimulatorFolder(const std::string& directory,
                                                      const SimFileSystem& files = DiskSimFiles());

// The whole lookup: path (normally empty, the current folder) is tried first; otherwise path is
// replaced by the mapped maker setting T381_PFAD and tried again. On success path holds the
// simulator directory. The maker setting is always read from the Wine prefix on this machine.
std::optional<SimulatorLocation> LocateSimulator(std::string& path,
                                                 const SimFileSystem& files = DiskSimFiles());

}  // namespace zobl::simimport
