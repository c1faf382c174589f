#pragma once
// The one entry with a note of where the statement of each placed word
// begins, which the comparison with a memory read back names.
#include <cstddef>
#include <string_view>
#include <vector>

#include "wordforge/wordforge.hpp"

namespace wordforge {

// AssembleSource; with `starts` and `collect.placed` both set, `starts`
// receives the source offset of each placed word's statement.
Result AssembleNotingStarts(std::string_view source, const Sinks& sinks, const Collectors& collect,
                            std::vector<std::size_t>* starts);

}  // namespace wordforge
