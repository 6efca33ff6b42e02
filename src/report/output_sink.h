// The output sink: the one way report bytes reach the report stream. Bytes are gathered in a
// large buffer and go out in whole pieces, straight to the system where it allows that.
// Writing to standard error goes through the sink too, which hands over what it holds first,
// so the report and the messages keep their order.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

namespace qpeek {

struct JsonOutput;

// Pieces of exactly kOutputWriteSize bytes leave the buffer; the slack past them holds the
// line that a piece cuts (moved to the front afterwards) and any one formatted text.
constexpr size_t kOutputWriteSize = 1u << 18;
constexpr size_t kOutputSlack = 1u << 12;
constexpr size_t kOutputBufferSize = kOutputWriteSize + kOutputSlack;

struct OutputSink {
    FILE *out;   // the report stream: standard output or the -o file
    char *bytes; // kOutputBufferSize bytes not yet handed to out
    size_t used = 0;
    std::unique_ptr<char[]> storage;
    // With machine-readable output (-j) the report is the JSON object this holds, and the
    // text bytes gathered here are dropped instead of written.
    JsonOutput *json = nullptr;

    explicit OutputSink(FILE *stream)
        : out(stream), bytes(new char[kOutputBufferSize]), storage(bytes) {}
    ~OutputSink();
    OutputSink(const OutputSink &) = delete;
    OutputSink &operator=(const OutputSink &) = delete;
};

// Hands bytes to a stream (one thread writes the report: no stream lock where that exists).
void putStreamBytes(FILE *stream, const void *bytes, size_t count);

// Hands every gathered byte to the report stream (its own buffer; no system call forced).
void flushOutput(OutputSink &sink);
// Makes room for count bytes (at most kOutputSlack): writes a piece, or everything.
void spillOutput(OutputSink &sink, size_t count);
// Bytes too many for the room left: what the buffer holds, then the bytes.
void writeLargeBytes(OutputSink &sink, const void *bytes, size_t count);

// Room for count bytes (at most kOutputSlack) at the end of the buffer; the caller adds
// what it fills to sink.used.
inline char *reportSpace(OutputSink &sink, size_t count) {
    if (sink.used + count > kOutputBufferSize)
        spillOutput(sink, count);
    return sink.bytes + sink.used;
}

inline void writeBytes(OutputSink &sink, const void *bytes, size_t count) {
    if (sink.used + count > kOutputBufferSize) {
        writeLargeBytes(sink, bytes, count);
        return;
    }
    std::memcpy(sink.bytes + sink.used, bytes, count);
    sink.used += count;
}

inline void writeChar(OutputSink &sink, char c) {
    writeBytes(sink, &c, 1);
}

// Zero-terminated text, without its zero.
inline void writeText(OutputSink &sink, const char *text) {
    writeBytes(sink, text, std::strlen(text));
}

// The text and a line end.
inline void writeLine(OutputSink &sink, const char *text) {
    writeText(sink, text);
    writeChar(sink, '\n');
}

// Text formatted like printf (a %c of a zero byte writes that byte).
void writeFormatted(OutputSink &sink, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Bytes for standard output that are not part of a report (the "Processing" lines): into the
// sink when the report goes to standard output, so both keep their order, else to standard
// output itself.
void writeStandardOutput(OutputSink &sink, const void *bytes, size_t count);

// A message on standard error, after everything written so far: the sink's bytes and
// standard output are flushed first.
void writeErrorText(OutputSink &sink, const char *text);

// A message on standard error for the run before its report has a sink (standard output
// is flushed first).
void writeErrorText(const char *text);

} // namespace qpeek
