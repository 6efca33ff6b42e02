// Message descriptor report: the heading with the putting application's type, the body
// size and a preview, then every MQMD field on a line of its own.
#include "mqheaders/mqmd_report.h"

#include "driver/dispatch.h"
#include "driver/report_lines.h"

namespace qpeek {

namespace {

constexpr int kPreviewLimit = 50;
constexpr int32_t kPutApplTypeJava = 15;
constexpr int32_t kPutApplTypeUser = 65536;

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

// A byte field as lower-case hexadecimal digits between x' and '.
void writeHexLine(FILE *out, const Mqmd &md, int offset, int length) {
    char hex[2 * 32 + 1];
    static const char kDigits[] = "0123456789abcdef";
    for (int i = 0; i < length; ++i) {
        hex[2 * i] = kDigits[md.bytes[offset + i] >> 4];
        hex[2 * i + 1] = kDigits[md.bytes[offset + i] & 0xF];
    }
    hex[2 * length] = 0;
    std::fprintf(out, "                   x'%s'\n", hex);
}

} // namespace

void writeMQMD(FILE *out, const Mqmd &md, ByteView body) {
    if (!detailFlag())
        return;
    using namespace mqmd;
    int32_t applType = md.integer(kPutApplType);
    char preview[kPreviewLimit + 1];
    // A Java application's body preview leaves out the first two bytes.
    previewText(preview, applType == kPutApplTypeJava ? body.from(2) : body, kPreviewLimit);
    std::fprintf(out, "\nMQMD  type(%s) BodySize=%ld msg<%.50s>\n", applicationTypeLabel(applType),
                 static_cast<long>(body.length), preview);

    auto integer = [&](const char *format, int offset) {
        std::fprintf(out, format, static_cast<long>(md.integer(offset)));
    };
    auto text = [&](const char *format, int offset) { std::fprintf(out, format, md.text(offset)); };

    text("  StrucId          %4.4s\n", kStrucId);
    integer("  Version          %ld\n", kVersion);
    integer("  Report           %ld\n", kReport);
    integer("  MsgType          %ld\n", kMsgType);
    integer("  Expiry           %ld\n", kExpiry);
    integer("  Feedback         %ld\n", kFeedback);
    integer("  Encoding         %ld\n", kEncoding);
    integer("  CodedCharSetId   %ld\n", kCodedCharSetId);
    text("  Format           %8.8s\n", kFormat);
    integer("  Priority         %ld\n", kPriority);
    integer("  Persistence      %ld\n", kPersistence);
    text("  MsgId            '%-24.24s'\n", kMsgId);
    writeHexLine(out, md, kMsgId, 24);
    text("  CorrelId         '%-24.24s'\n", kCorrelId);
    writeHexLine(out, md, kCorrelId, 24);
    integer("  BackoutCount     %ld\n", kBackoutCount);
    text("  ReplyToQ         %48.48s\n", kReplyToQ);
    text("  ReplyToQMgr      %48.48s\n", kReplyToQMgr);
    text("  UserIdentifier   %12.12s\n", kUserIdentifier);
    text("  AccountingToken  %32.32s\n", kAccountingToken);
    writeHexLine(out, md, kAccountingToken, 32);
    text("  ApplIdentityData %32.32s\n", kApplIdentityData);
    writeHexLine(out, md, kApplIdentityData, 32);
    integer("  PutApplType      %ld\n", kPutApplType);
    text("  PutApplName      %28.28s\n", kPutApplName);
    text("  PutDate          %8.8s\n", kPutDate);
    text("  PutTime          %8.8s\n", kPutTime);
    text("  ApplOriginData   %4.4s\n", kApplOriginData);
    text("  GroupId          '%-24.24s'\n", kGroupId);
    writeHexLine(out, md, kGroupId, 24);
    integer("  MsgSeqNumber     %ld\n", kMsgSeqNumber);
    integer("  Offset           %ld\n", kOffset);
    integer("  MsgFlags         %ld\n", kMsgFlags);
    integer("  OriginalLength   %ld\n\n", kOriginalLength);
}

} // namespace qpeek
