// IDoc summary entry: control record and selected segment values as tags.
#pragma once

#include <cstdio>

#include "common/byte_view.h"
#include "driver/descriptor.h"

namespace qpeek {

void writeIDocSummary(FILE *out, const Mqmd &md, ByteView body);

} // namespace qpeek
