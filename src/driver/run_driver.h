// The command line and the run: banner, options, output stream, pattern expansion.
#pragma once

#include "report/output_sink.h"

namespace qpeek {

namespace platform {
struct MessageFile;
}

constexpr int kExitUsage = 99;
constexpr int kExitOutputFailed = 1;

// The whole program: returns the process exit code.
int runQpeek(int argc, char **argv);

// Expands one file argument and reports every match to out, loading each into file.
int processPattern(OutputSink &out, const char *pattern, int mode, platform::MessageFile &file);

// Lists the entries of the environment variable named after the leading "@".
int listEnvironmentVariable(const char *argument);

} // namespace qpeek
