// The definition cache, definition lookup with version fallback, the candidate files of a
// load, and the per-user definition lock.
#include "idoc/definition_cache.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "idoc/definition_reader.h"
#include "idoc/idoc_report.h"
#include "platform/platform.h"

namespace qpeek {

namespace {

constexpr int kMutexOpenAttempts = 10;

// Every definition read during the run, in reading order, and an index from a name to
// the first definition of that name (the keys view the definitions' own names). Both last
// until the process ends and are never destroyed: a large definition file is millions of
// small objects, and freeing them one by one at exit would cost more than reading them.
std::vector<std::unique_ptr<IdocDefinition>> &gCache =
    *new std::vector<std::unique_ptr<IdocDefinition>>;
std::unordered_map<std::string_view, IdocDefinition *> &gIndex =
    *new std::unordered_map<std::string_view, IdocDefinition *>;

// The lock is opened (or found unavailable) once per run: a lock that cannot be had is not
// tried again, so its message is written once, however many searches follow.
enum class LockState { Untried, Open, Unavailable };
LockState gLockState = LockState::Untried;
// Set when an acquisition did not get the lock within its wait: later acquisitions then only
// try it, without waiting, until one of them gets it. A run waits for a stuck holder once.
bool gLockWaitFailed = false;
// Open acquisitions of the lock (also those that did not get it).
int gLockDepth = 0;

// Messages about definition files written while the lock is held are kept here and written
// when the last acquisition is released, so that a reader of standard output that stops
// reading does not hold up every other qpeek of the user. Past the limit they go out at once.
constexpr size_t kHeldMessagesLimit = 1u << 20;
std::string &gHeldMessages = *new std::string;

void writeHeldMessages() {
    if (!gHeldMessages.empty()) {
        std::fwrite(gHeldMessages.data(), 1, gHeldMessages.size(), stdout);
        gHeldMessages.clear();
    }
}

bool gProgramDirectoryKnown = false;
std::string gProgramDirectory;
// P + "qpeek.parser", made when P becomes known; the default definition file of a message
// is this path while gDefaultDefinitionPending says it is not used yet (set at the start of
// every message, cleared by its first use), so no path is built per message.
std::string gDefaultDefinitionPath;
bool gDefaultDefinitionPending = false;

const IdocDefinition *findCached(const char *name) {
    auto it = gIndex.find(std::string_view(name));
    return it == gIndex.end() ? nullptr : it->second;
}

} // namespace

const std::string &programDirectory() {
    if (!gProgramDirectoryKnown) {
        std::string path = platform::executablePath();
        // Up to and including the last "\\", or else the last "/". Where "/" alone separates
        // directories, a backslash is an ordinary character of a name and ends nothing.
        size_t slash = platform::kPathSeparator == '\\' ? path.rfind('\\') : std::string::npos;
        if (slash == std::string::npos)
            slash = path.rfind('/');
        gProgramDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        gProgramDirectoryKnown = true;
        gDefaultDefinitionPath = gProgramDirectory + "qpeek.parser";
    }
    return gProgramDirectory;
}

void setProgramDirectory(const std::string &directory) {
    gProgramDirectory = directory;
    gProgramDirectoryKnown = true;
    gDefaultDefinitionPath = gProgramDirectory + "qpeek.parser";
}

bool definitionLockSettled() {
    return gLockState != LockState::Untried;
}

bool isDefinitionFileName(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' ||
            (c == '.' && i + 1 < name.size() && name[i + 1] == '.'))
            return false;
    }
    return true;
}

void writeDefinitionMessage(const char *format, ...) {
    va_list args;
    va_start(args, format);
    if (gLockDepth == 0) {
        std::vfprintf(stdout, format, args);
        va_end(args);
        return;
    }
    va_list again;
    va_copy(again, args);
    char text[512];
    int n = std::vsnprintf(text, sizeof text, format, args);
    if (n > 0 && static_cast<size_t>(n) < sizeof text) {
        gHeldMessages.append(text, static_cast<size_t>(n));
    } else if (n > 0) {
        size_t at = gHeldMessages.size();
        gHeldMessages.resize(at + static_cast<size_t>(n) + 1);
        std::vsnprintf(&gHeldMessages[at], static_cast<size_t>(n) + 1, format, again);
        gHeldMessages.resize(at + static_cast<size_t>(n));
    }
    va_end(again);
    va_end(args);
    if (gHeldMessages.size() >= kHeldMessagesLimit)
        writeHeldMessages();
}

