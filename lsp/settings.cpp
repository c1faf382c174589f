#include "lsp/settings.hpp"

#include "cli/program_commands.hpp"
#include "cli/warnings.hpp"

namespace lsp {

namespace {

// Reads one program's list of options, as its command line reads -W and -w.
void ReadWarnings(const Json& section, std::string_view key, const cli::ProgramInfo& program,
                  cli::WarningSettings& settings, std::vector<std::string>& problems) {
    const Json* list = Member(section, key);
    if (list == nullptr || list->is_null()) return;
    auto refuse = [&](const std::string& why) {
        problems.push_back(std::string(key) + ": " + why + "; " + std::string(program.name) +
                           " keeps its default warnings");
    };
    if (!list->is_array()) {
        refuse("not a list of options");
        return;
    }
    std::vector<std::string> switches;
    bool silenced = false;
    for (const Json& item : *list) {
        if (!item.is_string()) {
            refuse("an entry is not a string");
            return;
        }
        const std::string& option = item.get_ref<const std::string&>();
        if (option == "-w") {
            silenced = true;
        } else if (option.rfind("-W", 0) == 0 && option.size() > 2) {
            switches.push_back(option.substr(2));
        } else {
            refuse("'" + option + "' is not a warning option (-WNAME, -Wno-NAME, -Wall, -Werror, -w)");
            return;
        }
    }
    cli::WarningSettings chosen;
    std::string bad;
    if (!cli::SettleWarnings(program, switches, chosen, bad)) {
        refuse("unknown warning option '-W" + bad + "'");
        return;
    }
    chosen.silenced = silenced;
    settings = std::move(chosen);
}

}  // namespace

ServerSettings DefaultSettings() {
    ServerSettings settings;
    settings.microprogramWarnings = cli::DefaultWarnings(cli::CtrlforgeProgram());
    settings.assemblyWarnings = cli::DefaultWarnings(cli::WordforgeProgram());
    return settings;
}

ServerSettings SettingsFrom(const Json& object, std::vector<std::string>& problems) {
    ServerSettings settings = DefaultSettings();
    const Json* section = ObjectMember(object, "zorvelt");
    if (section == nullptr) section = &object;
    if (!section->is_object()) return settings;
    ReadWarnings(*section, "ctrlforgeWarnings", cli::CtrlforgeProgram(), settings.microprogramWarnings, problems);
    ReadWarnings(*section, "wordforgeWarnings", cli::WordforgeProgram(), settings.assemblyWarnings, problems);
    if (const std::optional<bool> hints = BoolMember(*section, "inlayHints")) settings.inlayHints = *hints;
    return settings;
}

}  // namespace lsp
