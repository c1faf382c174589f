#pragma once
// Text joined from pieces, each appended in turn to one string: the
// messages and hovers are built so, since g++ 12 takes a literal added to a
// temporary string ("@" + Hex(...)) for an overlapping copy and warns.
#include <initializer_list>
#include <string>
#include <string_view>

namespace lsp {

inline std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (std::string_view piece : pieces) size += piece.size();
    std::string text;
    text.reserve(size);
    for (std::string_view piece : pieces) text += piece;
    return text;
}

}  // namespace lsp
