// The server driven in memory, message by message: the session's
// lifecycle, answers to messages of every shape, text synchronisation, and
// diagnostics against the command line's standard error on every golden
// case that has one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "session.hpp"

namespace {

namespace fs = std::filesystem;
using lsp_test::AnswerTo;
using lsp_test::At;
using lsp_test::Initialize;
using lsp_test::Json;
using lsp_test::Notification;
using lsp_test::Notifications;
using lsp_test::Open;
using lsp_test::ReadFile;
using lsp_test::Request;
using lsp_test::Session;

int ErrorCode(const std::vector<Json>& sent, int id) {
    const Json* answer = AnswerTo(sent, id);
    if (answer == nullptr || !answer->contains("error")) return 0;
    return (*answer)["error"]["code"].get<int>();
}

TEST(Dispatch, NothingButInitializeBeforeInitialize) {
    Session session;
    std::vector<Json> sent = session.Send({Request(1, "textDocument/hover", At("file:///a.mic", 0, 0)),
                                           Open("file:///a.mic", "zorvelt-micro", ".TITLE A\r\n* \r\n.END\r\n")});
    EXPECT_EQ(ErrorCode(sent, 1), -32002);
    EXPECT_EQ(sent.size(), 1u);  // the notification is dropped: nothing published
    sent = session.Send({Initialize(2), Request(3, "initialize", {{"capabilities", Json::object()}})});
    ASSERT_NE(AnswerTo(sent, 2), nullptr);
    EXPECT_TRUE((*AnswerTo(sent, 2))["result"]["capabilities"].is_object());
    EXPECT_EQ(ErrorCode(sent, 3), -32600);
    EXPECT_TRUE(session.server.documents.empty());
}

TEST(Dispatch, UnknownMethodsAndMalformedMessages) {
    Session session;
    session.Send({Initialize(1)});
    std::vector<Json> sent = session.Send({Request(2, "textDocument/frobnicate"), Notification("zorvelt/unheard"),
                                           Notification("$/cancelRequest", {{"id", 2}})});
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(ErrorCode(sent, 2), -32601);

    // Not JSON; JSON that is no message; a batch; an id of the wrong kind;
    // a method that is no string: each answered with id null, never dropped
    // in silence, never a crash.
    for (std::string_view body : {std::string_view("{\"jsonrpc\":\"2.0\",\"id\":"), std::string_view("42"),
                                  std::string_view("[{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"shutdown\"}]"),
                                  std::string_view("{\"id\":{\"x\":1},\"method\":\"shutdown\"}"),
                                  std::string_view("{\"id\":7}"), std::string_view("\xFF\xFE")}) {
        SCOPED_TRACE(body);
        sent = session.SendBody(body);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_TRUE(sent[0]["id"].is_null() || sent[0]["id"] == 7);
        EXPECT_LT(sent[0]["error"]["code"].get<int>(), -32000);
    }
    sent = session.SendBody("{\"jsonrpc\":\"2.0\",\"id\":8,\"method\":5}");
    EXPECT_EQ(ErrorCode(sent, 8), -32600);
    // A response to a request of the server needs no answer.
    EXPECT_TRUE(session.SendBody("{\"jsonrpc\":\"2.0\",\"id\":\"zorvelt-1\",\"result\":null}").empty());
    // Params of the wrong shape.
    sent = session.Send({Request(9, "textDocument/hover", {{"textDocument", {{"uri", "file:///a.mic"}}}}),
                         Request(10, "textDocument/rename", At("file:///a.mic", 0, 0)),
                         Request(11, "textDocument/inlayHint", {{"textDocument", {{"uri", "file:///a.mic"}}}}),
                         Request(12, "textDocument/hover", {{"position", {{"line", -1}, {"character", 0}}}})});
    for (int id : {9, 10, 11, 12}) EXPECT_EQ(ErrorCode(sent, id), -32602) << id;
}

TEST(Dispatch, ShutdownThenExitEndsWithZeroExitAloneWithOne) {
    Session first;
    std::vector<Json> sent = first.Send({Initialize(1), Request(2, "shutdown"), Request(3, "textDocument/hover"),
                                         Notification("textDocument/didOpen")});
    EXPECT_TRUE((*AnswerTo(sent, 2))["result"].is_null());
    EXPECT_EQ(ErrorCode(sent, 3), -32600);
    first.Send({Notification("exit")});
    EXPECT_EQ(first.server.phase, lsp::Phase::Exited);
    EXPECT_EQ(first.server.exitStatus, 0);
    EXPECT_TRUE(first.Send({Request(4, "shutdown")}).empty());  // nothing after exit

    Session second;
    second.Send({Initialize(1), Notification("exit")});
    EXPECT_EQ(second.server.exitStatus, 1);

    Session third;  // the input ends: after shutdown a clean end, else not
    third.Send({Initialize(1), Request(2, "shutdown")});
    lsp::InputEnded(third.server);
    EXPECT_EQ(third.server.exitStatus, 0);
    Session fourth;
    fourth.Send({Initialize(1)});
    lsp::InputEnded(fourth.server);
    EXPECT_EQ(fourth.server.exitStatus, 1);
}

TEST(Dispatch, TheEncodingIsUtf8WhenOfferedElseUtf16) {
    const auto chosen = [](Json capabilities) {
        Session session;
        const std::vector<Json> sent = session.Send({Initialize(1, std::move(capabilities))});
        return (*AnswerTo(sent, 1))["result"]["capabilities"]["positionEncoding"].get<std::string>();
    };
    EXPECT_EQ(chosen(Json::object()), "utf-16");
    EXPECT_EQ(chosen({{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}}), "utf-8");
    EXPECT_EQ(chosen({{"general", {{"positionEncodings", {"utf-16"}}}}}), "utf-16");
    EXPECT_EQ(chosen({{"general", {{"positionEncodings", {"utf-32"}}}}}), "utf-32");
    EXPECT_EQ(chosen({{"general", {{"positionEncodings", "utf-8"}}}}), "utf-16");
}

constexpr std::string_view kUri = "file:///work/prog.mic";

Json Change(int version, Json changes) {
    return Notification("textDocument/didChange",
                        {{"textDocument", {{"uri", kUri}, {"version", version}}}, {"contentChanges", std::move(changes)}});
}

TEST(Dispatch, EveryChangeIsAssembledOnceABurst) {
    Session session;
    session.Send({Initialize(1)});
    // Published on open: no diagnostic, at the version given.
    std::vector<Json> sent = session.Send({Open(kUri, "zorvelt-micro", ".TITLE A\r\n*\r\n    NSQ\r\n.END\r\n", 3)});
    std::vector<Json> published = Notifications(sent, "textDocument/publishDiagnostics");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0]["params"]["uri"], kUri);
    EXPECT_EQ(published[0]["params"]["version"], 3);
    EXPECT_TRUE(published[0]["params"]["diagnostics"].empty());

    // Three changes in one burst: NSQ becomes NSX (error 16 at line 3),
    // then a full text, then one incremental change on that: published
    // once, for the last text.
    const Json nsx{{"range", {{"start", {{"line", 2}, {"character", 6}}}, {"end", {{"line", 2}, {"character", 7}}}}},
                   {"text", "X"}};
    sent = session.Send({Change(4, {nsx}), Change(5, {{{"text", ".TITLE A\r\n*\r\n    GOTO\r\n.END\r\n"}}}),
                         Change(6, {{{"range", {{"start", {{"line", 2}, {"character", 8}}},
                                                {"end", {{"line", 2}, {"character", 8}}}}},
                                     {"text", " AWAY"}}})});
    published = Notifications(sent, "textDocument/publishDiagnostics");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0]["params"]["version"], 6);
    EXPECT_EQ(session.server.documents.at(std::string(kUri)).text, ".TITLE A\r\n*\r\n    GOTO AWAY\r\n.END\r\n");
    const Json& diagnostics = published[0]["params"]["diagnostics"];
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["message"], "label 'AWAY' is used but no heading defines it");
    EXPECT_EQ(diagnostics[0]["code"], "E20");
    EXPECT_EQ(diagnostics[0]["severity"], 1);
    EXPECT_EQ(diagnostics[0]["source"], "ctrlforge");
    EXPECT_EQ(diagnostics[0]["range"], (Json{{"start", {{"line", 2}, {"character", 9}}},
                                             {"end", {{"line", 2}, {"character", 13}}}}));

    // A save re-publishes; a close clears the editor's list; a change to a
    // closed document is dropped.
    sent = session.Send({Notification("textDocument/didSave", {{"textDocument", {{"uri", kUri}}}})});
    EXPECT_EQ(Notifications(sent, "textDocument/publishDiagnostics").size(), 1u);
    sent = session.Send({Notification("textDocument/didClose", {{"textDocument", {{"uri", kUri}}}}), Change(7, {nsx})});
    published = Notifications(sent, "textDocument/publishDiagnostics");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_TRUE(published[0]["params"]["diagnostics"].empty());
    EXPECT_TRUE(session.server.documents.empty());
}

