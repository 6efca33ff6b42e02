// Rules-and-formatting header report: the MQRFH fields as field lines, then the name/value
// data: for version 2 each block (XML blocks pretty-printed), for other versions the
// blank-separated name/value string as one field line per pair.
#include "mqheaders/rfh_report.h"

#include <cstring>

#include "payloads/xml_printer.h"
#include "report/field_lines.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

// One buffer for the name/value string or the copy of one block, with its zero byte.
constexpr size_t kTextSize = 40960;

constexpr FieldLayout kRfhFields[] = {
    {"StructId", mqprefix::kStrucId, mqprefix::kStrucIdLength, FieldKind::Text,
     " Structure identifier"},
    {"Version", mqprefix::kVersion, 4, FieldKind::Decimal, " Structure version number"},
    {"StrucLength", mqprefix::kStrucLength, 4, FieldKind::Decimal,
     " Length of MQRFH structure and associated option data "},
    {"Encoding", mqprefix::kEncoding, 4, FieldKind::Hex4,
     " Encoding of the data following the MQRFH"},
    {"CodedCharSetId", mqprefix::kCodedCharSetId, 4, FieldKind::Hex8,
     " Character-set identifier of the data following the MQRFH"},
    {"Format", mqprefix::kFormat, mqprefix::kFormatLength, FieldKind::Text,
     " Format name of the data following the MQRFH"},
    {"Flags", mqprefix::kFlags, 4, FieldKind::Hex4, " General flags"},
};
static_assert(fieldsBackToBack(kRfhFields), "fields back to back");

// The field version 2 adds before its blocks, and a block's length field (at offset 0 of
// the view handed over).
constexpr FieldLayout kRfhV2Fields[] = {
    {"NameValueCCSID", kRfhNameValueCCSID, 4, FieldKind::Hex8,
     " Character set identifier of NameValueData"},
};
constexpr FieldLayout kNameValueLengthFields[] = {
    {"NameValueLength", 0, 4, FieldKind::Decimal, " Length of NameValueData."},
};
const RecordLayout kRfhV2Layout =
    makeLayout("MQRFH version 2", "", "", LineStyle::Field, "", kRfhV2Fields);
const RecordLayout kNameValueLengthLayout =
    makeLayout("NameValueLength", "", "", LineStyle::Field, "", kNameValueLengthFields);

// The version 2 name/value blocks.
void writeNameValueBlocks(OutputSink &out, ByteView header, char *text) {
    int64_t end = rfhBlocksEnd(header);
    for (int64_t position = kRfhFirstBlock; position + 4 <= end;) {
        writeRecordFields(out, kNameValueLengthLayout, header.from(position));
        int64_t data = position + 4;
        int64_t wanted = rfhBlockDataLength(header, position, end);
        int64_t n = header.textLength(data, wanted < static_cast<int64_t>(kTextSize - 1)
                                                ? wanted
                                                : static_cast<int64_t>(kTextSize - 1));
        header.copyOut(data, n, text, kTextSize - 1);
        text[n] = 0;

        if (out.json) {
            // The block's text as the field's value.
            writeField(out, "NameValueData", static_cast<int32_t>(n),
                       ByteView{reinterpret_cast<unsigned char *>(text), static_cast<int32_t>(n)},
                       " Name/value data.");
            position = data + wanted;
            continue;
        }
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
    int64_t length =
        static_cast<int64_t>(header.int32At(mqprefix::kStrucLength)) - kRfhNameValueString;
    if (length > static_cast<int64_t>(kTextSize - 1))
        length = kTextSize - 1;
    int64_t n = length > 0 ? header.textLength(kRfhNameValueString, length) : 0;
    header.copyOut(kRfhNameValueString, n, text, kTextSize - 1);
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

const RecordLayout kRfhLayout =
    makeLayout("MQRFH", "rfh", " Control record for the interface to the MQI subsys",
               LineStyle::Field, "", kRfhFields);

void writeRFH(OutputSink &out, ByteView header) {
    if (!detailFlag() && !out.json)
        return;
    writeRecord(out, kRfhLayout, header);
    char text[kTextSize];
    if (header.int32At(mqprefix::kVersion) == 2) {
        writeRecordFields(out, kRfhV2Layout, header);
        writeNameValueBlocks(out, header, text);
    } else {
        writeNameValueString(out, header, text);
    }
}

} // namespace qpeek
