// Generic XML pretty-printer.
#include "payloads/xml_printer.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeXml(FILE *out, ByteView text) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, text);
}

} // namespace qpeek
