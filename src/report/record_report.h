// The record printer: a record's heading line and a line per field of its layout.
#pragma once

#include "common/byte_view.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

// One line per field of the layout in the layout's line style; a field of length 0 is shown
// with valueLength bytes. Text fields of blanks only are left out unless the detail flag
// is set; numbers are always shown.
void writeRecordFields(OutputSink &out, const RecordLayout &layout, ByteView record,
                       int32_t valueLength = 0);

// The same for a record whose integers are big-endian when bigEndian says so.
void writeRecordFields(OutputSink &out, const RecordLayout &layout, ByteView record,
                       int32_t valueLength, bool bigEndian);

// Machine-readable output: the fields as members of the open object, by their names;
// decimal integers as numbers, bytes in hexadecimal, characters as text without trailing
// blanks.
void writeRecordMembers(OutputSink &out, const RecordLayout &layout, ByteView record,
                        bool bigEndian = false);

// The heading line (the heading at column 0 and its description), then the fields.
void writeRecord(OutputSink &out, const RecordLayout &layout, ByteView record,
                 int32_t valueLength = 0);
void writeRecord(OutputSink &out, const RecordLayout &layout, ByteView record, int32_t valueLength,
                 bool bigEndian);

} // namespace qpeek
