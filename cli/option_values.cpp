#include "cli/option_values.hpp"

#include <CLI/CLI.hpp>

namespace cli {

namespace {

// "--listing needs a FILE name", "--output-dir needs a DIR name", "--fill
// needs a value": the option by its long name where it has one, as the other
// messages call it.
std::string Complaint(const CLI::Option& option, const std::string& written) {
    const std::vector<std::string>& longNames = option.get_lnames();
    const std::string name = longNames.empty() ? written : "--" + longNames.front();
    const std::string type = option.get_type_name();
    if (type.find("FILE") != std::string::npos) return name + " needs a FILE name";
    if (type.find("DIR") != std::string::npos) return name + " needs a DIR name";
    return name + " needs a value";
}

}  // namespace

std::string EmptyOptionValue(const CLI::App& app, const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") break;
        if (arg.size() < 2 || arg[0] != '-') continue;
        const bool isLong = arg[1] == '-';
        // Short options take their value attached ("-Wall") or as the next
        // argument; only a bare one ("-o") can be followed by an empty one.
        if (!isLong && arg.size() != 2) continue;
        const std::size_t equals = isLong ? arg.find('=') : std::string::npos;
        const std::string written = arg.substr(0, equals);
        const CLI::Option* option = app.get_option_no_throw(written);
        if (option == nullptr || option->get_type_size_max() == 0) continue;  // unknown, or a flag
        const bool empty = equals != std::string::npos ? equals + 1 == arg.size()
                                                        : i + 1 < args.size() && args[i + 1].empty();
        if (empty) return Complaint(*option, written);
    }
    return "";
}

}  // namespace cli
