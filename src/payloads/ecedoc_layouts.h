// ECEDOC documents: the twelve elements and their tags, the document type, every record
// layout, the DATUSR value length, and the tag walk step that the summary and the detailed
// report share.
//
// A document is a gap-free run of 8-byte opening tags, 9-byte closing tags and fixed-width
// records. Container tags are followed by the next tag; record tags by one record whose
// layout may depend on the document type (the first two characters of the PROLOG record).
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "common/record_layout.h"
#include "report/output_sink.h"

namespace qpeek {

enum class EcedocElement {
    ECEDOC,
    PROLOG,
    HEADER,
    HDR010,
    HDR020,
    HDR030,
    HDR040,
    ITMLST,
    ITMDAT,
    ITM010,
    USRLST,
    DATUSR,
};
constexpr int kEcedocElementCount = 12;

constexpr int kEcedocOpeningTagLength = 8; // "<NAME>"
constexpr int kEcedocClosingTagLength = 9; // "</NAME>"

enum class EcedocType { None, PQ, OS, PP, NC, ON };

// The record layouts. The detailed report prints each record in the order of its table.
enum class EcedocRecord {
    None, // no record follows the tag (container or closing tag, or a record not read)
    PROLOG,
    HDR010PQ,
    HDR010OS,
    HDR010PP,
    HDR010NC,
    HDR010ON,
    HDR020,
    HDR030,
    HDR040,
    ITM010ON,
    ITM010Other,
    DATUSR,
};
constexpr int kEcedocRecordCount = 12;

// The layout of a record (nullptr for EcedocRecord::None).
const RecordLayout *ecedocLayout(EcedocRecord record);

// DATUSR record: FieldName, FieldLength, then FieldValue of the length held in FieldLength.
constexpr int32_t kDatusrFieldLengthOffset = 8;
constexpr int32_t kDatusrLengthEnd = 17; // a zero byte stored here ends the number
constexpr int32_t kDatusrValueOffset = 18;

// The opening ("<ECEDOC>") or closing ("</ECEDOC>") tag of an element.
const char *ecedocTagText(EcedocElement element, bool closing);

// Document type from the first two characters of the PROLOG record ("UC" reads as NC).
EcedocType ecedocDocumentType(ByteView prolog);

// The length n of a DATUSR value: stores a zero byte at record offset 17 (only when that
// byte lies inside the message), then reads a decimal number from offset 8 as atoi does:
// leading white space, an optional sign, digits up to the first other byte. Blanks only
// or letters give 0; the number may be negative.
int32_t datusrValueLength(ByteView record);

// One tag recognised at a walk position, with the record that follows it.
struct EcedocStep {
    EcedocElement element;
    bool closing;
    EcedocRecord record; // the record read after an opening tag, or None
    ByteView body;       // the bytes from the first byte after the tag to the end of the body
    int32_t valueLength; // DATUSR: the value length n (may be 0 or negative)
    int64_t next;        // the walk position after the tag and its record
};

// Which records after HDR020, HDR030 and HDR040 a walk reads: the summary steps over them
// in every document, the detailed report only in ON documents.
enum class EcedocHeaderRecords { EveryDocument, OnlyON };

// Recognises the tag at the position and works out where the walk goes next. Returns
// false when the bytes there are none of the 24 tags. Stores the DATUSR zero byte.
// Every step advances by at least 8 bytes; positions are 64-bit and cannot overflow.
bool readEcedocStep(ByteView body, int64_t position, EcedocType type, EcedocHeaderRecords headers,
                    EcedocStep &step);

// True while a walk has a tag left to read: the position lies before the body's last byte.
inline bool ecedocWalkGoesOn(ByteView body, int64_t position) {
    return position < static_cast<int64_t>(body.length) - 1;
}

// "Unknown Tag (...)\n": at most 40 bytes from the position, never past the end of the
// body, zero bytes shown as blanks.
void writeUnknownEcedocTag(OutputSink &out, ByteView at);

} // namespace qpeek
