// The bundled examples: every one assembles without a single diagnostic,
// with every warning asked for, and covers what it claims to show; the two
// "find the mistakes" examples fail with a diagnostic on each line that
// holds one of their mistakes, and on no other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/diagnostics.hpp"
#include "ctrlforge/ctrlforge.hpp"
#include "wordforge/wordforge.hpp"

namespace {

namespace fs = std::filesystem;

std::string ReadExample(const std::string& name) {
    std::ifstream in(fs::path(EXAMPLES_DIR) / name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> ExamplesEndingIn(const std::string& extension) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(EXAMPLES_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == extension && name.rfind("mistakes.", 0) != 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Shown(const std::vector<common::Diagnostic>& list) {
    std::string text;
    for (const common::Diagnostic& d : list) text += common::FormatDiagnostic("", d) + "\n";
    return text;
}

TEST(BundledExamples, EveryMicroprogramAssemblesWithoutADiagnostic) {
    const std::vector<std::string> names = ExamplesEndingIn(".mic");
    ASSERT_GE(names.size(), 4u);
    for (const std::string& name : names) {
        const std::string source = ReadExample(name);
        std::vector<common::Diagnostic> list;
        common::DiagnosticSink sink = common::ListSink(source, list);  // every warning wanted
        const ctrlforge::CtrlOutput out = ctrlforge::AssembleText(source, {}, {.diagnostics = &sink});
        EXPECT_FALSE(out.failed) << name;
        EXPECT_EQ(Shown(list), "") << name;
    }
}

TEST(BundledExamples, EveryAssemblyProgramAssemblesWithoutADiagnostic) {
    const std::vector<std::string> names = ExamplesEndingIn(".zasm");
    ASSERT_GE(names.size(), 3u);
    for (const std::string& name : names) {
        const std::string source = ReadExample(name);
        std::vector<common::Diagnostic> list;
        common::DiagnosticSink sink = common::ListSink(source, list);
        const wordforge::WordResult out = wordforge::AssembleText(source, {.diagnostics = &sink});
        EXPECT_EQ(out.errorCount, 0) << name;
        EXPECT_EQ(Shown(list), "") << name;
    }
}

// Together the examples use every placement class, the three aligned
// tables laid out entry by entry, and every clause kind of the language.
TEST(BundledExamples, TheMicroprogramsShowEveryPlacementClassAndTable) {
    std::set<int> classes;
    std::set<std::uint64_t> sequencers;
    std::set<int> addresses;
    for (const std::string& name : ExamplesEndingIn(".mic")) {
        ctrlforge::SourceModel model;
        ctrlforge::AssembleText(ReadExample(name), {}, {.model = &model});
        for (const ctrlforge::ModelStatement& statement : model.statements) {
            classes.insert(statement.placementClass);
            sequencers.insert(statement.fields[6].bits);
            if (name == "dispatch.mic") addresses.insert(statement.address);
        }
    }
    EXPECT_EQ(classes, (std::set<int>{0, 1, 2, 3, 4, 5}));
    // B BP RTN BT BF IOP IRA IAB EI, and NSQ (all ones).
    EXPECT_EQ(sequencers, (std::set<std::uint64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 15}));
    // The 16 entries of the IOP table, and the 4 of the IRA and IAB tables,
    // four words apart.
    for (int entry = 0x20; entry <= 0x2F; ++entry) EXPECT_TRUE(addresses.count(entry)) << std::hex << entry;
    for (int entry : {0x40, 0x44, 0x48, 0x4C, 0x80, 0x84, 0x88, 0x8C}) {
        EXPECT_TRUE(addresses.count(entry)) << std::hex << entry;
    }
}

// The lines a "find the mistakes" example reports, whatever the messages say.
std::set<int> ReportedLines(const std::vector<common::Diagnostic>& list) {
    std::set<int> lines;
    for (const common::Diagnostic& d : list) {
        if (d.severity == common::Severity::Error) lines.insert(d.line);
    }
    return lines;
}

TEST(BundledExamples, TheMistakesAreFoundWhereTheyStand) {
    {
        const std::string source = ReadExample("mistakes.mic");
        std::vector<common::Diagnostic> list;
        common::DiagnosticSink sink = common::ListSink(source, list);
        EXPECT_TRUE(ctrlforge::AssembleText(source, {}, {.diagnostics = &sink}).failed);
        // Twelve mistakes; the comma also spoils the clause after it (45).
        EXPECT_EQ(ReportedLines(list), (std::set<int>{12, 15, 17, 22, 26, 28, 31, 35, 38, 41, 44, 45, 47}))
            << Shown(list);
    }
    {
        const std::string source = ReadExample("mistakes.zasm");
        std::vector<common::Diagnostic> list;
        common::DiagnosticSink sink = common::ListSink(source, list);
        EXPECT_GT(wordforge::AssembleText(source, {.diagnostics = &sink}).errorCount, 0);
        // Nine on their lines, and the END missing, at the end of the last
        // line (22).
        EXPECT_EQ(ReportedLines(list), (std::set<int>{11, 12, 13, 14, 15, 16, 18, 19, 22})) << Shown(list);
    }
}

}  // namespace
