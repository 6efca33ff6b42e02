// The fields every chained MQ header begins with (MQRFH, MQIIH, MQSAPH, MQMDE): structure
// identifier, version and length, then the encoding, character set and format of what
// follows the header, and flags. Each offset is where the field before it ends.
#pragma once

#include <cstdint>

namespace qpeek {
namespace mqprefix {

constexpr int32_t kStrucIdLength = 4;
constexpr int32_t kIntegerLength = 4;
constexpr int32_t kFormatLength = 8;

constexpr int32_t kStrucId = 0;
constexpr int32_t kVersion = kStrucId + kStrucIdLength;
constexpr int32_t kStrucLength = kVersion + kIntegerLength;
constexpr int32_t kEncoding = kStrucLength + kIntegerLength;
constexpr int32_t kCodedCharSetId = kEncoding + kIntegerLength;
constexpr int32_t kFormat = kCodedCharSetId + kIntegerLength;
constexpr int32_t kFlags = kFormat + kFormatLength;
constexpr int32_t kLength = kFlags + kIntegerLength; // the prefix ends here (32)

} // namespace mqprefix
} // namespace qpeek
