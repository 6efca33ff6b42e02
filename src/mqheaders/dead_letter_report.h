// Headers in front of dead-lettered and transmitted messages: the dead-letter header
// (MQDLH, "DLH "), the transmission-queue header (MQXQH, "XQH ") and the message descriptor
// extension (MQMDE, "MDE "). Their recognition and byte order, the line each one gets in the
// detailed report, their field dump (-d) and their summary tags.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

enum class QueueHeaderKind { DeadLetter, Transmission, DescriptorExtension };

// A whole header inside the body.
struct QueueHeader {
    QueueHeaderKind kind = QueueHeaderKind::DeadLetter;
    ByteView bytes;             // the header, exactly its length
    bool bigEndian = false;     // the byte order of its integers
    bool nextBigEndian = false; // the byte order of the integers of what follows it
};

// The byte order an MQ Encoding announces in its integer part: 1 big-endian, 2
// little-endian; any other value keeps `current`.
bool bigEndianEncoding(int32_t encoding, bool current);

// Recognises one of the three headers at the position, its integers in the given order
// unless its Version reads right only in the other order. False when none begins there or
// when the header is cut by the end of the body (it is then not stepped over).
bool readQueueHeader(ByteView at, bool bigEndian, QueueHeader &header);

// The header's line in the detailed report, such as "Dead letter: 2085
// MQRC_UNKNOWN_OBJECT_NAME, destination DEST.Q at QM2, put by amqrmppa on 20261207 10302512".
void writeQueueHeaderLine(OutputSink &out, const QueueHeader &header);

// The structure's name: "MQDLH", "MQXQH" or "MQMDE".
const char *queueHeaderType(const QueueHeader &header);

// Every field of the header on a field line (with -d only).
void writeQueueHeaderFields(OutputSink &out, const QueueHeader &header);

// The header's summary tags: "XQ(<remote queue>) ", "DLQ(<reason>) DQ(<destination>) ".
void writeQueueHeaderTags(OutputSink &out, const QueueHeader &header);

} // namespace qpeek
