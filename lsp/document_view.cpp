#include "lsp/document_view.hpp"

namespace lsp {

Position PlacePosition(const DocumentView& view, const common::SourcePlace& place) {
    return PositionOfColumn(view.document.text, view.document.lineStarts, place.line, place.column, view.encoding);
}

Json SpanRange(const DocumentView& view, const common::SourceSpan& span) {
    return RangeJson(PlacePosition(view, span.begin), PlacePosition(view, span.end));
}

Json Location(const DocumentView& view, const common::SourceSpan& span) {
    return Json{{"uri", view.document.uri}, {"range", SpanRange(view, span)}};
}

std::uint32_t OffsetOfPosition(const DocumentView& view, Position position) {
    return OffsetAt(view.document, position, view.encoding);
}

bool Holds(const common::SourceSpan& span, std::uint32_t offset) {
    return span.begin.offset <= offset && offset <= span.end.offset;
}

}  // namespace lsp
