#include "core/common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "core/common/MessageError.h"

// The standard library cannot flush a file to the disk, so this file talks to POSIX directly.

namespace zobl {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const noexcept { return fd_; }
    bool IsOpen() const noexcept { return fd_ >= 0; }
    // False when closing reported an error (a delayed write error shows up here).
    bool Close() noexcept {
        if (fd_ < 0) {
            return true;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int fd_;
};

std::string ErrnoText(int error) {
    return std::strerror(error);
}

[[noreturn]] void Fail(int number, const std::string& path, int error) {
    throw MessageError(number, path, ErrnoText(error));
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        // Chunks keep a single call well below what the kernel handles in one go.
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, std::size_t{1} << 20);
        const ssize_t written = ::write(fd, bytes.data() + done, chunk);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (written == 0) {
            error = EIO;
            return false;
        }
        done += std::size_t(written);
    }
    return true;
}

// Writes bytes, flushes them to the disk when sync is set, and closes the file (a delayed write
// error shows up there). 0, or the errno of the first failure.
int WriteAndClose(FileDescriptor& file, std::span<const std::uint8_t> bytes, bool sync) {
    int error = 0;
    if (!WriteAll(file.Get(), bytes, error)) {
        file.Close();
        return error;
    }
    if (sync && ::fsync(file.Get()) != 0) {
        error = errno;
        file.Close();
        return error;
    }
    return file.Close() ? 0 : errno;
}

std::string TemporaryName(const std::string& folder, const std::string& name) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    std::mt19937 random(seed ^ (unsigned(::getpid()) << 16) ^ counter.fetch_add(1));
    static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(8, 'x');
    for (char& c : suffix) {
        c = kDigits[random() % (sizeof(kDigits) - 1)];
    }
    // Leave room in the 255-byte name limit for the dot and the suffix.
    return folder + "/." + name.substr(0, 200) + "." + suffix + ".tmp";
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxSize) {
    // Non-blocking so that opening a FIFO cannot hang; it is refused below anyway.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen()) {
        Fail(message::kFileError, path, errno);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        Fail(message::kFileError, path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        throw MessageError(message::kFileError, path, "not a regular file");
    }
    if (info.st_size < 0 || std::uint64_t(info.st_size) > maxSize) {
        throw MessageError(message::kFileError, path, "file too large");
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(info.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(message::kFileError, path, errno);
        }
        if (got == 0) {
            break;
        }
        // The file may have grown since fstat.
        if (bytes.size() + std::size_t(got) > maxSize) {
            throw MessageError(message::kFileError, path, "file too large");
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

namespace {

std::string FolderOf(const std::string& path) {
    const std::filesystem::path p(path);
    return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Where the bytes for path go, decided before anything is written.
struct Target {
    enum class Kind {
        New,      // nothing there yet: a temporary file renamed to `resolved`
        Replace,  // a regular file: a temporary file with its owner and mode renamed over it
        Direct,   // a device, a pipe or a file we cannot name: opened and written in place
    };
    std::string path;      // as the caller named it, for messages and for writing in place
    std::string resolved;  // path with the symbolic links of its last part followed
    Kind kind = Kind::New;
    struct stat info {};  // of the existing file, for Replace and Direct
};

// Follows the links of the last part of path, so that a link stays a link and the file it
// leads to is replaced; the folders above are left to the kernel. A link to a missing file
// leads to the file to create.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::string text(std::size_t(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        const ssize_t length = ::readlink(current.c_str(), text.data(), text.size());
        if (length < 0) {
            Fail(message::kCannotCreateFile, path, errno);
        }
        if (std::size_t(length) >= text.size()) {  // the link grew meanwhile
            continue;
        }
        text.resize(std::size_t(length));
        current = text.starts_with('/') ? text : FolderOf(current) + "/" + text;
    }
    Fail(message::kCannotCreateFile, path, ELOOP);
}

Target Examine(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.empty() || name == "." || name == "..") {
        throw MessageError(message::kCannotCreateFile, path, "no file name");
    }
    Target target{path, path};
    if (::stat(path.c_str(), &target.info) != 0) {
        // Missing, or a folder on the way cannot be searched: creating the file will tell.
        target.resolved = errno == ENOENT ? FollowLinks(path) : path;
        return target;
    }
    if (S_ISDIR(target.info.st_mode)) {
        throw MessageError(message::kCannotCreateFile, path, "a folder has that name");
    }
    if (!S_ISREG(target.info.st_mode)) {
        // /dev/stdout, a named pipe, a terminal: a rename would put a file in its place.
        target.kind = Target::Kind::Direct;
        return target;
    }
    // A file without any write permission is read-only to the user even when root could
    // write it anyway.
    if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw MessageError(message::kCannotCreateFile, path, "read-only file");
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        Fail(message::kCannotCreateFile, path, errno);
    }
    target.resolved = FollowLinks(path);
    struct stat found {};
    if (::lstat(target.resolved.c_str(), &found) != 0 || !SameFile(found, target.info)) {
        // A name under /proc/self/fd that stands for an open file has no folder to put a
        // temporary file in.
        target.kind = Target::Kind::Direct;
        return target;
    }
    target.kind = Target::Kind::Replace;
    return target;
}

// Gives the new file the owner, group and permission bits of the one it replaces. Only root
// may keep another owner; when the group cannot be kept, its members get no more than others.
void TakeOwnerAndMode(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 0777;
    struct stat made {};
    if (::fstat(fd, &made) == 0 && (made.st_uid != old.st_uid || made.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
            mode = (mode & ~mode_t(0070)) | ((mode & 0007) << 3);
        }
    }
    ::fchmod(fd, mode);
}

// Writes bytes to a new temporary file beside the file target leads to and flushes it to the
// disk; returns its name. On failure nothing is left behind.
std::string WriteTemporary(const Target& target, std::span<const std::uint8_t> bytes) {
    const std::string folder = FolderOf(target.resolved);
    const std::string name = std::filesystem::path(target.resolved).filename().string();
    const bool replacing = target.kind == Target::Kind::Replace;

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(folder, name);
        // A new file: 0666 and the umask decides, as for any new file. A replacement stays
        // private until it has the mode of the file it replaces.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            Fail(message::kCannotCreateFile, target.path, errno);
        }
    }
    if (fd < 0) {
        Fail(message::kCannotCreateFile, target.path, EEXIST);
    }
    FileDescriptor file(fd);
    if (replacing) {
        TakeOwnerAndMode(file.Get(), target.info);
    }

    if (const int error = WriteAndClose(file, bytes, true); error != 0) {
        ::unlink(temporary.c_str());
        Fail(message::kFileError, target.path, error);
    }
    return temporary;
}

