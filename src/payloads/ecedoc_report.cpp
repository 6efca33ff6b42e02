// ECEDOC detailed report: tag lines and record printers.
#include "payloads/ecedoc_report.h"

#include "driver/report_lines.h"
#include "payloads/ecedoc_layouts.h"

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
void writeTagLine(FILE *out, const char *tag) {
    writeField(out, tag, 0, "", "");
}

// The record printer: heading line, then one long-name field line per field of the layout.
// A field of variable length (DATUSR FieldValue) is printed with the value length.
void writeRecord(FILE *out, EcedocRecord record, ByteView bytes, int32_t valueLength) {
    const RecordLayout *layout = ecedocLayout(record);
    writeTagLine(out, kHeadings[static_cast<int>(record)]);
    for (size_t i = 0; i < layout->count; ++i) {
        const FieldLayout &field = layout->fields[i];
        int32_t length = field.length > 0 ? field.length : valueLength;
        writeLongNameField(out, field.name, length, bytes.from(field.offset), "");
    }
    std::fflush(out);
}

} // namespace

void writeECEDOCDetail(FILE *out, ByteView body) {
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
            writeRecord(out, step.record, step.body, step.valueLength);
        position = step.next;
    }
}

} // namespace qpeek
