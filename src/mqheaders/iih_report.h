// IMS bridge header report: the MQIIH fields (-d).
#pragma once

#include "common/byte_view.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

// The MQIIH layout (84 bytes), heading "mqiih".
extern const RecordLayout kIihLayout;

// Every MQIIH field on a field line. Version and StrucLength arrive in native order (the
// dispatcher reverses them for a big-endian sender); the other integers are printed as
// they were received. Writes nothing unless the detail flag is set.
void writeIIH(OutputSink &out, ByteView header);

} // namespace qpeek
