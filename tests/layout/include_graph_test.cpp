// The folders of the project depend on one another one way, and so do the
// files inside each folder:
// - no file reaches itself through its #include lines, and neither does a
//   unit (a header together with the source file of the same name);
// - a folder includes only folders below it: common, then image, then the
//   two cores (which never include each other), then the command line, the
//   browser page's entry, and on top the programs around them;
// - outside a core's own folder and its unit tests, only the core's public
//   headers are included: its one entry, its source model, its dialogue and
//   the headers it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Graph = std::map<std::string, std::set<std::string>>;

const fs::path kRoot = PROJECT_SOURCE_DIR;

// The project's own includes of one file: "folder/name.hpp".
std::vector<std::string> IncludesOf(const fs::path& file) {
    static const std::regex include("^\\s*#\\s*include\\s+\"([a-z_]+/[^\"]+)\"");
    std::vector<std::string> found;
    std::ifstream text(file);
    std::string line;
    std::smatch match;
    while (std::getline(text, line)) {
        if (std::regex_search(line, match, include)) found.push_back(match[1].str());
    }
    return found;
}

// The .hpp and .cpp files under `folder`, its subfolders included.
std::vector<fs::path> SourcesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (entry.path().string().find("node_modules") != std::string::npos) continue;
        if (ext == ".hpp" || ext == ".cpp") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Edges from every file of `folder` to the files of the same folder it
// includes; with `units`, both ends are taken without their extension and
// edges within a unit are left out.
Graph IncludeGraph(const std::string& folder, bool units) {
    auto node = [units](const std::string& file) { return units ? fs::path(file).stem().string() : file; };
    Graph graph;
    for (const fs::path& file : SourcesIn(kRoot / folder)) {
        const std::string from = node(file.filename().string());
        graph[from];
        for (const std::string& included : IncludesOf(file)) {
            if (fs::path(included).parent_path() != folder) continue;
            const std::string to = node(fs::path(included).filename().string());
            if (to != from || !units) graph[from].insert(to);
        }
    }
    return graph;
}

// The first cycle found, as the path that closes it; empty when there is none.
std::vector<std::string> FindCycle(const Graph& graph) {
    std::map<std::string, int> state;  // 1 on the path, 2 done
    std::vector<std::string> path, cycle;
    auto visit = [&](auto& self, const std::string& node) -> void {
        state[node] = 1;
        path.push_back(node);
        auto edges = graph.find(node);
        if (edges != graph.end()) {
            for (const std::string& next : edges->second) {
                if (!cycle.empty()) break;
                if (state[next] == 1) {
                    cycle.assign(std::find(path.begin(), path.end(), next), path.end());
                    cycle.push_back(next);
                } else if (state[next] == 0) {
                    self(self, next);
                }
            }
        }
        path.pop_back();
        state[node] = 2;
    };
    for (const auto& [node, edges] : graph) {
        if (cycle.empty() && state[node] == 0) visit(visit, node);
    }
    return cycle;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " -> ") + name;
    return text;
}

// Every folder of code, and the folders each may include besides itself.
const std::map<std::string, std::set<std::string>>& Allowed() {
    static const std::map<std::string, std::set<std::string>> allowed{
        {"common", {}},
        {"image", {"common"}},
        {"ctrlforge", {"common", "image"}},
        {"wordforge", {"common", "image"}},
        {"cli", {"common", "image", "ctrlforge", "wordforge"}},
        {"web", {"common", "image", "ctrlforge", "wordforge", "cli"}},
        {"lsp", {"common", "image", "ctrlforge", "wordforge", "cli"}},
        {"bench", {"common", "image", "ctrlforge", "wordforge", "cli"}},
        {"fuzz", {"common", "image", "ctrlforge", "wordforge", "cli", "lsp"}},
    };
    return allowed;
}

// What the cores show the rest of the project.
bool IsPublicHeader(const std::string& included) {
    static const std::set<std::string> kPublic{
        "ctrlforge/ctrlforge.hpp", "ctrlforge/source_model.hpp", "ctrlforge/dialogue.hpp",
        "ctrlforge/word_layout.hpp", "ctrlforge/vocabulary.hpp", "ctrlforge/decode.hpp",
        "wordforge/wordforge.hpp", "wordforge/source_model.hpp", "wordforge/dialogue.hpp",
        "wordforge/vocabulary.hpp", "wordforge/disassemble.hpp", "wordforge/word_layout.hpp",
    };
    return kPublic.count(included) > 0;
}

bool IsCoreHeader(const std::string& included) {
    const std::string folder = fs::path(included).parent_path().string();
    return folder == "ctrlforge" || folder == "wordforge";
}

TEST(IncludeGraph, FindsACycleThroughAUnit) {
    // b.cpp includes c.hpp and c.cpp includes b.hpp: no file cycle, but the
    // units b and c need each other.
    const Graph files{{"b.cpp", {"c.hpp"}}, {"c.cpp", {"b.hpp"}}, {"b.hpp", {}}, {"c.hpp", {}}};
    EXPECT_TRUE(FindCycle(files).empty());
    const Graph units{{"b", {"c"}}, {"c", {"b"}}};
    EXPECT_EQ(FindCycle(units), (std::vector<std::string>{"b", "c", "b"}));
}

TEST(IncludeGraph, NoCycleAmongTheFilesOrUnitsOfAnyFolder) {
    std::size_t edges = 0;
    for (const auto& [folder, below] : Allowed()) {
        SCOPED_TRACE(folder);
        const Graph files = IncludeGraph(folder, false);
        for (const auto& [file, includes] : files) edges += includes.size();
        EXPECT_EQ(Joined(FindCycle(files)), "");
        EXPECT_EQ(Joined(FindCycle(IncludeGraph(folder, true))), "");
    }
    EXPECT_GT(edges, 150u) << "the #include lines under " << kRoot << " were not found";
}

TEST(IncludeGraph, EveryFolderIncludesOnlyFoldersBelowIt) {
    std::size_t checked = 0;
    for (const auto& [folder, below] : Allowed()) {
        for (const fs::path& file : SourcesIn(kRoot / folder)) {
            for (const std::string& included : IncludesOf(file)) {
                const std::string target = fs::path(included).parent_path().string();
                ++checked;
                EXPECT_TRUE(target == folder || below.count(target) > 0)
                    << fs::relative(file, kRoot).string() << " includes " << included;
            }
        }
    }
    EXPECT_GT(checked, 200u);
}

TEST(IncludeGraph, OutsideTheCoresOnlyTheirPublicHeadersAreIncluded) {
    std::vector<fs::path> outside;
    for (const char* folder : {"cli", "web", "lsp", "bench", "fuzz"}) {
        for (const fs::path& file : SourcesIn(kRoot / folder)) outside.push_back(file);
    }
    // The tests of a core may look inside it; every other test may not.
    for (const fs::path& file : SourcesIn(kRoot / "tests")) {
        const std::string first = fs::relative(file, kRoot / "tests").begin()->string();
        if (first != "ctrlforge" && first != "wordforge") outside.push_back(file);
    }
    std::size_t coreIncludes = 0;
    for (const fs::path& file : outside) {
        for (const std::string& included : IncludesOf(file)) {
            if (!IsCoreHeader(included)) continue;
            ++coreIncludes;
            EXPECT_TRUE(IsPublicHeader(included)) << fs::relative(file, kRoot).string() << " includes " << included;
        }
    }
    EXPECT_GT(coreIncludes, 10u);
}

}  // namespace
