// IDoc parse and validation: the detailed report of a SAP IDoc.
#pragma once

#include <string>

#include "common/byte_view.h"
#include "idoc/definition_model.h"
#include "idoc/definition_store.h"
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

// One parse of one message.
struct ParseContext {
    DefinitionStore &store;     // where its definitions are found and their lines kept
    ByteView data;              // the IDoc: the body, or what follows the MQSAPH header
    int64_t position = 0;       // offset in data of the next unread byte; only grows
    int32_t error = 0;          // the first failure's code; every loop stops once it is set
    int32_t dataRecordKind = 0; // MQSAPH version, 0 without one: EDI_DD or ICI_DD records
    char versionSuffix[3] = {0, 0, 0};
    // "EDI_DD" or "ICI_DD" and the version suffix, formatted at the first data record after
    // the suffix is set (emptied whenever it changes).
    char dataRecordName[16] = {};
    // The definition found under dataRecordName, once it is found (definitions are never
    // dropped while a message is parsed).
    const IdocDefinition *dataRecordDefinition = nullptr;
    std::string idocType;      // from the control record's IDOCTYP field
    OutputSink *out = nullptr; // where the report goes
    // Set by every group occurrence that returns 0: whether its first member was absent.
    bool groupTriggerAbsent = false;
    // The element path of the group whose members are being parsed.
    const char *path = "";
    // The last message on standard error, and the one that came with the first failure
    // (machine-readable output only).
    std::string lastMessage;
    std::string failureMessage;

    explicit ParseContext(DefinitionStore &definitions) : store(definitions) {}
    int64_t length() const { return data.length; }
};

// The whole detailed report of an IDoc body ("SAPH" or "EDI_DC" at its first byte), with
// the definitions of the run, or of the store given.
void parseMessage(OutputSink &out, ByteView body);
void parseMessage(DefinitionStore &store, OutputSink &out, ByteView body);

// One flat record (control record or data-record header) at the position.
void parseEDI(ParseContext &context, const IdocDefinition &definition);
// Every data record of the IDoc against the IDoc type's definition.
void parseSection(ParseContext &context, const IdocDefinition &definition);
void parseSectionMembers(ParseContext &context, const IdocDefinition &definition);
// One occurrence of a group: 1 when the group does not occur at the position, else 0.
int parseGroup(ParseContext &context, const DefinitionNode &group, const char *path, int index);
// One data record as an occurrence of the segment: 1 when it is another segment, else 0.
int parseSEGMENT(ParseContext &context, const DefinitionNode &segment);

// True when the data record at the position is an occurrence of the segment definition
// named name: its name begins with the whole name, or with the name without its three-digit
// version number.
bool segmentMatches(ByteView data, int64_t position, const std::string &name);

// A message of the parse, formatted like printf, on standard error.
void logError(ParseContext &context, const char *format, ...) __attribute__((format(printf, 2, 3)));

} // namespace qpeek
