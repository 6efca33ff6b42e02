// IMS bridge header report: the MQIIH layout as a table, printed field by field (-d only).
#include "mqheaders/iih_report.h"

#include "common/mq_header_prefix.h"
#include "report/field_lines.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

constexpr int32_t kNameLength = 8;
constexpr int32_t kTranInstanceIdLength = 16;

// The fields after the common prefix, each where the one before it ends.
constexpr int32_t kLTermOverride = mqprefix::kLength;
constexpr int32_t kMFSMapName = kLTermOverride + kNameLength;
constexpr int32_t kReplyToFormat = kMFSMapName + kNameLength;
constexpr int32_t kAuthenticator = kReplyToFormat + mqprefix::kFormatLength;
constexpr int32_t kTranInstanceId = kAuthenticator + kNameLength;
constexpr int32_t kTranState = kTranInstanceId + kTranInstanceIdLength;
constexpr int32_t kCommitMode = kTranState + 1;
constexpr int32_t kSecurityScope = kCommitMode + 1;
constexpr int32_t kReserved = kSecurityScope + 1;

constexpr FieldKind T = FieldKind::Text;

// The transaction instance identifier is followed by its bytes in hexadecimal; the field
// line shows the first 25 characters of them.
constexpr FieldLayout kIihFields[] = {
    {"StructId", mqprefix::kStrucId, mqprefix::kStrucIdLength, T, " Structure identifier"},
    {"Version", mqprefix::kVersion, 4, FieldKind::Decimal, " Structure version number"},
    {"StrucLength", mqprefix::kStrucLength, 4, FieldKind::Decimal,
     " Length of MQIIH structure and associated option data "},
    {"Encoding", mqprefix::kEncoding, 4, FieldKind::Hex4, " Reserved "},
    {"CodedCharSetId", mqprefix::kCodedCharSetId, 4, FieldKind::Hex8, " Reserved "},
    {"Format", mqprefix::kFormat, mqprefix::kFormatLength, T, " MQ format name "},
    {"Flags", mqprefix::kFlags, 4, FieldKind::Hex4, " Reserved "},
    {"LTermOverride", kLTermOverride, kNameLength, T, " Logical terminal override "},
    {"MFSMapName", kMFSMapName, kNameLength, T, " Message format services map name "},
    {"ReplyToFormat", kReplyToFormat, mqprefix::kFormatLength, T,
     " MQ format name of reply message "},
    {"Authenticator", kAuthenticator, kNameLength, T, " RACF password or passticket "},
    {"TranInstanceId", kTranInstanceId, kTranInstanceIdLength, FieldKind::TextAndHex,
     " Transaction instance identifier "},
    {"TranState", kTranState, 1, FieldKind::Byte, " Transaction state "},
    {"CommitMode", kCommitMode, 1, FieldKind::Byte, " Commit mode "},
    {"SecurityScope", kSecurityScope, 1, FieldKind::Byte, " Security scope "},
    {"Reserved", kReserved, 1, FieldKind::Byte, " Reserved "},
};
static_assert(fieldsBackToBack(kIihFields), "fields back to back");

} // namespace

const RecordLayout kIihLayout =
    makeLayout("MQIIH", "mqiih", " Control record for the interface to the MQI subsys",
               LineStyle::Field, "", kIihFields);
static_assert(kReserved + 1 == 84, "an MQIIH is 84 bytes");

void writeIIH(OutputSink &out, ByteView header) {
    if (!detailFlag() && !out.json)
        return;
    writeRecord(out, kIihLayout, header);
}

} // namespace qpeek