TEST(Dispatch, RequestsOnDocumentsNeverOpenedOrPlacesPastTheEndAreAnswered) {
    Session session;
    session.Send({Initialize(1), Open(kUri, "zorvelt-micro", ".TITLE A\r\n* L:\r\n    GOTO L\r\n.END\r\n")});
    const std::vector<Json> sent =
        session.Send({Request(2, "textDocument/hover", At("file:///never.mic", 0, 0)),
                      Request(3, "textDocument/definition", At(kUri, 4000000000u, 4000000000u)),
                      Request(4, "textDocument/references", At(kUri, 2, 999)),
                      Request(5, "textDocument/completion", At(kUri, 99, 0)),
                      Request(6, "textDocument/semanticTokens/full", {{"textDocument", {{"uri", "file:///x.mic"}}}}),
                      Request(7, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}})});
    for (int id : {2, 3, 4, 5, 6, 7}) {
        ASSERT_NE(AnswerTo(sent, id), nullptr) << id;
        EXPECT_TRUE(AnswerTo(sent, id)->contains("result")) << id;
    }
    EXPECT_TRUE((*AnswerTo(sent, 2))["result"].is_null());
    EXPECT_TRUE((*AnswerTo(sent, 6))["result"].is_null());
    // Line 2 character 999 is the end of "    GOTO L": on the label.
    EXPECT_EQ((*AnswerTo(sent, 4))["result"].size(), 1u);
}

