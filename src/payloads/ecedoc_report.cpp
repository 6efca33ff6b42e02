// ECEDOC detailed report: tag lines and record printers.
#include "payloads/ecedoc_report.h"

#include "payloads/ecedoc_layouts.h"
#include "report/field_lines.h"

namespace qpeek {

namespace {

// A tag line: the tag at column 0, always written.
void writeTagLine(OutputSink &out, const char *tag) {
    writeField(out, tag, 0, "", "");
}

// The record printer: heading line, then one long-name field line per field of the layout.
// A field of variable length (DATUSR FieldValue) is printed with the value length.
void writeRecord(OutputSink &out, const RecordLayout &layout, ByteView bytes, int32_t valueLength) {
    writeTagLine(out, layout.heading);
    for (size_t i = 0; i < layout.count; ++i) {
        const FieldLayout &field = layout.fields[i];
        int32_t length = field.length > 0 ? field.length : valueLength;
        writeLongNameField(out, field.name, length, bytes.from(field.offset), "");
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
            writeRecord(out, *ecedocLayout(step.record), step.body, step.valueLength);
        position = step.next;
    }
}

} // namespace qpeek
