// Definition lookup: a name to its definition, from the store or from the candidate
// definition files, with the version fallback of IDoc types.
#pragma once

#include "idoc/definition_model.h"
#include "idoc/definition_reader.h"
#include "idoc/definition_store.h"

namespace qpeek {

enum class FindMode { Exact, Fallback };

// The first definition of that name in the store; with the fallback also lower version
// numbers of the name (from the store or their files) and last the bare name (store only).
const IdocDefinition *findDefinition(DefinitionStore &store, const char *name, FindMode mode);

// Reads the candidate files for the name until one defines it: the default definition file
// (at the first load of a message), then P + name + ".parser", then the Resources file.
// The result is the last file's.
DefinitionLoad loadSegmentDefinition(DefinitionStore &store, const char *name);

} // namespace qpeek
