#include "common/suggestion.hpp"

#include <algorithm>
#include <cstdlib>

namespace common {

namespace {

constexpr std::size_t kLongest = 16;

char Folded(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

// The optimal string alignment distance, one row of the table at a time and
// the two rows before it kept for the swaps.
int EditDistance(std::string_view a, std::string_view b, int limit) {
    if (a.size() > kLongest || b.size() > kLongest) return limit + 1;
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit) return limit + 1;
    int before[kLongest + 1], previous[kLongest + 1], row[kLongest + 1];
    for (int j = 0; j <= m; ++j) previous[j] = j;
    for (int i = 1; i <= n; ++i) {
        row[0] = i;
        int best = row[0];
        for (int j = 1; j <= m; ++j) {
            const char x = Folded(a[static_cast<std::size_t>(i - 1)]);
            const char y = Folded(b[static_cast<std::size_t>(j - 1)]);
            int d = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (x == y ? 0 : 1)});
            if (i > 1 && j > 1 && x == Folded(b[static_cast<std::size_t>(j - 2)]) &&
                Folded(a[static_cast<std::size_t>(i - 2)]) == y) {
                d = std::min(d, before[j - 2] + 1);
            }
            row[j] = d;
            best = std::min(best, d);
        }
        if (best > limit) return limit + 1;
        std::copy(previous, previous + m + 1, before);
        std::copy(row, row + m + 1, previous);
    }
    return std::min(previous[m], limit + 1);
}

void Consider(Nearest& nearest, std::string_view candidate) {
    const int d = EditDistance(nearest.word, candidate, 2);
    if (d == 0 || d > 2) return;
    if (d < nearest.distance) {
        nearest.best = candidate;
        nearest.distance = d;
        nearest.tied = false;
    } else if (d == nearest.distance && !std::equal(candidate.begin(), candidate.end(), nearest.best.begin(),
                                                    nearest.best.end(), [](char x, char y) { return Folded(x) == Folded(y); })) {
        nearest.tied = true;
    }
}

std::string_view Suggestion(const Nearest& nearest) {
    if (nearest.best.empty() || nearest.tied) return {};
    if (2 * static_cast<std::size_t>(nearest.distance) > nearest.word.size()) return {};
    return nearest.best;
}

}  // namespace common
