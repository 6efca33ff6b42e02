// The report dispatchers writeSummary and writeDetail: the headers of dead-lettered and
// transmitted messages in front of the body, then the MQRFH and MQIIH stepping (and byte
// reversal) that both share, and the payload's formatter.
#include "driver/dispatch.h"

#include "common/mq_header_prefix.h"
#include "idoc/idoc_parse.h"
#include "mqheaders/dead_letter_report.h"
#include "mqheaders/iih_report.h"
#include "mqheaders/mqmd_report.h"
#include "mqheaders/rfh_report.h"
#include "payloads/cics_bridge.h"
#include "payloads/ecedoc_report.h"
#include "payloads/ims_delivery.h"
#include "payloads/pos_log.h"
#include "payloads/xml_printer.h"
#include "platform/platform.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/unknown_message.h"
#include "summary/ecedoc_summary.h"
#include "summary/idoc_summary.h"
#include "summary/xml_order_summary.h"

namespace qpeek {

namespace {

// An Encoding with this bit set announces integers in the opposite byte order.
constexpr uint32_t kReversedEncoding = 0x10000000u;

// The MQCIH text begins this many bytes into the header.
constexpr int kCihTextOffset = 180;

constexpr int kImsConfirmMaxLength = 97;

// Brings an MQRFH into native byte order when its Encoding says it is reversed.
void reverseRfh(ByteView header) {
    if (!(static_cast<uint32_t>(header.int32At(mqprefix::kEncoding)) & kReversedEncoding))
        return;
    header.reverse32(mqprefix::kVersion);
    header.reverse32(mqprefix::kStrucLength);
    if (header.int32At(mqprefix::kVersion) != 2)
        return;
    // Reverse every NameValueLength before the walk steps past its block.
    int64_t end = rfhBlocksEnd(header);
    for (int64_t position = kRfhFirstBlock; position + 4 <= end;
         position += 4 + rfhBlockDataLength(header, position, end))
        header.reverse32(position);
}

// Length to step over for a header of this fixed part, or 0 when its StrucLength is
// below the fixed part or beyond the body: such a header is not stepped over.
int32_t stepLength(ByteView header, int32_t fixedLength) {
    int32_t strucLength = header.int32At(mqprefix::kStrucLength);
    if (strucLength < fixedLength || strucLength > header.length)
        return 0;
    return strucLength;
}

int32_t rfhStepLength(ByteView header) {
    return stepLength(header, header.int32At(mqprefix::kVersion) == 2 ? kRfhV2FixedLength
                                                                      : kRfhFixedLength);
}

void reverseIih(ByteView header) {
    if (header.int32At(mqprefix::kVersion) != 2) {
        header.reverse32(mqprefix::kVersion);
        header.reverse32(mqprefix::kStrucLength);
    }
}

// The MQCIH text: from 180 bytes past the position up to the next zero byte.
void writeCihText(OutputSink &out, ByteView at, const char *ending) {
    ByteView text = at.from(kCihTextOffset);
    int64_t n = text.textLength(0, text.length);
    if (out.json) {
        // The header with its text; what follows it is not decoded.
        jsonBeginHeader(out, "MQCIH");
        jsonText(out, "text", text, n);
        jsonBeginPayload(out, "unknown");
        writeUnknownDetail(out, text.from(n));
        return;
    }
    if (n > 0)
        writeBytes(out, text.data, static_cast<size_t>(n));
    writeText(out, ending);
}

} // namespace

namespace {

// The payload's object in machine-readable output.
void beginPayload(OutputSink &out, const char *kind) {
    if (out.json)
        jsonBeginPayload(out, kind);
}

// The summary of a body as if it were the body of its own message file: MQRFH and MQIIH
// stepping, then exactly one formatter (or the unknown-type preview).
void writeSummaryBody(OutputSink &out, const Mqmd &md, ByteView body) {
    ByteView at = body;
    if (at.startsWith("RFH ")) {
        reverseRfh(at);
        at = at.from(rfhStepLength(at));
    }
    // The MQIIH test looks at the body as loaded, so a header behind an MQRFH stays.
    if (body.startsWith("IIH ")) {
        reverseIih(at);
        at = at.from(stepLength(at, kIihLayout.length));
    }

    if (at.startsWith("<ECEDOC>"))
        writeECEDOCSummary(out, md, at);
    else if (body.startsWith("CIH "))
        writeCihText(out, at, "\n");
    else if (body.startsWith("<?"))
        writeXmlOrderSummary(out, md, at);
    else if (at.startsWith("EDI_DC") || at.startsWith("SAPH"))
        writeIDocSummary(out, md, at);
    else
        writeUnknownSummary(out, at);
}

// The detailed report of a body as if it were the body of its own message file.
void writeDetailBody(OutputSink &out, ByteView body) {
    ByteView at = body;
    if (at.startsWith("RFH ")) {
        reverseRfh(at);
        if (out.json)
            jsonBeginHeader(out, "MQRFH");
        writeRFH(out, at);
        at = at.from(rfhStepLength(at));
    }
    if (at.startsWith("IIH ")) {
        reverseIih(at);
        if (out.json)
            jsonBeginHeader(out, "MQIIH");
        writeIIH(out, at);
        int32_t step = stepLength(at, kIihLayout.length);
        if (step > 0) {
            // Behind an IMS bridge header the record kind follows from its length alone.
            ByteView record = at.from(step);
            if (record.length <= kImsConfirmMaxLength) {
                beginPayload(out, "ims-confirm");
                writeImsConfirm(out, record);
            } else {
                beginPayload(out, "ims-update");
                writeImsUpdateDelivery(out, record);
            }
            return;
        }
    }

    if (at.startsWith("<ECEDOC>")) {
        beginPayload(out, "ecedoc");
        writeECEDOCDetail(out, at);
    } else if (at.startsWith("CIH ")) {
        writeCihText(out, at, "\n\n");
    } else if (at.startsWith("<")) {
        if (out.json) {
            jsonBeginPayload(out, "xml");
            writeXmlJson(out, at);
            return;
        }
        writeLine(out, "XML Message");
        writeXml(out, at);
    } else if (at.startsWith("EDI_DC") || at.startsWith("SAPH")) {
        parseMessage(out, at); // the payload begins after an MQSAPH header
    } else if (at.at(0) == '"' && at.at(2) == ':') {
        beginPayload(out, "pos");
        writePosLog(out, at);
    } else if (at.startsWith("TESTABR ")) {
        beginPayload(out, "cics");
        writeCicsBridgeTask(out, at);
    } else {
        beginPayload(out, "unknown");
        writeUnknownDetail(out, at);
    }
}

// The byte order of the first header of a dead-lettered or transmitted message: the one
// the file's descriptor announces (little-endian when it announces neither).
bool firstHeaderBigEndian(const Mqmd &md) {
    return bigEndianEncoding(md.integer(mqmd::kEncoding), false);
}

} // namespace

void writeSummary(OutputSink &out, const Mqmd &md, ByteView body) {
    char stamp[256];
    platform::formatLocalTime(stamp, sizeof stamp, "%d %H:%M:%S");
    if (out.json)
        jsonBeginSummary(out, stamp);
    else
        writeFormatted(out, "%s ", stamp);

    // Dead-letter and transmission headers add their tags; what follows them is summarised
    // as the body of a message of its own.
    ByteView at = body;
    bool bigEndian = firstHeaderBigEndian(md);
    QueueHeader header;
    while (readQueueHeader(at, bigEndian, header)) {
        writeQueueHeaderTags(out, header);
        at = at.from(header.bytes.length);
        bigEndian = header.nextBigEndian;
    }
    writeSummaryBody(out, md, at);
    writeText(out, "\n\n");
}

void writeDetail(OutputSink &out, const Mqmd &md, ByteView body) {
    writeMQMD(out, md, body);

    // Dead-letter and transmission headers get their line (and their dump with -d); what
    // follows them is reported as the body of a message of its own.
    ByteView at = body;
    bool bigEndian = firstHeaderBigEndian(md);
    QueueHeader header;
    while (readQueueHeader(at, bigEndian, header)) {
        writeQueueHeaderLine(out, header);
        writeQueueHeaderFields(out, header);
        at = at.from(header.bytes.length);
        bigEndian = header.nextBigEndian;
    }
    writeDetailBody(out, at);
}

} // namespace qpeek
