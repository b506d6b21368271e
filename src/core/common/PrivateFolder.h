#pragma once

#include <string>

namespace zobl {

// Folders for the files whose names the program chooses (the clipboard file, recovery copies,
// locks): only the user may put anything there, so no other user can plant a link or a pipe
// under a name the program is about to write.

// Makes the folder path and every missing folder above it, each new one with mode 0700 whatever
// the umask; existing folders keep their modes. Then the last `checkedLevels` folders of path
// (1: path itself; 2: path and its parent) must each be a real folder (not a link), owned by
// this user and writable by no one else. Throws MessageError 3 with the offending folder when
// one cannot be made or fails the check; nothing is changed in an existing folder.
// Example: MakePrivateFolder("/run/user/1000/zobl_ge", 2) makes zobl_ge 0700 and checks it and
// /run/user/1000.
void MakePrivateFolder(const std::string& path, int checkedLevels = 1);

// Whether the last checkedLevels folders of path are now as MakePrivateFolder requires (no link,
// this user's, writable by no one else).
bool IsPrivateFolder(const std::string& path, int checkedLevels = 1);

// Whether path is a folder everyone may write in (/tmp): no place for a file at a name the
// program chooses.
bool IsSharedFolder(const std::string& path);

// The folder for the program's own short-lived files (the clipboard file), with a trailing '/':
// $XDG_RUNTIME_DIR/zobl_ge/ when the runtime folder is set, absolute and the user's alone, else
// $XDG_CACHE_HOME/zobl_ge/ ($HOME/.cache/zobl_ge/ when XDG_CACHE_HOME is unset, empty or
// relative). Empty when none of them is usable. Nothing is made here.
std::string PrivateTemporaryFolder(const char* xdgRuntimeDir, const char* xdgCacheHome, const char* home);

}  // namespace zobl
