// The definition cache (every definition read during the run), lookup by name with the
// version fallback of IDoc types, the candidate definition files, and the definition lock
// shared by the processes of one user.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "idoc/definition_model.h"

namespace qpeek {

// A definition file that cannot be opened (never the final error of a parse).
constexpr int32_t kErrorCannotOpenDefinition = 1010;
// The longest wait for the definition lock; past it the work goes on without the lock.
constexpr int kDefinitionLockTimeoutMs = 5000;

enum class FindMode { Exact, Fallback };

// The first definition of that name in the cache; with the fallback also lower version
// numbers of the name (from the cache or their files) and last the bare name (cache only).
const IdocDefinition *findDefinition(ParseContext &context, const char *name, FindMode mode);

// Reads the candidate files for the name until one defines it: the default definition file
// (at the first load of a message), then P + name + ".parser", then the Resources file.
const IdocDefinition *loadSegmentDefinition(ParseContext &context, const char *name);

// Called at the start of every message: the next load reads the default definition file.
void beginDefinitionMessage();

// Adds a definition read from a file, unless one of that name is already cached (the
// earlier one would be found anyway, and memory stays bounded when files are re-read).
void addDefinition(std::unique_ptr<IdocDefinition> definition);

// The definition lock: recursive within the process, bounded wait that carries on. It is
// opened once per run (a lock that cannot be had is reported once and not tried again);
// after a wait that timed out, acquisitions only try it until one gets it.
// True once the lock has been opened or found unavailable: a search of the cache then
// prints nothing.
bool definitionLockSettled();
void lockDefinitions();
void unlockDefinitions();
void openDefinitionMutex();

// A message about definition files or the lock, for standard output: written at once, or,
// while the lock is held, when it is released (in the same order).
void writeDefinitionMessage(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Whether a definition name may be made into the path of a definition file: not when it
// holds "/", "\\", "..", a zero byte or another control character (0x00-0x1F, 0x7F). Such a
// name is looked up in the cache only, as a name no file defines.
bool isDefinitionFileName(std::string_view name);

// The directory of the executable, ending in "/" (the tests may point it elsewhere).
const std::string &programDirectory();
void setProgramDirectory(const std::string &directory);

// Cache size, and emptying it (tests and fuzzing only).
size_t definitionCount();
void clearDefinitionCache();

} // namespace qpeek
