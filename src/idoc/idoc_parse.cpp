// IDoc parse and validation: the detailed report of a SAP IDoc.
#include "idoc/idoc_parse.h"

#include "driver/dispatch.h"

namespace qpeek {

void parseMessage(FILE *out, ByteView body) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, body);
}

} // namespace qpeek
