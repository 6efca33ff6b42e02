// The operating-system services qpeek needs, and nothing else. posix.cpp implements them
// for POSIX systems, win32.cpp for Windows; no other file of the program touches the
// operating system. One hook exists for tests and fuzz targets alone:
// setDefinitionLockDirectory, which gives them a definition lock of their own (qpeek itself
// has no option or environment variable that moves the lock).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qpeek::platform {

// The separator appended to the current directory when a pattern has no directory part.
extern const char kPathSeparator;

// The characters that separate the entries of a variable listed with "@NAME": ";" and ","
// everywhere, and ":" where it separates the directories of PATH (not on Windows, where
// it follows every drive letter).
extern const char *const kListSeparators;

// Whether file names may hold control bytes (a line feed, an escape): POSIX names may hold
// any byte but "/" and the zero byte; Windows names cannot hold them.
extern const bool kNamesMayHoldControlBytes;

// Names held back to back in one buffer (zero-terminated), so that a directory of a hundred
// thousand matches costs a few bytes per name and no allocation per name. The byte before
// each name marks a name that lost characters on its way into the code page.
struct NameList {
    std::string arena;
    std::vector<uint32_t> offsets;

    size_t size() const { return offsets.size(); }
    const char *operator[](size_t i) const { return arena.c_str() + offsets[i]; }
    bool isOutsideCodePage(size_t i) const { return arena[offsets[i] - 1] != 0; }
    void clear() {
        arena.clear();
        offsets.clear();
    }
    void add(const char *name, bool lostCharacters = false) {
        arena.push_back(lostCharacters ? 1 : 0);
        offsets.push_back(static_cast<uint32_t>(arena.size()));
        arena.append(name).push_back('\0');
    }
};

// Directory search: the matches of the pattern's last component ("*" and "?" wildcards)
// among the entries of the pattern's directory, as bare names, in the platform's order.
// Returns false when nothing matches (or the directory cannot be read). POSIX: letter case
// counts, names sorted, "." and ".." left out. Windows: the system's search, letter case
// ignored, "." and ".." returned like any match, names in the active code page; a name
// with characters the code page cannot represent comes with "?" (or a look-alike letter)
// in their place and is marked outside the code page.
bool findFiles(const std::string &pattern, NameList &names);

// One flag per command-line argument (argv[0] included): true where the argument as typed
// has characters that the active code page cannot represent, so that argv holds "?" or a
// look-alike letter in their place and names another file, or a pattern. All false on
// POSIX, where arguments arrive as the bytes typed.
std::vector<bool> argumentsOutsideCodePage(int argc, char **argv);

// The character set of names, as the line about a name outside it calls it
// ("code page 1252" on Windows).
std::string codePageName();

// The relative directory, from the program directory, of the shipped definition files
// ("../Resources/" here; the Windows build uses "..\\Resources\\").
extern const char *const kResourcesDirectory;

// Puts standard output and standard error into the mode of the platform's console programs
// (POSIX: nothing to do; Windows: text mode, every "\n" written as CR LF).
void initStandardStreams();

// Puts standard input into binary mode (no line-end translation), for reading a message
// capture piped into a program.
void initBinaryStandardInput();

// Writes bytes to the stream's file straight from the caller's memory, after the stream's
// own buffer: for a report of many megabytes, which would otherwise be copied there first.
// Returns the bytes written (0 where the system or the stream does not allow it); the caller
// hands the rest to the stream, which then records any failure as usual.
size_t writeUnbuffered(FILE *stream, const void *bytes, size_t count);
// True when the path names an existing file or directory.
bool pathExists(const char *path);

// The current working directory (empty on failure).
std::string currentDirectory();
// True when the current directory's path has characters that the active code page cannot
// represent (Windows), so that currentDirectory() names another directory, or none.
bool currentDirectoryOutsideCodePage();

// The value of an environment variable; false when it does not exist.
bool environmentValue(const char *name, std::string &value);

// The name of the user running the program (empty on failure).
std::string userName();

// The full path of the running executable, links resolved (empty on failure).
std::string executablePath();