// Writes into what is there: a device or a pipe is opened (a pipe waits for its reader),
// never created or replaced.
void WriteInPlace(const Target& target, std::span<const std::uint8_t> bytes) {
    const bool regular = S_ISREG(target.info.st_mode);
    FileDescriptor file(
        ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (regular ? O_TRUNC : 0)));
    if (!file.IsOpen()) {
        Fail(message::kCannotCreateFile, target.path, errno);
    }
    if (const int error = WriteAndClose(file, bytes, regular); error != 0) {
        Fail(message::kFileError, target.path, error);
    }
}

// Renames the temporary file over the target; on failure the temporary file is removed.
void Commit(const std::string& temporary, const Target& target) {
    if (::rename(temporary.c_str(), target.resolved.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        const bool cannotCreate = error == EISDIR || error == EACCES || error == EPERM || error == EROFS ||
                                  error == ENOTDIR || error == ENOENT;
        Fail(cannotCreate ? message::kCannotCreateFile : message::kFileError, target.path, error);
    }
    // Make the rename itself durable; the new content is in place either way.
    FileDescriptor directory(::open(FolderOf(target.resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen()) {
        ::fsync(directory.Get());
    }
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    const FileToWrite file{path, bytes};
    WriteFilesAtomically(std::span(&file, 1));
}

void WriteFilesAtomically(std::span<const FileToWrite> files) {
    std::vector<Target> targets;
    targets.reserve(files.size());
    for (const FileToWrite& file : files) {
        targets.push_back(Examine(file.path));
    }
    // Empty for a target written in place.
    std::vector<std::string> temporaries(files.size());
    const auto removeTemporaries = [&](std::size_t from) {
        for (std::size_t j = from; j < temporaries.size(); ++j) {
            if (!temporaries[j].empty()) {
                ::unlink(temporaries[j].c_str());
            }
        }
    };
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (targets[i].kind != Target::Kind::Direct) {
                temporaries[i] = WriteTemporary(targets[i], files[i].bytes);
            }
        }
        // What cannot be taken back goes first: a device that fails leaves every file as it was.
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (targets[i].kind == Target::Kind::Direct) {
                WriteInPlace(targets[i], files[i].bytes);
            }
        }
    } catch (...) {
        removeTemporaries(0);
        throw;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (temporaries[i].empty()) {
            continue;
        }
        try {
            Commit(temporaries[i], targets[i]);
        } catch (...) {
            removeTemporaries(i + 1);
            throw;
        }
    }
}

}  // namespace zobl
