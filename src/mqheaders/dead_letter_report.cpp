// Dead-letter, transmission-queue and descriptor-extension headers: their layouts as field
// tables, how they are recognised and in which byte order their integers are read, and their
// report lines. Every read goes through the bounded view of the header.
#include "mqheaders/dead_letter_report.h"

#include "common/mq_header_prefix.h"
#include "mqheaders/mqmd_report.h"
#include "mqheaders/reason_names.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/summary_tags.h"

namespace qpeek {

namespace {

// MQDLH (version 1, 172 bytes).
namespace dlh {
constexpr int32_t kLength = 172;
constexpr int kVersion = 4;
constexpr int kReason = 8;
constexpr int kDestQName = 12;    // 48 characters
constexpr int kDestQMgrName = 60; // 48 characters
constexpr int kEncoding = 108;    // of what follows
constexpr int kCodedCharSetId = 112;
constexpr int kFormat = 116; // 8 characters
constexpr int kPutApplType = 124;
constexpr int kPutApplName = 128; // 28 characters
constexpr int kPutDate = 156;     // 8 characters
constexpr int kPutTime = 164;     // 8 characters
} // namespace dlh

// MQXQH (version 1, 428 bytes): the remote queue, then the original message's descriptor.
namespace xqh {
constexpr int32_t kLength = 428;
constexpr int kVersion = 4;
constexpr int kRemoteQName = 8;                              // 48 characters
constexpr int kRemoteQMgrName = 56;                          // 48 characters
constexpr int kMsgDesc = 104;                                // MQMD version 1, 324 bytes
constexpr int kMsgDescEncoding = kMsgDesc + mqmd::kEncoding; // of what follows the MQXQH
} // namespace xqh

// MQMDE (version 2, StrucLength bytes, at least 72): the common prefix, then the group.
namespace mde {
constexpr int32_t kLength = 72;
constexpr int kGroupId = mqprefix::kLength; // 24 bytes
constexpr int kMsgSeqNumber = kGroupId + 24;
constexpr int kOffset = kMsgSeqNumber + 4;
constexpr int kMsgFlags = kOffset + 4;
constexpr int kOriginalLength = kMsgFlags + 4;
static_assert(kOriginalLength + 4 == kLength, "an MQMDE is 72 bytes");
} // namespace mde

constexpr int kNameLength = 48;
constexpr int kApplNameLength = 28;
constexpr int kDateTimeLength = 8;
constexpr int kGroupIdLength = 24;

// How a field's value is shown on its field line.
enum class ValueKind {
    Heading,    // the header's heading line: no value
    Text,       // the characters, up to a zero byte
    Decimal,    // "%d"
    Hex4,       // "0x%04x"
    Hex8,       // "0x%08x"
    Reason,     // "%d", its MQRC_/MQFB_ name after the description
    ApplType,   // "%d", the application-type label after the description
    Bytes,      // the characters, then every byte in hexadecimal on lines of their own
    Descriptor, // a heading, then the embedded descriptor's lines
};

struct HeaderField {
    const char *name;
    int offset;
    int length;
    ValueKind kind;
    const char *description;
};

constexpr HeaderField kDeadLetterFields[] = {
    {"mqdlh", 0, 0, ValueKind::Heading, " Dead-letter header"},
    {"StructId", 0, 4, ValueKind::Text, " Structure identifier"},
    {"Version", dlh::kVersion, 4, ValueKind::Decimal, " Structure version number"},
    {"Reason", dlh::kReason, 4, ValueKind::Reason,
     " Reason the message arrived on the dead-letter queue"},
    {"DestQName", dlh::kDestQName, kNameLength, ValueKind::Text,
     " Name of original destination queue"},
    {"DestQMgrName", dlh::kDestQMgrName, kNameLength, ValueKind::Text,
     " Name of original destination queue manager"},
    {"Encoding", dlh::kEncoding, 4, ValueKind::Hex4, " Encoding of the data following the MQDLH"},
    {"CodedCharSetId", dlh::kCodedCharSetId, 4, ValueKind::Hex8,
     " Character-set identifier of the data following the MQDLH"},
    {"Format", dlh::kFormat, 8, ValueKind::Text, " Format name of the data following the MQDLH"},
    {"PutApplType", dlh::kPutApplType, 4, ValueKind::ApplType,
     " Type of application that put the message on the dead-letter queue"},
    {"PutApplName", dlh::kPutApplName, kApplNameLength, ValueKind::Text,
     " Name of application that put the message on the dead-letter queue"},
    {"PutDate", dlh::kPutDate, kDateTimeLength, ValueKind::Text,
     " Date the message was put on the dead-letter queue"},
    {"PutTime", dlh::kPutTime, kDateTimeLength, ValueKind::Text,
     " Time the message was put on the dead-letter queue"},
};

constexpr HeaderField kTransmissionFields[] = {
    {"mqxqh", 0, 0, ValueKind::Heading, " Transmission queue header"},
    {"StructId", 0, 4, ValueKind::Text, " Structure identifier"},
    {"Version", xqh::kVersion, 4, ValueKind::Decimal, " Structure version number"},
    {"RemoteQName", xqh::kRemoteQName, kNameLength, ValueKind::Text, " Name of destination queue"},
    {"RemoteQMgrName", xqh::kRemoteQMgrName, kNameLength, ValueKind::Text,
     " Name of destination queue manager"},
    {"MsgDesc", xqh::kMsgDesc, 0, ValueKind::Descriptor, " Original message descriptor"},
};

constexpr HeaderField kDescriptorExtensionFields[] = {
    {"mqmde", 0, 0, ValueKind::Heading, " Message descriptor extension"},
    {"StructId", 0, 4, ValueKind::Text, " Structure identifier"},
    {"Version", mqprefix::kVersion, 4, ValueKind::Decimal, " Structure version number"},
    {"StrucLength", mqprefix::kStrucLength, 4, ValueKind::Decimal, " Length of MQMDE structure"},
    {"Encoding", mqprefix::kEncoding, 4, ValueKind::Hex4,
     " Encoding of the data following the MQMDE"},
    {"CodedCharSetId", mqprefix::kCodedCharSetId, 4, ValueKind::Hex8,
     " Character-set identifier of the data following the MQMDE"},
    {"Format", mqprefix::kFormat, 8, ValueKind::Text,
     " Format name of the data following the MQMDE"},
    {"Flags", mqprefix::kFlags, 4, ValueKind::Hex4, " General flags"},
    {"GroupId", mde::kGroupId, kGroupIdLength, ValueKind::Bytes, " Group identifier"},
    {"MsgSeqNumber", mde::kMsgSeqNumber, 4, ValueKind::Decimal,
     " Sequence number of logical message within group"},
    {"Offset", mde::kOffset, 4, ValueKind::Decimal,
     " Offset of data in physical message from start of logical message"},
    {"MsgFlags", mde::kMsgFlags, 4, ValueKind::Hex4, " Message flags"},
    {"OriginalLength", mde::kOriginalLength, 4, ValueKind::Decimal, " Length of original message"},
};

// The field of that name; a name no field has fails the build (the index runs past the
// table in a constant expression).
constexpr bool sameName(const char *a, const char *b) {
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
template <size_t N> constexpr HeaderField named(const HeaderField (&fields)[N], const char *name) {
    size_t i = 0;
    while (i < N && !sameName(fields[i].name, name))
        ++i;
    return fields[i];
}

// The fields the summary line and the summary tags show.
constexpr HeaderField kReason = named(kDeadLetterFields, "Reason");
constexpr HeaderField kDestQName = named(kDeadLetterFields, "DestQName");
constexpr HeaderField kDestQMgrName = named(kDeadLetterFields, "DestQMgrName");
constexpr HeaderField kPutApplName = named(kDeadLetterFields, "PutApplName");
constexpr HeaderField kPutDate = named(kDeadLetterFields, "PutDate");
constexpr HeaderField kPutTime = named(kDeadLetterFields, "PutTime");
constexpr HeaderField kRemoteQName = named(kTransmissionFields, "RemoteQName");
constexpr HeaderField kRemoteQMgrName = named(kTransmissionFields, "RemoteQMgrName");
constexpr HeaderField kMsgSeqNumber = named(kDescriptorExtensionFields, "MsgSeqNumber");
constexpr HeaderField kOffset = named(kDescriptorExtensionFields, "Offset");
constexpr HeaderField kMsgFlags = named(kDescriptorExtensionFields, "MsgFlags");
constexpr HeaderField kOriginalLength = named(kDescriptorExtensionFields, "OriginalLength");

// What tells the three headers apart, and what decides their length and byte order.
struct HeaderLayout {
    QueueHeaderKind kind;
    const char *strucId;
    int32_t version;  // the Version a header of this kind carries
    int32_t length;   // its length, or the least StrucLength when it has one
    int strucLength;  // offset of StrucLength, or 0 for a header of fixed length
    int nextEncoding; // offset of the Encoding of what follows
    const HeaderField *fields;
    size_t fieldCount;
};

template <size_t N>
constexpr HeaderLayout makeHeader(QueueHeaderKind kind, const char *strucId, int32_t version,
                                  int32_t length, int strucLength, int nextEncoding,
                                  const HeaderField (&fields)[N]) {
    return HeaderLayout{kind, strucId, version, length, strucLength, nextEncoding, fields, N};
}

constexpr HeaderLayout kHeaderLayouts[] = {
    makeHeader(QueueHeaderKind::DeadLetter, "DLH ", 1, dlh::kLength, 0, dlh::kEncoding,
               kDeadLetterFields),
    makeHeader(QueueHeaderKind::Transmission, "XQH ", 1, xqh::kLength, 0, xqh::kMsgDescEncoding,
               kTransmissionFields),
    makeHeader(QueueHeaderKind::DescriptorExtension, "MDE ", 2, mde::kLength,
               mqprefix::kStrucLength, mqprefix::kEncoding, kDescriptorExtensionFields),
};

const HeaderLayout &layoutOf(QueueHeaderKind kind) {
    for (const HeaderLayout &layout : kHeaderLayouts)
        if (layout.kind == kind)
            return layout;
    return kHeaderLayouts[0];
}

int32_t integerAt(ByteView bytes, int64_t offset, bool bigEndian) {
    return bigEndian ? bytes.int32BigEndianAt(offset) : bytes.int32At(offset);
}

int32_t integerOf(const QueueHeader &header, int offset) {
    return integerAt(header.bytes, offset, header.bigEndian);
}

// Room for a trimmed queue name and for any formatted value.
constexpr size_t kValueSize = 64;

// The field's characters without leading and trailing blanks.
const char *trimmed(char (&dst)[kValueSize], const QueueHeader &header, const HeaderField &field) {
    return copyTrimmed(dst, sizeof dst, header.bytes.from(field.offset), field.length);
}

int32_t integerOf(const QueueHeader &header, const HeaderField &field) {
    return integerOf(header, field.offset);
}

// The reason as its number and, when it has one, its name.
void formatReason(char (&dst)[kValueSize], int32_t reason) {
    const char *name = reasonName(reason);
    if (name)
        std::snprintf(dst, sizeof dst, "%d %s", reason, name);
    else
        std::snprintf(dst, sizeof dst, "%d", reason);
}

// The integer as the field's kind shows it: "0x" and at least four or eight hexadecimal
// digits, else in decimal. Returns the length of the text.
int formatInteger(char (&text)[kValueSize], ValueKind kind, int32_t value) {
    switch (kind) {
    case ValueKind::Hex4:
        return std::snprintf(text, sizeof text, "0x%04x", static_cast<uint32_t>(value));
    case ValueKind::Hex8:
        return std::snprintf(text, sizeof text, "0x%08x", static_cast<uint32_t>(value));
    default:
        return std::snprintf(text, sizeof text, "%d", value);
    }
}

void writeNumber(OutputSink &out, const HeaderField &field, int32_t value,
                 const char *description) {
    char text[kValueSize];
    int n = formatInteger(text, field.kind, value);
    if (field.kind == ValueKind::Hex4 || field.kind == ValueKind::Hex8)
        writeField(out, field.name, n, text, description);
    else
        writeDecimalField(out, field.name, text, description);
}

// A description followed by ": " and a name, for values whose name does not fit the value
// columns.
void writeNamedNumber(OutputSink &out, const HeaderField &field, int32_t value, const char *name) {
    char description[256];
    if (name)
        std::snprintf(description, sizeof description, "%s: %s", field.description, name);
    else
        std::snprintf(description, sizeof description, "%s", field.description);
    writeNumber(out, field, value, description);
}

// The bytes in hexadecimal, 24 digits a line, on lines without a name.
void writeHexLines(OutputSink &out, ByteView bytes, int length) {
    constexpr int kBytesPerLine = 12;
    for (int start = 0; start < length; start += kBytesPerLine) {
        char hex[2 * kBytesPerLine + 1];
        int n = 0;
        for (int i = start; i < length && i < start + kBytesPerLine; ++i, n += 2)
            std::snprintf(hex + n, sizeof hex - static_cast<size_t>(n), "%02x",
                          static_cast<unsigned>(bytes.at(i)));
        writeField(out, "", n, hex, "");
    }
}

// Bytes in machine-readable output: a field whose value is every byte in hexadecimal.
void writeJsonBytes(OutputSink &out, const HeaderField &field, ByteView value) {
    constexpr int kBytesLimit = 64;
    static const char kDigits[] = "0123456789abcdef";
    char hex[2 * kBytesLimit + 1];
    int n = field.length < kBytesLimit ? field.length : kBytesLimit;
    for (int i = 0; i < n; ++i) {
        hex[2 * i] = kDigits[value.at(i) >> 4];
        hex[2 * i + 1] = kDigits[value.at(i) & 0xF];
    }
    hex[2 * n] = 0;
    writeField(out, field.name, 2 * n, hex, field.description);
}

void writeHeaderField(OutputSink &out, const QueueHeader &header, const HeaderField &field) {
    ByteView value = header.bytes.from(field.offset);
    switch (field.kind) {
    case ValueKind::Heading:
        writeField(out, field.name, 0, "", field.description);
        break;
    case ValueKind::Text:
        writeField(out, field.name, field.length, value, field.description);
        break;
    case ValueKind::Decimal:
    case ValueKind::Hex4:
    case ValueKind::Hex8:
        writeNumber(out, field, integerOf(header, field.offset), field.description);
        break;
    case ValueKind::Reason: {
        int32_t reason = integerOf(header, field.offset);
        writeNamedNumber(out, field, reason, reasonName(reason));
        break;
    }
    case ValueKind::ApplType: {
        int32_t type = integerOf(header, field.offset);
        writeNamedNumber(out, field, type, applicationTypeLabel(type));
        break;
    }
    case ValueKind::Bytes:
        if (out.json) {
            writeJsonBytes(out, field, value);
            break;
        }
        writeField(out, field.name, field.length, value, field.description);
        writeHexLines(out, value, field.length);
        break;
    case ValueKind::Descriptor:
        if (out.json) {
            jsonBeginObjectField(out, field.name);
            writeDescriptorFields(out, value, header.bigEndian, kDescriptorV1Fields);
            jsonEndObjectField(out, field.description);
            break;
        }
        writeField(out, field.name, 0, "", field.description);
        writeDescriptorFields(out, value, header.bigEndian, kDescriptorV1Fields);
        break;
    }
}

} // namespace

bool bigEndianEncoding(int32_t encoding, bool current) {
    switch (encoding & 0x0F) {
    case 1:
        return true;
    case 2:
        return false;
    default:
        return current;
    }
}

bool readQueueHeader(ByteView at, bool bigEndian, QueueHeader &header) {
    for (const HeaderLayout &layout : kHeaderLayouts) {
        if (!at.startsWith(layout.strucId))
            continue;
        // A Version that reads right only in the other order tells that the header was
        // written in that order.
        bool big = bigEndian;
        if (integerAt(at, 4, big) != layout.version && integerAt(at, 4, !big) == layout.version)
            big = !big;
        int64_t length = layout.length;
        if (layout.strucLength > 0) {
            int32_t strucLength = integerAt(at, layout.strucLength, big);
            if (strucLength < layout.length)
                return false;
            length = strucLength;
        }
        if (length > at.length)
            return false;
        header.kind = layout.kind;
        header.bytes = ByteView{at.data, static_cast<int32_t>(length)};
        header.bigEndian = big;
        header.nextBigEndian = bigEndianEncoding(integerAt(at, layout.nextEncoding, big), big);
        return true;
    }
    return false;
}

const char *queueHeaderType(const QueueHeader &header) {
    switch (header.kind) {
    case QueueHeaderKind::DeadLetter:
        return "MQDLH";
    case QueueHeaderKind::Transmission:
        return "MQXQH";
    default:
        return "MQMDE";
    }
}

void writeQueueHeaderLine(OutputSink &out, const QueueHeader &header) {
    if (out.json) {
        jsonBeginHeader(out, queueHeaderType(header));
        return;
    }
    char line[1024];
    char queue[kValueSize], queueManager[kValueSize];
    switch (header.kind) {
    case QueueHeaderKind::DeadLetter: {
        char reason[kValueSize], application[kValueSize], date[kValueSize], time[kValueSize];
        formatReason(reason, integerOf(header, kReason));
        trimmed(queue, header, kDestQName);
        trimmed(queueManager, header, kDestQMgrName);
        trimmed(application, header, kPutApplName);
        trimmed(date, header, kPutDate);
        trimmed(time, header, kPutTime);
        std::snprintf(line, sizeof line, "Dead letter: %s, destination %s%s%s, put by %s on %s %s",
                      reason, queue, queueManager[0] ? " at " : "", queueManager, application, date,
                      time);
        break;
    }
    case QueueHeaderKind::Transmission:
        trimmed(queue, header, kRemoteQName);
        trimmed(queueManager, header, kRemoteQMgrName);
        std::snprintf(line, sizeof line, "Transmission header: to %s%s%s", queue,
                      queueManager[0] ? " at " : "", queueManager);
        break;
    case QueueHeaderKind::DescriptorExtension:
        std::snprintf(line, sizeof line,
                      "Descriptor extension: sequence number %d, offset %d, flags 0x%04x, "
                      "original length %d",
                      integerOf(header, kMsgSeqNumber), integerOf(header, kOffset),
                      static_cast<uint32_t>(integerOf(header, kMsgFlags)),
                      integerOf(header, kOriginalLength));
        break;
    }
    writeLine(out, line);
}

void writeQueueHeaderFields(OutputSink &out, const QueueHeader &header) {
    if (!detailFlag() && !out.json)
        return;
    const HeaderLayout &layout = layoutOf(header.kind);
    for (size_t i = 0; i < layout.fieldCount; ++i)
        writeHeaderField(out, header, layout.fields[i]);
}

void writeQueueHeaderTags(OutputSink &out, const QueueHeader &header) {
    char queue[kValueSize];
    switch (header.kind) {
    case QueueHeaderKind::DeadLetter:
        char reason[16];
        std::snprintf(reason, sizeof reason, "%d", integerOf(header, kReason));
        writeTag(out, "DLQ", reason);
        writeTag(out, "DQ", trimmed(queue, header, kDestQName));
        break;
    case QueueHeaderKind::Transmission:
        writeTag(out, "XQ", trimmed(queue, header, kRemoteQName));
        break;
    case QueueHeaderKind::DescriptorExtension:
        break;
    }
}

} // namespace qpeek
