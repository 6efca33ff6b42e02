// What went wrong with an input: the reason, and the line it was found on.
#pragma once

#include <cstdint>
#include <string>

namespace qpeek::import {

struct ImportProblem {
    uint64_t line = 0; // 1-based line of the input; 0 when the problem is not on a line
    std::string text;
};

} // namespace qpeek::import
