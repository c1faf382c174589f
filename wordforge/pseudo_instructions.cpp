#include "wordforge/pseudo_instructions.hpp"

#include "wordforge/diagnostic_text.hpp"
#include "wordforge/listing_output.hpp"
#include "wordforge/model_builder.hpp"
#include "wordforge/operand_readers.hpp"
#include "wordforge/pass1.hpp"

namespace wordforge {

void AssembleConstant(WordRun& run) {
    std::int32_t value = 0;
    std::size_t start = CurrentOffset(run.reader);
    bool read = ReadConstant(run, value);
    if (read && run.warn.truncation) WarnTruncation(run, value, 16, start);
    if (read) {
        ModelOperandValue(run, value);
        char digits[4];
        HexDigits(digits, value);
        SetColumns(run.line, 8, std::string_view(digits, 4));
    }
    WriteObjectLine(run, run.location, value);
    if (!read) {
        FlagError(run, 'F');
        ShowRestOfLine(run);
    }
}

void AssembleStorage(WordRun& run) {
    std::size_t start = CurrentOffset(run.reader);
    if (!IsDigit(run.reader.current)) {
        NoteFault(run, Fault::StorageCount, start);
        run.fault.value = -1;
        FlagError(run, 'F');
        ShowRestOfLine(run);
        return;
    }
    std::int32_t count = ReadDecimal(run, true);
    ModelTokenToHere(run, start, common::TokenKind::Number);
    if (!StorageCountInRange(count)) {
        NoteFault(run, Fault::StorageCount, start);
        run.fault.value = count;
        FlagError(run, 'F');
        ShowRestOfLine(run);
        return;
    }
    ModelOperandValue(run, count);
    if (count == 0) return;
    SetColumns(run.line, 8, "0000");
    WriteObjectLine(run, run.location, 0);
    FinishWithComment(run);
    for (std::int32_t i = 1; i < count; ++i) {
        WriteListingLine(run);
        run.location = WrapAdd(run.location, 1);
        Clear(run.line);
        Append(run.line, "  ");
        char digits[4];
        HexDigits(digits, run.location);
        Append(run.line, std::string_view(digits, 4));
        Append(run.line, " 0000");
        WriteObjectLine(run, run.location, 0);
    }
    run.location = WrapAdd(run.location, 1);
}

void AssembleOrigin(WordRun& run) {
    std::size_t start = CurrentOffset(run.reader);
    char first = run.reader.current;
    bool digitsFound = IsDigit(first) || (first >= 'A' && first <= 'F');
    run.location = ReadHex(run, true);
    ModelTokenToHere(run, start, common::TokenKind::Number);
    ModelOperandValue(run, run.location);
    SetColumns(run.line, 3, "    ");
    if (run.warn.org) WarnOrigin(run, digitsFound, run.location, start);
}

}  // namespace wordforge
