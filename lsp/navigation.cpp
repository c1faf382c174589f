#include "lsp/navigation.hpp"

#include "ctrlforge/vocabulary.hpp"
#include "lsp/text.hpp"
#include "wordforge/vocabulary.hpp"

namespace lsp {

namespace {

constexpr std::size_t kSignificant = 8;

std::size_t LabelCount(const DocumentRun& run) {
    return run.language == Language::Microprogram ? run.microprogram.labels.size() : run.assembly.labels.size();
}

std::string_view LabelName(const DocumentRun& run, std::size_t index) {
    return run.language == Language::Microprogram ? run.microprogram.labels[index].name
                                                  : run.assembly.labels[index].name;
}

const LabelSite* SiteUnder(const DocumentView& view, std::uint32_t offset) {
    const LabelSite* site = LabelSiteAt(view.run, offset);
    if (site == nullptr || site->label < 0 || static_cast<std::size_t>(site->label) >= LabelCount(view.run)) {
        return nullptr;
    }
    return site;
}

// Calls `visit` with every site of the label, in source order.
template <typename Visit>
void ForSites(const DocumentView& view, std::int32_t label, Visit visit) {
    for (const LabelSite& site : view.run.labelSites) {
        if (site.label == label) visit(site);
    }
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

std::string SignificantName(std::string_view name) { return Upper(name.substr(0, kSignificant)); }

std::string NameProblem(Language language, std::string_view name) {
    const std::string quoted = Joined({"'", name, "'"});
    const bool underscore = language == Language::Microprogram;
    bool word = !name.empty() && IsLetter(name[0]);
    for (char c : name) word = word && (IsLetter(c) || IsDigit(c) || (underscore && c == '_'));
    if (!word) {
        return quoted + " is no label: a label is a letter followed by letters" +
               std::string(underscore ? ", digits and _" : " and digits");
    }
    const std::string upper = Upper(name);
    if (name.size() > kSignificant) {
        return quoted + " has " + std::to_string(name.size()) + " characters, but only the first " +
               std::to_string(kSignificant) + " of a label count: it would be the label " +
               upper.substr(0, kSignificant) + ", and a longer name only hides that";
    }
    if (language == Language::Microprogram) {
        for (std::string_view keyword : ctrlforge::KeywordWords()) {
            if (keyword == upper) {
                return quoted + " is a keyword of the microprogram language, and a keyword cannot name a label";
            }
        }
    } else {
        for (std::string_view mnemonic : wordforge::Mnemonics()) {
            if (mnemonic == upper) {
                return quoted + " is a mnemonic; a label of that name would read as an instruction in every "
                                "operand that names it";
            }
        }
        for (std::string_view device : wordforge::DeviceNames()) {
            if (device == upper) return quoted + " is a device word of RIO and WIO";
        }
    }
    return {};
}

Json Definition(const DocumentView& view, std::uint32_t offset) {
    const LabelSite* site = SiteUnder(view, offset);
    if (site == nullptr) return nullptr;
    Json found = nullptr;
    ForSites(view, site->label, [&](const LabelSite& each) {
        if (each.definition && found.is_null()) found = Location(view, each.span);
    });
    return found;
}

Json References(const DocumentView& view, std::uint32_t offset, bool includeDeclaration) {
    const LabelSite* site = SiteUnder(view, offset);
    if (site == nullptr) return nullptr;
    Json list = Json::array();
    ForSites(view, site->label, [&](const LabelSite& each) {
        if (!each.definition || includeDeclaration) list.push_back(Location(view, each.span));
    });
    return list;
}

Json Highlights(const DocumentView& view, std::uint32_t offset) {
    const LabelSite* site = SiteUnder(view, offset);
    if (site == nullptr) return nullptr;
    Json list = Json::array();
    ForSites(view, site->label, [&](const LabelSite& each) {
        // Kinds: 2 read (a use), 3 write (the definition).
        list.push_back(Json{{"range", SpanRange(view, each.span)}, {"kind", each.definition ? 3 : 2}});
    });
    return list;
}

Json PrepareRename(const DocumentView& view, std::uint32_t offset) {
    const LabelSite* site = SiteUnder(view, offset);
    if (site == nullptr) return nullptr;
    const std::string_view text = std::string_view(view.document.text)
                                      .substr(site->span.begin.offset, site->span.end.offset - site->span.begin.offset);
    return Json{{"range", SpanRange(view, site->span)}, {"placeholder", text}};
}

bool Rename(const DocumentView& view, std::uint32_t offset, std::string_view newName, Json& edit,
            std::string& refusal) {
    const LabelSite* site = SiteUnder(view, offset);
    if (site == nullptr) {
        refusal = "no label stands here: only labels can be renamed";
        return false;
    }
    refusal = NameProblem(view.run.language, newName);
    if (!refusal.empty()) return false;
    const std::string wanted = SignificantName(newName);
    for (std::size_t i = 0; i < LabelCount(view.run); ++i) {
        if (static_cast<std::int32_t>(i) == site->label || SignificantName(LabelName(view.run, i)) != wanted) continue;
        // Where the other label stands first: its definition, else its first use.
        std::int32_t line = 0;
        bool defined = false;
        ForSites(view, static_cast<std::int32_t>(i), [&](const LabelSite& each) {
            if (line == 0 || (each.definition && !defined)) {
                line = each.span.begin.line;
                defined = each.definition;
            }
        });
        refusal = Joined({"'", newName, "' is taken: the label ", wanted, " is ", defined ? "defined" : "used",
                          " on line ", std::to_string(line), ", and two labels of one name would be one"});
        return false;
    }
    Json edits = Json::array();
    ForSites(view, site->label, [&](const LabelSite& each) {
        edits.push_back(Json{{"range", SpanRange(view, each.span)}, {"newText", newName}});
    });
    edit = Json{{"changes", {{view.document.uri, std::move(edits)}}}};
    return true;
}

}  // namespace lsp
