// IMS bridge header report: the MQIIH fields (-d).
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeIIH(FILE *out, ByteView header);

} // namespace qpeek
