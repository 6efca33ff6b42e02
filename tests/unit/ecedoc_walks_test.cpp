// The ECEDOC summary and detailed walks on small documents: exact lines and tags.
#include <gtest/gtest.h>

#include <string>

#include "capture.h"
#include "payloads/ecedoc_report.h"
#include "report/field_lines.h"
#include "summary/ecedoc_summary.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::DetailFlagGuard;
using qpeek::test::Message;
using qpeek::test::pad;

namespace {

std::string tagLine(const std::string &tag) {
    return pad(tag, 45) + "\n";
}
std::string field(const std::string &name, const std::string &value) {
    return pad(pad("  " + name, 35) + value, 50) + "\n";
}
std::string fixed(const std::string &value, size_t n) {
    return pad(value, n);
}

std::string summaryOf(const std::string &body) {
    Message m(body);
    Mqmd md{};
    return capture([&](OutputSink &f) { writeECEDOCSummary(f, md, m.view()); });
}
std::string detailOf(const std::string &body) {
    Message m(body);
    return capture([&](OutputSink &f) { writeECEDOCDetail(f, m.view()); });
}

const std::string kProlog = "<PROLOG>" + fixed("OS", 10) + "01" + fixed("", 10) + "</PROLOG>";

TEST(EcedocDetail, DatusrLinesAndTheStepAfterIt) {
    // FieldLength "12" and eight blanks: the line shows 12 and seven blanks (the tenth
    // character became a zero byte), FieldValue its first 12 characters, and the next tag
    // follows 30 bytes after the record's start.
    std::string body = "<ECEDOC><DATUSR>" + fixed("CHANNEL", 8) + fixed("12", 10) +
                       "LEFT-ALIGNED</DATUSR></ECEDOC>";
    std::string expected = tagLine("<ECEDOC>") + tagLine("<DATUSR>OS") +
                           field("FieldName", "CHANNEL") + pad("  FieldLength", 35) +
                           "12       \n" + field("FieldValue", "LEFT-ALIGNED") +
                           tagLine("</DATUSR>") + tagLine("</ECEDOC>");
    EXPECT_EQ(expected, detailOf(body));
}

TEST(EcedocDetail, DatusrLengthZeroOrLessPrintsTheNameAtColumnZero) {
    for (const char *length : {"", "LETTERS", "-7"}) {
        std::string body = "<DATUSR>" + fixed("EMPTY", 8) + fixed(length, 10) + "</DATUSR>";
        std::string expected = tagLine("<DATUSR>OS") + field("FieldName", "EMPTY") +
                               pad("  FieldLength", 35) + fixed(length, 9) + "\n" +
                               pad("FieldValue", 50) + "\n" + tagLine("</DATUSR>");
        EXPECT_EQ(expected, detailOf(body)) << length;
    }
}

TEST(EcedocDetail, BlankFieldsOnlyWithTheDetailFlag) {
    std::string body = "<ECEDOC>" + kProlog + "</ECEDOC>";
    std::string head = tagLine("<ECEDOC>") + tagLine("<PROLOG>") + field("NC_MsgType", "OS") +
                       field("NC_MsgVersion", "01");
    std::string tail = tagLine("</PROLOG>") + tagLine("</ECEDOC>");
    EXPECT_EQ(head + tail, detailOf(body));
    DetailFlagGuard flag(1);
    EXPECT_EQ(head + field("NC_RESERVED", "") + tail, detailOf(body));
}

TEST(EcedocDetail, HeaderRecordsOutsideOnStopAtTheRecord) {
    std::string record = "01" + fixed("shopper@example.com", 31) + fixed("Smith", 30);
    std::string body = "<ECEDOC>" + kProlog + "<HDR020>" + record;
    std::string expected = tagLine("<ECEDOC>") + tagLine("<PROLOG>") + field("NC_MsgType", "OS") +
                           field("NC_MsgVersion", "01") + tagLine("</PROLOG>") +
                           tagLine("<HDR020>") + "Unknown Tag (" + record.substr(0, 40) + ")\n";
    EXPECT_EQ(expected, detailOf(body));
}

TEST(EcedocSummary, TagsByDocumentType) {
    std::string pqHdr =
        "01" + fixed("PR1", 10) + fixed(" 25", 10) + fixed("  TENT-2P  ", 64) + fixed("MR1", 10);
    std::string osHdr =
        "01" + fixed("", 10) + std::string(199, ' ') + fixed("", 32) + std::string(24, ' ');
    std::string onItemBlank = "01" + fixed("002", 3) + std::string(20, ' ') + fixed("", 64) +
                              std::string(280, ' ') + fixed("3", 10) + std::string(1665, ' ');
    std::string onItem = "01" + fixed("001", 3) + std::string(20, ' ') + fixed("SKU-1", 64) +
                         std::string(280, ' ') + fixed("1", 10) + std::string(1665, ' ');
    std::string comment =
        "0123456789012345678901234567890123456789012345678 ABCDEFGHI  " + std::string(190, 'x');
    std::string otherItem = "01" + fixed("0000412873", 10) + fixed("SO-1", 30) +
                            std::string(40, ' ') + fixed("SHIPPED", 32) + std::string(124, ' ') +
                            comment.substr(0, 250);
    ASSERT_EQ(2044u, onItem.size());
    ASSERT_EQ(488u, otherItem.size());
    ASSERT_EQ(267u, osHdr.size());
    const struct {
        const char *what;
        std::string body;
        std::string expected;
    } cases[] = {
        {"PQ keys trimmed", "<ECEDOC><PROLOG>PQ" + std::string(20, ' ') + "<HDR010>" + pqHdr,
         "Type(PQ) M(TENT-2P) Q(25) "},
        {"OS: no PO when blank, S always", "<PROLOG>OS" + std::string(20, ' ') + "<HDR010>" + osHdr,
         "Type(OS) S() "},
        {"ON item without product continues the line",
         "<PROLOG>ON" + std::string(20, ' ') + "<ITM010>" + onItem + "<ITM010>" + onItemBlank,
         "Type(ON) \n\tM(SKU-1) Q(1) Q(3) "},
        {"other items: comment cut at 60 and trimmed",
         "<PROLOG>NC" + std::string(20, ' ') + "<ITM010>" + otherItem,
         "Type(NC) \n\tD(0123456789012345678901234567890123456789012345678 ABCDEFGHI) "
         "O(SO-1) IS(SHIPPED) "},
        {"prolog type shown untrimmed", "<PROLOG> x" + std::string(20, ' '), "Type( x) "},
        {"line feed between tags", "<ECEDOC>\n<PROLOG>", "Unknown Tag (\n<PROLOG>)\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.expected, summaryOf(c.body)) << c.what;
}

} // namespace
