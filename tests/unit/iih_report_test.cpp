// MQIIH report: written only with -d, one-byte fields in hexadecimal, a short header.
#include <gtest/gtest.h>

#include "capture.h"
#include "mqheaders/iih_report.h"
#include "report/field_lines.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

std::string header(unsigned char tranState) {
    std::string h("IIH \x02\x00\x00\x00\x54\x00\x00\x00\x11\x01\x00\x00\x33\x03\x00\x00", 20);
    h += "MQIMSVS ";
    h += std::string(4, '\0');
    h += std::string(32, ' ');
    h += "\x01\x23\x45\x67\x89\xab\xcd\xef" + std::string("IMSTRAN1");
    h += static_cast<char>(tranState);
    h += "0C ";
    return h;
}

std::string valueOf(const std::string &report, const char *name) {
    std::string prefix = std::string("\n  ") + name + " ";
    size_t at = report.find(prefix);
    if (at == std::string::npos)
        return "<none>";
    std::string value = report.substr(at + 21, 25);
    return value.substr(0, value.find_last_not_of(' ') + 1);
}

TEST(WriteIIH, NothingWithoutTheDetailFlag) {
    Message m(header('C'));
    EXPECT_EQ("", capture([&](OutputSink &f) { writeIIH(f, m.view()); }));
}

struct IihCase {
    const char *what;
    std::string header;
    const char *field;
    const char *value;
};

TEST(WriteIIH, FieldValues) {
    const IihCase cases[] = {
        {"EBCDIC C", header(0xc3), "TranState", "0xc3"},
        {"ASCII blank", header(' '), "TranState", "0x20"},
        {"version", header('C'), "Version", "2"},
        {"length", header('C'), "StrucLength", "84"},
        {"encoding four digits", header('C'), "Encoding", "0x0111"},
        {"code page eight digits", header('C'), "CodedCharSetId", "0x00000333"},
        {"commit mode", header('C'), "CommitMode", "0x30"},
        {"short header reads zeros", "IIH ", "Reserved", "0x00"},
        {"short header text field is empty", "IIH ", "Format", ""},
    };
    setDetailFlag(1);
    for (const IihCase &c : cases) {
        Message m(c.header);
        std::string report = capture([&](OutputSink &f) { writeIIH(f, m.view()); });
        EXPECT_EQ(c.value, valueOf(report, c.field)) << c.what;
    }
    setDetailFlag(0);
}

TEST(WriteIIH, InstanceIdInHexadecimalCutAtTheValueColumns) {
    setDetailFlag(1);
    Message m(header('C'));
    std::string report = capture([&](OutputSink &f) { writeIIH(f, m.view()); });
    setDetailFlag(0);
    EXPECT_NE(std::string::npos,
              report.find("\n" + std::string(20, ' ') + "0x0123456789abcdef494d535\n"));
    EXPECT_EQ(18, std::count(report.begin(), report.end(), '\n'));
}

} // namespace
