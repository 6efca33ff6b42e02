// The IDoc field report: one heading line per segment occurrence, one field line per field.
#pragma once

#include "idoc/definition_model.h"

namespace qpeek {

// The node's name in exactly 10 columns, then its description; never suppressed.
void writeSegmentHeading(ParseContext &context, const DefinitionNode &node);

// A field line for the field's bytes at the context's position (the position stays).
void writeSegmentField(ParseContext &context, const FieldDefinition &field);

// Drops the report lines made for the definitions (when the definitions are dropped).
void forgetReportLines();

} // namespace qpeek
