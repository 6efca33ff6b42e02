// The two report dispatchers: step over the MQ bridge headers in front of a payload,
// classify the payload by its leading bytes and hand it to exactly one formatter.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "driver/descriptor.h"

namespace qpeek {

// One summary entry: time prefix, the payload's tags (or the unknown-type preview), "\n\n".
void writeSummary(FILE *out, const Mqmd &md, ByteView body);

// One detailed report: descriptor and header dumps (with -d), then the payload report.
void writeDetail(FILE *out, const Mqmd &md, ByteView body);

// The "Unknown Message Type" forms of the summary and the detailed report.
void writeUnknownSummary(FILE *out, ByteView body);
void writeUnknownDetail(FILE *out, ByteView body);

// At most `limit` bytes of the body as text, zero bytes shown as blanks. dst needs
// limit + 1 bytes.
void previewText(char *dst, ByteView body, int64_t limit);

} // namespace qpeek
