// Rules-and-formatting header report: the MQRFH fields as field lines, then the name/value
// data: for version 2 each block (XML blocks pretty-printed), for other versions the
// blank-separated name/value string as one field line per pair.
#include "mqheaders/rfh_report.h"

#include <cstring>

#include "payloads/xml_printer.h"
#include "report/field_lines.h"

namespace qpeek {

namespace {

// MQRFH layout.
constexpr int kStrucId = 0;
constexpr int kVersion = 4;
constexpr int kStrucLength = 8;
constexpr int kEncoding = 12;
constexpr int kCodedCharSetId = 16;
constexpr int kFormat = 20;
constexpr int kFormatLength = 8;
constexpr int kFlags = 28;
constexpr int kNameValueString = 32; // versions other than 2
constexpr int kNameValueCCSID = 32;  // version 2
constexpr int kFirstBlock = 36;      // version 2: NameValueLength, NameValueData, ...

// One buffer for the name/value string or the copy of one block, with its zero byte.
constexpr size_t kTextSize = 40960;

void writeNumberField(OutputSink &out, const char *name, const char *format, int32_t number,
                      const char *description) {
    char text[32];
    int n = std::snprintf(text, sizeof text, format, number);
    writeField(out, name, n, text, description);
}

void writeHexField(OutputSink &out, const char *name, const char *format, int32_t number,
                   const char *description) {
    char text[32];
    int n = std::snprintf(text, sizeof text, format, static_cast<unsigned>(number));
    writeField(out, name, n, text, description);
}

// The version 2 name/value blocks. The walk covers the header up to its StrucLength but
// never past the body, reads only length fields that lie wholly inside (the same walk as
// the byte reversal before it), and a negative length steps past its own field only.
void writeNameValueBlocks(OutputSink &out, ByteView header, char *text) {
    int64_t strucLength = header.int32At(kStrucLength);
    int64_t end = strucLength < header.length ? strucLength : header.length;
    int64_t position = kFirstBlock;
    while (position + 4 <= end) {
        int32_t length = header.int32At(position);
        writeNumberField(out, "NameValueLength", "%d", length, " Length of NameValueData.");

        int64_t data = position + 4;
        int64_t wanted = length > 0 ? length : 0;
        if (wanted > end - data)
            wanted = end - data;
        int64_t n = header.textLength(data, wanted < static_cast<int64_t>(kTextSize - 1)
                                                ? wanted
                                                : static_cast<int64_t>(kTextSize - 1));
        header.copyOut(data, n, text, kTextSize - 1);
        text[n] = 0;

        // Its value is a single blank: the line shows because the flag is set.
        writeField(out, "NameValueData", 1, " ", " Name/value data.");
        if (text[0] == '<')
            writeXml(out,
                     ByteView{reinterpret_cast<unsigned char *>(text), static_cast<int32_t>(n)});
        else
            writeFormatted(out, "\"%s\"\n", text);
        position = data + wanted;
    }
}

// Other versions: blank-separated tokens taken in pairs, a name and its value; a last
// name without a value becomes a heading line.
void writeNameValueString(OutputSink &out, ByteView header, char *text) {
    int64_t length = static_cast<int64_t>(header.int32At(kStrucLength)) - kNameValueString;
    if (length > static_cast<int64_t>(kTextSize - 1))
        length = kTextSize - 1;
    int64_t n = length > 0 ? header.textLength(kNameValueString, length) : 0;
    header.copyOut(kNameValueString, n, text, kTextSize - 1);
    text[n] = 0;

    char *p = text;
    auto nextToken = [&p]() -> const char * {
        while (*p == ' ')
            ++p;
        if (*p == 0)
            return nullptr;
        char *token = p;
        while (*p != 0 && *p != ' ')
            ++p;
        if (*p == ' ')
            *p++ = 0;
        return token;
    };
    while (const char *name = nextToken()) {
        const char *value = nextToken();
        if (!value)
            value = "";
        writeField(out, name, static_cast<int32_t>(std::strlen(value)), value, " NameValueData");
    }
}

} // namespace

void writeRFH(OutputSink &out, ByteView header) {
    if (!detailFlag())
        return;
    writeField(out, "rfh", 0, "", " Control record for the interface to the MQI subsys");
    writeField(out, "StructId", 4, header.from(kStrucId), " Structure identifier");
    int32_t version = header.int32At(kVersion);
    writeNumberField(out, "Version", "%d", version, " Structure version number");
    writeNumberField(out, "StrucLength", "%d", header.int32At(kStrucLength),
                     " Length of MQRFH structure and associated option data ");
    writeHexField(out, "Encoding", "0x%04x", header.int32At(kEncoding),
                  " Encoding of the data following the MQRFH");
    writeHexField(out, "CodedCharSetId", "0x%08x", header.int32At(kCodedCharSetId),
                  " Character-set identifier of the data following the MQRFH");
    writeField(out, "Format", kFormatLength, header.from(kFormat),
               " Format name of the data following the MQRFH");
    writeHexField(out, "Flags", "0x%04x", header.int32At(kFlags), " General flags");

    char text[kTextSize];
    if (version == 2) {
        writeHexField(out, "NameValueCCSID", "0x%08x", header.int32At(kNameValueCCSID),
                      " Character set identifier of NameValueData");
        writeNameValueBlocks(out, header, text);
    } else {
        writeNameValueString(out, header, text);
    }
}

} // namespace qpeek
