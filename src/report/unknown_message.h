// The "Unknown Message Type" lines of a body no formatter claims, and the text preview of
// leading body bytes that they and other reports show.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// The summary form ("Unknown Message Type:", then the preview on a line of its own) and the
// detailed form (the preview in quotes on the same line).
void writeUnknownSummary(OutputSink &out, ByteView body);
void writeUnknownDetail(OutputSink &out, ByteView body);

// At most `limit` bytes of the body as text, zero bytes shown as blanks. dst needs
// limit + 1 bytes.
void previewText(char *dst, ByteView body, int64_t limit);

} // namespace qpeek
