// The bounded byte view: the only way formatters read message bytes.
//
// A view knows where its bytes end. Reading at or past the end, or before the start,
// yields a zero byte, which is what the loader's terminating zero byte gives a reader
// that runs off the body; the view extends that rule to any distance. Offsets are 64-bit
// so that offsets and lengths taken from the data can never overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qpeek {

struct ByteView {
    unsigned char *data = nullptr; // first byte of the view
    int32_t length = 0;            // bytes that belong to the view; never negative

    unsigned char at(int64_t offset) const {
        return (offset >= 0 && offset < length) ? data[offset] : 0;
    }

    // A 32-bit little-endian integer at any offset; missing bytes read as zero.
    int32_t int32At(int64_t offset) const {
        uint32_t v = static_cast<uint32_t>(at(offset)) |
                     static_cast<uint32_t>(at(offset + 1)) << 8 |
                     static_cast<uint32_t>(at(offset + 2)) << 16 |
                     static_cast<uint32_t>(at(offset + 3)) << 24;
        return static_cast<int32_t>(v);
    }

    // The same in big-endian byte order.
    int32_t int32BigEndianAt(int64_t offset) const {
        uint32_t v =
            static_cast<uint32_t>(at(offset)) << 24 | static_cast<uint32_t>(at(offset + 1)) << 16 |
            static_cast<uint32_t>(at(offset + 2)) << 8 | static_cast<uint32_t>(at(offset + 3));
        return static_cast<int32_t>(v);
    }

    // Stores a byte; a store outside the view is dropped.
    void setByte(int64_t offset, unsigned char value) const {
        if (offset >= 0 && offset < length)
            data[offset] = value;
    }

    // Reverses the four bytes at the offset in place, when all four lie inside the view.
    void reverse32(int64_t offset) const {
        if (offset < 0 || offset + 4 > length)
            return;
        unsigned char *p = data + offset;
        unsigned char t = p[0];
        p[0] = p[3];
        p[3] = t;
        t = p[1];
        p[1] = p[2];
        p[2] = t;
    }

    // The view from the offset on (empty when the offset lies at or past the end).
    ByteView from(int64_t offset) const {
        if (offset <= 0)
            return *this;
        if (offset >= length)
            return ByteView{data + length, 0};
        return ByteView{data + offset, static_cast<int32_t>(length - offset)};
    }

    // Bytes that can be read before the end, from the offset, but at most `wanted`.
    int64_t available(int64_t offset, int64_t wanted) const {
        if (offset < 0 || offset >= length || wanted <= 0)
            return 0;
        int64_t rest = length - offset;
        return wanted < rest ? wanted : rest;
    }

    // True when the bytes at the offset begin with the whole text (byte-exact).
    bool startsWith(const char *text, int64_t offset = 0) const {
        size_t n = std::strlen(text);
        if (offset < 0 || offset + static_cast<int64_t>(n) > length)
            return false;
        return std::memcmp(data + offset, text, n) == 0;
    }

    // Copies `count` bytes from the offset into dst (missing bytes become zero bytes),
    // never more than dstSize bytes. Returns the number of bytes written to dst.
    size_t copyOut(int64_t offset, int64_t count, char *dst, size_t dstSize) const {
        if (count <= 0 || dstSize == 0)
            return 0;
        size_t n = static_cast<uint64_t>(count) < dstSize ? static_cast<size_t>(count) : dstSize;
        int64_t inside = available(offset, static_cast<int64_t>(n));
        if (inside > 0)
            std::memcpy(dst, data + offset, static_cast<size_t>(inside));
        if (static_cast<size_t>(inside) < n)
            std::memset(dst + inside, 0, n - static_cast<size_t>(inside));
        return n;
    }

    // Asks the processor to bring the bytes from the offset into its cache ahead of their
    // use (no effect on what is read; nothing outside the view is touched).
    void prefetch(int64_t offset, int64_t count) const {
        int64_t n = available(offset, count);
        for (int64_t i = 0; i < n; i += 64)
            __builtin_prefetch(data + offset + i);
    }

    // Length of the text at the offset up to its first zero byte (or the end of the view),
    // counting at most `limit` bytes.
    int64_t textLength(int64_t offset, int64_t limit) const {
        int64_t n = available(offset, limit);
        if (n <= 0)
            return 0;
        const void *z = std::memchr(data + offset, 0, static_cast<size_t>(n));
        return z ? static_cast<const unsigned char *>(z) - (data + offset) : n;
    }
};

// A view over a zero-terminated text of ours (formatted numbers, copied values).
inline ByteView textView(const char *text) {
    return ByteView{reinterpret_cast<unsigned char *>(const_cast<char *>(text)),
                    static_cast<int32_t>(std::strlen(text))};
}

} // namespace qpeek
