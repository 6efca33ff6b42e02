// ECEDOC detailed report: tag lines and record printers.
#pragma once

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

void writeECEDOCDetail(OutputSink &out, ByteView body);

} // namespace qpeek
