#include "cli/warnings.hpp"

#include <algorithm>

namespace cli {

bool WarningEnabled(const WarningSettings& settings, std::string_view name) {
    if (settings.silenced) return false;
    return std::find(settings.enabled.begin(), settings.enabled.end(), name) != settings.enabled.end();
}

WarningSettings DefaultWarnings(const ProgramInfo& program) {
    WarningSettings settings;
    for (const WarningInfo& warning : program.warnings) {
        if (warning.onByDefault) settings.enabled.emplace_back(warning.name);
    }
    return settings;
}

std::string_view WarningName(const common::Diagnostic& warning) {
    std::string_view tag = warning.tag;
    return tag.substr(tag.rfind("-W", 0) == 0 ? 2 : 0);
}

bool Shown(const WarningSettings& settings, const common::Diagnostic& diagnostic) {
    return diagnostic.severity != common::Severity::Warning || WarningEnabled(settings, WarningName(diagnostic));
}

}  // namespace cli
