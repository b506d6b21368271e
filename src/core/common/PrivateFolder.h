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

// Whether path is now a folder as MakePrivateFolder requires (not a link, this user's, writable
// by no one else).
bool IsPrivateFolder(const std::string& path);

}  // namespace zobl
