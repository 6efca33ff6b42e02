// POSIX implementation of the platform services: directory search, current directory,
// environment, user name, executable path, local time and message-file reading.
#include "platform/platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qpeek::platform {

const char kPathSeparator = '/';
const char *const kListSeparators = ";,:";
const bool kNamesMayHoldControlBytes = true;
const char *const kResourcesDirectory = "../Resources/";

void initStandardStreams() {}

void initBinaryStandardInput() {}

size_t writeUnbuffered(FILE *stream, const void *bytes, size_t count) {
    int fd = fileno(stream);
    if (fd < 0 || std::fflush(stream) != 0 || std::ferror(stream))
        return 0;
    size_t done = 0;
    while (done < count) {
        ssize_t n = write(fd, static_cast<const char *>(bytes) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

bool pathExists(const char *path) {
    struct stat st;
    return stat(path, &st) == 0;
}

namespace {

// "*" matches any run of characters, "?" any one character; everything else matches itself.
bool wildcardMatch(const char *pattern, const char *name) {
    const char *starPattern = nullptr;
    const char *starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == 0;
}

} // namespace

bool findFiles(const std::string &pattern, NameList &names) {
    names.clear();
    size_t slash = pattern.rfind('/');
    std::string directory = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (last.empty())
        return false;
    if (last.find_first_of("*?") == std::string::npos) {
        struct stat st;
        if (lstat(pattern.c_str(), &st) != 0 || last == "." || last == "..")
            return false;
        names.add(last.c_str());
        return true;
    }
    DIR *dir = opendir(directory.c_str());
    if (!dir)
        return false;
    while (struct dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (wildcardMatch(last.c_str(), name))
            names.add(name);
    }
    closedir(dir);
    const char *base = names.arena.c_str();
    std::sort(names.offsets.begin(), names.offsets.end(),
              [base](uint32_t a, uint32_t b) { return std::strcmp(base + a, base + b) < 0; });
    return names.size() > 0;
}

std::string currentDirectory() {
    std::vector<char> buf(PATH_MAX + 1);
    for (;;) {
        if (getcwd(buf.data(), buf.size()))
            return std::string(buf.data());
        if (errno != ERANGE || buf.size() > (1u << 20))
            return std::string();
        buf.resize(buf.size() * 2);
    }
}

bool environmentValue(const char *name, std::string &value) {
    const char *v = std::getenv(name);
    if (!v)
        return false;
    value = v;
    return true;
}

// Arguments arrive as the bytes typed: nothing is lost on the way.
std::vector<bool> argumentsOutsideCodePage(int argc, char **) {
    return std::vector<bool>(argc > 0 ? static_cast<size_t>(argc) : 0, false);
}

bool currentDirectoryOutsideCodePage() {
    return false;
}

std::string codePageName() {
    return "the locale's character set";
}

std::string userName() {
    struct passwd pw;
    struct passwd *result = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &result) != 0 || !result)
        return std::string();
    return std::string(result->pw_name);
}

std::string executablePath() {
    char *real = realpath("/proc/self/exe", nullptr);
    if (!real)
        return std::string();
    std::string path(real);
    std::free(real);
    return path;
}

void formatLocalTime(char *buf, size_t size, const char *format) {
    if (size == 0)
        return;
    // Thousands of messages are reported within one second: the text of the last second is
    // kept and copied while the second, the format and the buffer size stay the same.
    static std::time_t lastTime = static_cast<std::time_t>(-1);
    static std::string lastFormat;
    static size_t lastSize = 0;
    static std::string lastText;
    std::time_t now = std::time(nullptr);
    if (now == lastTime && size == lastSize && lastFormat == format) {
        std::memcpy(buf, lastText.c_str(), lastText.size() + 1);
        return;
    }
    struct tm local;
    buf[0] = 0;
    if (localtime_r(&now, &local))
        std::strftime(buf, size, format, &local);
    lastTime = now;
    lastFormat = format;
    lastSize = size;
    lastText.assign(buf, strnlen(buf, size - 1));
}

int openClosedStandardStreams() {
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closed |= 1 << fd;
        // The lower descriptors are open by now, so the lowest free number is this one.
        int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
    return closed;
}

namespace {

// A buffer of many megabytes is asked to be backed by large pages where the system offers
// them: a big message then costs a few dozen page faults instead of thousands.
void adviseLargePages(void *data, size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kLargePage = 2u << 20;
    if (size < 4 * kLargePage)
        return;
    uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kLargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

// Files from this size on are mapped: copying them would cost more than the report.
constexpr size_t kMapFromSize = 1u << 20;

// The pages of the mapped file, for the bus-error handler. A mapped file that another
// process shrinks raises a bus error where the pages past its new end are read; the handler
// puts a page of zero bytes there and the read is repeated, so the message reads as cut
// short by zero bytes instead of ending the run.
volatile uintptr_t gMappedBegin = 0;
volatile uintptr_t gMappedEnd = 0;
uintptr_t gPageSize = 4096;

void onBusError(int, siginfo_t *info, void *) {
    uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr);
    if (at >= gMappedBegin && at < gMappedEnd) {
        void *page = reinterpret_cast<void *>(at & ~(gPageSize - 1));
        if (mmap(page, gPageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED,
                 -1, 0) != MAP_FAILED)
            return;
    }
    // Not ours: the default action when the instruction is repeated.
    signal(SIGBUS, SIG_DFL);
}

void guardMappedFiles() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    gPageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, nullptr);
}

