// ECEDOC detailed report: tag lines and record printers.
#pragma once

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

void writeECEDOCDetail(OutputSink &out, ByteView body);

// The record printers: heading line, one long-name field line per field.
// Each takes the record's first byte (the byte after its opening tag).
void writePROLOG(OutputSink &out, ByteView record);
void writeHDR010PQ(OutputSink &out, ByteView record);
void writeHDR010OS(OutputSink &out, ByteView record);
void writeHDR010PP(OutputSink &out, ByteView record);
void writeHDR010NC(OutputSink &out, ByteView record);
void writeHDR010ON(OutputSink &out, ByteView record);
void writeHDR020ON(OutputSink &out, ByteView record);
void writeHDR030ON(OutputSink &out, ByteView record);
void writeHDR040ON(OutputSink &out, ByteView record);
void writeITM010ON(OutputSink &out, ByteView record);
void writeITM010OS(OutputSink &out, ByteView record);
void writeDATUSR(OutputSink &out, ByteView record);

} // namespace qpeek
