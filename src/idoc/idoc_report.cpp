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
    char line[16 + kDefinitionTextLimit + 1];
    size_t name = strnlen(node.name.c_str(), kHeadingNameWidth);
    std::memcpy(line, node.name.data(), name);
    std::memset(line + name, ' ', kHeadingNameWidth - name);
    size_t description = strnlen(node.description.c_str(), sizeof line - 1 - kHeadingNameWidth);
    std::memcpy(line + kHeadingNameWidth, node.description.data(), description);
    line[kHeadingNameWidth + description] = '\n';
    std::fwrite(line, 1, kHeadingNameWidth + description + 1, context.out);
}

void writeSegmentField(ParseContext &context, const FieldDefinition &field) {
    writeField(context.out, field.name.c_str(), field.length, context.data.from(context.position),
               field.description.c_str());
}

} // namespace qpeek
