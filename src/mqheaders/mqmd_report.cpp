// Message descriptor report: the heading with the putting application's type, the body
// size and a preview, then every MQMD field on a line of its own.
#include "mqheaders/mqmd_report.h"

#include <cstring>

#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/unknown_message.h"

namespace qpeek {

namespace {

constexpr int kPreviewLimit = 50;
constexpr int32_t kPutApplTypeJava = 15;
constexpr int32_t kPutApplTypeUser = 65536;

enum class LineKind {
    Integer,    // "%ld"
    Text,       // "%W.Ws": at most W characters up to a zero byte, right-aligned in W columns
    QuotedText, // "'%-W.Ws'": the same, left-aligned between quotes
};

// One line of the descriptor report; a field with hexLength > 0 is followed by its bytes
// in hexadecimal on a line of their own.
struct DescriptorLine {
    const char *label;
    int offset;
    LineKind kind;
    int width;
    int hexLength;
    bool bytes = false; // bytes, not characters (hexadecimal in machine-readable output)
};

constexpr LineKind I = LineKind::Integer;
constexpr LineKind T = LineKind::Text;
constexpr LineKind Q = LineKind::QuotedText;

constexpr DescriptorLine kDescriptorLines[] = {
    {"  StrucId          ", mqmd::kStrucId, T, 4, 0},
    {"  Version          ", mqmd::kVersion, I, 0, 0},
    {"  Report           ", mqmd::kReport, I, 0, 0},
    {"  MsgType          ", mqmd::kMsgType, I, 0, 0},
    {"  Expiry           ", mqmd::kExpiry, I, 0, 0},
    {"  Feedback         ", mqmd::kFeedback, I, 0, 0},
    {"  Encoding         ", mqmd::kEncoding, I, 0, 0},
    {"  CodedCharSetId   ", mqmd::kCodedCharSetId, I, 0, 0},
    {"  Format           ", mqmd::kFormat, T, 8, 0},
    {"  Priority         ", mqmd::kPriority, I, 0, 0},
    {"  Persistence      ", mqmd::kPersistence, I, 0, 0},
    {"  MsgId            ", mqmd::kMsgId, Q, 24, 24, true},
    {"  CorrelId         ", mqmd::kCorrelId, Q, 24, 24, true},
    {"  BackoutCount     ", mqmd::kBackoutCount, I, 0, 0},
    {"  ReplyToQ         ", mqmd::kReplyToQ, T, 48, 0},
    {"  ReplyToQMgr      ", mqmd::kReplyToQMgr, T, 48, 0},
    {"  UserIdentifier   ", mqmd::kUserIdentifier, T, 12, 0},
    {"  AccountingToken  ", mqmd::kAccountingToken, T, 32, 32, true},
    {"  ApplIdentityData ", mqmd::kApplIdentityData, T, 32, 32},
    {"  PutApplType      ", mqmd::kPutApplType, I, 0, 0},
    {"  PutApplName      ", mqmd::kPutApplName, T, 28, 0},
    {"  PutDate          ", mqmd::kPutDate, T, 8, 0},
    {"  PutTime          ", mqmd::kPutTime, T, 8, 0},
    {"  ApplOriginData   ", mqmd::kApplOriginData, T, 4, 0},
    {"  GroupId          ", mqmd::kGroupId, Q, 24, 24, true},
    {"  MsgSeqNumber     ", mqmd::kMsgSeqNumber, I, 0, 0},
    {"  Offset           ", mqmd::kOffset, I, 0, 0},
    {"  MsgFlags         ", mqmd::kMsgFlags, I, 0, 0},
    {"  OriginalLength   ", mqmd::kOriginalLength, I, 0, 0},
};
static_assert(sizeof kDescriptorLines / sizeof kDescriptorLines[0] == kDescriptorFields,
              "one line per descriptor field");
static_assert(kDescriptorLines[kDescriptorV1Fields - 1].offset == mqmd::kApplOriginData,
              "a version-1 descriptor ends with ApplOriginData");

// The report's lines are put together straight in the sink's buffer (about 1.5 KB, room
// for 4 KB is made first): formatting them one printf at a time cost more than the rest of
// a small message's report.
constexpr size_t kDescriptorReportRoom = 4096;
static_assert(kDescriptorReportRoom <= kOutputSlack, "the sink makes room for the whole report");
struct ReportText {
    OutputSink &out;
    char *text;
    size_t used = 0;

