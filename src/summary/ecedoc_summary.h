// ECEDOC summary entry: document type, header keys and item lines as tags.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "driver/descriptor.h"

namespace qpeek {

void writeECEDOCSummary(FILE *out, const Mqmd &md, ByteView body);

} // namespace qpeek
