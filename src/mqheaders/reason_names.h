// Names of the reason and feedback codes a dead-letter header carries in its Reason field.
#pragma once

#include <cstdint>

namespace qpeek {

// The MQRC_ or MQFB_ name of the code, or nullptr for a value of no known name (it is then
// shown as its number alone).
const char *reasonName(int32_t reason);

} // namespace qpeek
