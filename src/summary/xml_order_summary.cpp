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

void writeXmlOrderSummary(FILE *out, const Mqmd &md, ByteView body) {
    (void)md;
    XmlTagScan scan;
    int64_t depth = 0;
    bool rootShown = false;
    int64_t valueStart = -1; // none before the first ">" that ends a tag
    char value[kValueSize];

    for (int64_t i = 0; i < body.length; ++i) {
        unsigned char byte = body.data[i];
        scan.take(byte);
        if (byte == '<') {
            depth += tagDepthStep(body.at(i + 1));
            // The capture still holds the tag met before this one: at the first child,
            // that is the root element's start tag.
            if (depth == kFirstChildDepth && !rootShown) {
                std::fprintf(out, "<%s", scan.capture);
                rootShown = true;
            }
            for (const OrderKey &key : kOrderKeys) {
                if (startsWith(scan.capture, key.startTag) == 0) {
                    ByteView content = valueStart >= 0 ? body.from(valueStart) : ByteView{};
                    std::fprintf(out, "%s%s(%s)", key.lead, key.code,
                                 elementText(content, value, sizeof value));
                    break;
                }
            }
            scan.beginTag();
        }
        if (scan.endTag(body, i, depth))
            valueStart = i + 1;
    }
}

} // namespace qpeek
