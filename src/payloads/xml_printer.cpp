// Generic XML pretty-printer: one scan over the bytes, tags recognised by "<" and ">",
// a nesting depth for the indentation.
#include "payloads/xml_printer.h"

#include <cstring>

#include "payloads/xml_scan.h"

namespace qpeek {

namespace {

// Indentation is two blanks per level, whatever the sign of the depth. It is bounded so
// that a text of nothing but opening tags cannot make the output grow with the square of
// its length; no real document comes near this depth.
constexpr int64_t kMaxIndentLevels = 512;

// The printer's writes into the sink: single bytes, text without its line breaks, blanks.
struct XmlOutput {
    OutputSink &out;

    void put(char c) { writeChar(out, c); }
    // The bytes without their line feeds and carriage returns.
    void putText(const unsigned char *bytes, size_t n) {
        while (n > 0) {
            size_t k = n < kOutputSlack ? n : kOutputSlack;
            char *to = reportSpace(out, k);
            if (std::memchr(bytes, '\n', k) || std::memchr(bytes, '\r', k)) {
                size_t used = 0;
                for (size_t j = 0; j < k; ++j) {
                    unsigned char c = bytes[j];
                    to[used] = static_cast<char>(c);
                    used += (c != '\n' && c != '\r') ? 1 : 0;
                }
                out.used += used;
            } else {
                std::memcpy(to, bytes, k);
                out.used += k;
            }
            bytes += k;
            n -= k;
        }
    }
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
    for (int64_t i = 0; i < text.length; ++i) {
        // Runs of bytes that are neither a "<" nor, in a tag, its ">" are only taken into
        // the capture and copied: the byte-by-byte steps below are for the others.
        size_t run = scan.plainRun(text.data + i, static_cast<size_t>(text.length - i));
        scan.takeRun(text.data + i, run);
        output.putText(text.data + i, run);
        i += static_cast<int64_t>(run);
        if (i == text.length)
            break;
        unsigned char byte = text.data[i];
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

} // namespace qpeek
