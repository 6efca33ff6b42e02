// Report line primitives: the field line writers every detailed formatter uses, the
// blank test and trimmed copy of fixed-width fields, and the run-wide detail flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/byte_view.h"

namespace qpeek {

// The detail flag (-d): also writes field lines whose value is all blanks, and turns on
// the MQ header dumps.
int setDetailFlag(int value);
int detailFlag();

// A field line: name at column 2 (0 for a heading line, length <= 0), value at column 20
// (at most 25 characters, up to its first zero byte), description from column 45.
void writeField(FILE *out, const char *name, int32_t length, ByteView value,
                const char *description);
void writeField(FILE *out, const char *name, int32_t length, const char *value,
                const char *description);

// The long-name field line: name at column 2, value at column 35 (exactly `length` bytes,
// a zero byte ends the line), description from column 50, at most 78 characters.
void writeLongNameField(FILE *out, const char *name, int32_t length, ByteView value,
                        const char *description);

// The text and a line end.
void writeLine(FILE *out, const char *text);

// 1 when a byte other than a blank (0x20) lies within the first `length` bytes, else 0.
int hasContent(ByteView value, int32_t length);

// Writes bytes of the report (the one call every line writer ends in).
inline void writeBytes(FILE *out, const void *bytes, size_t count) {
#ifdef __GLIBC__
    fwrite_unlocked(bytes, 1, count, out); // one thread writes the report: no stream lock
#else
    std::fwrite(bytes, 1, count, out);
#endif
}

// Report lines gathered before they go to the stream in large writes, for a report of
// hundreds of thousands of lines (the IDoc field report). Whatever else writes to the
// stream, standard output or standard error meanwhile flushes this first.
// It is larger than the stream's own buffer, so that most of it goes to the system
// without being copied there first.
constexpr size_t kReportBufferSize = 1u << 18;
struct ReportBuffer {
    FILE *out = nullptr;
    char *bytes = nullptr; // kReportBufferSize bytes, the owner's
    size_t used = 0;
};
void flushReport(ReportBuffer &report);
// Room for count bytes (at most the buffer's size) at the end of the buffer.
inline char *reportSpace(ReportBuffer &report, size_t count) {
    if (report.used + count > kReportBufferSize)
        flushReport(report);
    return report.bytes + report.used;
}
inline void appendReport(ReportBuffer &report, const char *bytes, size_t count) {
    std::memcpy(reportSpace(report, count), bytes, count);
    report.used += count;
}

// A field line made once for a field that is written many times (the fields of IDoc
// segments): the line as writeField makes it with an empty value, line end included.
// writePreparedField then only puts the value into it.
struct PreparedField {
    std::string line; // the line, then blanks up to a whole number of copy blocks
    size_t size = 0;  // bytes of the line; 0 until prepared
    int32_t length = 0;
};
constexpr size_t kPreparedCopyBlock = 32; // prepared lines are copied in blocks of this size
void prepareField(PreparedField &field, const char *name, int32_t length,
                  const char *description);

// Copies the value's bytes up to its first zero byte, at most `limit` and never past the
// end of the view: eight bytes at a time while none of them is zero.
inline void copyValueText(char *to, ByteView value, int32_t limit) {
    int64_t n = value.available(0, limit);
    const unsigned char *bytes = value.data;
    int64_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        if ((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull)
            break;
        std::memcpy(to + i, &word, sizeof word);
    }
    for (; i < n && bytes[i] != 0; ++i)
        to[i] = static_cast<char>(bytes[i]);
}

// The field line's value column and the description column, which ends the value.
constexpr size_t kFieldValueColumn = 20;
constexpr size_t kFieldDescriptionColumn = 45;

// Puts a field's value into its line: up to its first zero byte, and only the columns up to
// the description can show (the rest is cut anyway).
inline void placeFieldValue(char *line, int32_t length, ByteView value) {
    int32_t room = static_cast<int32_t>(kFieldDescriptionColumn - kFieldValueColumn);
    copyValueText(line + kFieldValueColumn, value, length < room ? length : room);
}

// Called for every field of every record of an IDoc, so written out here to be inlined.
inline void writePreparedField(ReportBuffer &report, const PreparedField &field, ByteView value) {
    // Blank suppression, with the common case first: a value whose first byte is no blank.
    if (field.length > 0 && !(value.length > 0 && value.data[0] != ' ') &&
        !hasContent(value, field.length) && !detailFlag())
        return;
    // Copied in whole blocks of fixed size (the bytes past the line are overwritten by the
    // next one): cheaper than a copy of the exact length.
    const char *from = field.line.data();
    size_t blocks = field.line.size();
    char *line = reportSpace(report, blocks);
    for (size_t i = 0; i < blocks; i += kPreparedCopyBlock)
        std::memcpy(line + i, from + i, kPreparedCopyBlock);
    report.used += field.size;
    placeFieldValue(line, field.length, value);
}

// The value without leading and trailing blanks as zero-terminated text in dst (never more
// than dstSize bytes including the zero). Returns dst.
char *copyTrimmed(char *dst, size_t dstSize, ByteView value, int32_t length);

// Writes a message to standard error and flushes it, after flushing standard output so that
// on a shared terminal the lines keep their order.
void writeErrorText(const char *text);

} // namespace qpeek
