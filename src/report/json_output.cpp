// The JSON object of a message: members and fields written straight into the output's
// buffer, which leaves in whole pieces; text escaped as it is copied.
#include "report/json_output.h"

#include "platform/platform.h"

#include <cstring>
#if defined(QPEEK_JSON_VECTORS)
#include <emmintrin.h>
#endif

namespace qpeek {

namespace {

#if defined(QPEEK_JSON_VECTORS)
// Copies whole 16-byte blocks of a padded text.
inline void copyBlocks(char *to, const std::string &padded) {
    const char *from = padded.data();
    const size_t size = padded.size();
    for (size_t k = 0; k < size; k += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + k)));
}
#endif

void flushJson(JsonOutput &j) {
    // Whole pieces straight to the system where it allows that (the stream's own buffer
    // would only copy them); the rest through the stream.
    size_t done = 0;
    if (j.used >= kJsonWriteSize)
        done = platform::writeUnbuffered(j.out, j.bytes, j.used);
    if (done < j.used)
        putStreamBytes(j.out, j.bytes + done, j.used - done);
    j.used = 0;
    j.objectSpilled = j.depth > 0;
}

// Room for count bytes (at most kJsonSlack) at the end of the buffer.
char *space(JsonOutput &j, size_t count) {
    return jsonSpace(j, count);
}

void raw(JsonOutput &j, const char *bytes, size_t count) {
    if (count <= kJsonSlack) {
        char *to = space(j, count);
        std::memcpy(to, bytes, count);
        j.used += count;
        return;
    }
    while (count > 0) {
        size_t n = count < kJsonChunk ? count : kJsonChunk;
        std::memcpy(space(j, n), bytes, n);
        j.used += n;
        bytes += n;
        count -= n;
    }
}

void raw(JsonOutput &j, const char *text) {
    raw(j, text, std::strlen(text));
}

void rawChar(JsonOutput &j, char c) {
    *space(j, 1) = c;
    ++j.used;
}

// The escaped text, a chunk at a time; a chunk never ends inside a UTF-8 sequence.
void escaped(JsonOutput &j, const unsigned char *text, size_t length) {
    while (length > 0) {
        size_t n = length;
        if (n > kJsonChunk) {
            n = kJsonChunk;
            for (int back = 0; back < 3 && (text[n] & 0xC0) == 0x80; ++back)
                --n;
        }
        char *to = space(j, 6 * n);
        j.used += escapeJsonText(to, text, n);
        text += n;
        length -= n;
    }
}

void quoted(JsonOutput &j, const unsigned char *text, size_t length) {
    rawChar(j, '"');
    escaped(j, text, length);
    rawChar(j, '"');
}

void quoted(JsonOutput &j, const char *text) {
    quoted(j, reinterpret_cast<const unsigned char *>(text), std::strlen(text));
}

// The separator before an element or member of the open level.
void separate(JsonOutput &j) {
    if (j.depth == 0)
        return;
    JsonOutput::Level &level = j.levels[j.depth - 1];
    if (!level.empty)
        rawChar(j, ',');
    level.empty = false;
}

void closeLevel(JsonOutput &j) {
    rawChar(j, j.levels[j.depth - 1].closer);
    --j.depth;
}

// Closes the "fields" array a field opened, before another member of its object.
void closeFields(JsonOutput &j) {
    if (j.depth > 0 && j.levels[j.depth - 1].fields)
        closeLevel(j);
}

// The member's name, when an object is open to take it (false inside an array).
bool key(JsonOutput &j, const char *name) {
    closeFields(j);
    if (j.depth == 0 || j.levels[j.depth - 1].closer != '}')
        return false;
    separate(j);
    rawChar(j, '"');
    raw(j, name);
    raw(j, "\":", 2);
    return true;
}

// Decoding calls made by the summary pass add nothing: only its tags go into the object.
bool open(const OutputSink &out) {
    return out.json->stage != JsonOutput::Stage::Done;
}

