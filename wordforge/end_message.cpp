#include "wordforge/end_message.hpp"

namespace wordforge {

std::string_view EndMessage(std::int32_t errorCount) {
    if (errorCount == 0) return " NORMAL TERMINATION !\n\n";
    // "OCCURED" as it has always been printed: the dialogue is compared
    // byte for byte.
    return "ERROR OCCURED IN ASSEMBLE TIME !\n\n";
}

}  // namespace wordforge
