// IMS bridge header report: every MQIIH field on a field line (-d only). Version and
// StrucLength arrive in native order (the dispatcher reverses them for a big-endian
// sender); the other integers are printed as they were received.
#include "mqheaders/iih_report.h"

#include "report/field_lines.h"

namespace qpeek {

namespace {

// MQIIH layout (84 bytes).
constexpr int kStrucId = 0;
constexpr int kVersion = 4;
constexpr int kStrucLength = 8;
constexpr int kEncoding = 12;
constexpr int kCodedCharSetId = 16;
constexpr int kFormat = 20;
constexpr int kFlags = 28;
constexpr int kLTermOverride = 32;
constexpr int kMFSMapName = 40;
constexpr int kReplyToFormat = 48;
constexpr int kAuthenticator = 56;
constexpr int kTranInstanceId = 64;
constexpr int kTranInstanceIdLength = 16;
constexpr int kTranState = 80;
constexpr int kCommitMode = 81;
constexpr int kSecurityScope = 82;
constexpr int kReserved = 83;

// Room for "0x" and 32 hexadecimal digits, and for any formatted integer.
constexpr size_t kValueSize = 64;

void writeText(OutputSink &out, const char *name, ByteView header, int offset, int32_t length,
               const char *description) {
    writeField(out, name, length, header.from(offset), description);
}

void writeDecimal(OutputSink &out, const char *name, int32_t value, const char *description) {
    char text[kValueSize];
    int n = std::snprintf(text, sizeof text, "%d", value);
    writeField(out, name, n, text, description);
}

// Hexadecimal of the integer as received; "0x%04x" or "0x%08x".
void writeHexInteger(OutputSink &out, const char *name, bool eightDigits, int32_t value,
                     const char *description) {
    char text[kValueSize];
    int n = std::snprintf(text, sizeof text, eightDigits ? "0x%08x" : "0x%04x",
                          static_cast<uint32_t>(value));
    writeField(out, name, n, text, description);
}

void writeByte(OutputSink &out, const char *name, ByteView header, int offset,
               const char *description) {
    char text[kValueSize];
    int n = std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned>(header.at(offset)));
    writeField(out, name, n, text, description);
}

} // namespace

void writeIIH(OutputSink &out, ByteView header) {
    if (!detailFlag())
        return;
    writeField(out, "mqiih", 0, "", " Control record for the interface to the MQI subsys");
    writeText(out, "StructId", header, kStrucId, 4, " Structure identifier");
    writeDecimal(out, "Version", header.int32At(kVersion), " Structure version number");
    writeDecimal(out, "StrucLength", header.int32At(kStrucLength),
                 " Length of MQIIH structure and associated option data ");
    writeHexInteger(out, "Encoding", false, header.int32At(kEncoding), " Reserved ");
    writeHexInteger(out, "CodedCharSetId", true, header.int32At(kCodedCharSetId), " Reserved ");
    writeText(out, "Format", header, kFormat, 8, " MQ format name ");
    writeHexInteger(out, "Flags", false, header.int32At(kFlags), " Reserved ");
    writeText(out, "LTermOverride", header, kLTermOverride, 8, " Logical terminal override ");
    writeText(out, "MFSMapName", header, kMFSMapName, 8, " Message format services map name ");
    writeText(out, "ReplyToFormat", header, kReplyToFormat, 8, " MQ format name of reply message ");
    writeText(out, "Authenticator", header, kAuthenticator, 8, " RACF password or passticket ");
    writeText(out, "TranInstanceId", header, kTranInstanceId, kTranInstanceIdLength,
              " Transaction instance identifier ");

    // The same identifier as hexadecimal digits; the field line shows the first 25 characters.
    char hex[kValueSize] = "0x";
    for (int i = 0; i < kTranInstanceIdLength; ++i)
        std::snprintf(hex + 2 + 2 * i, sizeof hex - 2 - 2 * static_cast<size_t>(i), "%02x",
                      static_cast<unsigned>(header.at(kTranInstanceId + i)));
    writeField(out, "", 2 + 2 * kTranInstanceIdLength, hex, "");

    writeByte(out, "TranState", header, kTranState, " Transaction state ");
    writeByte(out, "CommitMode", header, kCommitMode, " Commit mode ");
    writeByte(out, "SecurityScope", header, kSecurityScope, " Security scope ");
    writeByte(out, "Reserved", header, kReserved, " Reserved ");
}

} // namespace qpeek
