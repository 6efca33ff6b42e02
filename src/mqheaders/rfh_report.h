// Rules-and-formatting header report: the MQRFH fields and name/value data (-d).
#pragma once

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// The header as the dispatcher hands it over: already in native byte order, the view
// running from "RFH " to the end of the body. Writes nothing unless the detail flag is set.
void writeRFH(OutputSink &out, ByteView header);

} // namespace qpeek
