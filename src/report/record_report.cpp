// The record printer: walks a layout's table and writes each field as its kind says.
#include "report/record_report.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "report/field_lines.h"
#include "report/json_output.h"

namespace qpeek {

namespace {

// "%f" of the largest finite double has 309 digits before the point.
constexpr size_t kNumberSize = 512;

// The longest field TextAndHex shows in hexadecimal: "0x" and two digits a byte.
constexpr int32_t kHexBytesLimit = 64;

double doubleAt(ByteView record, int64_t offset) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | record.at(offset + i);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t integerAt(ByteView record, int64_t offset, bool bigEndian) {
    return bigEndian ? record.int32BigEndianAt(offset) : record.int32At(offset);
}

// The number of the field as text; returns its length.
int formatNumber(char (&text)[kNumberSize], const FieldLayout &field, ByteView record,
                 bool bigEndian = false) {
    switch (field.kind) {
    case FieldKind::Decimal:
        return std::snprintf(text, sizeof text, "%d", integerAt(record, field.offset, bigEndian));
    case FieldKind::Hex4:
        return std::snprintf(text, sizeof text, "0x%04x",
                             static_cast<uint32_t>(integerAt(record, field.offset, bigEndian)));
    case FieldKind::Hex8:
        return std::snprintf(text, sizeof text, "0x%08x",
                             static_cast<uint32_t>(integerAt(record, field.offset, bigEndian)));
    case FieldKind::Byte:
        return std::snprintf(text, sizeof text, "0x%02x",
                             static_cast<unsigned>(record.at(field.offset)));
    case FieldKind::Double:
        return std::snprintf(text, sizeof text, "%f", doubleAt(record, field.offset));
    default:
        text[0] = 0;
        return 0;
    }
}

// The first bytes of the view in hexadecimal (at most kHexBytesLimit), zero-terminated;
// returns the digits' count.
int32_t putHex(char (&hex)[2 * kHexBytesLimit + 1], ByteView bytes, int32_t length) {
    static const char kDigits[] = "0123456789abcdef";
    int32_t n = length < 0 ? 0 : length < kHexBytesLimit ? length : kHexBytesLimit;
    for (int32_t i = 0; i < n; ++i) {
        unsigned char b = bytes.at(i);
        hex[2 * i] = kDigits[b >> 4];
        hex[2 * i + 1] = kDigits[b & 0xF];
    }
    hex[2 * n] = 0;
    return 2 * n;
}

// The field's bytes in hexadecimal, 24 digits a line, on lines without a name.
void writeHexLines(OutputSink &out, ByteView bytes, int32_t length) {
    constexpr int32_t kBytesPerLine = 12;
    for (int32_t start = 0; start < length; start += kBytesPerLine) {
        char hex[2 * kHexBytesLimit + 1];
        int32_t n = putHex(hex, bytes.from(start),
                           length - start < kBytesPerLine ? length - start : kBytesPerLine);
        writeField(out, "", n, hex, "");
    }
}

// The field's description, with the name of its value after ": " when it has one.
const char *describedValue(char (&text)[256], const FieldLayout &field, const char *description,
                           ByteView record, bool bigEndian) {
    const char *name =
        field.valueName ? field.valueName(integerAt(record, field.offset, bigEndian)) : nullptr;
    if (!name)
        return description;
    std::snprintf(text, sizeof text, "%s: %s", description, name);
    return text;
}

// "0x" and the field's bytes in hexadecimal, on a line without a name or description.
void writeHexLine(OutputSink &out, ByteView record, int32_t offset, int32_t length) {
    static const char kDigits[] = "0123456789abcdef";
    char hex[2 + 2 * kHexBytesLimit + 1] = "0x";
    int32_t n = length < kHexBytesLimit ? length : kHexBytesLimit;
    for (int32_t i = 0; i < n; ++i) {
        unsigned char b = record.at(offset + i);
        hex[2 + 2 * i] = kDigits[b >> 4];
        hex[3 + 2 * i] = kDigits[b & 0xF];
    }
    hex[2 + 2 * n] = 0;
    writeField(out, "", 2 + 2 * n, hex, "");
}

// The assignment line's name column and the widest value it shows.
constexpr size_t kAssignmentNameWidth = 16;
constexpr size_t kAssignmentValueLimit = 64;

// "  name = value": a text value left-aligned at the field's width, a number as it is.
void writeAssignment(OutputSink &out, const FieldLayout &field, ByteView record) {
    char line[2 + kAssignmentNameWidth + 2 + kNumberSize + 1];
    size_t used = 0;
    std::memset(line, ' ', 2 + kAssignmentNameWidth);
    size_t name = std::strlen(field.name);
    std::memcpy(line + 2, field.name, name < kAssignmentNameWidth ? name : kAssignmentNameWidth);
    used = 2 + kAssignmentNameWidth;
    line[used++] = '=';
    line[used++] = ' ';
    switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::Initial: {
        size_t width = static_cast<size_t>(field.length) < kAssignmentValueLimit
                           ? static_cast<size_t>(field.length)
                           : kAssignmentValueLimit;
        int64_t shown = field.kind == FieldKind::Initial ? 1 : static_cast<int64_t>(width);
        size_t n = static_cast<size_t>(record.textLength(field.offset, shown));
        record.copyOut(field.offset, static_cast<int64_t>(n), line + used, n);
        std::memset(line + used + n, ' ', width - n);
        used += width;
        break;
    }
    case FieldKind::Character:
        line[used++] = static_cast<char>(record.at(field.offset));
        break;
    case FieldKind::Byte:
        used += static_cast<size_t>(std::snprintf(line + used, sizeof line - used, "%02x",
                                                  static_cast<unsigned>(record.at(field.offset))));
        break;
    default: {
        char number[kNumberSize];
        int n = formatNumber(number, field, record);
        std::memcpy(line + used, number, static_cast<size_t>(n));
        used += static_cast<size_t>(n);
        break;
    }
    }
    line[used++] = '\n';
    writeBytes(out, line, used);
}

// The descriptor line's name column, and the widest field it shows (the rest of a longer
// one is left out).
constexpr size_t kDescriptorNameWidth = 19;
constexpr size_t kDescriptorValueLimit = 64;

// Digits of a 32-bit integer in decimal, written where `to` points; returns their count.
size_t putDecimal(char *to, int32_t value) {
    char digits[16];
    size_t n = sizeof digits;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[--n] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[--n] = '-';
    std::memcpy(to, digits + n, sizeof digits - n);
    return sizeof digits - n;
}

// One descriptor line (and its hexadecimal line), put together straight in the sink's
// buffer: a printf per line cost more than the rest of a small message's report.
void writeDescriptorLine(OutputSink &out, const FieldLayout &field, ByteView record,
                         bool bigEndian) {
    static const char kDigits[] = "0123456789abcdef";
    size_t width = static_cast<size_t>(field.length) < kDescriptorValueLimit
                       ? static_cast<size_t>(field.length)
                       : kDescriptorValueLimit;
    char *line = reportSpace(out, 3 * kDescriptorNameWidth + 3 * kDescriptorValueLimit + 8);
    size_t used = 0;
    std::memset(line, ' ', kDescriptorNameWidth);
    size_t name = std::strlen(field.name);
    std::memcpy(line + 2, field.name,
                name < kDescriptorNameWidth - 3 ? name : kDescriptorNameWidth - 3);
    used = kDescriptorNameWidth;
    if (field.kind == FieldKind::Decimal) {
        used += putDecimal(line + used, integerAt(record, field.offset, bigEndian));
    } else {
        // At most the field's width, up to its first zero byte.
        size_t n =
            static_cast<size_t>(record.textLength(field.offset, static_cast<int64_t>(width)));
        if (field.kind == FieldKind::QuotedBytes) {
            line[used++] = '\'';
            record.copyOut(field.offset, static_cast<int64_t>(n), line + used, n);
            std::memset(line + used + n, ' ', width - n);
            used += width;
            line[used++] = '\'';
        } else {
            std::memset(line + used, ' ', width - n);
            record.copyOut(field.offset, static_cast<int64_t>(n), line + used + width - n, n);
            used += width;
        }
    }
    line[used++] = '\n';
    if (field.kind == FieldKind::TextAndHex || field.kind == FieldKind::Bytes ||
        field.kind == FieldKind::QuotedBytes) {
        std::memset(line + used, ' ', kDescriptorNameWidth);
        used += kDescriptorNameWidth;
        line[used++] = 'x';
        line[used++] = '\'';
        for (size_t i = 0; i < width; ++i) {
            unsigned char b = record.at(field.offset + static_cast<int64_t>(i));
            line[used++] = kDigits[b >> 4];
            line[used++] = kDigits[b & 0xF];
        }
        line[used++] = '\'';
        line[used++] = '\n';
    }
    out.used += used;
}

// The field as a member of the machine-readable record: numbers in decimal as numbers,
// hexadecimal ones as their text, characters as text.
void writeJsonField(OutputSink &out, const FieldLayout &field, const char *description,
                    ByteView record, int32_t length, bool bigEndian) {
    char number[kNumberSize];
    switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::TextAndHex:
        jsonTextField(out, field.name, length, record.from(field.offset), description);
        return;
    case FieldKind::Bytes:
    case FieldKind::QuotedBytes: {
        char hex[2 * kHexBytesLimit + 1];
        int32_t n = putHex(hex, record.from(field.offset), length);
        jsonTextField(out, field.name, n, textView(hex), description);
        return;
    }
    case FieldKind::Record:
        if (field.record) {
            jsonBeginObjectField(out, field.name, description);
            writeRecordMembers(out, *field.record, record.from(field.offset), bigEndian);
            jsonEndObjectField(out);
        }
        return;
    case FieldKind::Initial:
    case FieldKind::Character:
        jsonTextField(out, field.name, 1, record.from(field.offset), description);
        return;
    case FieldKind::Decimal:
        formatNumber(number, field, record, bigEndian);
        jsonNumberField(out, field.name, number, description);
        return;
    case FieldKind::Double:
        if (std::isfinite(doubleAt(record, field.offset))) {
            formatNumber(number, field, record);
            jsonNumberField(out, field.name, number, description);
            return;
        }
        break;
    default:
        break;
    }
    int n = formatNumber(number, field, record, bigEndian);
    jsonTextField(out, field.name, n, textView(number), description);
}

} // namespace

