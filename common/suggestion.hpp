#pragma once
// "Did you mean": the one candidate that is clearly nearest to a word the
// user wrote, for an unknown keyword, mnemonic or label. No allocation: a
// diagnostic may suggest on every line of a large source.
#include <cstdint>
#include <string_view>

namespace common {

// How many single-character insertions, deletions, substitutions and swaps
// of two neighbours turn one word into the other, letter case ignored; any
// distance above `limit` is reported as limit + 1. Words longer than 16
// characters are never near anything.
int EditDistance(std::string_view a, std::string_view b, int limit);

// The candidates seen so far for one word: the nearest, and whether another
// was as near.
struct Nearest {
    std::string_view word;
    std::string_view best;
    int distance = 3;  // above every distance a suggestion may have
    bool tied = false;
};

inline Nearest NearestTo(std::string_view word) { return Nearest{word, {}, 3, false}; }

void Consider(Nearest& nearest, std::string_view candidate);

// The nearest candidate when it is clearly meant: at most two edits away,
// no more edits than half the word's length (so "X" suggests nothing), not
// the word itself, and no other candidate as near. Empty otherwise.
std::string_view Suggestion(const Nearest& nearest);

}  // namespace common
