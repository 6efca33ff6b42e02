// Reading an import's input into its fixed buffer.
#include "import/input_buffer.h"

#include <algorithm>
#include <cstring>

namespace qpeek::import {

volatile std::sig_atomic_t interruptRequested = 0;

namespace {
void prepare(InputBuffer &in, size_t bufferSize) {
    in.bytes.assign(std::max(bufferSize, kMinInputBufferSize), 0);
    in.pos = in.end = 0;
    in.eof = in.readError = in.interrupted = false;
}
} // namespace

void openFileInput(InputBuffer &in, std::FILE *file, size_t bufferSize) {
    in.file = file;
    in.memory = nullptr;
    in.memorySize = in.memoryPos = 0;
    prepare(in, bufferSize);
}

void openMemoryInput(InputBuffer &in, const unsigned char *data, size_t size, size_t bufferSize) {
    in.file = nullptr;
    in.memory = data;
    in.memorySize = size;
    in.memoryPos = 0;
    prepare(in, bufferSize);
}

size_t fillBuffer(InputBuffer &in) {
    if (in.eof)
        return 0;
    if (interruptRequested) {
        in.eof = in.interrupted = true;
        return 0;
    }
    if (in.pos > 0) {
        size_t n = in.end - in.pos;
        if (n > 0)
            std::memmove(in.bytes.data(), in.bytes.data() + in.pos, n);
        in.pos = 0;
        in.end = n;
    }
    size_t room = in.bytes.size() - in.end;
    if (room == 0)
        return 0;
    if (in.readLimit > 0)
        room = std::min(room, in.readLimit);
    size_t got = 0;
    if (in.file) {
        got = std::fread(in.bytes.data() + in.end, 1, room, in.file);
        if (got == 0) {
            in.eof = true;
            in.readError = std::ferror(in.file) != 0;
        }
    } else {
        got = std::min(room, in.memorySize - in.memoryPos);
        if (got > 0)
            std::memcpy(in.bytes.data() + in.end, in.memory + in.memoryPos, got);
        in.memoryPos += got;
        if (got == 0)
            in.eof = true;
    }
    in.end += got;
    return got;
}

} // namespace qpeek::import
