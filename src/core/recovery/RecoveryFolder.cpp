#include "core/recovery/RecoveryFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"
#include "core/common/PrivateFolder.h"
#include "core/text/CodePages.h"
#include "core/text/IniFile.h"

namespace zobl::recovery {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSection = "Recovery";
constexpr const char* kLockFileName = "lock";
constexpr const char* kSessionPrefix = "session-";
constexpr const char* kDescriptionExtension = ".ini";
// A description is a few lines; anything much larger is not one of ours.
constexpr std::size_t kMaxDescriptionSize = 64 * 1024;

std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '%' || c == '"') {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') {
            return std::nullopt;  // no path or title holds one
        }
        if (text[i] != '%') {
            plain += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return std::nullopt;
        }
        const int high = HexDigit(text[i + 1]);
        const int low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        plain += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return plain;
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string RandomName() {
    std::random_device device;
    std::uniform_int_distribution<unsigned> digit(0, 15);
    std::string name = std::to_string(::getpid()) + '-';
    for (int i = 0; i < 12; ++i) {
        name += "0123456789abcdef"[digit(device)];
    }
    return name;
}

std::string CopyPathOf(const std::string& folder, int id, DocumentKind kind) {
    return folder + '/' + std::to_string(id) + std::string(CopyExtension(kind));
}

std::string DescriptionPathOf(const std::string& folder, int id) {
    return folder + '/' + std::to_string(id) + kDescriptionExtension;
}

// The id of a description file name ("12.ini"), nullopt for any other name.
std::optional<int> DescriptionId(const std::string& name) {
    const std::string_view extension = kDescriptionExtension;
    if (name.size() <= extension.size() || name.size() > extension.size() + 9 || !name.ends_with(extension) ||
        name[0] == '0') {
        return std::nullopt;
    }
    const std::string_view digits(name.data(), name.size() - extension.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return static_cast<int>(*ParseNumber(digits));
}

bool IsOwnRegularFile(const struct stat& info) {
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
}

// A file of a session folder as the folder's owner left it: not a link, not a pipe, ours.
bool IsOwnRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && IsOwnRegularFile(info);
}

// Locks the lock file of a folder without waiting; -1 when another process holds it, the
// folder is gone, or the name holds anything but this user's regular file.
int TryLock(const std::string& folder) {
    const std::string path = folder + '/' + kLockFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !IsOwnRegularFile(info) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(fd, &info) != 0 || info.st_nlink == 0) {
        // Held by a running editor, or its folder was removed while we opened the file.
        ::close(fd);
        return -1;
    }
    return fd;
}

void RemoveFolder(const std::string& folder) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace

std::string RecoveryRoot(const char* xdgStateHome, const char* home) {
    std::string base;
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/') {
        base = xdgStateHome;
    } else if (home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        return {};
    }
    while (base.size() > 1 && base.back() == '/') {
        base.pop_back();
    }
    return base + "/zobl_ge/recovery";
}

std::string_view CopyExtension(DocumentKind kind) {
    return kind == DocumentKind::Vehicles ? ".fgs" : ".gs";
}

bool IsUsableOriginalPath(const std::string& path, DocumentKind kind) {
    const std::string_view extension = CopyExtension(kind);
    if (path.empty() || path.front() != '/' || path.back() == '/' || path.size() < extension.size() ||
        !EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - extension.size()), extension)) {
        return false;
    }
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT;  // a file deleted since may be saved again
    }
    // A link of the user's to a file is how many reach their files; a dangling one is no file.
    if (S_ISLNK(info.st_mode) && ::stat(path.c_str(), &info) != 0) {
        return false;
    }
    return S_ISREG(info.st_mode);
}

std::string FormatDescription(const CopyDescription& description) {
    std::string text = std::string("[") + kSection + "]\n";
    text += std::string("Kind=") + (description.kind == DocumentKind::Vehicles ? "fgs" : "gs") + '\n';
    text += "Path=\"" + Escape(description.originalPath) + "\"\n";
    text += "Title=\"" + Escape(description.title) + "\"\n";
    text += "Saved=" + std::to_string(description.savedAt) + '\n';
    return text;
}

std::optional<CopyDescription> ParseDescription(std::string_view bytes) {
    // Four values: a lookup each is cheaper than parsing the whole file, with the same rules.
    const auto kind = FindIniValue(bytes, kSection, "Kind");
    const auto path = FindIniValue(bytes, kSection, "Path");
    const auto title = FindIniValue(bytes, kSection, "Title");
    const auto saved = FindIniValue(bytes, kSection, "Saved");
    if (!kind || !path || !title || !saved || (*kind != "gs" && *kind != "fgs")) {
        return std::nullopt;
    }
    CopyDescription description;
    description.kind = *kind == "fgs" ? DocumentKind::Vehicles : DocumentKind::Scenery;
    auto originalPath = Unescape(*path);
    auto plainTitle = Unescape(*title);
    const auto savedAt = ParseNumber(*saved);
    if (!originalPath || !plainTitle || !savedAt) {
        return std::nullopt;
    }
    description.originalPath = std::move(*originalPath);
    description.title = std::move(*plainTitle);
    description.savedAt = *savedAt;
    return description;
}

