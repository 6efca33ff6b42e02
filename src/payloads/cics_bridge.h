// CICS bridge task report: the TESTABR communication area.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "common/record_layout.h"

namespace qpeek {

extern const RecordLayout kCicsBridgeLayout; // "CICS bridge Task", 72 bytes

void writeCicsBridgeTask(FILE *out, ByteView body);

} // namespace qpeek
