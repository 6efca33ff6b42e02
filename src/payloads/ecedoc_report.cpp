// ECEDOC detailed report: tag lines and record printers.
#include "payloads/ecedoc_report.h"

#include "payloads/ecedoc_layouts.h"
#include "report/field_lines.h"

namespace qpeek {

namespace {

// Heading line of each record printer, by record layout (EcedocRecord order, None first).
// DATUSR records print under "<DATUSR>OS" whatever the document type.
constexpr const char *kHeadings[kEcedocRecordCount + 1] = {
    "",           "<PROLOG>",   "<HDR010>PQ", "<HDR010>OS", "<HDR010>PP",
    "<HDR010>NC", "<HDR010>ON", "<HDR020>ON", "<HDR030>ON", "<HDR040>ON",
    "<ITM010>ON", "<ITM010>OS", "<DATUSR>OS",
};

// A tag line: the tag at column 0, always written.
void writeTagLine(OutputSink &out, const char *tag) {
    writeField(out, tag, 0, "", "");
}

// The record printer: heading line, then one long-name field line per field of the layout.
// A field of variable length (DATUSR FieldValue) is printed with the value length.
void writeRecord(OutputSink &out, EcedocRecord record, ByteView bytes, int32_t valueLength) {
    const RecordLayout *layout = ecedocLayout(record);
    writeTagLine(out, kHeadings[static_cast<int>(record)]);
    for (size_t i = 0; i < layout->count; ++i) {
        const FieldLayout &field = layout->fields[i];
        int32_t length = field.length > 0 ? field.length : valueLength;
        writeLongNameField(out, field.name, length, bytes.from(field.offset), "");
    }
}

} // namespace

void writePROLOG(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::PROLOG, record, 0);
}
void writeHDR010PQ(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR010PQ, record, 0);
}
void writeHDR010OS(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR010OS, record, 0);
}
void writeHDR010PP(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR010PP, record, 0);
}
void writeHDR010NC(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR010NC, record, 0);
}
void writeHDR010ON(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR010ON, record, 0);
}
void writeHDR020ON(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR020, record, 0);
}
void writeHDR030ON(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR030, record, 0);
}
void writeHDR040ON(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::HDR040, record, 0);
}
void writeITM010ON(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::ITM010ON, record, 0);
}
void writeITM010OS(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::ITM010Other, record, 0);
}

// The value length is read again from FieldLength; its zero byte is already in place.
void writeDATUSR(OutputSink &out, ByteView record) {
    writeRecord(out, EcedocRecord::DATUSR, record, datusrValueLength(record));
}

namespace {
void writeRecordOf(OutputSink &out, EcedocRecord record, ByteView bytes) {
    switch (record) {
    case EcedocRecord::PROLOG:
        writePROLOG(out, bytes);
        break;
    case EcedocRecord::HDR010PQ:
        writeHDR010PQ(out, bytes);
        break;
    case EcedocRecord::HDR010OS:
        writeHDR010OS(out, bytes);
        break;
    case EcedocRecord::HDR010PP:
        writeHDR010PP(out, bytes);
        break;
    case EcedocRecord::HDR010NC:
        writeHDR010NC(out, bytes);
        break;
    case EcedocRecord::HDR010ON:
        writeHDR010ON(out, bytes);
        break;
    case EcedocRecord::HDR020:
        writeHDR020ON(out, bytes);
        break;
    case EcedocRecord::HDR030:
        writeHDR030ON(out, bytes);
        break;
    case EcedocRecord::HDR040:
        writeHDR040ON(out, bytes);
        break;
    case EcedocRecord::ITM010ON:
        writeITM010ON(out, bytes);
        break;
    case EcedocRecord::ITM010Other:
        writeITM010OS(out, bytes);
        break;
    case EcedocRecord::DATUSR:
        writeDATUSR(out, bytes);
        break;
    case EcedocRecord::None:
        break;
    }
}
} // namespace

void writeECEDOCDetail(OutputSink &out, ByteView body) {
    EcedocType type = EcedocType::None;
    int64_t position = 0;
    while (ecedocWalkGoesOn(body, position)) {
        EcedocStep step;
        if (!readEcedocStep(body, position, type, EcedocHeaderRecords::OnlyON, step)) {
            writeUnknownEcedocTag(out, body.from(position));
            return;
        }
        if (step.record == EcedocRecord::PROLOG)
            type = ecedocDocumentType(step.body);
        if (step.record == EcedocRecord::None)
            writeTagLine(out, ecedocTagText(step.element, step.closing));
        else
            writeRecordOf(out, step.record, step.body);
        position = step.next;
    }
}

} // namespace qpeek
