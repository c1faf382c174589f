#include "lsp/json.hpp"

#include <algorithm>
#include <limits>

namespace lsp {

const Json* Member(const Json& value, std::string_view key) {
    if (!value.is_object()) return nullptr;
    const auto found = value.find(key);
    return found == value.end() ? nullptr : &*found;
}

const Json* ObjectMember(const Json& value, std::string_view key) {
    const Json* member = Member(value, key);
    return member != nullptr && member->is_object() ? member : nullptr;
}

const std::string* StringMember(const Json& value, std::string_view key) {
    const Json* member = Member(value, key);
    return member != nullptr && member->is_string() ? member->get_ptr<const std::string*>() : nullptr;
}

std::optional<std::int64_t> IntegerMember(const Json& value, std::string_view key) {
    const Json* member = Member(value, key);
    if (member == nullptr) return std::nullopt;
    if (member->is_number_integer()) return member->get<std::int64_t>();
    if (member->is_number_unsigned()) {
        const std::uint64_t number = member->get<std::uint64_t>();
        return static_cast<std::int64_t>(std::min<std::uint64_t>(number, std::numeric_limits<std::int64_t>::max()));
    }
    return std::nullopt;
}

std::optional<bool> BoolMember(const Json& value, std::string_view key) {
    const Json* member = Member(value, key);
    if (member == nullptr || !member->is_boolean()) return std::nullopt;
    return member->get<bool>();
}

std::optional<Position> PositionMember(const Json& value, std::string_view key) {
    const Json* position = ObjectMember(value, key);
    if (position == nullptr) return std::nullopt;
    const std::optional<std::int64_t> line = IntegerMember(*position, "line");
    const std::optional<std::int64_t> character = IntegerMember(*position, "character");
    if (!line || !character || *line < 0 || *character < 0) return std::nullopt;
    constexpr std::int64_t kMost = std::numeric_limits<std::uint32_t>::max();
    return Position{static_cast<std::uint32_t>(std::min(*line, kMost)),
                    static_cast<std::uint32_t>(std::min(*character, kMost))};
}

std::string Serialized(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

Json PositionJson(Position position) { return Json{{"line", position.line}, {"character", position.character}}; }

Json RangeJson(Position begin, Position end) {
    return Json{{"start", PositionJson(begin)}, {"end", PositionJson(end)}};
}

}  // namespace lsp
