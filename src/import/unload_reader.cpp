// Queue unload files. Line by line: comments (`*`) and empty lines are skipped, an `A` or `N`
// line starts a message (`A` lines set descriptor fields, `N` says there is no descriptor),
// and the data lines `X` (hexadecimal), `S` (characters) and `T` (a text line) give the body
// in order. Lines are taken in pieces of at most the input buffer, so that a data line of any
// length is read in bounded memory.
#include "import/unload_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace qpeek::import {

namespace {

enum class AttributeKind { Decimal, Hex, Characters };

struct AttributeCode {
    char code[4];
    int offset;
    int length;
    AttributeKind kind;
};

// The attribute codes of an unload file and the descriptor field each one sets.
constexpr AttributeCode kAttributeCodes[] = {
    {"VER", mqmd::kVersion, 4, AttributeKind::Decimal},
    {"RPT", mqmd::kReport, 4, AttributeKind::Decimal},
    {"MST", mqmd::kMsgType, 4, AttributeKind::Decimal},
    {"EXP", mqmd::kExpiry, 4, AttributeKind::Decimal},
    {"FDB", mqmd::kFeedback, 4, AttributeKind::Decimal},
    {"ENC", mqmd::kEncoding, 4, AttributeKind::Decimal},
    {"CCS", mqmd::kCodedCharSetId, 4, AttributeKind::Decimal},
    {"FMT", mqmd::kFormat, 8, AttributeKind::Characters},
    {"PRI", mqmd::kPriority, 4, AttributeKind::Decimal},
    {"PER", mqmd::kPersistence, 4, AttributeKind::Decimal},
    {"MSI", mqmd::kMsgId, 24, AttributeKind::Hex},
    {"COI", mqmd::kCorrelId, 24, AttributeKind::Hex},
    {"BOC", mqmd::kBackoutCount, 4, AttributeKind::Decimal},
    {"RTQ", mqmd::kReplyToQ, 48, AttributeKind::Characters},
    {"RTM", mqmd::kReplyToQMgr, 48, AttributeKind::Characters},
    {"USR", mqmd::kUserIdentifier, 12, AttributeKind::Characters},
    {"ACC", mqmd::kAccountingToken, 32, AttributeKind::Hex},
    {"AIX", mqmd::kApplIdentityData, 32, AttributeKind::Hex},
    {"AID", mqmd::kApplIdentityData, 32, AttributeKind::Characters},
    {"PAT", mqmd::kPutApplType, 4, AttributeKind::Decimal},
    {"PAN", mqmd::kPutApplName, 28, AttributeKind::Characters},
    {"PTD", mqmd::kPutDate, 8, AttributeKind::Characters},
    {"PTT", mqmd::kPutTime, 8, AttributeKind::Characters},
    {"AOX", mqmd::kApplOriginData, 4, AttributeKind::Hex},
    {"AOD", mqmd::kApplOriginData, 4, AttributeKind::Characters},
    {"GRP", mqmd::kGroupId, 24, AttributeKind::Hex},
    {"MSQ", mqmd::kMsgSeqNumber, 4, AttributeKind::Decimal},
    {"OFF", mqmd::kOffset, 4, AttributeKind::Decimal},
    {"MSF", mqmd::kMsgFlags, 4, AttributeKind::Decimal},
    {"ORL", mqmd::kOriginalLength, 4, AttributeKind::Decimal},
};

// Attribute lines: "A", blank, the code in columns 3-5, blank, the value from offset 6.
constexpr size_t kCodeOffset = 2;
constexpr size_t kCodeLength = 3;
constexpr size_t kValueOffset = 6;
// An attribute line is kept up to this length; the longest value (64 hexadecimal digits)
// fits with room for trailing blanks.
constexpr size_t kAttributeLineMax = 160;

struct HexTable {
    signed char value[256];
    constexpr HexTable() : value() {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i) {
            value['A' + i] = static_cast<signed char>(10 + i);
            value['a' + i] = static_cast<signed char>(10 + i);
        }
    }
};
constexpr HexTable kHex;

bool isBlank(unsigned char c) {
    return c == ' ' || c == '\t';
}

void putInteger(Mqmd &md, int offset, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        md.bytes[offset + i] = static_cast<unsigned char>(v >> (8 * i));
}

