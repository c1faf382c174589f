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

namespace {

bool KnownWarning(const ProgramInfo& program, std::string_view name) {
    return std::any_of(program.warnings.begin(), program.warnings.end(),
                       [&](const WarningInfo& w) { return w.name == name; });
}

}  // namespace

bool SettleWarnings(const ProgramInfo& program, const std::vector<std::string>& switches, WarningSettings& settings,
                    std::string& bad) {
    std::vector<std::pair<std::string_view, bool>> state;
    for (const WarningInfo& w : program.warnings) state.emplace_back(w.name, w.onByDefault);
    auto set = [&](std::string_view name, bool on) {
        for (auto& entry : state) {
            if (entry.first == name) entry.second = on;
        }
    };
    for (const std::string& s : switches) {
        if (s == "error") {
            settings.asErrors = true;
        } else if (s == "no-error") {
            settings.asErrors = false;
        } else if (s == "all") {
            for (auto& entry : state) entry.second = true;
        } else if (s.rfind("no-", 0) == 0 && KnownWarning(program, std::string_view(s).substr(3))) {
            set(std::string_view(s).substr(3), false);
        } else if (KnownWarning(program, s)) {
            set(s, true);
        } else {
            bad = s;
            return false;
        }
    }
    settings.enabled.clear();
    for (const auto& entry : state) {
        if (entry.second) settings.enabled.emplace_back(entry.first);
    }
    return true;
}

std::string_view WarningName(const common::Diagnostic& warning) {
    std::string_view tag = warning.tag;
    return tag.substr(tag.rfind("-W", 0) == 0 ? 2 : 0);
}

bool Shown(const WarningSettings& settings, const common::Diagnostic& diagnostic) {
    return diagnostic.severity != common::Severity::Warning || WarningEnabled(settings, WarningName(diagnostic));
}

common::Diagnostic AsReported(const WarningSettings& settings, const common::Diagnostic& diagnostic) {
    common::Diagnostic reported = diagnostic;
    if (diagnostic.severity == common::Severity::Warning && settings.asErrors) {
        reported.severity = common::Severity::Error;
        reported.tag = "-Werror=" + std::string(WarningName(diagnostic));
    }
    return reported;
}

}  // namespace cli
