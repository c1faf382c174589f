#pragma once
// One whole assembly from source bytes to listing and object text.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/diagnostics.hpp"
#include "common/text_file.hpp"

namespace wordforge {

// Runs pass 1 and pass 2 over the source and writes the listing and the
// object file through the two sinks. Returns the run's error count. With a
// diagnostic sink, every error flag is also recorded there, in listing order.
std::int32_t AssembleSource(std::string_view source, common::OutputSink& listing,
                            common::OutputSink& object, common::DiagnosticSink* diagnostics = nullptr);

struct WordResult {
    std::string listing;
    std::string object;
    std::int32_t errorCount = 0;
};

// The same with both outputs kept in memory.
WordResult AssembleText(std::string_view source, common::DiagnosticSink* diagnostics = nullptr);

}  // namespace wordforge