// Maps size bytes of the open file, private (changes stay in the process) and followed by a
// zero byte: the rest of the file's last page reads as zeros, and a file that fills its last
// page whole gets one more page of zeros. False when the system refuses; the file is then read.
bool mapMessageFile(int fd, size_t size, MessageFile &file) {
    guardMappedFiles();
    size_t total = (size + 1 + gPageSize - 1) & ~(gPageSize - 1);
    // The file starts on a 2 MB boundary: the system then brings in the pages of a file it
    // holds in large blocks a whole block at a time, with a quarter of the page faults.
    constexpr uintptr_t kAlignment = 2u << 20;
    size_t reserved = total + kAlignment;
    void *reservation =
        mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reservation == MAP_FAILED)
        return false;
    uintptr_t from = reinterpret_cast<uintptr_t>(reservation);
    uintptr_t aligned = (from + kAlignment - 1) & ~(kAlignment - 1);
    if (aligned > from)
        munmap(reservation, aligned - from);
    if (from + reserved > aligned + total)
        munmap(reinterpret_cast<void *>(aligned + total), from + reserved - (aligned + total));
    void *base = reinterpret_cast<void *>(aligned);
    // Writable but private: a page is copied only when the report changes a byte of it.
    // The pages are brought in as they are read, many at a time.
    if (mmap(base, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, fd, 0) == MAP_FAILED) {
        munmap(base, total);
        return false;
    }
    file.mapping = base;
    file.mappingSize = total;
    file.data = static_cast<unsigned char *>(base);
    file.length = static_cast<int32_t>(size);
    gMappedBegin = reinterpret_cast<uintptr_t>(base);
    gMappedEnd = gMappedBegin + total;
    // The zero byte is stored, not trusted: a file that grows would otherwise show its new
    // bytes there.
    file.data[size] = 0;
    return true;
}

// Records why the file at path could not be opened or read (err: the system's error).
ReadStatus refuseMessageFile(const char *path, int err, MessageFile &file) {
    struct stat st;
    bool found = stat(path, &st) == 0;
    if (found && S_ISDIR(st.st_mode)) {
        file.failure = OpenFailure::Directory;
    } else if (found && !S_ISREG(st.st_mode)) {
        file.failure = OpenFailure::NotRegularFile; // a socket, say, which open refuses
    } else {
        file.failure = OpenFailure::SystemError;
        file.systemReason = std::strerror(err);
    }
    return ReadStatus::CannotOpen;
}

} // namespace

void releaseMessageFile(MessageFile &file) {
    if (file.mapping) {
        gMappedBegin = gMappedEnd = 0;
        munmap(file.mapping, file.mappingSize);
        file.mapping = nullptr;
        file.mappingSize = 0;
    }
    file.data = nullptr;
    file.length = 0;
}

ReadStatus readMessageFile(const char *path, MessageFile &file) {
    releaseMessageFile(file);
    file.failure = OpenFailure::None;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refuseMessageFile(path, errno, file);
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int err = errno;
        close(fd);
        return refuseMessageFile(path, err, file);
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        file.failure = S_ISDIR(st.st_mode) ? OpenFailure::Directory : OpenFailure::NotRegularFile;
        return ReadStatus::CannotOpen;
    }
    if (st.st_size > INT32_MAX - 1) {
        close(fd);
        return ReadStatus::TooLarge;
    }
    size_t size = static_cast<size_t>(st.st_size);
    if (size >= kMapFromSize && mapMessageFile(fd, size, file)) {
        close(fd);
        return ReadStatus::Ok;
    }
    std::vector<unsigned char> &buffer = file.buffer;
    if (buffer.size() < size + 1) {
        if (buffer.capacity() < size + 1) {
            buffer.clear(); // nothing of the last message is kept: no copy when it grows
            buffer.reserve(size + 1);
            adviseLargePages(buffer.data(), buffer.capacity());
        }
        buffer.resize(size + 1);
    }
    size_t got = 0;
    while (got < size) {
        ssize_t n = read(fd, buffer.data() + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            close(fd);
            file.failure = OpenFailure::SystemError;
            file.systemReason = std::strerror(err);
            return ReadStatus::CannotOpen;
        }
        if (n == 0)
            break; // the file shrank while we read it
        got += static_cast<size_t>(n);
    }
    close(fd);
    buffer[got] = 0;
    file.data = buffer.data();
    file.length = static_cast<int32_t>(got);
    return ReadStatus::Ok;
}