// ---------------------------------------------------------------- golden

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct GoldenRun {
    std::string display;  // the name the diagnostics give the source
    std::string source;
    std::vector<std::string> warnings;  // the -W and -w options
    std::vector<std::string> stderrLines;
};

// A golden command-line case that assembles one readable source and prints
// only its diagnostics.
bool ReadGoldenRun(const fs::path& folder, GoldenRun& run) {
    if (!fs::exists(folder / "args") || !fs::exists(folder / "stderr")) return false;
    if (fs::exists(folder / "status") && ReadFile(folder / "status").find('2') != std::string::npos) return false;
    std::vector<std::string> sources;
    const std::vector<std::string> args = LinesOf(ReadFile(folder / "args"));
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o") {
            ++i;
        } else if (arg.rfind("--decode", 0) == 0 || arg.rfind("--disassemble", 0) == 0 || arg.rfind("--compare", 0) == 0 ||
                   arg.rfind("--explain", 0) == 0 || arg.rfind("-fdiagnostics", 0) == 0) {
            return false;  // a run that reads words back, or prints its diagnostics in another form
        } else if (arg.rfind("-W", 0) == 0 || arg == "-w") {
            run.warnings.push_back(arg);
        } else if (arg == "-" || arg.empty() || arg[0] != '-') {
            sources.push_back(arg);
        }
    }
    if (sources.size() != 1) return false;
    const fs::path file = sources[0] == "-" ? folder / "stdin" : folder / "input" / sources[0];
    if (!fs::is_regular_file(file)) return false;
    run.display = sources[0] == "-" ? "<stdin>" : sources[0];
    run.source = ReadFile(file);
    run.stderrLines = LinesOf(ReadFile(folder / "stderr"));
    return !run.stderrLines.empty();
}

