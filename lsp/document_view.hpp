#pragma once
// A document together with its latest run, as the requests read them, and
// the conversions from the run's places to the protocol's ranges.
#include <cstdint>

#include "common/source_model.hpp"
#include "lsp/document_run.hpp"
#include "lsp/documents.hpp"
#include "lsp/json.hpp"

namespace lsp {

struct DocumentView {
    const Document& document;
    const DocumentRun& run;
    PositionEncoding encoding;
};

Position PlacePosition(const DocumentView& view, const common::SourcePlace& place);
Json SpanRange(const DocumentView& view, const common::SourceSpan& span);
Json Location(const DocumentView& view, const common::SourceSpan& span);

// The byte offset a request's position points at.
std::uint32_t OffsetOfPosition(const DocumentView& view, Position position);

// The span that holds `offset`, its end included (a cursor just after a
// word is still on it).
bool Holds(const common::SourceSpan& span, std::uint32_t offset);

}  // namespace lsp
