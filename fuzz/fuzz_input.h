// The input shape shared by the message fuzz targets: the first byte is a selector (mode and
// detail flag), the rest is copied into a buffer laid out as the loader lays out a message:
// the bytes, then one zero byte. And the private definition lock every target takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qpeek::fuzz {

constexpr size_t kMaxInput = 1u << 20;

struct FuzzInput {
    unsigned choice = 0;
    std::vector<unsigned char> buffer;
    int32_t length = 0;
};

inline FuzzInput splitInput(const uint8_t *data, size_t size) {
    FuzzInput input;
    input.choice = size > 0 ? data[0] : 0;
    const uint8_t *rest = size > 0 ? data + 1 : data;
    size_t length = size > 0 ? size - 1 : 0;
    input.buffer.assign(rest, rest + length);
    input.buffer.push_back(0);
    input.length = static_cast<int32_t>(length);
    return input;
}

// The definition lock of a fuzz run lives in a directory of its own ($TMPDIR/qpeek-fuzz-*,
// removed at exit), never in the user's: a stopped qpeek of the user cannot make the target
// wait (and report false timeouts), nor the target hold up the user's runs.
inline void usePrivateDefinitionLock() {
    static std::string directory;
    const char *temporary = std::getenv("TMPDIR");
    directory = std::string(temporary && *temporary ? temporary : "/tmp") + "/qpeek-fuzz-XXXXXX";
    if (!mkdtemp(&directory[0])) {
        // No directory for it: a lock that cannot be opened, never the user's.
        platform::setDefinitionLockDirectory("/nonexistent-qpeek-fuzz");
        return;
    }
    platform::setDefinitionLockDirectory(directory);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    });
}

} // namespace qpeek::fuzz
