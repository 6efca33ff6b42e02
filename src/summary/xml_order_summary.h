// XML order summary entry: the root element's start tag and the values of the order
// elements, each as a tag with a short key letter.
#pragma once

#include <cstddef>

#include "common/byte_view.h"
#include "common/descriptor.h"
#include "report/output_sink.h"

namespace qpeek {

// Writes the entry text (the dispatcher writes the time prefix and the closing "\n\n").
void writeXmlOrderSummary(OutputSink &out, const Mqmd &md, ByteView body);

// 0 when the zero-terminated text begins with the whole prefix, non-zero otherwise.
int startsWith(const char *text, const char *prefix);

// The content of an element whose start tag ended right before `valueStart`: at most
// size - 1 bytes copied into the buffer up to a zero byte, cut at the next "<" (a leading
// "<" of an empty element's closing tag stays), leading blanks skipped. Returns the value,
// a position inside the buffer.
const char *elementText(ByteView valueStart, char *buffer, size_t size);

} // namespace qpeek
