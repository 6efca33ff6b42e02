// Machine-readable reports (-j): each message becomes one JSON object on one line, written
// as the message is decoded. The formatters make the same calls as for the text report;
// with a JSON output attached to the sink, field lines, records and summary tags become
// members of the object, and the text bytes they would have written are dropped.
//
// The object: {"file", "size", "descriptor", "headers": [...], "payload": {"kind", ...},
// and with -s "time" and "summary"}. Text from messages is taken as UTF-8 where it is valid
// and as ISO-8859-1 byte by byte where it is not, so every byte is kept and every line parses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "common/byte_view.h"
#include "report/output_sink.h"

// Field values are tested and copied sixteen bytes at a time where the processor has the
// instructions for it, unless the portable build asks for the plain code everywhere.
#if defined(__SSE2__) && !defined(QPEEK_PORTABLE)
#define QPEEK_JSON_VECTORS 1
#include <emmintrin.h>
#endif

namespace qpeek {

// Bytes leave in pieces of this size; the slack past them holds one escaped chunk of text.
constexpr size_t kJsonWriteSize = 1u << 18;
constexpr size_t kJsonChunk = 4096;
constexpr size_t kJsonSlack = 8 * kJsonChunk;
constexpr int kJsonDepth = 32;

struct JsonOutput {
    // An open object or array: its closing byte, whether a member was written, and whether
    // it is the "fields" array opened by the first field of an object.
    struct Level {
        char closer;
        bool empty;
        bool fields;
    };
    enum class Stage { Descriptor, Headers, Payload, Done };

    FILE *out; // the report stream
    std::unique_ptr<char[]> storage;
    char *bytes;
    size_t used = 0;
    Level levels[kJsonDepth] = {};
    int depth = 0;
    Stage stage = Stage::Descriptor;
    // Whether part of the open object has left already. Standard output lines written on the
    // same stream while it is open are then held and follow the object's line; before that
    // they go out at once, ahead of it.
    bool objectSpilled = false;
    std::string heldStandardOutput;

    explicit JsonOutput(FILE *stream)
        : out(stream), storage(new char[kJsonWriteSize + kJsonSlack]), bytes(storage.get()) {}
};

inline bool jsonOutput(const OutputSink &out) {
    return out.json != nullptr;
}

// The message's object: begun with the file's path and size, ended (every open member
// closed) with its line end, then the held standard output lines.
void jsonBeginMessage(OutputSink &out, const char *path, int64_t size);
void jsonEndMessage(OutputSink &out);

// A header of the "headers" array, {"type": type, ...}; headers come before the payload.
void jsonBeginHeader(OutputSink &out, const char *type);
// The payload object, {"kind": kind, ...}, after the headers.
void jsonBeginPayload(OutputSink &out, const char *kind);
// The summary's time stamp and its [tag, value] pairs, after the payload.
void jsonBeginSummary(OutputSink &out, const char *time);
void jsonSummaryTag(OutputSink &out, const char *code, const char *value);

// An object or array as a member of the open object (key) or an element of the open
// array (key nullptr); closed by jsonClose.
void jsonOpen(OutputSink &out, const char *key, char opener);
void jsonClose(OutputSink &out);
// How deep the open members lie, and closing back to such a depth.
int jsonDepth(const OutputSink &out);
void jsonCloseTo(OutputSink &out, int depth);
// Members of the open object.
void jsonText(OutputSink &out, const char *key, ByteView text, int64_t length);
void jsonText(OutputSink &out, const char *key, const char *text);
void jsonInteger(OutputSink &out, const char *key, int64_t value);
void jsonBool(OutputSink &out, const char *key, bool value);
void jsonHexBytes(OutputSink &out, const char *key, ByteView bytes, int32_t length);

// A field of the open record, {"name", "description", "value"}, in its "fields" array: the
// value is the text up to its first zero byte within length, without trailing blanks; the
// description without surrounding blanks. A heading (length <= 0) or a field without a name
// is not a field and is left out.
void jsonTextField(OutputSink &out, const char *name, int32_t length, ByteView value,
                   const char *description);
// The same with a number as the value (digits as the text report shows them).
void jsonNumberField(OutputSink &out, const char *name, const char *number,
                     const char *description);
// A field whose value is an object: opened here, its members follow, closed by
// jsonEndObjectField.
void jsonBeginObjectField(OutputSink &out, const char *name, const char *description);
void jsonEndObjectField(OutputSink &out);

// A field written many times (IDoc segment fields): the text before its value, made once,
// padded to whole blocks of 16 bytes and to at least kJsonFieldHeadBlocks of them.
constexpr size_t kJsonFieldHeadBlocks = 6;
struct JsonFieldText {
    std::string head; // {"name":"...","description":"...","value":" padded to 16-byte blocks
    size_t headSize = 0;
    size_t room = 0; // the most bytes its member takes in the common case (jsonFieldRoom)
};
void prepareJsonField(JsonFieldText &field, const char *name, const char *description);

// Hands the buffer to the stream; room for count bytes (at most kJsonSlack) at its end.
void flushJsonOutput(JsonOutput &j);
inline char *jsonSpace(JsonOutput &j, size_t count) {
    if (j.used + count > kJsonWriteSize + kJsonSlack || j.used >= kJsonWriteSize)
        flushJsonOutput(j);
    return j.bytes + j.used;
}

// The prepared field with a value that needs escapes, or is long, or not in an array yet.
void jsonPreparedFieldEscaped(OutputSink &out, const JsonFieldText &field, int32_t length,
                              ByteView value);

#if defined(QPEEK_JSON_VECTORS)
// A bit for each of the sixteen bytes that needs more than a copy into a JSON string: a
// control character, a quote, a backslash, or a byte from 0x80 (below 0x20 when signed).
inline unsigned specialBytes(__m128i v) {
    __m128i special = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)),
                                   _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')),
                                                _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(special));
}
#endif

