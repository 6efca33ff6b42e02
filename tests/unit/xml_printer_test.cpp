// XML pretty-printer: line breaks, indentation and the first-word rule, on whole texts.
#include <gtest/gtest.h>

#include "capture.h"
#include "payloads/xml_printer.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

std::string pretty(const std::string &text) {
    Message m(text);
    return capture([&](OutputSink &f) { writeXml(f, m.view()); });
}

struct XmlCase {
    const char *what;
    std::string text;
    std::string expected;
};

TEST(WriteXml, LinesAndIndentation) {
    const std::string longName(1500, 'n');
    const std::string hugeName(5000, 'h'); // longer than the room the printer takes at once
    std::string longText, longTextShown;
    for (int i = 0; i < 3000; ++i) {
        longText += i % 7 ? "abc" : "ab\r\n";
        longTextShown += "ab";
        longTextShown += i % 7 ? "c" : "";
    }
    const XmlCase cases[] = {
        {"empty text", "", "  \n"},
        {"plain text without tags", "abc", "  abc\n"},
        {"empty element stays on one line", "<a></a>", "  <a></a>\n"},
        {"text element stays on one line", "<a>x</a>", "  <a>x</a>\n"},
        {"nested element", "<a><b>x</b></a>", "  <a>\n    <b>x</b>\n  </a>\n"},
        {"line ends dropped, blanks and tabs kept", "<a>\r\n\t<b>x\ny</b>\n</a>\r\n",
         "  <a>\t\n    <b>xy</b>\n  </a>\n"},
        {"comment keeps the depth", "<a><b/><!-- c --><b/></a>",
         "  <a>\n    <b/>\n    <!-- c -->\n    <b/>\n  </a>\n"},
        {"declaration first", "<?xml version='1.0'?><a/>", "  <?xml version='1.0'?>\n  <a/>\n"},
        {"closing tag with a longer name after an attribute tag", "<r><item id='7'></itemList></r>",
         "  <r>\n    <item id='7'></itemList>\n  </r>\n"},
        {"closing tag with a longer name after a plain tag", "<r><item></itemList></r>",
         "  <r>\n    <item>\n    </itemList>\n  </r>\n"},
        {"opening tag that shares the word", "<r><item><xitem>v</xitem></item></r>",
         "  <r>\n    <item><xitem>v</xitem>\n    </item>\n  </r>\n"},
        {"negative depth", "<a></a></b></c></d>", "  <a></a>\n</b>\n  </c>\n    </d>\n"},
        {"greater-than outside a tag", "<a>1 > 0</a>", "  <a>1 > 0</a>\n"},
        {"self-closing tag lowers the depth", "<a><b/><c>x</c></a>",
         "  <a>\n    <b/>\n    <c>x</c>\n  </a>\n"},
        {"lone open bracket at the end", "<a>x</a><", "  <a>x</a>\n  <\n"},
        {"open bracket one before the end", "<a>x</a><b", "  <a>x</a>\n  <b\n"},
        {"tag never closed", "<a <b", "  <a \n    <b\n"},
        {"blank right after the open bracket", "<a>< b>", "  <a>\n    < b>\n"},
        // Only the first 1023 bytes of a tag are kept; its word still matches a closing
        // tag that repeats the long name.
        {"long tag name", "<" + longName + "></" + longName + "><z/>",
         "  <" + longName + "></" + longName + ">\n  <z/>\n"},
        {"very long tag name", "<r><" + hugeName + " a='1'></" + hugeName + "><z/></r>",
         "  <r>\n    <" + hugeName + " a='1'></" + hugeName + ">\n    <z/>\n  </r>\n"},
        {"long text with line ends", "<a>" + longText + "</a>", "  <a>" + longTextShown + "</a>\n"},
    };
    for (const XmlCase &c : cases)
        EXPECT_EQ(c.expected, pretty(c.text)) << c.what;
}

TEST(WriteXml, TextEndsAtTheViewNotAtTheBuffer) {
    // The bytes after the view continue the tag name: they must not count as matching.
    std::string buffer = "<a>x</a><item";
    Message m(buffer);
    ByteView view = m.view();
    view.length = 9; // "<a>x</a><"
    std::string got = capture([&](OutputSink &f) { writeXml(f, view); });
    EXPECT_EQ("  <a>x</a>\n  <\n", got);
}

TEST(WriteXml, IndentationIsBoundedForDeepNesting) {
    std::string text;
    for (int i = 0; i < 600; ++i)
        text += "<a>";
    std::string got = pretty(text);
    std::string lastLine = got.substr(got.rfind('\n', got.size() - 2) + 1);
    EXPECT_EQ(std::string(1024, ' ') + "<a>\n", lastLine);
    // The line at depth 100 still has its full 200 blanks.
    EXPECT_NE(std::string::npos, got.find("\n" + std::string(200, ' ') + "<a>\n"));
}

TEST(WordLength, CountsUpToTheFirstBlank) {
    EXPECT_EQ(5u, wordLength("item>"));
    EXPECT_EQ(4u, wordLength("item id='7'>"));
    EXPECT_EQ(0u, wordLength(" x"));
    EXPECT_EQ(0u, wordLength(""));
    EXPECT_EQ(3u, wordLength("a\tb c")); // only 0x20 ends the word
}

} // namespace
