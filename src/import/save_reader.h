// The reader of multi-message save files: messages one after another, a delimiter between
// two messages, each message optionally led by its properties and by a 364-byte descriptor.
#pragma once

#include <cstdint>
#include <string>

#include "import/import_problem.h"
#include "import/input_buffer.h"
#include "import/message_writer.h"

namespace qpeek::import {

constexpr const char *kDefaultMessageDelimiter = "#@#@#";
constexpr const char *kPropertyDelimiter = "$%$%$";
// Properties and a descriptor are recognised in the first bytes of a message only.
constexpr size_t kPropertyBlockMax = 64 * 1024;

struct SaveCounts {
    uint64_t delimiters = 0;
    uint64_t withProperties = 0;     // messages whose properties were left out
    uint64_t swappedDescriptors = 0; // descriptors written in the other byte order
};

// Reads the whole input as a save file with the given message delimiter and writes its
// messages. An input without any delimiter, descriptor or properties is no save file: then
// nothing is written and the problem says so. Returns false on a problem.
bool importSave(InputBuffer &in, const std::string &delimiter, MessageWriter &w, SaveCounts &counts,
                ImportProblem &problem);

} // namespace qpeek::import
