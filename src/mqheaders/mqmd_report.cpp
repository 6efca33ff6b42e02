// Message descriptor report: the heading with the putting application's type, the body
// size and a preview, then every MQMD field on a line of its own.
#include "mqheaders/mqmd_report.h"

#include <cstring>

#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/record_report.h"
#include "report/unknown_message.h"

namespace qpeek {

namespace {

constexpr int kPreviewLimit = 50;
constexpr int32_t kPutApplTypeJava = 15;
constexpr int32_t kPutApplTypeUser = 65536;

constexpr FieldKind I = FieldKind::Decimal;
constexpr FieldKind T = FieldKind::Text;

// Every field of a version-2 descriptor; a version-1 descriptor has the first
// kDescriptorV1Fields of them. Identifiers and the accounting token are bytes; they and the
// application identity are followed by their bytes in hexadecimal.
constexpr FieldLayout kDescriptorFieldTable[] = {
    {"StrucId", mqmd::kStrucId, 4, T},
    {"Version", mqmd::kVersion, 4, I},
    {"Report", mqmd::kReport, 4, I},
    {"MsgType", mqmd::kMsgType, 4, I},
    {"Expiry", mqmd::kExpiry, 4, I},
    {"Feedback", mqmd::kFeedback, 4, I},
    {"Encoding", mqmd::kEncoding, 4, I},
    {"CodedCharSetId", mqmd::kCodedCharSetId, 4, I},
    {"Format", mqmd::kFormat, 8, T},
    {"Priority", mqmd::kPriority, 4, I},
    {"Persistence", mqmd::kPersistence, 4, I},
    {"MsgId", mqmd::kMsgId, 24, FieldKind::QuotedBytes},
    {"CorrelId", mqmd::kCorrelId, 24, FieldKind::QuotedBytes},
    {"BackoutCount", mqmd::kBackoutCount, 4, I},
    {"ReplyToQ", mqmd::kReplyToQ, 48, T},
    {"ReplyToQMgr", mqmd::kReplyToQMgr, 48, T},
    {"UserIdentifier", mqmd::kUserIdentifier, 12, T},
    {"AccountingToken", mqmd::kAccountingToken, 32, FieldKind::Bytes},
    {"ApplIdentityData", mqmd::kApplIdentityData, 32, FieldKind::TextAndHex},
    {"PutApplType", mqmd::kPutApplType, 4, I},
    {"PutApplName", mqmd::kPutApplName, 28, T},
    {"PutDate", mqmd::kPutDate, 8, T},
    {"PutTime", mqmd::kPutTime, 8, T},
    {"ApplOriginData", mqmd::kApplOriginData, 4, T},
    {"GroupId", mqmd::kGroupId, 24, FieldKind::QuotedBytes},
    {"MsgSeqNumber", mqmd::kMsgSeqNumber, 4, I},
    {"Offset", mqmd::kOffset, 4, I},
    {"MsgFlags", mqmd::kMsgFlags, 4, I},
    {"OriginalLength", mqmd::kOriginalLength, 4, I},
};
static_assert(fieldsBackToBack(kDescriptorFieldTable), "fields back to back");
static_assert(sizeof kDescriptorFieldTable / sizeof kDescriptorFieldTable[0] == kDescriptorFields,
              "one line per descriptor field");
static_assert(kDescriptorFieldTable[kDescriptorV1Fields - 1].offset == mqmd::kApplOriginData &&
                  kDescriptorFieldTable[kDescriptorV1Fields].offset == kDescriptorV1Length,
              "a version-1 descriptor ends with ApplOriginData");

const RecordLayout kDescriptorLayout =
    makeLayout("MQMD", "MQMD", "", LineStyle::Descriptor, "", kDescriptorFieldTable);
static_assert(kDescriptorFieldTable[kDescriptorFields - 1].offset + 4 == kMqmdLength,
              "the layout covers the whole descriptor");

// The first fieldCount fields of the descriptor.
RecordLayout descriptorLayout(int fieldCount) {
    RecordLayout layout = kDescriptorLayout;
    if (fieldCount < kDescriptorFields) {
        layout.count = static_cast<size_t>(fieldCount < 0 ? 0 : fieldCount);
        layout.length = kDescriptorFieldTable[layout.count].offset;
    }
    return layout;
}

} // namespace

const RecordLayout kDescriptorV1Layout{"MQMD version 1",
                                       "MQMD",
                                       "",
                                       LineStyle::Descriptor,
                                       "",
                                       kDescriptorFieldTable,
                                       kDescriptorV1Fields,
                                       kDescriptorV1Length};

void writeDescriptorJson(OutputSink &out, const Mqmd &md, bool fromFile) {
    jsonOpen(out, "descriptor", '{');
    jsonBool(out, "default", !fromFile);
    writeRecordMembers(out, kDescriptorLayout,
                       ByteView{const_cast<unsigned char *>(md.bytes), kMqmdLength});
    jsonClose(out);
}

const char *applicationTypeLabel(int32_t type) {
    static const char *const kLabels[] = {"MQAT_UNKNOWN",
                                          "MQAT_NO_CONTEXT",
                                          "MQAT_CICS",
                                          "MQAT_MVS",
                                          "MQAT_IMS",
                                          "MQAT_OS2",
                                          "MQAT_DOS",
                                          "MQAT_UNIX",
                                          "MQAT_QMGR",
                                          "MQAT_OS400",
                                          "MQAT_WINDOWS",
                                          "MQAT_CICS_VSE",
                                          "MQAT_WINDOWS_NT",
                                          "MQAT_VMS",
                                          "MQAT_GUARDIAN",
                                          "MQAT_VOS",
                                          "JAVA"};
    if (type >= -1 && type <= kPutApplTypeJava)
        return kLabels[type + 1];
    if (type == 19)
        return "MQAT_IMS_BRIDGE";
    if (type == 20)
        return "MQAT_XCF";
    if (type >= kPutApplTypeUser)
        return "USER";
    return "Unknown";
}

void writeDescriptorFields(OutputSink &out, ByteView descriptor, bool bigEndian, int fieldCount) {
    RecordLayout layout = descriptorLayout(fieldCount);
    if (out.json)
        writeRecordMembers(out, layout, descriptor, bigEndian);
    else
        writeRecordFields(out, layout, descriptor, 0, bigEndian);
}

void writeMQMD(OutputSink &out, const Mqmd &md, ByteView body) {
    if (!detailFlag() || out.json)
        return;
    int32_t applType = md.integer(mqmd::kPutApplType);
    char preview[kPreviewLimit + 1];
    // A Java application's body preview leaves out the first two bytes.
    previewText(preview, applType == kPutApplTypeJava ? body.from(2) : body, kPreviewLimit);
    writeFormatted(out, "\nMQMD  type(%s) BodySize=%ld msg<%.50s>\n",
                   applicationTypeLabel(applType), static_cast<long>(body.length), preview);

    // The file's descriptor holds its integers in the loader's order (little-endian).
    writeRecordFields(out, kDescriptorLayout,
                      ByteView{const_cast<unsigned char *>(md.bytes), kMqmdLength});
    writeChar(out, '\n');
}

} // namespace qpeek
