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

} // namespace qpeek
