#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zobl {

// Nothing this program reads comes near this; anything bigger is not one of our files.
inline constexpr std::size_t kMaxReadFileSize = std::size_t{64} << 20;

// Who chose a file's name, which decides what may stand at that name.
// - User: the user typed or picked the path. A symbolic link there is followed when it belongs
//   to the user (or to root, who owns the system's links such as /dev/stdout); a link another
//   user planted is refused, as is a named pipe or socket of another user. A device or pipe is
//   written in place.
// - Program: the program built the name (the clipboard file, recovery copies, the second file
//   of an export pair). Anything but a regular file of the user's own at that name (a link, a
//   pipe, a device, another user's file) is refused and left as it is.
enum class FileNaming { User, Program };

// The whole content of a regular file. Throws MessageError 4 with the path when the file cannot
// be opened or read, is no regular file, or is larger than maxSize.
// With FileNaming::Program a link at path is not followed and only the user's own file is read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::size_t maxSize = kMaxReadFileSize,
                                        FileNaming naming = FileNaming::User);

// Replaces (or creates) the file at path with bytes so that a failure never damages the old
// file: the bytes go to a temporary file beside the target, are flushed to the disk, and only
// then is the temporary file renamed over the target, relative to the folder opened once (a
// folder swapped meanwhile cannot redirect the rename). On failure, and when the process is
// stopped by SIGINT or SIGTERM while writing (see RemoveTemporaryFilesInProgress), no temporary
// file is left.
// - A link the user may follow (see FileNaming) stays a link: the file it leads to is replaced
//   (the temporary file lies beside that file), or created when the link leads nowhere yet.
// - The replaced file's permission bits are kept (0640 stays 0640), and its owner and group
//   as far as the user may give them; a new file gets 0666 less the umask.
// - A file the user may not write, or one without any write permission bit (read-only even
//   to root), is refused and left as it is.
// - What exists and is no regular file (a device, a named pipe, /dev/stdout) is opened without
//   waiting and written directly, never replaced; a pipe without a reader is refused.
// Throws MessageError 3 with the path when the file cannot be created or is refused (missing
// or read-only folder, a folder in its place, a read-only file, a link or pipe that may not be
// used), MessageError 4 with the path when writing fails (for a device: /dev/full).
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         FileNaming naming = FileNaming::User);

struct FileToWrite {
    std::string path;
    std::span<const std::uint8_t> bytes;
    FileNaming naming = FileNaming::User;
};
// Replaces several files that belong together (an export pair): all of them are written to
// temporary files first, then the targets written directly (devices, pipes), and only when
// every one was written are the temporary files renamed over their targets, so a failure
// while writing leaves every replaceable target untouched. Only a rename failing after an
// earlier one succeeded (not seen in practice: the temporary files lie beside their targets)
// can leave a mixed set. Every target is checked before anything is written. Otherwise as
// WriteFileAtomically.
void WriteFilesAtomically(std::span<const FileToWrite> files);

// What a write to path would replace, for the question whether to overwrite it: nullopt when
// nothing stands at that name. Otherwise the path, and for a symbolic link (leading somewhere or
// nowhere yet) also where it leads: "out.UZZ -> /home/ann/precious.txt".
std::optional<std::string> ExistingTarget(const std::string& path);

// Removes the file at a name the program chose when it is a regular file of the user's own; a
// link there is left alone (and its target anyway). False when something else is there.
bool RemoveProgramFile(const std::string& path);

// Unlinks the temporary files that WriteFileAtomically is writing at this moment. Safe to call
// from a signal handler: a program that ends on SIGINT or SIGTERM calls it there.
void RemoveTemporaryFilesInProgress() noexcept;

}  // namespace zobl
