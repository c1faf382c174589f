#pragma once
// The server's settings, from the client's initializationOptions and from
// workspace/didChangeConfiguration. Both carry the same object, the section
// "zorvelt" of the editor's settings, either as it is or under that key:
//
//   { "ctrlforgeWarnings": ["-Wall", "-Werror"],   the -W options of the
//     "wordforgeWarnings": ["-Wno-org"],            command line, in order
//     "inlayHints": true }                          off when not given
//
// A settings object replaces the settings as a whole: what it leaves out is
// back at its default, which is what each program's command line does
// without that option.
#include <string>
#include <vector>

#include "cli/invocation.hpp"
#include "lsp/json.hpp"

namespace lsp {

struct ServerSettings {
    cli::WarningSettings microprogramWarnings;
    cli::WarningSettings assemblyWarnings;
    bool inlayHints = false;
};

// The settings of a command line that names no warning option.
ServerSettings DefaultSettings();

// The settings the object gives. A list of options the command line would
// refuse is left at its default, and `problems` says why, one line each.
ServerSettings SettingsFrom(const Json& object, std::vector<std::string>& problems);

}  // namespace lsp
