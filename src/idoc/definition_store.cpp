// The definition store: the cache of definitions, the per-user definition lock and the
// messages held under it, and the program directory.
#include "idoc/definition_store.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace qpeek {

namespace {

constexpr int kMutexOpenAttempts = 10;

// Text for standard output, now: through the sink of the report being written, if any.
void writeStandardText(DefinitionStore &store, std::string_view text) {
    if (store.sink)
        writeStandardOutput(*store.sink, text.data(), text.size());
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

void writeHeldMessages(DefinitionStore &store) {
    std::string &held = store.lock.heldMessages;
    if (!held.empty()) {
        writeStandardText(store, held);
        held.clear();
    }
}

} // namespace

DefinitionStore &processDefinitionStore() {
    static DefinitionStore &store = *new DefinitionStore;
    return store;
}

void addDefinition(DefinitionStore &store, std::unique_ptr<IdocDefinition> definition) {
    const IdocDefinition *d = definition.get();
    if (!store.index.emplace(std::string_view(d->name), d).second)
        return;
    store.definitions.push_back(std::move(definition));
}

const IdocDefinition *cachedDefinition(const DefinitionStore &store, const char *name) {
    auto it = store.index.find(std::string_view(name));
    return it == store.index.end() ? nullptr : it->second;
}

void clearDefinitions(DefinitionStore &store) {
    store.index.clear();
    store.definitions.clear();
    store.lines = SegmentLines();
    store.filesRead.clear();
}

const std::string &programDirectory(DefinitionStore &store) {
    if (!store.programDirectoryKnown) {
        std::string path = platform::executablePath();
        // Up to and including the last "\\", or else the last "/". Where "/" alone separates
        // directories, a backslash is an ordinary character of a name and ends nothing.
        size_t slash = platform::kPathSeparator == '\\' ? path.rfind('\\') : std::string::npos;
        if (slash == std::string::npos)
            slash = path.rfind('/');
        setProgramDirectory(store,
                            slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    }
    return store.programDirectory;
}

void setProgramDirectory(DefinitionStore &store, const std::string &directory) {
    store.programDirectory = directory;
    store.programDirectoryKnown = true;
    store.defaultDefinitionPath = directory + "qpeek.parser";
}

void beginDefinitionMessage(DefinitionStore &store) {
    programDirectory(store); // the executable's path is looked up once per run
    store.defaultDefinitionPending = true;
}

bool definitionLockSettled(const DefinitionStore &store) {
    return store.lock.state != LockState::Untried;
}

void openDefinitionMutex(DefinitionStore &store) {
    DefinitionLock &lock = store.lock;
    if (lock.state != LockState::Untried)
        return;
    std::string name = platform::lockUserName() + "IDOCSHARE.SEM";
    bool open = false;
    for (int attempt = 0; attempt < kMutexOpenAttempts && !open; ++attempt)
        open = platform::openDefinitionLock(name);
    lock.state = open ? LockState::Open : LockState::Unavailable;
    if (!open)
        writeDefinitionMessage(store, "Unable to CreateMutex(%s)\n", name.c_str());
}

void lockDefinitions(DefinitionStore &store) {
    openDefinitionMutex(store);
    DefinitionLock &lock = store.lock;
    ++lock.depth;
    // Owned, timed out or failed: the caller's work is done in any case.
    if (lock.state == LockState::Open)
        lock.waitFailed =
            !platform::acquireDefinitionLock(lock.waitFailed ? 0 : kDefinitionLockTimeoutMs);
}

void unlockDefinitions(DefinitionStore &store) {
    DefinitionLock &lock = store.lock;
    if (lock.state == LockState::Open)
        platform::releaseDefinitionLock();
    if (lock.depth > 0 && --lock.depth == 0)
        writeHeldMessages(store);
}

void writeDefinitionMessage(DefinitionStore &store, const char *format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    char text[512];
    std::string longer;
    int n = std::vsnprintf(text, sizeof text, format, args);
    if (n > 0 && static_cast<size_t>(n) < sizeof text) {
        writeDefinitionText(store, std::string_view(text, static_cast<size_t>(n)));
    } else if (n > 0) {
        longer.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&longer[0], longer.size(), format, again);
        longer.resize(static_cast<size_t>(n));
        writeDefinitionText(store, longer);
    }
    va_end(again);
    va_end(args);
}

void writeDefinitionText(DefinitionStore &store, std::string_view text) {
    DefinitionLock &lock = store.lock;
    if (lock.depth == 0) {
        writeStandardText(store, text);
        return;
    }
    lock.heldMessages.append(text);
    if (lock.heldMessages.size() >= kHeldMessagesLimit)
        writeHeldMessages(store);
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

} // namespace qpeek
