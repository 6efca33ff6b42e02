// Point-of-sale transaction log report.
#include "payloads/pos_log.h"

#include "driver/dispatch.h"

namespace qpeek {

void writePosLog(FILE *out, ByteView body) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, body);
}

} // namespace qpeek
