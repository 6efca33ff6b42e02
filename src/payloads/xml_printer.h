// Generic XML pretty-printer: every tag that opens a new element on a line of its own,
// indented two blanks per nesting level; an element with plain text content stays on one
// line with its closing tag.
#pragma once

#include <cstddef>

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// Writes the text indented, followed by a line feed. Line feeds and carriage returns of
// the text are dropped; malformed text is printed all the same.
void writeXml(OutputSink &out, ByteView text);

// The XML payload of the machine-readable object: "root", the name of the first element,
// and "text", the body up to its first zero byte.
void writeXmlJson(OutputSink &out, ByteView text);

// The number of characters of a zero-terminated text before its first blank or its end.
size_t wordLength(const char *text);

} // namespace qpeek
