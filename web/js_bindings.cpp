// The JavaScript face of the entry points, for the page:
//   assembleCtrlforge(source: Uint8Array, options: {letters, name, images, model})
//   assembleWordforge(source: Uint8Array, options: {name, images, model})
// with images {formats: [string], lanes: boolean, fill: string,
// hexWordAddresses: boolean} (all optional), name the source's name and
// model true to have the source model too; each returns
//   {files: [{kind, extension, bytes: Uint8Array, format?, lane?}],
//    console: string, failed: boolean,
//    diagnostics: [{line, column, endColumn, severity, tag, message, fix}], imageProblem: string,
//    model?}
// File bytes cross as byte arrays, never as text, so CR LF and every other
// byte reach the page's downloads unchanged. A diagnostic's column counts
// bytes of its line in the source as handed in, and endColumn is one past the
// last byte of the token it names, counted the same way; severity is "error",
// "warning" or "note", tag as the command line prints it in brackets ("" for
// none), fix the likely replacement of the token ("" for none).
// An image file carries its format's name, and a lane image its lane.
//
// The model (asked for with options.model) is the run's source model
// (ctrlforge/source_model.hpp, wordforge/source_model.hpp) as flat tables
// (web/model_tables.hpp), so that a full store crosses as a few typed arrays.
// A table is {columns: [string], rows: Int32Array}: row i's value of column
// c is rows[i * columns.length + columns.indexOf(c)]. Every place is an
// offset in UTF-16 code units of the source read as UTF-8 (the editor's
// positions of the text it encoded); an end is exclusive; -1 is "none"
// wherever an index or address may be missing. For ctrlforge:
//   {program: "ctrlforge", title,
//    statements: {columns: [begin, end, headingEnd, flags, headingAddress,
//                 address, placementClass, label, target, targetAddress,
//                 wordHigh, wordLow], rows},
//        begin..end from the "*" to the end of the last clause line,
//        headingEnd the end of the heading line; flags 1 in error, 2 address
//        given, 4 packed; placementClass 0 unlabelled, 1 labelled, 2 branch
//        target, 3 IRA, 4 IOP, 5 IAB target; label and target indices of
//        labels; the word, when packed, as bits 39-32 (wordHigh) and bits
//        31-0 (wordLow, read it with >>> 0)
//    fieldCodes: Uint16Array, fieldBits: Uint16Array   ten per statement,
//        LB first: the code the parser stored and the bits in the word
//    cells: string   forty characters per statement: the ten map cells of
//        four characters, blank padded (all blank for a word not packed)
//    fields: [{name, high, low}]   the ten fields' bit positions (39..0)
//    labels: {columns: [defined, begin, end, statement, address,
//             placementClass, firstUse, uses], rows, names}
//        begin..end the definition (-1 when never defined); firstUse and
//        uses the label's rows of `uses`; names: every label's name in
//        order, each followed by a line feed
//    uses: {columns: [begin, end, clause, statement, label], rows}
//        clause an index into clauses
//    clauses: ["GOTO", "CALL", "IF", "IOP", "IRA", "IAB"]
//    tokens: {columns: [begin, end, kind], rows}   kind an index into tokenKinds
//    tokenKinds: ["keyword", "mnemonic", "register", "condition", "operator",
//                 "number", "label", "comment", "directive", "title", "star"]}
// For wordforge:
//   {program: "wordforge", title,
//    lines: {columns: [begin, end, line, kind, flag1, flag2, address,
//            firstWord, words, label, operation, modifier, register,
//            operand, operandLabel, operandValue], rows},
//        begin..end the line without its line end; line its number; kind an
//        index into lineKinds; flag1 and flag2 the character codes of the
//        listing's flag columns; address -1 for a line that takes none;
//        firstWord and words the line's pairs in `words`; the fields for
//        instructions only (else 0); the operand's label (-1 for none) and
//        value for instructions, DC, DS and ORG
//    words: Uint16Array   address and value of every word, in the order
//                         the lines produced them
//    mnemonics: string    every line's mnemonic as read (upper case), each
//                         followed by a line feed
//    labels: {columns: [defined, begin, end, value, firstUse, uses], rows, names}
//    uses: {columns: [begin, end, line, label], rows}   line a row of lines
//    lineKinds: ["instruction", "pseudo", "comment", "error"]
//    tokens, tokenKinds as for ctrlforge}
// The typed arrays are copies the caller owns (and may transfer).
//
//   imageFormats(): [{name, extension}], every format in the command line's order
//   imageFacts(program: "ctrlforge" | "wordforge"): {wordBits, lanes, defaultFill}
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.hpp"
#include "web/entry.hpp"
#include "web/model_tables.hpp"

