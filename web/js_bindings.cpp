// The JavaScript face of the entry points, for the page:
//   assembleCtrlforge(source: Uint8Array, options: {letters: string})
//   assembleWordforge(source: Uint8Array, options: {})
// each return
//   {files: [{kind, extension, bytes: Uint8Array}], console: string,
//    failed: boolean, diagnostics: [{line, column, severity, tag, message}]}
// File bytes cross as byte arrays, never as text, so CR LF and every other
// byte reach the page's downloads unchanged. A diagnostic's column counts
// bytes of its line in the source as handed in; severity is "error" or
// "warning", tag as the command line prints it in brackets ("" for none).
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "web/entry.hpp"

namespace {

using emscripten::val;

val Bytes(const std::string& bytes) {
    auto view = emscripten::typed_memory_view(bytes.size(),
                                              reinterpret_cast<const unsigned char*>(bytes.data()));
    // A copy: the view points into memory that is freed when the call returns.
    return val::global("Uint8Array").new_(view);
}

web::EntryOptions ReadOptions(const val& options) {
    web::EntryOptions result;
    if (options.isUndefined() || options.isNull()) return result;
    val letters = options["letters"];
    if (letters.isString()) result.letters = letters.as<std::string>();
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
        files.call<void>("push", f);
    }
    val diagnostics = val::array();
    for (const common::Diagnostic& d : result.diagnostics) {
        val item = val::object();
        item.set("line", d.line);
        item.set("column", d.column);
        item.set("severity", std::string(d.severity == common::Severity::Error ? "error" : "warning"));
        item.set("tag", d.tag);
        item.set("message", decoder.call<val>("decode", Bytes(d.message)));
        diagnostics.call<void>("push", item);
    }
    val out = val::object();
    out.set("files", files);
    out.set("console", result.console);
    out.set("failed", result.failed);
    out.set("diagnostics", diagnostics);
    return out;
}

// `source` arrives as the bytes of a Uint8Array.
val AssembleCtrlforgeJs(const std::string& source, const val& options) {
    return ToJs(web::AssembleCtrlforge(source, ReadOptions(options)));
}

val AssembleWordforgeJs(const std::string& source, const val& options) {
    return ToJs(web::AssembleWordforge(source, ReadOptions(options)));
}

}  // namespace

EMSCRIPTEN_BINDINGS(zorvelt_assemblers) {
    emscripten::function("assembleCtrlforge", &AssembleCtrlforgeJs);
    emscripten::function("assembleWordforge", &AssembleWordforgeJs);
}
