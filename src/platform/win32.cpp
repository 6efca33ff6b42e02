// Windows implementation of the platform services, on the Win32 calls: directory search
// (FindFirstFileW, names in the active code page), command-line names outside the code page
// (GetCommandLineW), current directory, environment, user name (GetUserNameA), executable
// path (GetModuleFileNameA), local time, message- and definition-file reading and the
// definition lock (a named mutex per user).
#include "platform/platform.h"
#include "platform/win32_names.h"

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
const bool kNamesMayHoldControlBytes = false;
const char *const kResourcesDirectory = "..\\Resources\\";

// Text mode, as every Windows console program written in C has them: each "\n" is written
// as CR LF, also into a file or a pipe. The -o file is opened "wb" and keeps single line
// feeds.
void initStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_TEXT);
    _setmode(_fileno(stderr), _O_TEXT);
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

void splitCommandLine(const wchar_t *line, std::vector<std::wstring> &arguments) {
    arguments.clear();
    const wchar_t *p = line;
    // The program name: no backslash rules, quotes only group.
    std::wstring argument;
    bool quoted = false;
    for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
        if (*p == L'"')
            quoted = !quoted;
        else
            argument.push_back(*p);
    }
    arguments.push_back(argument);
    for (;;) {
        while (*p == L' ' || *p == L'\t')
            ++p;
        if (!*p)
            break;
        argument.clear();
        quoted = false;
        while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
            size_t backslashes = 0;
            while (*p == L'\\') {
                ++backslashes;
                ++p;
            }
            if (*p != L'"') {
                argument.append(backslashes, L'\\');
                if (*p && (quoted || (*p != L' ' && *p != L'\t')))
                    argument.push_back(*p++);
                continue;
            }
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 1) {
                argument.push_back(L'"');
            } else if (quoted && p[1] == L'"') {
                argument.push_back(L'"');
                ++p;
            } else {
                quoted = !quoted;
            }
            ++p;
        }
        arguments.push_back(argument);
    }
}

bool fitsCodePage(const std::wstring &name, unsigned codePage) {
    if (name.empty())
        return true;
    int length = static_cast<int>(name.size());
    if (codePage == CP_UTF8) // every character has a code; a lone surrogate has none
        return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name.data(), length, nullptr, 0,
                                   nullptr, nullptr) > 0;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, name.data(), length, nullptr, 0,
                                nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

std::string toCodePage(const std::wstring &name, unsigned codePage) {
    std::string text;
    if (name.empty())
        return text;
    int length = static_cast<int>(name.size());
    int n = WideCharToMultiByte(codePage, 0, name.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return text;
    text.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, 0, name.data(), length, &text[0], n, nullptr, nullptr);
    return text;
}

// The arguments as typed (GetCommandLineW) beside argv, which the C runtime made from the
// same line converted into the code page. When the two do not pair up argument by
// argument (a command line that the split above reads differently), nothing is marked:
// the names are then taken as argv has them, as before.
std::vector<bool> argumentsOutsideCodePage(int argc, char **argv) {
    std::vector<bool> outside(argc > 0 ? static_cast<size_t>(argc) : 0, false);
    std::vector<std::wstring> typed;
    splitCommandLine(GetCommandLineW(), typed);
    if (typed.size() != outside.size())
        return outside;
    unsigned codePage = GetACP();
    for (int i = 1; i < argc; ++i)
        if (toCodePage(typed[i], codePage) != argv[i])
            return std::vector<bool>(outside.size(), false);
    for (int i = 1; i < argc; ++i)
        outside[i] = !fitsCodePage(typed[i], codePage);
    return outside;
}

std::string codePageName() {
    return "code page " + std::to_string(GetACP());
}

