#include "cli/arguments.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/completion.hpp"
#include "cli/decode_commands.hpp"
#include "cli/diagnostic_printer.hpp"
#include "cli/image_options.hpp"
#include "cli/option_values.hpp"
#include "cli/warnings.hpp"
#include "image/reader.hpp"

#ifndef ZORVELT_VERSION
#define ZORVELT_VERSION "0"
#endif

namespace cli {

namespace {

// "--listing", "--object" and "--map" written without "=FILE" choose a file;
// with "=FILE" they also name it. The parser would take the next argument as
// the name, so the bare forms become their short letters first.
std::vector<std::string> ChooserFlagsAsLetters(const ProgramInfo& program, int argc, const char* const* argv) {
    std::vector<std::string> args;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnded && program.hasMap) {
            if (arg == "--listing") arg = "-S";
            else if (arg == "--object") arg = "-O";
            else if (arg == "--map") arg = "-M";
        }
        if (arg == "--") optionsEnded = true;
        args.push_back(std::move(arg));
    }
    return args;
}

// --word-layout=KIND prints its header and ends the run; it reads no source.
ParseOutcome PrintWordLayout(const ProgramInfo& program, const std::string& kind, const Invocation& invocation,
                             std::ostream& out, std::ostream& err, int& status) {
    if (!invocation.sources.empty()) {
        status = UsageError(program, err, "--word-layout prints the header only and takes no SOURCE");
        return ParseOutcome::Exit;
    }
    std::string kinds;
    for (const WordLayout& layout : program.wordLayouts) {
        if (layout.kind == kind) {
            out << layout.text();
            status = kSuccess;
            return ParseOutcome::Exit;
        }
        kinds += (kinds.empty() ? "" : ", ") + std::string(layout.kind);
    }
    status = UsageError(program, err, "unknown word layout '" + kind + "'; the layouts are " + kinds);
    return ParseOutcome::Exit;
}

}  // namespace

int UsageError(const ProgramInfo& program, std::ostream& err, std::string what) {
    std::replace(what.begin(), what.end(), '\n', ' ');
    // Messages start in lower case after the program's name, the parser's
    // own ("The following argument ...") included.
    if (what.size() > 1 && what[0] >= 'A' && what[0] <= 'Z' && what[1] >= 'a' && what[1] <= 'z') {
        what[0] = static_cast<char>(what[0] - 'A' + 'a');
    }
    err << program.name << ": " << what << '\n'
        << "Try '" << program.name << " --help' for more information.\n";
    return kFailure;
}

