// IMS delivery record reports: delivery update and delivery confirmation.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeImsConfirm(FILE *out, ByteView record);
void writeImsUpdateDelivery(FILE *out, ByteView record);

} // namespace qpeek