void writeRecordFields(OutputSink &out, const RecordLayout &layout, ByteView record,
                       int32_t valueLength) {
    writeRecordFields(out, layout, record, valueLength, false);
}

void writeRecordFields(OutputSink &out, const RecordLayout &layout, ByteView record,
                       int32_t valueLength, bool bigEndian) {
    if (layout.style == LineStyle::Descriptor && !out.json) {
        for (size_t i = 0; i < layout.count; ++i)
            writeDescriptorLine(out, layout.fields[i], record, bigEndian);
        return;
    }
    char number[kNumberSize];
    char named[256];
    for (size_t i = 0; i < layout.count; ++i) {
        const FieldLayout &field = layout.fields[i];
        const char *description = field.description ? field.description : layout.fieldDescription;
        if (field.valueName)
            description = describedValue(named, field, description, record, bigEndian);
        int32_t length = field.length > 0 ? field.length : valueLength;
        if (out.json) {
            writeJsonField(out, field, description, record, length, bigEndian);
            continue;
        }
        if (layout.style == LineStyle::Assignment) {
            writeAssignment(out, field, record);
            continue;
        }
        if (field.kind == FieldKind::Text || field.kind == FieldKind::TextAndHex) {
            if (layout.style == LineStyle::LongName)
                writeLongNameField(out, field.name, length, record.from(field.offset), description);
            else
                writeField(out, field.name, length, record.from(field.offset), description);
            if (field.kind == FieldKind::TextAndHex)
                writeHexLine(out, record, field.offset, length);
            continue;
        }
        if (field.kind == FieldKind::Bytes || field.kind == FieldKind::QuotedBytes) {
            writeField(out, field.name, length, record.from(field.offset), description);
            writeHexLines(out, record.from(field.offset), length);
            continue;
        }
        if (field.kind == FieldKind::Record) {
            writeField(out, field.name, 0, "", description);
            if (field.record)
                writeRecordFields(out, *field.record, record.from(field.offset), 0, bigEndian);
            continue;
        }
        int n = formatNumber(number, field, record, bigEndian);
        if (layout.style == LineStyle::LongName)
            writeLongNameField(out, field.name, n, textView(number), description);
        else
            writeField(out, field.name, n, number, description);
    }
}