// The published diagnostics printed back as the command line prints them.
// The encoding is UTF-8, so a character is the byte column less one.
std::vector<std::string> AsPrinted(const std::string& display, const Json& diagnostics) {
    std::vector<std::string> lines;
    for (const Json& d : diagnostics) {
        std::string line = display + ":" + std::to_string(d["range"]["start"]["line"].get<int>() + 1) + ":" +
                           std::to_string(d["range"]["start"]["character"].get<int>() + 1) + ": " +
                           (d["severity"] == 1 ? "error" : d["severity"] == 2 ? "warning" : "note") + ": " + d["message"].get<std::string>();
        if (d.contains("code")) line += " [" + d["code"].get<std::string>() + "]";
        lines.push_back(line);
    }
    return lines;
}

TEST(Dispatch, DiagnosticsAreTheCommandLinesOnEveryGoldenCase) {
    std::size_t cases = 0;
    for (const char* program : {"ctrlforge", "wordforge"}) {
        const bool micro = std::string_view(program) == "ctrlforge";
        std::vector<fs::path> folders;
        for (const auto& entry : fs::directory_iterator(fs::path(GOLDEN_DIR) / program)) folders.push_back(entry.path());
        std::sort(folders.begin(), folders.end());
        for (const fs::path& folder : folders) {
            GoldenRun run;
            if (!ReadGoldenRun(folder, run)) continue;
            SCOPED_TRACE(folder.string());
            ++cases;
            Session session;
            const Json options{{micro ? "ctrlforgeWarnings" : "wordforgeWarnings", run.warnings}};
            session.Send({Initialize(1, {{"general", {{"positionEncodings", {"utf-8"}}}}}, options)});
            const std::string uri = std::string("file:///golden/") + (micro ? "prog.mic" : "prog.asm");
            const std::vector<Json> sent =
                session.Send({Open(uri, micro ? "zorvelt-micro" : "zorvelt-asm", run.source)});
            const std::vector<Json> published = Notifications(sent, "textDocument/publishDiagnostics");
            ASSERT_EQ(published.size(), 1u);
            EXPECT_EQ(AsPrinted(run.display, published[0]["params"]["diagnostics"]), run.stderrLines);
        }
    }
    EXPECT_GE(cases, 12u);
}

// The ranges cover the token at the column, counted by hand from the
// sources: "R1" on line 2 of cli-diagnostics, the line end after CALL on
// line 7; "X" of X"40 and "300" in wordforge's cli-warnings.
TEST(Dispatch, RangesCoverTheirTokens) {
    const auto ranges = [](const char* program, const char* caseName, const char* uri) {
        GoldenRun run;
        EXPECT_TRUE(ReadGoldenRun(fs::path(GOLDEN_DIR) / program / caseName, run));
        Session session;
        session.Send({Initialize(1)});
        const std::vector<Json> published =
            Notifications(session.Send({Open(uri, "", run.source)}), "textDocument/publishDiagnostics");
        std::vector<Json> found;
        if (published.size() != 1) return found;
        for (const Json& d : published[0]["params"]["diagnostics"]) found.push_back(d["range"]);
        return found;
    };
    const auto range = [](int line, int from, int to) {
        return Json{{"start", {{"line", line}, {"character", from}}}, {"end", {{"line", line}, {"character", to}}}};
    };
    const std::vector<Json> micro = ranges("ctrlforge", "cli-diagnostics", "file:///r.mic");
    ASSERT_GE(micro.size(), 3u);
    EXPECT_EQ(micro[0], range(1, 9, 11));
    EXPECT_EQ(micro[1], range(3, 7, 8));
    EXPECT_EQ(micro[2], range(6, 4, 4));
    const std::vector<Json> assembly = ranges("wordforge", "cli-warnings", "file:///r.asm");
    ASSERT_GE(assembly.size(), 2u);
    EXPECT_EQ(assembly[0], range(0, 5, 6));
    EXPECT_EQ(assembly[1], range(1, 6, 9));
}

