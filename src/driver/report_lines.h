// Report line primitives: the field line writers every detailed formatter uses, the
// blank test and trimmed copy of fixed-width fields, and the run-wide detail flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/byte_view.h"

namespace qpeek {

// The detail flag (-d): also writes field lines whose value is all blanks, and turns on
// the MQ header dumps.
int setDetailFlag(int value);
extern int gDetailFlag; // the flag's value, read through detailFlag
inline int detailFlag() {
    return gDetailFlag;
}

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
// The lines go out in pieces of exactly kReportWriteSize bytes, straight to the system
// where it allows that, without a copy into the stream's buffer. The bytes past a piece (a
// line cut by it) move to the front.
constexpr size_t kReportWriteSize = 1u << 18;
constexpr size_t kReportSlack = 1u << 12;
constexpr size_t kReportBufferSize = kReportWriteSize + kReportSlack;
struct ReportBuffer {
    FILE *out = nullptr;
    char *bytes = nullptr; // kReportBufferSize bytes, the owner's
    size_t used = 0;
};
// Writes every gathered byte.
void flushReport(ReportBuffer &report);
// Makes room for count bytes (at most the buffer's size): writes a piece, or everything.
void spillReport(ReportBuffer &report, size_t count);
// Room for count bytes (at most the buffer's size) at the end of the buffer.
inline char *reportSpace(ReportBuffer &report, size_t count) {
    if (report.used + count > kReportBufferSize)
        spillReport(report, count);
    return report.bytes + report.used;
}

// The field line's value column and the description column, which ends the value.
constexpr size_t kFieldValueColumn = 20;
constexpr size_t kFieldDescriptionColumn = 45;

// A line made once and written many times, copied in whole blocks of fixed size (the bytes
// past the line are overwritten by the next one): cheaper than a copy of the exact length.
// The padded line is at least two blocks long.
constexpr size_t kPreparedCopyBlock = 32;
struct PreparedLine {
    std::string bytes; // the line, then blanks up to a whole number of copy blocks
    size_t size = 0;   // bytes of the line
};
void prepareLine(PreparedLine &line, const char *bytes, size_t size);
// Appends the line; returns where it starts in the buffer.
inline char *appendPreparedLine(ReportBuffer &report, const PreparedLine &prepared) {
    const char *from = prepared.bytes.data();
    size_t padded = prepared.bytes.size();
    char *line = reportSpace(report, padded);
    std::memcpy(line, from, 2 * kPreparedCopyBlock);
    for (size_t i = 2 * kPreparedCopyBlock; i < padded; i += kPreparedCopyBlock)
        std::memcpy(line + i, from + i, kPreparedCopyBlock);
    report.used += prepared.size;
    return line;
}

// A field line made once for a field that is written many times (the fields of IDoc
// segments): the line as writeField makes it with an empty value, line end included.
// writePreparedField then only puts the value into it.
struct PreparedField {
    PreparedLine line;
    int32_t length = 0;
    int32_t shown = 0;      // shownValueBytes of the length, never negative
    uint32_t blankTest = 0; // the value bytes among the first 32 that blank suppression tests
};
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

// The value bytes a field line can show: the field's length, but only the columns up to the
// description (the rest is cut anyway).
inline int32_t shownValueBytes(int32_t length) {
    int32_t room = static_cast<int32_t>(kFieldDescriptionColumn - kFieldValueColumn);
    return length < room ? length : room;
}

// Puts a field's value into its line, up to its first zero byte.
inline void placeFieldValue(char *line, int32_t length, ByteView value) {
    copyValueText(line + kFieldValueColumn, value, shownValueBytes(length));
}

#if defined(__SSE2__)
// 32 bytes of 0xFF, then 32 zero bytes: loaded 32 - n bytes in, the mask of the first n bytes.
alignas(64) extern const unsigned char kPrefixMaskBytes[64];

// writePreparedField for a field of positive length whose first 32 value bytes all lie in
// the view: the blank test and the value sixteen bytes at a time, with the same outcome.
inline void writePreparedFieldWide(ReportBuffer &report, const PreparedField &field,
                                   ByteView value) {
    const __m128i *at = reinterpret_cast<const __m128i *>(value.data);
    __m128i low = _mm_loadu_si128(at), high = _mm_loadu_si128(at + 1);
    const __m128i blanks = _mm_set1_epi8(' '), zeros = _mm_setzero_si128();
    uint32_t blank = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, blanks))) |
                     static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, blanks))) << 16;
    if ((blank & field.blankTest) == field.blankTest &&
        !(field.length > 32 && hasContent(value.from(32), field.length - 32)) && !detailFlag())
        return;
    char *line = appendPreparedLine(report, field.line);
    // The value up to its first zero byte and at most as far as the description column;
    // the line's own bytes after it.
    uint32_t zero = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zeros))) |
                    static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zeros))) << 16;
    int n = __builtin_ctz(zero | 1u << field.shown);
    const __m128i *mask = reinterpret_cast<const __m128i *>(kPrefixMaskBytes + 32 - n);
    const __m128i *kept =
        reinterpret_cast<const __m128i *>(field.line.bytes.data() + kFieldValueColumn);
    __m128i *to = reinterpret_cast<__m128i *>(line + kFieldValueColumn);
    __m128i m = _mm_loadu_si128(mask);
    _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(m, low),
                                      _mm_andnot_si128(m, _mm_loadu_si128(kept))));
    m = _mm_loadu_si128(mask + 1);
    _mm_storeu_si128(to + 1, _mm_or_si128(_mm_and_si128(m, high),
                                          _mm_andnot_si128(m, _mm_loadu_si128(kept + 1))));
}
#endif

// Called for every field of every record of an IDoc, so written out here to be inlined.
inline void writePreparedField(ReportBuffer &report, const PreparedField &field, ByteView value) {
#if defined(__SSE2__)
    if (value.length >= 32 && field.length > 0) {
        writePreparedFieldWide(report, field, value);
        return;
    }
#endif
    // Blank suppression, with the common case first: a value whose first byte is no blank.
    if (field.length > 0 && !(value.length > 0 && value.data[0] != ' ') &&
        !hasContent(value, field.length) && !detailFlag())
        return;
    placeFieldValue(appendPreparedLine(report, field.line), field.length, value);
}

// The value without leading and trailing blanks as zero-terminated text in dst (never more
// than dstSize bytes including the zero). Returns dst.
char *copyTrimmed(char *dst, size_t dstSize, ByteView value, int32_t length);

// Writes a message to standard error and flushes it, after flushing standard output so that
// on a shared terminal the lines keep their order.
void writeErrorText(const char *text);

} // namespace qpeek