std::string codeText(const AttributeCode &a) {
    return std::string(a.code, kCodeLength);
}

bool tooLong(const AttributeCode &a, std::string &reason) {
    reason = "value of " + codeText(a) + " too long for its field (at most " +
             std::to_string(a.length) + " bytes)";
    return false;
}

bool parseDecimal(const AttributeCode &a, const unsigned char *p, const unsigned char *e,
                  int32_t &out, std::string &reason) {
    while (p < e && isBlank(*p))
        ++p;
    while (e > p && isBlank(e[-1]))
        --e;
    bool negative = false;
    if (p < e && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    if (p == e) {
        reason = "value of " + codeText(a) + " is not a decimal number";
        return false;
    }
    int64_t v = 0;
    for (; p < e; ++p) {
        if (*p < '0' || *p > '9') {
            reason = "value of " + codeText(a) + " is not a decimal number";
            return false;
        }
        v = v * 10 + (*p - '0');
        if (v > int64_t{INT32_MAX} + 1) {
            reason = "value of " + codeText(a) + " out of range for its field";
            return false;
        }
    }
    if (negative)
        v = -v;
    if (v > INT32_MAX || v < INT32_MIN) {
        reason = "value of " + codeText(a) + " out of range for its field";
        return false;
    }
    out = static_cast<int32_t>(v);
    return true;
}

} // namespace

bool applyAttributeLine(Mqmd &md, const unsigned char *line, size_t length, bool cut,
                        std::string &reason) {
    if (length < kCodeOffset + kCodeLength) {
        reason = "attribute line without a three-letter code";
        return false;
    }
    const AttributeCode *a = nullptr;
    for (const AttributeCode &c : kAttributeCodes)
        if (std::memcmp(c.code, line + kCodeOffset, kCodeLength) == 0)
            a = &c;
    if (!a) {
        reason = "unknown attribute code \"" +
                 std::string(reinterpret_cast<const char *>(line + kCodeOffset), kCodeLength) +
                 "\"";
        return false;
    }
    // A line shorter than 7 characters leaves the field at its default.
    if (length <= kValueOffset && !cut)
        return true;
    const unsigned char *p = line + kValueOffset;
    const unsigned char *e = line + (length > kValueOffset ? length : kValueOffset);
    unsigned char *field = md.bytes + a->offset;
    size_t fieldLength = static_cast<size_t>(a->length);
    switch (a->kind) {
    case AttributeKind::Characters: {
        // Raw characters, blank-padded; blanks past the field's length are padding too.
        size_t n = static_cast<size_t>(e - p);
        if (cut)
            return tooLong(*a, reason);
        for (size_t i = fieldLength; i < n; ++i)
            if (p[i] != ' ')
                return tooLong(*a, reason);
        std::memset(field, ' ', fieldLength);
        std::memcpy(field, p, n < fieldLength ? n : fieldLength);
        return true;
    }
    case AttributeKind::Decimal: {
        if (cut)
            return tooLong(*a, reason);
        int32_t v = 0;
        if (!parseDecimal(*a, p, e, v, reason))
            return false;
        putInteger(md, a->offset, v);
        return true;
    }
    case AttributeKind::Hex: {
        while (e > p && isBlank(e[-1]))
            --e;
        for (const unsigned char *q = p; q < e; ++q)
            if (kHex.value[*q] < 0) {
                reason = "value of " + codeText(*a) + " is not hexadecimal";
                return false;
            }
        size_t digits = static_cast<size_t>(e - p);
        if (cut || digits > 2 * fieldLength)
            return tooLong(*a, reason);
        if (digits % 2 != 0) {
            reason = "odd number of hex digits in the value of " + codeText(*a);
            return false;
        }
        // A shorter value leaves the rest of the field zero.
        std::memset(field, 0, fieldLength);
        for (size_t i = 0; i < digits / 2; ++i)
            field[i] =
                static_cast<unsigned char>(kHex.value[p[2 * i]] << 4 | kHex.value[p[2 * i + 1]]);
        return true;
    }
    }
    return true;
}

namespace {

enum class LineKind { Skip, BlankLine, Attribute, Hex, QuotedText, PlainText, TextLine };

// One piece of a line: the whole line, or, for a line longer than the buffer, a part of it.
// Line ends (LF, or CR LF) are not part of a piece.
struct LinePiece {
    const unsigned char *data;
    size_t length;
    bool first;
    bool last;
};

struct UnloadReader {
    InputBuffer *in;
    MessageWriter *w;
    ImportProblem *problem;
    bool midLine = false;
    uint64_t line = 0;

