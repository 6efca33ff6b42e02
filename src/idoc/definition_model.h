// The IDoc definition model: the trees read from parser-definition files (one
// IdocDefinition per BEGIN_IDOC block, groups and segments below it, fields in the
// segments) and the state one parse of one message carries.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/byte_view.h"
#include "report/output_sink.h"

namespace qpeek {

// Names, descriptions and the IDoc type hold at most this many characters.
constexpr size_t kDefinitionTextLimit = 255;

struct FieldDefinition {
    std::string name;
    std::string description;
    int32_t length = 0; // bytes the field occupies in the segment data area
    // The number of the field's report line, made at its first use (the same for every
    // record); 0 until then. A number, not a pointer: definitions stay small.
    mutable uint32_t reportLine = 0;
};

enum class NodeKind : uint8_t { Group, Segment };

struct DefinitionNode {
    // A group carries the name of its first member once that member is read.
    std::string name;
    std::string description; // segments only
    NodeKind kind = NodeKind::Segment;
    bool mandatory = true;
    // The number of the segment's heading line, made at its first use; 0 until then.
    mutable uint32_t headingLine = 0;
    int32_t loopMin = 0;
    int32_t loopMax = 0;                                  // 0 and 1 both allow one occurrence
    std::vector<std::unique_ptr<DefinitionNode>> members; // groups: groups and segments
    std::vector<FieldDefinition> fields;                  // segments: fields in file order
};

struct IdocDefinition {
    std::string name; // the key under which the definition is found
    std::vector<std::unique_ptr<DefinitionNode>> members;
};

// One parse of one message.
struct ParseContext {
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

    int64_t length() const { return data.length; }
};

} // namespace qpeek
