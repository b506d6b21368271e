#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zobl {

inline constexpr int kToolSuccess = 0;
inline constexpr int kToolFailure = 1;
inline constexpr int kToolUsageError = 2;

// Runs one command line of zobl-tool (without the program name). The language file is looked for
// beside the tool, then in the installed data folder, unless --lang names another one. A file name "-" reads
// from in or writes to out.
int RunTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

std::string ToolUsage();

}  // namespace zobl
