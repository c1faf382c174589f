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
