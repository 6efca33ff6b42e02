// IDoc parse and validation: the detailed report of a SAP IDoc.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void parseMessage(FILE *out, ByteView body);

} // namespace qpeek
