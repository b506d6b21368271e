#include "core/common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <utility>

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
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

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

// A fresh hidden name for a temporary file beside name.
std::string TemporaryName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    std::mt19937 random(seed ^ (unsigned(::getpid()) << 16) ^ counter.fetch_add(1));
    static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(8, 'x');
    for (char& c : suffix) {
        c = kDigits[random() % (sizeof(kDigits) - 1)];
    }
    // Leave room in the 255-byte name limit for the dot and the suffix.
    std::string temporary(1, '.');
    temporary.append(name, 0, 200).append(1, '.').append(suffix).append(".tmp");
    return temporary;
}

// The temporary files being written now, so that a signal handler can remove them. A slot is
// free (0), being filled (1) or holds a path (2); the handler only reads the flags and unlinks.
constexpr int kTrackedSlots = 16;
struct TrackedTemporary {
    std::atomic<int> state{0};
    char path[4096] = {};
};
TrackedTemporary g_tracked[kTrackedSlots];

// Keeps a temporary file's path where RemoveTemporaryFilesInProgress finds it, for as long as
// the object holds it. A path too long for a slot, or more files at once than slots, go
// untracked.
class TrackTemporary {
public:
    TrackTemporary() = default;
    explicit TrackTemporary(const std::string& path) {
        if (path.size() >= sizeof(g_tracked[0].path)) {
            return;
        }
        for (TrackedTemporary& tracked : g_tracked) {
            int expected = 0;
            if (tracked.state.compare_exchange_strong(expected, 1)) {
                std::memcpy(tracked.path, path.c_str(), path.size() + 1);
                tracked.state.store(2);
                slot_ = &tracked;
                return;
            }
        }
    }
    ~TrackTemporary() { Release(); }
    TrackTemporary(const TrackTemporary&) = delete;
    TrackTemporary& operator=(const TrackTemporary&) = delete;
    TrackTemporary& operator=(TrackTemporary&& other) noexcept {
        Release();
        slot_ = std::exchange(other.slot_, nullptr);
        return *this;
    }
    // The file was renamed or removed: nothing is left to clean up.
    void Release() noexcept {
        if (slot_ != nullptr) {
            slot_->state.store(0);
            slot_ = nullptr;
        }
    }

private:
    TrackedTemporary* slot_ = nullptr;
};

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxSize, FileNaming naming) {
    // Non-blocking so that opening a FIFO cannot hang; it is refused below anyway.
    const bool program = naming == FileNaming::Program;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (program ? O_NOFOLLOW : 0)));
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
    if (program && info.st_uid != ::geteuid()) {
        throw MessageError(message::kFileError, path, "a file of another user");
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

std::string NameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A link the user may follow: their own, or root's (the system's links, /dev/stdout). Anyone
// else's link in a folder the user shares could lead the write into the user's own files.
bool MayFollow(const struct stat& link) {
    return link.st_uid == ::geteuid() || link.st_uid == 0;
}

// A pipe or socket of another user would hand them what is written.
bool IsOthersChannel(const struct stat& info) {
    return (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) && info.st_uid != ::geteuid();
}

// Where the bytes for path go, decided before anything is written.
struct Target {
    enum class Kind {
        New,      // nothing there yet: a temporary file renamed to `name` in `folder`
        Replace,  // a regular file: a temporary file with its owner and mode renamed over it
        Direct,   // a device, a pipe or a file we cannot name: opened and written in place
    };
    std::string path;    // as the caller named it, for messages and for writing in place
    std::string folder;  // of the file that is created or replaced (links followed)
    std::string name;    // its name in folder
    Kind kind = Kind::New;
    FileNaming naming = FileNaming::User;
    struct stat info {};  // of the existing file, for Replace and Direct
};

