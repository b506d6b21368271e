#pragma once

#include <string>
#include <string_view>

namespace zobl {

// Folder of the running executable, ending in '/'.
std::string ProgramFolder();
// The folder part of a path, ending in '/' ("" for a bare file name).
std::string FolderOfPath(std::string_view path);
// The file name of a path, with or without its extension (the part from the last '.').
std::string FileNameOfPath(std::string_view path, bool withExtension);

}  // namespace zobl
