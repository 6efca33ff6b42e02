// The operating-system services qpeek needs, and nothing else. posix.cpp implements them
// for POSIX systems, win32.cpp for Windows; no other file of the program touches the
// operating system.
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

// Names held back to back in one buffer (zero-terminated), so that a directory of a hundred
// thousand matches costs a few bytes per name and no allocation per name.
struct NameList {
    std::string arena;
    std::vector<uint32_t> offsets;

    size_t size() const { return offsets.size(); }
    const char *operator[](size_t i) const { return arena.c_str() + offsets[i]; }
    void clear() {
        arena.clear();
        offsets.clear();
    }
    void add(const char *name) {
        offsets.push_back(static_cast<uint32_t>(arena.size()));
        arena.append(name).push_back('\0');
    }
};

// Directory search: the matches of the pattern's last component ("*" and "?" wildcards)
// among the entries of the pattern's directory, as bare names, in the platform's order.
// Returns false when nothing matches (or the directory cannot be read). POSIX: letter case
// counts, names sorted, "." and ".." left out. Windows: the system's search, letter case
// ignored, "." and ".." returned like any match.
bool findFiles(const std::string &pattern, NameList &names);

// The relative directory, from the program directory, of the shipped definition files
// ("../Resources/" here; the Windows build uses "..\\Resources\\").
extern const char *const kResourcesDirectory;

// Puts standard output into the mode the reports need (binary: "\n" stays one byte).
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

// The value of an environment variable; false when it does not exist.
bool environmentValue(const char *name, std::string &value);

// The name of the user running the program (empty on failure).
std::string userName();

// The full path of the running executable, links resolved (empty on failure).
std::string executablePath();

// The local time now, formatted with strftime into buf.
void formatLocalTime(char *buf, size_t size, const char *format);

// Opens a parser-definition file for reading as text; none when it cannot be opened or is
// not a regular file (opening never blocks).
FILE *openDefinitionFile(const char *path);

// Reading a whole message file.
enum class ReadStatus { Ok, CannotOpen, TooLarge };
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
};
// Loads the regular file at path (whatever was loaded before is released). Anything that
// is not a regular file cannot be opened; opening never blocks.
ReadStatus readMessageFile(const char *path, MessageFile &file);
void releaseMessageFile(MessageFile &file);

// The definition lock: one named lock per user, shared by every qpeek process of that user,
// that the holding process may acquire again (each acquisition paired with one release).
// openDefinitionLock opens or creates the lock object of that name; false when it cannot
// (or may not safely) be had. acquireDefinitionLock waits at most timeoutMs and returns
// whether this acquisition owns the lock; releaseDefinitionLock undoes the most recent
// acquisition (no effect when that one did not own the lock).
bool openDefinitionLock(const std::string &name);
bool acquireDefinitionLock(int timeoutMs);
void releaseDefinitionLock();

} // namespace qpeek::platform
