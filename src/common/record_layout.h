// Fixed record layouts as data: a layout is a table of fields {name, offset, length, kind},
// and a printer walks the table. Shared by the ECEDOC, IMS and CICS record reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qpeek {

enum class FieldKind {
    Text,   // fixed-width characters, blank-padded, not zero-terminated
    Int32,  // 32-bit signed integer, little-endian, at any offset
    Double, // IEEE 754 binary64, little-endian, at any offset
};

struct FieldLayout {
    const char *name;
    int32_t offset;
    int32_t length;
    FieldKind kind;
};

struct RecordLayout {
    const char *name;
    const char *heading; // the line the report prints above the record's fields
    const FieldLayout *fields;
    size_t count;
    int32_t length; // the record's length: the sum of its field lengths
};

template <size_t N>
constexpr RecordLayout makeLayout(const char *name, const char *heading,
                                  const FieldLayout (&fields)[N], int32_t length) {
    return RecordLayout{name, heading, fields, N, length};
}

} // namespace qpeek
