// ECEDOC detailed report: tag lines and record printers.
#include "payloads/ecedoc_report.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeECEDOCDetail(FILE *out, ByteView body) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, body);
}

} // namespace qpeek
