// The IDoc definition model: the trees read from parser-definition files (one
// IdocDefinition per BEGIN_IDOC block, groups and segments below it, fields in the
// segments).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qpeek {

// Names, descriptions and the IDoc type hold at most this many characters.
constexpr size_t kDefinitionTextLimit = 255;

struct FieldDefinition {
    std::string name;
    std::string description;
    int32_t length = 0; // bytes the field occupies in the segment data area
    // The number of the field's report line in the lines of the store that holds the
    // definition, made at its first use (the same for every record); 0 until then. A
    // number, not a pointer: definitions stay small.
    mutable uint32_t reportLine = 0;
};

enum class NodeKind : uint8_t { Group, Segment };

struct DefinitionNode {
    // A group carries the name of its first member once that member is read.
    std::string name;
    std::string description; // segments only
    NodeKind kind = NodeKind::Segment;
    bool mandatory = true;
    // The number of the segment's heading line in the store's lines, made at its first
    // use; 0 until then.
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

} // namespace qpeek
