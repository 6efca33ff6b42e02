// IDoc summary entry: control record and selected segment values as tags.
#pragma once

#include "common/byte_view.h"
#include "common/descriptor.h"
#include "report/output_sink.h"

namespace qpeek {

void writeIDocSummary(OutputSink &out, const Mqmd &md, ByteView body);

} // namespace qpeek
