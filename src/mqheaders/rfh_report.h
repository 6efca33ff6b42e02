// Rules-and-formatting header report: the MQRFH fields and name/value data (-d).
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeRFH(FILE *out, ByteView header);

} // namespace qpeek