namespace {

using emscripten::val;

val Bytes(const std::string& bytes) {
    auto view = emscripten::typed_memory_view(bytes.size(),
                                              reinterpret_cast<const unsigned char*>(bytes.data()));
    // A copy: the view points into memory that is freed when the call returns.
    return val::global("Uint8Array").new_(view);
}

// A copy of a table of numbers as a typed array of its type.
template <typename Number>
val Numbers(const std::vector<Number>& numbers, const char* arrayType) {
    return val::global(arrayType).new_(emscripten::typed_memory_view(numbers.size(), numbers.data()));
}

template <std::size_t N>
val Names(const std::array<const char*, N>& names) {
    val list = val::array();
    for (const char* name : names) list.call<void>("push", std::string(name));
    return list;
}

template <std::size_t N>
val Table(const std::array<const char*, N>& columns, const std::vector<std::int32_t>& rows) {
    val table = val::object();
    table.set("columns", Names(columns));
    table.set("rows", Numbers(rows, "Int32Array"));
    return table;
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
    val model = options["model"];
    result.model = model.isTrue();
    return result;
}

// What the models of both programs hold alike: title, labels, their uses
// and the tokens.
template <std::size_t LabelColumns, std::size_t UseColumns>
val ModelJs(const char* program, const web::ModelTables& tables, const std::array<const char*, LabelColumns>& labelColumns,
            const std::array<const char*, UseColumns>& useColumns, const val& decoder) {
    val out = val::object();
    out.set("program", std::string(program));
    out.set("title", decoder.call<val>("decode", Bytes(tables.title)));
    val labels = Table(labelColumns, tables.labels);
    labels.set("names", decoder.call<val>("decode", Bytes(tables.labelNames)));
    out.set("labels", labels);
    out.set("uses", Table(useColumns, tables.uses));
    out.set("tokens", Table(web::kTokenColumns, tables.tokens));
    out.set("tokenKinds", Names(web::kTokenKindNames));
    return out;
}

val CtrlforgeModelJs(const ctrlforge::SourceModel& model, std::string_view source, const val& decoder) {
    const web::ModelTables tables = web::CtrlforgeTables(model, source);
    val out = ModelJs("ctrlforge", tables, web::kCtrlLabelColumns, web::kCtrlUseColumns, decoder);
    out.set("statements", Table(web::kStatementColumns, tables.units));
    out.set("fieldCodes", Numbers(tables.fieldCodes, "Uint16Array"));
    out.set("fieldBits", Numbers(tables.fieldBits, "Uint16Array"));
    out.set("cells", tables.cells);
    val fields = val::array();
    for (const ctrlforge::FieldBits& field : ctrlforge::kFieldBits) {
        val item = val::object();
        item.set("name", std::string(field.name));
        item.set("high", field.high);
        item.set("low", field.low);
        fields.call<void>("push", item);
    }
    out.set("fields", fields);
    out.set("clauses", Names(web::kLabelUseNames));
    return out;
}

val WordforgeModelJs(const wordforge::SourceModel& model, std::string_view source, const val& decoder) {
    const web::ModelTables tables = web::WordforgeTables(model, source);
    val out = ModelJs("wordforge", tables, web::kWordLabelColumns, web::kWordUseColumns, decoder);
    out.set("lines", Table(web::kLineColumns, tables.units));
    out.set("words", Numbers(tables.words, "Uint16Array"));
    out.set("mnemonics", decoder.call<val>("decode", Bytes(tables.mnemonics)));
    out.set("lineKinds", Names(web::kLineKindNames));
    return out;
}

// Which program's model a result carries.
enum class ModelOf { None, Ctrlforge, Wordforge };

val ToJs(const web::EntryResult& result, ModelOf model, std::string_view source) {
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
    if (model == ModelOf::Ctrlforge) out.set("model", CtrlforgeModelJs(result.ctrlforgeModel, source, decoder));
    if (model == ModelOf::Wordforge) out.set("model", WordforgeModelJs(result.wordforgeModel, source, decoder));
    return out;
}

// `source` arrives as the bytes of a Uint8Array.
val AssembleCtrlforgeJs(const std::string& source, const val& options) {
    const web::EntryOptions read = ReadOptions(options);
    return ToJs(web::AssembleCtrlforge(source, read), read.model ? ModelOf::Ctrlforge : ModelOf::None, source);
}

val AssembleWordforgeJs(const std::string& source, const val& options) {
    const web::EntryOptions read = ReadOptions(options);
    return ToJs(web::AssembleWordforge(source, read), read.model ? ModelOf::Wordforge : ModelOf::None, source);
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
