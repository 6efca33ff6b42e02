// Control bytes of names written escaped, so that every printed name is one line.
#include "report/printable_name.h"

#include <cstring>

#include "platform/platform.h"

namespace qpeek {

namespace {

bool isControlByte(unsigned char c) {
    return c < 0x20 || c == 0x7f;
}

// The escape of one control byte: "\n", "\t", "\r", else "\x" and two hex digits. Returns
// its length.
size_t escapeControlByte(unsigned char c, char *escape) {
    static const char kHex[] = "0123456789abcdef";
    escape[0] = '\\';
    switch (c) {
    case '\n':
        escape[1] = 'n';
        return 2;
    case '\t':
        escape[1] = 't';
        return 2;
    case '\r':
        escape[1] = 'r';
        return 2;
    default:
        escape[1] = 'x';
        escape[2] = kHex[c >> 4];
        escape[3] = kHex[c & 0xf];
        return 4;
    }
}

// The length of the run of bytes from name on that need no escape.
size_t plainRun(const char *name) {
    if (!platform::kNamesMayHoldControlBytes)
        return std::strlen(name);
    const char *p = name;
    while (*p && !isControlByte(static_cast<unsigned char>(*p)))
        ++p;
    return static_cast<size_t>(p - name);
}

} // namespace

void appendPrintableName(std::string &text, const char *name) {
    char escape[4];
    for (;;) {
        size_t run = plainRun(name);
        text.append(name, run);
        name += run;
        if (*name == 0)
            return;
        text.append(escape, escapeControlByte(static_cast<unsigned char>(*name++), escape));
    }
}

void writeNameLine(OutputSink &out, const char *first, const char *name) {
    writeStandardOutput(out, first, std::strlen(first));
    char escape[4];
    for (;;) {
        size_t run = plainRun(name);
        writeStandardOutput(out, name, run);
        name += run;
        if (*name == 0)
            break;
        writeStandardOutput(out, escape,
                            escapeControlByte(static_cast<unsigned char>(*name++), escape));
    }
    writeStandardOutput(out, "\n", 1);
}

} // namespace qpeek
