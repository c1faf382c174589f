// The files of ctrlforge include one another one way: no file reaches itself
// through its #include lines, and neither does a unit (a header together
// with the source file of the same name).
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

// Edges from every .hpp and .cpp of `folder` to the files of the same folder
// it includes ("ctrlforge/name.hpp"); with `units`, both ends are taken
// without their extension and edges within a unit are left out.
Graph IncludeGraph(const fs::path& folder, bool units) {
    const std::regex include("^\\s*#\\s*include\\s+\"" + folder.filename().string() + "/([^\"]+)\"");
    auto node = [units](const std::string& file) { return units ? fs::path(file).stem().string() : file; };
    Graph graph;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".hpp" && ext != ".cpp") continue;
        const std::string from = node(entry.path().filename().string());
        graph[from];
        std::ifstream text(entry.path());
        std::string line;
        std::smatch match;
        while (std::getline(text, line)) {
            if (!std::regex_search(line, match, include)) continue;
            const std::string to = node(match[1].str());
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

TEST(IncludeGraph, FindsACycleThroughAUnit) {
    // b.cpp includes c.hpp and c.cpp includes b.hpp: no file cycle, but the
    // units b and c need each other.
    const Graph files{{"b.cpp", {"c.hpp"}}, {"c.cpp", {"b.hpp"}}, {"b.hpp", {}}, {"c.hpp", {}}};
    EXPECT_TRUE(FindCycle(files).empty());
    const Graph units{{"b", {"c"}}, {"c", {"b"}}};
    EXPECT_EQ(FindCycle(units), (std::vector<std::string>{"b", "c", "b"}));
}

TEST(IncludeGraph, NoCycleAmongTheFilesOrUnitsOfCtrlforge) {
    const fs::path folder = CTRLFORGE_SOURCE_DIR;
    const Graph files = IncludeGraph(folder, false);
    std::size_t edges = 0;
    for (const auto& [file, includes] : files) edges += includes.size();
    ASSERT_GT(edges, 40u) << "the #include lines of " << folder << " were not found";
    EXPECT_EQ(Joined(FindCycle(files)), "");
    EXPECT_EQ(Joined(FindCycle(IncludeGraph(folder, true))), "");
}

}  // namespace