// The system's own search: wildcards in the last component, letter case ignored, the
// short-name rules of the file system, "." and ".." like any other entry, in the order
// the file system keeps its entries. The search runs on wide names, as the system keeps
// them, so that a name the code page cannot represent is known as such.
bool findFiles(const std::string &pattern, NameList &names) {
    names.clear();
    unsigned codePage = GetACP();
    int length = MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring widePattern(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, &widePattern[0], length);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(widePattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    std::wstring name;
    do {
        name.assign(found.cFileName);
        names.add(toCodePage(name, codePage).c_str(), !fitsCodePage(name, codePage));
    } while (FindNextFileW(search, &found));
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

bool currentDirectoryOutsideCodePage() {
    DWORD size = GetCurrentDirectoryW(0, nullptr); // terminating zero included
    if (size == 0)
        return false;
    std::wstring dir(size, L'\0');
    DWORD n = GetCurrentDirectoryW(size, &dir[0]);
    if (n == 0 || n >= size)
        return false;
    dir.resize(n);
    return !fitsCodePage(dir, GetACP());
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

// A standard handle that is missing is opened on NUL (the C runtime then holds that
// descriptor open on it too).
int openClosedStandardStreams() {
    static const DWORD kStandardHandles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    int closed = 0;
    for (int fd = 0; fd <= 2; ++fd) {
        HANDLE handle = GetStdHandle(kStandardHandles[fd]);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE)
            continue;
        closed |= 1 << fd;
        int null = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
        if (null < 0)
            continue;
        if (null == fd || _dup2(null, fd) == 0)
            SetStdHandle(kStandardHandles[fd], reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
        if (null != fd)
            _close(null);
    }
    return closed;
}

namespace {

// The system's text for an error code, without its final period and line end.
std::string systemErrorText(DWORD error) {
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             error, 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' '))
        --n;
    if (n > 0 && text[n - 1] == '.')
        --n;
    if (n == 0)
        return "system error " + std::to_string(error);
    return std::string(text, n);
}

// Opens an existing disk file for reading. Directories cannot be opened without backup
// semantics; a device or pipe opens but is not a disk file and is closed again before
// anything is read from it, so that no open or read ever waits for a device. Says why
// when the file cannot be had (the message the caller keeps, when it keeps one).
HANDLE openRegularFile(const char *path, MessageFile *why) {
    OpenFailure failure = OpenFailure::SystemError;
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = GetLastError();
    if (file == INVALID_HANDLE_VALUE) {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            failure = OpenFailure::Directory;
    } else {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileType(file) != FILE_TYPE_DISK)
            failure = OpenFailure::NotRegularFile;
        else if (!GetFileInformationByHandle(file, &info))
            error = GetLastError();
        else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            failure = OpenFailure::Directory;
        else
            return file;
        CloseHandle(file);
    }
    if (why) {
        why->failure = failure;
        if (failure == OpenFailure::SystemError)
            why->systemReason = systemErrorText(error);
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

// Read in binary mode: a definition file gives the same definitions in both builds (the
// reader takes "\r\n" line ends itself, and a ^Z byte does not end the file).
FILE *openDefinitionFile(const char *path, FileIdentity *identity, bool *identityKnown) {
    if (identityKnown)
        *identityKnown = false;
    HANDLE file = openRegularFile(path, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    BY_HANDLE_FILE_INFORMATION info;
    if (identity && GetFileInformationByHandle(file, &info)) {
        identity->device = info.dwVolumeSerialNumber;
        identity->file = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        identity->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        identity->modified = static_cast<int64_t>(
            (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
            info.ftLastWriteTime.dwLowDateTime);
        if (identityKnown)
            *identityKnown = true;
    }
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
    message.failure = OpenFailure::None;
    std::vector<unsigned char> &buffer = message.buffer;
    HANDLE file = openRegularFile(path, &message);
    if (file == INVALID_HANDLE_VALUE)
        return ReadStatus::CannotOpen;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        message.failure = OpenFailure::SystemError;
        message.systemReason = systemErrorText(GetLastError());
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
            message.failure = OpenFailure::SystemError;
            message.systemReason = systemErrorText(GetLastError());
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

std::string lockUserName() {
    return userName();
}

void setDefinitionLockDirectory(const std::string &) {}

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
