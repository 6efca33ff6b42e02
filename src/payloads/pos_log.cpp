// Point-of-sale transaction log report.
//
// A body is a set of lines ended by quote + carriage return; a line holds records in
// double quotes separated by quote-comma-quote. A record is a type byte and fields of at
// most a fixed number of bytes, each ended early by ":". Records are copied into a
// zero-filled buffer, so fields missing at the end of a short record decode as zeros.
#include "payloads/pos_log.h"

#include <cstring>
#include <utility>

#include "report/field_lines.h"
#include "report/json_output.h"

namespace qpeek {

namespace {

constexpr unsigned char kFieldEnd = ':';
constexpr const char *kLineEnd = "\"\r";
constexpr const char *kSeparator = "\",\"";

enum class PosEncoding {
    Packed,   // decimal per byte, stops at ":"
    Hex,      // hexadecimal per byte, stops at ":"
    HexFixed, // hexadecimal over the full length
};

struct PosField {
    const char *label;
    int32_t maxBytes;
    PosEncoding encoding;
};

struct PosRecordType {
    unsigned char type;
    const char *name; // the description of the "Type" line
    const PosField *fields;
    size_t count;
};

constexpr PosEncoding P = PosEncoding::Packed;
constexpr PosEncoding H = PosEncoding::Hex;
constexpr PosEncoding F = PosEncoding::HexFixed;

const PosField kSummaryLogHeader[] = {
    {"Type", 1, H},     {"Terminal", 2, P},   {"Operator", 4, P},   {"TransCount", 2, P},
    {"TranType", 1, H}, {"Numstring", 2, P},  {"GrossPos", 5, P},   {"GrossNeg", 5, H},
    {"NetCash", 4, P},  {"NetNonCash", 4, H}, {"Password", 4, H},   {"Date", 3, P},
    {"Time", 2, P},     {"Indicator0", 3, H}, {"Indicator1", 3, H}, {"RingTime", 4, P},
    {"TendTime", 4, P}, {"NoSLTime", 4, P},   {"INACTime", 4, P},   {"Total Cash", 5, P},
};
const PosField kHeaderExtension[] = {
    {"Type", 1, H},       {"Terminal", 2, P}, {"Operator", 4, P},
    {"TransCount", 2, P}, {"Date", 3, P},     {"Time", 2, P},
};
const PosField kTotals[] = {
    {"Type", 1, H},     {"Term Gross", 5, P}, {"Term NGross", 5, P}, {"Netcash", 4, P},
    {"Netcashc", 4, P}, {"Netcashh", 4, P},   {"loan", 4, P},        {"withdrawal", 4, P},
    {"amtccash", 4, P}, {"xx", 4, P},         {"Indicator0", 1, H},
};
const PosField kStoreClosing[] = {
    {"Type", 1, H},
    {"Date", 3, P},
    {"Time", 2, P},
};
const PosField kMerchandiseString[] = {
    {"Type", 1, H},    {"ItemCode", 11, F},  {"Department", 11, H}, {"Item Amount", 4, P},
    {"TaxPlan", 1, H}, {"Indicator0", 3, H}, {"Indicator1", 1, H},
};
const PosField kMerchandiseExtension[] = {
    {"Type", 1, H},        {"Group", 1, P},    {"Quantity", 4, P},   {"Sales Quantity", 1, P},
    {"Sales Price", 5, P}, {"Override", 1, P}, {"Price Over", 5, P},
};
const PosField kMiscellaneous[] = {
    {"Type", 1, H},     {"Account #", 12, P}, {"Amount", 4, P},
    {"Tax Code", 1, P}, {"Indicator0", 1, H},
};
const PosField kCashTender[] = {
    {"Type", 1, H},
    {"Amount", 2, P},
};
const PosField kCashlikeTender[] = {
    {"Type", 1, H},         {"Tender Type", 1, H}, {"Domestic Value", 5, P}, {"Account #", 12, P},
    {"Account Stat", 1, H}, {"Indicator0", 3, H},  {"Indicator1", 2, H},     {"Face Value", 4, P},
};
const PosField kTax[] = {
    {"Type", 1, H}, {"TAXA", 4, P}, {"TAXB", 4, P},
    {"TAXC", 4, P}, {"TAXD", 4, P}, {"Indicator0", 1, H},
};
const PosField kTimeAnalysis[] = {
    {"Type", 1, H},          {"Operator", 4, P},  {"Terminal", 2, P},
    {"Ring Time", 4, P},     {"Tend Time", 4, P}, {"Non Sales", 4, P},
    {"Inactive Time", 4, P}, {"Time", 2, P},      {"Date", 3, P},
};
const PosField kMaintenance[] = {
    {"Type", 1, H},     {"Date", 3, P},     {"Time", 2, P},
    {"Operator", 4, P}, {"Function", 1, H}, {"FileID", 1, P},
};
const PosField kSignOn[] = {
    {"Type", 1, H},     {"Date", 3, P},     {"Time", 2, P},       {"Operator", 4, P},
    {"Password", 4, H}, {"Terminal", 2, P}, {"TransCount", 2, P}, {"Reason", 1, H},
};
// Only the type is printed for this record.
const PosField kIbmFeatures[] = {
    {"Type", 1, H},
};

template <size_t N>
constexpr PosRecordType recordType(unsigned char type, const char *name,
                                   const PosField (&fields)[N]) {
    return PosRecordType{type, name, fields, N};
}

const PosRecordType kRecordTypes[] = {
    recordType(0x00, "Trasaction Summary Log Header", kSummaryLogHeader),
    recordType(0x01, "Header Extension", kHeaderExtension),
    recordType(0x03, "Totals", kTotals),
    recordType(0x05, "Store Closing", kStoreClosing),
    recordType(0x06, "Merchandise String", kMerchandiseString),
    recordType(0x07, "Merchandise String Extension", kMerchandiseExtension),
    recordType(0x08, "Miscellaneous", kMiscellaneous),
    recordType(0x11, "Cash Tender", kCashTender),
    recordType(0x12, "Cashlike Tender", kCashlikeTender),
    recordType(0x14, "TAX", kTax),
    recordType(0x16, "Time Analysis", kTimeAnalysis),
    recordType(0x18, "Maintenance", kMaintenance),
    recordType(0x19, "Sign On", kSignOn),
    recordType(0x23, "IBM Featues", kIbmFeatures),
};

// How far into the record buffer the decoders of any record may read: every field's bytes
// and its ":", and the byte after the last field.
size_t recordReach() {
    size_t reach = 0;
    for (const PosRecordType &t : kRecordTypes) {
        size_t bytes = 1;
        for (size_t i = 0; i < t.count; ++i)
            bytes += static_cast<size_t>(t.fields[i].maxBytes) + 1;
        reach = bytes > reach ? bytes : reach;
    }
    return reach < kPosRecordSize ? reach : kPosRecordSize;
}

// The index of the record type in kRecordTypes, or -1 for an unknown type.
int findRecordType(unsigned char type) {
    for (size_t t = 0; t < sizeof kRecordTypes / sizeof kRecordTypes[0]; ++t)
        if (kRecordTypes[t].type == type)
            return static_cast<int>(t);
    return -1;
}

// The text of one decoded byte: two or three characters.
struct ByteDigits {
    char text[3];
    uint8_t length;
};

// The decimal text of a packed byte: the high nibble times ten plus the low nibble, at
// least two digits (what "%02ld" gives: "07", "42", "165").
struct PackedTable {
    ByteDigits digits[256] = {};
    constexpr PackedTable() {
        for (int b = 0; b < 256; ++b) {
            int v = (b >> 4) * 10 + (b & 0x0F);
            ByteDigits &d = digits[b];
            if (v >= 100) {
                d.text[0] = static_cast<char>('0' + v / 100);
                d.text[1] = static_cast<char>('0' + v / 10 % 10);
                d.text[2] = static_cast<char>('0' + v % 10);
                d.length = 3;
            } else {
                d.text[0] = static_cast<char>('0' + v / 10);
                d.text[1] = static_cast<char>('0' + v % 10);
                d.length = 2;
            }
        }
    }
};

// Two lower-case hexadecimal digits per byte (what "%02x" gives).
struct HexTable {
    ByteDigits digits[256] = {};
    constexpr HexTable() {
        const char *hex = "0123456789abcdef";
        for (int b = 0; b < 256; ++b) {
            digits[b].text[0] = hex[b >> 4];
            digits[b].text[1] = hex[b & 0x0F];
            digits[b].length = 2;
        }
    }
};

constexpr PackedTable kPackedDigits;
constexpr HexTable kHexDigits;

// The loop shared by the decoders: the text of each byte while the field lasts (never past
// the value's last byte), then a single blank for an empty field and the step over a
// closing ":". Returns the position after the field; the value's length in *used.
int64_t decodeBytes(ByteView record, int64_t position, int32_t maxLength, bool stopAtFieldEnd,
                    char *value, size_t valueSize, const ByteDigits (&table)[256], size_t *used) {
    *used = 0;
    if (valueSize == 0)
        return position;
    const size_t limit = valueSize - 1; // the value's text, before its zero byte
    size_t n = 0;
    for (int32_t remaining = maxLength; remaining > 0; --remaining, ++position) {
        unsigned char byte = record.at(position);
        if (stopAtFieldEnd && byte == kFieldEnd)
            break;
        const ByteDigits &d = table[byte];
        if (n + d.length <= limit) {
            std::memcpy(value + n, d.text, 3); // the value has room for three more bytes
            n += d.length;
        } else {
            for (size_t k = 0; k < d.length && n < limit; ++k)
                value[n++] = d.text[k];
        }
    }
    if (n == 0 && limit > 0)
        value[n++] = ' ';
    value[n] = 0;
    *used = n;
    if (record.at(position) == kFieldEnd)
        ++position;
    return position;
}

int64_t decodePackedField(ByteView record, int64_t position, int32_t maxLength, char *value,
                          size_t valueSize, size_t *used) {
    unsigned char first = record.at(position);
    if ((first & 0xF0) == 0xF0)
        record.setByte(position, static_cast<unsigned char>(first & 0x0F));
    return decodeBytes(record, position, maxLength, true, value, valueSize, kPackedDigits.digits,
                       used);
}

int64_t decodeField(ByteView record, int64_t position, const PosField &field, char *value,
                    size_t valueSize, size_t *used) {
    switch (field.encoding) {
    case PosEncoding::Packed:
        return decodePackedField(record, position, field.maxBytes, value, valueSize, used);
    case PosEncoding::Hex:
        return decodeBytes(record, position, field.maxBytes, true, value, valueSize,
                           kHexDigits.digits, used);
    case PosEncoding::HexFixed:
        break;
    }
    return decodeBytes(record, position, field.maxBytes, false, value, valueSize, kHexDigits.digits,
                       used);
}

constexpr size_t kRecordTypeCount = sizeof kRecordTypes / sizeof kRecordTypes[0];
constexpr size_t kMostFields = 20;

// The field lines of every record type, made once: a line's text depends on the field alone
// (a decoded value is never empty), only its value changes from record to record.
struct PosLines {
    PreparedLine fields[kRecordTypeCount][kMostFields];
    PreparedField lineBreak; // the empty field line between two body lines
};

const PosLines &posLines() {
    static const PosLines *lines = [] {
        auto *made = new PosLines;
        for (size_t t = 0; t < kRecordTypeCount; ++t) {
            const PosRecordType &type = kRecordTypes[t];
            for (size_t i = 0; i < type.count && i < kMostFields; ++i) {
                PreparedField field;
                prepareField(field, type.fields[i].label, 1, i == 0 ? type.name : "");
                made->fields[t][i] = std::move(field.line);
            }
        }
        prepareField(made->lineBreak, "", 0, "");
        return made;
    }();
    return *lines;
}

// One record: every field of its table in order, the record name beside the type. The
// value is written as writeField writes a text of that length.
void writePosRecord(OutputSink &out, size_t typeIndex, ByteView record, char *value) {
    const PosRecordType &type = kRecordTypes[typeIndex];
    const PreparedLine *lines = posLines().fields[typeIndex];
    int64_t position = 0;
    if (out.json) {
        jsonOpen(out, nullptr, '{');
        jsonText(out, "type", type.name);
    }
    for (size_t i = 0; i < type.count; ++i) {
        size_t used = 0;
        position = decodeField(record, position, type.fields[i], value, kPosValueSize, &used);
        int32_t length = static_cast<int32_t>(used);
        if (used == 0 || i >= kMostFields ||
            out.json) { // only with a value buffer too small for a digit
            writeField(out, type.fields[i].label, length, value, i == 0 ? type.name : "");
            continue;
        }
        // The record type's line with this value's length.
        PreparedField field;
        field.line.bytes = lines[i].bytes;
        field.line.size = lines[i].size;
        field.line.padded = lines[i].padded;
        field.length = length;
        field.shown = static_cast<int32_t>(used < kFieldValueRoom ? used : kFieldValueRoom);
        field.blankTest = used >= 32 ? ~0u : (1u << used) - 1;
        putFieldLine(out, field,
                     ByteView{reinterpret_cast<unsigned char *>(value),
                              static_cast<int32_t>(kPosValueSize)});
    }
    if (out.json)
        jsonClose(out);
}

// The message goes to standard error and to the report, each as a heading field line.
void writeUnknownType(OutputSink &out, unsigned char type, char *value) {
    const ByteDigits &d = kHexDigits.digits[type];
    std::memcpy(value, "*** Unknown Type ", 17);
    std::memcpy(value + 17, d.text, 2);
    std::memcpy(value + 19, " ***\n", 6); // with the zero byte
    char line[kFieldLineBufferSize];
    size_t n = formatFieldLine(line, value, 0, textView(""), "");
    line[n] = 0;
    writeErrorText(out, line);
    if (out.json) {
        jsonOpen(out, nullptr, '{');
        jsonText(out, "type", "unknown");
        const char code[3] = {d.text[0], d.text[1], 0};
        jsonText(out, "code", code);
        jsonClose(out);
        return;
    }
    writeBytes(out, line, n);
}

} // namespace

int64_t findText(ByteView data, int64_t start, const char *text, int64_t count) {
    int64_t n = static_cast<int64_t>(std::strlen(text));
    if (n == 0 || count <= 0)
        return -1;
    if (start < 0) {
        count += start;
        start = 0;
    }
    // A match must lie wholly inside the view: the last start position is length - n.
    int64_t last = start + count - 1;
    if (last > data.length - n)
        last = data.length - n;
    int64_t p = start;
    while (p <= last) {
        const void *hit = std::memchr(data.data + p, text[0], static_cast<size_t>(last - p + 1));
        if (!hit)
            return -1;
        p = static_cast<const unsigned char *>(hit) - data.data;
        if (std::memcmp(data.data + p, text, static_cast<size_t>(n)) == 0)
            return p;
        ++p;
    }
    return -1;
}

int64_t decodePacked(ByteView record, int64_t position, int32_t maxLength, char *value,
                     size_t valueSize) {
    size_t used = 0;
    return decodePackedField(record, position, maxLength, value, valueSize, &used);
}

int64_t decodeHex(ByteView record, int64_t position, int32_t maxLength, char *value,
                  size_t valueSize) {
    size_t used = 0;
    return decodeBytes(record, position, maxLength, true, value, valueSize, kHexDigits.digits,
                       &used);
}

int64_t decodeHexFixed(ByteView record, int64_t position, int32_t maxLength, char *value,
                       size_t valueSize) {
    size_t used = 0;
    return decodeBytes(record, position, maxLength, false, value, valueSize, kHexDigits.digits,
                       &used);
}

void writePosLog(OutputSink &out, ByteView body) {
    // Zero bytes past every record's content: the buffer is cleared once, then only the
    // bytes that a record's content or its decoders may have changed are cleared again.
    static const size_t kReach = recordReach();
    unsigned char buffer[kPosRecordSize] = {};
    size_t dirty = 0;
    char value[kPosValueSize] = {};
    const PosLines &lines = posLines();
    const int64_t length = body.length;
    // The end of the current line: its quote + carriage return, or the end of the body.
    auto lineEndFrom = [&](int64_t from) {
        int64_t at = findText(body, from, kLineEnd, length - from);
        return at < 0 ? length : at;
    };

    int64_t current = 0;
    int64_t lineEnd = lineEndFrom(0);
    // Machine-readable output: "records", each {"type": its name, "fields"}.
    if (out.json)
        jsonOpen(out, "records", '[');
    while (current < length - 1) {
        if (current > lineEnd) {
            // Between two lines: an empty field line, then the line feed is skipped.
            if (!out.json)
                writePreparedField(out, lines.lineBreak, textView(""));
            unsigned char c = body.at(current);
            if (c == '\n' || c == '\r')
                ++current;
            lineEnd = lineEndFrom(current);
            continue;
        }
        int64_t separator = findText(body, current + 1, kSeparator, lineEnd - current);
        if (separator < 0)
            separator = lineEnd;

        // The record's content lies between its opening quote and the separator; a longer
        // record is cut to the buffer and one with no room before the separator is empty.
        int64_t contentLength = separator - current - 1;
        if (contentLength < 0)
            contentLength = 0;
        size_t copied = body.copyOut(current + 1, contentLength, reinterpret_cast<char *>(buffer),
                                     sizeof buffer);
        if (dirty > copied)
            std::memset(buffer + copied, 0, dirty - copied);
        dirty = copied > kReach ? copied : kReach;
        current = separator + 2;

        ByteView record{buffer, kPosRecordSize};
        int type = findRecordType(buffer[0]);
        if (type >= 0)
            writePosRecord(out, static_cast<size_t>(type), record, value);
        else
            writeUnknownType(out, buffer[0], value);
    }
    if (out.json)
        jsonClose(out);
}

} // namespace qpeek
