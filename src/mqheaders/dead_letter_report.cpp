// Dead-letter, transmission-queue and descriptor-extension headers: their layouts as field
// tables, how they are recognised and in which byte order their integers are read, and their
// report lines. Every read goes through the bounded view of the header.
#include "mqheaders/dead_letter_report.h"

#include "common/mq_header_prefix.h"
#include "mqheaders/mqmd_report.h"
#include "mqheaders/reason_names.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/record_report.h"
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

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind D = FieldKind::Decimal;

constexpr FieldLayout kDeadLetterFields[] = {
    {"StructId", 0, 4, T, " Structure identifier"},
    {"Version", dlh::kVersion, 4, D, " Structure version number"},
    {"Reason", dlh::kReason, 4, D, " Reason the message arrived on the dead-letter queue",
     reasonName},
    {"DestQName", dlh::kDestQName, kNameLength, T, " Name of original destination queue"},
    {"DestQMgrName", dlh::kDestQMgrName, kNameLength, T,
     " Name of original destination queue manager"},
    {"Encoding", dlh::kEncoding, 4, FieldKind::Hex4, " Encoding of the data following the MQDLH"},
    {"CodedCharSetId", dlh::kCodedCharSetId, 4, FieldKind::Hex8,
     " Character-set identifier of the data following the MQDLH"},
    {"Format", dlh::kFormat, 8, T, " Format name of the data following the MQDLH"},
    {"PutApplType", dlh::kPutApplType, 4, D,
     " Type of application that put the message on the dead-letter queue", applicationTypeLabel},
    {"PutApplName", dlh::kPutApplName, kApplNameLength, T,
     " Name of application that put the message on the dead-letter queue"},
    {"PutDate", dlh::kPutDate, kDateTimeLength, T,
     " Date the message was put on the dead-letter queue"},
    {"PutTime", dlh::kPutTime, kDateTimeLength, T,
     " Time the message was put on the dead-letter queue"},
};
static_assert(fieldsBackToBack(kDeadLetterFields), "fields back to back");

constexpr FieldLayout kTransmissionFields[] = {
    {"StructId", 0, 4, T, " Structure identifier"},
    {"Version", xqh::kVersion, 4, D, " Structure version number"},
    {"RemoteQName", xqh::kRemoteQName, kNameLength, T, " Name of destination queue"},
    {"RemoteQMgrName", xqh::kRemoteQMgrName, kNameLength, T, " Name of destination queue manager"},
    {"MsgDesc", xqh::kMsgDesc, kDescriptorV1Length, FieldKind::Record,
     " Original message descriptor", nullptr, &kDescriptorV1Layout},
};
static_assert(fieldsBackToBack(kTransmissionFields), "fields back to back");

constexpr FieldLayout kDescriptorExtensionFields[] = {
    {"StructId", 0, 4, T, " Structure identifier"},
    {"Version", mqprefix::kVersion, 4, D, " Structure version number"},
    {"StrucLength", mqprefix::kStrucLength, 4, D, " Length of MQMDE structure"},
    {"Encoding", mqprefix::kEncoding, 4, FieldKind::Hex4,
     " Encoding of the data following the MQMDE"},
    {"CodedCharSetId", mqprefix::kCodedCharSetId, 4, FieldKind::Hex8,
     " Character-set identifier of the data following the MQMDE"},
    {"Format", mqprefix::kFormat, 8, T, " Format name of the data following the MQMDE"},
    {"Flags", mqprefix::kFlags, 4, FieldKind::Hex4, " General flags"},
    {"GroupId", mde::kGroupId, kGroupIdLength, FieldKind::Bytes, " Group identifier"},
    {"MsgSeqNumber", mde::kMsgSeqNumber, 4, D, " Sequence number of logical message within group"},
    {"Offset", mde::kOffset, 4, D,
     " Offset of data in physical message from start of logical message"},
    {"MsgFlags", mde::kMsgFlags, 4, FieldKind::Hex4, " Message flags"},
    {"OriginalLength", mde::kOriginalLength, 4, D, " Length of original message"},
};
static_assert(fieldsBackToBack(kDescriptorExtensionFields), "fields back to back");

