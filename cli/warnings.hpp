#pragma once
// Which diagnostics a run shows under its warning settings. The command line
// and in-memory callers (the browser page) filter through these, so both
// list the same errors and warnings. Free of the argument parser, so that
// in-memory callers link none of it.
#include <string_view>

#include "cli/invocation.hpp"
#include "common/diagnostics.hpp"

namespace cli {

// True when the warning is on for this run.
bool WarningEnabled(const WarningSettings& settings, std::string_view name);

// The settings of a command line that names no warning option.
WarningSettings DefaultWarnings(const ProgramInfo& program);

// True for every error and note, and for a warning that is on.
bool Shown(const WarningSettings& settings, const common::Diagnostic& diagnostic);

// A warning's name, from its tag "-WNAME".
std::string_view WarningName(const common::Diagnostic& warning);

}  // namespace cli
