// The JavaScript face of the entry points, for the page:
//   assembleCtrlforge(source: Uint8Array, options: {letters, name, images})
//   assembleWordforge(source: Uint8Array, options: {name, images})
// with images {formats: [string], lanes: boolean, fill: string,
// hexWordAddresses: boolean} (all optional) and name the source's name; each
// returns
//   {files: [{kind, extension, bytes: Uint8Array, format?, lane?}],
//    console: string, failed: boolean,
//    diagnostics: [{line, column, endColumn, severity, tag, message, fix}], imageProblem: string}
// File bytes cross as byte arrays, never as text, so CR LF and every other
// byte reach the page's downloads unchanged. A diagnostic's column counts
// bytes of its line in the source as handed in, and endColumn is one past the
// last byte of the token it names, counted the same way; severity is "error",
// "warning" or "note", tag as the command line prints it in brackets ("" for
// none), fix the likely replacement of the token ("" for none).
// An image file carries its format's name, and a lane image its lane.
//   imageFormats(): [{name, extension}], every format in the command line's order
//   imageFacts(program: "ctrlforge" | "wordforge"): {wordBits, lanes, defaultFill}
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "image/image.hpp"
#include "web/entry.hpp"

namespace {

using emscripten::val;

val Bytes(const std::string& bytes) {
    auto view = emscripten::typed_memory_view(bytes.size(),
                                              reinterpret_cast<const unsigned char*>(bytes.data()));
    // A copy: the view points into memory that is freed when the call returns.
    return val::global("Uint8Array").new_(view);
}

bool Given(const val& value) { return !value.isUndefined() && !value.isNull(); }

web::EntryImages ReadImages(const val& images) {
    web::EntryImages result;
    if (!Given(images)) return result;
    val formats = images["formats"];
    if (Given(formats)) {
        const unsigned count = formats["length"].as<unsigned>();
        for (unsigned i = 0; i < count; ++i) result.formats.push_back(formats[i].as<std::string>());
    }
    val fill = images["fill"];
    if (fill.isString()) result.fill = fill.as<std::string>();
    result.lanes = images["lanes"].as<bool>();
    result.hexWordAddresses = images["hexWordAddresses"].as<bool>();
    return result;
}

web::EntryOptions ReadOptions(const val& options) {
    web::EntryOptions result;
    if (!Given(options)) return result;
    // The page keeps the dialogue's option letters (its share links carry
    // them); S, O and M anywhere in them choose the listing, object file and
    // map.
    val letters = options["letters"];
    if (letters.isString()) {
        const std::string text = letters.as<std::string>();
        auto has = [&](char upper) { return text.find(upper) != std::string::npos || text.find(static_cast<char>(upper - 'A' + 'a')) != std::string::npos; };
        result.listing = has('S');
        result.object = has('O');
        result.map = has('M');
    }
    val name = options["name"];
    if (name.isString()) result.sourceName = name.as<std::string>();
    result.images = ReadImages(options["images"]);
    return result;
}

val ToJs(const web::EntryResult& result) {
    // Messages may quote source bytes that are not UTF-8 (a line starting
    // with a byte of a longer character); the decoder shows each such byte
    // as U+FFFD, the way the page decodes every text it shows.
    val decoder = val::global("TextDecoder").new_();
    val files = val::array();
    for (const web::OutputFile& file : result.files) {
        val f = val::object();
        f.set("kind", file.kind);
        f.set("extension", file.extension);
        f.set("bytes", Bytes(file.bytes));
        if (!file.format.empty()) f.set("format", file.format);
        if (file.lane) f.set("lane", *file.lane);
        files.call<void>("push", f);
    }
    val diagnostics = val::array();
    for (const common::Diagnostic& d : result.diagnostics) {
        val item = val::object();
        item.set("line", d.line);
        item.set("column", d.column);
        item.set("endColumn", d.endColumn);
        item.set("severity", std::string(common::SeverityName(d.severity)));
        item.set("fix", d.fix);
        item.set("tag", d.tag);
        item.set("message", decoder.call<val>("decode", Bytes(d.message)));
        diagnostics.call<void>("push", item);
    }
    val out = val::object();
    out.set("files", files);
    out.set("console", result.console);
    out.set("failed", result.failed);
    out.set("diagnostics", diagnostics);
    out.set("imageProblem", result.imageProblem);
    return out;
}

// `source` arrives as the bytes of a Uint8Array.
val AssembleCtrlforgeJs(const std::string& source, const val& options) {
    return ToJs(web::AssembleCtrlforge(source, ReadOptions(options)));
}

val AssembleWordforgeJs(const std::string& source, const val& options) {
    return ToJs(web::AssembleWordforge(source, ReadOptions(options)));
}

val ImageFormatsJs() {
    val formats = val::array();
    for (const image::FormatInfo& info : image::Formats()) {
        val format = val::object();
        format.set("name", std::string(info.name));
        format.set("extension", std::string(info.extension));
        formats.call<void>("push", format);
    }
    return formats;
}

val ImageFactsJs(const std::string& program) {
    const web::ImageFacts facts = program == "ctrlforge" ? web::CtrlforgeImageFacts() : web::WordforgeImageFacts();
    val out = val::object();
    out.set("wordBits", facts.wordBits);
    out.set("lanes", facts.lanes);
    out.set("defaultFill", facts.defaultFill);
    return out;
}

}  // namespace

EMSCRIPTEN_BINDINGS(zorvelt_assemblers) {
    emscripten::function("assembleCtrlforge", &AssembleCtrlforgeJs);
    emscripten::function("assembleWordforge", &AssembleWordforgeJs);
    emscripten::function("imageFormats", &ImageFormatsJs);
    emscripten::function("imageFacts", &ImageFactsJs);
}