// The heading line of each dump, then its fields.
constexpr RecordLayout kDeadLetterLayout =
    makeLayout("MQDLH", "mqdlh", " Dead-letter header", LineStyle::Field, "", kDeadLetterFields);
constexpr RecordLayout kTransmissionLayout = makeLayout(
    "MQXQH", "mqxqh", " Transmission queue header", LineStyle::Field, "", kTransmissionFields);
constexpr RecordLayout kDescriptorExtensionLayout =
    makeLayout("MQMDE", "mqmde", " Message descriptor extension", LineStyle::Field, "",
               kDescriptorExtensionFields);
static_assert(kDeadLetterLayout.length == dlh::kLength, "an MQDLH is 172 bytes");
static_assert(kTransmissionLayout.length == xqh::kLength, "an MQXQH is 428 bytes");
static_assert(kDescriptorExtensionLayout.length == mde::kLength, "an MQMDE is 72 bytes");

// The field of that name; a name no field has fails the build.
constexpr const FieldLayout &named(const RecordLayout &layout, const char *name) {
    return *fieldNamed(layout, name);
}

// The fields the summary line and the summary tags show.
constexpr const FieldLayout &kReason = named(kDeadLetterLayout, "Reason");
constexpr const FieldLayout &kDestQName = named(kDeadLetterLayout, "DestQName");
constexpr const FieldLayout &kDestQMgrName = named(kDeadLetterLayout, "DestQMgrName");
constexpr const FieldLayout &kPutApplName = named(kDeadLetterLayout, "PutApplName");
constexpr const FieldLayout &kPutDate = named(kDeadLetterLayout, "PutDate");
constexpr const FieldLayout &kPutTime = named(kDeadLetterLayout, "PutTime");
constexpr const FieldLayout &kRemoteQName = named(kTransmissionLayout, "RemoteQName");
constexpr const FieldLayout &kRemoteQMgrName = named(kTransmissionLayout, "RemoteQMgrName");
constexpr const FieldLayout &kMsgSeqNumber = named(kDescriptorExtensionLayout, "MsgSeqNumber");
constexpr const FieldLayout &kOffset = named(kDescriptorExtensionLayout, "Offset");
constexpr const FieldLayout &kMsgFlags = named(kDescriptorExtensionLayout, "MsgFlags");
constexpr const FieldLayout &kOriginalLength = named(kDescriptorExtensionLayout, "OriginalLength");

// What tells the three headers apart, and what decides their length and byte order.
struct HeaderLayout {
    QueueHeaderKind kind;
    const char *strucId;
    int32_t version;  // the Version a header of this kind carries
    int32_t length;   // its length, or the least StrucLength when it has one
    int strucLength;  // offset of StrucLength, or 0 for a header of fixed length
    int nextEncoding; // offset of the Encoding of what follows
    const RecordLayout *record;
};

constexpr HeaderLayout kHeaderLayouts[] = {
    {QueueHeaderKind::DeadLetter, "DLH ", 1, dlh::kLength, 0, dlh::kEncoding, &kDeadLetterLayout},
    {QueueHeaderKind::Transmission, "XQH ", 1, xqh::kLength, 0, xqh::kMsgDescEncoding,
     &kTransmissionLayout},
    {QueueHeaderKind::DescriptorExtension, "MDE ", 2, mde::kLength, mqprefix::kStrucLength,
     mqprefix::kEncoding, &kDescriptorExtensionLayout},
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
const char *trimmed(char (&dst)[kValueSize], const QueueHeader &header, const FieldLayout &field) {
    return copyTrimmed(dst, sizeof dst, header.bytes.from(field.offset), field.length);
}

int32_t integerOf(const QueueHeader &header, const FieldLayout &field) {
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
    writeRecord(out, *layoutOf(header.kind).record, header.bytes, 0, header.bigEndian);
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
