// The IDoc field report: segment headings and field lines, written through the report line
// primitives so that IDoc fields share the columns and blank suppression of every report.
#include "idoc/idoc_report.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "report/field_lines.h"

namespace qpeek {

namespace {
constexpr size_t kHeadingNameWidth = 10;
} // namespace

uint32_t prepareSegmentHeading(SegmentLines &lines, const DefinitionNode &node) {
    // The name in ten columns (cut or blank-padded), the description as far as the line
    // holds it, the line end. Names and descriptions end at their first zero byte.
    char line[16 + kDefinitionTextLimit + 1];
    size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
    std::memcpy(line, node.name.data(), name);
    std::memset(line + name, ' ', kHeadingNameWidth - name);
    size_t description = strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
    std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
    line[kHeadingNameWidth + description] = '\n';
    lines.headings.emplace_back();
    prepareLine(lines.headings.back(), line, kHeadingNameWidth + description + 1);
    lines.jsonSegments.emplace_back();
    prepareJsonSegment(lines.jsonSegments.back(), node.name.c_str());
    node.headingLine = static_cast<uint32_t>(lines.headings.size() - 1);
    return node.headingLine;
}

uint32_t prepareSegmentField(SegmentLines &lines, const FieldDefinition &field) {
    lines.fields.emplace_back();
    prepareField(lines.fields.back(), field.name.c_str(), field.length, field.description.c_str());
    lines.jsonFields.emplace_back();
    prepareJsonField(lines.jsonFields.back(), field.name.c_str(), field.description.c_str());
    field.reportLine = static_cast<uint32_t>(lines.fields.size() - 1);
    return field.reportLine;
}

void writeSegmentFieldAtEnd(OutputSink &out, const PreparedField &line, ByteView value) {
    writePreparedField(out, line, value);
}

size_t writeSegmentFieldsJson(ParseContext &context, const std::vector<FieldDefinition> &fields,
                              bool stopAtDataEnd) {
    SegmentLines &lines = context.store.lines;
    OutputSink &out = *context.out;
    JsonOutput &j = *out.json;
    const ByteView data = context.data;
    int64_t position = context.position;
    const int64_t end = stopAtDataEnd ? data.length : INT64_MAX;
    const FieldDefinition *field = fields.data(), *last = field + fields.size();
    if (!jsonInArray(j)) { // the first field opens the object's "fields"
        if (field == last || position >= end) {
            context.position = position;
            return 0;
        }
        writeSegmentFieldJson(lines, out, *field, data, position);
        position += field->length > 0 ? field->length : 0;
        ++field;
    }
    // The members one after the other, the comma held here between them.
    if (!jsonInArray(j)) {
        for (; field != last && position < end; ++field) {
            writeSegmentFieldJson(lines, out, *field, data, position);
            position += field->length > 0 ? field->length : 0;
        }
        context.position = position;
        return static_cast<size_t>(field - fields.data());
    }
    JsonOutput::Level &top = j.levels[j.depth - 1];
    bool comma = !top.empty;
    for (; field != last && position < end; ++field) {
        uint32_t number = field->reportLine;
        if (number == 0)
            number = prepareSegmentField(lines, *field);
        const JsonFieldText &text = lines.jsonFields[number];
        ByteView value =
            position >= 0 && position <= data.length
                ? ByteView{data.data + position, static_cast<int32_t>(data.length - position)}
                : data.from(position);
        char *put = text.room <= kJsonSlack
                        ? putJsonField(jsonSpace(j, text.room), comma, text, field->length, value)
                        : nullptr;
        if (put) {
            j.used = static_cast<size_t>(put - j.bytes);
        } else {
            top.empty = !comma;
            jsonPreparedFieldEscaped(out, text, field->length, value);
        }
        comma = true;
        position += field->length > 0 ? field->length : 0;
    }
    top.empty = !comma;
    context.position = position;
    return static_cast<size_t>(field - fields.data());
}

int beginJsonSegment(ParseContext &context, const DefinitionNode &node) {
    SegmentLines &lines = context.store.lines;
    uint32_t line = node.headingLine;
    if (line == 0)
        line = prepareSegmentHeading(lines, node);
    int depth = jsonDepth(*context.out);
    jsonBeginSegment(*context.out, lines.jsonSegments[line], context.path);
    return depth;
}

} // namespace qpeek