    // The message being read.
    bool inMessage = false;
    bool begun = false; // beginMessage called
    bool sawData = false;
    bool hasDescriptor = false;
    Mqmd md{};

    // The line being read.
    LineKind kind = LineKind::Skip;
    unsigned char attribute[kAttributeLineMax];
    size_t attributeLength = 0;
    bool attributeCut = false;
    int highNibble = -1;     // X: a hexadecimal digit waiting for its partner
    bool hexStopped = false; // X: past the digits (an ASCII column follows)
    bool tilde = false;      // S "...": an escape character waiting for its partner
    bool closed = false;     // S "...": the closing quote seen
    bool afterClose = false; // S "...": more than blanks after the closing quote
    uint64_t blanks = 0;     // S without quotes: blanks held back (trailing ones are dropped)
};

bool fail(UnloadReader &r, const std::string &text, bool onLine = true) {
    r.problem->line = onLine ? r.line : 0;
    r.problem->text = text;
    if (r.w->active)
        abandonMessage(*r.w);
    return false;
}

bool failWriter(UnloadReader &r) {
    return fail(r, r.w->error, false);
}

// The next piece of the current line; false at the end of the input.
bool nextPiece(UnloadReader &r, LinePiece &piece) {
    InputBuffer &in = *r.in;
    for (;;) {
        unsigned char *start = in.bytes.data() + in.pos;
        size_t n = in.end - in.pos;
        auto *lf = static_cast<unsigned char *>(n ? std::memchr(start, '\n', n) : nullptr);
        if (lf) {
            size_t length = static_cast<size_t>(lf - start);
            piece = {start, length, !r.midLine, true};
            in.pos += length + 1;
            if (length > 0 && start[length - 1] == '\r')
                --piece.length;
            r.midLine = false;
            return true;
        }
        if (in.eof) {
            if (n == 0 && !r.midLine)
                return false;
            piece = {start, n, !r.midLine, true};
            in.pos = in.end;
            if (n > 0 && start[n - 1] == '\r')
                --piece.length;
            r.midLine = false;
            return true;
        }
        if (in.pos == 0 && in.end == in.bytes.size()) {
            // A line longer than the buffer: hand on what there is. A CR at the end is kept
            // back, since it may be the first byte of the line end.
            size_t length = n;
            if (start[length - 1] == '\r')
                --length;
            piece = {start, length, !r.midLine, false};
            in.pos += length;
            r.midLine = true;
            return true;
        }
        fillBuffer(in);
    }
}

bool endCurrentMessage(UnloadReader &r) {
    if (!r.inMessage)
        return true;
    r.inMessage = false;
    if (!r.begun && !beginMessage(*r.w, r.hasDescriptor ? &r.md : nullptr))
        return failWriter(r);
    r.begun = false;
    if (!endMessage(*r.w))
        return failWriter(r);
    return true;
}

bool startMessage(UnloadReader &r, bool withDescriptor) {
    if (!endCurrentMessage(r))
        return false;
    r.inMessage = true;
    r.begun = false;
    r.sawData = false;
    r.hasDescriptor = withDescriptor;
    if (withDescriptor)
        r.md = defaultDescriptor();
    return true;
}

bool startData(UnloadReader &r) {
    if (!r.inMessage)
        return fail(r, "data line before any message (no A or N line yet)");
    r.sawData = true;
    if (!r.begun) {
        if (!beginMessage(*r.w, r.hasDescriptor ? &r.md : nullptr))
            return failWriter(r);
        r.begun = true;
    }
    return true;
}

// Decodes hexadecimal digits into the body until the first byte that is not one.
bool readHex(UnloadReader &r, const unsigned char *p, const unsigned char *e) {
    if (r.hexStopped)
        return true;
    MessageWriter &w = *r.w;
    if (r.highNibble >= 0 && p < e) {
        int v = kHex.value[*p];
        if (v < 0) {
            r.hexStopped = true;
            return true;
        }
        if (!appendByte(w, static_cast<unsigned char>(r.highNibble << 4 | v)))
            return failWriter(r);
        r.highNibble = -1;
        ++p;
    }
    constexpr size_t kPairsAtOnce = 4096;
    while (e - p >= 2) {
        // At most half the writer's buffer at once: the writer then holds at least two body
        // bytes before its first write, which decides on a descriptor for a body "MD...".
        size_t pairs = static_cast<size_t>(e - p) / 2;
        if (pairs > kPairsAtOnce)
            pairs = kPairsAtOnce;
        if (pairs > w.pending.size() / 2)
            pairs = w.pending.size() / 2;
        bool ok = true;
        unsigned char *out = bodySpace(w, pairs, ok);
        if (!ok)
            return failWriter(r);
        size_t i = 0;
        for (; i < pairs; ++i) {
            int hi = kHex.value[p[0]];
            int lo = kHex.value[p[1]];
            if ((hi | lo) < 0)
                break;
            out[i] = static_cast<unsigned char>(hi << 4 | lo);
            p += 2;
        }
        commitBody(w, i);
        if (i < pairs) {
            if (kHex.value[p[0]] >= 0)
                r.highNibble = kHex.value[p[0]];
            r.hexStopped = true;
            return true;
        }
    }
    if (p < e) {
        int v = kHex.value[*p];
        if (v < 0)
            r.hexStopped = true;
        else
            r.highNibble = v;
    }
    return true;
}

// S "...": the bytes up to the closing quote; ~" stands for " and ~~ for ~.
bool readQuoted(UnloadReader &r, const unsigned char *p, const unsigned char *e) {
    MessageWriter &w = *r.w;
    for (; p < e; ++p) {
        unsigned char c = *p;
        if (r.closed) {
            if (!isBlank(c))
                r.afterClose = true;
            continue;
        }
        if (r.tilde) {
            r.tilde = false;
            if (c == '"' || c == '~') {
                if (!appendByte(w, c))
                    return failWriter(r);
                continue;
            }
            if (!appendByte(w, '~')) // no other escape: the ~ is itself
                return failWriter(r);
        }
        if (c == '~')
            r.tilde = true;
        else if (c == '"')
            r.closed = true;
        else if (!appendByte(w, c))
            return failWriter(r);
    }
    return true;
}

// S without quotes: the text as it is, without its trailing blanks.
bool readPlain(UnloadReader &r, const unsigned char *p, const unsigned char *e) {
    MessageWriter &w = *r.w;
    for (; p < e; ++p) {
        if (*p == ' ') {
            ++r.blanks;
            continue;
        }
        for (; r.blanks > 0; --r.blanks)
            if (!appendByte(w, ' '))
                return failWriter(r);
        if (!appendByte(w, *p))
            return failWriter(r);
    }
    return true;
}

bool keepAttributeBytes(UnloadReader &r, const unsigned char *p, size_t n) {
    size_t room = kAttributeLineMax - r.attributeLength;
    size_t take = n < room ? n : room;
    std::memcpy(r.attribute + r.attributeLength, p, take);
    r.attributeLength += take;
    for (size_t i = take; i < n; ++i)
        if (p[i] != ' ')
            r.attributeCut = true;
    return true;
}

// The first piece of a line decides what kind of line it is.
bool startLine(UnloadReader &r, const unsigned char *p, size_t n, size_t &from) {
    from = n;
    r.kind = LineKind::Skip;
    if (n == 0 || p[0] == '*')
        return true;
    unsigned char c = p[0];
    if (isBlank(c)) {
        r.kind = LineKind::BlankLine; // empty, unless more than blanks follow
        from = 0;
        return true;
    }
    if (c == 'N')
        return startMessage(r, false);
    bool known = c == 'A' || c == 'X' || c == 'S' || c == 'T';
    if (!known || (n > 1 && p[1] != ' ')) {
        char text[96];
        if (c >= 0x21 && c < 0x7f)
            std::snprintf(text, sizeof text,
                          "unrecognised line beginning \"%c\" (expected *, A, N, X, S or T)", c);
        else
            std::snprintf(text, sizeof text,
                          "unrecognised line beginning with byte 0x%02X (expected *, A, N, X, S "
                          "or T)",
                          c);
        return fail(r, text);
    }
    if (c == 'A') {
        if (!r.inMessage || r.sawData || !r.hasDescriptor) {
            if (!startMessage(r, true))
                return false;
        }
        r.kind = LineKind::Attribute;
        r.attributeLength = 0;
        r.attributeCut = false;
        from = 0;
        return true;
    }
    if (!startData(r))
        return false;
    from = n < 2 ? n : 2;
    if (c == 'X') {
        r.kind = LineKind::Hex;
        r.highNibble = -1;
        r.hexStopped = false;
    } else if (c == 'T') {
        r.kind = LineKind::TextLine;
    } else if (n > 2 && p[2] == '"') {
        r.kind = LineKind::QuotedText;
        r.tilde = r.closed = r.afterClose = false;
        from = 3;
    } else {
        r.kind = LineKind::PlainText;
        r.blanks = 0;
    }
    return true;
}

bool readPiece(UnloadReader &r, const unsigned char *p, const unsigned char *e) {
    switch (r.kind) {
    case LineKind::Skip:
        return true;
    case LineKind::BlankLine:
        for (; p < e; ++p)
            if (!isBlank(*p))
                return fail(r, "line begins with a blank but is not empty");
        return true;
    case LineKind::Attribute:
        return keepAttributeBytes(r, p, static_cast<size_t>(e - p));
    case LineKind::Hex:
        return readHex(r, p, e);
    case LineKind::QuotedText:
        return readQuoted(r, p, e);
    case LineKind::PlainText:
        return readPlain(r, p, e);
    case LineKind::TextLine:
        return appendBody(*r.w, p, static_cast<size_t>(e - p)) || failWriter(r);
    }
    return true;
}

bool endLine(UnloadReader &r) {
    switch (r.kind) {
    case LineKind::Skip:
    case LineKind::BlankLine:
    case LineKind::PlainText: // held-back blanks are trailing blanks: dropped
        return true;
    case LineKind::Attribute: {
        std::string reason;
        if (!applyAttributeLine(r.md, r.attribute, r.attributeLength, r.attributeCut, reason))
            return fail(r, reason);
        return true;
    }
    case LineKind::Hex:
        if (r.highNibble >= 0)
            return fail(r, "odd number of hex digits");
        return true;
    case LineKind::QuotedText:
        if (!r.closed)
            return fail(r, "truncated S line: no closing quote");
        if (r.afterClose)
            return fail(r, "text after the closing quote of an S line");
        return true;
    case LineKind::TextLine:
        return appendByte(*r.w, '\n') || failWriter(r);
    }
    return true;
}

} // namespace

