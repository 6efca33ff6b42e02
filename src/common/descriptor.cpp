// The default message descriptor, built afresh for every file that has none.
#include "common/descriptor.h"

#include <cstring>

namespace qpeek {

namespace {
void putInteger(Mqmd &md, int offset, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        md.bytes[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}
} // namespace

Mqmd defaultDescriptor() {
    Mqmd md;
    std::memset(md.bytes, 0, sizeof md.bytes);
    std::memcpy(md.bytes + mqmd::kStrucId, "MD  ", 4);
    putInteger(md, mqmd::kVersion, 1);
    putInteger(md, mqmd::kMsgType, 8);
    putInteger(md, mqmd::kExpiry, -1);
    putInteger(md, mqmd::kEncoding, 546);
    std::memset(md.bytes + mqmd::kFormat, ' ', 8);
    putInteger(md, mqmd::kPriority, -1);
    putInteger(md, mqmd::kPersistence, 2);
    putInteger(md, mqmd::kMsgSeqNumber, 1);
    putInteger(md, mqmd::kOriginalLength, -1);
    return md;
}

} // namespace qpeek
