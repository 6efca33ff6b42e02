// ECEDOC summary entry: document type, header keys and item lines as tags.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/byte_view.h"
#include "common/descriptor.h"
#include "payloads/ecedoc_layouts.h"
#include "report/output_sink.h"
#include "report/summary_tags.h"

namespace qpeek {

void writeECEDOCSummary(OutputSink &out, const Mqmd &md, ByteView body);

// One summary tag: a field of a record (or its first `length` characters), trimmed.
struct EcedocSummaryTag {
    const char *field; // the name of the layout field it reads
    int32_t length;    // 0: the whole field
    TagForm form;      // tag("M"), or itemTag("M") for a tag that starts an item line
    bool always;       // written also when the trimmed value is empty
};

struct EcedocSummaryTags {
    const EcedocSummaryTag *tags;
    size_t count;
};

// The tags written for a record (none for records the summary only steps over).
EcedocSummaryTags ecedocSummaryTags(EcedocRecord record);

} // namespace qpeek
