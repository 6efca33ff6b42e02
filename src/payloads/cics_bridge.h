// CICS bridge task report: the TESTABR communication area.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeCicsBridgeTask(FILE *out, ByteView body);

} // namespace qpeek
