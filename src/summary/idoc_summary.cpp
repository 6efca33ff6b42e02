// IDoc summary entry: the IDoc number and type from the control record, then selected values
// of selected segments as summary tags. Everything is read at fixed offsets from a table of
// segment rows; the parser-definition files are not used.
#include "summary/idoc_summary.h"

#include <cstring>

#include "common/idoc_records.h"
#include "common/mq_header_prefix.h"
#include "report/field_lines.h"
#include "report/summary_tags.h"

namespace qpeek {

namespace {

// MQSAPH in front of the IDoc: its structure length (native byte order, never swapped)
// says how far the IDoc starts into the body.
constexpr char kSapHeaderId[] = "SAPH";

// The control record forms, tested in this order ("EDI_DC" also begins "EDI_DC40").
struct ControlRecordForm {
    const char *id;
    int32_t length;
    int32_t typeOffset;
    int32_t dataOffset;             // segment data offset of the data records
    int32_t dataOffsetBehindHeader; // the same behind an MQSAPH
};
constexpr ControlRecordForm kControlRecordForms[] = {
    {"EDI_DC40", 524, 39, 30, 63},
    {"EDI_DC", 464, 423, 10, 55},
};
constexpr int32_t kIdocNumberOffset = 13;
constexpr int32_t kIdocNumberLength = 16;
constexpr int32_t kIdocTypeLength = 8;

// A body that began "SAPH" but has no control record behind the header.
constexpr int32_t kDefaultDataOffset = 10;

// The longest field of the table is 40 characters.
constexpr size_t kValueSize = 41;

enum class TagWhen {
    Always,     // written also with an empty value: "()"
    IfNotEmpty, // skipped when the trimmed value is empty
};

enum class TagValue {
    Trimmed,    // the field without leading and trailing blanks
    CutAtPoint, // the same, cut before its first "." that follows another character
    Status,     // single characters of the segment put together, then trimmed
};

// A status value is made of at most three single characters of the segment data.
struct StatusLetters {
    int32_t count;
    int32_t offsets[3];
};

struct SummaryTag {
    TagForm form;
    TagValue value;
    int32_t offset; // from the start of the segment data area
    int32_t length;
    TagWhen when;
    StatusLetters letters; // Status only
};

enum class SegmentCondition {
    None,
    QuantityNotZero, // the decimal integer at the condition offset is not zero
};

constexpr size_t kMaxTagsPerRow = 4;

struct SegmentRow {
    const char *key; // compared over its own length, so "E2KOMG" matches any seventh character
    SummaryTag tags[kMaxTagsPerRow]; // ends at the first tag without a code
    SegmentCondition condition = SegmentCondition::None;
    int32_t conditionOffset = 0;
};

constexpr StatusLetters kNoLetters = {0, {0, 0, 0}};

constexpr SummaryTag text(int32_t offset, int32_t length, TagForm form, TagWhen when) {
    return SummaryTag{form, TagValue::Trimmed, offset, length, when, kNoLetters};
}

constexpr SummaryTag quantity(int32_t offset, int32_t length, TagForm form) {
    return SummaryTag{form, TagValue::CutAtPoint, offset, length, TagWhen::Always, kNoLetters};
}

constexpr SummaryTag status(StatusLetters letters) {
    return SummaryTag{tag("S"), TagValue::Status, 0, 0, TagWhen::IfNotEmpty, letters};
}

constexpr TagWhen kAlways = TagWhen::Always;
constexpr TagWhen kIfNotEmpty = TagWhen::IfNotEmpty;

// The segments the summary knows, in the order their keys are compared.
constexpr SegmentRow kSegmentRows[] = {
    {"E2EDKA1", {text(3, 17, tag("C"), kIfNotEmpty)}},
    {"E2EDP01", {quantity(11, 15, itemTag("Q"))}},
    {"E2EDK02", {text(3, 6, tag("PO"), kAlways)}},
    {"E2EDP19", {text(3, 35, tag("M"), kAlways)}},
    {"E2CVBAP",
     {text(17, 18, itemTag("M"), kAlways), text(90, 40, tag("D"), kAlways),
      text(573, 10, tag("O"), kIfNotEmpty), text(1, 10, tag("O"), kIfNotEmpty)}},
    {"E2ICIT0", {quantity(116, 15, tag("Q"))}},
    // Stock lines whose total quantity is zero are left out.
    {"E2ICSL0",
     {text(0, 18, itemTag("M"), kAlways), quantity(291, 18, tag("TQ"))},
     SegmentCondition::QuantityNotZero,
     291},
    {"E2KOMG", {text(91, 18, tag("M"), kAlways)}},
    {"E2KONP ", {text(64, 16, tag("P"), kAlways)}},
    {"E2KNA1M",
     {text(0, 3, paddedTag("F", 3), kAlways), text(3, 10, tag("C"), kAlways),
      text(436, 10, tag("PW"), kAlways)}},
    {"E2KNVKM", {text(48, 35, tag("N"), kAlways)}},
    // Overall and item status; the character at offset 18 of E2CVBUK is not part of it.
    {"E2CVBUK", {status({3, {16, 17, 19}})}},
    {"E2CVBUP", {status({2, {19, 20, 0}})}},
    {"E2CVBRK", {text(399, 20, tag("PO"), kAlways)}},
    {"E2CVBRP",
     {text(256, 18, itemTag("M"), kAlways), text(274, 40, tag("D"), kAlways),
      text(222, 10, tag("O"), kAlways)}},
    {"E2CLIPS",
     {text(47, 18, itemTag("M"), kAlways), text(283, 40, tag("D"), kAlways),
      text(349, 10, tag("O"), kAlways)}},
    {"E2CVBAK", {text(241, 20, tag("PO"), kAlways)}},
    // The movement type closes the entry's last line: no blank after it.
    {"E2MBXYI",
     {text(2, 18, itemTag("M"), kAlways), text(115, 15, tag("Q"), kAlways),
      text(20, 4, closingTag("T"), kAlways)}},
};

const SegmentRow *findSegmentRow(ByteView record) {
    for (const SegmentRow &row : kSegmentRows)
        if (record.startsWith(row.key))
            return &row;
    return nullptr;
}

bool isSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The integer conversion of the standard library applied at the offset, reduced to the one
// question the summary asks: white space, a sign, then digits for as long as they go on (past
// the field, never past the body, whose end reads as a zero byte). The number is not zero
// when any of its digits is not; 0.750 stops at the point and is zero.
bool decimalIsNotZero(ByteView data, int64_t offset) {
    int64_t i = offset;
    while (isSpace(data.at(i)))
        ++i;
    if (data.at(i) == '+' || data.at(i) == '-')
        ++i;
    for (; isDigit(data.at(i)); ++i)
        if (data.at(i) != '0')
            return true;
    return false;
}

// Cuts the value before its first "." that follows another character: 10.000 becomes 10,
// leading dots stay (..5.3 becomes ..5) and a value of dots alone is left as it is.
void cutAtPoint(char *value) {
    char *p = value;
    while (*p == '.')
        ++p;
    if (char *point = std::strchr(p, '.'))
        *point = 0;
}

// The tag's value, trimmed, into value (kValueSize bytes).
void copyTagValue(char *value, const SummaryTag &tag, ByteView data) {
    if (tag.value == TagValue::Status) {
        char letters[4] = {};
        for (int32_t i = 0; i < tag.letters.count; ++i)
            letters[i] = static_cast<char>(data.at(tag.letters.offsets[i]));
        ByteView built = textView(letters); // ends at a zero character among the letters
        copyTrimmed(value, kValueSize, built, built.length);
        return;
    }
    copyTrimmed(value, kValueSize, data.from(tag.offset), tag.length);
    if (tag.value == TagValue::CutAtPoint)
        cutAtPoint(value);
}

void writeSegmentTags(OutputSink &out, const SegmentRow &row, ByteView data) {
    if (row.condition == SegmentCondition::QuantityNotZero &&
        !decimalIsNotZero(data, row.conditionOffset))
        return;
    char value[kValueSize];
    for (const SummaryTag &tag : row.tags) {
        if (!tag.form.code)
            break;
        copyTagValue(value, tag, data);
        if (tag.when == TagWhen::IfNotEmpty && value[0] == 0)
            continue;
        writeTag(out, tag.form, value);
    }
}

} // namespace

void writeIDocSummary(OutputSink &out, const Mqmd &md, ByteView body) {
    (void)md;
    int64_t start = 0;
    bool behindHeader = false;
    if (body.startsWith(kSapHeaderId)) {
        // A header that claims more than the body (or a negative length) leaves no IDoc.
        int32_t headerLength = body.int32At(mqprefix::kStrucLength);
        if (headerLength < 0 || headerLength > body.length)
            return;
        start = headerLength;
        behindHeader = true;
    }

    char value[kValueSize];
    int32_t dataOffset = kDefaultDataOffset;
    ByteView control = body.from(start);
    for (const ControlRecordForm &form : kControlRecordForms) {
        if (!control.startsWith(form.id))
            continue;
        copyTrimmed(value, sizeof value, control.from(kIdocNumberOffset), kIdocNumberLength);
        writeTag(out, paddedTag("IDOC", 16), value);
        copyTrimmed(value, sizeof value, control.from(form.typeOffset), kIdocTypeLength);
        if (value[0])
            writeTag(out, "Type", value);
        start += form.length;
        dataOffset = behindHeader ? form.dataOffsetBehindHeader : form.dataOffset;
        break;
    }

    // The walk's bound counts from the start of the body, MQSAPH included, and a record is
    // begun while at least two bytes of the body remain at its position.
    const int64_t recordLength = kIdocSegmentDataLength + dataOffset;
    const int64_t end = static_cast<int64_t>(body.length) - 1;
    for (int64_t position = start; position < end; position += recordLength) {
        ByteView record = body.from(position);
        if (const SegmentRow *row = findSegmentRow(record))
            writeSegmentTags(out, *row, record.from(dataOffset));
    }
}

} // namespace qpeek
