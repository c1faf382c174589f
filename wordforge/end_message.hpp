#pragma once
// The console text that closes one wordforge run.
#include <cstdint>
#include <string_view>

namespace wordforge {

// The end message line and the empty line after it, chosen by the run's
// error count.
std::string_view EndMessage(std::int32_t errorCount);

}  // namespace wordforge