bool looksLikeUnload(InputBuffer &in) {
    // The decision depends on the first bytes only, never on how the buffer was filled.
    constexpr size_t kHeaderLength = 10; // "* DMPMQMSG"
    while (!in.eof && available(in) < 3 + kKindWindow + kHeaderLength)
        fillBuffer(in);
    if (available(in) >= 3 && std::memcmp(in.bytes.data() + in.pos, "\xEF\xBB\xBF", 3) == 0)
        in.pos += 3; // a byte-order mark in front of the text
    const unsigned char *start = in.bytes.data() + in.pos;
    const unsigned char *end = in.bytes.data() + in.end;
    const unsigned char *p = start;
    while (p < end && p - start < static_cast<std::ptrdiff_t>(kKindWindow) &&
           (isBlank(*p) || *p == '\r' || *p == '\n'))
        ++p;
    if (p > start && p[-1] != '\n')
        return false; // the header comment begins a line
    auto startsWith = [&](const char *text) {
        size_t n = std::strlen(text);
        return static_cast<size_t>(end - p) >= n && std::memcmp(p, text, n) == 0;
    };
    return startsWith("* QLOAD") || startsWith("* DMPMQMSG");
}

bool importUnload(InputBuffer &in, MessageWriter &w, ImportProblem &problem) {
    UnloadReader r;
    r.in = &in;
    r.w = &w;
    r.problem = &problem;
    LinePiece piece;
    while (nextPiece(r, piece)) {
        size_t from = 0;
        if (piece.first) {
            ++r.line;
            if (!startLine(r, piece.data, piece.length, from))
                return false;
        }
        if (!readPiece(r, piece.data + from, piece.data + piece.length))
            return false;
        if (piece.last && !endLine(r))
            return false;
    }
    if (in.interrupted)
        return fail(r, "interrupted", false);
    if (in.readError)
        return fail(r, "read error", false);
    return endCurrentMessage(r);
}

} // namespace qpeek::import