// Follows the links of the last part of path as long as the user may follow each of them, so
// that a link stays a link and the file it leads to is replaced; the folders above are left to
// the kernel. A link to a missing file leads to the file to create. Returns the first name that
// is no link (or cannot be looked at: the name a /proc/self/fd link shows for a pipe).
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        if (!MayFollow(info)) {
            throw MessageError(message::kCannotCreateFile, path, "a link of another user");
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

Target Examine(const FileToWrite& file) {
    const std::string& path = file.path;
    const std::string name = NameOf(path);
    if (name.empty() || name == "." || name == "..") {
        throw MessageError(message::kCannotCreateFile, path, "no file name");
    }
    Target target{path, FolderOf(path), name, Target::Kind::New, file.naming};
    struct stat own {};
    std::string resolved = path;
    if (::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode)) {
        if (file.naming == FileNaming::Program) {
            throw MessageError(message::kCannotCreateFile, path, "a link stands at that name");
        }
        resolved = FollowLinks(path);
    }
    if (::stat(path.c_str(), &target.info) != 0) {
        // Missing (or a link leading nowhere yet), or a folder on the way cannot be searched:
        // creating the file will tell.
        target.folder = FolderOf(resolved);
        target.name = NameOf(resolved);
        return target;
    }
    if (S_ISDIR(target.info.st_mode)) {
        throw MessageError(message::kCannotCreateFile, path, "a folder has that name");
    }
    if (!S_ISREG(target.info.st_mode)) {
        // /dev/stdout, a named pipe, a terminal: a rename would put a file in its place.
        if (file.naming == FileNaming::Program) {
            throw MessageError(message::kCannotCreateFile, path, "no regular file");
        }
        if (IsOthersChannel(target.info)) {
            throw MessageError(message::kCannotCreateFile, path, "a pipe of another user");
        }
        target.kind = Target::Kind::Direct;
        return target;
    }
    if (file.naming == FileNaming::Program && target.info.st_uid != ::geteuid()) {
        throw MessageError(message::kCannotCreateFile, path, "a file of another user");
    }
    // A file without any write permission is read-only to the user even when root could
    // write it anyway.
    if ((target.info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        throw MessageError(message::kCannotCreateFile, path, "read-only file");
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        Fail(message::kCannotCreateFile, path, errno);
    }
    struct stat found {};
    if (::lstat(resolved.c_str(), &found) != 0 || !SameFile(found, target.info)) {
        // A name under /proc/self/fd that stands for an open file has no folder to put a
        // temporary file in.
        target.kind = Target::Kind::Direct;
        return target;
    }
    target.folder = FolderOf(resolved);
    target.name = NameOf(resolved);
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

// A file being written beside its target: the open folder, the temporary name in it, and the
// entry that lets a signal handler remove it.
struct Pending {
    FileDescriptor folder{-1};
    std::string temporary;
    TrackTemporary tracked;

    Pending() = default;
    Pending(Pending&&) = delete;

    void Remove() {
        if (!temporary.empty()) {
            ::unlinkat(folder.Get(), temporary.c_str(), 0);
            temporary.clear();
        }
        tracked.Release();
    }
};

// Writes bytes to a new temporary file beside the file target leads to and flushes it to the
// disk. On failure nothing is left behind.
void WriteTemporary(const Target& target, std::span<const std::uint8_t> bytes, Pending& pending) {
    const bool replacing = target.kind == Target::Kind::Replace;
    // Everything below happens relative to this folder, so the rename lands where the checks
    // looked even if a folder on the way is swapped meanwhile.
    pending.folder = FileDescriptor(::open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!pending.folder.IsOpen()) {
        Fail(message::kCannotCreateFile, target.path, errno);
    }
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target.name);
        // A new file: 0666 and the umask decides, as for any new file. A replacement stays
        // private until it has the mode of the file it replaces.
        fd = ::openat(pending.folder.Get(), temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) {
            Fail(message::kCannotCreateFile, target.path, errno);
        }
    }
    if (fd < 0) {
        Fail(message::kCannotCreateFile, target.path, EEXIST);
    }
    pending.temporary = temporary;
    pending.tracked = TrackTemporary(target.folder + "/" + temporary);
    FileDescriptor file(fd);
    if (replacing) {
        TakeOwnerAndMode(file.Get(), target.info);
    }
    if (const int error = WriteAndClose(file, bytes, true); error != 0) {
        pending.Remove();
        Fail(message::kFileError, target.path, error);
    }
}

