// The SAP header report: the MQSAPH block in front of an IDoc.
#pragma once

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// Writes the fifteen lines of the block to the stream. Bytes past the end of the
// body read as zero.
void writeMQSAPH(OutputSink &out, ByteView header);

} // namespace qpeek
