// XML order summary entry: root tag and order element values as tags.
#include "summary/xml_order_summary.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeXmlOrderSummary(FILE *out, const Mqmd &md, ByteView body) {
    (void)md;
    // Placeholder until this payload has its formatter.
    writeUnknownSummary(out, body);
}

} // namespace qpeek
