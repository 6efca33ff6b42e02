// Point-of-sale log: field decoders, the bounded text search, record framing.
#include <gtest/gtest.h>

#include <cstring>

#include "capture.h"
#include "payloads/pos_log.h"
#include "report/field_lines.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::DetailFlagGuard;
using qpeek::test::Message;
using qpeek::test::pad;
using namespace std::string_literals;

namespace {

enum Decoder { Packed, Hex, HexFixed };

struct DecodeCase {
    const char *what;
    Decoder decoder;
    std::string bytes;
    int32_t maxLength;
    const char *value;
    int64_t next;
};

TEST(PosDecoders, DigitsAndFieldEnds) {
    const DecodeCase cases[] = {
        {"packed digits", Packed, "\x12\x34", 2, "1234", 2},
        {"packed closing colon consumed", Packed, "\x12\x34:\x56", 2, "1234", 3},
        {"packed stops early at colon", Packed, "\x12:\x34", 4, "12", 2},
        {"packed empty field is a blank", Packed, ":\x12", 4, " ", 1},
        {"packed F nibble cleared in the first byte only", Packed, "\xf5\xf5", 2, "05155", 2},
        {"packed nibbles above 9", Packed, "\x1c\xab", 2, "22111", 2},
        {"packed largest byte after the first", Packed, "\x01\xff\x99", 3, "0116599", 3},
        {"hex largest byte", Hex, "\x10\xff", 2, "10ff", 2},
        {"packed reads zeros past the view", Packed, "\x12", 3, "120000", 3},
        {"hex digits", Hex, "\xab\x01", 2, "ab01", 2},
        {"hex stops at colon", Hex, "\x15\x20:\x00", 11, "1520", 3},
        {"hex empty field", Hex, ":", 1, " ", 1},
        {"fixed hex takes colons as data", HexFixed, "\x04:\x3a\x67", 4, "043a3a67", 4},
        {"fixed hex consumes a following colon", HexFixed, "\x01\x02:", 2, "0102", 3},
        {"fixed hex of length 0 is a blank", HexFixed, "\x01", 0, " ", 0},
    };
    for (const DecodeCase &c : cases) {
        Message m(c.bytes);
        char value[kPosValueSize];
        int64_t next = 0;
        switch (c.decoder) {
        case Packed:
            next = decodePacked(m.view(), 0, c.maxLength, value, sizeof value);
            break;
        case Hex:
            next = decodeHex(m.view(), 0, c.maxLength, value, sizeof value);
            break;
        case HexFixed:
            next = decodeHexFixed(m.view(), 0, c.maxLength, value, sizeof value);
            break;
        }
        EXPECT_STREQ(c.value, value) << c.what;
        EXPECT_EQ(c.next, next) << c.what;
    }
}

TEST(PosDecoders, PackedRewritesTheFirstByteInTheRecord) {
    Message m("\xf5\xf5");
    char value[kPosValueSize];
    decodePacked(m.view(), 0, 2, value, sizeof value);
    EXPECT_EQ(0x05, m.bytes[0]);
    EXPECT_EQ(0xf5, m.bytes[1]);
}

TEST(PosDecoders, ValueNeverOverrunsASmallBuffer) {
    Message m(std::string(12, '\x99'));
    char value[8];
    std::memset(value, 'x', sizeof value);
    decodePacked(m.view(), 0, 12, value, 5);
    EXPECT_STREQ("9999", value);
    EXPECT_EQ('x', value[5]);
}

struct FindCase {
    const char *what;
    std::string data;
    int64_t start;
    const char *text;
    int64_t count;
    int64_t expected;
};

TEST(FindText, BoundedByCountAndView) {
    const FindCase cases[] = {
        {"first match", "ab\",\"cd\",\"", 0, "\",\"", 10, 2},
        {"from a later start", "ab\",\"cd\",\"", 3, "\",\"", 10, 7},
        {"count too small to reach it", "ab\",\"cd", 0, "\",\"", 2, -1},
        {"last start position counted", "ab\",\"cd", 0, "\",\"", 3, 2},
        {"match cut by the end of the view", "abc\"", 0, "\"\r", 10, -1},
        {"zero byte in the data does not match", std::string("a\"\0\r", 4), 0, "\"\r", 4, -1},
        {"start past the end", "\"\r", 5, "\"\r", 10, -1},
        {"empty data", "", 0, "\"\r", 10, -1},
    };
    for (const FindCase &c : cases) {
        Message m(c.data);
        EXPECT_EQ(c.expected, findText(m.view(), c.start, c.text, c.count)) << c.what;
    }
}

std::string field(const char *name, const char *value, const char *description = "") {
    std::string line = std::string("  ") + name;
    line.resize(20, ' ');
    line += value;
    line.resize(45, ' ');
    return line + description + "\n";
}

struct TypeCase {
    unsigned char type;
    const char *name;
    int lines; // field lines with -d, the Type line included
};

// Every known record type prints its name beside the type and one line per field.
TEST(WritePosLog, EveryRecordTypeHasItsTable) {
    const TypeCase cases[] = {
        {0x00, "Trasaction Summary Log Header", 20},
        {0x01, "Header Extension", 6},
        {0x03, "Totals", 11},
        {0x05, "Store Closing", 3},
        {0x06, "Merchandise String", 7},
        {0x07, "Merchandise String Extension", 7},
        {0x08, "Miscellaneous", 5},
        {0x11, "Cash Tender", 2},
        {0x12, "Cashlike Tender", 8},
        {0x14, "TAX", 6},
        {0x16, "Time Analysis", 9},
        {0x18, "Maintenance", 6},
        {0x19, "Sign On", 8},
        {0x23, "IBM Featues", 1},
    };
    DetailFlagGuard flag(1);
    for (const TypeCase &c : cases) {
        Message m(std::string("\"") + static_cast<char>(c.type) + ":\"\r\n");
        std::string report = capture([&](OutputSink &f) { writePosLog(f, m.view()); });
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned>(c.type));
        EXPECT_EQ(0u, report.rfind(field("Type", hex, c.name), 0)) << c.name;
        EXPECT_EQ(c.lines, std::count(report.begin(), report.end(), '\n')) << c.name;
    }
}