void writeRecord(OutputSink &out, const RecordLayout &layout, ByteView record,
                 int32_t valueLength) {
    writeRecord(out, layout, record, valueLength, false);
}

void writeRecord(OutputSink &out, const RecordLayout &layout, ByteView record, int32_t valueLength,
                 bool bigEndian) {
    if (!out.json) { // a heading is no field of the machine-readable record
        if (layout.style == LineStyle::Assignment)
            writeLine(out, layout.heading);
        else
            writeField(out, layout.heading, 0, "", layout.headingDescription);
    }
    writeRecordFields(out, layout, record, valueLength, bigEndian);
}

void writeRecordMembers(OutputSink &out, const RecordLayout &layout, ByteView record,
                        bool bigEndian) {
    for (size_t i = 0; i < layout.count; ++i) {
        const FieldLayout &field = layout.fields[i];
        if (field.kind == FieldKind::Decimal) {
            jsonInteger(out, field.name, integerAt(record, field.offset, bigEndian));
        } else if (field.kind == FieldKind::Bytes || field.kind == FieldKind::QuotedBytes) {
            jsonHexBytes(out, field.name, record.from(field.offset), field.length);
        } else {
            // Up to the first zero byte, without trailing blanks.
            ByteView text = record.from(field.offset);
            int64_t n = text.textLength(0, field.length);
            while (n > 0 && text.at(n - 1) == ' ')
                --n;
            jsonText(out, field.name, text, n);
        }
    }
}

} // namespace qpeek
