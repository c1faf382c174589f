#include "cli/completion.hpp"

#include <CLI/CLI.hpp>

#include <cctype>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/image.hpp"

namespace cli {

namespace {

// What the word after an option (or after its "=") may be.
enum class ValueKind { Files, Directories, Words, Text };

// One option as the scripts need it, read from the parser.
struct CompletedOption {
    std::vector<std::string> names;  // "--image", "-o"
    std::string description;
    bool help = false;           // ends the run: nothing may follow
    bool takesValue = false;
    bool attachedOnly = false;   // "--listing" alone is a flag, "--listing=FILE" names the file
    bool valueOnName = false;    // "-WNAME": a short option whose value is written onto it
    bool repeatable = false;
    ValueKind kind = ValueKind::Text;
    std::string valueName;       // "FILE", "FORMAT"
    std::vector<std::string> words;
};

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, start)) {
        parts.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.emplace_back(text.substr(start));
    return parts;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// The values an option's type name spells out ("verilog|c", "FILE", "DIR",
// "8"); the warning names and image formats come from the program itself,
// since the help shows them as NAME and FORMAT.
void SettleValues(const ProgramInfo& program, const CLI::Option& option, CompletedOption& entry) {
    std::string type = option.get_type_name();
    if (type.rfind("[=", 0) == 0 && type.back() == ']') {
        entry.attachedOnly = true;
        type = type.substr(2, type.size() - 3);
    }
    entry.valueName = type;
    const std::vector<std::string>& shortNames = option.get_snames();
    const std::vector<std::string>& longNames = option.get_lnames();
    if (longNames.empty() && shortNames.size() == 1 && shortNames[0] == "W") {
        entry.kind = ValueKind::Words;
        entry.words = {"all", "error", "no-error"};
        for (const WarningInfo& warning : program.warnings) {
            entry.words.emplace_back(warning.name);
            entry.words.push_back("no-" + std::string(warning.name));
        }
    } else if (longNames.size() == 1 && longNames[0] == "image") {
        entry.kind = ValueKind::Words;
        for (const image::FormatInfo& format : image::Formats()) entry.words.emplace_back(format.name);
    } else if (type.find('|') != std::string::npos) {
        entry.kind = ValueKind::Words;
        entry.words = Split(type, '|');
    } else if (AllDigits(type)) {
        entry.kind = ValueKind::Words;
        entry.words = {type};
    } else if (type == "DIR") {
        entry.kind = ValueKind::Directories;
    } else if (type.find("FILE") != std::string::npos) {
        entry.kind = ValueKind::Files;
    }
}

std::vector<CompletedOption> ReadOptions(const ProgramInfo& program, const CLI::App& app) {
    std::vector<CompletedOption> entries;
    for (const CLI::Option* option : app.get_options()) {
        if (!option->nonpositional()) continue;
        CompletedOption entry;
        for (const std::string& name : option->get_lnames()) entry.names.push_back("--" + name);
        for (const std::string& name : option->get_snames()) entry.names.push_back("-" + name);
        entry.description = option->get_description();
        entry.help = option == app.get_help_ptr();
        entry.takesValue = option->get_items_expected_max() > 0;
        entry.repeatable = option->get_expected_max() > 1;
        entry.valueOnName = entry.takesValue && option->get_lnames().empty();
        if (entry.takesValue) SettleValues(program, *option, entry);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string Joined(const std::vector<std::string>& words, std::string_view separator) {
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty()) text += separator;
        text += word;
    }
    return text;
}

// The bash words that fill COMPREPLY with the values of `kind`, each after
// $prefix (the "--option=" typed in the same word, when bash did not split
// it off).
std::string BashValues(const CompletedOption& option) {
    switch (option.kind) {
        case ValueKind::Files:
            return "compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -P \"$prefix\" -f -- \"$cur\")";
        case ValueKind::Directories:
            return "compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -P \"$prefix\" -d -- \"$cur\")";
        case ValueKind::Words:
            return "mapfile -t COMPREPLY < <(compgen -P \"$prefix\" -W \"" + Joined(option.words, " ") +
                   "\" -- \"$cur\")";
        case ValueKind::Text:
            break;
    }
    return "COMPREPLY=()";
}

// Fills in the parts of a script, each named @LIKE_THIS@ in `pattern`.
std::string Filled(std::string_view pattern, const std::vector<std::pair<std::string_view, std::string>>& parts) {
    std::string text(pattern);
    for (const auto& [key, value] : parts) {
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
            text.replace(at, key.size(), value);
        }
    }
    return text;
}

// The bash script around what the options give: the options whose value may
// be the next word (@NEXT_WORD@), the value of each option (@VALUES@, or
// @ON_NAME@ for -WNAME) and the words "-" completes to (@OFFERED@).
constexpr std::string_view kBashScript = R"(# bash completion for @NAME@, written by '@NAME@ --completion=bash'.
_@NAME@() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} option= prefix=
    # bash hands "--image=rea" over as --image, = and rea when "=" breaks words.
    if [[ $cur == = ]]; then
        option=$prev cur=
    elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        option=${COMP_WORDS[COMP_CWORD-2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} prefix=${cur%%=*}= cur=${cur#*=}
    else
        case $prev in
@NEXT_WORD@        esac
    fi
    case $option in
@VALUES@    esac
    case $cur in
@ON_NAME@        -*)
            mapfile -t COMPREPLY < <(compgen -W "@OFFERED@" -- "$cur")
            [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *= ]] && compopt -o nospace 2>/dev/null
            return ;;
    esac
    # The sources: a program takes a source of any name.
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _@NAME@ @NAME@
)";

