// The field-line model every detailed report uses: a field line is prepared (name,
// description and line end at their columns, the value columns blank), then the value is put
// into it. Also the blank test and trimmed copy of fixed-width fields, and the run-wide
// detail flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "common/byte_view.h"
#include "report/output_sink.h"

// The value is put sixteen bytes at a time where the processor has the instructions for it,
// unless the portable build (QPEEK_PORTABLE) asks for the plain code everywhere.
#if defined(__SSE2__) && !defined(QPEEK_PORTABLE)
#define QPEEK_FIELD_VECTORS 1
#include <emmintrin.h>
#endif

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
void writeField(OutputSink &out, const char *name, int32_t length, ByteView value,
                const char *description);
void writeField(OutputSink &out, const char *name, int32_t length, const char *value,
                const char *description);

// The field line as writeField makes it, blank values included, in line; returns its length
// (line end included, no zero byte after it).
constexpr size_t kFieldLineSize = 2048;
constexpr size_t kFieldLineBufferSize = kFieldLineSize + 64;
size_t formatFieldLine(char (&line)[kFieldLineBufferSize], const char *name, int32_t length,
                       ByteView value, const char *description);

// The long-name field line: name at column 2, value at column 35 (exactly `length` bytes,
// a zero byte ends the line), description from column 50, at most 78 characters.
void writeLongNameField(OutputSink &out, const char *name, int32_t length, ByteView value,
                        const char *description);

// 1 when a byte other than a blank (0x20) lies within the first `length` bytes, else 0.
int hasContent(ByteView value, int32_t length);

// The field line's value column and the description column, which ends the value.
constexpr size_t kFieldValueColumn = 20;
constexpr size_t kFieldDescriptionColumn = 45;
constexpr size_t kFieldValueRoom = kFieldDescriptionColumn - kFieldValueColumn;

// A line made once and written many times, copied in whole blocks of fixed size (the bytes
// past the line are overwritten by the next one): cheaper than a copy of the exact length.
// The padded line is at least kPreparedLineMinimum bytes long.
constexpr size_t kPreparedCopyBlock = 32;
constexpr size_t kPreparedLineMinimum = 2 * kPreparedCopyBlock;
struct PreparedLine {
    const char *bytes = nullptr; // the line, then blanks up to `padded`
    size_t size = 0;             // bytes of the line
    size_t padded = 0;           // a whole number of copy blocks, at least kPreparedLineMinimum
    // The bytes of a line made by prepareLine; none when the bytes are the maker's (a line
    // made on the stack for one write).
    std::unique_ptr<char[]> storage;
};
// Makes the line its own padded copy of the bytes.
void prepareLine(PreparedLine &line, const char *bytes, size_t size);

// A field line made once for a field that is written many times (the fields of IDoc
// segments): the line as writeField makes it with an empty value, line end included. Every
// field line is written through one (writeField's is made on the stack).
// Aligned to 64 bytes: the store finds a field's line by a shift of its number, and the line's
// address and the blank test share a cache line.
struct alignas(64) PreparedField {
    PreparedLine line;
    int32_t length = 0;
    int32_t shown = 0;      // value bytes the line can show, never negative
    uint32_t blankTest = 0; // the value bytes among the first 32 that blank suppression tests
};
void prepareField(PreparedField &field, const char *name, int32_t length, const char *description);

// The value bytes a field line can show: the field's length, but only the columns up to the
// description (the rest is cut anyway).
inline int32_t shownValueBytes(int32_t length) {
    int32_t room = static_cast<int32_t>(kFieldValueRoom);
    return length < 0 ? 0 : length < room ? length : room;
}

// Appends a line of `size` bytes padded to `padded` (a whole number of copy blocks, at least
// kPreparedLineMinimum); returns where it starts in the buffer.
inline char *appendPaddedLine(OutputSink &out, const char *from, size_t size, size_t padded) {
    char *line = reportSpace(out, padded);
    std::memcpy(line, from, kPreparedLineMinimum);
    for (size_t i = kPreparedLineMinimum; i < padded; i += kPreparedCopyBlock)
        std::memcpy(line + i, from + i, kPreparedCopyBlock);
    out.used += size;
    return line;
}
inline char *appendPreparedLine(OutputSink &out, const PreparedLine &prepared) {
    return appendPaddedLine(out, prepared.bytes, prepared.size, prepared.padded);
}

