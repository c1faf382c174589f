#include "common/console.hpp"

namespace common {

void Prompt(Console& console, std::string_view text) {
    console.out << text;
    console.out.flush();
}

bool ReadAnswer(Console& console, std::string& answer) {
    answer.clear();
    if (!std::getline(console.in, answer)) {
        // getline fails only when nothing at all could be read.
        return !answer.empty();
    }
    if (!answer.empty() && answer.back() == '\r') answer.pop_back();
    return true;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string InputEndedLine(std::string_view program, std::string_view question) {
    const std::size_t first = question.find_first_not_of(' ');
    const std::size_t last = question.find_last_not_of(' ');
    std::string line(program);
    line += ": console input ended at the open question ";
    if (first != std::string_view::npos) line += question.substr(first, last - first + 1);
    return line;
}

YesNo AskYesNo(Console& console) {
    std::string answer;
    for (;;) {
        Prompt(console, "(Y/N):");
        if (!ReadAnswer(console, answer)) return YesNo::InputEnded;
        answer = UpperCase(answer);
        if (!answer.empty() && answer[0] == 'Y') return YesNo::Yes;
        if (!answer.empty() && answer[0] == 'N') return YesNo::No;
    }
}

}  // namespace common
