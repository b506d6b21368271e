#pragma once

// Recovery copies of documents with unsaved changes, so that a crash never costs a drawing.
//
// Every running editor keeps its copies in a folder of its own under the recovery root
// (RecoveryRoot: $XDG_STATE_HOME/zobl_ge/recovery). The folder holds a lock file, locked with
// flock for as long as the editor runs, and per document two files: the copy in the document's
// own format ("<id>.gs" or "<id>.fgs") and its description ("<id>.ini": original path, title,
// time of the copy). A normal end removes the folder. A crash leaves it behind unlocked: the next
// editor to start takes it over (it locks it, so two starting editors never both do) and offers
// its copies.
//
// A folder is made under a temporary name and renamed to "session-..." only once it is locked,
// so an editor looking for abandoned folders never takes one that is just being made.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zobl::recovery {

// $XDG_STATE_HOME/zobl_ge/recovery, or $HOME/.local/state/zobl_ge/recovery when XDG_STATE_HOME is
// unset, empty or relative (as the XDG base directory rules say). Empty when neither is usable.
std::string RecoveryRoot(const char* xdgStateHome, const char* home);

enum class DocumentKind : std::uint8_t { Scenery, Vehicles };

// The file extension of a kind's copies, with the dot.
std::string_view CopyExtension(DocumentKind kind);

struct CopyDescription {
    DocumentKind kind = DocumentKind::Scenery;
    std::string originalPath;  // empty: the document was never saved
    std::string title;         // UTF-8, what the window showed
    std::int64_t savedAt = 0;  // seconds since the epoch
    friend bool operator==(const CopyDescription&, const CopyDescription&) = default;
};

// Whether a description's original path may be proposed for saving the copy: an absolute path
// with the extension of kind (".gs", ".fgs", in any case) that names a regular file, a link to
// one, or nothing (the file was deleted since). "/home/u/a.gs" is usable; "a.gs",
// "/home/u/precious.txt", "/dev/null.gs" (no such file is a device) and a folder "/x.gs/" are
// not.
bool IsUsableOriginalPath(const std::string& path, DocumentKind kind);

// The description file's bytes and back. Paths and titles may hold any byte but NUL; line
// breaks, other control bytes and '%' are written as %XX. Parse gives nullopt for anything that
// is not a complete description.
std::string FormatDescription(const CopyDescription& description);
std::optional<CopyDescription> ParseDescription(std::string_view bytes);

struct RecoveryCopy {
    int id = 0;
    std::string copyPath;
    CopyDescription description;
};

// The folder of this editor. It is made (and locked) when the first copy is written and
// removed with everything in it when the object goes.
class RecoverySession {
public:
    explicit RecoverySession(std::string root);
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    // Writes the copy through write(path), which must replace the file atomically and throw on
    // failure, then its description (atomically as well). The root and the folder above it are
    // made 0700 and must be private to this user (MakePrivateFolder). Throws MessageError 3 or 4
    // (with the path) when the folder or a file cannot be written or the root is not private; an
    // earlier copy of id then stays.
    void WriteCopy(int id, const CopyDescription& description,
                   const std::function<void(const std::string&)>& write);
    // Removes the copy of id and its description (nothing happens when there is none).
    void RemoveCopy(int id);
    bool HasCopy(int id) const;
    // Where the copy of id lies (whether written or not); empty before the folder is made.
    std::string CopyPath(int id, DocumentKind kind) const;
    // Empty until the first copy was written.
    const std::string& Folder() const noexcept { return folder_; }

private:
    void MakeFolder();

    std::string root_;
    std::string folder_;
    int lockFd_ = -1;
    std::vector<int> written_;
};

// A folder whose editor ended without removing it, now locked by this process.
class AbandonedSession {
public:
    AbandonedSession(std::string folder, int lockFd, std::vector<RecoveryCopy> copies);
    // Removes the folder when no copy is left in it; unlocks.
    ~AbandonedSession();
    AbandonedSession(const AbandonedSession&) = delete;
    AbandonedSession& operator=(const AbandonedSession&) = delete;

    const std::string& Folder() const noexcept { return folder_; }
    // Complete copies (copy and description present), by id.
    const std::vector<RecoveryCopy>& Copies() const noexcept { return copies_; }
    // Deletes a copy and its description.
    void Discard(int id);

private:
    std::string folder_;
    int lockFd_;
    std::vector<RecoveryCopy> copies_;
};

// Takes over every abandoned folder under root (those locked by a running editor are left
// alone). Folders without a complete copy are removed at once and not returned. Nothing is
// taken from a root that is not private to this user (see MakePrivateFolder: the root and the
// folder above it), nor from a session folder that is a link, another user's or writable by
// others; files in a folder are read only when they are this user's regular files, never
// through a link. A copy whose original path is not usable (IsUsableOriginalPath) is returned
// with an empty one, as if it had never been saved.
std::vector<std::unique_ptr<AbandonedSession>> TakeAbandonedSessions(const std::string& root);

}  // namespace zobl::recovery
