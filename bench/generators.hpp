#pragma once
// Deterministic benchmark inputs for both assemblers. The same text is
// written to files by bench_gen and assembled in memory by the benchmarks.
#include <cstddef>
#include <string>

namespace bench {

// A ctrlforge microprogram that fills the control store: 4,095 statements at
// addresses 0 to 4094 using every clause kind, labels with forward and
// backward references, aligned IOP, IRA and IAB targets. Assembles without
// errors. CR LF line ends.
std::string CtrlFillProgram();

// A ctrlforge source of exactly `lines` lines: the fill program's statements,
// then statements whose headings lie past the control store (each one an
// error), padded with comment lines and ended by .END.
std::string CtrlOverflowProgram(std::size_t lines);

// A ctrlforge source of exactly `lines` lines in which every statement
// defines a label and branches forward to the next statement's label (the
// last one back to the first). The statements' addresses run through the
// control store and start over at 0 every 4,095 statements; each statement
// starting over is an error (17), so the run fails, but every other one is
// assembled, and a source of any size is the same mix per line.
std::string CtrlLabelProgram(std::size_t lines);

// A wordforge program of exactly `lines` lines: leading comments, TITLE,
// blocks that each start with ORG 0 and use every mnemonic, labels (defined in
// the first block) with branches near them, comments, DC and DS; then END.
// Assembles without errors. CR LF line ends.
std::string WordProgram(std::size_t lines);

// A wordforge program like WordProgram that produces exactly `words` words
// (at least one block's worth, so that every label is defined), then END.
std::string WordProgramOfWords(std::size_t words);

// A wordforge program of exactly `lines` lines with a label on every fourth
// line and two label references per four lines, one forward and one
// backward, each within branch reach. Assembles without errors.
std::string WordLabelProgram(std::size_t lines);

// A wordforge program of 65,536 words, every address of main memory:
// 4,096 blocks of sixteen one-word lines, each block's label branched to
// from within the block and from the block before it; LF line ends.
// Assembles without a diagnostic. The page's benchmark (web_editor.mjs)
// builds the same text.
std::string WordFullMemoryProgram();

// A wordforge program that fills main memory: 65,536 words, one a line, of
// every machine instruction and DC, labels every 32 words that the
// relative operands name. Assembles without errors.
std::string WordMemoryProgram();

// `lines` lines of "\tadd $5, %eax" for GNU as.
std::string GasProgram(std::size_t lines);

// Number of line ends in a text.
std::size_t CountLines(const std::string& text);

}  // namespace bench
