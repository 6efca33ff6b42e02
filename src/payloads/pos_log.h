// Point-of-sale transaction log report.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writePosLog(FILE *out, ByteView body);

} // namespace qpeek
