// IDoc summary entry: the tags written for bodies built in memory, around the edges of the
// body and of the fields (cut records, zero bytes, the total-quantity condition).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "capture.h"
#include "summary/idoc_summary.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

using Values = std::vector<std::pair<size_t, std::string>>;

std::string blanks(size_t n, const Values &values = {}) {
    std::string s(n, ' ');
    for (const auto &[offset, text] : values)
        s.replace(offset, text.size(), text);
    return s;
}

std::string int32le(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    return {static_cast<char>(u & 0xff), static_cast<char>(u >> 8 & 0xff),
            static_cast<char>(u >> 16 & 0xff), static_cast<char>(u >> 24 & 0xff)};
}

std::string sapHeader(int32_t length) {
    return "SAPH" + int32le(1) + int32le(length) + std::string(96, ' ');
}

std::string controlDC40(const std::string &number = "0000000000000042") {
    return blanks(524, {{0, "EDI_DC40"}, {13, number}, {39, "ORDERS05"}});
}

// One data record of segment data offset 30 (an "EDI_DC40" IDoc without MQSAPH).
std::string record(const std::string &name, const Values &data) {
    return blanks(30, {{0, name}}) + blanks(1000, data);
}

std::string summary(const std::string &body) {
    Message m(body);
    Mqmd md{};
    return capture([&](OutputSink &f) { writeIDocSummary(f, md, m.view()); });
}

const std::string kHead = "IDOC(0000000000000042) Type(ORDERS05) ";

struct Case {
    const char *what;
    std::string body;
    std::string expected;
};

TEST(IDocSummary, TotalQuantityCondition) {
    // The integer conversion at offset 291 goes on past the field and stops at the body's end.
    auto stock = [](const std::string &quantity) {
        return controlDC40() + record("E2ICSL0", {{0, "MAT-1"}, {291, quantity}});
    };
    std::string digitsToEnd = controlDC40() + record("E2ICSL0", {{0, "MAT-1"}});
    digitsToEnd.resize(digitsToEnd.size() - 1000 + 291);
    const Case cases[] = {
        {"zero", stock("0"), kHead},
        {"fraction only", stock("0.750"), kHead},
        {"tab before the digits", stock("\t3"), kHead + "\n\tM(MAT-1) TQ(\t3) "},
        {"plus sign then zeros", stock("+000"), kHead},
        {"sign then a blank", stock("- 3"), kHead},
        {"letters", stock("ABC"), kHead},
        {"beyond the 32-bit range", stock("4294967296"), kHead + "\n\tM(MAT-1) TQ(4294967296) "},
        {"zeros up to the body's end", digitsToEnd + "000000", kHead},
        {"digit at the body's last byte", digitsToEnd + "000001",
         kHead + "\n\tM(MAT-1) TQ(000001) "},
        {"zero byte ends the number",
         stock(std::string("0\0"
                           "5",
                           3)),
         kHead},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, summary(c.body)) << c.what;
}

TEST(IDocSummary, FieldsAtTheEdges) {
    std::string partner = controlDC40() + record("E2EDKA1", {{3, "0000100234"}});
    std::string material = controlDC40() + record("E2EDP19", {{3, "MAT-100234"}});
    std::string status = controlDC40() + record("E2CVBUK", {{16, "A"}, {17, "B"}, {19, "C"}});
    const Case cases[] = {
        {"zero byte inside a value",
         controlDC40() + record("E2EDP19", {{3, std::string("MAT\0X", 5)}}), kHead + "M(MAT) "},
        {"value cut by the body's end", material.substr(0, 524 + 30 + 3 + 6), kHead + "M(MAT-10) "},
        {"record ends before its data area", material.substr(0, 524 + 12), kHead + "M() "},
        {"optional tag cut to nothing", partner.substr(0, 524 + 30 + 3), kHead},
        {"optional tag cut to a part", partner.substr(0, 524 + 30 + 3 + 4), kHead + "C(0000) "},
        {"status letters cut by the end", status.substr(0, 524 + 30 + 18), kHead + "S(AB) "},
        {"status after a blank first letter",
         controlDC40() + record("E2CVBUK", {{17, "B"}, {19, "C"}}), kHead + "S(BC) "},
        {"name cut by the end", partner.substr(0, 524 + 6), kHead},
        {"key matched over its own length", controlDC40() + record("E2EDP01XYZ", {{11, "5.000"}}),
         kHead + "\n\tQ(5) "},
        {"case matters", controlDC40() + record("e2edp01", {{11, "5.000"}}), kHead},
        {"records follow back to back",
         controlDC40() + record("E2EDK02", {{3, "111111"}}) + record("E2EDK02", {{3, "222222"}}),
         kHead + "PO(111111) PO(222222) "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, summary(c.body)) << c.what;
}

TEST(IDocSummary, HeaderLengths) {
    // Walked from 902 bytes before the body, the records of 1010 bytes would meet this one.
    std::string lateRecord = blanks(10, {{0, "E2EDK02"}}) + blanks(1000, {{3, "812345"}});
    std::string idoc = controlDC40() + blanks(63, {{0, "E2EDK02"}}) + blanks(1000, {{3, "812345"}});
    const Case cases[] = {
        {"usual header", sapHeader(108) + idoc, kHead + "PO(812345) "},
        {"negative", sapHeader(-108) + idoc, ""},
        {"negative, in step with a record", sapHeader(-902) + lateRecord, ""},
        {"largest integer", sapHeader(INT_MAX) + idoc, ""},
        {"one beyond the body", sapHeader(static_cast<int32_t>(108 + idoc.size() + 1)) + idoc, ""},
        {"the whole body", sapHeader(static_cast<int32_t>(108 + idoc.size())) + idoc, ""},
        {"header alone, length missing", "SAPH", ""},
        {"header alone, cut in its length", std::string("SAPH\1\0\0\0\x6c", 9), ""},
        {"no control record behind it",
         sapHeader(108) + blanks(10, {{0, "E2EDK02"}}) + blanks(1000, {{3, "812345"}}),
         "PO(812345) "},
        {"data offset 63 only behind a header", idoc, kHead + "PO() "},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, summary(c.body)) << c.what;
}

} // namespace
