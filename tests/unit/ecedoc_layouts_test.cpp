// ECEDOC record layouts, document type, DATUSR value length, tag walk step and the
// unrecognised-tag message.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture.h"
#include "payloads/ecedoc_layouts.h"
#include "summary/ecedoc_summary.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

struct LayoutCase {
    EcedocRecord record;
    int32_t length;      // the record's size in the document: the walk steps over it
    const char *heading; // the tag line the detailed report prints above the fields
};

// A slip in a table (a wrong offset or length) leaves a gap or an overlap, or moves the
// next tag; a row copied twice repeats a name; a heading moved to the next row mislabels
// every record after it.
TEST(EcedocLayouts, FieldsRunBackToBackToTheRecordLength) {
    const LayoutCase cases[] = {
        {EcedocRecord::PROLOG, 22, "<PROLOG>"},
        {EcedocRecord::HDR010PQ, 96, "<HDR010>PQ"},
        {EcedocRecord::HDR010OS, 267, "<HDR010>OS"},
        {EcedocRecord::HDR010PP, 225, "<HDR010>PP"},
        {EcedocRecord::HDR010NC, 2709, "<HDR010>NC"},
        {EcedocRecord::HDR010ON, 440, "<HDR010>ON"},
        {EcedocRecord::HDR020, 1101, "<HDR020>ON"},
        {EcedocRecord::HDR030, 940, "<HDR030>ON"},
        {EcedocRecord::HDR040, 1050, "<HDR040>ON"},
        {EcedocRecord::ITM010ON, 2044, "<ITM010>ON"},
        {EcedocRecord::ITM010Other, 488, "<ITM010>OS"},
        {EcedocRecord::DATUSR, 18, "<DATUSR>OS"},
    };
    ASSERT_EQ(static_cast<size_t>(kEcedocRecordCount), std::size(cases));
    for (const LayoutCase &c : cases) {
        const RecordLayout *layout = ecedocLayout(c.record);
        ASSERT_NE(nullptr, layout);
        SCOPED_TRACE(layout->name);
        EXPECT_EQ(c.length, layout->length);
        EXPECT_STREQ(c.heading, layout->heading);
        int32_t end = 0;
        for (size_t i = 0; i < layout->count; ++i) {
            const FieldLayout &f = layout->fields[i];
            EXPECT_EQ(end, f.offset) << f.name;
            // Only a last field may be empty: DATUSR's value, whose length the record gives.
            EXPECT_TRUE(f.length > 0 || (f.length == 0 && i + 1 == layout->count)) << f.name;
            EXPECT_GT(std::strlen(f.name), 0u);
            for (size_t k = 0; k < i; ++k)
                EXPECT_STRNE(layout->fields[k].name, f.name);
            EXPECT_EQ(FieldKind::Text, f.kind);
            end += f.length;
        }
        EXPECT_EQ(c.length, end);
    }
    EXPECT_EQ(nullptr, ecedocLayout(EcedocRecord::None));
}

TEST(EcedocDocumentType, FirstTwoCharactersOfTheProlog) {
    const struct {
        std::string prolog;
        EcedocType type;
    } cases[] = {
        {"PQ        01", EcedocType::PQ}, {"OS", EcedocType::OS},    {"PP", EcedocType::PP},
        {"NC", EcedocType::NC},           {"UC", EcedocType::NC},    {"ON", EcedocType::ON},
        {"on", EcedocType::None},         {"XY", EcedocType::None},  {"O", EcedocType::None},
        {"", EcedocType::None},           {" ON", EcedocType::None},
    };
    for (const auto &c : cases) {
        Message m(c.prolog);
        EXPECT_EQ(c.type, ecedocDocumentType(m.view())) << c.prolog;
    }
}

TEST(DatusrValueLength, NineCharactersReadAsAtoiDoes) {
    const struct {
        const char *what;
        std::string record;
        int32_t n;
    } cases[] = {
        {"left-aligned", "CHANNEL 12        WEB", 12},
        {"right-aligned loses the last digit", "CHANNEL         12", 1},
        {"blanks", "CHANNEL           ", 0},
        {"letters", "CHANNEL TWELVE    ", 0},
        {"ten digits keep nine", "CHANNEL 0000000012", 1},
        {"nine digits", "CHANNEL 999999999 ", 999999999},
        {"ten significant digits", "CHANNEL 1234567890", 123456789},
        {"tab and sign", "CHANNEL \t+7      ", 7},
        {"negative", "CHANNEL -5        ", -5},
        {"negative after blanks", "CHANNEL    -123   ", -123},
        {"digits then letters", "CHANNEL 3A        ", 3},
        {"record cut inside FieldLength", "CHANNEL 12", 12},
        {"record cut before FieldLength", "CHANNEL", 0},
    };
    for (const auto &c : cases) {
        Message m(c.record);
        EXPECT_EQ(c.n, datusrValueLength(m.view())) << c.what;
    }
}

