// ECEDOC detailed report: tag lines and record printers.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeECEDOCDetail(FILE *out, ByteView body);

} // namespace qpeek
