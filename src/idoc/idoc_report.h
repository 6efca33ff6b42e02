// The IDoc field report: one heading line per segment occurrence, one field line per field.
#pragma once

#include <cstdint>
#include <vector>

#include "idoc/definition_model.h"
#include "idoc/definition_store.h"
#include "idoc/idoc_parse.h"
#include "report/field_lines.h"
#include "report/output_sink.h"

namespace qpeek {

// Make the node's heading line and the field's line at their first use, among the lines of
// the store that holds the definition; return the number.
uint32_t prepareSegmentHeading(SegmentLines &lines, const DefinitionNode &node);
uint32_t prepareSegmentField(SegmentLines &lines, const FieldDefinition &field);

// writePreparedField, not inlined: for the fields near the end of the data.
void writeSegmentFieldAtEnd(OutputSink &out, const PreparedField &line, ByteView value);

// The node's name in exactly 10 columns, then its description; never suppressed.
inline void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    if (context.out->json) // the segment's object names it
        return;
    SegmentLines &lines = context.store.lines;
    uint32_t line = node.headingLine;
    if (line == 0)
        line = prepareSegmentHeading(lines, node);
    appendPreparedLine(*context.out, lines.headings[line]);
}

// The segment occurrence's object in machine-readable output, with the path of its group;
// returns the depth to close back to after its fields.
int beginJsonSegment(ParseContext &context, const DefinitionNode &node);

// A field line for the field's bytes at the position of the data.
inline void writeSegmentField(SegmentLines &lines, OutputSink &out, const FieldDefinition &field,
                              ByteView data, int64_t position) {
    uint32_t number = field.reportLine;
    if (number == 0)
        number = prepareSegmentField(lines, field);
    const PreparedField &line = lines.fields[number];
    // Most fields have 32 bytes of the data from them on: their view is made without
    // from()'s tests, and the field line is put knowing that those bytes are there (the
    // inlined writer then holds the vector code alone). The fields near the end of the data
    // are written by a call.
    if (position >= 0 && position <= data.length) {
        ByteView value{data.data + position, static_cast<int32_t>(data.length - position)};
        if (value.length >= static_cast<int32_t>(kVectorValueBytes)) {
            writePreparedField(out, line, value);
            return;
        }
    }
    writeSegmentFieldAtEnd(out, line, data.from(position));
}

// The field's member in machine-readable output.
inline void writeSegmentFieldJson(SegmentLines &lines, OutputSink &out,
                                  const FieldDefinition &field, ByteView data, int64_t position) {
    uint32_t number = field.reportLine;
    if (number == 0)
        number = prepareSegmentField(lines, field);
    ByteView value =
        position >= 0 && position <= data.length
            ? ByteView{data.data + position, static_cast<int32_t>(data.length - position)}
            : data.from(position);
    jsonPreparedField(out, lines.jsonFields[number], field.length, value);
}

// The fields' members in machine-readable output, as writeSegmentFields walks them (a walk
// of its own, so that the text report's loop stays small enough to be inlined).
size_t writeSegmentFieldsJson(ParseContext &context, const std::vector<FieldDefinition> &fields,
                              bool stopAtDataEnd);

// The field lines of one record: each field at the context's position, which then moves past
// it (a negative length moves it by nothing). Only the fields that begin inside the data are
// written when the data's end stops them; else every field. Returns the fields written.
inline size_t writeSegmentFields(ParseContext &context, const std::vector<FieldDefinition> &fields,
                                 bool stopAtDataEnd) {
    SegmentLines &lines = context.store.lines;
    OutputSink &out = *context.out;
    const ByteView data = context.data;
    int64_t position = context.position;
    const int64_t end = stopAtDataEnd ? data.length : INT64_MAX;
    const FieldDefinition *field = fields.data(), *last = field + fields.size();
    for (; field != last && position < end; ++field) {
        writeSegmentField(lines, out, *field, data, position);
        position += field->length > 0 ? field->length : 0;
    }
    context.position = position;
    return static_cast<size_t>(field - fields.data());
}

} // namespace qpeek
