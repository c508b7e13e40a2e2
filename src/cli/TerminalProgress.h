#pragma once
// A progress line for long commands: "vantrel-cli: opening big.gif 42%" on
// standard error, rewritten in place, only when standard error is a
// terminal (a pipe or a file gets nothing of it).

#include <string>

#include "core/Progress.h"

namespace vantrel::cli {

// The report of a job described by what ("opening big.gif"); empty when
// standard error is not a terminal. The line is cleared when the last copy
// of the report goes.
ProgressReport TerminalProgress(std::string what);

}  // namespace vantrel::cli
