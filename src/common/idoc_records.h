// IDoc data records: each is its record header, then a segment data area of a fixed size,
// whatever the segment's fields use of it.
#pragma once

#include <cstdint>

namespace qpeek {

constexpr int32_t kIdocSegmentDataLength = 1000;

} // namespace qpeek
