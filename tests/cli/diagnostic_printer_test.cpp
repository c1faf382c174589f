// How the command line prints a diagnostic: the plain line, the caret under
// the token whatever the line holds before it, colour, JSON, and which of
// them a stream gets.
#include <gtest/gtest.h>

#include <string>

#include "cli/diagnostic_printer.hpp"
#include "common/diagnostics.hpp"

namespace {

// The diagnostic of `source` at byte `offset` over `length` bytes, located
// as a run locates it.
common::Diagnostic At(std::string_view source, std::size_t offset, std::size_t length, std::string message,
                      std::string fix = "") {
    common::Diagnostic found;
    common::DiagnosticSink sink;
    sink.locator.text = source;
    sink.emit = [&](const common::Diagnostic& d) { found = d; };
    common::Record(sink, offset, common::Severity::Error, "E16", message, length, fix);
    return found;
}

std::string Caret(std::string_view source, const common::Diagnostic& d) {
    std::string out;
    cli::AppendCaret(out, source, d, false);
    return out;
}

TEST(DiagnosticPrinter, CaretStandsUnderTheTokenWhateverComesBefore) {
    // A tab runs to the next multiple of eight columns.
    const std::string tabbed = ".TITLE P\r\n\tGOTP NEXT\r\n";
    EXPECT_EQ(Caret(tabbed, At(tabbed, 11, 4, "m", "GOTO")),
              "    2 |         GOTP NEXT\n"
              "      |         ^~~~\n"
              "      |         GOTO\n");
    // After "AB", a tab only reaches column 8.
    const std::string midTab = "AB\tXY Z\n";
    EXPECT_EQ(Caret(midTab, At(midTab, 6, 1, "m")),
              "    1 | AB      XY Z\n"
              "      |            ^\n");
    // Two-byte and three-byte characters fill one column; a wide one two.
    const std::string accented = "; \xc3\xa9t\xc3\xa9 \xe2\x82\xac X\n";
    EXPECT_EQ(Caret(accented, At(accented, 12, 1, "m")),
              "    1 | ; \xc3\xa9t\xc3\xa9 \xe2\x82\xac X\n"
              "      |         ^\n");
    const std::string wide = "\xe6\xbc\xa2 AB\n";
    EXPECT_EQ(Caret(wide, At(wide, 4, 2, "m")),
              "    1 | \xe6\xbc\xa2 AB\n"
              "      |    ^~\n");
    // A control character is shown as one "?"; a token at the line end gets
    // one caret after the last character.
    const std::string control = "A\x07" "B\r\nNEXT";
    EXPECT_EQ(Caret(control, At(control, 3, 0, "m")),
              "    1 | A?B\n"
              "      |    ^\n");
    // Line numbers of five digits widen the margin.
    std::string many;
    for (int i = 1; i < 12345; ++i) many += ";\n";
    many += "  X\n";
    EXPECT_EQ(Caret(many, At(many, many.size() - 2, 1, "m")),
              " 12345 |   X\n"
              "       |   ^\n");
}

TEST(DiagnosticPrinter, PlainLinesAreTheOneLineForm) {
    const std::string source = ".TITLE P\r\n\tGOTP NEXT\r\n";
    const common::Diagnostic d = At(source, 11, 4, "'GOTP' begins no clause; did you mean 'GOTO'?", "GOTO");
    cli::DiagnosticPrinter printer;
    std::string out;
    cli::AppendDiagnostic(printer, out, "p.mic", source, d);
    EXPECT_EQ(out, "p.mic:2:2: error: 'GOTP' begins no clause; did you mean 'GOTO'? [E16]\n");
    printer.style.caret = true;
    out.clear();
    cli::AppendDiagnostic(printer, out, "p.mic", source, d);
    EXPECT_EQ(out, "p.mic:2:2: error: 'GOTP' begins no clause; did you mean 'GOTO'? [E16]\n"
                   "    2 |         GOTP NEXT\n"
                   "      |         ^~~~\n"
                   "      |         GOTO\n");
}

TEST(DiagnosticPrinter, ColourMarksLocationSeverityCodeCaretAndFix) {
    const std::string source = "X Y\n";
    common::Diagnostic d = At(source, 2, 1, "m", "Z");
    d.severity = common::Severity::Warning;
    d.tag = "-Wbranch-page";
    cli::DiagnosticPrinter printer;
    printer.style = {true, true, false};
    std::string out;
    cli::AppendDiagnostic(printer, out, "f", source, d);
    EXPECT_EQ(out, "\33[01m\33[Kf:1:3:\33[m\33[K \33[01;35m\33[Kwarning:\33[m\33[K m "
                   "[\33[01;35m\33[K-Wbranch-page\33[m\33[K]\n"
                   "    1 | X Y\n"
                   "      |   \33[01;32m\33[K^\33[m\33[K\n"
                   "      |   \33[32m\33[KZ\33[m\33[K\n");
    d.severity = common::Severity::Note;
    d.tag.clear();
    d.fix.clear();
    printer.style.caret = false;
    out.clear();
    cli::AppendDiagnostic(printer, out, "f", source, d);
    EXPECT_EQ(out, "\33[01m\33[Kf:1:3:\33[m\33[K \33[01;36m\33[Knote:\33[m\33[K m\n");
}

TEST(DiagnosticPrinter, JsonIsOneArrayWithStableFields) {
    cli::DiagnosticPrinter printer;
    printer.style.json = true;
    std::string out;
    cli::BeginDiagnostics(printer, out);
    cli::EndDiagnostics(printer, out);
    EXPECT_EQ(out, "[]\n");

    const std::string source = "A \"B\\\n";
    common::Diagnostic d = At(source, 2, 3, "say \"hi\"\\\t", "C");
    out.clear();
    printer.printed = 0;
    cli::BeginDiagnostics(printer, out);
    cli::AppendDiagnostic(printer, out, "a\"b.mic", source, d);
    d.tag.clear();
    d.fix.clear();
    d.severity = common::Severity::Note;
    cli::AppendDiagnostic(printer, out, "\xc3\xa4\xff.mic", source, d);
    cli::AppendFailure(printer, out, "ctrlforge", "gone.mic", "cannot read 'gone.mic': No such file or directory");
    cli::EndDiagnostics(printer, out);
    EXPECT_EQ(out,
              "[\n"
              "{\"file\":\"a\\\"b.mic\",\"line\":1,\"column\":3,\"endColumn\":6,\"severity\":\"error\",\"code\":\"E16\","
              "\"message\":\"say \\\"hi\\\"\\\\\\u0009\",\"fix\":\"C\"},\n"
              "{\"file\":\"\xc3\xa4\\ufffd.mic\",\"line\":1,\"column\":3,\"endColumn\":6,\"severity\":\"note\",\"code\":null,"
              "\"message\":\"say \\\"hi\\\"\\\\\\u0009\",\"fix\":null},\n"
              "{\"file\":\"gone.mic\",\"line\":0,\"column\":0,\"endColumn\":0,\"severity\":\"error\",\"code\":null,"
              "\"message\":\"cannot read 'gone.mic': No such file or directory\",\"fix\":null}\n"
              "]\n");
}

TEST(DiagnosticPrinter, TerminalsGetCaretsAndColourAndEverythingElsePlainLines) {
    const cli::DiagnosticChoice automatic;
    cli::PrintStyle style = cli::SettleStyle(automatic, true, nullptr, "xterm");
    EXPECT_TRUE(style.caret && style.color && !style.json);
    style = cli::SettleStyle(automatic, false, nullptr, "xterm");
    EXPECT_FALSE(style.caret || style.color || style.json);
    // NO_COLOR (when not empty) and TERM=dumb take the colour, not the carets.
    style = cli::SettleStyle(automatic, true, "1", "xterm");
    EXPECT_TRUE(style.caret && !style.color);
    style = cli::SettleStyle(automatic, true, "", "xterm");
    EXPECT_TRUE(style.color);
    style = cli::SettleStyle(automatic, true, nullptr, "dumb");
    EXPECT_FALSE(style.color);

    cli::DiagnosticChoice choice;
    for (const char* option : {"diagnostics-color=always", "diagnostics-show-caret"}) {
        EXPECT_TRUE(cli::SettleDiagnosticOption(option, choice)) << option;
    }
    style = cli::SettleStyle(choice, false, "1", "dumb");  // asked for: on a pipe and under NO_COLOR too
    EXPECT_TRUE(style.caret && style.color);
    for (const char* option : {"no-diagnostics-color", "no-diagnostics-show-caret"}) {
        EXPECT_TRUE(cli::SettleDiagnosticOption(option, choice)) << option;
    }
    style = cli::SettleStyle(choice, true, nullptr, "xterm");
    EXPECT_FALSE(style.caret || style.color);
    EXPECT_TRUE(cli::SettleDiagnosticOption("diagnostics-color", choice));
    EXPECT_EQ(choice.color, cli::When::Always);
    EXPECT_TRUE(cli::SettleDiagnosticOption("diagnostics-color=auto", choice));
    EXPECT_EQ(choice.color, cli::When::Auto);
    EXPECT_TRUE(cli::SettleDiagnosticOption("diagnostics-format=json", choice));
    style = cli::SettleStyle(choice, true, nullptr, "xterm");
    EXPECT_TRUE(style.json && !style.caret && !style.color);  // JSON is for programs
    EXPECT_TRUE(cli::SettleDiagnosticOption("diagnostics-format=text", choice));
    EXPECT_FALSE(choice.json);

    for (const char* option : {"diagnostics-color=sometimes", "diagnostics-format=xml", "diagnostics-caret", "color"}) {
        EXPECT_FALSE(cli::SettleDiagnosticOption(option, choice)) << option;
    }
}

}  // namespace
