// The output sink: the report buffer, its pieces written straight to the system, formatted
// text, and the messages on standard error that keep their place after the report bytes.
#include "report/output_sink.h"

#include <cstdarg>
#include <string>

#include "platform/platform.h"
#include "report/json_output.h"

namespace qpeek {

void putStreamBytes(FILE *stream, const void *bytes, size_t count) {
#ifdef __GLIBC__
    fwrite_unlocked(bytes, 1, count, stream);
#else
    std::fwrite(bytes, 1, count, stream);
#endif
}

OutputSink::~OutputSink() {
    flushOutput(*this);
}

void flushOutput(OutputSink &sink) {
    if (sink.used > 0 && !sink.json)
        putStreamBytes(sink.out, sink.bytes, sink.used);
    sink.used = 0;
}

void spillOutput(OutputSink &sink, size_t count) {
    if (sink.used < kOutputWriteSize || sink.json || count > kOutputSlack) {
        flushOutput(sink);
        return;
    }
    size_t done = platform::writeUnbuffered(sink.out, sink.bytes, kOutputWriteSize);
    if (done < kOutputWriteSize)
        putStreamBytes(sink.out, sink.bytes + done, kOutputWriteSize - done);
    sink.used -= kOutputWriteSize;
    std::memmove(sink.bytes, sink.bytes + kOutputWriteSize, sink.used);
}

void writeLargeBytes(OutputSink &sink, const void *bytes, size_t count) {
    if (count <= kOutputSlack) {
        spillOutput(sink, count);
        std::memcpy(sink.bytes + sink.used, bytes, count);
        sink.used += count;
        return;
    }
    flushOutput(sink);
    if (!sink.json)
        putStreamBytes(sink.out, bytes, count);
}

void writeFormatted(OutputSink &sink, const char *format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    char *at = reportSpace(sink, kOutputSlack);
    int n = std::vsnprintf(at, kOutputSlack, format, args);
    if (n >= 0 && static_cast<size_t>(n) < kOutputSlack) {
        sink.used += static_cast<size_t>(n);
    } else if (n > 0) {
        std::string text(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, again);
        writeBytes(sink, text.data(), static_cast<size_t>(n));
    }
    va_end(again);
    va_end(args);
}

void writeStandardOutput(OutputSink &sink, const void *bytes, size_t count) {
    if (sink.json && sink.out == stdout && sink.json->objectSpilled)
        sink.json->heldStandardOutput.append(static_cast<const char *>(bytes), count);
    else if (sink.out == stdout && !sink.json)
        writeBytes(sink, bytes, count);
    else
        putStreamBytes(stdout, bytes, count);
}

void writeErrorText(OutputSink &sink, const char *text) {
    flushOutput(sink);
    writeErrorText(text);
}

void writeErrorText(const char *text) {
    std::fflush(stdout);
    std::fputs(text, stderr);
    std::fflush(stderr);
}

} // namespace qpeek
