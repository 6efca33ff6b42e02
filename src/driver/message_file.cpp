// The message-file loader: reads a file whole, takes its descriptor or the default one,
// and hands the body to the dispatcher of the run's mode.
#include "driver/message_file.h"

#include <cstring>
#include <string>

#include "driver/descriptor.h"
#include "driver/dispatch.h"
#include "driver/report_lines.h"
#include "platform/platform.h"

namespace qpeek {

void reportMessage(FILE *out, unsigned char *buffer, int32_t length, int mode) {
    Mqmd md;
    ByteView body{buffer, length};
    // A file that begins with "MD" carries a descriptor, unless it is too short to hold
    // one: then it is a body without descriptor.
    if (length >= kMqmdLength && buffer[0] == 'M' && buffer[1] == 'D') {
        std::memcpy(md.bytes, buffer, kMqmdLength);
        body = ByteView{buffer + kMqmdLength, length - kMqmdLength};
    } else {
        md = defaultDescriptor();
    }
    if (mode == kSummaryMode)
        writeSummary(out, md, body);
    else
        writeDetail(out, md, body);
}

namespace {

void writeProcessingLine(const char *path) {
    std::fputs("Processing ", stdout);
    std::fputs(path, stdout);
    std::fputc('\n', stdout);
}

} // namespace

int processNameOutsideCodePage(const char *path) {
    writeProcessingLine(path);
    std::fprintf(stdout, "Unable to open %s\n", path);
    std::string text("qpeek: the name ");
    text.append(path).append(" cannot be represented in ").append(platform::codePageName());
    writeErrorText(text.append("\n").c_str());
    return kStatusCannotOpen;
}

int processFile(FILE *out, const char *path, int mode) {
    // One loaded file at a time; its read buffer serves every message of the run.
    static platform::MessageFile file;
    writeProcessingLine(path);
    switch (platform::readMessageFile(path, file)) {
    case platform::ReadStatus::Ok:
        break;
    case platform::ReadStatus::TooLarge:
        std::fprintf(stdout, "File too large %s\n", path);
        return kStatusCannotOpen;
    case platform::ReadStatus::CannotOpen:
        std::fprintf(stdout, "Unable to open %s\n", path);
        return kStatusCannotOpen;
    }
    reportMessage(out, file.data, file.length, mode);
    platform::releaseMessageFile(file);
    return 0;
}

} // namespace qpeek
