#include "core/common/PrivateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/common/MessageError.h"

namespace zobl {

namespace {

namespace fs = std::filesystem;

// Makes one folder 0700. The mode is set through the new folder itself, never through a
// name that could meanwhile be a link.
bool MakeOneFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0) {
        return errno == EEXIST;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

bool IsOnePrivateFolder(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The first of the last `levels` folders of path that is not the user's alone; nullopt when all are.
std::optional<std::string> FirstSharedFolder(const std::string& path, int levels) {
    const fs::path folder = fs::path(path).lexically_normal();
    fs::path checked = folder.has_filename() ? folder : folder.parent_path();
    for (int level = 0; level < levels && !checked.empty(); ++level) {
        if (!IsOnePrivateFolder(checked.string())) {
            return checked.string();
        }
        if (checked == checked.root_path()) {
            break;
        }
        checked = checked.parent_path();
    }
    return std::nullopt;
}

}  // namespace

bool IsPrivateFolder(const std::string& path, int checkedLevels) {
    return !path.empty() && !FirstSharedFolder(path, checkedLevels);
}

bool IsSharedFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (info.st_mode & S_IWOTH) != 0;
}

std::string PrivateTemporaryFolder(const char* xdgRuntimeDir, const char* xdgCacheHome, const char* home) {
    const auto absolute = [](const char* folder) { return folder != nullptr && folder[0] == '/'; };
    if (absolute(xdgRuntimeDir) && IsPrivateFolder(xdgRuntimeDir)) {
        return (fs::path(xdgRuntimeDir) / "zobl_ge").lexically_normal().string() + '/';
    }
    if (absolute(xdgCacheHome)) {
        return (fs::path(xdgCacheHome) / "zobl_ge").lexically_normal().string() + '/';
    }
    if (absolute(home)) {
        return (fs::path(home) / ".cache/zobl_ge").lexically_normal().string() + '/';
    }
    return {};
}

void MakePrivateFolder(const std::string& path, int checkedLevels) {
    if (path.empty()) {
        throw MessageError(message::kCannotCreateFile, path, "no folder");
    }
    const fs::path folder = fs::path(path).lexically_normal();
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (part.empty() || part == made.root_path() || part == "." || part == "..") {
            continue;
        }
        if (!MakeOneFolder(made.string())) {
            throw MessageError(message::kCannotCreateFile, made.string(), "cannot make the folder");
        }
    }
    if (const std::optional<std::string> shared = FirstSharedFolder(path, checkedLevels)) {
        throw MessageError(message::kCannotCreateFile, *shared, "not a folder of this user's alone");
    }
}

}  // namespace zobl
