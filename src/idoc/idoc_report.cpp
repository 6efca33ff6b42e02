// The IDoc field report: segment headings and field lines, written through the report line
// primitives so that IDoc fields share the columns and blank suppression of every report.
#include "idoc/idoc_report.h"

#include <cstdio>

#include "driver/report_lines.h"

namespace qpeek {

void writeSegmentHeading(ParseContext &context, const DefinitionNode &node) {
    char line[16 + kDefinitionTextLimit + 1];
    std::snprintf(line, sizeof line, "%-10.10s%s", node.name.c_str(), node.description.c_str());
    writeLine(context.out, line);
}

void writeSegmentField(ParseContext &context, const FieldDefinition &field) {
    writeField(context.out, field.name.c_str(), field.length, context.data.from(context.position),
               field.description.c_str());
}

} // namespace qpeek
