// The SAP header report: the MQSAPH block, printed whenever an IDoc body begins with
// "SAPH", whatever the detail flag says.
#include "idoc/sap_header.h"

namespace qpeek {

namespace {

constexpr int kSaphEncoding = 12;
constexpr int kSaphCcsid = 16;
constexpr int kSaphFlags = 28;
constexpr int kSaphLanguage = 35;
// The byte after the 108-byte header: with the usual length the control record's first.
constexpr int kSaphDummy = 108;
constexpr int kSaphReportedLength = 108;

// The text fields after the flags, each shown at its own width.
constexpr int kSaphClient = 32;        // 3 characters
constexpr int kSaphHostName = 36;      // 48 characters
constexpr int kSaphUserId = 84;        // 12 characters
constexpr int kSaphPassword = 96;      // 8 characters, of which only the first is shown
constexpr int kSaphSystemNumber = 104; // 2 characters

// A fixed-width field as zero-terminated text (a zero byte inside ends it).
void copyField(ByteView header, int offset, int length, char *dst, size_t dstSize) {
    size_t n = header.copyOut(offset, length, dst, dstSize - 1);
    dst[n] = 0;
}

} // namespace

void writeMQSAPH(OutputSink &out, ByteView header) {
    char text[64];
    writeFormatted(out, "MQSAPH %d\n", kSaphReportedLength);
    copyField(header, 0, 4, text, sizeof text);
    writeFormatted(out, "  Structure Id    = %-4.4s\n", text);
    writeFormatted(out, "  Struct. version = %ld\n",
                   static_cast<long>(header.int32At(kSaphVersion)));
    writeFormatted(out, "  Struct. length  = %ld\n",
                   static_cast<long>(header.int32At(kSaphStrucLength)));
    writeFormatted(out, "  Data encoding   = %ld\n",
                   static_cast<long>(header.int32At(kSaphEncoding)));
    writeFormatted(out, "  Data CCSID      = %ld\n", static_cast<long>(header.int32At(kSaphCcsid)));
    copyField(header, 20, 8, text, sizeof text);
    writeFormatted(out, "  Message format  = %-8.8s\n", text);
    writeFormatted(out, "  Flags           = %ld\n", static_cast<long>(header.int32At(kSaphFlags)));
    copyField(header, kSaphClient, 3, text, sizeof text);
    writeFormatted(out, "  R/3 Client Id   = %-3.3s\n", text);
    // One character as it is, a zero byte included.
    writeFormatted(out, "  R/3 language    = %c\n", header.at(kSaphLanguage));
    copyField(header, kSaphHostName, 48, text, sizeof text);
    writeFormatted(out, "  R/3 host name   = %-48.48s\n", text);
    copyField(header, kSaphUserId, 12, text, sizeof text);
    writeFormatted(out, "  R/3 user Id     = %-12.12s\n", text);
    copyField(header, kSaphPassword, 8, text, sizeof text);
    writeFormatted(out, "  R/3 password    = %-8.1s\n", text);
    copyField(header, kSaphSystemNumber, 2, text, sizeof text);
    writeFormatted(out, "  R/3 systen no.  = %-2.2s\n", text);
    writeFormatted(out, "  Dummy field     = %02x\n", static_cast<unsigned>(header.at(kSaphDummy)));
}

} // namespace qpeek