void push(JsonOutput &j, char opener, bool fields = false) {
    rawChar(j, opener);
    if (j.depth == kJsonDepth) // deeper than any object qpeek makes
        return;
    j.levels[j.depth++] = JsonOutput::Level{opener == '{' ? '}' : ']', true, fields};
}

// Where the next field goes: the open array, or the "fields" array of the open object.
void startField(JsonOutput &j) {
    if (j.depth > 0 && j.levels[j.depth - 1].closer == '}') {
        key(j, "fields");
        push(j, '[', true);
    }
    separate(j);
}

// Text up to its first zero byte within length, without trailing blanks.
int64_t valueLength(ByteView value, int32_t length) {
    const int64_t limit = value.available(0, length);
    const unsigned char *data = value.data;
    int64_t n = limit, i = 0;
#if defined(QPEEK_JSON_VECTORS)
    // Sixteen bytes at a time: the first zero byte, then the last byte that is no blank.
    const __m128i zeros = _mm_setzero_si128(), blanks = _mm_set1_epi8(' ');
    for (; i + 16 <= limit; i += 16) {
        unsigned zero = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i)), zeros)));
        if (zero) {
            n = i + __builtin_ctz(zero);
            break;
        }
    }
#endif
    if (n == limit)
        for (; i < limit; ++i)
            if (data[i] == 0) {
                n = i;
                break;
            }
#if defined(QPEEK_JSON_VECTORS)
    while (n >= 16) {
        unsigned kept =
            ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + n - 16)), blanks))) &
            0xFFFFu;
        if (kept)
            return n - 16 + (32 - __builtin_clz(kept));
        n -= 16;
    }
#endif
    while (n > 0 && data[n - 1] == ' ')
        --n;
    return n;
}

// Text without leading and trailing blanks.
void trimmedText(JsonOutput &j, const char *text) {
    while (*text == ' ')
        ++text;
    size_t n = std::strlen(text);
    while (n > 0 && text[n - 1] == ' ')
        --n;
    quoted(j, reinterpret_cast<const unsigned char *>(text), n);
}

// A field's object up to its value: {"name":…,"description":…,"value":
void fieldHead(JsonOutput &j, const char *name, const char *description) {
    raw(j, "{\"name\":", 8);
    trimmedText(j, name);
    raw(j, ",\"description\":", 15);
    trimmedText(j, description ? description : "");
    raw(j, ",\"value\":", 9);
}

void closeTo(JsonOutput &j, int depth) {
    while (j.depth > depth)
        closeLevel(j);
}

// Closes the headers (or writes an empty list) before what follows them.
void finishHeaders(JsonOutput &j) {
    if (j.stage == JsonOutput::Stage::Descriptor) {
        key(j, "headers");
        raw(j, "[]", 2);
    } else if (j.stage == JsonOutput::Stage::Headers) {
        closeTo(j, 1);
    }
    j.stage = JsonOutput::Stage::Payload;
}