RecoverySession::RecoverySession(std::string root) : root_(std::move(root)) {}

RecoverySession::~RecoverySession() {
    if (!folder_.empty()) {
        RemoveFolder(folder_);
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

void RecoverySession::MakeFolder() {
    if (!folder_.empty()) {
        return;
    }
    if (root_.empty()) {
        throw MessageError(message::kCannotCreateFile, root_);
    }
    MakePrivateFolder(root_, 2);
    const std::string name = RandomName();
    const std::string making = root_ + "/.new-" + name;
    if (::mkdir(making.c_str(), 0700) != 0) {
        throw MessageError(message::kCannotCreateFile, making);
    }
    const int fd = TryLock(making);
    const std::string folder = root_ + '/' + kSessionPrefix + name;
    if (fd < 0 || ::rename(making.c_str(), folder.c_str()) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        RemoveFolder(making);
        throw MessageError(message::kCannotCreateFile, folder);
    }
    folder_ = folder;
    lockFd_ = fd;
}

void RecoverySession::WriteCopy(int id, const CopyDescription& description,
                                const std::function<void(const std::string&)>& write) {
    MakeFolder();
    write(CopyPathOf(folder_, id, description.kind));
    const std::string text = FormatDescription(description);
    WriteFileAtomically(DescriptionPathOf(folder_, id),
                        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                        FileNaming::Program);
    if (!HasCopy(id)) {
        written_.push_back(id);
    }
}

void RecoverySession::RemoveCopy(int id) {
    const auto it = std::find(written_.begin(), written_.end(), id);
    if (it == written_.end()) {
        return;
    }
    written_.erase(it);
    // The description first: a copy without one is never offered.
    ::unlink(DescriptionPathOf(folder_, id).c_str());
    for (const DocumentKind kind : {DocumentKind::Scenery, DocumentKind::Vehicles}) {
        ::unlink(CopyPathOf(folder_, id, kind).c_str());
    }
}

std::string RecoverySession::CopyPath(int id, DocumentKind kind) const {
    return folder_.empty() ? std::string() : CopyPathOf(folder_, id, kind);
}

bool RecoverySession::HasCopy(int id) const {
    return std::find(written_.begin(), written_.end(), id) != written_.end();
}

AbandonedSession::AbandonedSession(std::string folder, int lockFd, std::vector<RecoveryCopy> copies)
    : folder_(std::move(folder)), lockFd_(lockFd), copies_(std::move(copies)) {}

AbandonedSession::~AbandonedSession() {
    if (copies_.empty()) {
        RemoveFolder(folder_);
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

void AbandonedSession::Discard(int id) {
    const auto it = std::find_if(copies_.begin(), copies_.end(),
                                 [id](const RecoveryCopy& copy) { return copy.id == id; });
    if (it == copies_.end()) {
        return;
    }
    ::unlink(DescriptionPathOf(folder_, id).c_str());
    ::unlink(it->copyPath.c_str());
    copies_.erase(it);
}

std::vector<std::unique_ptr<AbandonedSession>> TakeAbandonedSessions(const std::string& root) {
    std::vector<std::unique_ptr<AbandonedSession>> sessions;
    std::error_code error;
    // The recovery root and the folder above it (zobl_ge/) may hold nothing another user put
    // there or could replace.
    if (root.empty() || !fs::is_directory(root, error) || !IsPrivateFolder(root, 2)) {
        return sessions;
    }
    std::vector<std::string> folders;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(kSessionPrefix) && IsPrivateFolder(it->path().string())) {
            folders.push_back(it->path().string());
        }
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) {
        const int fd = TryLock(folder);
        if (fd < 0) {
            continue;
        }
        std::vector<RecoveryCopy> copies;
        std::error_code listError;
        for (fs::directory_iterator it(folder, listError), end; !listError && it != end;
             it.increment(listError)) {
            const auto id = DescriptionId(it->path().filename().string());
            if (!id) {
                continue;
            }
            // Read as the folder's owner left it: no link followed, no pipe waited on.
            std::optional<CopyDescription> description;
            try {
                const std::vector<std::uint8_t> bytes =
                    ReadWholeFile(it->path().string(), kMaxDescriptionSize, FileNaming::Program);
                description = ParseDescription(
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            } catch (const MessageError&) {
            }
            if (!description) {
                continue;
            }
            // The copy is kept, but a path that could make a save replace some other file is not.
            if (!IsUsableOriginalPath(description->originalPath, description->kind)) {
                description->originalPath.clear();
            }
            RecoveryCopy copy{*id, CopyPathOf(folder, *id, description->kind), std::move(*description)};
            if (IsOwnRegularFile(copy.copyPath)) {
                copies.push_back(std::move(copy));
            }
        }
        std::sort(copies.begin(), copies.end(),
                  [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.id < b.id; });
        // Without a complete copy the folder goes at once (the destructor removes it).
        auto session = std::make_unique<AbandonedSession>(folder, fd, std::move(copies));
        if (!session->Copies().empty()) {
            sessions.push_back(std::move(session));
        }
    }
    return sessions;
}

}  // namespace zobl::recovery
