#pragma once
// Console layer shared by both programs: prompts without line end, whole-line
// answers, and the yes/no question.
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace common {

struct Console {
    std::istream& in;
    std::ostream& out;
};

// Writes text without a line end and flushes, so an answer can follow on the
// same line.
void Prompt(Console& console, std::string_view text);

// Reads one answer: the input line without its line feed (and without a
// carriage return directly before it). A last line without a line feed is an
// answer too. Returns false when the input has ended before any character.
bool ReadAnswer(Console& console, std::string& answer);

// Upper-cases the letters a to z; nothing else changes.
std::string UpperCase(std::string_view text);

enum class YesNo { Yes, No, InputEnded };

// The line a dialogue writes on standard error when the console input ends
// while `question` waits for its answer ("ctrlforge: console input ended at
// the open question OPTION?"); the question's own blanks are left out.
std::string InputEndedLine(std::string_view program, std::string_view question);

// Writes "(Y/N):" and reads answers until one begins with Y or N (after
// upper-casing). Only "(Y/N):" is repeated.
YesNo AskYesNo(Console& console);

}  // namespace common
