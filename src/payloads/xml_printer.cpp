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

void writeXml(OutputSink &out, ByteView text) {
    XmlOutput output{out};
    XmlTagScan scan;
    int64_t depth = 1;
    bool firstTag = true;

    output.indent(depth);
    const unsigned char *data = text.data;
    for (int64_t i = 0; i < text.length; ++i) {
        // Runs of bytes that are no "<", ">", line feed or carriage return are copied to the
        // report as they are scanned (and taken into the capture while capturing): the
        // byte-by-byte steps below are for the others.
        size_t left = static_cast<size_t>(text.length - i);
        size_t room = left < kOutputSlack ? left : kOutputSlack;
        char *to = reportSpace(out, room);
        const unsigned char *from = data + i;
        size_t run = 0;
        while (run < room && !kXmlStops.stop[from[run]]) {
            to[run] = static_cast<char>(from[run]);
            ++run;
        }
        out.used += run;
        scan.takeRun(from, run);
        i += static_cast<int64_t>(run);
        if (run == room) {
            --i; // the room is used up (or the text): the next pass goes on from here
            continue;
        }
        unsigned char byte = data[i];
        scan.take(byte);
        if (byte == '<') {
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
            scan.beginTag();
        }
        if (byte != '\n' && byte != '\r')
            output.put(static_cast<char>(byte));
        scan.endTag(text, i, depth);
    }
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
