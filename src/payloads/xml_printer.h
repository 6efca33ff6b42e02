// Generic XML pretty-printer.
#pragma once

#include <cstdio>

#include "common/byte_view.h"

namespace qpeek {

void writeXml(FILE *out, ByteView text);

} // namespace qpeek