// Room a prepared field's member may take in the common case: a comma, the text before the
// value, 64 value bytes and a block for the closing quote and brace.
inline size_t jsonFieldRoom(const JsonFieldText &field) {
    return field.room;
}

// The prepared field's member, put at `to` (jsonFieldRoom bytes), after a comma when one is
// asked for; returns its end, or nullptr when the value does not take the common case. Called
// for every field of every record of an IDoc, so written out here to be inlined. The common
// case: a value of at most 64 bytes that lie in the view, none of which needs an escape. Its
// blocks of 16 bytes are tested (zero bytes, blanks, bytes to escape) and stored whole; the
// closing quote and brace are written over what follows the value.
inline char *putJsonField(char *to, bool comma, const JsonFieldText &field, int32_t length,
                          ByteView value) {
#if defined(QPEEK_JSON_VECTORS)
    if (length <= 0 || length > 64 || value.length < 32 || (length > 32 && value.length < 64))
        return nullptr;
    const bool wide = length > 32; // four blocks, else two
    const __m128i *from = reinterpret_cast<const __m128i *>(value.data);
    const __m128i zeros = _mm_setzero_si128(), blanks = _mm_set1_epi8(' ');
    __m128i v0 = _mm_loadu_si128(from), v1 = _mm_loadu_si128(from + 1), v2 = zeros, v3 = zeros;
    // Bit k of each mask tells byte k: a zero byte, a blank.
    auto masks = [&](__m128i low, __m128i high, uint32_t &zero, uint32_t &blank) {
        zero = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zeros))) |
               static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zeros))) << 16;
        blank = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, blanks))) |
                static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, blanks))) << 16;
    };
    uint32_t z0, b0, z1 = 0, b1 = 0;
    masks(v0, v1, z0, b0);
    if (wide) {
        v2 = _mm_loadu_si128(from + 2);
        v3 = _mm_loadu_si128(from + 3);
        masks(v2, v3, z1, b1);
    }
    uint64_t zero = z0 | static_cast<uint64_t>(z1) << 32;
    uint64_t blank = b0 | static_cast<uint64_t>(b1) << 32;
    uint64_t limit = length == 64 ? ~uint64_t{0} : (uint64_t{1} << length) - 1;
    if (zero & limit)
        limit = (zero & (0 - zero)) - 1;
    uint64_t kept = ~blank & limit;
    int n = kept ? 64 - __builtin_clzll(kept) : 0;
    if (n > 0) {
        // The bytes to escape, among the blocks the value reaches.
        uint64_t special = specialBytes(v0);
        if (n > 16)
            special |= static_cast<uint64_t>(specialBytes(v1)) << 16;
        if (n > 32)
            special |= static_cast<uint64_t>(specialBytes(v2)) << 32 |
                       static_cast<uint64_t>(specialBytes(v3)) << 48;
        uint64_t shown = n == 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
        if (special & shown)
            return nullptr;
    }
    *to = ',';
    to += comma ? 1 : 0;
    // The text before the value: its first kJsonFieldHeadBlocks blocks without a loop (their
    // count differs from field to field), then any further ones.
    const char *head = field.head.data();
    for (size_t k = 0; k < 16 * kJsonFieldHeadBlocks; k += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(head + k)));
    for (size_t k = 16 * kJsonFieldHeadBlocks; k < field.headSize; k += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(head + k)));
    to += field.headSize;
    __m128i *store = reinterpret_cast<__m128i *>(to);
    _mm_storeu_si128(store, v0);
    _mm_storeu_si128(store + 1, v1);
    if (wide) {
        _mm_storeu_si128(store + 2, v2);
        _mm_storeu_si128(store + 3, v3);
    }
    to += n;
    to[0] = '"';
    to[1] = '}';
    return to + 2;
