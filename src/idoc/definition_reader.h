// The parser-definition file reader: builds one IdocDefinition tree per BEGIN_IDOC block
// of a file and adds every tree it completes to the definition store.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "idoc/definition_model.h"
#include "idoc/definition_store.h"

namespace qpeek {

// Line buffer of the reader; a longer line is read as several consecutive lines.
constexpr size_t kDefinitionLineSize = 4096;
// Groups nested deeper than this are not opened: their lines belong to the enclosing group.
constexpr int kMaxGroupDepth = 64;

// Splits one line in place: the keyword (empty for a blank or comment line) and the value,
// both zero-terminated inside the line.
void splitDefinitionLine(char *line, const char **keyword, const char **value);

// The leading decimal integer of a value (blanks, a sign and zeros allowed; no digits
// gives 0), saturated to the 32-bit range.
int32_t readDecimal(const char *value);
int32_t readDecimal(std::string_view value);

// What reading a definition file for a name came to: the definition of that name, or
// none, and why.
enum class LoadStatus : uint8_t {
    Found,      // the file was read and the store holds the name
    NotDefined, // no file defines the name (or none was read for it)
    CannotOpen, // the file could not be opened ("Unable to open" was written)
};
struct DefinitionLoad {
    const IdocDefinition *definition = nullptr;
    LoadStatus status = LoadStatus::NotDefined;
};

// Reads the file at path under the definition lock, adding all its definitions to the
// store; then looks the name up in the store.
DefinitionLoad readDefinitionFile(DefinitionStore &store, const char *name, const char *path);

// The outermost level of a definition file from an open stream: segment sections and
// the "Unexspected token" message for anything else.
void readDefinitionStream(DefinitionStore &store, FILE *file);

} // namespace qpeek
