// IDoc parse and validation: the detailed report of a SAP IDoc.
#pragma once

#include <string>

#include "common/byte_view.h"
#include "idoc/definition_model.h"
#include "report/output_sink.h"

namespace qpeek {

// Parse error codes (held in the context; the first one ends the parse).
constexpr int32_t kErrorNoControlDefinition = 1000;
constexpr int32_t kErrorNoIdocDefinition = 1001;
constexpr int32_t kErrorTrailingData = 1002;
constexpr int32_t kErrorSecondControlRecord = 1004;
constexpr int32_t kErrorMissingField = 1012;
constexpr int32_t kErrorGroupMemberGroupMissing = 1017;
constexpr int32_t kErrorGroupMemberGroupMin = 1018;
constexpr int32_t kErrorGroupMemberSegmentMissing = 1019;
constexpr int32_t kErrorGroupMemberSegmentMin = 1020;
constexpr int32_t kErrorGroupEndedEarly = 1021;
constexpr int32_t kErrorTopGroupMissing = 1026;
constexpr int32_t kErrorTopGroupMin = 1027;
constexpr int32_t kErrorTopSegmentMissing = 1028;
constexpr int32_t kErrorTopSegmentMin = 1029;
constexpr int32_t kErrorSectionEndedEarly = 1030;
constexpr int32_t kErrorNoDataRecordDefinition = 1031;
constexpr int32_t kErrorIdocTypeMismatch = 1033;
constexpr int32_t kErrorUnexpectedData = 1034;

// The whole detailed report of an IDoc body ("SAPH" or "EDI_DC" at its first byte).
void parseMessage(OutputSink &out, ByteView body);

// One flat record (control record or data-record header) at the position.
void parseEDI(ParseContext &context, const IdocDefinition &definition, const char *path);
// Every data record of the IDoc against the IDoc type's definition.
void parseSection(ParseContext &context, const IdocDefinition &definition);
// One occurrence of a group: 1 when the group does not occur at the position, else 0.
int parseGroup(ParseContext &context, const DefinitionNode &group, const char *path, int index);
// One data record as an occurrence of the segment: 1 when it is another segment, else 0.
int parseSEGMENT(ParseContext &context, const DefinitionNode &segment, const char *path, int index);

// True when the data record at the position is an occurrence of the segment definition
// named name: its name begins with the whole name, or with the name without its three-digit
// version number.
bool segmentMatches(ByteView data, int64_t position, const std::string &name);

// A message of the parse, formatted like printf, on standard error.
void logError(ParseContext &context, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace qpeek
