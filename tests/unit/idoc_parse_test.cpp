// IDoc parse and validation against small definitions: segment matching, the IDoc type
// taken from the control record, occurrence loops, element paths, and bounded reads.
#include <gtest/gtest.h>

#include <chrono>

#include "capture.h"
#include "idoc/idoc_parse.h"
#include "idoc/sap_header.h"
#include "idoc_test_support.h"
#include "report/field_lines.h"

namespace qpeek {
namespace {

using test::ScratchProgramDirectory;

// Control record: TABNAM(10) IDOCTYP(10); data records: SEGNAM(10), then 1000 bytes.
const char *kRecords = "BEGIN_SEGMENT_SECTION\n"
                       "BEGIN_IDOC EDI_DC40\nBEGIN_SEGMENT EDI_DC40\nTEXT Control record\n"
                       "BEGIN_FIELDS\nNAME TABNAM\nLENGTH 10\nNAME IDOCTYP\nLENGTH 10\nEND_FIELDS\n"
                       "END_SEGMENT\nEND_IDOC\n"
                       "BEGIN_IDOC ICI_DD40\nBEGIN_SEGMENT ICI_DD40\n"
                       "BEGIN_FIELDS\nNAME SEGNAM\nLENGTH 10\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n"
                       "END_SEGMENT_SECTION\n";

std::string control(const std::string &type) {
    return "EDI_DC40  " + (type + std::string(10, ' ')).substr(0, 10);
}

// A data record: the name in 10 bytes and the data area (padded to 1000 unless cut).
std::string record(const std::string &name, const std::string &data = "", bool cut = false) {
    std::string r = (name + std::string(10, ' ')).substr(0, 10) + data;
    if (!cut)
        r += std::string(1000 - data.size(), ' ');
    return r;
}

struct ParseRun {
    std::string out;
    std::string err;
};

ParseRun parse(const std::string &body) {
    ParseRun run;
    testing::internal::CaptureStderr();
    test::Message message(body);
    run.out = test::capture([&](OutputSink &out) { parseMessage(out, message.view()); });
    run.err = testing::internal::GetCapturedStderr();
    return run;
}

class IdocParse : public testing::Test {
  protected:
    ScratchProgramDirectory dir;
    void define(const std::string &idocBlocks) {
        dir.write("qpeek.parser", std::string(kRecords) + "BEGIN_SEGMENT_SECTION\n" + idocBlocks +
                                      "END_SEGMENT_SECTION\n");
    }
};

TEST_F(IdocParse, SegmentNamesMatchWithoutTheirVersionDigits) {
    define("BEGIN_IDOC T\nBEGIN_SEGMENT E2EDK01005\nLOOPMAX 9\nTEXT Header\n"
           "BEGIN_FIELDS\nNAME F\nLENGTH 3\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    const struct {
        const char *name;
        bool matches;
    } cases[] = {{"E2EDK01005", true}, {"E2EDK01004", true},  {"E2EDK01", true},
                 {"E2EDK01XYZ", true}, {"E1EDK01005", false}, {"E2EDK0", false}};
    for (const auto &c : cases) {
        ParseRun run = parse(control("T") + record(c.name, "abc"));
        EXPECT_EQ(run.err.empty(), c.matches) << c.name << run.err;
        EXPECT_EQ(run.out.find("E2EDK01005Header\n  F") != std::string::npos, c.matches) << c.name;
    }
}

TEST_F(IdocParse, StoresKeepTheirDefinitionsAndReportLinesApart) {
    define("BEGIN_IDOC T\nBEGIN_SEGMENT E2EDK01005\nTEXT Header\n"
           "BEGIN_FIELDS\nNAME F\nTEXT Run field\nLENGTH 3\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    // A second store with definitions of its own: the same names, other texts.
    ScratchProgramDirectory otherDir;
    otherDir.write("qpeek.parser",
                   std::string(kRecords) +
                       "BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\nBEGIN_SEGMENT E2EDK01005\nTEXT Other\n"
                       "BEGIN_FIELDS\nNAME G\nTEXT Own field\nLENGTH 3\nEND_FIELDS\nEND_SEGMENT\n"
                       "END_IDOC\nEND_SEGMENT_SECTION\n");
    setProgramDirectory(dir.store, dir.path); // otherDir pointed the run's store at itself
    DefinitionStore other;
    setProgramDirectory(other, otherDir.path);
    std::string body = control("T") + record("E2EDK01005", "abc");
    test::Message message(body);
    for (int round = 0; round < 2; ++round) {
        std::string own = parse(body).out;
        testing::internal::CaptureStderr();
        std::string second =
            test::capture([&](OutputSink &out) { parseMessage(other, out, message.view()); });
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_NE(own.find("E2EDK01005Header\n  F"), std::string::npos) << own;
        EXPECT_NE(own.find("Run field"), std::string::npos) << own;
        EXPECT_EQ(own.find("Own field"), std::string::npos) << own;
        EXPECT_NE(second.find("E2EDK01005Other\n  G"), std::string::npos) << second;
        EXPECT_NE(second.find("Own field"), std::string::npos) << second;
        EXPECT_EQ(second.find("Run field"), std::string::npos) << second;
    }
    EXPECT_EQ(other.definitions.size(), 3u);
    EXPECT_EQ(dir.store.definitions.size(), 3u);
}

TEST(SegmentMatching, OnlyAThreeDigitVersionIsDropped) {
    const struct {
        const char *definition;
        const char *record;
        bool matches;
    } cases[] = {
        // Versioned names match every version of their segment, and the unversioned one.
        {"E2EDK01005", "E2EDK01005", true},
        {"E2EDK01005", "E2EDK01004", true},
        {"E2EDK01005", "E2EDK01   ", true},
        {"E2EDK01005", "E1EDK01   ", false},
        {"E2EDK01005", "E2EDK0    ", false},
        {"Z2MYSEG001", "Z2MYSEG002", true},
        {"E2EDK09003", "E2EDK09   ", true},
        // Unversioned names ending in digits keep them.
        {"E2EDK10", "E2EDK10   ", true},
        {"E2EDK10", "E2EDK10001", true},
        {"E2EDK10", "E2EDK01   ", false},
        {"E2EDK10", "E2EDKA1003", false},
        {"E2EDP14", "E2EDP16   ", false},
        {"E2EDP14", "E2EDP16002", false},
        {"E2EDP16", "E2EDP16002", true},
        {"E2EDKA1", "E2EDKA1003", true},
        {"E2EDK02", "E2EDK03   ", false},
        // More than three digits: the last three are the version.
        {"E2EDK10001", "E2EDK10   ", true},
        {"E2EDK10001", "E2EDK1    ", false},
        {"E2EDK10001", "E2EDKA1003", false},
        // A name of three characters or fewer, or a version cut by the end of the message.
        {"123", "1234567890", true},
        {"123", "4560000000", false},
        {"A123", "A999      ", true},
        {"E2EDK01005", "E2EDK0", false},
        {"E2EDK01005", "E2EDK01", true},
    };
    for (const auto &c : cases) {
        test::Message message(c.record);
        EXPECT_EQ(segmentMatches(message.view(), 0, c.definition), c.matches)
            << c.definition << " / " << c.record;
    }
}

TEST_F(IdocParse, IdocTypeIsTheFirstWordWithItsLeadingBlanks) {
    define("BEGIN_IDOC T\nEND_IDOC\n");
    const struct {
        const char *type;
        const char *message;
    } cases[] = {{"  ORD X", "Unable to find segment   ORD.\n"},
                 {"", "Unable to find segment           .\n"},
                 {"NEW TYPE", "Unable to find segment NEW.\n"}};
    for (const auto &c : cases) {
        ParseRun run = parse(control(c.type) + record("A"));
        EXPECT_EQ(run.err.substr(0, run.err.find("parseMessage")), c.message) << c.type;
        EXPECT_NE(run.err.find("parseMessage failed with error 1001.\n"), std::string::npos);
    }
}

TEST_F(IdocParse, OptionalSegmentAbsentTriesTheNextMemberInPlace) {
    define("BEGIN_IDOC T\n"
           "BEGIN_SEGMENT A\nSTATUS OPTIONAL\nEND_SEGMENT\n"
           "BEGIN_SEGMENT B\nLOOPMAX 0\nEND_SEGMENT\n"
           "BEGIN_SEGMENT C\nSTATUS OPTIONAL\nEND_SEGMENT\nEND_IDOC\n");
    ParseRun run = parse(control("T") + record("B") + record("C"));
    EXPECT_EQ(run.err, "");
    // LOOPMAX 0 allows one occurrence: the second B is trailing data.
    run = parse(control("T") + record("B") + record("B"));
    EXPECT_EQ(run.err, "Trailing data in buffer.\nparseMessage failed with error 1002.\n"
                       "Buffer='B" +
                           std::string(79, ' ') + "'.\n");
}

TEST_F(IdocParse, GroupThatConsumesNothingEndsItsLoop) {
    // The inner group repeats as the first member of the outer one with nothing present:
    // its occurrences consume nothing, and the loop must not run to its maximum.
    define("BEGIN_IDOC T\nBEGIN_GROUP 1\nLOOPMAX 2147483647\nBEGIN_GROUP 2\nLOOPMAX 2147483647\n"
           "BEGIN_SEGMENT A\nSTATUS OPTIONAL\nEND_SEGMENT\nEND_GROUP\nEND_GROUP\nEND_IDOC\n");
    auto start = std::chrono::steady_clock::now();
    ParseRun run = parse(control("T") + record("X"));
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_EQ(run.err.substr(0, 25), "Trailing data in buffer.\n");
}

TEST_F(IdocParse, NestedGroupsThatConsumeNothingStayLinear) {
    // Each group's trigger is a group of absent optional members (present, consuming
    // nothing) and its second member is the next level: repeating an occurrence to learn
    // that it changes nothing would double the work at every level.
    std::string text = "BEGIN_IDOC T\n";
    for (int i = 0; i < 60; ++i)
        text += "BEGIN_GROUP 1\nLOOPMAX 99\nBEGIN_GROUP 2\nBEGIN_SEGMENT A\nSTATUS OPTIONAL\n"
                "END_SEGMENT\nEND_GROUP\n";
    for (int i = 0; i < 60; ++i)
        text += "END_GROUP\n";
    define(text + "END_IDOC\n");
    auto start = std::chrono::steady_clock::now();
    ParseRun run = parse(control("T") + record("X"));
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0);
    EXPECT_EQ(run.err.substr(0, 25), "Trailing data in buffer.\n");
}

TEST_F(IdocParse, ElementPathsNameGroupOccurrences) {
    define("BEGIN_IDOC T\n"
           "BEGIN_GROUP 1\nLOOPMAX 9\n"
           "BEGIN_SEGMENT ITEM001\nEND_SEGMENT\n"
           "BEGIN_GROUP 2\nSTATUS OPTIONAL\nLOOPMAX 9\n"
           "BEGIN_SEGMENT SUBITEM\nEND_SEGMENT\nBEGIN_SEGMENT DETAIL\nEND_SEGMENT\nEND_GROUP\n"
           "END_GROUP\nEND_IDOC\n");
    ParseRun run = parse(control("T") + record("ITEM001") + record("ITEM001") + record("SUBITEM") +
                         record("DETAIL") + record("SUBITEM"));
    EXPECT_EQ(run.err, "Missing required segment: T.(group)ITEM001[2].(group)SUBITEM[2].DETAIL\n"
                       "parseMessage failed with error 1021.\nBuffer=''.\n");
}

TEST_F(IdocParse, FieldsPastTheEndStopAtTheEnd) {
    define("BEGIN_IDOC T\nBEGIN_SEGMENT A\nBEGIN_FIELDS\nNAME LONG\nLENGTH 20\nTEXT Long\n"
           "NAME NEXT\nLENGTH 5\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    ParseRun run = parse(control("T") + record("A", "12345", true));
    EXPECT_NE(run.out.find("  LONG              12345                    Long\n"),
              std::string::npos);
    EXPECT_EQ(run.err, "Missing required field NEXT\nparseMessage failed with error 1012.\n"
                       "Buffer=''.\n");
}

TEST_F(IdocParse, FieldsNearTheEndOfTheDataAsWriteFieldWritesThem) {
    // A field with 32 bytes or more of the data from it on is put from a view made in place,
    // one with fewer through a call: the lines are writeField's either way, blank or not.
    define("BEGIN_IDOC T\nBEGIN_SEGMENT A\nBEGIN_FIELDS\nNAME P\nLENGTH 1\n"
           "NAME V\nLENGTH 10\nTEXT Value\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    for (int detail : {0, 1}) {
        test::DetailFlagGuard flag(detail);
        for (const char *value : {"0123456789", "          "}) {
            for (size_t rest : {40u, 33u, 32u, 31u, 12u, 10u, 3u, 1u}) {
                std::string tail = (value + std::string(rest, 'z')).substr(0, rest);
                ParseRun run = parse(control("T") + record("A", "p" + tail, true));
                test::Message shown(tail);
                std::string expected = test::capture(
                    [&](OutputSink &out) { writeField(out, "V", 10, shown.view(), "Value"); });
                std::string got = run.out.substr(run.out.find("  P "));
                got = got.substr(got.find('\n') + 1);
                EXPECT_EQ(got, expected) << detail << " '" << value << "' " << rest;
            }
        }
    }
}

TEST_F(IdocParse, NegativeLengthsNeverMoveThePositionBack) {
    define("BEGIN_IDOC T\nBEGIN_SEGMENT A\nBEGIN_FIELDS\nNAME BACK\nLENGTH -5000\n"
           "NAME F\nLENGTH 2\nEND_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    ParseRun run = parse(control("T") + record("A", "xy"));
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("\nBACK" + std::string(41, ' ') + "\n  F                 xy"),
              std::string::npos);
}

TEST_F(IdocParse, EverySegmentAdvancesOneDataArea) {
    define("BEGIN_IDOC T\nBEGIN_SEGMENT A\nLOOPMAX 5\nBEGIN_FIELDS\nNAME F\nLENGTH 400\n"
           "END_FIELDS\nEND_SEGMENT\nEND_IDOC\n");
    ParseRun run = parse(control("T") + record("A", "one") + record("A", "two"));
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("  F                 two"), std::string::npos);
}

TEST_F(IdocParse, ControlRecordAloneEndsWithoutError) {
    define("BEGIN_IDOC T\nEND_IDOC\n");
    ParseRun run = parse(control("T"));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "EDI_DC40  Control record\n  TABNAM            EDI_DC40                 \n"
                       "  IDOCTYP           T                        \n");
}

TEST(SapHeader, ReadsMissingBytesAsZero) {
    std::string header = "SAPH";
    header += std::string("\1\0\0\0l\0\0\0", 8);
    header += std::string(20, '\0');
    header += "100Dhost123456";
    test::Message message(header);
    std::string out = test::capture([&](OutputSink &f) { writeMQSAPH(f, message.view()); });
    EXPECT_NE(out.find("  Struct. version = 1\n  Struct. length  = 108\n"), std::string::npos);
    EXPECT_NE(out.find("  R/3 language    = D\n"), std::string::npos);
    EXPECT_NE(out.find("  R/3 host name   = host123456" + std::string(38, ' ') + "\n"),
              std::string::npos);
    EXPECT_NE(out.find("  R/3 password    =         \n"), std::string::npos);
    EXPECT_NE(out.find("  Dummy field     = 00\n"), std::string::npos);
}

} // namespace
} // namespace qpeek
