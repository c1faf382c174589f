// Checks the examples in the user guides (docs/*.md) against the assemblers.
//
// The guides mark their checked examples with the info string of a fenced
// code block:
//
//   ctrlforge                 a microprogram that assembles without error
//   ctrlforge-error WHAT      a microprogram whose first reported error is WHAT:
//                             a number 1..21, illegal-character,
//                             invalid-address or adrs-over
//   ctrlforge-listing         lines that appear, in this order and adjacent,
//   ctrlforge-object          in the listing, object file, map or console
//   ctrlforge-map             output of the nearest ctrlforge source block
//   ctrlforge-console         above
//   wordforge                 an assembly program without errors
//   wordforge-flag F|L|D      an assembly program whose first flagged listing
//                             line carries that flag in column 1 or 2
//   wordforge-listing         lines of the listing or object file of the
//   wordforge-object          nearest wordforge source block above
//   wordforge-encodings       lines "statement   WORD": each statement,
//                             assembled at location 0010, gives that word
//   ctrlforge-diagnostics     everything the command line prints on standard
//   wordforge-diagnostics     error for the nearest source block above, saved
//                             as the file its "file=NAME" names (prog.mic,
//                             prog.zasm by default) and assembled with the
//                             options of "args=A,B"; "status=N" checks the
//                             exit status (0 by default). A first line
//                             "$ PROGRAM ARGS FILE" shows the command and must
//                             be exactly that call. With "stdin" the source is
//                             given as "-" and read from the file
//                             ("$ PROGRAM ARGS - < FILE"); "dirs=A,B" makes
//                             these folders first.
//   any block with "from=PATH"  lines that appear, in this order and adjacent,
//                             in the project's file PATH (such as the
//                             Makefile of examples/)
//   ctrlforge-image           the bytes of the image file "image=NAME" that
//   wordforge-image           the command line writes for the nearest source
//                             block above, saved as for diagnostics and
//                             assembled with the options of "args=A,B"; LF
//                             in the guide stands for the file's CR LF. With
//                             "head" the block is the file's beginning; with
//                             "hex" it shows the bytes as two-digit
//                             hexadecimal numbers parted by white space
//   ctrlforge-stdout          lines that appear, adjacent, in what the
//   wordforge-stdout          command line prints on standard output with
//                             the options of "args=A,B" and no source
//   ctrlforge-run             everything the command line prints on
//   wordforge-run             standard output (its CR LF shown as LF) for
//                             the nearest source block above, saved as for
//                             diagnostics (or, with "nosource", not given),
//                             beside the files of "files=A,B": the blocks
//                             of any kind whose "save=NAME" names them,
//                             saved as they stand; "args=A,B", "status=N"
//                             and a first line "$ ..." as for diagnostics
//   verilog                   compiled by Icarus Verilog (skipped when it is
//                             missing) and run in the folder where the
//                             command line has written the images of the
//                             nearest source block above ("args=A,B"); it
//                             prints exactly the "verilog-output" block
//                             right after it, or nothing
//
// A source block whose info string also holds "no-final-line-end" is
// assembled without the line end after its last line. A source block may be
// named ("name=demo"); an excerpt block with "of=demo" then refers to it
// instead of the nearest source block above. Excerpt lines are compared
// without their trailing blanks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ctrlforge/ctrlforge.hpp"
#include "wordforge/wordforge.hpp"
#include "tests/support/scratch_folder.hpp"
#include "tests/support/skip.hpp"

namespace {

struct Block {
    std::string file;
    int line = 0;  // line number of the opening fence
    std::vector<std::string> info;  // info string split at blanks
    std::string text;  // the lines of the block, each ending in "\n"
};

std::string Where(const Block& block) { return block.file + ":" + std::to_string(block.line); }

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string RightTrimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\t')) text.pop_back();
    return text;
}

