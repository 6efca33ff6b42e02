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

struct SaphText {
    const char *format;
    int offset;
    int length;
};

// Text fields after the flags, each shown at its own width.
constexpr SaphText kSaphTexts[] = {
    {"  R/3 Client Id   = %-3.3s\n", 32, 3},
    {"  R/3 language    = %c\n", kSaphLanguage, 1},
    {"  R/3 host name   = %-48.48s\n", 36, 48},
    {"  R/3 user Id     = %-12.12s\n", 84, 12},
    // Only the first character of the password is shown.
    {"  R/3 password    = %-8.1s\n", 96, 8},
    {"  R/3 systen no.  = %-2.2s\n", 104, 2},
};

// A fixed-width field as zero-terminated text (a zero byte inside ends it).
void copyField(ByteView header, int offset, int length, char *dst, size_t dstSize) {
    size_t n = header.copyOut(offset, length, dst, dstSize - 1);
    dst[n] = 0;
}

} // namespace

void writeMQSAPH(FILE *out, ByteView header) {
    char text[64];
    std::fprintf(out, "MQSAPH %d\n", kSaphReportedLength);
    copyField(header, 0, 4, text, sizeof text);
    std::fprintf(out, "  Structure Id    = %-4.4s\n", text);
    std::fprintf(out, "  Struct. version = %ld\n", static_cast<long>(header.int32At(kSaphVersion)));
    std::fprintf(out, "  Struct. length  = %ld\n",
                 static_cast<long>(header.int32At(kSaphStrucLength)));
    std::fprintf(out, "  Data encoding   = %ld\n",
                 static_cast<long>(header.int32At(kSaphEncoding)));
    std::fprintf(out, "  Data CCSID      = %ld\n", static_cast<long>(header.int32At(kSaphCcsid)));
    copyField(header, 20, 8, text, sizeof text);
    std::fprintf(out, "  Message format  = %-8.8s\n", text);
    std::fprintf(out, "  Flags           = %ld\n", static_cast<long>(header.int32At(kSaphFlags)));
    for (const SaphText &t : kSaphTexts) {
        if (t.offset == kSaphLanguage) {
            // One character as it is, a zero byte included.
            std::fprintf(out, t.format, header.at(t.offset));
            continue;
        }
        copyField(header, t.offset, t.length, text, sizeof text);
        std::fprintf(out, t.format, text);
    }
    // No flush: the parse errors that may follow go through writeErrorText, which flushes
    // standard output before it writes to standard error.
    std::fprintf(out, "  Dummy field     = %02x\n", static_cast<unsigned>(header.at(kSaphDummy)));
}

} // namespace qpeek