FILE *openDefinitionFile(const char *path, FileIdentity *identity, bool *identityKnown) {
    if (identityKnown)
        *identityKnown = false;
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    if (identity) {
        identity->device = static_cast<uint64_t>(st.st_dev);
        identity->file = static_cast<uint64_t>(st.st_ino);
        identity->size = static_cast<uint64_t>(st.st_size);
#if defined(__APPLE__)
        identity->modified =
            static_cast<int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
        identity->modified =
            static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
        if (identityKnown)
            *identityKnown = true;
    }
    FILE *file = fdopen(fd, "r");
    if (!file)
        close(fd);
    return file;
}

// The definition lock: an advisory flock on a per-user lock file. Acquisitions nest; each
// one records whether it owns the lock, so that its release undoes exactly it, and the
// file lock is given up when the last owning acquisition is released.
namespace {

int gLockFd = -1;
std::vector<bool> gAcquisitions; // per open acquisition: does it own the lock?
int gOwningAcquisitions = 0;
std::string gPrivateLockParent = "/tmp"; // where the private lock directory is made
bool gRuntimeDirectoryAllowed = true;

// A directory fit to hold the lock: a directory owned by the user that nobody else may
// write to (or, with `privateOnly`, nobody else may use at all).
bool isOwnDirectory(int fd, bool privateOnly) {
    struct stat st;
    mode_t others = privateOnly ? 077 : 022;
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & others) == 0;
}

// The directory of the lock file, open; -1 when there is none fit for it. $XDG_RUNTIME_DIR
// when it is usable, else PARENT/qpeek-UID, created 0700 if missing and then opened without
// following a link, so the checks are made on the directory itself whatever happens to the
// name meanwhile.
int openLockDirectory() {
    const char *runtime = gRuntimeDirectoryAllowed ? std::getenv("XDG_RUNTIME_DIR") : nullptr;
    if (runtime && *runtime == '/') {
        int fd = open(runtime, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && isOwnDirectory(fd, false))
            return fd;
        if (fd >= 0)
            close(fd);
    }
    std::string path = gPrivateLockParent + "/qpeek-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return -1;
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && !isOwnDirectory(fd, true)) {
        close(fd);
        fd = -1;
    }
    return fd;
}

int64_t monotonicMs() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

} // namespace

std::string lockUserName() {
    std::string name = userName();
    return name.empty() ? std::to_string(geteuid()) : name;
}

void setDefinitionLockDirectory(const std::string &directory) {
    gPrivateLockParent = directory;
    gRuntimeDirectoryAllowed = false;
}

bool openDefinitionLock(const std::string &name) {
    if (gLockFd >= 0)
        return true;
    int directory = openLockDirectory();
    if (directory < 0)
        return false;
    // No symlink is followed and no FIFO blocks the open; anything but a regular file of
    // the user is refused rather than locked.
    int fd = openat(directory, name.c_str(),
                    O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    close(directory);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        close(fd);
        return false;
    }
    gLockFd = fd;
    return true;
}

bool acquireDefinitionLock(int timeoutMs) {
    bool owned = false;
    if (gLockFd >= 0) {
        if (gOwningAcquisitions > 0) {
            owned = true; // already ours: the lock is recursive within the process
        } else {
            int64_t deadline = monotonicMs() + (timeoutMs > 0 ? timeoutMs : 0);
            for (;;) {
                if (flock(gLockFd, LOCK_EX | LOCK_NB) == 0) {
                    owned = true;
                    break;
                }
                if ((errno != EWOULDBLOCK && errno != EINTR) || monotonicMs() >= deadline)
                    break;
                struct timespec pause = {0, 5 * 1000 * 1000};
                nanosleep(&pause, nullptr);
            }
        }
    }
    gAcquisitions.push_back(owned);
    if (owned)
        ++gOwningAcquisitions;
    return owned;
}

void releaseDefinitionLock() {
    if (gAcquisitions.empty())
        return;
    bool owned = gAcquisitions.back();
    gAcquisitions.pop_back();
    if (owned && --gOwningAcquisitions == 0)
        flock(gLockFd, LOCK_UN);
}

} // namespace qpeek::platform
