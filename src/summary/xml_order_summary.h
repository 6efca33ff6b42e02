// XML order summary entry: root tag and order element values as tags.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "driver/descriptor.h"

namespace qpeek {

void writeXmlOrderSummary(FILE *out, const Mqmd &md, ByteView body);

} // namespace qpeek
