// Fixed record layouts as data: a layout is a heading and a table of fields {name, offset,
// length, kind, description}, and one printer (report/record_report.h) walks the table.
// Shared by the MQ header, ECEDOC, IMS and CICS record reports.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qpeek {

// How a field's bytes are read and shown.
enum class FieldKind {
    Text,       // fixed-width characters up to a zero byte, blank-padded
    Decimal,    // 32-bit signed integer, little-endian, in decimal
    Hex4,       // 32-bit integer, little-endian, "0x" and at least four hexadecimal digits
    Hex8,       // the same with at least eight digits
    Byte,       // one byte, "0x" and two hexadecimal digits (no "0x" on an assignment line)
    Double,     // IEEE 754 binary64, little-endian, six digits after the point
    TextAndHex, // the characters, then "0x" and every byte in hexadecimal on a line without name
    Initial,    // the first character only, blank-padded to the field's width
    Character,  // one byte as it is, a zero byte included
    // Bytes, not characters (hexadecimal in machine-readable output): the characters, then
    // every byte in hexadecimal, 24 digits a line on lines without name (a descriptor line:
    // like TextAndHex); the second with the characters in quotes (descriptor lines only).
    Bytes,
    QuotedBytes,
    Record, // another record, printed by its own layout (`record`) after a heading line

};

// The bytes a field of the kind occupies, or 0 when the field says (text).
constexpr int32_t fixedLengthOf(FieldKind kind) {
    switch (kind) {
    case FieldKind::Decimal:
    case FieldKind::Hex4:
    case FieldKind::Hex8:
        return 4;
    case FieldKind::Byte:
    case FieldKind::Character:
        return 1;
    case FieldKind::Double:
        return 8;
    default:
        return 0;
    }
}

struct RecordLayout;

struct FieldLayout {
    const char *name;
    int32_t offset;
    int32_t length; // 0: a last field whose length the record holds (DATUSR's value)
    FieldKind kind;
    const char *description = nullptr; // nullptr: the layout's field description
    // A name for the value of a decimal field, added to the description after ": " (none
    // when it gives nullptr).
    const char *(*valueName)(int32_t value) = nullptr;
    const RecordLayout *record = nullptr; // the layout of a Record field
};

// The line every field of a layout is written on.
enum class LineStyle {
    Field,    // the field line: value at column 20, description at column 45
    LongName, // the long-name field line: value at column 35, description at column 50
    // "  name = value": the name padded to 16 columns, text left-aligned at the field's width
    // (up to a zero byte), every field shown; the heading is a line of its own.
    Assignment,
    // The descriptor line: the name at column 2 padded to column 19, a number as it is,
    // characters up to a zero byte right-aligned in the field's width (left-aligned between
    // quotes for QuotedBytes); TextAndHex, Bytes and QuotedBytes add a line with every byte
    // in hexadecimal, x'...', from column 19.
    Descriptor,
};

struct RecordLayout {
    const char *name;
    const char *heading;            // the line above the fields, at column 0
    const char *headingDescription; // the heading line's description
    LineStyle style;
    const char *fieldDescription; // the description of a field that has none of its own
    const FieldLayout *fields;
    size_t count;
    int32_t length; // the record's length: where its last field ends
};

// True when every field starts where the one before it ends, the first at offset 0, no
// field is empty but a last one, and every number field has its number's length: a slip
// in an offset or a length fails the build.
template <size_t N> constexpr bool fieldsBackToBack(const FieldLayout (&fields)[N]) {
    int32_t end = 0;
    for (size_t i = 0; i < N; ++i) {
        const FieldLayout &f = fields[i];
        if (f.offset != end || f.length < 0 || (f.length == 0 && i + 1 != N))
            return false;
        int32_t fixed = fixedLengthOf(f.kind);
        if (fixed != 0 && f.length != fixed)
            return false;
        end += f.length;
    }
    return true;
}

// The layout's field of that name, or nullptr.
constexpr const FieldLayout *fieldNamed(const RecordLayout &layout, const char *name) {
    for (size_t i = 0; i < layout.count; ++i) {
        const char *a = layout.fields[i].name;
        const char *b = name;
        while (*a != 0 && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == *b)
            return &layout.fields[i];
    }
    return nullptr;
}

template <size_t N>
constexpr RecordLayout makeLayout(const char *name, const char *heading,
                                  const char *headingDescription, LineStyle style,
                                  const char *fieldDescription, const FieldLayout (&fields)[N]) {
    return RecordLayout{name,
                        heading,
                        headingDescription,
                        style,
                        fieldDescription,
                        fields,
                        N,
                        fields[N - 1].offset + fields[N - 1].length};
}

} // namespace qpeek
