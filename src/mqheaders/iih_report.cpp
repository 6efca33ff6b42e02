// IMS bridge header report: the MQIIH fields (-d).
#include "mqheaders/iih_report.h"

namespace qpeek {

void writeIIH(FILE *out, ByteView header) {
    (void)out;
    (void)header;
}

} // namespace qpeek