ParseOutcome ParseArguments(const ProgramInfo& program, int argc, const char* const* argv, Invocation& invocation,
                            std::ostream& out, std::ostream& err, int& status) {
    const std::string name(program.name);
    CLI::App app{std::string(program.summary), name};
    app.set_help_flag("-h,--help", "Print this help and exit");
    bool version = false;
    app.add_flag("--version", version, "Print the version and exit");
    std::string completionShell;
    CLI::Option* completionOption =
        app.add_option("--completion", completionShell, "Print a completion script for the shell and exit")
            ->type_name(std::string(kCompletionShells));

    std::string objectName, listingName, mapName;
    CLI::Option* objectOption = nullptr;
    CLI::Option* listingOption = nullptr;
    CLI::Option* mapOption = nullptr;
    bool chooseListing = false, chooseObject = false, chooseMap = false;
    if (program.hasMap) {
        app.add_flag("-S", chooseListing, "Write the listing (--listing also works)");
        app.add_flag("-O", chooseObject, "Write the object file (--object also works)");
        app.add_flag("-M", chooseMap, "Write the map (--map also works)");
        listingOption = app.add_option("--listing", listingName, "Write the listing to FILE (- for standard output)")
                            ->type_name("[=FILE]");
        objectOption = app.add_option("-o,--object", objectName, "Write the object file to FILE")->type_name("FILE");
        mapOption = app.add_option("--map", mapName, "Write the map to FILE")->type_name("[=FILE]");
    } else {
        listingOption = app.add_option("--listing", listingName, "Write the listing to FILE (- for standard output)")
                            ->type_name("FILE");
        objectOption = app.add_option("-o,--object", objectName, "Write the object file to FILE")->type_name("FILE");
    }
    app.add_option("--output-dir", invocation.outputDir, "Write the files into DIR")->type_name("DIR");
    std::vector<std::string> warningSwitches;
    bool noWarnings = false;
    app.add_option("-W", warningSwitches,
                   "-WNAME / -Wno-NAME turns a warning on / off; -Wall, -Werror")
        ->type_name("NAME")
        ->allow_extra_args(false);
    app.add_flag("-w", noWarnings, "Silence every warning");
    ImageArguments imageArguments;
    app.add_option("--image", imageArguments.formats,
                   "Also write a memory image: readmemh, readmemb, intelhex, logisim, mif or bin (repeatable)")
        ->type_name("FORMAT")
        ->allow_extra_args(false);
    CLI::Option* fillOption =
        app.add_option("--fill", imageArguments.fill,
                       "Word of unused addresses in logisim, mif and bin images (default " +
                           DefaultFillDigits(program) + ")")
            ->type_name("HEX");
    CLI::Option* lanesOption =
        app.add_option("--lanes", imageArguments.lanes, "One image per 8-bit lane of the words, for byte-wide memories")
            ->type_name("8");
    app.add_flag("--hex-word-addresses", imageArguments.wordAddresses,
                 "Intel HEX addresses count words instead of bytes");
    // How diagnostics are printed, with the options compilers use for it:
    // -fdiagnostics-color=auto|always|never, -f[no-]diagnostics-show-caret,
    // -fdiagnostics-format=text|json.
    std::vector<std::string> diagnosticSwitches;
    app.add_option("-f", diagnosticSwitches,
                   "-fdiagnostics-color=auto|always|never, -fdiagnostics-show-caret, -fno-diagnostics-show-caret, "
                   "-fdiagnostics-format=text|json")
        ->type_name("OPTION")
        ->allow_extra_args(false);
    std::string layoutKind;
    CLI::Option* layoutOption = nullptr;
    if (!program.wordLayouts.empty()) {
        std::string kinds;
        for (const WordLayout& layout : program.wordLayouts) kinds += (kinds.empty() ? "" : "|") + std::string(layout.kind);
        layoutOption = app.add_option("--word-layout", layoutKind,
                                      "Print a header of the word's layout to standard output and exit")
                           ->type_name(kinds);
    }
    // Reading words back: what a word holds, what an image decodes to, and
    // how an image read back from hardware differs from the source.
    std::string explainDigits;
    CLI::Option* explainOption =
        app.add_option("--explain", explainDigits,
                       "Print what the word WORD (" + std::to_string(program.reading.hexDigits) +
                           " hexadecimal digits) holds and does, and exit")
            ->type_name("WORD");
    ReadBackArguments readBack;
    app.add_flag("--" + std::string(program.reading.decodeOption), readBack.decode,
                 std::string(program.reading.decodeHelp) + " (the SOURCE operands are image files)");
    app.add_flag("--" + std::string(program.reading.styleOption), readBack.style, std::string(program.reading.styleHelp));
    app.add_option("--compare", readBack.compare,
                   "Compare the image IMAGE (repeated: its lane files) with the words SOURCE assembles to; "
                   "--fill is what an unwritten word of the image holds")
        ->type_name("IMAGE")
        ->allow_extra_args(false);
    CLI::Option* imageFormatOption =
        app.add_option("--image-format", readBack.format,
                       "The format of the images read: " + image::ReadFormatNames() + " (default: from the name or the content)")
            ->type_name("NAME");
    app.add_option("SOURCE", invocation.sources, "Source files (- for standard input)")->type_name("");
    std::string footer = "Exit status: 0 when every SOURCE assembled without errors, 1 when a SOURCE had\n"
                         "errors, 2 on a usage error or a file that could not be read or written.\n";
    footer += std::string(program.reading.statusHelp) +
              "With --compare: 0 when the image holds the source's words, 1 when it\n"
              "differs, 2 when the image or the SOURCE could not be read or the SOURCE has\n"
              "errors.\n";
    if (!program.warnings.empty()) {
        footer += "Warnings:";
        for (const WarningInfo& w : program.warnings) {
            footer += " ";
            footer += w.name;
            if (!w.onByDefault) footer += " (off by default)";
        }
        footer += "\n";
    }
    app.footer(footer);

    if (std::string empty = EmptyOptionValue(app, std::vector<std::string>(argv + 1, argv + argc)); !empty.empty()) {
        status = UsageError(program, err, empty);
        return ParseOutcome::Exit;
    }
    std::vector<std::string> args = ChooserFlagsAsLetters(program, argc, argv);
    std::reverse(args.begin(), args.end());  // the parser takes them last first
    try {
        app.parse(args);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        status = kSuccess;
        return ParseOutcome::Exit;
    } catch (const CLI::ParseError& e) {
        status = UsageError(program, err, e.what());
        return ParseOutcome::Exit;
    }
    if (version) {
        out << program.name << ' ' << ZORVELT_VERSION << '\n';
        status = kSuccess;
        return ParseOutcome::Exit;
    }
    if (completionOption->count() > 0) {
        std::string problem;
        status = WriteCompletionScript(program, app, completionShell, out, problem) ? kSuccess
                                                                                    : UsageError(program, err, problem);
        return ParseOutcome::Exit;
    }
    if (layoutOption != nullptr && layoutOption->count() > 0) {
        return PrintWordLayout(program, layoutKind, invocation, out, err, status);
    }
    if (explainOption->count() > 0) {
        std::string problem = "--explain decodes its WORD only and takes no SOURCE";
        status = invocation.sources.empty() && ExplainCommand(program, explainDigits, out, problem)
                     ? kSuccess
                     : UsageError(program, err, problem);
        return ParseOutcome::Exit;
    }
    readBack.formatGiven = imageFormatOption->count() > 0;
    if (readBack.Asked()) {
        // The options that write files, which a read-back does not take.
        std::string fileOption;
        if (!imageArguments.formats.empty()) fileOption = "--image";
        if (lanesOption->count() > 0) fileOption = "--lanes";
        if (listingOption->count() > 0 || chooseListing) fileOption = program.hasMap ? "-S" : "--listing";
        if (objectOption->count() > 0 || chooseObject) fileOption = "--object";
        if ((mapOption != nullptr && mapOption->count() > 0) || chooseMap) fileOption = "--map";
        if (!invocation.outputDir.empty()) fileOption = "--output-dir";
        imageArguments.fillGiven = fillOption->count() > 0;
        std::string problem;
        std::string bad;
        if (!SettleWarnings(program, warningSwitches, invocation.warnings, bad)) {
            problem = "unknown warning option '-W" + bad + "'";
        } else {
            invocation.warnings.silenced = noWarnings;
            for (const std::string& option : diagnosticSwitches) {
                if (!SettleDiagnosticOption(option, invocation.diagnostics)) problem = "unknown option '-f" + option + "'";
            }
            if (problem.empty()) SettleReadBack(program, readBack, imageArguments, fileOption, invocation, problem);
        }
        if (!problem.empty()) {
            status = UsageError(program, err, problem);
            return ParseOutcome::Exit;
        }
        return ParseOutcome::Run;
    }
    if (invocation.sources.empty()) {
        status = UsageError(program, err, "no SOURCE given");
        return ParseOutcome::Exit;
    }
    std::string bad;
    if (!SettleWarnings(program, warningSwitches, invocation.warnings, bad)) {
        status = UsageError(program, err, "unknown warning option '-W" + bad + "'");
        return ParseOutcome::Exit;
    }
    invocation.warnings.silenced = noWarnings;
    for (const std::string& option : diagnosticSwitches) {
        if (!SettleDiagnosticOption(option, invocation.diagnostics)) {
            status = UsageError(program, err, "unknown option '-f" + option + "'");
            return ParseOutcome::Exit;
        }
    }

    bool named = listingOption->count() + objectOption->count() + (mapOption ? mapOption->count() : 0) > 0;
    if (named && invocation.sources.size() > 1) {
        status = UsageError(program, err, "--listing=FILE, --object=FILE, -o and --map=FILE need a single SOURCE");
        return ParseOutcome::Exit;
    }
    if (listingOption->count() > 0 && listingName.empty()) {
        status = UsageError(program, err, "--listing needs a FILE name");
        return ParseOutcome::Exit;
    }
    if (objectOption->count() > 0 && objectName.empty()) {
        status = UsageError(program, err, "--object needs a FILE name");
        return ParseOutcome::Exit;
    }
    if (mapOption != nullptr && mapOption->count() > 0 && mapName.empty()) {
        status = UsageError(program, err, "--map needs a FILE name");
        return ParseOutcome::Exit;
    }
    if (std::count(invocation.sources.begin(), invocation.sources.end(), "-") > 1) {
        status = UsageError(program, err, "standard input (-) given as SOURCE more than once");
        return ParseOutcome::Exit;
    }

    imageArguments.fillGiven = fillOption->count() > 0;
    imageArguments.lanesGiven = lanesOption->count() > 0;
    std::string problem;
    if (!SettleImages(program, imageArguments, invocation.images, problem)) {
        status = UsageError(program, err, problem);
        return ParseOutcome::Exit;
    }

    invocation.listing = {chooseListing || listingOption->count() > 0, listingName};
    invocation.object = {chooseObject || objectOption->count() > 0, objectName};
    invocation.map = {chooseMap || (mapOption != nullptr && mapOption->count() > 0), mapName};
    if (!program.hasMap) {
        // wordforge always writes its listing and object file.
        invocation.listing.chosen = invocation.object.chosen = true;
    } else if (!invocation.listing.chosen && !invocation.object.chosen && !invocation.map.chosen) {
        invocation.listing.chosen = invocation.object.chosen = invocation.map.chosen = true;
    }
    return ParseOutcome::Run;
}

}  // namespace cli