    explicit ReportText(OutputSink &sink)
        : out(sink), text(reportSpace(sink, kDescriptorReportRoom)) {}
    ~ReportText() { out.used += used; }

    void append(const char *bytes, size_t n) {
        std::memcpy(text + used, bytes, n);
        used += n;
    }
    void append(const char *s) { append(s, std::strlen(s)); }
    void blanks(size_t n) {
        std::memset(text + used, ' ', n);
        used += n;
    }
    void integer(int32_t value) {
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
        append(digits + n, sizeof digits - n);
    }
    void hex(const unsigned char *bytes, int length) {
        static const char kDigits[] = "0123456789abcdef";
        append("                   x'");
        for (int i = 0; i < length; ++i) {
            text[used++] = kDigits[bytes[i] >> 4];
            text[used++] = kDigits[bytes[i] & 0xF];
        }
        append("'\n");
    }
};

// The first fieldCount descriptor lines of the descriptor, integers in the given order.
void appendDescriptorLines(ReportText &r, ByteView descriptor, bool bigEndian, int fieldCount) {
    for (int i = 0; i < fieldCount; ++i) {
        const DescriptorLine &line = kDescriptorLines[i];
        r.append(line.label);
        if (line.kind == LineKind::Integer) {
            r.integer(bigEndian ? descriptor.int32BigEndianAt(line.offset)
                                : descriptor.int32At(line.offset));
        } else {
            // At most the field's width, up to its first zero byte.
            char text[64];
            size_t width = static_cast<size_t>(line.width);
            size_t n = static_cast<size_t>(descriptor.textLength(line.offset, line.width));
            descriptor.copyOut(line.offset, static_cast<int64_t>(n), text, sizeof text);
            if (line.kind == LineKind::Text) {
                r.blanks(width - n);
                r.append(text, n);
            } else {
                r.append("'");
                r.append(text, n);
                r.blanks(width - n);
                r.append("'");
            }
        }
        r.append("\n");
        if (line.hexLength > 0) {
            unsigned char bytes[64];
            descriptor.copyOut(line.offset, line.hexLength, reinterpret_cast<char *>(bytes),
                               sizeof bytes);
            r.hex(bytes, line.hexLength);
        }
    }
}

// The descriptor's fields as members of the open object, named as the report names them.
void writeDescriptorMembers(OutputSink &out, ByteView descriptor, bool bigEndian, int fieldCount) {
    for (int i = 0; i < fieldCount; ++i) {
        const DescriptorLine &line = kDescriptorLines[i];
        char name[24];
        size_t n = 0;
        for (const char *c = line.label; *c; ++c)
            if (*c != ' ' && n + 1 < sizeof name)
                name[n++] = *c;
        name[n] = 0;
        if (line.kind == LineKind::Integer) {
            jsonInteger(out, name,
                        bigEndian ? descriptor.int32BigEndianAt(line.offset)
                                  : descriptor.int32At(line.offset));
        } else if (line.bytes) {
            jsonHexBytes(out, name, descriptor.from(line.offset), line.hexLength);
        } else {
            // Up to the first zero byte, without trailing blanks.
            ByteView text = descriptor.from(line.offset);
            int64_t length = text.textLength(0, line.width);
            while (length > 0 && text.at(length - 1) == ' ')
                --length;
            jsonText(out, name, text, length);
        }
    }
}

} // namespace

void writeDescriptorJson(OutputSink &out, const Mqmd &md, bool fromFile) {
    jsonOpen(out, "descriptor", '{');
    jsonBool(out, "default", !fromFile);
    writeDescriptorMembers(out, ByteView{const_cast<unsigned char *>(md.bytes), kMqmdLength}, false,
                           kDescriptorFields);
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
    if (out.json) {
        writeDescriptorMembers(out, descriptor, bigEndian,
                               fieldCount < kDescriptorFields ? fieldCount : kDescriptorFields);
        return;
    }
    ReportText r(out);
    appendDescriptorLines(r, descriptor, bigEndian,
                          fieldCount < kDescriptorFields ? fieldCount : kDescriptorFields);
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
    ReportText r(out);
    appendDescriptorLines(r, ByteView{const_cast<unsigned char *>(md.bytes), kMqmdLength}, false,
                          kDescriptorFields);
    r.append("\n");
}

} // namespace qpeek