// A UTF-8 sequence at text (length bytes left): its length, or 0 when it is not valid.
size_t sequenceLength(const unsigned char *text, size_t length) {
    unsigned char b = text[0];
    size_t n;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0)
            low = 0xA0;
        else if (b == 0xED)
            high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0)
            low = 0x90;
        else if (b == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (length < n || text[1] < low || text[1] > high)
        return 0;
    for (size_t i = 2; i < n; ++i)
        if ((text[i] & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

size_t escapeJsonText(char *to, const unsigned char *text, size_t length) {
    static const char kHex[] = "0123456789abcdef";
    char *start = to;
    size_t i = 0;
    // Every byte from this one on was copied as it is: its copy lies i - k bytes before `to`.
    [[maybe_unused]] size_t copiedFrom = 0;
    while (i < length) {
#if defined(QPEEK_JSON_VECTORS)
        // Sixteen bytes at a time up to the first that needs more than a copy.
        if (length - i >= 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
            unsigned mask = specialBytes(v);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(to), v);
            size_t plain = mask ? static_cast<size_t>(__builtin_ctz(mask)) : 16;
            to += plain;
            i += plain;
            if (plain == 16)
                continue;
        } else if (length >= 16 && length - 16 >= copiedFrom) {
            // The last sixteen bytes of the text, over copies of the ones before i: when
            // none from i on needs more than a copy, they end the text at once.
            size_t back = i - (length - 16);
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + length - 16));
            if ((specialBytes(v) >> back) == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i *>(to - back), v);
                to += length - i;
                break;
            }
        }
#endif
        unsigned char b = text[i];
        if (b >= 0x20 && b < 0x80 && b != '"' && b != '\\') {
            *to++ = static_cast<char>(b);
            ++i;
            continue;
        }
        copiedFrom = i + 1;
        if (b >= 0x80) {
            size_t n = sequenceLength(text + i, length - i);
            if (n > 0) {
                std::memcpy(to, text + i, n);
                to += n;
                i += n;
            } else {
                // Not UTF-8: the byte as the ISO-8859-1 character of its value.
                *to++ = static_cast<char>(0xC0 | b >> 6);
                *to++ = static_cast<char>(0x80 | (b & 0x3F));
                ++i;
            }
            continue;
        }
        *to++ = '\\';
        switch (b) {
        case '"':
        case '\\':
            *to++ = static_cast<char>(b);
            break;
        case '\n':
            *to++ = 'n';
            break;
        case '\r':
            *to++ = 'r';
            break;
        case '\t':
            *to++ = 't';
            break;
        default:
            *to++ = 'u';
            *to++ = '0';
            *to++ = '0';
            *to++ = kHex[b >> 4];
            *to++ = kHex[b & 0xF];
            break;
        }
        ++i;
    }
    return static_cast<size_t>(to - start);
}

void jsonBeginMessage(OutputSink &out, const char *path, int64_t size) {
    JsonOutput &j = *out.json;
    j.depth = 0;
    j.objectSpilled = false;
    j.stage = JsonOutput::Stage::Descriptor;
    push(j, '{');
    key(j, "file");
    quoted(j, path);
    jsonInteger(out, "size", size);
}

void jsonEndMessage(OutputSink &out) {
    JsonOutput &j = *out.json;
    if (j.depth == 0)
        return;
    if (j.stage != JsonOutput::Stage::Payload && j.stage != JsonOutput::Stage::Done)
        finishHeaders(j);
    closeTo(j, 0);
    rawChar(j, '\n');
    flushJson(j);
    if (!j.heldStandardOutput.empty()) {
        putStreamBytes(stdout, j.heldStandardOutput.data(), j.heldStandardOutput.size());
        j.heldStandardOutput.clear();
    }
}

void jsonBeginHeader(OutputSink &out, const char *type) {
    JsonOutput &j = *out.json;
    if (j.stage == JsonOutput::Stage::Descriptor) {
        closeTo(j, 1);
        key(j, "headers");
        push(j, '[');
        j.stage = JsonOutput::Stage::Headers;
    }
    if (j.stage != JsonOutput::Stage::Headers)
        return;
    closeTo(j, 2);
    separate(j);
    push(j, '{');
    key(j, "type");
    quoted(j, type);
}

void jsonBeginPayload(OutputSink &out, const char *kind) {
    JsonOutput &j = *out.json;
    if (j.stage == JsonOutput::Stage::Payload || j.stage == JsonOutput::Stage::Done)
        return;
    finishHeaders(j);
    key(j, "payload");
    push(j, '{');
    key(j, "kind");
    quoted(j, kind);
}

void jsonBeginSummary(OutputSink &out, const char *time) {
    JsonOutput &j = *out.json;
    if (j.stage != JsonOutput::Stage::Done) {
        if (j.stage != JsonOutput::Stage::Payload)
            finishHeaders(j);
        j.stage = JsonOutput::Stage::Done;
    }
    closeTo(j, 1);
    key(j, "time");
    quoted(j, time);
    key(j, "summary");
    push(j, '[');
}

