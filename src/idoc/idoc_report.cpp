// The IDoc field report: segment headings and field lines, written through the report line
// primitives so that IDoc fields share the columns and blank suppression of every report.
#include "idoc/idoc_report.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "driver/report_lines.h"

namespace qpeek {

namespace {
constexpr size_t kHeadingNameWidth = 10;

// The report lines made so far, which the definitions point to. Kept apart from the
// definitions, which stay small: a definition file may hold hundreds of thousands of fields,
// and few of them are ever reported. A deque, so that a line stays where it is made.
std::deque<PreparedField> gFieldLines;
std::deque<PreparedLine> gHeadingLines;
} // namespace

void forgetReportLines() {
    gFieldLines.clear();
    gHeadingLines.clear();
}

const PreparedLine &prepareSegmentHeading(const DefinitionNode &node) {
    // The name in ten columns (cut or blank-padded), the description as far as the line
    // holds it, the line end. Names and descriptions end at their first zero byte.
    char line[16 + kDefinitionTextLimit + 1];
    size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
    std::memcpy(line, node.name.data(), name);
    std::memset(line + name, ' ', kHeadingNameWidth - name);
    size_t description = strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
    std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
    line[kHeadingNameWidth + description] = '\n';
    gHeadingLines.emplace_back();
    prepareLine(gHeadingLines.back(), line, kHeadingNameWidth + description + 1);
    node.headingLine = &gHeadingLines.back();
    return gHeadingLines.back();
}

const PreparedField &prepareSegmentField(const FieldDefinition &field) {
    gFieldLines.emplace_back();
    prepareField(gFieldLines.back(), field.name.c_str(), field.length, field.description.c_str());
    field.reportLine = &gFieldLines.back();
    return gFieldLines.back();
}

} // namespace qpeek