// Copies the value's bytes up to its first zero byte, at most `limit` and never past the
// end of the view. Not inlined: the field writer stays small enough to be inlined into the
// IDoc field loop.
void copyValueText(char *to, ByteView value, int32_t limit);

// The value bytes the vector code reads at once; a value whose view holds fewer is put by the
// plain code.
constexpr size_t kVectorValueBytes = 32;

#if defined(QPEEK_FIELD_VECTORS)
// The limits the vector code is written for: the value is put as 32 bytes in two vectors
// with a 32-bit mask of the bytes it shows, and the line it goes into holds those 32 bytes.
static_assert(kFieldValueRoom <= kVectorValueBytes,
              "the value columns must fit the 32-byte mask of the vector code");
static_assert(kFieldValueColumn + kVectorValueBytes <= kPreparedLineMinimum,
              "prepared lines must hold the 32 value bytes the vector code stores");
static_assert(kPreparedLineMinimum % kPreparedCopyBlock == 0, "whole copy blocks");
// 32 bytes of 0xFF, then 32 zero bytes: loaded 32 - n bytes in, the mask of the first n bytes.
alignas(64) extern const unsigned char kPrefixMaskBytes[2 * kVectorValueBytes];
#endif

// The one field writer: blank suppression (no line for a value of positive length that is
// all blanks, unless the detail flag is set), then the prepared line with the value put into
// its value columns, up to its first zero byte. The field is read where each part is needed:
// most IDoc fields are blank, and their lines are never read.
inline void putFieldLine(OutputSink &out, const PreparedField &field, ByteView value) {
    const int32_t length = field.length;
#if defined(QPEEK_FIELD_VECTORS)
    if (value.length >= static_cast<int32_t>(kVectorValueBytes) && length > 0) {
        // The first 32 value bytes lie in the view: the blank test and the value sixteen bytes
        // at a time, with the outcome of the plain code below.
        const __m128i *at = reinterpret_cast<const __m128i *>(value.data);
        __m128i low = _mm_loadu_si128(at), high = _mm_loadu_si128(at + 1);
        const __m128i blanks = _mm_set1_epi8(' '), zeros = _mm_setzero_si128();
        uint32_t blank = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, blanks))) |
                         static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, blanks)))
                             << 16;
        if ((blank & field.blankTest) == field.blankTest &&
            !(length > 32 && hasContent(value.from(32), length - 32)) && !detailFlag())
            return;
        char *line = appendPreparedLine(out, field.line);
        // The value up to its first zero byte and at most `shown` bytes; the line's own
        // bytes after it.
        uint64_t zero = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zeros))) |
                        static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zeros))) << 16;
        int n = __builtin_ctzll(zero | uint64_t{1} << field.shown);
        const __m128i *mask =
            reinterpret_cast<const __m128i *>(kPrefixMaskBytes + kVectorValueBytes - n);
        const __m128i *kept =
            reinterpret_cast<const __m128i *>(field.line.bytes + kFieldValueColumn);
        __m128i *to = reinterpret_cast<__m128i *>(line + kFieldValueColumn);
        __m128i m = _mm_loadu_si128(mask);
        _mm_storeu_si128(
            to, _mm_or_si128(_mm_and_si128(m, low), _mm_andnot_si128(m, _mm_loadu_si128(kept))));
        m = _mm_loadu_si128(mask + 1);
        _mm_storeu_si128(to + 1, _mm_or_si128(_mm_and_si128(m, high),
                                              _mm_andnot_si128(m, _mm_loadu_si128(kept + 1))));
        return;
    }
#endif
    // Blank suppression, with the common case first: a value whose first byte is no blank.
    if (length > 0 && !(value.length > 0 && value.data[0] != ' ') && !hasContent(value, length) &&
        !detailFlag())
        return;
    char *line = appendPreparedLine(out, field.line);
    copyValueText(line + kFieldValueColumn, value, field.shown);
}

// Called for every field of every record of an IDoc, so written out here to be inlined.
inline void writePreparedField(OutputSink &out, const PreparedField &field, ByteView value) {
    putFieldLine(out, field, value);
}

// The value without leading and trailing blanks as zero-terminated text in dst (never more
// than dstSize bytes including the zero). Returns dst.
char *copyTrimmed(char *dst, size_t dstSize, ByteView value, int32_t length);

} // namespace qpeek
