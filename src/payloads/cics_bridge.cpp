// CICS bridge task report: the 72-byte TESTABR communication area, field by field. An
// area shorter than its layout reads as zero bytes past the body (empty values).
#include "payloads/cics_bridge.h"

#include "report/field_lines.h"

namespace qpeek {

namespace {

constexpr FieldKind T = FieldKind::Text;

const FieldLayout kCicsBridgeFields[] = {
    {"CICS_bridge_task", 0, 8, T},  {"CA_PASS_NO", 8, 1, T},    {"CA_CALL_TYPE", 9, 1, T},
    {"CA_RETURN_CODE", 10, 1, T},   {"CA_CALL_FUNC", 11, 1, T}, {"CA_CALLING_TRNID", 12, 4, T},
    {"CA_CALLING_PGMID", 16, 8, T}, {"LK_MERCHANT", 24, 10, T}, {"LK_MATERIAL", 34, 18, T},
    {"LK_QUANTITY", 52, 5, T},      {"LK_ACTION", 57, 1, T},    {"LK_DATE", 58, 8, T},
    {"LK_TIME", 66, 6, T},
};

} // namespace

const RecordLayout kCicsBridgeLayout =
    makeLayout("CICS bridge Task", "CICS bridge Task", kCicsBridgeFields, 72);

void writeCicsBridgeTask(OutputSink &out, ByteView body) {
    writeLine(out, kCicsBridgeLayout.heading);
    for (size_t i = 0; i < kCicsBridgeLayout.count; ++i) {
        const FieldLayout &field = kCicsBridgeLayout.fields[i];
        writeField(out, field.name, field.length, body.from(field.offset), "");
    }
    writeField(out, "", 0, "", "");
}

} // namespace qpeek
