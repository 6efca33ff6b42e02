// IMS delivery record reports: delivery update and delivery confirmation, the fixed
// records that follow an MQIIH.
#pragma once

#include "common/byte_view.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

extern const RecordLayout kImsUpdateDeliveryLayout; // "IMS_UPDATEDELIVERY", 473 bytes
extern const RecordLayout kImsConfirmLayout;        // "IMS_CONFIRM", 97 bytes

void writeImsConfirm(OutputSink &out, ByteView record);
void writeImsUpdateDelivery(OutputSink &out, ByteView record);

} // namespace qpeek
