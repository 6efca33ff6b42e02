// IMS delivery record reports: delivery update and delivery confirmation.
#include "payloads/ims_delivery.h"

#include "driver/dispatch.h"

namespace qpeek {

void writeImsConfirm(FILE *out, ByteView record) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, record);
}

void writeImsUpdateDelivery(FILE *out, ByteView record) {
    // Placeholder until this payload has its formatter.
    writeUnknownDetail(out, record);
}

} // namespace qpeek