TEST(WritePosLog, LeavesTheBodyUnchanged) {
    std::string body = "\"\x11:\xf5\x01:\",\"\x14:\xf0\x00\x00\x01:\"\r\n"s;
    Message m(body);
    capture([&](OutputSink &f) { writePosLog(f, m.view()); });
    EXPECT_EQ(body, std::string(m.bytes.begin(), m.bytes.end() - 1));
}

// A record reads zero bytes past its content, whatever the records before it held: its
// report is the same as alone.
TEST(WritePosLog, ShortRecordAfterALongOneReadsZeros) {
    for (int flag : {0, 1}) {
        DetailFlagGuard detail(flag);
        for (unsigned char type : {0x00, 0x03, 0x06, 0x12, 0x16}) {
            std::string shortRecord = "\""s + static_cast<char>(type) + "\"\r\n";
            std::string body = "\""s + static_cast<char>(type) + ":" + std::string(300, '\x99') +
                               "\",\"" + static_cast<char>(type) + "\",\"" +
                               static_cast<char>(0xf1) + std::string(40, '\xf7') + "\"\r\n";
            Message alone(shortRecord), both(body);
            std::string expected = capture([&](OutputSink &f) { writePosLog(f, alone.view()); });
            std::string report = capture([&](OutputSink &f) { writePosLog(f, both.view()); });
            size_t second =
                report.find("  Type              " + std::string(1, "0123456789abcdef"[type >> 4]) +
                                "0123456789abcdef"[type & 15],
                            1);
            ASSERT_NE(second, std::string::npos) << int(type);
            size_t unknown = report.find("*** Unknown Type f1 ***");
            ASSERT_NE(unknown, std::string::npos) << int(type);
            EXPECT_EQ(expected, report.substr(second, unknown - second))
                << int(type) << " " << flag;
        }
    }
}

struct FramingCase {
    const char *what;
    std::string body;
    std::string expected;
};

TEST(WritePosLog, RecordFraming) {
    const std::string emptyLine(45, ' ');
    const std::string cash = field("Type", "11", "Cash Tender");
    const FramingCase cases[] = {
        {"line without a line end runs to the end of the body", "\"\x11:\x12\x34",
         cash + field("Amount", "1234")},
        {"a record longer than the buffer is cut and the next one follows",
         "\"\x11:\x01\x00"s + std::string(5000, '\x99') + "\",\"\x11:\x02\x00\"\r\n",
         cash + field("Amount", "0100") + cash + field("Amount", "0200")},
        {"an empty record reads as type 00 and a record with no room before the line end too",
         "\"\x11:\x03\x00:\",\"\",\"\r\n"s,
         cash + field("Amount", "0300") + field("Type", "00", "Trasaction Summary Log Header") +
             field("Type", "00", "Trasaction Summary Log Header")},
        {"the empty field line stands only between lines",
         "\"\x11:\x01\x00\"\r\n\"\x11:\x02\x00\"\r\n"s,
         cash + field("Amount", "0100") + emptyLine + "\n" + cash + field("Amount", "0200")},
    };
    for (const FramingCase &c : cases) {
        Message m(c.body);
        std::string report = capture([&](OutputSink &f) { writePosLog(f, m.view()); });
        // Only the Type lines and Amount lines are compared for the type 00 records.
        std::string kept;
        size_t at = 0;
        while (at < report.size()) {
            size_t end = report.find('\n', at);
            std::string line = report.substr(at, end - at + 1);
            if (line.rfind("  Type", 0) == 0 || line.rfind("  Amount", 0) == 0 ||
                line == emptyLine + "\n")
                kept += line;
            at = end + 1;
        }
        EXPECT_EQ(c.expected, kept) << c.what;
    }
}

} // namespace