// The zsh script: one _arguments description a line for each option name
// (@OPTIONS@); autoloaded from $fpath as a completion function, or sourced.
constexpr std::string_view kZshScript = R"(#compdef @NAME@
# zsh completion for @NAME@, written by '@NAME@ --completion=zsh'.
_@NAME@() {
  _arguments -s -S \
@OPTIONS@    '*:source file:_files'
}
if [[ $funcstack[1] == _@NAME@ ]]; then
  _@NAME@ "$@"
else
  compdef _@NAME@ @NAME@
fi
)";

std::string BashScript(const ProgramInfo& program, const std::vector<CompletedOption>& options) {
    const std::string name(program.name);
    std::vector<std::string> offered;       // what "-" completes to
    std::vector<std::string> nextWord;      // options whose value may be the next word
    std::string valueCases, onNameCases;
    for (const CompletedOption& option : options) {
        std::vector<std::string> valueNames;
        for (const std::string& n : option.names) {
            const bool isLong = n.rfind("--", 0) == 0;
            if (!option.takesValue || !isLong || option.attachedOnly) offered.push_back(n);
            if (option.takesValue && isLong) offered.push_back(n + "=");
            if (option.takesValue && (isLong || !option.valueOnName)) valueNames.push_back(n);
            if (option.takesValue && !option.attachedOnly && !option.valueOnName) nextWord.push_back(n);
        }
        if (!option.takesValue) continue;
        if (option.valueOnName) {
            // "-WNAME", one word: the name goes onto the option.
            const std::string& n = option.names.front();
            onNameCases += "        " + n + "*) cur=${cur#" + n + "} prefix=" + n + "\n            " +
                           BashValues(option) + "\n            return ;;\n";
        } else {
            valueCases += "        " + Joined(valueNames, "|") + ")\n            " + BashValues(option) +
                          "\n            return ;;\n";
        }
    }
    std::string nextWordCase;
    if (!nextWord.empty()) nextWordCase = "            " + Joined(nextWord, "|") + ") option=$prev ;;\n";
    return Filled(kBashScript, {{"@NAME@", name},
                                {"@NEXT_WORD@", nextWordCase},
                                {"@VALUES@", valueCases},
                                {"@ON_NAME@", onNameCases},
                                {"@OFFERED@", Joined(offered, " ")}});
}

// Text for the inside of a single-quoted zsh word, and of an _arguments
// description in brackets.
std::string ZshDescription(std::string_view text) {
    std::string quoted;
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else if (c == '[' || c == ']') {
            quoted += '\\';
            quoted += c;
        } else if (c == ':') {
            quoted += "\\:";
        } else {
            quoted += c;
        }
    }
    return quoted;
}

std::string ZshAction(const CompletedOption& option) {
    switch (option.kind) {
        case ValueKind::Files: return "_files";
        case ValueKind::Directories: return "_files -/";
        case ValueKind::Words: return "(" + Joined(option.words, " ") + ")";
        case ValueKind::Text: break;
    }
    return " ";
}

std::string ZshScript(const ProgramInfo& program, const std::vector<CompletedOption>& options) {
    const std::string name(program.name);
    std::string described;
    for (const CompletedOption& option : options) {
        // Options that may be given once exclude their other names; help
        // excludes everything.
        std::string exclusion;
        if (option.help) {
            exclusion = "(- *)";
        } else if (!option.repeatable) {
            exclusion = "(" + Joined(option.names, " ") + ")";
        } else {
            exclusion = "*";
        }
        for (const std::string& n : option.names) {
            std::string entry = exclusion + n;
            const bool isLong = n.rfind("--", 0) == 0;
            if (option.takesValue) entry += option.attachedOnly ? "=-" : (isLong ? "=" : "+");
            entry += "[" + ZshDescription(option.description) + "]";
            if (option.takesValue) {
                entry += option.attachedOnly ? "::" : ":";
                entry += ZshDescription(option.valueName) + ":" + ZshAction(option);
            }
            described += "    '" + entry + "' \\\n";
        }
    }
    return Filled(kZshScript, {{"@NAME@", name}, {"@OPTIONS@", described}});
}

}  // namespace

bool WriteCompletionScript(const ProgramInfo& program, const CLI::App& app, std::string_view shell,
                           std::ostream& out, std::string& problem) {
    const std::vector<CompletedOption> options = ReadOptions(program, app);
    if (shell == "bash") {
        out << BashScript(program, options);
    } else if (shell == "zsh") {
        out << ZshScript(program, options);
    } else {
        problem = "unknown shell '" + std::string(shell) + "' for --completion; the shells are bash and zsh";
        return false;
    }
    return true;
}

}  // namespace cli
