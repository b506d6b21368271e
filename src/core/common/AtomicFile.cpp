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

// Writes bytes to a new temporary file beside path and flushes it to the disk; returns its
// name. On failure nothing is left behind.
std::string WriteTemporary(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::filesystem::path target(path);
    const std::string name = target.filename().string();
    if (name.empty() || name == "." || name == "..") {
        throw MessageError(message::kCannotCreateFile, path, "no file name");
    }
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");

    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        throw MessageError(message::kCannotCreateFile, path, "a folder has that name");
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(folder, name);
        // 0666: the umask decides, as for any new file.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            Fail(message::kCannotCreateFile, path, errno);
        }
    }
    if (fd < 0) {
        Fail(message::kCannotCreateFile, path, EEXIST);
    }
    FileDescriptor file(fd);

    int error = 0;
    bool ok = WriteAll(file.Get(), bytes, error);
    if (ok && ::fsync(file.Get()) != 0) {
        error = errno;
        ok = false;
    }
    if (!file.Close() && ok) {
        error = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        Fail(message::kFileError, path, error);
    }
    return temporary;
}

// Renames the temporary file over path; on failure the temporary file is removed.
void Commit(const std::string& temporary, const std::string& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        const bool cannotCreate = error == EISDIR || error == EACCES || error == EPERM || error == EROFS ||
                                  error == ENOTDIR || error == ENOENT;
        Fail(cannotCreate ? message::kCannotCreateFile : message::kFileError, path, error);
    }
    // Make the rename itself durable; the new content is in place either way.
    const std::filesystem::path target(path);
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : std::string(".");
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.IsOpen()) {
        ::fsync(directory.Get());
    }
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    Commit(WriteTemporary(path, bytes), path);
}

void WriteFilesAtomically(std::span<const FileToWrite> files) {
    std::vector<std::string> temporaries;
    temporaries.reserve(files.size());
    try {
        for (const FileToWrite& file : files) {
            temporaries.push_back(WriteTemporary(file.path, file.bytes));
        }
    } catch (...) {
        for (const std::string& temporary : temporaries) {
            ::unlink(temporary.c_str());
        }
        throw;
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        try {
            Commit(temporaries[i], files[i].path);
        } catch (...) {
            for (std::size_t j = i + 1; j < temporaries.size(); ++j) {
                ::unlink(temporaries[j].c_str());
            }
            throw;
        }
    }
}

}  // namespace zobl
