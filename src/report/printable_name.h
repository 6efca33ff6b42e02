// Names as qpeek prints them (the "Processing" and "Unable to open" lines, the messages about
// definition files, the reasons on standard error): one line each, whatever bytes they hold.
#pragma once

#include <string>

#include "report/output_sink.h"

namespace qpeek {

// Appends the name with its control bytes (below 0x20, and 0x7F) escaped as \n, \t, \r or
// \xHH, so that a line feed in a file name cannot forge a line and an escape sequence cannot
// reach the terminal. Every other byte, a backslash included, is kept. Where names cannot
// hold control bytes (Windows), the name is appended as it is.
void appendPrintableName(std::string &text, const char *name);

// Writes first, the printable name and a line feed to standard output, in order with the
// report when that goes there too.
void writeNameLine(OutputSink &out, const char *first, const char *name);

} // namespace qpeek
