#pragma once
// Helpers shared by the wordforge tests: whole assemblies from strings and
// the listing split into lines.
#include <string>
#include <string_view>
#include <vector>

#include "wordforge/wordforge.hpp"

namespace wordforge_test {

// Splits text at CR LF; a text ending in CR LF gives no empty last element.
inline std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string Blanks(std::size_t n) { return std::string(n, ' '); }

// One statement assembled at location 0010, between "ORG 10" and "END".
struct Statement {
    std::string listingLine;  // the statement's listing line
    std::string object;       // the object lines from address 0010 on
    int errors = 0;
};

// Lines in `prefix` come before the ORG, lines in `suffix` after the
// statement (each ending in CR LF).
inline Statement AssembleAt10(const std::string& statement, const std::string& prefix = "",
                              const std::string& suffix = "") {
    wordforge::WordResult result =
        wordforge::AssembleText(prefix + "  ORG 10\r\n" + statement + "\r\n" + suffix + "  END\r\n");
    std::vector<std::string> lines = Lines(result.listing);
    Statement s;
    std::size_t prefixLines = Lines(prefix).size();
    s.listingLine = lines.size() > prefixLines + 1 ? lines[prefixLines + 1] : "";
    // The object lines from the statement's own address on (the prefix's
    // lines and the "MM" line left out).
    std::size_t own = result.object.find("\r\n0010  ");
    s.object = own == std::string::npos ? "" : result.object.substr(own + 2);
    s.errors = result.errorCount;
    return s;
}

}  // namespace wordforge_test
