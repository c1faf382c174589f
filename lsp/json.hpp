#pragma once
// The JSON of the messages (nlohmann-json), read without exceptions: every
// accessor answers "absent" for a member that is missing or of another type,
// so that a message of any shape is answered, never thrown over.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/positions.hpp"

namespace lsp {

using Json = nlohmann::json;

// The member `key` of an object; null when `value` is no object or lacks it.
const Json* Member(const Json& value, std::string_view key);
const Json* ObjectMember(const Json& value, std::string_view key);
const std::string* StringMember(const Json& value, std::string_view key);
std::optional<std::int64_t> IntegerMember(const Json& value, std::string_view key);
std::optional<bool> BoolMember(const Json& value, std::string_view key);

// A position {line, character} with both numbers not negative; numbers too
// large for 32 bits are clamped (a position past the end is a legal one).
std::optional<Position> PositionMember(const Json& value, std::string_view key);

// The text of a message: compact, any byte sequence that is not UTF-8 (a
// message may quote a byte of the source) written as U+FFFD.
std::string Serialized(const Json& value);

Json PositionJson(Position position);
Json RangeJson(Position begin, Position end);

}  // namespace lsp
