// Definition lookup: the candidate files of a load in their order, and the version
// fallback of IDoc types.
#include "idoc/definition_lookup.h"

#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace qpeek {

namespace {

DefinitionLoad loadCandidates(DefinitionStore &store, const char *name) {
    const std::string &p = programDirectory(store);
    if (store.defaultDefinitionPending) {
        store.defaultDefinitionPending = false; // used up whatever the outcome
        DefinitionLoad load = readDefinitionFile(store, name, store.defaultDefinitionPath.c_str());
        if (load.definition)
            return load;
    }
    std::string path = p + name + ".parser";
    DefinitionLoad load = readDefinitionFile(store, name, path.c_str());
    if (load.definition)
        return load;
    path = p + platform::kResourcesDirectory + name + ".parser";
    return readDefinitionFile(store, name, path.c_str());
}

} // namespace

DefinitionLoad loadSegmentDefinition(DefinitionStore &store, const char *name) {
    // A name taken from a message that could lead out of the definition directories (or
    // cut a path short) is not made into a path: no file defines it.
    if (!isDefinitionFileName(name))
        return DefinitionLoad{};
    // One acquisition of the lock around all the candidates (each read takes it again): the
    // lock is taken from another process once per load, not once per file.
    lockDefinitions(store);
    DefinitionLoad load = loadCandidates(store, name);
    unlockDefinitions(store);
    return load;
}

const IdocDefinition *findDefinition(DefinitionStore &store, const char *name, FindMode mode) {
    // The cache belongs to this process alone, so a search of it needs no cross-process
    // lock: taking it would cost two system calls per data record, and a wait whenever
    // another process reads its definition files. The lock is still opened at the first
    // search (with its message when it cannot be), and held wherever files may be read.
    openDefinitionMutex(store);
    if (const IdocDefinition *d = cachedDefinition(store, name))
        return d;
    if (mode == FindMode::Exact)
        return nullptr;
    // No file is read for a name that is not made into a path, nor for the lower versions
    // of it (each holds the same characters): its search takes no lock.
    bool readsFiles = isDefinitionFileName(name);
    if (readsFiles)
        lockDefinitions(store);

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
        const IdocDefinition *d = findDefinition(store, candidate.c_str(), FindMode::Exact);
        if (!d)
            d = loadSegmentDefinition(store, candidate.c_str()).definition;
        if (d) {
            if (readsFiles)
                unlockDefinitions(store);
            return d;
        }
    }
    const IdocDefinition *d = findDefinition(store, base.c_str(), FindMode::Exact);
    if (readsFiles)
        unlockDefinitions(store);
    return d;
}

} // namespace qpeek
