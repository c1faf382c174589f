#include "source_reader.hpp"

namespace wordforge {

void LoadSource(SourceReader& reader, std::string_view bytes) {
    std::size_t stop = bytes.find(kFileEnd);
    reader.text = stop == std::string_view::npos ? bytes : bytes.substr(0, stop);
    Rewind(reader);
}

void Rewind(SourceReader& reader) {
    reader.position = 0;
    reader.current = kFileEnd;
    reader.line = 1;
    reader.keepCase = false;
}

namespace {

// The position of the first line-end byte (or ";" when asked) from `from` on,
// or the size of the source when there is none.
std::size_t FindStop(std::string_view text, std::size_t from, bool semicolon) {
    const char* data = text.data();
    std::size_t size = text.size();
    while (from < size) {
        char c = data[from];
        if (c == '\n' || c == '\r' || (semicolon && c == ';')) break;
        ++from;
    }
    return from;
}

}  // namespace

void SkipToLineEnd(SourceReader& reader) {
    if (IsLineOver(reader.current)) return;
    reader.position = FindStop(reader.text, reader.position, false);
    NextChar(reader);
}

std::string_view TakeRestOfLine(SourceReader& reader) {
    if (IsLineOver(reader.current)) return {};
    std::size_t from = reader.position;
    reader.position = FindStop(reader.text, from, false);
    std::string_view rest = reader.text.substr(from, reader.position - from);
    NextChar(reader);
    return rest;
}

void SkipToCommentOrLineEnd(SourceReader& reader) {
    if (IsLineOver(reader.current) || reader.current == ';') return;
    reader.position = FindStop(reader.text, reader.position, true);
    if (reader.position < reader.text.size() && reader.text[reader.position] == ';') {
        reader.current = ';';
        ++reader.position;
        return;
    }
    NextChar(reader);
}

Word MakeWord(std::string_view name) {
    Word word;
    for (char c : name) AppendToWord(word, c);
    return word;
}

void ReadWord(SourceReader& reader, Word& word) {
    word = Word{};
    ReadWordOnto(reader, word);
}

void ReadWordOnto(SourceReader& reader, Word& word) {
    while (IsLetter(reader.current) || IsDigit(reader.current)) {
        AppendToWord(word, reader.current);
        NextChar(reader);
    }
}

}  // namespace wordforge
