#pragma once
// The command lines of the two programs.
#include <string_view>

#include "cli/assembly.hpp"
#include "cli/invocation.hpp"

namespace cli {

const ProgramInfo& CtrlforgeProgram();
const ProgramInfo& WordforgeProgram();

// The assemblies the command lines run (cli::RunCommandLine), also used by
// in-memory callers.
bool AssembleMicroprogram(std::string_view source, const JobOutputs& outputs);
bool AssembleProgram(std::string_view source, const JobOutputs& outputs);

}  // namespace cli
