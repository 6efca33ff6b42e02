// The two report dispatchers: step over the MQ bridge headers in front of a payload,
// classify the payload by its leading bytes and hand it to exactly one formatter.
#pragma once

#include "common/byte_view.h"
#include "common/descriptor.h"
#include "report/output_sink.h"

namespace qpeek {

// One summary entry: time prefix, the payload's tags (or the unknown-type preview), "\n\n".
void writeSummary(OutputSink &out, const Mqmd &md, ByteView body);

// One detailed report: descriptor and header dumps (with -d), then the payload report.
void writeDetail(OutputSink &out, const Mqmd &md, ByteView body);

} // namespace qpeek
