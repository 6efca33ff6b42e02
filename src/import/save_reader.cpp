// Multi-message save files. The delimiter is not escaped in the messages: the input is split
// at every occurrence. At the start of each message, lines "name=value" ended by the property
// delimiter are the message's properties (a message file has no place for them: they are
// left out and counted), and "MD  " with a structure version of 1 or 2 is its descriptor.
#include "import/save_reader.h"

#include <cstdio>
#include <cstring>

#include "common/descriptor.h"

namespace qpeek::import {

namespace {

// The integer fields of the descriptor, turned to little-endian when a descriptor was
// written in the other byte order.
constexpr int kIntegerFields[] = {
    mqmd::kVersion,     mqmd::kReport,       mqmd::kMsgType,        mqmd::kExpiry,
    mqmd::kFeedback,    mqmd::kEncoding,     mqmd::kCodedCharSetId, mqmd::kPriority,
    mqmd::kPersistence, mqmd::kBackoutCount, mqmd::kPutApplType,    mqmd::kMsgSeqNumber,
    mqmd::kOffset,      mqmd::kMsgFlags,     mqmd::kOriginalLength,
};

const unsigned char *findDelimiter(const unsigned char *p, const unsigned char *e,
                                   const std::string &delimiter) {
    size_t n = delimiter.size();
    auto first = static_cast<unsigned char>(delimiter[0]);
    while (static_cast<size_t>(e - p) >= n) {
        auto *q = static_cast<const unsigned char *>(
            std::memchr(p, first, static_cast<size_t>(e - p) - n + 1));
        if (!q)
            return nullptr;
        if (std::memcmp(q, delimiter.data(), n) == 0)
            return q;
        p = q + 1;
    }
    return nullptr;
}

// The end of the property block at p ("name=value" lines, then the property delimiter), or
// nullptr when the message does not begin with one inside [p, e).
const unsigned char *propertyBlockEnd(const unsigned char *p, const unsigned char *e) {
    size_t n = std::strlen(kPropertyDelimiter);
    for (;;) {
        if (static_cast<size_t>(e - p) >= n && std::memcmp(p, kPropertyDelimiter, n) == 0)
            return p + n;
        auto *lf = static_cast<const unsigned char *>(std::memchr(p, '\n', e - p));
        if (!lf)
            return nullptr;
        auto *eq = static_cast<const unsigned char *>(std::memchr(p, '=', lf - p));
        if (!eq || eq == p)
            return nullptr;
        p = lf + 1;
    }
}

uint32_t readInteger(const unsigned char *p, bool bigEndian) {
    if (bigEndian)
        return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// A descriptor at p: "MD  " and a structure version of 1 or 2 in either byte order. The
// descriptor is copied to md with its integers little-endian.
bool takeDescriptor(const unsigned char *p, Mqmd &md, bool &swapped) {
    if (std::memcmp(p, "MD  ", 4) != 0)
        return false;
    uint32_t little = readInteger(p + mqmd::kVersion, false);
    uint32_t big = readInteger(p + mqmd::kVersion, true);
    if (little != 1 && little != 2 && big != 1 && big != 2)
        return false;
    std::memcpy(md.bytes, p, kMqmdLength);
    swapped = little != 1 && little != 2;
    if (swapped)
        for (int offset : kIntegerFields) {
            uint32_t v = readInteger(p + offset, true);
            for (int i = 0; i < 4; ++i)
                md.bytes[offset + i] = static_cast<unsigned char>(v >> (8 * i));
        }
    return true;
}

// The delimiter as the user would type it: as text when it is printable, else in hexadecimal.
std::string describeDelimiter(const std::string &delimiter) {
    bool printable = true;
    for (char c : delimiter)
        printable = printable && c >= 0x20 && c < 0x7f;
    if (printable)
        return "\"" + delimiter + "\"";
    std::string text = "X'";
    for (char c : delimiter) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(c));
        text += hex;
    }
    return text + "'";
}

} // namespace

bool importSave(InputBuffer &in, const std::string &delimiter, MessageWriter &w, SaveCounts &counts,
                ImportProblem &problem) {
    size_t keep = delimiter.size() - 1; // bytes that may begin a delimiter cut by the buffer
    size_t lookahead = kPropertyBlockMax + kMqmdLength + delimiter.size();
    if (in.bytes.size() < 2 * lookahead)
        in.bytes.resize(2 * lookahead);
    bool firstMarked = false; // the first message has properties or a descriptor
    bool anyInput = false;
    auto failWith = [&](const std::string &text) {
        if (w.active)
            abandonMessage(w);
        problem.line = 0;
        problem.text = text;
        return false;
    };

    for (uint64_t index = 0;; ++index) {
        // The start of a message: its properties and descriptor, if any.
        while (!in.eof && available(in) < lookahead)
            fillBuffer(in);
        anyInput = anyInput || available(in) > 0;
        const unsigned char *start = in.bytes.data() + in.pos;
        const unsigned char *end = in.bytes.data() + in.end;
        const unsigned char *limit = findDelimiter(start, end, delimiter);
        if (!limit || limit - start > static_cast<std::ptrdiff_t>(lookahead))
            limit = start + (static_cast<size_t>(end - start) < lookahead
                                 ? static_cast<size_t>(end - start)
                                 : lookahead);
        const unsigned char *p = start;
        const unsigned char *afterProperties = propertyBlockEnd(p, limit);
        if (afterProperties) {
            p = afterProperties;
            ++counts.withProperties;
        }
        Mqmd md;
        bool swapped = false;
        bool hasDescriptor =
            limit - p >= std::ptrdiff_t{kMqmdLength} && takeDescriptor(p, md, swapped);
        if (hasDescriptor) {
            p += kMqmdLength;
            counts.swappedDescriptors += swapped ? 1 : 0;
        }
        if (index == 0)
            firstMarked = afterProperties || hasDescriptor;
        in.pos += static_cast<size_t>(p - start);
        if (!beginMessage(w, hasDescriptor ? &md : nullptr))
            return failWith(w.error);

        // The body, up to the next delimiter or the end of the input.
        for (;;) {
            start = in.bytes.data() + in.pos;
            end = in.bytes.data() + in.end;
            const unsigned char *found = findDelimiter(start, end, delimiter);
            if (found) {
                if (!appendBody(w, start, static_cast<size_t>(found - start)) || !endMessage(w))
                    return failWith(w.error);
                in.pos += static_cast<size_t>(found - start) + delimiter.size();
                ++counts.delimiters;
                break;
            }
            if (in.eof) {
                if (!appendBody(w, start, static_cast<size_t>(end - start)))
                    return failWith(w.error);
                in.pos = in.end;
                if (in.interrupted)
                    return failWith("interrupted");
                if (in.readError)
                    return failWith("read error");
                if (!anyInput)
                    return failWith("empty input: neither a queue unload file nor a save file");
                if (counts.delimiters == 0 && !firstMarked)
                    return failWith(
                        "neither a queue unload file (no \"* QLOAD\" or \"* DMPMQMSG\" header "
                        "line) nor a save file (no delimiter " +
                        describeDelimiter(delimiter) + ", no message descriptor, no properties)");
                if (!endMessage(w))
                    return failWith(w.error);
                return true;
            }
            size_t n = static_cast<size_t>(end - start);
            if (n > keep) {
                if (!appendBody(w, start, n - keep))
                    return failWith(w.error);
                in.pos += n - keep;
            }
            fillBuffer(in);
        }
    }
}

} // namespace qpeek::import
