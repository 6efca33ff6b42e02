// The IDoc field report: segment headings and field lines, written through the report line
// primitives so that IDoc fields share the columns and blank suppression of every report.
#include "idoc/idoc_report.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver/report_lines.h"

namespace qpeek {

namespace {
constexpr size_t kHeadingNameWidth = 10;
} // namespace

std::vector<PreparedField> gSegmentFieldLines(1);
std::vector<PreparedLine> gSegmentHeadingLines(1);

void forgetReportLines() {
    gSegmentFieldLines.resize(1);
    gSegmentHeadingLines.resize(1);
}

uint32_t prepareSegmentHeading(const DefinitionNode &node) {
    // The name in ten columns (cut or blank-padded), the description as far as the line
    // holds it, the line end. Names and descriptions end at their first zero byte.
    char line[16 + kDefinitionTextLimit + 1];
    size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
    std::memcpy(line, node.name.data(), name);
    std::memset(line + name, ' ', kHeadingNameWidth - name);
    size_t description = strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
    std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
    line[kHeadingNameWidth + description] = '\n';
    gSegmentHeadingLines.emplace_back();
    prepareLine(gSegmentHeadingLines.back(), line, kHeadingNameWidth + description + 1);
    node.headingLine = static_cast<uint32_t>(gSegmentHeadingLines.size() - 1);
    return node.headingLine;
}

uint32_t prepareSegmentField(const FieldDefinition &field) {
    gSegmentFieldLines.emplace_back();
    prepareField(gSegmentFieldLines.back(), field.name.c_str(), field.length,
                 field.description.c_str());
    field.reportLine = static_cast<uint32_t>(gSegmentFieldLines.size() - 1);
    return field.reportLine;
}

} // namespace qpeek
