// The reader of queue unload files: the text files of the queue load/unload utility, one
// message after another as attribute lines (the descriptor) and data lines (the body).
#pragma once

#include <cstddef>
#include <string>

#include "common/descriptor.h"
#include "import/import_problem.h"
#include "import/input_buffer.h"
#include "import/message_writer.h"

namespace qpeek::import {

// True when the input begins, after blank lines, with the header comment of an unload file
// ("* QLOAD" or "* DMPMQMSG") at the start of a line within its first kKindWindow bytes.
// Reads as much as that takes and consumes nothing but a byte-order mark.
bool looksLikeUnload(InputBuffer &in);

// Reads the whole unload file and writes its messages. Returns false at the first problem
// (with its line); the messages before it are written, the one it is in is dropped.
bool importUnload(InputBuffer &in, MessageWriter &w, ImportProblem &problem);

// Sets the descriptor field of one attribute line (the line without its line end). `cut`
// says that the line went on past `length` with more than blanks. Returns false with the
// reason when the code is unknown or the value does not fit its field.
bool applyAttributeLine(Mqmd &md, const unsigned char *line, size_t length, bool cut,
                        std::string &reason);

} // namespace qpeek::import
