// The message descriptor record (MQMD, structure version 2 layout, 364 bytes) that may
// precede a message body, its field offsets, and the default descriptor.
#pragma once

#include <cstdint>

#include "common/byte_view.h"

namespace qpeek {

constexpr int32_t kMqmdLength = 364;

// Field offsets and lengths of the descriptor record.
namespace mqmd {
constexpr int kStrucId = 0;            // 4 characters, "MD  "
constexpr int kVersion = 4;            // integer
constexpr int kReport = 8;             // integer
constexpr int kMsgType = 12;           // integer
constexpr int kExpiry = 16;            // integer
constexpr int kFeedback = 20;          // integer
constexpr int kEncoding = 24;          // integer
constexpr int kCodedCharSetId = 28;    // integer
constexpr int kFormat = 32;            // 8 characters
constexpr int kPriority = 40;          // integer
constexpr int kPersistence = 44;       // integer
constexpr int kMsgId = 48;             // 24 bytes
constexpr int kCorrelId = 72;          // 24 bytes
constexpr int kBackoutCount = 96;      // integer
constexpr int kReplyToQ = 100;         // 48 characters
constexpr int kReplyToQMgr = 148;      // 48 characters
constexpr int kUserIdentifier = 196;   // 12 characters
constexpr int kAccountingToken = 208;  // 32 bytes
constexpr int kApplIdentityData = 240; // 32 characters
constexpr int kPutApplType = 272;      // integer
constexpr int kPutApplName = 276;      // 28 characters
constexpr int kPutDate = 304;          // 8 characters, YYYYMMDD
constexpr int kPutTime = 312;          // 8 characters, HHMMSSTH
constexpr int kApplOriginData = 320;   // 4 characters
constexpr int kGroupId = 324;          // 24 bytes
constexpr int kMsgSeqNumber = 348;     // integer
constexpr int kOffset = 352;           // integer
constexpr int kMsgFlags = 356;         // integer
constexpr int kOriginalLength = 360;   // integer
} // namespace mqmd

struct Mqmd {
    unsigned char bytes[kMqmdLength];

    int32_t integer(int offset) const {
        return ByteView{const_cast<unsigned char *>(bytes), kMqmdLength}.int32At(offset);
    }
    const char *text(int offset) const { return reinterpret_cast<const char *>(bytes + offset); }
};

// The descriptor that stands in for a file without one.
Mqmd defaultDescriptor();

} // namespace qpeek
