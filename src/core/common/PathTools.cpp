#include "core/common/PathTools.h"

#include <filesystem>
#include <system_error>

// The installed data folder relative to the programs' folder (the build sets it from the install
// directories).
#ifndef ZOBL_INSTALLED_DATA_FOLDER
#define ZOBL_INSTALLED_DATA_FOLDER "../share/zobl_ge/"
#endif

namespace zobl {

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without /proc the working folder is the best guess left.
    if (error || exe.empty())
        return "./";
    return FolderOfPath(exe.string());
}

std::string InstalledDataFolder() {
    return std::filesystem::path(ProgramFolder() + ZOBL_INSTALLED_DATA_FOLDER).lexically_normal().string();
}

std::string FindProgramData(std::string_view name) {
    const std::string beside = ProgramFolder() + std::string(name);
    std::error_code error;
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    const std::string installed = InstalledDataFolder() + std::string(name);
    if (std::filesystem::exists(installed, error)) {
        return installed;
    }
    return beside;
}

std::string FolderOfPath(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    return std::string(path.substr(0, slash + 1));
}

std::string FileNameOfPath(std::string_view path, bool withExtension) {
    const auto slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!withExtension) {
        const auto dot = name.rfind('.');
        if (dot != std::string_view::npos)
            name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string ProposedSaveName(std::string_view title, std::string_view extension) {
    constexpr std::string_view kUnsafe = " #%;/\\";
    // What the title starts with that cannot start a name: the cut characters, and dots, which
    // would make the file hidden.
    const std::size_t start = title.find_first_not_of(std::string(kUnsafe) + ".");
    if (start == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = title.substr(start);
    return std::string(rest.substr(0, rest.find_first_of(kUnsafe))) + std::string(extension);
}

}  // namespace zobl
