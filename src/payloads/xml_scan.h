// The XML tag scan shared by the XML pretty-printer and the XML order summary: a
// byte-by-byte scan without parsing. A "<" starts a tag; the bytes after it up to and
// including the first ">" form the tag capture; the nesting depth follows from the byte
// after "<" and from "/>" endings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/byte_view.h"

namespace qpeek {

struct XmlTagScan {
    // The capture keeps the first 1023 bytes of a tag and a terminating zero; the rest
    // of a longer tag (or of a "<" never followed by ">") is dropped.
    static constexpr size_t kCaptureSize = 1024;

    char capture[kCaptureSize] = {};
    size_t captured = 0;
    bool capturing = false;

    // Every byte met while capturing joins the capture (the ">" that ends it included).
    void take(unsigned char byte) {
        if (capturing && captured < kCaptureSize - 1) {
            capture[captured++] = static_cast<char>(byte);
            capture[captured] = 0;
        }
    }

    // take() for each of n bytes that are neither "<" nor ">".
    void takeRun(const unsigned char *bytes, size_t n) {
        if (!capturing)
            return;
        size_t room = kCaptureSize - 1 - captured;
        if (n > room)
            n = room;
        std::memcpy(capture + captured, bytes, n);
        captured += n;
        capture[captured] = 0;
    }

    // The length of the run of bytes from `bytes` (at most n) that the scan passes over
    // without a decision: up to the next "<", and while capturing also up to the next ">".
    size_t plainRun(const unsigned char *bytes, size_t n) const {
        if (!capturing) {
            const void *open = std::memchr(bytes, '<', n);
            return open ? static_cast<size_t>(static_cast<const unsigned char *>(open) - bytes) : n;
        }
        size_t k = 0;
        while (k < n && bytes[k] != '<' && bytes[k] != '>')
            ++k;
        return k;
    }

    // At a "<": the capture of the new tag begins with the next byte.
    void beginTag() {
        capturing = true;
        captured = 0;
        capture[0] = 0;
    }

    // At the byte `position` of the text, when it is a ">" that ends the capture: stops
    // capturing and lowers the depth for a "/>" ending. Returns true when it ended one.
    bool endTag(ByteView text, int64_t position, int64_t &depth) {
        if (!capturing || text.at(position) != '>')
            return false;
        capturing = false;
        if (text.at(position - 1) == '/')
            --depth;
        return true;
    }

    // The capture holds the previous tag until beginTag.
    bool empty() const { return capture[0] == 0; }
};

// Depth change at a "<", by the byte after it: a closing tag lowers the depth, comments,
// declarations and processing instructions leave it, every other tag raises it.
inline int tagDepthStep(unsigned char afterOpen) {
    if (afterOpen == '/')
        return -1;
    if (afterOpen == '!' || afterOpen == '?')
        return 0;
    return 1;
}

// The scan loop: walks the text once, handing the visitor
//   run(bytes, n)  the bytes from the scan position (n of them left): it passes over a run
//                  of them and returns its length. The run ends at the first "<" and, in a
//                  tag, at the first ">"; it may end earlier, at any byte;
//   opens(i)       each "<" (the capture still holds the tag before it);
//   other(i, byte) each byte after a run, "<" and ">" included;
//   closes(i)      each ">" that ends a tag (after the depth follows a "/>" ending).
template <class Visitor>
void scanXmlTags(ByteView text, XmlTagScan &scan, int64_t &depth, Visitor &visitor) {
    for (int64_t i = 0; i < text.length; ++i) {
        const unsigned char *from = text.data + i;
        size_t left = static_cast<size_t>(text.length - i);
        size_t run = visitor.run(from, left);
        scan.takeRun(from, run);
        if (run >= left)
            break;
        i += static_cast<int64_t>(run);
        unsigned char byte = text.data[i];
        scan.take(byte);
        if (byte == '<') {
            visitor.opens(i);
            scan.beginTag();
        }
        visitor.other(i, byte);
        if (scan.endTag(text, i, depth))
            visitor.closes(i);
    }
}

} // namespace qpeek
