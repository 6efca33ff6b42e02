// The input shape shared by the message fuzz targets: the first byte is a selector (mode and
// detail flag), the rest is copied into a buffer laid out as the loader lays out a message:
// the bytes, then one zero byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

} // namespace qpeek::fuzz
