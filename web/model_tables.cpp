#include "web/model_tables.hpp"

#include <algorithm>
#include <initializer_list>

namespace web {

Utf16Offsets ScanUtf16(std::string_view source) {
    Utf16Offsets offsets;
    std::uint32_t fewer = 0;
    for (std::size_t at = 0; at < source.size();) {
        const auto lead = static_cast<unsigned char>(source[at]);
        // A lead byte says how long its character is; UTF-16 takes two units
        // for a character of four bytes and one for the others. A byte that
        // leads nothing counts as a character of its own, as the page's
        // decoder shows it.
        const std::size_t bytes = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (bytes == 1 || at + bytes > source.size()) {
            ++at;
            continue;
        }
        at += bytes;
        fewer += static_cast<std::uint32_t>(bytes == 4 ? 2 : bytes - 1);
        offsets.after.push_back(static_cast<std::uint32_t>(at));
        offsets.fewer.push_back(fewer);
    }
    return offsets;
}

std::int32_t ToUtf16(const Utf16Offsets& offsets, std::uint32_t byteOffset) {
    const auto past = std::upper_bound(offsets.after.begin(), offsets.after.end(), byteOffset);
    const std::uint32_t fewer = past == offsets.after.begin() ? 0 : offsets.fewer[static_cast<std::size_t>(past - offsets.after.begin() - 1)];
    return static_cast<std::int32_t>(byteOffset - fewer);
}

namespace {

void Row(std::vector<std::int32_t>& table, std::initializer_list<std::int32_t> row) {
    table.insert(table.end(), row);
}

std::int32_t Begin(const Utf16Offsets& offsets, const common::SourceSpan& span) {
    return ToUtf16(offsets, span.begin.offset);
}

std::int32_t End(const Utf16Offsets& offsets, const common::SourceSpan& span) {
    return ToUtf16(offsets, span.end.offset);
}

void AddTokens(const std::vector<common::ModelToken>& tokens, const Utf16Offsets& offsets, ModelTables& tables) {
    tables.tokens.reserve(tokens.size() * kTokenColumns.size());
    for (const common::ModelToken& token : tokens) {
        Row(tables.tokens, {Begin(offsets, token.span), End(offsets, token.span), static_cast<std::int32_t>(token.kind)});
    }
}

}  // namespace

ModelTables CtrlforgeTables(const ctrlforge::SourceModel& model, std::string_view source) {
    const Utf16Offsets offsets = ScanUtf16(source);
    ModelTables tables;
    tables.title = model.title;
    const std::size_t count = model.statements.size();
    tables.units.reserve(count * kStatementColumns.size());
    tables.fieldCodes.reserve(count * ctrlforge::kWordFields);
    tables.fieldBits.reserve(count * ctrlforge::kWordFields);
    tables.cells.reserve(count * ctrlforge::kWordFields * 4);
    for (const ctrlforge::ModelStatement& s : model.statements) {
        const std::int32_t flags = (s.inError ? kInError : 0) | (s.addressGiven ? kAddressGiven : 0) |
                                   (s.packed ? kPacked : 0);
        Row(tables.units, {Begin(offsets, s.span), End(offsets, s.span), End(offsets, s.heading), flags,
                           s.headingAddress, s.address, s.placementClass, s.label, s.target, s.targetAddress,
                           static_cast<std::int32_t>(s.word >> 32),
                           static_cast<std::int32_t>(static_cast<std::uint32_t>(s.word & 0xFFFFFFFFu))});
        for (const ctrlforge::ModelField& field : s.fields) {
            tables.fieldCodes.push_back(field.code);
            tables.fieldBits.push_back(field.bits);
            const std::string_view cell = ctrlforge::CellText(field);
            tables.cells.append(cell);
            tables.cells.append(4 - cell.size(), ' ');
        }
    }
    tables.labels.reserve(model.labels.size() * kCtrlLabelColumns.size());
    std::int32_t uses = 0;
    for (const ctrlforge::ModelLabel& label : model.labels) {
        const auto labelIndex = static_cast<std::int32_t>(&label - model.labels.data());
        Row(tables.labels, {label.defined ? 1 : 0, label.defined ? Begin(offsets, label.definition) : -1,
                            label.defined ? End(offsets, label.definition) : -1, label.statement, label.address,
                            label.placementClass, uses, static_cast<std::int32_t>(label.uses.size())});
        for (const ctrlforge::ModelLabelUse& use : label.uses) {
            Row(tables.uses, {Begin(offsets, use.span), End(offsets, use.span), static_cast<std::int32_t>(use.clause),
                              use.statement, labelIndex});
        }
        uses += static_cast<std::int32_t>(label.uses.size());
        tables.labelNames += label.name;
        tables.labelNames += '\n';
    }
    AddTokens(model.tokens, offsets, tables);
    return tables;
}

ModelTables WordforgeTables(const wordforge::SourceModel& model, std::string_view source) {
    const Utf16Offsets offsets = ScanUtf16(source);
    ModelTables tables;
    tables.title = model.title;
    tables.units.reserve(model.lines.size() * kLineColumns.size());
    for (const wordforge::ModelLine& line : model.lines) {
        const bool instruction = line.kind == wordforge::LineKind::Instruction;
        Row(tables.units, {Begin(offsets, line.span), End(offsets, line.span), line.line,
                           static_cast<std::int32_t>(line.kind), line.flags[0], line.flags[1], line.address,
                           static_cast<std::int32_t>(line.firstWord), static_cast<std::int32_t>(line.wordCount),
                           line.label, instruction ? line.fields.operation : 0, instruction ? line.fields.modifier : 0,
                           instruction ? line.fields.reg : 0, instruction ? line.fields.operand : 0,
                           line.operandLabel, line.operandValue});
        tables.mnemonics += wordforge::MnemonicOf(line);
        tables.mnemonics += '\n';
    }
    tables.words.reserve(model.words.size() * 2);
    for (const wordforge::ModelWord& word : model.words) {
        tables.words.push_back(word.address);
        tables.words.push_back(word.value);
    }
    std::int32_t uses = 0;
    for (const wordforge::ModelLabel& label : model.labels) {
        const auto labelIndex = static_cast<std::int32_t>(&label - model.labels.data());
        Row(tables.labels, {label.defined ? 1 : 0, label.defined ? Begin(offsets, label.definition) : -1,
                            label.defined ? End(offsets, label.definition) : -1, label.value, uses,
                            static_cast<std::int32_t>(label.uses.size())});
        for (const wordforge::ModelLabelUse& use : label.uses) {
            Row(tables.uses, {Begin(offsets, use.span), End(offsets, use.span), use.line, labelIndex});
        }
        uses += static_cast<std::int32_t>(label.uses.size());
        tables.labelNames += label.name;
        tables.labelNames += '\n';
    }
    AddTokens(model.tokens, offsets, tables);
    return tables;
}

}  // namespace web
