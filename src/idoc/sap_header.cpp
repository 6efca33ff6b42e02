// The SAP header report: the MQSAPH block, printed whenever an IDoc body begins with
// "SAPH", whatever the detail flag says.
#include "idoc/sap_header.h"

#include "common/mq_header_prefix.h"
#include "common/record_layout.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

// The fields after the common prefix, each where the one before it ends.
constexpr int32_t kClientLength = 3;
constexpr int32_t kHostNameLength = 48;
constexpr int32_t kUserIdLength = 12;
constexpr int32_t kPasswordLength = 8;
constexpr int32_t kSystemNumberLength = 2;
constexpr int32_t kClient = mqprefix::kLength;
constexpr int32_t kLanguage = kClient + kClientLength;
constexpr int32_t kHostName = kLanguage + 1;
constexpr int32_t kUserId = kHostName + kHostNameLength;
constexpr int32_t kPassword = kUserId + kUserIdLength;
constexpr int32_t kSystemNumber = kPassword + kPasswordLength;
// Two reserved bytes end the 108-byte header; the byte after it, with the usual length the
// control record's first, is shown as the dummy field.
constexpr int32_t kHeaderLength = kSystemNumber + kSystemNumberLength + 2;
static_assert(kHeaderLength == 108, "an MQSAPH is 108 bytes");

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind D = FieldKind::Decimal;

// Every field is shown at its own width; of the password only the first character.
constexpr FieldLayout kSapHeaderFields[] = {
    {"Structure Id", mqprefix::kStrucId, mqprefix::kStrucIdLength, T},
    {"Struct. version", mqprefix::kVersion, 4, D},
    {"Struct. length", mqprefix::kStrucLength, 4, D},
    {"Data encoding", mqprefix::kEncoding, 4, D},
    {"Data CCSID", mqprefix::kCodedCharSetId, 4, D},
    {"Message format", mqprefix::kFormat, mqprefix::kFormatLength, T},
    {"Flags", mqprefix::kFlags, 4, D},
    {"R/3 Client Id", kClient, kClientLength, T},
    {"R/3 language", kLanguage, 1, FieldKind::Character},
    {"R/3 host name", kHostName, kHostNameLength, T},
    {"R/3 user Id", kUserId, kUserIdLength, T},
    {"R/3 password", kPassword, kPasswordLength, FieldKind::Initial},
    {"R/3 systen no.", kSystemNumber, kSystemNumberLength, T},
};
static_assert(fieldsBackToBack(kSapHeaderFields), "fields back to back");
constexpr FieldLayout kDummyFields[] = {
    {"Dummy field", kHeaderLength, 1, FieldKind::Byte},
};

const RecordLayout kSapHeaderLayout =
    makeLayout("MQSAPH", "MQSAPH 108", "", LineStyle::Assignment, "", kSapHeaderFields);
const RecordLayout kDummyLayout =
    makeLayout("MQSAPH dummy field", "", "", LineStyle::Assignment, "", kDummyFields);

} // namespace

void writeMQSAPH(OutputSink &out, ByteView header) {
    writeRecord(out, kSapHeaderLayout, header);
    writeRecordFields(out, kDummyLayout, header);
}

} // namespace qpeek
