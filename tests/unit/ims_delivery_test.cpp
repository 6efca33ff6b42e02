// IMS delivery records and the CICS bridge area: layout tables, number formatting, fields
// past the end of a short body.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "capture.h"
#include "mqheaders/iih_report.h"
#include "mqheaders/rfh_report.h"
#include "payloads/cics_bridge.h"
#include "payloads/ims_delivery.h"
#include "report/field_lines.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

struct LayoutCase {
    const RecordLayout *layout;
    int32_t length; // the record's size in the message
};

// A slip in a table (a wrong offset or length) leaves a gap or an overlap; a row copied
// twice repeats a name.
TEST(RecordLayouts, FieldsAreContiguousAndFillTheRecord) {
    const LayoutCase cases[] = {
        {&kImsUpdateDeliveryLayout, 473}, {&kImsConfirmLayout, 97},
        {&kCicsBridgeLayout, 72},         {&kIihLayout, 84},
        {&kRfhLayout, kRfhFixedLength},
    };
    for (const LayoutCase &c : cases) {
        EXPECT_EQ(c.length, c.layout->length) << c.layout->name;
        int32_t next = 0;
        for (size_t i = 0; i < c.layout->count; ++i) {
            const FieldLayout &f = c.layout->fields[i];
            EXPECT_EQ(next, f.offset) << f.name;
            EXPECT_GT(f.length, 0) << f.name;
            for (size_t k = 0; k < i; ++k)
                EXPECT_STRNE(c.layout->fields[k].name, f.name) << c.layout->name;
            next += f.length;
        }
        EXPECT_EQ(c.length, next) << c.layout->name;
    }
}

// The build-time check every layout table passes: each slip it must refuse.
constexpr FieldKind T = FieldKind::Text;
constexpr FieldLayout kSound[] = {{"A", 0, 2, T}, {"B", 2, 4, FieldKind::Decimal}, {"C", 6, 0, T}};
constexpr FieldLayout kGap[] = {{"A", 0, 2, T}, {"B", 3, 4, T}};
constexpr FieldLayout kOverlap[] = {{"A", 0, 2, T}, {"B", 1, 4, T}};
constexpr FieldLayout kLateStart[] = {{"A", 1, 2, T}};
constexpr FieldLayout kEmptyInside[] = {{"A", 0, 0, T}, {"B", 0, 4, T}};
constexpr FieldLayout kShortNumber[] = {{"A", 0, 2, FieldKind::Decimal}};
constexpr FieldLayout kWideByte[] = {{"A", 0, 2, FieldKind::Byte}};
static_assert(fieldsBackToBack(kSound), "a sound table passes");
static_assert(!fieldsBackToBack(kGap) && !fieldsBackToBack(kOverlap) &&
                  !fieldsBackToBack(kLateStart) && !fieldsBackToBack(kEmptyInside) &&
                  !fieldsBackToBack(kShortNumber) && !fieldsBackToBack(kWideByte),
              "gaps, overlaps, empty fields inside and numbers of the wrong width fail");
static_assert(makeLayout("R", "R", "", LineStyle::Field, "", kSound).length == 6,
              "a record ends where its last field ends");

TEST(RecordLayouts, FieldsAreFoundByName) {
    constexpr RecordLayout layout = makeLayout("R", "R", "", LineStyle::Field, "", kSound);
    static_assert(fieldNamed(layout, "B") == &kSound[1], "the field of the name");
    EXPECT_EQ(nullptr, fieldNamed(layout, "BB"));
    EXPECT_EQ(nullptr, fieldNamed(layout, ""));
    EXPECT_EQ(&kSound[2], fieldNamed(layout, "C"));
}

std::string line(const char *name, const std::string &value, const char *description = " ") {
    std::string l = std::string("  ") + name;
    l.resize(20, ' ');
    l += value.substr(0, 25);
    l.resize(45, ' ');
    return l + description + "\n";
}

// The update report's line for one field, or "" when it is not written.
std::string reportLine(const std::string &report, const char *name) {
    std::string prefix = std::string("  ") + name + " ";
    size_t at = report.find(prefix);
    return at == std::string::npos ? "" : report.substr(at, report.find('\n', at) - at + 1);
}

std::string updateRecord() {
    return std::string(473, ' ');
}

void put(std::string &record, int offset, const void *bytes, size_t n) {
    std::memcpy(&record[static_cast<size_t>(offset)], bytes, n);
}

struct NumberCase {
    const char *what;
    const char *field;
    int offset;
    std::string bytes;
    std::string shown;
};

TEST(ImsUpdateDelivery, NumberFields) {
    auto dbl = [](double v) {
        std::string b(8, '\0');
        std::memcpy(&b[0], &v, 8);
        return b;
    };
    const NumberCase cases[] = {
        {"int32 42", "LIEFER", 13, std::string("\x2a\x00\x00\x00", 4), "42"},
        {"int32 -1", "LIEFER", 13, "\xff\xff\xff\xff", "-1"},
        {"int32 at an odd offset", "KURS", 95, std::string("\x00\x00\x00\x80", 4), "-2147483648"},
        {"double 2.5", "LLMENGE", 64, dbl(2.5), "2.500000"},
        {"double rounds to six places", "LLPREIS", 75, dbl(19.9999995), "20.000000"},
        {"largest double is not cut short", "WLWERT", 86, dbl(std::numeric_limits<double>::max()),
         "1797693134862315708145274"},
        {"infinity", "SKTOSATZ", 99, dbl(-std::numeric_limits<double>::infinity()), "-inf"},
        {"not a number", "SKTOSATZ_2", 140, dbl(std::numeric_limits<double>::quiet_NaN()), "nan"},
    };
    for (const NumberCase &c : cases) {
        std::string record = updateRecord();
        put(record, c.offset, c.bytes.data(), c.bytes.size());
        Message m(record);
        std::string report = capture([&](OutputSink &f) { writeImsUpdateDelivery(f, m.view()); });
        EXPECT_EQ(line(c.field, c.shown), reportLine(report, c.field)) << c.what;
    }
}

