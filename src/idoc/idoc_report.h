// The IDoc field report: one heading line per segment occurrence, one field line per field.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/report_lines.h"
#include "idoc/definition_model.h"

namespace qpeek {

// Makes the node's heading line, at its first use.
const PreparedLine &prepareSegmentHeading(const DefinitionNode &node);

// The node's name in exactly 10 columns, then its description; never suppressed.
inline void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    const PreparedLine *line = node.headingLine;
    if (!line)
        line = &prepareSegmentHeading(node);
    appendPreparedLine(context.report, *line);
}

// Makes the field's report line, at its first use.
const PreparedField &prepareSegmentField(const FieldDefinition &field);

// A field line for the field's bytes at the position of the data.
inline void writeSegmentField(ReportBuffer &report, const FieldDefinition &field, ByteView data,
                              int64_t position) {
    const PreparedField *line = field.reportLine;
    if (!line)
        line = &prepareSegmentField(field);
#if defined(__SSE2__)
    // Positions are never negative. Most fields have 32 bytes of the record from them on.
    if (position + 32 <= data.length && line->length > 0) {
        writePreparedFieldWide(
            report, *line,
            ByteView{data.data + position, static_cast<int32_t>(data.length - position)});
        return;
    }
#endif
    writePreparedField(report, *line, data.from(position));
}

// The field lines of one record: each field at the context's position, which then moves past
// it (a negative length moves it by nothing). Only the fields that begin inside the data are
// written when the data's end stops them; else every field. Returns the fields written.
inline size_t writeSegmentFields(ParseContext &context, const std::vector<FieldDefinition> &fields,
                                 bool stopAtDataEnd) {
    ReportBuffer &report = context.report;
    const ByteView data = context.data;
    int64_t position = context.position;
    const int64_t end = stopAtDataEnd ? data.length : INT64_MAX;
    const FieldDefinition *field = fields.data(), *last = field + fields.size();
    for (; field != last && position < end; ++field) {
        writeSegmentField(report, *field, data, position);
        position += field->length > 0 ? field->length : 0;
    }
    context.position = position;
    return static_cast<size_t>(field - fields.data());
}

// Drops the report lines made for the definitions (when the definitions are dropped).
void forgetReportLines();

} // namespace qpeek