void jsonSummaryTag(OutputSink &out, const char *code, const char *value) {
    JsonOutput &j = *out.json;
    if (j.stage != JsonOutput::Stage::Done || j.depth != 2)
        return;
    separate(j);
    rawChar(j, '[');
    quoted(j, code);
    rawChar(j, ',');
    quoted(j, value);
    rawChar(j, ']');
}

void jsonOpen(OutputSink &out, const char *name, char opener) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    if (!name || !key(j, name))
        separate(j); // an element of the open array
    push(j, opener);
}

void jsonClose(OutputSink &out) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    closeFields(j);
    if (j.depth > 1)
        closeLevel(j);
}

int jsonDepth(const OutputSink &out) {
    return out.json->depth;
}

void jsonCloseTo(OutputSink &out, int depth) {
    if (!open(out))
        return;
    closeTo(*out.json, depth < 1 ? 1 : depth);
}

void jsonText(OutputSink &out, const char *name, ByteView text, int64_t length) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    if (!key(j, name))
        return;
    int64_t n = text.available(0, length);
    quoted(j, text.data, n > 0 ? static_cast<size_t>(n) : 0);
}

void jsonText(OutputSink &out, const char *name, const char *text) {
    if (!open(out))
        return;
    if (!key(*out.json, name))
        return;
    quoted(*out.json, text);
}

void jsonInteger(OutputSink &out, const char *name, int64_t value) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    if (!key(j, name))
        return;
    char digits[24];
    int n = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
    raw(j, digits, static_cast<size_t>(n));
}

void jsonBool(OutputSink &out, const char *name, bool value) {
    if (!open(out))
        return;
    if (!key(*out.json, name))
        return;
    raw(*out.json, value ? "true" : "false");
}

void jsonHexBytes(OutputSink &out, const char *name, ByteView bytes, int32_t length) {
    if (!open(out))
        return;
    static const char kHex[] = "0123456789abcdef";
    JsonOutput &j = *out.json;
    if (!key(j, name))
        return;
    rawChar(j, '"');
    for (int32_t i = 0; i < length; ++i) {
        unsigned char b = bytes.at(i);
        char *to = space(j, 2);
        to[0] = kHex[b >> 4];
        to[1] = kHex[b & 0xF];
        j.used += 2;
    }
    rawChar(j, '"');
}

void jsonTextField(OutputSink &out, const char *name, int32_t length, ByteView value,
                   const char *description) {
    if (!open(out))
        return;
    if (length <= 0 || !name || !*name)
        return;
    JsonOutput &j = *out.json;
    startField(j);
    fieldHead(j, name, description);
    quoted(j, value.data, static_cast<size_t>(valueLength(value, length)));
    rawChar(j, '}');
}

void jsonNumberField(OutputSink &out, const char *name, const char *number,
                     const char *description) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    startField(j);
    fieldHead(j, name, description);
    raw(j, number);
    rawChar(j, '}');
}

void jsonBeginObjectField(OutputSink &out, const char *name, const char *description) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    startField(j);
    fieldHead(j, name, description);
    push(j, '{');
}

void jsonEndObjectField(OutputSink &out) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    closeLevel(j);
    rawChar(j, '}');
}

void prepareJsonField(JsonFieldText &field, const char *name, const char *description) {
    std::string &text = field.head;
    auto add = [&text](const char *s) {
        while (*s == ' ')
            ++s;
        size_t n = std::strlen(s);
        while (n > 0 && s[n - 1] == ' ')
            --n;
        size_t at = text.size();
        text.resize(at + 6 * n);
        text.resize(at + escapeJsonText(&text[at], reinterpret_cast<const unsigned char *>(s), n));
    };
    text = "{\"name\":\"";
    add(name);
    text += "\",\"description\":\"";
    add(description ? description : "");
    text += "\",\"value\":\"";
    field.headSize = text.size();
    size_t padded = (field.headSize + 15) / 16 * 16;
    text.resize(padded > 16 * kJsonFieldHeadBlocks ? padded : 16 * kJsonFieldHeadBlocks, ' ');
    // A comma, the text before the value, 64 value bytes, a block for the quote and brace.
    field.room = 1 + text.size() + 64 + 16;
}

