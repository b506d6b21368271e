#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/lang/LanguageChoice.h"

namespace zobl {

inline constexpr int kToolSuccess = 0;
inline constexpr int kToolFailure = 1;
inline constexpr int kToolUsageError = 2;

// Runs one command line of zobl-tool (without the program name). The language file is looked for
// beside the tool, then in the installed data folder, unless --lang names another one. A file name "-" reads
// from in or writes to out.
int RunTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

std::string ToolUsage();

// The language file the tool reads: the one given with --lang, else the German or English one
// (by LANGUAGE, LC_ALL, LC_MESSAGES, LANG) where find looks for the program's data. The tool's
// own messages are English; the file gives the texts it writes into files (export signature,
// header and refusals, default author and info text, palette names) and the numbered errors.
std::string ToolLanguageFile(const std::optional<std::string>& given, const EnvironmentLookup& environment,
                             const DataFinder& find);

}  // namespace zobl
