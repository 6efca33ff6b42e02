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

// The report lines made so far, found through the numbers the definitions keep (0 is no
// line). Kept apart from the definitions, which stay small: a definition file may hold
// hundreds of thousands of fields, and few of them are ever reported.
std::vector<PreparedField> gFieldLines(1);
std::vector<std::string> gHeadingLines(1);
} // namespace

void forgetReportLines() {
    gFieldLines.resize(1);
    gHeadingLines.resize(1);
}

void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    // The name in ten columns (cut or blank-padded), the description as far as the line
    // holds it, the line end. Names and descriptions end at their first zero byte.
    if (node.headingLine == 0) {
        char line[16 + kDefinitionTextLimit + 1];
        size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
        std::memcpy(line, node.name.data(), name);
        std::memset(line + name, ' ', kHeadingNameWidth - name);
        size_t description =
            strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
        std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
        line[kHeadingNameWidth + description] = '\n';
        gHeadingLines.emplace_back(line, kHeadingNameWidth + description + 1);
        node.headingLine = static_cast<uint32_t>(gHeadingLines.size() - 1);
    }
    const std::string &line = gHeadingLines[node.headingLine];
    appendReport(context.report, line.data(), line.size());
}

void writeSegmentField(ParseContext &context, const FieldDefinition &field) {
    if (field.reportLine == 0) {
        gFieldLines.emplace_back();
        prepareField(gFieldLines.back(), field.name.c_str(), field.length,
                     field.description.c_str());
        field.reportLine = static_cast<uint32_t>(gFieldLines.size() - 1);
    }
    writePreparedField(context.report, gFieldLines[field.reportLine],
                       context.data.from(context.position));
}

} // namespace qpeek
