// ECEDOC detailed report: tag lines and record printers.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeECEDOCDetail(FILE *out, ByteView body);

// The record printers: heading line, one long-name field line per field.
// Each takes the record's first byte (the byte after its opening tag).
void writePROLOG(FILE *out, ByteView record);
void writeHDR010PQ(FILE *out, ByteView record);
void writeHDR010OS(FILE *out, ByteView record);
void writeHDR010PP(FILE *out, ByteView record);
void writeHDR010NC(FILE *out, ByteView record);
void writeHDR010ON(FILE *out, ByteView record);
void writeHDR020ON(FILE *out, ByteView record);
void writeHDR030ON(FILE *out, ByteView record);
void writeHDR040ON(FILE *out, ByteView record);
void writeITM010ON(FILE *out, ByteView record);
void writeITM010OS(FILE *out, ByteView record);
void writeDATUSR(FILE *out, ByteView record);

} // namespace qpeek
