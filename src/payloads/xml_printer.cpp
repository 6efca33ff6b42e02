// Generic XML pretty-printer: one scan over the bytes, tags recognised by "<" and ">",
// a nesting depth for the indentation.
#include "payloads/xml_printer.h"

#include <cstring>

#include "payloads/xml_scan.h"
#include "report/json_output.h"

namespace qpeek {

namespace {

// Indentation is two blanks per level, whatever the sign of the depth. It is bounded so
// that a text of nothing but opening tags cannot make the output grow with the square of
// its length; no real document comes near this depth.
constexpr int64_t kMaxIndentLevels = 512;

// The printer's writes into the sink: single bytes and blanks.
struct XmlOutput {
    OutputSink &out;

    void put(char c) { writeChar(out, c); }
    void blanks(int64_t count) {
        while (count > 0) {
            size_t n = count < static_cast<int64_t>(kOutputSlack) ? static_cast<size_t>(count)
                                                                  : kOutputSlack;
            std::memset(reportSpace(out, n), ' ', n);
            out.used += n;
            count -= static_cast<int64_t>(n);
        }
    }
    void indent(int64_t depth) {
        int64_t levels = depth < 0 ? -depth : depth;
        blanks(2 * (levels < kMaxIndentLevels ? levels : kMaxIndentLevels));
    }
    void newLine(int64_t depth) {
        put('\n');
        indent(depth);
    }
};

// The bytes that end a run of plain text: "<" and ">" (tags), line feed and carriage return
// (not written).
struct XmlStopTable {
    bool stop[256] = {};
    constexpr XmlStopTable() {
        stop[static_cast<unsigned char>('<')] = true;
        stop[static_cast<unsigned char>('>')] = true;
        stop[static_cast<unsigned char>('\n')] = true;
        stop[static_cast<unsigned char>('\r')] = true;
    }
};
constexpr XmlStopTable kXmlStops;

// True when the text from the offset begins with the first `length` characters of the
// word. Bytes past the end of the text read as zero and never match.
bool textBeginsWith(ByteView text, int64_t offset, const char *word, size_t length) {
    for (size_t k = 0; k < length; ++k)
        if (text.at(offset + static_cast<int64_t>(k)) != static_cast<unsigned char>(word[k]))
            return false;
    return true;
}

} // namespace

size_t wordLength(const char *text) {
    size_t n = 0;
    while (text[n] != 0 && text[n] != ' ')
        ++n;
    return n;
}

namespace {

// What the printer does at each step of the tag scan: runs of bytes that are no "<", ">",
// line feed or carriage return are copied to the report as they are scanned, the others
// are written one at a time (line feeds and carriage returns not at all).
struct XmlPrintScan {
    XmlOutput &output;
    ByteView text;
    const XmlTagScan &scan;
    int64_t &depth;
    bool firstTag = true;

    // At most the room the sink makes in one piece: a run cut there goes on after the byte
    // that the scan then takes on its own.
    size_t run(const unsigned char *from, size_t left) {
        size_t room = left < kOutputSlack ? left : kOutputSlack;
        char *to = reportSpace(output.out, room);
        size_t n = 0;
        while (n < room && !kXmlStops.stop[from[n]]) {
            to[n] = static_cast<char>(from[n]);
            ++n;
        }
        output.out.used += n;
        return n;
    }
    void opens(int64_t i) {
        // A tag stays on the current line when the text two bytes after its "<"
        // begins with the previous tag's first word (so </item> and </itemList>
        // after <item id='7'>), and the very first tag stays after the indentation.
        bool startsLine = true;
        if (firstTag || (!scan.empty() &&
                         textBeginsWith(text, i + 2, scan.capture, wordLength(scan.capture)))) {
            startsLine = false;
            firstTag = false;
        }
        int step = tagDepthStep(text.at(i + 1));
        if (step < 0)
            depth += step;
        if (startsLine)
            output.newLine(depth);
        if (step > 0)
            depth += step;
    }
    void other(int64_t, unsigned char byte) {
        if (byte != '\n' && byte != '\r')
            output.put(static_cast<char>(byte));
    }
    void closes(int64_t) {}
};

} // namespace

void writeXml(OutputSink &out, ByteView text) {
    XmlOutput output{out};
    XmlTagScan scan;
    int64_t depth = 1;
    output.indent(depth);
    XmlPrintScan printer{output, text, scan, depth};
    scanXmlTags(text, scan, depth, printer);
    output.put('\n');
}

void writeXmlJson(OutputSink &out, ByteView text) {
    int64_t length = text.textLength(0, text.length);
    // The first "<" that opens an element (not a declaration, comment or closing tag).
    int64_t start = -1;
    for (int64_t i = 0; i + 1 < length && start < 0; ++i) {
        unsigned char next = text.at(i + 1);
        if (text.at(i) == '<' && next != '?' && next != '!' && next != '/')
            start = i + 1;
    }
    int64_t end = start < 0 ? 0 : start;
    while (start >= 0 && end < length && !std::strchr(" \t\r\n/>", text.at(end)))
        ++end;
    jsonText(out, "root", text.from(start < 0 ? 0 : start), end - (start < 0 ? 0 : start));
    jsonText(out, "text", text, length);
}

} // namespace qpeek
