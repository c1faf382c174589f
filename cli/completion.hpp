#pragma once
// Shell completion scripts for bash and zsh, generated from the options a
// program's argument parser knows: an option added to the parser is in the
// scripts without further work.
#include <ostream>
#include <string>
#include <string_view>

#include "cli/invocation.hpp"

namespace CLI {
class App;
}

namespace cli {

// The shells a script can be made for, as --completion's value names them.
inline constexpr std::string_view kCompletionShells = "bash|zsh";

// Writes the completion script of `program` for `shell` to `out`, made from
// every option of `app` (its names, whether and how it takes a value, its
// description) and the values the program itself knows (warning names,
// image formats). For a shell not among kCompletionShells, writes nothing
// and returns false with the complaint in `problem`.
bool WriteCompletionScript(const ProgramInfo& program, const CLI::App& app, std::string_view shell,
                           std::ostream& out, std::string& problem);

}  // namespace cli
