// ECEDOC detailed report: tag lines, and each record under its heading with a long-name
// field line per field.
#include "payloads/ecedoc_report.h"

#include "payloads/ecedoc_layouts.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

// A tag line: the tag at column 0, always written.
void writeTagLine(OutputSink &out, const char *tag) {
    writeField(out, tag, 0, "", "");
}

const char *documentTypeName(EcedocType type) {
    static const char *const kNames[] = {"", "PQ", "OS", "PP", "NC", "ON"};
    return kNames[static_cast<int>(type)];
}

} // namespace

void writeECEDOCDetail(OutputSink &out, ByteView body) {
    EcedocType type = EcedocType::None;
    int64_t position = 0;
    // Machine-readable output: "records", each {"type": its name, "fields"}, then the
    // document type (and the tag that stopped the walk).
    if (out.json)
        jsonOpen(out, "records", '[');
    while (ecedocWalkGoesOn(body, position)) {
        EcedocStep step;
        if (!readEcedocStep(body, position, type, EcedocHeaderRecords::OnlyON, step)) {
            if (out.json) {
                jsonClose(out);
                jsonText(out, "unknownTag", body.from(position), 40);
                jsonText(out, "document", documentTypeName(type));
                return;
            }
            writeUnknownEcedocTag(out, body.from(position));
            return;
        }
        if (step.record == EcedocRecord::PROLOG)
            type = ecedocDocumentType(step.body);
        if (step.record == EcedocRecord::None) {
            writeTagLine(out, ecedocTagText(step.element, step.closing));
        } else if (out.json) {
            const RecordLayout &layout = *ecedocLayout(step.record);
            jsonOpen(out, nullptr, '{');
            jsonText(out, "type", layout.name);
            writeRecord(out, layout, step.body, step.valueLength);
            jsonClose(out);
        } else {
            writeRecord(out, *ecedocLayout(step.record), step.body, step.valueLength);
        }
        position = step.next;
    }
    if (out.json) {
        jsonClose(out);
        jsonText(out, "document", documentTypeName(type));
    }
}

} // namespace qpeek
