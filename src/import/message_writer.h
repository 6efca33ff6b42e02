// Writing imported messages as message files: one file per message, named PREFIX-000001.qpk,
// PREFIX-000002.qpk, ... in a directory, each an optional 364-byte descriptor followed by the
// body. A file is written under a temporary name and renamed when the message is complete,
// so that an interrupted or failed import never leaves a partial message file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/descriptor.h"

namespace qpeek::import {

enum class WriteMode {
    Files,  // write message files
    Count,  // count messages and bytes only (-n)
    Memory, // keep each message file's bytes in `captured` (tests, fuzzing)
};

// Body bytes are gathered here before they go to the file.
constexpr size_t kWriteBufferSize = 1u << 20;

struct MessageWriter {
    WriteMode mode = WriteMode::Files;
    std::string directory = "."; // where message files go
    std::string prefix;          // file names are PREFIX-NNNNNN.qpk
    uint64_t nextNumber = 1;     // number of the next message file
    bool replace = false;        // an existing file is replaced (-f) instead of kept

    // The message being written.
    bool active = false;
    bool headerWritten = false;
    bool hasDescriptor = false;
    Mqmd descriptor{};
    std::vector<unsigned char> pending; // body bytes not yet written: pending[0, used)
    size_t used = 0;
    std::FILE *file = nullptr;
    std::string tempPath;
    std::string finalPath;
    uint64_t messageBytes = 0;

    // Totals of this writer.
    uint64_t messages = 0;
    uint64_t bytes = 0;
    std::string firstName; // file names of the first and the last message written
    std::string lastName;
    std::vector<std::vector<unsigned char>> captured; // WriteMode::Memory

    std::string error; // why the last operation failed
};

void prepareWriter(MessageWriter &w, size_t bufferSize = kWriteBufferSize);

// The path of message file `number` of the writer's prefix.
std::string messagePath(const MessageWriter &w, uint64_t number);

// Starts a message. With a descriptor (nullptr: none) the file begins with it; without one
// the file is the body alone, unless the body begins with "MD": then the default descriptor
// goes in front, so that the body is not taken for a descriptor when the file is read.
bool beginMessage(MessageWriter &w, const Mqmd *descriptor);

// Room for at least `count` body bytes (count <= half the buffer size, so that the first
// write of a message never comes before its second body byte): a pointer to write them
// to, then commitBody with the number written.
unsigned char *bodySpace(MessageWriter &w, size_t count, bool &ok);
inline void commitBody(MessageWriter &w, size_t count) {
    w.used += count;
}
bool appendBody(MessageWriter &w, const unsigned char *data, size_t count);
inline bool appendByte(MessageWriter &w, unsigned char c) {
    if (w.used < w.pending.size()) {
        w.pending[w.used++] = c;
        return true;
    }
    return appendBody(w, &c, 1);
}

// Completes the message: its file gets its final name.
bool endMessage(MessageWriter &w);
// Drops the message being written (its temporary file is removed).
void abandonMessage(MessageWriter &w);

} // namespace qpeek::import
