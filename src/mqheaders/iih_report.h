// IMS bridge header report: the MQIIH fields (-d).
#pragma once

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

void writeIIH(OutputSink &out, ByteView header);

} // namespace qpeek