TEST(DatusrValueLength, ZeroByteStoredOnlyInsideTheMessage) {
    Message m("CHANNEL 12        WEB");
    datusrValueLength(m.view());
    EXPECT_EQ(0, m.bytes[17]);
    EXPECT_EQ(' ', m.bytes[16]);

    // A record cut by the end of the body: the bytes after the body stay as they are.
    std::vector<unsigned char> buffer(40, 'X');
    std::memcpy(buffer.data(), "CHANNEL 12", 10);
    ByteView body{buffer.data(), 10};
    EXPECT_EQ(12, datusrValueLength(body));
    for (size_t i = 10; i < buffer.size(); ++i)
        EXPECT_EQ('X', buffer[i]) << i;
}

struct StepCase {
    const char *what;
    std::string body;
    EcedocType type;
    EcedocHeaderRecords headers;
    EcedocElement element;
    bool closing;
    EcedocRecord record;
    int64_t next;
};

TEST(ReadEcedocStep, TagsRecordsAndNextPosition) {
    const auto every = EcedocHeaderRecords::EveryDocument;
    const auto onlyON = EcedocHeaderRecords::OnlyON;
    const std::string datusr12 = "<DATUSR>CHANNEL 12        LEFT-ALIGNED</DATUSR>";
    const StepCase cases[] = {
        {"container", "<ECEDOC><PROLOG>", EcedocType::None, every, EcedocElement::ECEDOC, false,
         EcedocRecord::None, 8},
        {"closing tag", "</ECEDOC>\n", EcedocType::None, every, EcedocElement::ECEDOC, true,
         EcedocRecord::None, 9},
        {"prolog", "<PROLOG>", EcedocType::None, every, EcedocElement::PROLOG, false,
         EcedocRecord::PROLOG, 30},
        {"HDR010 PQ", "<HDR010>", EcedocType::PQ, onlyON, EcedocElement::HDR010, false,
         EcedocRecord::HDR010PQ, 104},
        {"HDR010 OS", "<HDR010>", EcedocType::OS, onlyON, EcedocElement::HDR010, false,
         EcedocRecord::HDR010OS, 275},
        {"HDR010 PP", "<HDR010>", EcedocType::PP, onlyON, EcedocElement::HDR010, false,
         EcedocRecord::HDR010PP, 233},
        {"HDR010 NC", "<HDR010>", EcedocType::NC, onlyON, EcedocElement::HDR010, false,
         EcedocRecord::HDR010NC, 2717},
        {"HDR010 ON", "<HDR010>", EcedocType::ON, onlyON, EcedocElement::HDR010, false,
         EcedocRecord::HDR010ON, 448},
        {"HDR010 without type", "<HDR010>", EcedocType::None, every, EcedocElement::HDR010, false,
         EcedocRecord::None, 8},
        {"HDR020 summary, OS", "<HDR020>", EcedocType::OS, every, EcedocElement::HDR020, false,
         EcedocRecord::HDR020, 1109},
        {"HDR020 detail, OS", "<HDR020>", EcedocType::OS, onlyON, EcedocElement::HDR020, false,
         EcedocRecord::None, 8},
        {"HDR020 detail, ON", "<HDR020>", EcedocType::ON, onlyON, EcedocElement::HDR020, false,
         EcedocRecord::HDR020, 1109},
        {"HDR030 summary, none", "<HDR030>", EcedocType::None, every, EcedocElement::HDR030, false,
         EcedocRecord::HDR030, 948},
        {"HDR030 detail, PQ", "<HDR030>", EcedocType::PQ, onlyON, EcedocElement::HDR030, false,
         EcedocRecord::None, 8},
        {"HDR040 detail, ON", "<HDR040>", EcedocType::ON, onlyON, EcedocElement::HDR040, false,
         EcedocRecord::HDR040, 1058},
        {"HDR040 detail, PP", "<HDR040>", EcedocType::PP, onlyON, EcedocElement::HDR040, false,
         EcedocRecord::None, 8},
        {"ITM010 ON", "<ITM010>", EcedocType::ON, every, EcedocElement::ITM010, false,
         EcedocRecord::ITM010ON, 2052},
        {"ITM010 NC", "<ITM010>", EcedocType::NC, every, EcedocElement::ITM010, false,
         EcedocRecord::ITM010Other, 496},
        {"ITM010 none", "<ITM010>", EcedocType::None, onlyON, EcedocElement::ITM010, false,
         EcedocRecord::ITM010Other, 496},
        {"DATUSR 12", datusr12, EcedocType::OS, every, EcedocElement::DATUSR, false,
         EcedocRecord::DATUSR, 38},
        {"DATUSR negative steps 18", "<DATUSR>NEG     -5        </DATUSR>", EcedocType::OS, every,
         EcedocElement::DATUSR, false, EcedocRecord::DATUSR, 26},
        {"DATUSR huge passes the end", "<DATUSR>HUGE    999999999 ", EcedocType::OS, every,
         EcedocElement::DATUSR, false, EcedocRecord::DATUSR, 8 + 18 + 999999999},
        {"closing DATUSR", "</DATUSR>", EcedocType::OS, every, EcedocElement::DATUSR, true,
         EcedocRecord::None, 9},
    };
    for (const StepCase &c : cases) {
        Message m(c.body);
        EcedocStep step{};
        ASSERT_TRUE(readEcedocStep(m.view(), 0, c.type, c.headers, step)) << c.what;
        EXPECT_EQ(c.element, step.element) << c.what;
        EXPECT_EQ(c.closing, step.closing) << c.what;
        EXPECT_EQ(c.record, step.record) << c.what;
        EXPECT_EQ(c.next, step.next) << c.what;
    }
}

