// Report line primitives: the field line writers every detailed formatter uses, the
// blank test and trimmed copy of fixed-width fields, and the run-wide detail flag.
#pragma once

#include <cstdint>
#include <cstdio>

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

// The value without leading and trailing blanks as zero-terminated text in dst (never more
// than dstSize bytes including the zero). Returns dst.
char *copyTrimmed(char *dst, size_t dstSize, ByteView value, int32_t length);

// Writes a message to standard error and flushes it, after flushing standard output so that
// on a shared terminal the lines keep their order.
void writeErrorText(const char *text);

} // namespace qpeek