void jsonPreparedFieldEscaped(OutputSink &out, const JsonFieldText &field, int32_t length,
                              ByteView value) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    startField(j);
    size_t n = static_cast<size_t>(valueLength(value, length));
    if (field.head.size() + 6 * n + 16 <= kJsonSlack) {
        // The whole member in one piece of the buffer.
        char *to = space(j, field.head.size() + 6 * n + 16);
#if defined(QPEEK_JSON_VECTORS)
        copyBlocks(to, field.head);
#else
        std::memcpy(to, field.head.data(), field.headSize);
#endif
        to += field.headSize;
        to += escapeJsonText(to, value.data, n);
        to[0] = '"';
        to[1] = '}';
        j.used = static_cast<size_t>(to + 2 - j.bytes);
        return;
    }
    raw(j, field.head.data(), field.headSize);
    escaped(j, value.data, n);
    raw(j, "\"}", 2);
}

void flushJsonOutput(JsonOutput &j) {
    flushJson(j);
}

void prepareJsonSegment(JsonSegmentText &segment, const char *name) {
    size_t n = std::strlen(name);
    std::string escapedName(6 * n, '\0');
    escapedName.resize(
        escapeJsonText(&escapedName[0], reinterpret_cast<const unsigned char *>(name), n));
    segment.head = "{\"name\":\"" + escapedName + "\",\"path\":\"";
    segment.tail = escapedName + "\",\"record\":[";
    segment.headSize = segment.head.size();
    segment.tailSize = segment.tail.size();
    segment.head.resize((segment.headSize + 15) / 16 * 16, ' ');
    segment.tail.resize((segment.tailSize + 15) / 16 * 16, ' ');
}

void jsonBeginSegment(OutputSink &out, const JsonSegmentText &segment, const char *path) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    if (j.depth + 2 > kJsonDepth)
        return;
    closeFields(j);
    separate(j);
    size_t n = std::strlen(path);
    size_t room = segment.head.size() + 6 * n + 1 + segment.tail.size();
    if (room <= kJsonSlack) {
        // In one piece of the buffer, the padded texts copied in whole blocks.
        char *to = space(j, room);
#if defined(QPEEK_JSON_VECTORS)
        copyBlocks(to, segment.head);
#else
        std::memcpy(to, segment.head.data(), segment.headSize);
#endif
        to += segment.headSize;
        if (n > 0) {
            to += escapeJsonText(to, reinterpret_cast<const unsigned char *>(path), n);
            *to++ = '.';
        }
#if defined(QPEEK_JSON_VECTORS)
        copyBlocks(to, segment.tail);
#else
        std::memcpy(to, segment.tail.data(), segment.tailSize);
#endif
        j.used = static_cast<size_t>(to + segment.tailSize - j.bytes);
    } else {
        raw(j, segment.head.data(), segment.headSize);
        if (n > 0) {
            escaped(j, reinterpret_cast<const unsigned char *>(path), n);
            rawChar(j, '.');
        }
        raw(j, segment.tail.data(), segment.tailSize);
    }
    j.levels[j.depth++] = JsonOutput::Level{'}', false, false};
    j.levels[j.depth++] = JsonOutput::Level{']', true, false};
}

void jsonEndSegment(OutputSink &out, int depth) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    // The common case at once: the fields' array and the segment's object.
    if (j.depth == depth + 2 && j.levels[j.depth - 1].closer == ']' &&
        j.levels[j.depth - 2].closer == '}') {
        char *to = space(j, 2);
        to[0] = ']';
        to[1] = '}';
        j.used += 2;
        j.depth -= 2;
        return;
    }
    closeTo(j, depth < 1 ? 1 : depth);
}

void jsonSegmentFields(OutputSink &out) {
    if (!open(out))
        return;
    JsonOutput &j = *out.json;
    if (j.depth < 1 || j.levels[j.depth - 1].closer != ']')
        return;
    raw(j, "],\"fields\":[", 12);
    j.levels[j.depth - 1] = JsonOutput::Level{']', true, true};
}

} // namespace qpeek
