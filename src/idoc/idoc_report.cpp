// The IDoc field report: segment headings and field lines, written through the report line
// primitives so that IDoc fields share the columns and blank suppression of every report.
#include "idoc/idoc_report.h"

#include <cstdio>
#include <cstring>

#include "driver/report_lines.h"

namespace qpeek {

namespace {
constexpr size_t kHeadingNameWidth = 10;
} // namespace

void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    // The name in ten columns (cut or blank-padded), the description as far as the line
    // holds it, the line end. Names and descriptions end at their first zero byte.
    if (node.heading.empty()) {
        char line[16 + kDefinitionTextLimit + 1];
        size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
        std::memcpy(line, node.name.data(), name);
        std::memset(line + name, ' ', kHeadingNameWidth - name);
        size_t description =
            strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
        std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
        line[kHeadingNameWidth + description] = '\n';
        node.heading.assign(line, kHeadingNameWidth + description + 1);
    }
    appendReport(context.report, node.heading.data(), node.heading.size());
}

void writeSegmentField(ParseContext &context, const FieldDefinition &field) {
    if (field.line.size == 0)
        prepareField(field.line, field.name.c_str(), field.length, field.description.c_str());
    writePreparedField(context.report, field.line, context.data.from(context.position));
}

} // namespace qpeek
