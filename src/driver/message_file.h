// Message files: an optional 364-byte descriptor, then the body. processFile loads one
// and writes its report.
#pragma once

#include <cstdint>

#include "report/output_sink.h"

namespace qpeek {

namespace platform {
struct MessageFile;
}

constexpr int kSummaryMode = 1;
constexpr int kStatusCannotOpen = 98;

// Loads the message file at path into file (whose read buffer serves every message of the
// run) and writes its summary entry (mode 1) or detailed report (any other mode) to out.
// Returns 0, or 98 when the file cannot be opened.
int processFile(OutputSink &out, const char *path, int mode, platform::MessageFile &file);

// A name that lost characters on its way into the code page ("?" or a look-alike letter in
// their place) names another file, or a pattern, or nothing: it is never opened. Writes the
// loader's "Processing" and "Unable to open" lines for it and a line on standard error that
// says why. Returns 98.
int processNameOutsideCodePage(OutputSink &out, const char *path);

// Reports one loaded message: buffer holds the whole file (length bytes) followed by one
// zero byte. Splits off the descriptor and calls the dispatcher of the mode.
void reportMessage(OutputSink &out, unsigned char *buffer, int32_t length, int mode);

} // namespace qpeek
