// The message-file loader: reads a file whole, takes its descriptor or the default one,
// and hands the body to the dispatcher of the run's mode.
#include "driver/message_file.h"

#include <cstring>
#include <string>

#include "common/descriptor.h"
#include "driver/dispatch.h"
#include "mqheaders/mqmd_report.h"
#include "platform/platform.h"
#include "report/json_output.h"
#include "report/printable_name.h"

namespace qpeek {

namespace {

// "qpeek: PATH: REASON" on standard error, after the line that names the file on standard
// output: the reason a file could not be loaded, in words.
void writeLoadFailure(OutputSink &out, const char *path, platform::ReadStatus status,
                      const platform::MessageFile &file) {
    std::string text("qpeek: ");
    appendPrintableName(text, path);
    text.append(": ");
    if (status == platform::ReadStatus::TooLarge) {
        text.append("file too large");
    } else if (file.failure == platform::OpenFailure::Directory) {
        // The pattern that was probably meant: the message files inside, joined with the
        // separator the name uses last (Windows takes "/" and "\\" alike).
        text.append("is a directory (did you mean ");
        appendPrintableName(text, path);
        const char *separator = std::strrchr(path, platform::kPathSeparator);
        const char *slash = std::strrchr(path, '/');
        char joint = slash && (!separator || slash > separator) ? '/' : platform::kPathSeparator;
        if (*path == 0 || path[std::strlen(path) - 1] != joint)
            text.push_back(joint);
        text.append("*.qpk?)");
    } else if (file.failure == platform::OpenFailure::NotRegularFile) {
        text.append("not a regular file");
    } else {
        text.append(file.systemReason);
    }
    text.push_back('\n');
    writeErrorText(out, text.c_str());
}

} // namespace

void reportMessage(OutputSink &out, unsigned char *buffer, int32_t length, int mode) {
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
    if (out.json) {
        // The machine-readable object carries the descriptor and the detailed decoding
        // always, and the summary's tags as well with -s.
        writeDescriptorJson(out, md, body.data != buffer);
        writeDetail(out, md, body);
        if (mode == kSummaryMode)
            writeSummary(out, md, body);
        return;
    }
    if (mode == kSummaryMode)
        writeSummary(out, md, body);
    else
        writeDetail(out, md, body);
}

int processNameOutsideCodePage(OutputSink &out, const char *path) {
    writeNameLine(out, "Processing ", path);
    writeNameLine(out, "Unable to open ", path);
    std::string text("qpeek: the name ");
    text.append(path).append(" cannot be represented in ").append(platform::codePageName());
    writeErrorText(out, text.append("\n").c_str());
    return kStatusCannotOpen;
}

int processFile(OutputSink &out, const char *path, int mode, platform::MessageFile &file) {
    writeNameLine(out, "Processing ", path);
    platform::ReadStatus status = platform::readMessageFile(path, file);
    switch (status) {
    case platform::ReadStatus::Ok:
        break;
    case platform::ReadStatus::TooLarge:
        writeNameLine(out, "File too large ", path);
        writeLoadFailure(out, path, status, file);
        return kStatusCannotOpen;
    case platform::ReadStatus::CannotOpen:
        writeNameLine(out, "Unable to open ", path);
        writeLoadFailure(out, path, status, file);
        return kStatusCannotOpen;
    }
    if (out.json)
        jsonBeginMessage(out, path, file.length);
    reportMessage(out, file.data, file.length, mode);
    if (out.json)
        jsonEndMessage(out);
    platform::releaseMessageFile(file);
    return 0;
}

} // namespace qpeek
