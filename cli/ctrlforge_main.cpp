#include <cstdio>
#include <iostream>

#include "cli/command_line.hpp"
#include "cli/interruption.hpp"
#include "cli/program_commands.hpp"
#include "ctrlforge/dialogue.hpp"

// With arguments, the command line; without, the console dialogue.
int main(int argc, char** argv) {
    // Either way, an interrupted run leaves no temporary file behind.
    cli::RemoveTemporariesOnInterruption();
    if (argc > 1) {
        return cli::RunCommandLine(cli::CtrlforgeProgram(), cli::AssembleMicroprogram, argc, argv, stdin, stdout, stderr);
    }
    std::ios::sync_with_stdio(false);
    common::Console console{std::cin, std::cout};
    return ctrlforge::RunCtrlforge(console, std::cerr);
}
