// Over every source of the golden cases: the diagnostics are exactly the
// listing's errors (as many, and in the listing's order of lines), and
// asking for diagnostics and warnings changes no byte of any file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/program_commands.hpp"
#include "common/diagnostics.hpp"
#include "ctrlforge/ctrlforge.hpp"
#include "tests/support/golden_sources.hpp"
#include "wordforge/wordforge.hpp"

namespace {

namespace fs = std::filesystem;

struct Files {
    common::OutputSink listing, object, map;
    cli::JobOutputs Outputs(common::DiagnosticSink& sink) { return {&listing, &object, &map, &sink}; }
};

// The errors the listing counts: every error, and every note that carries
// a flag or number (a note that stands for a second count of one error).
std::size_t ErrorsOf(const std::vector<common::Diagnostic>& list) {
    std::size_t n = 0;
    for (const auto& d : list) {
        n += d.severity == common::Severity::Error || (d.severity == common::Severity::Note && !d.tag.empty());
    }
    return n;
}

// wordforge's count, from the summary line of the listing.
std::size_t SummaryCount(const std::string& listing) {
    if (listing.find("\r\nTHERE WERE NO ERRORS.\r\n") != std::string::npos) return 0;
    if (listing.find("\r\nTHERE WAS ONE ERROR.\r\n") != std::string::npos) return 1;
    std::size_t at = listing.rfind("\r\nTHERE WERE ");
    EXPECT_NE(at, std::string::npos);
    return at == std::string::npos ? 0 : std::stoul(listing.substr(at + 13));
}

// ctrlforge's count: the error lines of the listing.
std::size_t ErrorLineCount(const std::string& listing) {
    std::size_t n = 0;
    for (std::size_t at = 0; at < listing.size();) {
        if (listing.compare(at, 5, "ERROR") == 0) ++n;
        std::size_t end = listing.find("\r\n", at);
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return n;
}

// `assemble` with a null sink runs the core as the dialogue does, without
// diagnostics.
using Assembly = bool (*)(std::string_view, Files&, common::DiagnosticSink*);

bool Micro(std::string_view source, Files& files, common::DiagnosticSink* sink) {
    if (sink != nullptr) return cli::AssembleMicroprogram(source, files.Outputs(*sink));
    auto out = ctrlforge::AssembleText(source, {});
    files.listing.buffer = out.listing;
    files.object.buffer = out.object;
    files.map.buffer = out.map;
    return out.failed;
}

bool Word(std::string_view source, Files& files, common::DiagnosticSink* sink) {
    if (sink != nullptr) return cli::AssembleProgram(source, files.Outputs(*sink));
    auto out = wordforge::AssembleText(source);
    files.listing.buffer = out.listing;
    files.object.buffer = out.object;
    return out.errorCount > 0;
}

void CheckProgram(const std::string& program, Assembly assemble, std::size_t (*listingErrors)(const std::string&)) {
    auto sources = test_support::GoldenSources(GOLDEN_DIR, program);
    ASSERT_GT(sources.size(), 20u);
    for (const fs::path& path : sources) {
        SCOPED_TRACE(path.string());
        const std::string source = test_support::ReadBytes(path);
        Files plain, watched;
        bool plainFailed = assemble(source, plain, nullptr);
        std::vector<common::Diagnostic> list;
        common::DiagnosticSink sink = common::ListSink(source, list);
        bool watchedFailed = assemble(source, watched, &sink);
        EXPECT_EQ(plainFailed, watchedFailed);
        EXPECT_EQ(plain.listing.buffer, watched.listing.buffer);
        EXPECT_EQ(plain.object.buffer, watched.object.buffer);
        EXPECT_EQ(plain.map.buffer, watched.map.buffer);
        EXPECT_EQ(ErrorsOf(list), listingErrors(watched.listing.buffer));
        // Lines and columns stay inside the source.
        for (const auto& d : list) {
            EXPECT_GE(d.line, 1);
            EXPECT_GE(d.column, 1);
        }
    }
}

TEST(DiagnosticsAgreeWithListings, EveryWordforgeGoldenSource) {
    CheckProgram("wordforge", Word, SummaryCount);
}

TEST(DiagnosticsAgreeWithListings, EveryCtrlforgeGoldenSource) {
    CheckProgram("ctrlforge", Micro, ErrorLineCount);
}

}  // namespace