TEST(ReadEcedocStep, EveryTagRecognisedOverItsFullLength) {
    const char *names[] = {"ECEDOC", "PROLOG", "HEADER", "HDR010", "HDR020", "HDR030",
                           "HDR040", "ITMLST", "ITMDAT", "ITM010", "USRLST", "DATUSR"};
    for (const char *name : names) {
        for (bool closing : {false, true}) {
            std::string tag = std::string(closing ? "</" : "<") + name + ">";
            Message m(tag + "0000000000");
            EcedocStep step{};
            ASSERT_TRUE(readEcedocStep(m.view(), 0, EcedocType::ON,
                                       EcedocHeaderRecords::EveryDocument, step))
                << tag;
            EXPECT_EQ(closing, step.closing) << tag;
            EXPECT_STREQ(tag.c_str(), ecedocTagText(step.element, step.closing));
            // The tag cut by the end of the body is no tag.
            Message cut(tag.substr(0, tag.size() - 1));
            EXPECT_FALSE(readEcedocStep(cut.view(), 0, EcedocType::ON,
                                        EcedocHeaderRecords::EveryDocument, step))
                << tag;
        }
    }
    const char *notTags[] = {"<ecedoc>", "<HDR050>", "< ECEDOC>", "\r\n<ECEDOC>",
                             "<ECEDOC ", "</ECEDOC", ""};
    for (const char *text : notTags) {
        Message m(text);
        EcedocStep step{};
        EXPECT_FALSE(
            readEcedocStep(m.view(), 0, EcedocType::ON, EcedocHeaderRecords::EveryDocument, step))
            << text;
    }
}

TEST(WriteUnknownEcedocTag, FortyBytesAtMostStoppingAtTheEndOfTheBody) {
    const struct {
        std::string at;
        const char *expected;
    } cases[] = {
        {"\r\n<HEADER><HDR010>0100004150022026120709XYZ",
         "Unknown Tag (\r\n<HEADER><HDR010>0100004150022026120709)\n"},
        {std::string("<TRAILR>\0\0END", 13), "Unknown Tag (<TRAILR>  END)\n"},
        {"<EOD>", "Unknown Tag (<EOD>)\n"},
        {"", "Unknown Tag ()\n"},
    };
    for (const auto &c : cases) {
        // Bytes after the body must not show: the view ends before them.
        std::vector<unsigned char> buffer(c.at.begin(), c.at.end());
        buffer.insert(buffer.end(), 50, 'Z');
        ByteView at{buffer.data(), static_cast<int32_t>(c.at.size())};
        EXPECT_EQ(c.expected, capture([&](OutputSink &f) { writeUnknownEcedocTag(f, at); }));
    }
}

TEST(EcedocSummaryTags, EveryTagReadsAFieldOfItsRecord) {
    const EcedocRecord records[] = {
        EcedocRecord::HDR010PQ, EcedocRecord::HDR010OS,    EcedocRecord::HDR010PP,
        EcedocRecord::HDR010NC, EcedocRecord::HDR010ON,    EcedocRecord::HDR020,
        EcedocRecord::ITM010ON, EcedocRecord::ITM010Other,
    };
    for (EcedocRecord r : records) {
        const RecordLayout *layout = ecedocLayout(r);
        EcedocSummaryTags tags = ecedocSummaryTags(r);
        ASSERT_GT(tags.count, 0u) << layout->name;
        for (size_t i = 0; i < tags.count; ++i) {
            const EcedocSummaryTag &tag = tags.tags[i];
            // A misspelt name finds no field, and the tag is never written.
            const FieldLayout *field = fieldNamed(*layout, tag.field);
            ASSERT_NE(nullptr, field) << layout->name << " " << tag.field;
            EXPECT_LT(tag.length, field->length) << tag.field; // a part, or 0: the whole
            int32_t read = tag.length > 0 ? tag.length : field->length;
            EXPECT_LT(read, 65) << tag.field; // the value buffer's size
        }
    }
    for (EcedocRecord r : {EcedocRecord::PROLOG, EcedocRecord::HDR030, EcedocRecord::HDR040,
                           EcedocRecord::DATUSR, EcedocRecord::None})
        EXPECT_EQ(0u, ecedocSummaryTags(r).count);
}

} // namespace