// The local time now, formatted with strftime into buf.
void formatLocalTime(char *buf, size_t size, const char *format);

// Opens each of the standard descriptors 0, 1 and 2 that is closed on the null device
// (/dev/null, NUL), so that no file opened later takes its number and receives what is
// meant for standard output or standard error. Returns the descriptors that were closed,
// as bits (1 << descriptor). Called first thing, before any standard stream is used.
int openClosedStandardStreams();

// What tells one version of a file from another within a run: the device (volume) and file
// number, the size and the time of the last change. Windows: the volume serial number, the
// file index and the last write time of GetFileInformationByHandle.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    uint64_t size = 0;
    int64_t modified = 0; // nanoseconds (POSIX) or 100-nanosecond units (Windows)
    bool operator==(const FileIdentity &o) const {
        return device == o.device && file == o.file && size == o.size && modified == o.modified;
    }
};

// Opens a parser-definition file for reading as text; none when it cannot be opened or is
// not a regular file (opening never blocks). With an identity given, it is filled from the
// open file; *identityKnown says whether the system told it.
FILE *openDefinitionFile(const char *path, FileIdentity *identity = nullptr,
                         bool *identityKnown = nullptr);

// Reading a whole message file.
enum class ReadStatus { Ok, CannotOpen, TooLarge };
// Why a file could not be opened (ReadStatus::CannotOpen): a directory, anything else that
// is not a regular file, or the system's refusal, in its own words.
enum class OpenFailure { None, Directory, NotRegularFile, SystemError };
// A loaded message file: `length` bytes at `data`, then a zero byte. The bytes belong to the
// program and may be changed in place (the file itself is never written). Files are read
// into `buffer`, which is kept for the next file; where the system allows it, a large file
// is mapped instead of copied (`mapping`), and the mapping lasts until the next load or
// releaseMessageFile. A mapped file that shrinks meanwhile reads as zero bytes from its new
// end on.
struct MessageFile {
    unsigned char *data = nullptr;
    int32_t length = 0;
    std::vector<unsigned char> buffer;
    void *mapping = nullptr;
    size_t mappingSize = 0;
    // After a load that could not open the file: why, and for a SystemError the system's
    // text (no final period or line end).
    OpenFailure failure = OpenFailure::None;
    std::string systemReason;
};
// Loads the regular file at path (whatever was loaded before is released). Anything that
// is not a regular file cannot be opened; opening never blocks.
ReadStatus readMessageFile(const char *path, MessageFile &file);
void releaseMessageFile(MessageFile &file);

// The definition lock: one named lock per user, shared by every qpeek process of that user,
// that the holding process may acquire again (each acquisition paired with one release).
// openDefinitionLock opens or creates the lock object of that name; false when it cannot
// (or may not safely) be had. acquireDefinitionLock waits at most timeoutMs (0: one try)
// and returns whether this acquisition owns the lock; releaseDefinitionLock undoes the most
// recent acquisition (no effect when that one did not own the lock).
//
// POSIX: the lock is an advisory flock on the file NAME in a directory of the user alone:
// $XDG_RUNTIME_DIR when it is a directory owned by the user that nobody else may write to,
// else the private directory /tmp/qpeek-UID, created with mode 0700. A private directory
// that is a link, not a directory, owned by someone else or open to others is refused, and
// so is a lock file that is not a regular file owned by the user. Windows: a named mutex.
bool openDefinitionLock(const std::string &name);
bool acquireDefinitionLock(int timeoutMs);
void releaseDefinitionLock();

// The user part of the lock's name: the user name; on POSIX the user id in decimal when the
// user has no name (no passwd entry), so that such users do not share one lock.
std::string lockUserName();

// Tests and fuzz targets only: the private lock directory is made in `directory` instead of
// /tmp, and $XDG_RUNTIME_DIR is not consulted, so that they never take (or wait for) the
// lock of the user's real qpeek runs. Call before the lock is first opened. No effect on
// Windows, whose mutex names have no directory.
void setDefinitionLockDirectory(const std::string &directory);

} // namespace qpeek::platform