void beginDefinitionMessage() {
    programDirectory(); // the executable's path is looked up once per run
    gDefaultDefinitionPending = true;
}

void addDefinition(std::unique_ptr<IdocDefinition> definition) {
    if (gIndex.count(std::string_view(definition->name)))
        return;
    IdocDefinition *d = definition.get();
    gCache.push_back(std::move(definition));
    gIndex.emplace(std::string_view(d->name), d);
}

size_t definitionCount() {
    return gCache.size();
}

void clearDefinitionCache() {
    gIndex.clear();
    gCache.clear();
    forgetReportLines();
}

void openDefinitionMutex() {
    if (gLockState != LockState::Untried)
        return;
    std::string name = platform::lockUserName() + "IDOCSHARE.SEM";
    bool open = false;
    for (int attempt = 0; attempt < kMutexOpenAttempts && !open; ++attempt)
        open = platform::openDefinitionLock(name);
    gLockState = open ? LockState::Open : LockState::Unavailable;
    if (!open)
        writeDefinitionMessage("Unable to CreateMutex(%s)\n", name.c_str());
}

void lockDefinitions() {
    openDefinitionMutex();
    ++gLockDepth;
    // Owned, timed out or failed: the caller's work is done in any case.
    if (gLockState == LockState::Open)
        gLockWaitFailed =
            !platform::acquireDefinitionLock(gLockWaitFailed ? 0 : kDefinitionLockTimeoutMs);
}

void unlockDefinitions() {
    if (gLockState == LockState::Open)
        platform::releaseDefinitionLock();
    if (gLockDepth > 0 && --gLockDepth == 0)
        writeHeldMessages();
}

const IdocDefinition *loadSegmentDefinition(ParseContext &context, const char *name) {
    // A name taken from a message that could lead out of the definition directories (or
    // cut a path short) is not made into a path: no file defines it.
    if (!isDefinitionFileName(name))
        return nullptr;
    const std::string &p = programDirectory();
    if (gDefaultDefinitionPending) {
        gDefaultDefinitionPending = false; // used up whatever the outcome
        if (const IdocDefinition *d =
                readDefinitionFile(context, name, gDefaultDefinitionPath.c_str()))
            return d;
    }
    std::string path = p + name + ".parser";
    if (const IdocDefinition *d = readDefinitionFile(context, name, path.c_str()))
        return d;
    path = p + platform::kResourcesDirectory + name + ".parser";
    return readDefinitionFile(context, name, path.c_str());
}

const IdocDefinition *findDefinition(ParseContext &context, const char *name, FindMode mode) {
    // The cache belongs to this process alone, so a search of it needs no cross-process
    // lock: taking it would cost two system calls per data record, and a wait whenever
    // another process reads its definition files. The lock is still opened at the first
    // search (with its message when it cannot be), and held wherever files may be read.
    openDefinitionMutex();
    if (const IdocDefinition *d = findCached(name))
        return d;
    if (mode == FindMode::Exact)
        return nullptr;
    // No file is read for a name that is not made into a path, nor for the lower versions
    // of it (each holds the same characters): its search takes no lock.
    bool readsFiles = isDefinitionFileName(name);
    if (readsFiles)
        lockDefinitions();

    // Version fallback: ORDERS05 tries ORDERS04 ... ORDERS00, each from the cache or its
    // files, and last ORDERS from the cache alone.
    std::string base(name);
    int number = 0;
    int width = 0;
    size_t n = base.size();
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (n > 2 && isDigit(base[n - 1])) {
        if (isDigit(base[n - 2])) {
            number = (base[n - 2] - '0') * 10 + (base[n - 1] - '0') - 1;
            width = 2;
            base.resize(n - 2);
        } else {
            number = base[n - 1] - '0' - 1;
            width = 1;
            base.resize(n - 1);
        }
    }
    std::string candidate;
    for (; number >= 0; --number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%.*d", width, number);
        candidate = base + digits;
        context.error = 0;
        const IdocDefinition *d = findDefinition(context, candidate.c_str(), FindMode::Exact);
        if (!d)
            d = loadSegmentDefinition(context, candidate.c_str());
        if (d) {
            if (readsFiles)
                unlockDefinitions();
            return d;
        }
    }
    context.error = 0;
    const IdocDefinition *d = findDefinition(context, base.c_str(), FindMode::Exact);
    if (readsFiles)
        unlockDefinitions();
    return d;
}

} // namespace qpeek
