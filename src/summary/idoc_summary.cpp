// IDoc summary entry: control record and selected segment values as tags.
#include "summary/idoc_summary.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeIDocSummary(FILE *out, const Mqmd &md, ByteView body) {
    (void)md;
    // Placeholder until this payload has its formatter.
    writeUnknownSummary(out, body);
}

} // namespace qpeek
