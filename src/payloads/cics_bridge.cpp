// CICS bridge task report: the TESTABR communication area.
#include "payloads/cics_bridge.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeCicsBridgeTask(FILE *out, ByteView body) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, body);
}

} // namespace qpeek
