#include "lsp/word_text.hpp"

namespace lsp {

namespace {

// Words shown before the rest of a long DS are only counted.
constexpr std::size_t kWordsShown = 4;

}  // namespace

std::string HexDigits(std::uint64_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::string BinaryDigits(std::uint64_t value, unsigned bits) {
    std::string text(bits, '0');
    for (unsigned i = 0; i < bits; ++i) {
        if ((value >> (bits - 1 - i)) & 1u) text[i] = '1';
    }
    return text;
}

std::string StatementWordText(const ctrlforge::ModelStatement& statement) {
    if (!statement.packed || statement.address < 0) return {};
    // Appended piece by piece: "@" + a temporary string is what g++ 12's
    // restrict warning mistakes for an overlapping copy.
    std::string text = "@";
    text += HexDigits(static_cast<std::uint64_t>(statement.address), 3);
    text += ' ';
    text += HexDigits(statement.word, 10);
    return text;
}

std::string WordsText(const wordforge::SourceModel& model, const wordforge::ModelLine& line) {
    const std::span<const wordforge::ModelWord> words = wordforge::WordsOf(model, line);
    std::string text;
    for (std::size_t i = 0; i < words.size() && i < kWordsShown; ++i) {
        if (i > 0) text += ' ';
        text += HexDigits(words[i].value, 4);
    }
    if (words.size() > kWordsShown) {
        text += " … (";
        text += std::to_string(words.size());
        text += " words)";
    }
    return text;
}

std::string LineWordsText(const wordforge::SourceModel& model, const wordforge::ModelLine& line) {
    const std::span<const wordforge::ModelWord> words = wordforge::WordsOf(model, line);
    if (words.empty()) return {};
    std::string text = "@";
    text += HexDigits(words.front().address, 4);
    text += ' ';
    text += WordsText(model, line);
    return text;
}

}  // namespace lsp
