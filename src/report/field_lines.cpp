// The field-line model: field lines prepared at fixed columns and their values put in,
// blank suppression, the long-name field line, trimming.
#include "report/field_lines.h"

#include "report/json_output.h"

#include <cstring>

namespace qpeek {

int gDetailFlag = 0;

namespace {

constexpr size_t kFieldNameColumn = 2;

constexpr size_t kLongValueColumn = 35;
constexpr size_t kLongDescriptionColumn = 50;
constexpr size_t kLongLineEnd = 78;

// Copies text into the line at the column, never past the byte before the line's last.
size_t placeText(char *line, size_t lineSize, size_t column, const char *text) {
    size_t room = lineSize - 1 - column;
    size_t n = std::strlen(text);
    if (n > room)
        n = room;
    std::memcpy(line + column, text, n);
    return n;
}

// The start of a field line: blanks up to the description column, the name over them at
// column 2 (column 0 for a heading line, length <= 0) and cut at the description column, and
// the blank before the value column.
void placeFieldName(char *line, const char *name, int32_t length, size_t valueColumn,
                    size_t descriptionColumn) {
    std::memset(line, ' ', descriptionColumn);
    size_t nameColumn = length > 0 ? kFieldNameColumn : 0;
    size_t nameLength = std::strlen(name);
    if (nameLength > descriptionColumn - nameColumn)
        nameLength = descriptionColumn - nameColumn;
    std::memcpy(line + nameColumn, name, nameLength);
    line[valueColumn - 1] = ' ';
}

bool suppressed(ByteView value, int32_t length) {
    return length > 0 && !hasContent(value, length) && !gDetailFlag;
}

// The blank test mask of a field: its value bytes among the first 32.
uint32_t blankTestOf(int32_t length) {
    return length >= 32 ? ~0u : length > 0 ? (1u << length) - 1 : 0;
}

size_t paddedSize(size_t size) {
    size_t blocks = (size + kPreparedCopyBlock - 1) / kPreparedCopyBlock;
    size_t padded = blocks * kPreparedCopyBlock;
    return padded < kPreparedLineMinimum ? kPreparedLineMinimum : padded;
}
} // namespace

int setDetailFlag(int value) {
    gDetailFlag = value;
    return gDetailFlag;
}

namespace {
// Prepares a field line in line (kFieldLineSize bytes); returns its length, line end
// included. Only the bytes that are written are filled: blanks up to the description
// column, the name over them (cut there: the description or the line end replaces the
// rest), the blank before the value column, the description and the line end.
size_t prepareFieldLine(char *line, const char *name, int32_t length, const char *description) {
    placeFieldName(line, name, length, kFieldValueColumn, kFieldDescriptionColumn);
    size_t end = kFieldDescriptionColumn;
    if (description && *description)
        end += placeText(line, kFieldLineSize, kFieldDescriptionColumn, description);
    line[end] = '\n';
    return end + 1;
}
} // namespace

void writeField(OutputSink &out, const char *name, int32_t length, ByteView value,
                const char *description) {
    if (out.json) {
        jsonTextField(out, name, length, value, description);
        return;
    }
    // The line is prepared, then the value put into it, like a prepared field's.
    char bytes[kFieldLineBufferSize];
    PreparedField field;
    field.line.bytes = bytes;
    field.line.size = prepareFieldLine(bytes, name, length, description);
    field.line.padded = paddedSize(field.line.size);
    std::memset(bytes + field.line.size, ' ', field.line.padded - field.line.size);
    field.length = length;
    field.shown = shownValueBytes(length);
    field.blankTest = blankTestOf(length);
    putFieldLine(out, field, value);
}

// Eight bytes at a time while none of them is zero.
void copyValueText(char *to, ByteView value, int32_t limit) {
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

size_t formatFieldLine(char (&line)[kFieldLineBufferSize], const char *name, int32_t length,
                       ByteView value, const char *description) {
    size_t size = prepareFieldLine(line, name, length, description);
    copyValueText(line + kFieldValueColumn, value, shownValueBytes(length));
    return size;
}

void prepareLine(PreparedLine &line, const char *bytes, size_t size) {
    line.size = size;
    line.padded = paddedSize(size);
    line.storage.reset(new char[line.padded]);
    std::memcpy(line.storage.get(), bytes, size);
    std::memset(line.storage.get() + size, ' ', line.padded - size);
    line.bytes = line.storage.get();
}

void prepareField(PreparedField &field, const char *name, int32_t length, const char *description) {
    char line[kFieldLineSize];
    prepareLine(field.line, line, prepareFieldLine(line, name, length, description));
    field.length = length;
    field.shown = shownValueBytes(length);
    field.blankTest = blankTestOf(length);
}

#if defined(QPEEK_FIELD_VECTORS)
alignas(64) const unsigned char kPrefixMaskBytes[2 * kVectorValueBytes] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
#endif

void writeField(OutputSink &out, const char *name, int32_t length, const char *value,
                const char *description) {
    writeField(out, name, length, textView(value ? value : ""), description);
}

void writeLongNameField(OutputSink &out, const char *name, int32_t length, ByteView value,
                        const char *description) {
    if (out.json) {
        jsonTextField(out, name, length, value, description);
        return;
    }
    if (suppressed(value, length))
        return;
    // Only the columns that can show are filled: blanks, the name over them (the description
    // replaces it from its column on), the blank before the value column, the value (a
    // missing byte is a zero byte, which ends the line), the description up to the last
    // column. The line ends at its first zero byte.
    char line[kLongLineEnd + 1];
    placeFieldName(line, name, length, kLongValueColumn, kLongDescriptionColumn);
    if (length > 0) {
        // Value bytes from column 50 on are replaced by the description: copy what shows.
        int64_t room = static_cast<int64_t>(kLongDescriptionColumn - kLongValueColumn);
        value.copyOut(0, length < room ? length : room, line + kLongValueColumn,
                      static_cast<size_t>(room));
    }
    const char *d = description ? description : "";
    size_t end = kLongDescriptionColumn + strnlen(d, kLongLineEnd - kLongDescriptionColumn);
    std::memcpy(line + kLongDescriptionColumn, d, end - kLongDescriptionColumn);
    const void *zero = std::memchr(line, 0, end);
    if (zero)
        end = static_cast<size_t>(static_cast<const char *>(zero) - line);
    line[end] = '\n';
    writeBytes(out, line, end + 1);
}

int hasContent(ByteView value, int32_t length) {
    // Bytes past the end of the view read as zero bytes, which are not blanks. Blank fields
    // are common and long: sixteen or eight bytes are compared at a time.
    int64_t inside = value.available(0, length);
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    int64_t i = 0;
    for (; i + 16 <= inside; i += 16) {
        uint64_t first, second;
        std::memcpy(&first, value.data + i, sizeof first);
        std::memcpy(&second, value.data + i + 8, sizeof second);
        if (((first ^ kBlanks) | (second ^ kBlanks)) != 0)
            return 1;
    }
    for (; i + 8 <= inside; i += 8) {
        uint64_t word;
        std::memcpy(&word, value.data + i, sizeof word);
        if (word != kBlanks)
            return 1;
    }
    for (; i < inside; ++i)
        if (value.data[i] != ' ')
            return 1;
    return length > inside ? 1 : 0;
}

char *copyTrimmed(char *dst, size_t dstSize, ByteView value, int32_t length) {
    if (dstSize == 0)
        return dst;
    dst[0] = 0;
    int64_t i = 0;
    int64_t remaining = length;
    while (remaining > 0 && value.at(i) == ' ') {
        ++i;
        --remaining;
    }
    if (remaining <= 0)
        return dst;
    size_t n = value.copyOut(i, remaining, dst, dstSize - 1);
    dst[n] = 0;
    // Trailing blanks become zeros; a trailing zero byte stops this, and the first copied
    // byte is never touched.
    for (size_t k = n; k > 1 && dst[k - 1] == ' '; --k)
        dst[k - 1] = 0;
    return dst;
}

} // namespace qpeek
