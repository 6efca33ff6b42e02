// XML order summary: root tag, key matching and element values.
#include <gtest/gtest.h>

#include "capture.h"
#include "summary/xml_order_summary.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

std::string summary(const std::string &body) {
    Message m(body);
    Mqmd md{};
    return capture([&](OutputSink &f) { writeXmlOrderSummary(f, md, m.view()); });
}

struct SummaryCase {
    const char *what;
    std::string body;
    std::string expected;
};

const std::string kDecl = "<?xml version='1.0'?>";

TEST(WriteXmlOrderSummary, Entries) {
    const SummaryCase cases[] = {
        {"order number and status",
         kDecl + "<Order><OrderNumberByMerchant>4711</OrderNumberByMerchant><Status>OK</Status></"
                 "Order>",
         "<Order> PO(4711) S(OK)"},
        {"items on lines of their own",
         "<O><ProductNumberByMerchant>M1</ProductNumberByMerchant><ItemProductQuantity>2"
         "</ItemProductQuantity><ProductNumberByMerchant>M2</ProductNumberByMerchant></O>",
         "<O>\n\tM(M1) Q(2)\n\tM(M2)"},
        {"back-end order on a line of its own",
         "<O><OrderNumberByBackend>45</OrderNumberByBackend><ItemNumberByBackend>10"
         "</ItemNumberByBackend><ItemUnitPrice>1.5</ItemUnitPrice><Quantity>3</Quantity></O>",
         "<O>\n\tO(45) I(10) P(1.5) Q(3)"},
        {"requisitioner with the logon type only",
         "<O><RequisitionerID type=\"logon\">u1</RequisitionerID>"
         "<RequisitionerID type=\"x\">u2</RequisitionerID><OrderNumberByNC>N</OrderNumberByNC></O>",
         "<O> C(u1) PO(N)"},
        {"root attributes kept", "<O a='1'><Status>S</Status></O>", "<O a='1'> S(S)"},
        {"empty content shows the closing tag", "<O><Status></Status><x/></O>", "<O> S(</Status>)"},
        {"blank content is empty", "<O><Status> </Status></O>", "<O> S()"},
        {"leading blanks skipped, tabs and line feeds kept",
         "<O><Status>  a b </Status><Quantity>\t\n1</Quantity></O>", "<O> S(a b ) Q(\t\n1)"},
        {"prefixed or longer names not matched",
         "<O><p:Status>1</p:Status><StatusCode>2</StatusCode><Status x='1'>3</Status></O>", "<O>"},
        {"comment before the first child stands in for the root",
         "<O><!-- c --><Status>S</Status></O>", "<!-- c --> S(S)"},
        {"root without children", kDecl + "<O>text</O>", ""},
        {"body ends inside a value", "<O><Status>S</Status><Status>T", "<O> S(S)"},
        {"empty body", "", ""},
        {"closing tags first drive the depth below zero", "</a></b><c><d><Status>x</Status>",
         " S(x)"},
    };
    for (const SummaryCase &c : cases)
        EXPECT_EQ(c.expected, summary(c.body)) << c.what;
}

TEST(WriteXmlOrderSummary, LongValuesAndTagsAreCut) {
    std::string value(3000, 'v');
    std::string got = summary("<O><Status>" + value + "</Status></O>");
    EXPECT_EQ("<O> S(" + std::string(1023, 'v') + ")", got);

    // A root tag longer than the capture shows its first 1023 bytes.
    std::string root = "R" + std::string(2000, ' ') + "a='1'";
    got = summary("<" + root + "><Status>x</Status></R>");
    EXPECT_EQ("<" + root.substr(0, 1023) + " S(x)", got);
}

struct ElementCase {
    const char *what;
    std::string content;
    std::string expected;
};

TEST(ElementText, CutAndTrim) {
    const ElementCase cases[] = {
        {"plain value", "4711</Status>", "4711"},
        {"empty element", "</Status><Next>", "</Status>"},
        {"several leading brackets", "<<a<b", "<<a"},
        {"leading blanks", "   v w </x>", "v w "},
        {"tab stays", "\tv</x>", "\tv"},
        {"value at the end of the body", "abc", "abc"},
        {"zero byte ends the copy", std::string("ab\0cd<", 6), "ab"},
        {"nothing", "", ""},
    };
    for (const ElementCase &c : cases) {
        Message m(c.content);
        char buffer[1024];
        EXPECT_EQ(c.expected, std::string(elementText(m.view(), buffer, sizeof buffer))) << c.what;
    }
}

TEST(StartsWith, WholePrefixOnly) {
    EXPECT_EQ(0, startsWith("Status>x", "Status>"));
    EXPECT_EQ(0, startsWith("abc", ""));
    EXPECT_NE(0, startsWith("Stat", "Status>"));
    EXPECT_NE(0, startsWith("StatusCode>", "Status>"));
}

} // namespace
