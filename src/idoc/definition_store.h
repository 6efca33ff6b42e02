// The definition store: every definition read during the run (the definition cache), the
// definition lock shared by the processes of one user with the messages held while it is
// held, the program directory and the default definition file of the message, the block
// buffer of the reader, and the report lines made for the definitions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "idoc/definition_model.h"
#include "platform/platform.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/output_sink.h"

namespace qpeek {

// The longest wait for the definition lock; past it the work goes on without the lock.
constexpr int kDefinitionLockTimeoutMs = 5000;
// Messages held while the lock is held go out at once past this many bytes.
constexpr size_t kHeldMessagesLimit = 1u << 20;
// The reader takes a definition file in blocks of this size.
constexpr size_t kDefinitionFileBlock = 1u << 20;

// The lock is opened (or found unavailable) once per run: a lock that cannot be had is not
// tried again, so its message is written once, however many searches follow.
enum class LockState : uint8_t { Untried, Open, Unavailable };

struct DefinitionLock {
    LockState state = LockState::Untried;
    // Set when an acquisition did not get the lock within its wait: later acquisitions then
    // only try it, without waiting, until one of them gets it. A run waits for a stuck
    // holder once.
    bool waitFailed = false;
    int depth = 0; // open acquisitions (also those that did not get the lock)
    // Messages about definition files written while the lock is held, written when the last
    // acquisition is released, so that a reader of standard output that stops reading does
    // not hold up every other qpeek of the user.
    std::string heldMessages;
};

// The report lines made for the definitions at their first use, found through the numbers
// the definitions keep (entry 0 is no line). Kept apart from the definitions, which stay
// small: a definition file may hold hundreds of thousands of fields, few of them reported.
struct SegmentLines {
    std::vector<PreparedField> fields = std::vector<PreparedField>(1);
    std::vector<JsonFieldText> jsonFields = std::vector<JsonFieldText>(1); // by the same number
    std::vector<PreparedLine> headings = std::vector<PreparedLine>(1);
    std::vector<JsonSegmentText> jsonSegments = std::vector<JsonSegmentText>(1); // likewise
};

// A definition file read in this run, known by its identity. Reading it again would add
// nothing to the store (every name it defines is held from its first read on) and write the
// same messages again: a second read replays them instead.
struct DefinitionFileRead {
    platform::FileIdentity identity;
    std::string messages; // what the read wrote to standard output, in order
};
// A read that writes more than this is not remembered (the file is read again instead).
constexpr size_t kRememberedMessagesLimit = 4u << 20;

struct DefinitionStore {
    // Every definition read, in reading order, and an index from a name to the first
    // definition of that name (the keys view the definitions' own names).
    std::vector<std::unique_ptr<IdocDefinition>> definitions;
    std::unordered_map<std::string_view, const IdocDefinition *> index;
    DefinitionLock lock;
    bool programDirectoryKnown = false;
    std::string programDirectory; // ends in the separator, or empty
    // P + "qpeek.parser"; the default definition file of a message while
    // defaultDefinitionPending says it is not used yet (set at the start of every message,
    // cleared by its first use).
    std::string defaultDefinitionPath;
    bool defaultDefinitionPending = false;
    // kDefinitionFileBlock bytes and a terminating byte, made at the first read.
    std::unique_ptr<char[]> fileBlock;
    std::vector<DefinitionFileRead> filesRead;
    SegmentLines lines;
    // The sink of the report being written while a message is parsed: the store's messages
    // for standard output go through it, so they keep their place among the report bytes.
    // None (outside a parse): they go to standard output itself.
    OutputSink *sink = nullptr;
};

// The store of the run. It lasts until the process ends and is never destroyed: a large
// definition file is millions of small objects, and freeing them one by one at exit would
// cost more than reading them.
DefinitionStore &processDefinitionStore();

// Adds a definition read from a file, unless one of that name is already held (the earlier
// one would be found anyway, and memory stays bounded when files are re-read).
void addDefinition(DefinitionStore &store, std::unique_ptr<IdocDefinition> definition);
// The first definition of that name, or none (the store alone; no file is read).
const IdocDefinition *cachedDefinition(const DefinitionStore &store, const char *name);
// Drops every definition, the report lines made for them and the files read (tests and
// fuzzing).
void clearDefinitions(DefinitionStore &store);

// The directory of the executable, ending in its separator, looked up once per store (the
// tests may point it elsewhere).
const std::string &programDirectory(DefinitionStore &store);
void setProgramDirectory(DefinitionStore &store, const std::string &directory);
// Called at the start of every message: the next load reads the default definition file.
void beginDefinitionMessage(DefinitionStore &store);

// The definition lock: recursive within the process, bounded wait that carries on.
// True once the lock has been opened or found unavailable: a search then prints nothing.
bool definitionLockSettled(const DefinitionStore &store);
void openDefinitionMutex(DefinitionStore &store);
void lockDefinitions(DefinitionStore &store);
void unlockDefinitions(DefinitionStore &store);

// A message about definition files or the lock, for standard output (through the store's
// sink when it has one): written at once, or, while the lock is held, when it is released
// (in the same order).
void writeDefinitionMessage(DefinitionStore &store, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Text for standard output, written or held like writeDefinitionMessage's.
void writeDefinitionText(DefinitionStore &store, std::string_view text);

// Whether a definition name may be made into the path of a definition file: not when it
// holds "/", "\\", "..", a zero byte or another control character (0x00-0x1F, 0x7F). Such a
// name is looked up in the store only, as a name no file defines.
bool isDefinitionFileName(std::string_view name);

} // namespace qpeek
