// The input of one import: a file (or standard input) or a block of memory, read through one
// fixed buffer, so that an input of any size is imported in bounded memory.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace qpeek::import {

// The default buffer: large enough that reads and line scans run at memory speed.
constexpr size_t kInputBufferSize = 1u << 20;
// The first bytes of an input in which the header of an unload file must begin.
constexpr size_t kKindWindow = 64;
// The smallest buffer the readers accept: it holds the kind window and the header, and the
// first piece of a long line holds enough bytes to tell every kind of line apart (tests
// use small buffers to cut lines).
constexpr size_t kMinInputBufferSize = 80;

struct InputBuffer {
    std::FILE *file = nullptr;             // read from here when set
    const unsigned char *memory = nullptr; // else from this block
    size_t memorySize = 0;
    size_t memoryPos = 0;
    size_t readLimit = 0; // at most this many bytes a read (0: no limit); tests cut reads short

    std::vector<unsigned char> bytes; // bytes[pos, end) are read and not yet consumed
    size_t pos = 0;
    size_t end = 0;
    bool eof = false;
    bool readError = false;
    bool interrupted = false; // the run was interrupted: the input ends here, incomplete
};

// Set by the interrupt handler of the program; the next read then ends the input.
extern volatile std::sig_atomic_t interruptRequested;

void openFileInput(InputBuffer &in, std::FILE *file, size_t bufferSize = kInputBufferSize);
void openMemoryInput(InputBuffer &in, const unsigned char *data, size_t size,
                     size_t bufferSize = kInputBufferSize);

// Moves the unconsumed bytes to the front and reads more behind them. Returns the number of
// bytes read; sets eof at the end of the input (or on a read error, with readError, or when
// an interrupt was requested, with interrupted).
size_t fillBuffer(InputBuffer &in);

inline size_t available(const InputBuffer &in) {
    return in.end - in.pos;
}

} // namespace qpeek::import
