#pragma once

#include <string>
#include <string_view>

namespace zobl {

// Folder of the running executable, ending in '/'.
std::string ProgramFolder();
// A data file of the program by its bare name: beside the executable when it is there (a build
// tree, or a copy put there on purpose), else in the installed data folder relative to the
// executable's ("<bin>/../share/zobl_ge/<name>" with the usual layout), else beside the
// executable again (where a missing file is then reported).
std::string FindProgramData(std::string_view name);
// The installed data folder that FindProgramData looks in second, ending in '/'.
std::string InstalledDataFolder();
// The folder part of a path, ending in '/' ("" for a bare file name).
std::string FolderOfPath(std::string_view path);
// The file name of a path, with or without its extension (the part from the last '.').
std::string FileNameOfPath(std::string_view path, bool withExtension);

// The name the save prompt proposes for a document without path: its title up to the first
// of space, '#', '%', ';', '/', '\', followed by extension ("Meine Grafik" gives "Meine.gs").
// Those characters and dots at the start of the title are passed over (" .x" gives "x.gs"), so
// a proposal is never a hidden file; a title of nothing else proposes no name ("").
std::string ProposedSaveName(std::string_view title, std::string_view extension = ".gs");

}  // namespace zobl
