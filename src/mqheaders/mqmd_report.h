// Message descriptor report: the MQMD dump at the head of the detailed report (-d).
#pragma once

#include "common/byte_view.h"
#include "common/descriptor.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

void writeMQMD(OutputSink &out, const Mqmd &md, ByteView body);

// The label of an application type (PutApplType): "MQAT_UNIX", "JAVA", "USER", "Unknown", ...
const char *applicationTypeLabel(int32_t type);

// Descriptor fields as the descriptor report prints them, one line each ("  StrucId ...").
// A version-1 descriptor has the first kDescriptorV1Fields of them (StrucId to
// ApplOriginData, 324 bytes), version 2 all kDescriptorFields.
constexpr int kDescriptorV1Fields = 24;
constexpr int32_t kDescriptorV1Length = 324;
constexpr int kDescriptorFields = 29;
// The first fieldCount lines of the descriptor, its integers in the given byte order.
// The descriptor as the "descriptor" member of the machine-readable object; "default" tells
// a file without one.
void writeDescriptorJson(OutputSink &out, const Mqmd &md, bool fromFile);
// In machine-readable output: the fields as members of the open object.
// The version-1 descriptor's layout (the one a transmission header embeds).
extern const RecordLayout kDescriptorV1Layout;

void writeDescriptorFields(OutputSink &out, ByteView descriptor, bool bigEndian, int fieldCount);

} // namespace qpeek
