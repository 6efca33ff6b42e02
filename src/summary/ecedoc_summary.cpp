// ECEDOC summary entry: document type, header keys and item lines as tags.
#include "summary/ecedoc_summary.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeECEDOCSummary(FILE *out, const Mqmd &md, ByteView body) {
    (void)md;
    // Placeholder until this payload has its formatter.
    writeUnknownSummary(out, body);
}

} // namespace qpeek
