// IMS delivery record reports: delivery update and delivery confirmation, the fixed
// records that follow an MQIIH.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "common/record_layout.h"

namespace qpeek {

extern const RecordLayout kImsUpdateDeliveryLayout; // "IMS_UPDATEDELIVERY", 473 bytes
extern const RecordLayout kImsConfirmLayout;        // "IMS_CONFIRM", 97 bytes

void writeImsConfirm(FILE *out, ByteView record);
void writeImsUpdateDelivery(FILE *out, ByteView record);

} // namespace qpeek
