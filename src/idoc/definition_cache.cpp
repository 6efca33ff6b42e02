// The definition cache, definition lookup with version fallback, the candidate files of a
// load, and the per-user definition lock.
#include "idoc/definition_cache.h"

#include <cctype>
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

bool gLockOpen = false;

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

bool definitionLockOpen() {
    return gLockOpen;
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
    std::string name = platform::userName() + "IDOCSHARE.SEM";
    for (int attempt = 0; attempt < kMutexOpenAttempts && !gLockOpen; ++attempt)
        gLockOpen = platform::openDefinitionLock(name);
    if (!gLockOpen)
        std::fprintf(stdout, "Unable to CreateMutex(%s)\n", name.c_str());
}

void lockDefinitions() {
    if (!gLockOpen)
        openDefinitionMutex();
    // Owned, timed out or failed: the caller's work is done in any case.
    if (gLockOpen)
        platform::acquireDefinitionLock(kDefinitionLockTimeoutMs);
}

void unlockDefinitions() {
    if (gLockOpen)
        platform::releaseDefinitionLock();
}

const IdocDefinition *loadSegmentDefinition(ParseContext &context, const char *name) {
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
    // another process reads its definition files. The lock is still opened at the search
    // (with its message when it cannot be), and held wherever files may be read.
    if (!gLockOpen)
        openDefinitionMutex();
    if (const IdocDefinition *d = findCached(name))
        return d;
    if (mode == FindMode::Exact)
        return nullptr;
    if (gLockOpen)
        platform::acquireDefinitionLock(kDefinitionLockTimeoutMs);

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
            unlockDefinitions();
            return d;
        }
    }
    context.error = 0;
    const IdocDefinition *d = findDefinition(context, base.c_str(), FindMode::Exact);
    unlockDefinitions();
    return d;
}

} // namespace qpeek
