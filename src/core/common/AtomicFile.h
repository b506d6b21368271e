#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zobl {

// Nothing this program reads comes near this; anything bigger is not one of our files.
inline constexpr std::size_t kMaxReadFileSize = std::size_t{64} << 20;

// The whole content of a regular file. Throws MessageError 4 with the path when the file cannot
// be opened or read, is no regular file, or is larger than maxSize.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxSize = kMaxReadFileSize);

// Replaces (or creates) the file at path with bytes so that a failure never damages the old
// file: the bytes go to a temporary file beside the target, are flushed to the disk, and only
// then is the temporary file renamed over the target. On failure no temporary file is left.
// - A symbolic link stays a link: the file it leads to is replaced (the temporary file lies
//   beside that file), or created when the link leads nowhere yet.
// - The replaced file's permission bits are kept (0640 stays 0640), and its owner and group
//   as far as the user may give them; a new file gets 0666 less the umask.
// - A file the user may not write, or one without any write permission bit (read-only even
//   to root), is refused and left as it is.
// - What exists and is no regular file (a device, a named pipe, /dev/stdout) is opened and
//   written directly, never replaced; a pipe waits for its reader.
// Throws MessageError 3 with the path when the file cannot be created (missing or read-only
// folder, a folder in its place, a read-only file), MessageError 4 with the path when writing
// fails (for a device: /dev/full).
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

struct FileToWrite {
    std::string path;
    std::span<const std::uint8_t> bytes;
};
// Replaces several files that belong together (an export pair): all of them are written to
// temporary files first, then the targets written directly (devices, pipes), and only when
// every one was written are the temporary files renamed over their targets, so a failure
// while writing leaves every replaceable target untouched. Only a rename failing after an
// earlier one succeeded (not seen in practice: the temporary files lie beside their targets)
// can leave a mixed set. Otherwise as WriteFileAtomically.
void WriteFilesAtomically(std::span<const FileToWrite> files);

}  // namespace zobl