// ---------------------------------------------------------------- settings

TEST(Dispatch, WarningOptionsComeFromTheClientsSettings) {
    const std::string source = ".TITLE W\r\n*\r\n    R3 := 12345\r\n.END\r\n";  // -Wtruncation, on by default
    const auto publish = [&](Session& session, std::vector<Json> messages) {
        const std::vector<Json> sent = session.Send(std::move(messages));
        const std::vector<Json> published = Notifications(sent, "textDocument/publishDiagnostics");
        return published.empty() ? Json() : published.back()["params"]["diagnostics"];
    };
    Session plain;
    plain.Send({Initialize(1)});
    Json diagnostics = publish(plain, {Open(kUri, "zorvelt-micro", source)});
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["code"], "-Wtruncation");
    EXPECT_EQ(diagnostics[0]["severity"], 2);
    EXPECT_EQ(diagnostics[0]["message"], "number 12345 does not fit in 16 bits; 2345 is used");

    // -Werror from initializationOptions, under the key "zorvelt".
    Session strict;
    strict.Send({Initialize(1, Json::object(), {{"zorvelt", {{"ctrlforgeWarnings", {"-Werror"}}}}})});
    diagnostics = publish(strict, {Open(kUri, "zorvelt-micro", source)});
    ASSERT_EQ(diagnostics.size(), 1u);
    EXPECT_EQ(diagnostics[0]["code"], "-Werror=truncation");
    EXPECT_EQ(diagnostics[0]["severity"], 1);

    // A change of configuration re-publishes every open document; a list the
    // command line would refuse is shown and leaves the defaults.
    diagnostics = publish(strict, {Notification("workspace/didChangeConfiguration",
                                                {{"settings", {{"zorvelt", {{"ctrlforgeWarnings", {"-w"}}}}}}})});
    EXPECT_TRUE(diagnostics.empty());
    const std::vector<Json> sent =
        strict.Send({Notification("workspace/didChangeConfiguration",
                                  {{"settings", {{"ctrlforgeWarnings", {"-Wno-truncation", "-Worg"}}}}})});
    const std::vector<Json> shown = Notifications(sent, "window/showMessage");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0]["params"]["message"].get<std::string>().find("unknown warning option '-Worg'"),
              std::string::npos);
    const std::vector<Json> published = Notifications(sent, "textDocument/publishDiagnostics");
    ASSERT_EQ(published.size(), 1u);
    EXPECT_EQ(published[0]["params"]["diagnostics"].size(), 1u);  // the default: truncation is on
}

TEST(Dispatch, InlayHintsAreOffUntilTheSettingTurnsThemOn) {
    Session session;
    session.Send({Initialize(1, {{"workspace", {{"inlayHint", {{"refreshSupport", true}}}}}}),
                  Open(kUri, "zorvelt-micro", ".TITLE A\r\n*\r\n    NSQ\r\n.END\r\n")});
    const Json range{{"textDocument", {{"uri", kUri}}},
                     {"range", {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 9}, {"character", 0}}}}}};
    std::vector<Json> sent = session.Send({Request(2, "textDocument/inlayHint", range)});
    EXPECT_TRUE((*AnswerTo(sent, 2))["result"].empty());
    sent = session.Send(
        {Notification("workspace/didChangeConfiguration", {{"settings", {{"zorvelt", {{"inlayHints", true}}}}}})});
    bool refreshed = false;
    for (const Json& message : sent) refreshed = refreshed || message.value("method", "") == "workspace/inlayHint/refresh";
    EXPECT_TRUE(refreshed);
    sent = session.Send({Request(3, "textDocument/inlayHint", range)});
    // The statement with NSQ alone: every field at its no-operation value.
    const Json& hints = (*AnswerTo(sent, 3))["result"];
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0]["label"], "@000 FFFFFFFE00");
    EXPECT_EQ(hints[0]["position"], (Json{{"line", 2}, {"character", 7}}));
}

}  // namespace
