// Rules-and-formatting header report: the MQRFH fields and name/value data (-d).
#include "mqheaders/rfh_report.h"

namespace qpeek {

void writeRFH(FILE *out, ByteView header) {
    (void)out;
    (void)header;
}

} // namespace qpeek
