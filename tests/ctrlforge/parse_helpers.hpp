#pragma once
// Runs the parse pass over a source held in memory.
#include <memory>
#include <string>
#include <vector>

#include "ctrlforge/parse_pass.hpp"

namespace ctrlforge::testing {

struct Parsed {
    common::OutputSink listing, object, map;
    CtrlRun run;
    std::string source;
};

inline std::unique_ptr<Parsed> Parse(const std::string& source) {
    auto p = std::make_unique<Parsed>();
    p->source = source;
    p->run.source = p->source;
    p->run.options = OptionSet{true, true, true};
    p->run.listing = &p->listing;
    p->run.object = &p->object;
    p->run.map = &p->map;
    ParsePass(p->run);
    return p;
}

// Joins lines with CR LF after each.
inline std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// A program of one statement: the heading "*", the given clause lines, a
// comment line (which an error found at a line end consumes) and .END.
inline std::unique_ptr<Parsed> Statement(std::initializer_list<const char*> clauses) {
    std::string text = ".TITLE PROG\r\n*\r\n";
    for (const char* line : clauses) {
        text += line;
        text += "\r\n";
    }
    text += ";\r\n.END\r\n";
    return Parse(text);
}

// The error numbers in the order their lines appear in the listing.
inline std::vector<int> Errors(const std::string& listing) {
    std::vector<int> numbers;
    std::size_t at = 0;
    while ((at = listing.find("\nERROR", at)) != std::string::npos) {
        std::string digits = listing.substr(at + 6, 5);
        if (digits.find_first_not_of(' ') != std::string::npos && digits[0] == ' ') {
            numbers.push_back(std::stoi(digits));
        }
        at += 6;
    }
    return numbers;
}

// The error numbers other than 20 (labels used and never defined).
inline std::vector<int> StatementErrors(const std::string& listing) {
    std::vector<int> numbers;
    for (int n : Errors(listing)) {
        if (n != 20) numbers.push_back(n);
    }
    return numbers;
}

}  // namespace ctrlforge::testing
