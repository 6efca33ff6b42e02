// CICS bridge task report: the 72-byte TESTABR communication area, field by field. An
// area shorter than its layout reads as zero bytes past the body (empty values).
#include "payloads/cics_bridge.h"

#include "report/field_lines.h"
#include "report/record_report.h"

namespace qpeek {

namespace {

constexpr FieldKind T = FieldKind::Text;

constexpr FieldLayout kCicsBridgeFields[] = {
    {"CICS_bridge_task", 0, 8, T},  {"CA_PASS_NO", 8, 1, T},    {"CA_CALL_TYPE", 9, 1, T},
    {"CA_RETURN_CODE", 10, 1, T},   {"CA_CALL_FUNC", 11, 1, T}, {"CA_CALLING_TRNID", 12, 4, T},
    {"CA_CALLING_PGMID", 16, 8, T}, {"LK_MERCHANT", 24, 10, T}, {"LK_MATERIAL", 34, 18, T},
    {"LK_QUANTITY", 52, 5, T},      {"LK_ACTION", 57, 1, T},    {"LK_DATE", 58, 8, T},
    {"LK_TIME", 66, 6, T},
};

static_assert(fieldsBackToBack(kCicsBridgeFields), "fields back to back");

} // namespace

const RecordLayout kCicsBridgeLayout =
    makeLayout("CICS bridge Task", "CICS bridge Task", "", LineStyle::Field, "", kCicsBridgeFields);

void writeCicsBridgeTask(OutputSink &out, ByteView body) {
    writeLine(out, kCicsBridgeLayout.heading);
    writeRecordFields(out, kCicsBridgeLayout, body);
    writeField(out, "", 0, "", "");
}

} // namespace qpeek
