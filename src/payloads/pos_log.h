// Point-of-sale transaction log report: lines of quoted binary records, each printed as a
// block of field lines decoded to decimal or hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// Bytes of one record that are decoded; a longer record is cut here.
constexpr int32_t kPosRecordSize = 4096;
// The decoded value of one field (at most 36 characters) or the unknown-type message.
constexpr size_t kPosValueSize = 1024;

void writePosLog(OutputSink &out, ByteView body);

// The field decoders: each reads the field at `position` of the record (at most
// `maxLength` bytes), writes its digits into value (a single blank when the field is
// empty) and returns the position of the next field, past one closing ":" if present.
// Packed: one decimal number per byte, high nibble x 10 + low nibble, "%02ld"; a first
// byte whose high nibble is 0xF has it cleared in the record. Stops at ":".
int64_t decodePacked(ByteView record, int64_t position, int32_t maxLength, char *value,
                     size_t valueSize);
// Hexadecimal, two lower-case digits per byte. Stops at ":".
int64_t decodeHex(ByteView record, int64_t position, int32_t maxLength, char *value,
                  size_t valueSize);
// Hexadecimal over exactly maxLength bytes, ":" included.
int64_t decodeHexFixed(ByteView record, int64_t position, int32_t maxLength, char *value,
                       size_t valueSize);

// The first position among the `count` start positions from `start` at which `text`
// begins in the data, or -1. Only whole matches inside the view count.
int64_t findText(ByteView data, int64_t start, const char *text, int64_t count);

} // namespace qpeek
