// The IDoc field report: one heading line per segment occurrence, one field line per field.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/report_lines.h"
#include "idoc/definition_model.h"

namespace qpeek {

// The report lines made so far, found through the numbers the definitions keep (0 is no
// line). Kept apart from the definitions, which stay small: a definition file may hold
// hundreds of thousands of fields, and few of them are ever reported.
extern std::vector<PreparedField> gSegmentFieldLines;
extern std::vector<PreparedLine> gSegmentHeadingLines;

// Make the node's heading line and the field's line at their first use; return the number.
uint32_t prepareSegmentHeading(const DefinitionNode &node);
uint32_t prepareSegmentField(const FieldDefinition &field);

// The node's name in exactly 10 columns, then its description; never suppressed.
inline void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    uint32_t line = node.headingLine;
    if (line == 0)
        line = prepareSegmentHeading(node);
    appendPreparedLine(context.report, gSegmentHeadingLines[line]);
}

// A field line for the field's bytes at the position of the data.
inline void writeSegmentField(ReportBuffer &report, const FieldDefinition &field, ByteView data,
                              int64_t position) {
    uint32_t number = field.reportLine;
    if (number == 0)
        number = prepareSegmentField(field);
    const PreparedField *line = &gSegmentFieldLines[number];
#if defined(__SSE2__)
    // Most fields have 32 bytes of the record from them on: the view from the position
    // goes straight to the wide path, without from()'s tests.
    if (position >= 0 && position + 32 <= data.length && line->length > 0) {
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
