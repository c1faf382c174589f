#pragma once
// Which diagnostics a run shows under its warning settings. The command line
// and in-memory callers (the browser page) filter through these, so both
// list the same errors and warnings. Free of the argument parser, so that
// in-memory callers link none of it.
#include <string>
#include <string_view>
#include <vector>

#include "cli/invocation.hpp"
#include "common/diagnostics.hpp"

namespace cli {

// True when the warning is on for this run.
bool WarningEnabled(const WarningSettings& settings, std::string_view name);

// The settings of a command line that names no warning option.
WarningSettings DefaultWarnings(const ProgramInfo& program);

// Applies the -W options (each without its "-W": "all", "no-org", "error")
// in their order to the program's defaults: "all" turns every warning on,
// "no-NAME" one off, "error" makes warnings count as errors, "no-error"
// undoes that. On a name the program does not know, sets `bad` to it and
// returns false.
bool SettleWarnings(const ProgramInfo& program, const std::vector<std::string>& switches, WarningSettings& settings,
                    std::string& bad);

// True for every error and note, and for a warning that is on.
bool Shown(const WarningSettings& settings, const common::Diagnostic& diagnostic);

// A warning's name, from its tag "-WNAME".
std::string_view WarningName(const common::Diagnostic& warning);

// The diagnostic as a run under these settings reports it: under -Werror a
// warning becomes an error tagged "-Werror=NAME". Call only for a shown one.
common::Diagnostic AsReported(const WarningSettings& settings, const common::Diagnostic& diagnostic);

}  // namespace cli