TEST(ImsUpdateDelivery, BlankTextFieldsOnlyWithTheDetailFlag) {
    Message m(updateRecord());
    for (int detail : {0, 1}) {
        setDetailFlag(detail);
        std::string report = capture([&](OutputSink &f) { writeImsUpdateDelivery(f, m.view()); });
        setDetailFlag(0);
        // Title, 11 number fields, and with -d the 63 text fields.
        EXPECT_EQ(detail ? 75 : 12, std::count(report.begin(), report.end(), '\n'));
        EXPECT_EQ(0u, report.find(std::string("IMS_UPDATEDELIVERY") + std::string(27, ' ') + "\n"));
        EXPECT_EQ(detail ? line("FAELLIGK", "") : "", reportLine(report, "FAELLIGK"));
    }
}

TEST(ImsUpdateDelivery, OneDueDateLineBetweenItsNeighbours) {
    std::string record = updateRecord();
    put(record, 44, "K20261215WE01", 13);
    Message m(record);
    std::string report = capture([&](OutputSink &f) { writeImsUpdateDelivery(f, m.view()); });
    size_t due = report.find("  FAELLIGK ");
    ASSERT_NE(std::string::npos, due);
    EXPECT_EQ(std::string::npos, report.find("FAELLIGK", due + 3));
    EXPECT_LT(report.find("  KONSVKZ "), due);
    EXPECT_GT(report.find("  BUCHVORG "), due);
}

// Fields past the end of a short body read as zero bytes: written, with empty values.
TEST(ImsUpdateDelivery, ShortRecordReadsZerosPastTheEnd) {
    std::string record = updateRecord().substr(0, 66); // ends inside LLMENGE
    record[13] = '\x07';
    record[64] = '\x00';
    record[65] = '\x00';
    Message m(record.substr(0, 66));
    std::string report = capture([&](OutputSink &f) { writeImsUpdateDelivery(f, m.view()); });
    EXPECT_EQ(line("LIEFER", "538976263"), reportLine(report, "LIEFER"));
    EXPECT_EQ(line("LLMENGE", "0.000000"), reportLine(report, "LLMENGE"));
    EXPECT_EQ(line("KURS", "0"), reportLine(report, "KURS"));
    EXPECT_EQ(line("SATZNR", ""), reportLine(report, "SATZNR"));
    EXPECT_EQ("", reportLine(report, "MENGENEH")); // blanks inside the body stay suppressed
}

TEST(ImsConfirm, TextFieldsAndShortRecord) {
    std::string record = std::string("00000042") + std::string(89, ' ');
    Message full(record);
    std::string report = capture([&](OutputSink &f) { writeImsConfirm(f, full.view()); });
    EXPECT_EQ(std::string("IMS_CONFIRM") + std::string(34, ' ') + "\n" + line("LIEFER", "00000042"),
              report);

    Message shortRecord(record.substr(0, 10));
    report = capture([&](OutputSink &f) { writeImsConfirm(f, shortRecord.view()); });
    EXPECT_EQ(line("LIEFSNR", ""), reportLine(report, "LIEFSNR"));
    EXPECT_EQ(line("ZAHLTERM", ""), reportLine(report, "ZAHLTERM"));
}

struct CicsCase {
    const char *what;
    int detail;
    std::string body;
    int lines;
};

TEST(CicsBridgeTask, LinesWrittenByContentAndFlag) {
    const CicsCase cases[] = {
        {"blanks", 0, "TESTABR " + std::string(64, ' '), 3},
        {"blanks with -d", 1, "TESTABR " + std::string(64, ' '), 15},
        {"short area reads zeros", 0, "TESTABR ", 15},
    };
    for (const CicsCase &c : cases) {
        setDetailFlag(c.detail);
        Message m(c.body);
        std::string report = capture([&](OutputSink &f) { writeCicsBridgeTask(f, m.view()); });
        setDetailFlag(0);
        EXPECT_EQ(c.lines, std::count(report.begin(), report.end(), '\n')) << c.what;
        EXPECT_EQ(0u, report.find("CICS bridge Task\n  CICS_bridge_task  TESTABR")) << c.what;
        EXPECT_EQ(std::string(45, ' ') + "\n", report.substr(report.size() - 46)) << c.what;
    }
}

TEST(CicsBridgeTask, MaterialShownWhole) {
    std::string area = "TESTABR " + std::string(64, ' ');
    std::memcpy(&area[34], "MAT-4711-0815-AB18", 18);
    Message m(area);
    std::string report = capture([&](OutputSink &f) { writeCicsBridgeTask(f, m.view()); });
    EXPECT_NE(std::string::npos, report.find(line("LK_MATERIAL", "MAT-4711-0815-AB18", "")));
}

} // namespace
