// XML order summary entry: the tag scan of the pretty-printer without its output, writing
// the root tag and the content of the order elements named in the key table.
#include "summary/xml_order_summary.h"

#include <cstring>

#include "payloads/xml_scan.h"

namespace qpeek {

namespace {

// An order element: its start tag as written (from the byte after "<" through ">"), the
// text that goes before its summary tag and the tag's key letters. The product number
// and the back-end order number begin a new, tab-indented line of the entry.
struct OrderKey {
    const char *startTag;
    const char *lead;
    const char *code;
};

constexpr OrderKey kOrderKeys[] = {
    {"OrderNumberByMerchant>", " ", "PO"},
    {"OrderNumberByNC>", " ", "PO"},
    {"RequisitionerID type=\"logon\">", " ", "C"},
    {"ProductNumberByMerchant>", "\n\t", "M"},
    {"ItemProductQuantity>", " ", "Q"},
    {"OrderNumberByBackend>", "\n\t", "O"},
    {"Status>", " ", "S"},
    {"ItemNumberByBackend>", " ", "I"},
    {"ItemUnitPrice>", " ", "P"},
    {"Quantity>", " ", "Q"},
};

constexpr size_t kValueSize = 1024;

// The root element's start tag is written when the first child element opens.
constexpr int64_t kFirstChildDepth = 2;

// The tag "%s%s(%s)" with the key's lead and letters and the value, in one write.
void writeOrderTag(OutputSink &out, const OrderKey &key, const char *value) {
    char tag[kValueSize + 16];
    size_t used = 0;
    auto append = [&](const char *text) {
        size_t n = strnlen(text, sizeof tag - 1 - used);
        std::memcpy(tag + used, text, n);
        used += n;
    };
    append(key.lead);
    append(key.code);
    append("(");
    append(value);
    append(")");
    writeBytes(out, tag, used);
}

} // namespace

int startsWith(const char *text, const char *prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix));
}

const char *elementText(ByteView valueStart, char *buffer, size_t size) {
    if (size == 0)
        return "";
    int64_t n = valueStart.textLength(0, static_cast<int64_t>(size - 1));
    valueStart.copyOut(0, n, buffer, size - 1);
    buffer[n] = 0;
    // The value ends at the first "<" after any leading "<": an empty element's own
    // closing tag stands in for its value.
    char *p = buffer;
    while (*p == '<')
        ++p;
    if (char *cut = std::strchr(p, '<'))
        *cut = 0;
    p = buffer;
    while (*p == ' ')
        ++p;
    return p;
}

namespace {

// What the summary does at each step of the tag scan: it writes nothing at a run.
struct OrderSummaryScan {
    OutputSink &out;
    ByteView body;
    const XmlTagScan &scan;
    int64_t &depth;
    bool rootShown = false;
    int64_t valueStart = -1; // none before the first ">" that ends a tag

    size_t run(const unsigned char *bytes, size_t n) { return scan.plainRun(bytes, n); }
    void opens(int64_t i) {
        depth += tagDepthStep(body.at(i + 1));
        // The capture still holds the tag met before this one: at the first child, that
        // is the root element's start tag.
        if (depth == kFirstChildDepth && !rootShown) {
            writeFormatted(out, "<%s", scan.capture);
            rootShown = true;
        }
        for (const OrderKey &key : kOrderKeys) {
            // The first character settles most keys without a comparison call.
            if (scan.capture[0] == key.startTag[0] && startsWith(scan.capture, key.startTag) == 0) {
                ByteView content = valueStart >= 0 ? body.from(valueStart) : ByteView{};
                char value[kValueSize];
                writeOrderTag(out, key, elementText(content, value, sizeof value));
                break;
            }
        }
    }
    void other(int64_t, unsigned char) {}
    void closes(int64_t i) { valueStart = i + 1; }
};

} // namespace

void writeXmlOrderSummary(OutputSink &out, const Mqmd &md, ByteView body) {
    (void)md;
    XmlTagScan scan;
    int64_t depth = 0;
    OrderSummaryScan summary{out, body, scan, depth};
    scanXmlTags(body, scan, depth, summary);
}

} // namespace qpeek
