// Message descriptor report: the MQMD dump at the head of the detailed report (-d).
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "driver/descriptor.h"

namespace qpeek {

void writeMQMD(FILE *out, const Mqmd &md, ByteView body);

} // namespace qpeek
