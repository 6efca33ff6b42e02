// Rules-and-formatting header report: the MQRFH fields and name/value data (-d), and the
// walk over the name/value blocks of a version 2 header.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "common/mq_header_prefix.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

// The MQRFH fields every version has (32 bytes), heading "rfh". Versions other than 2
// follow them with the name/value string; version 2 with NameValueCCSID and the blocks.
extern const RecordLayout kRfhLayout;
constexpr int32_t kRfhNameValueString = mqprefix::kLength; // versions other than 2
constexpr int32_t kRfhNameValueCCSID = mqprefix::kLength;  // version 2
constexpr int32_t kRfhFirstBlock = kRfhNameValueCCSID + 4; // version 2
constexpr int32_t kRfhFixedLength = kRfhNameValueString;   // versions other than 2
constexpr int32_t kRfhV2FixedLength = kRfhFirstBlock;      // version 2

// Version 2 name/value blocks, each a NameValueLength and that many bytes of data. A walk
// covers the header up to its StrucLength but never past the view, reads only length
// fields that lie wholly inside, and a negative length steps past its own field only:
//   for (int64_t p = kRfhFirstBlock, end = rfhBlocksEnd(h); p + 4 <= end;
//        p += 4 + rfhBlockDataLength(h, p, end))
inline int64_t rfhBlocksEnd(ByteView header) {
    int64_t strucLength = header.int32At(mqprefix::kStrucLength);
    return strucLength < header.length ? strucLength : header.length;
}
// The data bytes of the block at the position that lie before the end.
inline int64_t rfhBlockDataLength(ByteView header, int64_t position, int64_t end) {
    int64_t length = header.int32At(position);
    if (length < 0)
        return 0;
    return length < end - position - 4 ? length : end - position - 4;
}

// The header as the dispatcher hands it over: already in native byte order, the view
// running from "RFH " to the end of the body. Writes nothing unless the detail flag is set.
void writeRFH(OutputSink &out, ByteView header);

} // namespace qpeek
