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

// A field of the open record, {"name", "value", "description"}, in its "fields" array: the
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
void jsonBeginObjectField(OutputSink &out, const char *name);
void jsonEndObjectField(OutputSink &out, const char *description);

// A field written many times (IDoc segment fields): the text before its value and after it,
// made once.
struct JsonFieldText {
    std::string head; // {"name":"...","value":"
    std::string tail; // ","description":"..."}
    // Their lengths; the strings are padded to whole 16-byte blocks for copying.
    size_t headSize = 0;
    size_t tailSize = 0;
};
void prepareJsonField(JsonFieldText &field, const char *name, const char *description);
void jsonPreparedField(OutputSink &out, const JsonFieldText &field, int32_t length, ByteView value);

// Bytes as a JSON string's content: UTF-8 where valid, else each byte as U+00NN; control
// characters, quotes and backslashes escaped. `to` needs 6 bytes per byte of text. Returns
// the bytes written.
size_t escapeJsonText(char *to, const unsigned char *text, size_t length);

} // namespace qpeek
