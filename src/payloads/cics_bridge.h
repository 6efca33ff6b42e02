// CICS bridge task report: the TESTABR communication area.
#pragma once

#include "common/byte_view.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

extern const RecordLayout kCicsBridgeLayout; // "CICS bridge Task", 72 bytes

void writeCicsBridgeTask(OutputSink &out, ByteView body);

} // namespace qpeek
