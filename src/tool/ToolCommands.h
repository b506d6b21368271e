#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zobl {

inline constexpr int kToolSuccess = 0;
inline constexpr int kToolFailure = 1;
inline constexpr int kToolUsageError = 2;

// Runs one command line of zobl-tool (without the program name). programFolder is where the
// language file is looked for unless --lang names another one.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string ToolUsage();

}  // namespace zobl
