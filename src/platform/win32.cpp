// Windows implementation of the platform services, on the Win32 calls: directory search
// (FindFirstFileA), current directory, environment, user name (GetUserNameA), executable
// path (GetModuleFileNameA), local time, message- and definition-file reading and the
// definition lock (a named mutex per user).
#include "platform/platform.h"

#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <io.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <lmcons.h>
#include <windows.h>

namespace qpeek::platform {

const char kPathSeparator = '\\';
const char *const kListSeparators = ";,";
const char *const kResourcesDirectory = "..\\Resources\\";

// Text mode would turn every "\n" of the reports into "\r\n".
void initStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void initBinaryStandardInput() {
    _setmode(_fileno(stdin), _O_BINARY);
}

size_t writeUnbuffered(FILE *, const void *, size_t) {
    return 0; // the stream writes everything
}

bool pathExists(const char *path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The system's own search: wildcards in the last component, letter case ignored, the
// short-name rules of the file system, "." and ".." like any other entry, in the order
// the file system keeps its entries.
bool findFiles(const std::string &pattern, NameList &names) {
    names.clear();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    do {
        names.add(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names.size() > 0;
}

std::string currentDirectory() {
    std::string dir(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), &dir[0]);
        if (n == 0)
            return std::string();
        if (n < dir.size()) { // the length without the terminating zero
            dir.resize(n);
            return dir;
        }
        dir.assign(n, '\0'); // the size needed, terminating zero included
    }
    return std::string();
}

bool environmentValue(const char *name, std::string &value) {
    std::string buf(256, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetLastError(ERROR_SUCCESS);
        DWORD n = GetEnvironmentVariableA(name, &buf[0], static_cast<DWORD>(buf.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                return false;
            value.clear(); // a variable set to an empty value
            return true;
        }
        if (n < buf.size()) {
            buf.resize(n);
            value = buf;
            return true;
        }
        buf.assign(n, '\0'); // the size needed, terminating zero included
    }
    return false;
}

std::string userName() {
    char buf[UNLEN + 1];
    DWORD size = sizeof buf;
    if (!GetUserNameA(buf, &size))
        return std::string();
    return std::string(buf);
}

std::string executablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768) // the longest path the system knows
            return std::string();
        path.resize(path.size() * 2); // truncated: try a larger buffer
    }
}

void formatLocalTime(char *buf, size_t size, const char *format) {
    if (size == 0)
        return;
    buf[0] = 0;
    std::time_t now = std::time(nullptr);
    struct tm local;
    if (localtime_s(&local, &now) == 0)
        std::strftime(buf, size, format, &local);
}

namespace {

// Opens an existing disk file for reading. Directories cannot be opened without backup
// semantics; a device or pipe opens but is not a disk file and is closed again before
// anything is read from it, so that no open or read ever waits for a device.
HANDLE openRegularFile(const char *path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

} // namespace

// Read in binary mode: a definition file gives the same definitions in both builds (the
// reader takes "\r\n" line ends itself, and a ^Z byte does not end the file).
FILE *openDefinitionFile(const char *path) {
    HANDLE file = openRegularFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    FILE *stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd); // closes the handle too
    return stream;
}

ReadStatus readMessageFile(const char *path, MessageFile &message) {
    releaseMessageFile(message);
    std::vector<unsigned char> &buffer = message.buffer;
    HANDLE file = openRegularFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return ReadStatus::CannotOpen;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return ReadStatus::CannotOpen;
    }
    if (size.QuadPart > INT32_MAX - 1) {
        CloseHandle(file);
        return ReadStatus::TooLarge;
    }
    size_t total = static_cast<size_t>(size.QuadPart);
    if (buffer.size() < total + 1)
        buffer.resize(total + 1);
    size_t got = 0;
    while (got < total) {
        DWORD chunk = static_cast<DWORD>(total - got > (1u << 30) ? (1u << 30) : total - got);
        DWORD n = 0;
        if (!ReadFile(file, buffer.data() + got, chunk, &n, nullptr)) {
            CloseHandle(file);
            return ReadStatus::CannotOpen;
        }
        if (n == 0)
            break; // the file shrank while we read it
        got += n;
    }
    CloseHandle(file);
    buffer[got] = 0;
    message.data = buffer.data();
    message.length = static_cast<int32_t>(got);
    return ReadStatus::Ok;
}

// Files are always read here: nothing is mapped.
void releaseMessageFile(MessageFile &message) {
    message.data = nullptr;
    message.length = 0;
}

namespace {
// Opened at its first use and kept until the program ends.
HANDLE definitionLock = nullptr;
} // namespace

// Joins the mutex another instance created, else creates it (not owned; a mutex that
// another process creates meanwhile is returned all the same).
bool openDefinitionLock(const std::string &name) {
    if (definitionLock)
        return true;
    definitionLock = OpenMutexA(MUTEX_ALL_ACCESS, TRUE, name.c_str());
    if (!definitionLock)
        definitionLock = CreateMutexA(nullptr, FALSE, name.c_str());
    return definitionLock != nullptr;
}

// The owning thread may wait again without blocking (the mutex counts its acquisitions).
// A mutex abandoned by a process that ended while holding it is owned all the same.
bool acquireDefinitionLock(int timeoutMs) {
    if (!definitionLock)
        return false;
    DWORD wait =
        WaitForSingleObject(definitionLock, timeoutMs < 0 ? 0 : static_cast<DWORD>(timeoutMs));
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

// Releases one acquisition. After a wait that timed out the caller does not own the mutex:
// the release then fails and changes nothing.
void releaseDefinitionLock() {
    if (definitionLock)
        ReleaseMutex(definitionLock);
}

} // namespace qpeek::platform