// Writes into what is there: a device or a pipe is opened (never created or replaced) without
// waiting, so a pipe nobody reads is refused instead of hanging the program.
void WriteInPlace(const Target& target, std::span<const std::uint8_t> bytes) {
    const bool regular = S_ISREG(target.info.st_mode);
    FileDescriptor file(
        ::open(target.path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (regular ? O_TRUNC : 0)));
    if (!file.IsOpen()) {
        if (errno == ENXIO) {
            throw MessageError(message::kCannotCreateFile, target.path, "a pipe without a reader");
        }
        Fail(message::kCannotCreateFile, target.path, errno);
    }
    struct stat opened {};
    if (::fstat(file.Get(), &opened) != 0 || !SameFile(opened, target.info) || IsOthersChannel(opened)) {
        throw MessageError(message::kCannotCreateFile, target.path, "changed while being written");
    }
    // Once open, a reader that is slow is waited for.
    const int flags = ::fcntl(file.Get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        Fail(message::kFileError, target.path, errno);
    }
    if (const int error = WriteAndClose(file, bytes, regular); error != 0) {
        Fail(message::kFileError, target.path, error);
    }
}

// Renames the temporary file over the target; on failure the temporary file is removed.
void Commit(Pending& pending, const Target& target) {
    if (::renameat(pending.folder.Get(), pending.temporary.c_str(), pending.folder.Get(),
                   target.name.c_str()) != 0) {
        const int error = errno;
        pending.Remove();
        const bool cannotCreate = error == EISDIR || error == EACCES || error == EPERM || error == EROFS ||
                                  error == ENOTDIR || error == ENOENT;
        Fail(cannotCreate ? message::kCannotCreateFile : message::kFileError, target.path, error);
    }
    pending.temporary.clear();
    pending.tracked.Release();
    // Make the rename itself durable; the new content is in place either way.
    ::fsync(pending.folder.Get());
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, FileNaming naming) {
    const FileToWrite file{path, bytes, naming};
    WriteFilesAtomically(std::span(&file, 1));
}

void WriteFilesAtomically(std::span<const FileToWrite> files) {
    std::vector<Target> targets;
    targets.reserve(files.size());
    for (const FileToWrite& file : files) {
        targets.push_back(Examine(file));
    }
    // Empty for a target written in place.
    std::vector<std::unique_ptr<Pending>> pending;
    for (std::size_t i = 0; i < files.size(); ++i) {
        pending.push_back(std::make_unique<Pending>());
    }
    const auto removeTemporaries = [&](std::size_t from) {
        for (std::size_t j = from; j < pending.size(); ++j) {
            pending[j]->Remove();
        }
    };
    try {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (targets[i].kind != Target::Kind::Direct) {
                WriteTemporary(targets[i], files[i].bytes, *pending[i]);
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
        if (pending[i]->temporary.empty()) {
            continue;
        }
        try {
            Commit(*pending[i], targets[i]);
        } catch (...) {
            removeTemporaries(i + 1);
            throw;
        }
    }
}

std::optional<std::string> ExistingTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? std::nullopt : std::optional<std::string>(path);
    }
    if (!S_ISLNK(info.st_mode)) {
        return path;
    }
    std::string text(4096, '\0');
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size() - 1);
    if (length < 0) {
        return path;
    }
    text.resize(std::size_t(length));
    const std::filesystem::path leadsTo =
        text.starts_with('/') ? std::filesystem::path(text) : std::filesystem::path(FolderOf(path)) / text;
    return path + " -> " + leadsTo.lexically_normal().string();
}

bool RemoveProgramFile(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        return false;
    }
    return ::unlink(path.c_str()) == 0;
}

void RemoveTemporaryFilesInProgress() noexcept {
    for (TrackedTemporary& tracked : g_tracked) {
        if (tracked.state.load() == 2) {
            ::unlink(tracked.path);
        }
    }
}

}  // namespace zobl
