#pragma once
// What the tests that drive real consumers share: finding and running the
// tools, files in a fresh work folder, and the images of assembled programs
// made from the words the assemblers hand over.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image/placed_word.hpp"
#include "image/store.hpp"

namespace image_test {

// The full path of an executable found on PATH.
std::optional<std::string> FindTool(const std::string& name);

// Runs a shell command with its standard output and error going to
// `output`; returns its exit status (-1 when it did not exit normally).
int Run(const std::string& command, const std::filesystem::path& output);

std::string Quote(const std::filesystem::path& path);

// An empty folder for one test under the build tree.
std::filesystem::path FreshFolder(const std::string& name);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A bundled example or one of the test programs beside this file.
std::string Example(const std::string& name);
std::string TestProgram(const std::string& name);

// One assembly, error free, with the words its object file lists.
struct Program {
    std::string name;    // the source's name
    std::string object;  // the object file
    std::string map;     // the map (ctrlforge only)
    std::vector<image::PlacedWord> placed;
    image::Store store;  // the store the program loads into, default fill
};

Program AssembleMicro(const std::string& name, const std::string& source);
Program AssembleMachine(const std::string& name, const std::string& source);

// A run of a real program's command line: the source saved under its name
// in `folder`, then the program started there with `arguments` (shell
// words) before the source name. Returns the exit status; what the program
// prints goes to folder/"log".
enum class Assembler { Ctrlforge, Wordforge };
int RunCommandLine(Assembler assembler, const std::filesystem::path& folder, const std::string& sourceName,
                   const std::string& source, const std::string& arguments);

// The path of the real program.
std::string ProgramPath(Assembler assembler);

// The object file's words as loading its lines in order leaves them: word
// address to word, as the image reader reads them from the lines after the
// first ("010  121C701F05", "0010  0905") of an object file of words of
// that width, in a store of that depth.
std::map<std::uint32_t, std::uint64_t> ObjectFileWords(const std::string& object, unsigned wordBits,
                                                       std::uint32_t depth);

// Splits text at line ends (LF or CR LF).
std::vector<std::string> Lines(const std::string& text);

}  // namespace image_test