std::vector<Block> ReadBlocks(const std::string& name) {
    std::ifstream in(std::string(DOCS_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << DOCS_DIR << "/" << name;
    std::vector<Block> blocks;
    std::string line;
    int number = 0;
    Block* open = nullptr;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (open == nullptr) {
            if (line.rfind("```", 0) == 0) {
                blocks.push_back(Block{name, number, Words(line.substr(3)), ""});
                open = &blocks.back();
            }
        } else if (RightTrimmed(line) == "```") {
            open = nullptr;
        } else {
            open->text += line;
            open->text += '\n';
        }
    }
    EXPECT_EQ(open, nullptr) << name << ": a code block is not closed";
    return blocks;
}

std::string Kind(const Block& block) { return block.info.empty() ? "" : block.info[0]; }

bool Has(const Block& block, const std::string& word) {
    return std::find(block.info.begin() + (block.info.empty() ? 0 : 1), block.info.end(), word) != block.info.end();
}

// The value of a "key=value" word of the info string, or "".
std::string Option(const Block& block, const std::string& key) {
    for (std::size_t i = 1; i < block.info.size(); ++i) {
        if (block.info[i].rfind(key + "=", 0) == 0) return block.info[i].substr(key.size() + 1);
    }
    return "";
}

// The source block an excerpt block shows the output of.
const Block* SourceFor(const Block& excerpt, const Block* nearest, const std::vector<Block>& blocks) {
    const std::string of = Option(excerpt, "of");
    if (of.empty()) return nearest;
    for (const Block& block : blocks) {
        if (Option(block, "name") == of) return &block;
    }
    return nullptr;
}

// The source as the test feeds it to an assembler.
std::string SourceOf(const Block& block) {
    std::string text = block.text;
    if (Has(block, "no-final-line-end") && !text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(RightTrimmed(line));
    return lines;
}

// Whether `excerpt` occurs in `output` as adjacent whole lines.
bool ContainsLines(const std::string& output, const std::string& excerpt) {
    std::vector<std::string> all = Lines(output);
    std::vector<std::string> part = Lines(excerpt);
    if (part.empty()) return false;
    return std::search(all.begin(), all.end(), part.begin(), part.end()) != all.end();
}

namespace fs = std::filesystem;

// The items of a comma-separated info value ("args=-S,-Wall").
std::vector<std::string> Items(const std::string& list) {
    std::vector<std::string> items;
    for (std::size_t at = 0; !list.empty() && at <= list.size();) {
        std::size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        items.push_back(list.substr(at, comma - at));
        at = comma + 1;
    }
    return items;
}

// LF as the guides show line ends, CR LF as the programs' files hold them.
std::string WithCrLf(const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What the scratch folder of the command-line run of one block is called.
std::string FolderPurpose(const Block& block) {
    return "docs-" + fs::path(block.file).stem().string() + "-" + std::to_string(block.line);
}

// Saves the source block in the folder under its file name ("file=NAME", or
// the default) with the CR LF line ends of the examples; returns the name.
std::string SaveSource(const Block& source, const fs::path& folder, const std::string& defaultName) {
    std::string name = Option(source, "file");
    if (name.empty()) name = defaultName;
    std::ofstream out(folder / name, std::ios::binary);
    out << WithCrLf(SourceOf(source));
    return name;
}

// Runs the built program's command line in the folder: the options of the
// block's "args=A,B", then the source name when there is one ("- < NAME"
// with "stdin"), after making the folders of "dirs=A,B". Standard output
// and error go to stdout.txt and stderr.txt. Returns the exit status, and
// sets `shown` to the call as a guide writes it ("$ PROGRAM ARGS NAME").
int RunProgram(const std::string& program, const Block& block, const fs::path& folder, const std::string& name,
               std::string* shown = nullptr) {
    for (const std::string& dir : Items(Option(block, "dirs"))) fs::create_directories(folder / dir);
    const bool fromStdin = Has(block, "stdin");
    std::string args;
    std::string call = "$ " + fs::path(program).filename().string();
    for (const std::string& arg : Items(Option(block, "args"))) {
        args += " '" + arg + "'";
        call += " " + arg;
    }
    if (!name.empty()) {
        args += fromStdin ? " - <'" + name + "'" : " '" + name + "'";
        call += fromStdin ? " - < " + name : " " + name;
    }
    if (shown != nullptr) *shown = call;
    const std::string command = "cd '" + folder.string() + "' && '" + program + "'" + args +
                                " >stdout.txt 2>stderr.txt";
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Runs the command line on the source block and checks standard error and
// the exit status against the excerpt block, and the command it shows in a
// first line "$ ...", if any.
void CheckDiagnostics(const std::string& program, const Block& excerpt, const Block& source,
                      const std::string& defaultName) {
    const test_support::ScratchFolder scratch(FolderPurpose(excerpt));
    const fs::path& folder = scratch.Path();
    std::string shown;
    const int status = RunProgram(program, excerpt, folder, SaveSource(source, folder, defaultName), &shown);
    std::string expected = excerpt.text;
    if (expected.rfind("$ ", 0) == 0) {
        const std::size_t end = expected.find('\n');
        EXPECT_EQ(RightTrimmed(expected.substr(0, end)), shown) << Where(excerpt) << ": the command shown";
        expected.erase(0, end == std::string::npos ? expected.size() : end + 1);
    }
    EXPECT_EQ(ReadFile(folder / "stderr.txt"), expected) << Where(excerpt) << " (source at " << Where(source) << ")";
    std::string wanted = Option(excerpt, "status");
    EXPECT_EQ(status, wanted.empty() ? 0 : std::stoi(wanted)) << Where(excerpt);
}

// The bytes a "hex" block shows: two-digit hexadecimal numbers parted by
// white space.
std::string HexBytes(const Block& block) {
    std::string bytes;
    for (const std::string& word : Words(block.text)) {
        EXPECT_EQ(word.size(), 2u) << Where(block) << ": \"" << word << "\" is no byte";
        bytes.push_back(static_cast<char>(std::stoul(word, nullptr, 16)));
    }
    return bytes;
}

// Runs the command line on the source block with the image block's options
// and compares the image file it names ("image=NAME") with the block: the
// whole file, or its beginning with "head".
void CheckImage(const std::string& program, const Block& excerpt, const Block& source,
                const std::string& defaultName) {
    const std::string image = Option(excerpt, "image");
    ASSERT_FALSE(image.empty()) << Where(excerpt) << ": which image? (image=NAME)";
    const test_support::ScratchFolder scratch(FolderPurpose(excerpt));
    const fs::path& folder = scratch.Path();
    const int status = RunProgram(program, excerpt, folder, SaveSource(source, folder, defaultName));
    EXPECT_EQ(status, 0) << Where(excerpt) << "\n" << ReadFile(folder / "stderr.txt");
    ASSERT_TRUE(fs::exists(folder / image)) << Where(excerpt) << ": " << image << " was not written";
    const std::string bytes = ReadFile(folder / image);
    const std::string expected = Has(excerpt, "hex") ? HexBytes(excerpt) : WithCrLf(excerpt.text);
    if (Has(excerpt, "head")) {
        EXPECT_EQ(bytes.substr(0, expected.size()), expected) << Where(excerpt) << " (source at " << Where(source) << ")";
    } else {
        EXPECT_EQ(bytes, expected) << Where(excerpt) << " (source at " << Where(source) << ")";
    }
}

// Runs the command line as a "-run" block says and checks everything it
// prints on standard output, and its exit status.
void CheckRun(const std::string& program, const Block& excerpt, const Block& source, const std::string& defaultName,
              const std::vector<Block>& blocks) {
    const test_support::ScratchFolder scratch(FolderPurpose(excerpt));
    const fs::path& folder = scratch.Path();
    for (const std::string& name : Items(Option(excerpt, "files"))) {
        auto saved = std::find_if(blocks.begin(), blocks.end(), [&](const Block& b) { return Option(b, "save") == name; });
        ASSERT_NE(saved, blocks.end()) << Where(excerpt) << ": no block saves " << name;
        std::ofstream(folder / name, std::ios::binary) << saved->text;
    }
    const std::string name = Has(excerpt, "nosource") ? "" : SaveSource(source, folder, defaultName);
    std::string shown;
    const int status = RunProgram(program, excerpt, folder, name, &shown);
    std::string expected = excerpt.text;
    if (expected.rfind("$ ", 0) == 0) {
        const std::size_t end = expected.find('\n');
        EXPECT_EQ(RightTrimmed(expected.substr(0, end)), shown) << Where(excerpt) << ": the command shown";
        expected.erase(0, end == std::string::npos ? expected.size() : end + 1);
    }
    std::string printed;
    for (char c : ReadFile(folder / "stdout.txt")) {
        if (c != '\r') printed += c;
    }
    EXPECT_EQ(printed, expected) << Where(excerpt) << " (source at " << Where(source) << ")\n"
                                 << ReadFile(folder / "stderr.txt");
    const std::string wanted = Option(excerpt, "status");
    EXPECT_EQ(status, wanted.empty() ? 0 : std::stoi(wanted)) << Where(excerpt);
}

// Runs the command line with the block's options alone and checks that its
// lines appear, adjacent, in what the program prints on standard output.
void CheckStandardOutput(const std::string& program, const Block& excerpt) {
    const test_support::ScratchFolder scratch(FolderPurpose(excerpt));
    const fs::path& folder = scratch.Path();
    EXPECT_EQ(RunProgram(program, excerpt, folder, ""), 0) << Where(excerpt);
    const std::string printed = ReadFile(folder / "stdout.txt");
    EXPECT_TRUE(ContainsLines(printed, excerpt.text)) << Where(excerpt) << "\nexpected:\n"
                                                      << excerpt.text << "printed:\n" << printed;
}

// Compiles a Verilog block with Icarus Verilog and runs it where the command
// line has written the images of the source block ("args=A,B"); what it
// prints must be the "verilog-output" block right after it, or nothing.
void CheckVerilog(const std::string& program, const std::string& iverilog, const std::string& vvp,
                  const Block& verilog, const Block* output, const Block& source, const std::string& defaultName) {
    const test_support::ScratchFolder scratch(FolderPurpose(verilog));
    const fs::path& folder = scratch.Path();
    const int status = RunProgram(program, verilog, folder, SaveSource(source, folder, defaultName));
    EXPECT_EQ(status, 0) << Where(verilog) << "\n" << ReadFile(folder / "stderr.txt");
    {
        std::ofstream out(folder / "example.v", std::ios::binary);
        out << verilog.text;
    }
    const std::string in = "cd '" + folder.string() + "' && ";
    int raw = std::system((in + "'" + iverilog + "' -o example.vvp example.v >compiled.txt 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << Where(verilog) << "\n" << ReadFile(folder / "compiled.txt");
    EXPECT_EQ(ReadFile(folder / "compiled.txt"), "") << Where(verilog);
    raw = std::system((in + "'" + vvp + "' -n example.vvp >printed.txt 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << Where(verilog);
    EXPECT_EQ(ReadFile(folder / "printed.txt"), output != nullptr ? output->text : "") << Where(verilog);
}

// The full path of an executable found on PATH, or "".
std::string FindTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (folder.empty()) continue;
        const fs::path candidate = fs::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate)) return candidate.string();
    }
    return "";
}

// The checks of the command-line examples of a guide, for each block of
// those kinds after the source block it refers to.
void CheckCommandLineExamples(const std::vector<Block>& blocks, const std::string& program,
                              const std::string& prefix, const std::string& defaultName,
                              const std::vector<std::string>& sourceKinds) {
    const Block* source = nullptr;
    for (const Block& block : blocks) {
        const std::string kind = Kind(block);
        if (std::find(sourceKinds.begin(), sourceKinds.end(), kind) != sourceKinds.end()) source = &block;
        if (kind == prefix + "-stdout") CheckStandardOutput(program, block);
        if (kind != prefix + "-diagnostics" && kind != prefix + "-image" && kind != prefix + "-run") continue;
        const Block* shown = SourceFor(block, source, blocks);
        ASSERT_NE(shown, nullptr) << Where(block) << ": no source block for it";
        if (kind == prefix + "-diagnostics") CheckDiagnostics(program, block, *shown, defaultName);
        if (kind == prefix + "-image") CheckImage(program, block, *shown, defaultName);
        if (kind == prefix + "-run") CheckRun(program, block, *shown, defaultName, blocks);
    }
}

void CheckVerilogExamples(const std::vector<Block>& blocks, const std::string& program, const std::string& defaultName,
                          const std::vector<std::string>& sourceKinds) {
    const Block* source = nullptr;
    std::size_t examples = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Block& block = blocks[i];
        if (std::find(sourceKinds.begin(), sourceKinds.end(), Kind(block)) != sourceKinds.end()) source = &block;
        if (Kind(block) != "verilog") continue;
        if (examples++ == 0) {
            // Checked only where Icarus Verilog is installed.
            const std::string iverilog = FindTool("iverilog");
            const std::string vvp = FindTool("vvp");
            if (iverilog.empty() || vvp.empty()) ZORVELT_SKIP("iverilog or vvp not found on PATH: Verilog examples skipped");
        }
        const Block* shown = SourceFor(block, source, blocks);
        ASSERT_NE(shown, nullptr) << Where(block) << ": no source block for it";
        const Block* output = i + 1 < blocks.size() && Kind(blocks[i + 1]) == "verilog-output" ? &blocks[i + 1] : nullptr;
        CheckVerilog(program, FindTool("iverilog"), FindTool("vvp"), block, output, *shown, defaultName);
    }
}

// Checks every block with "from=PATH" against that file of the project.
void CheckProjectExcerpts(const std::vector<Block>& blocks) {
    for (const Block& block : blocks) {
        const std::string from = Option(block, "from");
        if (from.empty()) continue;
        std::ifstream in(std::string(DOCS_DIR) + "/../" + from, std::ios::binary);
        ASSERT_TRUE(in.good()) << Where(block) << ": cannot read " << from;
        std::ostringstream text;
        text << in.rdbuf();
        EXPECT_TRUE(ContainsLines(text.str(), block.text)) << Where(block) << ": not in " << from;
    }
}

// ---------------------------------------------------------------- ctrlforge

const std::map<int, std::string> kCtrlMessages = {
    {1, ":THIS LABEL ALREADY DEFINED."},
    {2, ":ILLEGAL FORMAT OF PROGRAM TITLE."},
    {3, ":END OF MICRO_INSTRUCTION MUST BE \";\" OR END OF LINE."},
    {4, ":ILLEGAL FORMAT OF TEST CONDITION."},
    {5, ":NO THEN CLAUSE FOR IF STATEMENT."},
    {6, ":LABEL IS EXPECTED IN THIS CLAUSE."},
    {7, ":ILLEGAL IF STATEMENT."},
    {8, ":ELSE CLAUSE MUST BE \"FETCH\"."},
    {9, ":LT FEILD ALREADY DEFINED."},
    {10, ":LITERAL IS OUT OF RANGE."},
    {11, ":ILLEGAL EXPRESSION OR ASSIGNMENT."},
    {12, ":RB FEILD ALREADY DEFINED."},
    {13, ":ILLEGAL EXCEPTION STATEMENT."},
    {14, ":LB FEILD ALREADY DEFINED."},
    {15, ":EX FEILD ALREADY DEFINED."},
    {16, ":ILLEGAL FORMAT OF INSTRUCTION HEADING OR UNKNOWN STATEMENT."},
    {17, ":SPECIFIED ADDRESS OVERLAPPED."},
    {18, ":ADDRESS IS OUT OF LIMIT."},
    {19, ":.END EXPECTED."},
    {21, ":ILLEGAL TYPE OF PROGRAM ENDING."},
};

std::string NumberedHead(int number) {
    std::string digits = std::to_string(number);
    return "ERROR" + std::string(5 - digits.size(), ' ') + digits;
}

// The first line of the listing that reports an error.
std::string FirstErrorLine(const std::string& listing) {
    for (const std::string& line : Lines(listing)) {
        if (line.rfind("ERROR", 0) == 0) return line;
    }
    return "";
}

ctrlforge::CtrlOutput Assemble(const Block& block) { return ctrlforge::AssembleText(SourceOf(block), {}); }

const std::vector<Block>& MicroBlocks() {
    static const std::vector<Block> blocks = ReadBlocks("microprogramming.md");
    return blocks;
}

TEST(MicroprogrammingGuide, HasCheckedExamples) {
    std::size_t checked = 0;
    for (const Block& block : MicroBlocks()) {
        if (Kind(block).rfind("ctrlforge", 0) == 0) ++checked;
    }
    EXPECT_GE(checked, 30u);
}

TEST(MicroprogrammingGuide, ExampleProgramsAssembleWithoutError) {
    for (const Block& block : MicroBlocks()) {
        if (Kind(block) != "ctrlforge") continue;
        ctrlforge::CtrlOutput out = Assemble(block);
        EXPECT_FALSE(out.failed) << Where(block) << "\n" << out.listing;
        EXPECT_TRUE(ContainsLines(out.listing, "THERE WAS NO ERROR IN ASSEMBLE.")) << Where(block);
        EXPECT_TRUE(ContainsLines(out.console, "NORMAL TERMINATION!")) << Where(block);
    }
}

TEST(MicroprogrammingGuide, ErrorExamplesReportTheirError) {
    for (const Block& block : MicroBlocks()) {
        if (Kind(block) != "ctrlforge-error") continue;
        ASSERT_GE(block.info.size(), 2u) << Where(block) << ": which error?";
        const std::string& what = block.info[1];
        ctrlforge::CtrlOutput out = Assemble(block);
        std::string first = FirstErrorLine(out.listing);
        if (what == "illegal-character") {
            EXPECT_EQ(first, "ERROR: ILLEGAL CHARACTER") << Where(block) << "\n" << out.listing;
        } else if (what == "invalid-address") {
            EXPECT_TRUE(out.failed) << Where(block);
            EXPECT_EQ(first.rfind("ERROR: INVALID SPECIFIED ADDRESS IN ", 0), 0u) << Where(block) << "\n" << out.listing;
        } else if (what == "adrs-over") {
            EXPECT_TRUE(out.failed) << Where(block);
            EXPECT_TRUE(ContainsLines(out.console, "ADRS OVER")) << Where(block) << "\n" << out.console;
        } else {
            int number = std::stoi(what);
            EXPECT_TRUE(out.failed) << Where(block);
            EXPECT_TRUE(ContainsLines(out.console, "ERROR OCCURRED IN ASSEMBLE-TIME!")) << Where(block);
            if (number == 20) {
                EXPECT_EQ(first.rfind(NumberedHead(20) + ":LABELS(", 0), 0u) << Where(block) << "\n" << out.listing;
                EXPECT_NE(first.find(") IS NOT DECLARED."), std::string::npos) << Where(block);
            } else {
                ASSERT_EQ(kCtrlMessages.count(number), 1u) << Where(block) << ": no error " << number;
                EXPECT_EQ(first, NumberedHead(number) + kCtrlMessages.at(number)) << Where(block) << "\n"
                                                                                  << out.listing;
            }
        }
    }
}

TEST(MicroprogrammingGuide, OutputExcerptsMatchTheProgram) {
    const Block* source = nullptr;
    for (const Block& block : MicroBlocks()) {
        const std::string kind = Kind(block);
        if (kind == "ctrlforge" || kind == "ctrlforge-error") {
            source = &block;
            continue;
        }
        if (kind != "ctrlforge-listing" && kind != "ctrlforge-object" && kind != "ctrlforge-map" &&
            kind != "ctrlforge-console") {
            continue;
        }
        const Block* shown = SourceFor(block, source, MicroBlocks());
        ASSERT_NE(shown, nullptr) << Where(block) << ": no source block for it";
        ctrlforge::CtrlOutput out = Assemble(*shown);
        const std::string& output = kind == "ctrlforge-listing" ? out.listing
                                    : kind == "ctrlforge-object" ? out.object
                                    : kind == "ctrlforge-map"    ? out.map
                                                                 : out.console;
        EXPECT_TRUE(ContainsLines(output, block.text))
            << Where(block) << " (source at " << Where(*shown) << ")\nexpected:\n"
            << block.text << "actual:\n" << output;
    }
}

TEST(MicroprogrammingGuide, CommandLineExamplesMatchTheProgram) {
    CheckCommandLineExamples(MicroBlocks(), CTRLFORGE_PROGRAM, "ctrlforge", "prog.mic",
                             {"ctrlforge", "ctrlforge-error"});
}

TEST(MicroprogrammingGuide, VerilogExamplesLoadTheImages) {
    CheckVerilogExamples(MicroBlocks(), CTRLFORGE_PROGRAM, "prog.mic", {"ctrlforge", "ctrlforge-error"});
}

TEST(MicroprogrammingGuide, ExcerptsOfProjectFilesMatch) { CheckProjectExcerpts(MicroBlocks()); }

TEST(MicroprogrammingGuide, EveryErrorHasAnExample) {
    std::set<std::string> shown;
    for (const Block& block : MicroBlocks()) {
        if (Kind(block) == "ctrlforge-error" && block.info.size() >= 2) shown.insert(block.info[1]);
    }
    for (int number = 1; number <= 21; ++number) {
        EXPECT_GE(shown.count(std::to_string(number)), 1u) << "no example of error " << number;
    }
    for (const char* special : {"illegal-character", "invalid-address", "adrs-over"}) {
        EXPECT_GE(shown.count(special), 1u) << "no example of " << special;
    }
}

// ---------------------------------------------------------------- wordforge

const std::vector<Block>& AssemblyBlocks() {
    static const std::vector<Block> blocks = ReadBlocks("assembly.md");
    return blocks;
}

// The statement lines of a listing: everything before the error summary.
std::vector<std::string> StatementLines(const std::string& listing) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines(listing)) {
        if (line.rfind("THERE W", 0) == 0) break;
        lines.push_back(line);
    }
    return lines;
}

bool IsFlag(char c) { return c == 'F' || c == 'L' || c == 'D'; }

TEST(AssemblyGuide, HasCheckedExamples) {
    std::size_t checked = 0;
    for (const Block& block : AssemblyBlocks()) {
        if (Kind(block).rfind("wordforge", 0) == 0) ++checked;
    }
    EXPECT_GE(checked, 15u);
}

TEST(AssemblyGuide, ExampleProgramsAssembleWithoutError) {
    for (const Block& block : AssemblyBlocks()) {
        if (Kind(block) != "wordforge") continue;
        wordforge::WordResult out = wordforge::AssembleText(SourceOf(block));
        EXPECT_EQ(out.errorCount, 0) << Where(block) << "\n" << out.listing;
        EXPECT_TRUE(ContainsLines(out.listing, "THERE WERE NO ERRORS.")) << Where(block);
    }
}

TEST(AssemblyGuide, FlagExamplesShowTheirFlag) {
    for (const Block& block : AssemblyBlocks()) {
        if (Kind(block) != "wordforge-flag") continue;
        ASSERT_GE(block.info.size(), 2u) << Where(block) << ": which flag?";
        ASSERT_EQ(block.info[1].size(), 1u) << Where(block);
        const char flag = block.info[1][0];
        wordforge::WordResult out = wordforge::AssembleText(SourceOf(block));
        EXPECT_GT(out.errorCount, 0) << Where(block);
        std::string first;
        for (const std::string& line : StatementLines(out.listing)) {
            if (!line.empty() && (IsFlag(line[0]) || (line.size() > 1 && IsFlag(line[1])))) {
                first = line;
                break;
            }
        }
        EXPECT_TRUE(!first.empty() && (first[0] == flag || (first.size() > 1 && first[1] == flag)))
            << Where(block) << ": first flagged line \"" << first << "\"\n" << out.listing;
    }
}

TEST(AssemblyGuide, OutputExcerptsMatchTheProgram) {
    const Block* source = nullptr;
    for (const Block& block : AssemblyBlocks()) {
        const std::string kind = Kind(block);
        if (kind == "wordforge" || kind == "wordforge-flag") {
            source = &block;
            continue;
        }
        if (kind != "wordforge-listing" && kind != "wordforge-object") continue;
        const Block* shown = SourceFor(block, source, AssemblyBlocks());
        ASSERT_NE(shown, nullptr) << Where(block) << ": no source block for it";
        wordforge::WordResult out = wordforge::AssembleText(SourceOf(*shown));
        const std::string& output = kind == "wordforge-listing" ? out.listing : out.object;
        EXPECT_TRUE(ContainsLines(output, block.text))
            << Where(block) << " (source at " << Where(*shown) << ")\nexpected:\n"
            << block.text << "actual:\n" << output;
    }
}

TEST(AssemblyGuide, EncodingExamplesGiveTheirWords) {
    std::size_t statements = 0;
    for (const Block& block : AssemblyBlocks()) {
        if (Kind(block) != "wordforge-encodings") continue;
        std::istringstream in(block.text);
        for (std::string line; std::getline(in, line);) {
            line = RightTrimmed(line);
            if (line.empty()) continue;
            std::size_t cut = line.find_last_of(' ');
            ASSERT_NE(cut, std::string::npos) << Where(block) << ": " << line;
            const std::string statement = RightTrimmed(line.substr(0, cut));
            const std::string word = line.substr(cut + 1);
            wordforge::WordResult out =
                wordforge::AssembleText("        ORG   10\n        " + statement + "\n        END\n");
            EXPECT_EQ(out.errorCount, 0) << Where(block) << ": " << statement << "\n" << out.listing;
            EXPECT_TRUE(ContainsLines(out.object, "0010  " + word))
                << Where(block) << ": " << statement << " should give " << word << "\n" << out.object;
            ++statements;
        }
    }
    EXPECT_GE(statements, 39u);
}

TEST(AssemblyGuide, CommandLineExamplesMatchTheProgram) {
    CheckCommandLineExamples(AssemblyBlocks(), WORDFORGE_PROGRAM, "wordforge", "prog.zasm",
                             {"wordforge", "wordforge-flag"});
}

TEST(AssemblyGuide, VerilogExamplesLoadTheImages) {
    CheckVerilogExamples(AssemblyBlocks(), WORDFORGE_PROGRAM, "prog.zasm", {"wordforge", "wordforge-flag"});
}

TEST(AssemblyGuide, ExcerptsOfProjectFilesMatch) { CheckProjectExcerpts(AssemblyBlocks()); }

TEST(AssemblyGuide, EveryFlagHasAnExample) {
    std::set<std::string> shown;
    for (const Block& block : AssemblyBlocks()) {
        if (Kind(block) == "wordforge-flag" && block.info.size() >= 2) shown.insert(block.info[1]);
    }
    for (const char* flag : {"F", "L", "D"}) EXPECT_GE(shown.count(flag), 1u) << "no example of flag " << flag;
}

}  // namespace
