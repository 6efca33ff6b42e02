// ECEDOC detailed report: tag lines, and each record under its heading with a long-name
// field line per field.
#include "payloads/ecedoc_report.h"

#include "payloads/ecedoc_layouts.h"
#include "report/field_lines.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

// A tag line: the tag at column 0, always written.
void writeTagLine(OutputSink &out, const char *tag) {
    writeField(out, tag, 0, "", "");
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