#else
    (void)to;
    (void)comma;
    (void)field;
    (void)length;
    (void)value;
    return nullptr;
#endif
}

// True when the open level is an array that takes fields (the common case of
// putJsonField).
inline bool jsonInArray(const JsonOutput &j) {
    return j.depth > 0 && j.levels[j.depth - 1].closer == ']' && j.stage != JsonOutput::Stage::Done;
}

// The prepared field's member of the open array (or of the open object's "fields").
inline void jsonPreparedField(OutputSink &out, const JsonFieldText &field, int32_t length,
                              ByteView value) {
    JsonOutput &j = *out.json;
    if (jsonInArray(j) && jsonFieldRoom(field) <= kJsonSlack) {
        JsonOutput::Level &top = j.levels[j.depth - 1];
        char *end =
            putJsonField(jsonSpace(j, jsonFieldRoom(field)), !top.empty, field, length, value);
        if (end) {
            top.empty = false;
            j.used = static_cast<size_t>(end - j.bytes);
            return;
        }
    }
    jsonPreparedFieldEscaped(out, field, length, value);
}

// An IDoc segment occurrence, {"name", "path", "record": [...], "fields": [...]}: the text
// around its path made once per segment definition. Begun with the path of its group (the
// segment's name follows it), the data-record header's fields go into "record" until
// jsonSegmentFields turns to "fields"; closed by jsonEndSegment with the depth before it.
struct JsonSegmentText {
    std::string head; // {"name":"...","path":"
    std::string tail; // ...","record":[
    // Their lengths; the strings are padded to whole 16-byte blocks for copying.
    size_t headSize = 0;
    size_t tailSize = 0;
};
void prepareJsonSegment(JsonSegmentText &segment, const char *name);
void jsonBeginSegment(OutputSink &out, const JsonSegmentText &segment, const char *path);
void jsonSegmentFields(OutputSink &out);
void jsonEndSegment(OutputSink &out, int depth);

// Bytes as a JSON string's content: UTF-8 where valid, else each byte as U+00NN; control
// characters, quotes and backslashes escaped. `to` needs 6 bytes per byte of text. Returns
// the bytes written.
size_t escapeJsonText(char *to, const unsigned char *text, size_t length);

} // namespace qpeek
