// MQRFH report: the name/value data of version 2 blocks and of other versions' strings,
// and the bounds of the block walk.
#include <gtest/gtest.h>

#include "capture.h"
#include "mqheaders/rfh_report.h"
#include "report/field_lines.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::DetailFlagGuard;
using qpeek::test::Message;
using qpeek::test::pad;

namespace {

std::string i32(int32_t v) {
    std::string s(4, '\0');
    for (int k = 0; k < 4; ++k)
        s[k] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return s;
}

// The fixed part up to Flags; strucLength -1 means "the real length".
std::string fixedPart(int32_t version, int32_t strucLength) {
    return "RFH " + i32(version) + i32(strucLength) + i32(273) + i32(819) + "MQSTR   " + i32(0);
}

std::string rfhV1(const std::string &nameValues, int32_t strucLength = -1) {
    int32_t length = strucLength >= 0 ? strucLength : static_cast<int32_t>(32 + nameValues.size());
    return fixedPart(1, length) + nameValues;
}

// Blocks as (length field, data) pairs, so that lengths can lie.
std::string rfhV2(const std::vector<std::pair<int32_t, std::string>> &blocks,
                  int32_t strucLength = -1) {
    std::string data;
    for (const auto &b : blocks)
        data += i32(b.first) + b.second;
    int32_t length = strucLength >= 0 ? strucLength : static_cast<int32_t>(36 + data.size());
    return fixedPart(2, length) + i32(1208) + data;
}

// A field line: name at column 2 (0 for a heading line, an empty value), a blank at column
// 19 whatever the name's length, value at column 20, description from column 45.
std::string field(const std::string &name, const std::string &value,
                  const std::string &description) {
    std::string line = pad(value.empty() ? name : "  " + name, 45).substr(0, 45);
    line[19] = ' ';
    line.replace(20, value.size() < 25 ? value.size() : 25, value.substr(0, 25));
    return line + description + "\n";
}

std::string lengthLine(int32_t l) {
    return field("NameValueLength", std::to_string(l), " Length of NameValueData.") +
           field("NameValueData", " ", " Name/value data.");
}

// The report after its fixed lines (after "Flags", or after "NameValueCCSID" for version 2).
std::string nameValueReport(const std::string &message, int32_t viewLength = -1) {
    DetailFlagGuard flag(1);
    Message m(message);
    ByteView view = m.view();
    if (viewLength >= 0)
        view.length = viewLength;
    std::string all = capture([&](OutputSink &f) { writeRFH(f, view); });
    size_t at = all.find("\n  NameValueCCSID");
    if (at == std::string::npos)
        at = all.find("\n  Flags");
    if (at == std::string::npos)
        return "<no fixed lines>";
    return all.substr(all.find('\n', at + 1) + 1);
}

struct RfhCase {
    const char *what;
    std::string message;
    std::string expected;
};

TEST(WriteRFH, NothingWithoutTheDetailFlag) {
    Message m(rfhV1("OPT1 A") + "BODY");
    EXPECT_EQ("", capture([&](OutputSink &f) { writeRFH(f, m.view()); }));
}

TEST(WriteRFH, FixedFields) {
    DetailFlagGuard flag(1);
    Message m(rfhV1("A B"));
    std::string got = capture([&](OutputSink &f) { writeRFH(f, m.view()); });
    std::string expected =
        field("rfh", "", " Control record for the interface to the MQI subsys") +
        field("StructId", "RFH ", " Structure identifier") +
        field("Version", "1", " Structure version number") +
        field("StrucLength", "35", " Length of MQRFH structure and associated option data ") +
        field("Encoding", "0x0111", " Encoding of the data following the MQRFH") +
        field("CodedCharSetId", "0x00000333",
              " Character-set identifier of the data following the MQRFH") +
        field("Format", "MQSTR   ", " Format name of the data following the MQRFH") +
        field("Flags", "0x0000", " General flags") + field("A", "B", " NameValueData");
    EXPECT_EQ(expected, got);
}

TEST(WriteRFH, NameValueStrings) {
    const std::string big = std::string(40958, 'x') + " N2 V2";
    const RfhCase cases[] = {
        {"pairs", rfhV1("OPT1 A OPT2 B"),
         field("OPT1", "A", " NameValueData") + field("OPT2", "B", " NameValueData")},
        {"runs of blanks and an odd count", rfhV1("  OPT1   A  LAST  "),
         field("OPT1", "A", " NameValueData") + field("LAST", "", " NameValueData")},
        {"string ends at a zero byte", rfhV1(std::string("K V\0K2 V2", 9)),
         field("K", "V", " NameValueData")},
        {"StrucLength below 32 gives an empty string", rfhV1("K V", 20), ""},
        {"StrucLength beyond the body reads to the body's end", rfhV1("K V", 4000),
         field("K", "V", " NameValueData")},
        {"StrucLength beyond the text buffer: cut to the buffer", rfhV1(big),
         field(std::string(40958, 'x'), "", " NameValueData")},
        {"a version that is neither 1 nor 2", "RFH " + i32(3) + rfhV1("K V").substr(8),
         field("K", "V", " NameValueData")},
    };
    for (const RfhCase &c : cases)
        EXPECT_EQ(c.expected, nameValueReport(c.message)) << c.what;
}

TEST(WriteRFH, VersionTwoBlocks) {
    const RfhCase cases[] = {
        {"XML block pretty-printed", rfhV2({{12, "<ab>x</ab>  "}}),
         lengthLine(12) + "  <ab>x</ab>  \n"},
        {"other block between double quotes", rfhV2({{5, "a=b c"}}), lengthLine(5) + "\"a=b c\"\n"},
        {"block data ends at a zero byte", rfhV2({{6, std::string("<a\0b>c", 6)}}),
         lengthLine(6) + "  <a\n"},
        {"empty block", rfhV2({{0, ""}, {1, "z"}}),
         lengthLine(0) + "\"\"\n" + lengthLine(1) + "\"z\"\n"},
        {"negative length steps past its field only", rfhV2({{-5, ""}, {1, "z"}}),
         lengthLine(-5) + "\"\"\n" + lengthLine(1) + "\"z\"\n"},
        {"length past the header: data ends with the header", rfhV2({{400, "<u>v</u>"}}) + "BODY",
         lengthLine(400) + "  <u>v</u>\n"},
        {"StrucLength below 36: no blocks", rfhV2({{1, "z"}}, 30), ""},
        {"a length field cut by StrucLength is not read", rfhV2({{1, "z"}, {1, "y"}}, 43),
         lengthLine(1) + "\"z\"\n"},
        {"StrucLength beyond the body: blocks inside the body", rfhV2({{1, "z"}, {9, "abc"}}, 5000),
         lengthLine(1) + "\"z\"\n" + lengthLine(9) + "\"abc\"\n"},
    };
    for (const RfhCase &c : cases)
        EXPECT_EQ(c.expected, nameValueReport(c.message)) << c.what;
}

TEST(WriteRFH, WalkStaysInsideTheView) {
    // The body continues past the view with a block that must not be read.
    std::string message = rfhV2({{1, "z"}}, 1000) + i32(3) + "<q>";
    EXPECT_EQ(lengthLine(1) + "\"z\"\n", nameValueReport(message, 41));
}

} // namespace
