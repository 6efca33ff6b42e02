// Parser-definition reader: line splitting, numbers, and the block readers' forgiving rules.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "idoc/definition_reader.h"
#include "idoc_test_support.h"

namespace qpeek {
namespace {

using test::cached;
using test::readDefinitions;

struct SplitCase {
    const char *line;
    const char *keyword;
    const char *value;
};

TEST(DefinitionLine, SplitsKeywordAndValue) {
    const SplitCase cases[] = {
        {"LENGTH 000010\n", "LENGTH", "000010"},
        {"LENGTH=000010\n", "LENGTH", "000010"},
        {"  LENGTH = 000010  \r\n", "LENGTH", "000010"},
        {"\tNAME\t=\tIDOCTYP\n", "NAME", "IDOCTYP"},
        {"TEXT    Name of table structure   \n", "TEXT", "Name of table structure"},
        {"TEXT a = b\n", "TEXT", "a = b"},        // blanks and "=" inside a value stay
        {"TEXT tabbed\t \n", "TEXT", "tabbed\t"}, // trailing blanks go, tabs stay
        {"TEXT two\rlines\n", "TEXT", "two"},     // the value ends at a carriage return
        {"END_FIELDS", "END_FIELDS", ""},
        {"", "", ""},
        {"   \t \r\n", "", ""},
        {"* comment line\n", "", "comment line"},
        {"  #NAME X\n", "", "X"},
        {"/TEXT y\n", "", "y"},
        {"-- LENGTH 3\n", "", "LENGTH 3"},
        {"=*=NAME\n", "", "NAME"}, // the comment test follows the leading separators
    };
    for (const SplitCase &c : cases) {
        char line[kDefinitionLineSize];
        std::strcpy(line, c.line);
        const char *keyword = nullptr;
        const char *value = nullptr;
        splitDefinitionLine(line, &keyword, &value);
        EXPECT_STREQ(keyword, c.keyword) << c.line;
        EXPECT_STREQ(value, c.value) << c.line;
    }
}

TEST(DefinitionLine, ReadsLeadingDecimalSaturated) {
    const struct {
        const char *text;
        int32_t value;
    } cases[] = {
        {"000010", 10},
        {"  -5", -5},
        {"+7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"2147483647", INT32_MAX},
        {"99999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999", INT32_MIN},
        {"- 5", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readDecimal(c.text), c.value) << c.text;
}

class DefinitionReader : public testing::Test {
  protected:
    void SetUp() override { clearDefinitions(processDefinitionStore()); }
    void TearDown() override { clearDefinitions(processDefinitionStore()); }
};

const DefinitionNode &member(const IdocDefinition *d, size_t i) {
    return *d->members.at(i);
}

TEST_F(DefinitionReader, ReadsTheGrammarWithAnySeparators) {
    std::string out = readDefinitions("BEGIN_SEGMENT_SECTION\n"
                                      "BEGIN_IDOC=ORDERS05\n"
                                      "  BEGIN_SEGMENT E2EDK01005\n"
                                      "  TEXT    Document header   \n"
                                      "  STATUS OPTIONAL\n  LOOPMIN 1\n  LOOPMAX = 000010\n"
                                      "  BEGIN_FIELDS\n"
                                      "    NAME=ACTION\n    TEXT Action code\n    LENGTH 000003\n"
                                      "    NAME ACTION2\n    LENGTH=3\n    TYPE CHARACTER\n"
                                      "  END_FIELDS\n"
                                      "  END_SEGMENT\n"
                                      "END_IDOC\n"
                                      "END_SEGMENT_SECTION\n");
    EXPECT_EQ(out, "");
    const IdocDefinition *d = cached("ORDERS05");
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->members.size(), 1u);
    const DefinitionNode &s = member(d, 0);
    EXPECT_EQ(s.kind, NodeKind::Segment);
    EXPECT_EQ(s.name, "E2EDK01005");
    EXPECT_EQ(s.description, "Document header");
    EXPECT_FALSE(s.mandatory);
    EXPECT_EQ(s.loopMin, 1);
    EXPECT_EQ(s.loopMax, 10);
    ASSERT_EQ(s.fields.size(), 2u);
    EXPECT_EQ(s.fields[0].name, "ACTION");
    EXPECT_EQ(s.fields[0].description, "Action code");
    EXPECT_EQ(s.fields[0].length, 3);
    EXPECT_EQ(s.fields[1].name, "ACTION2");
    EXPECT_EQ(s.fields[1].description, "");
    EXPECT_EQ(s.fields[1].length, 3);
}

TEST_F(DefinitionReader, StatusIsMandatoryOnlyForThatWordInAnyCase) {
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\n"
                    "BEGIN_SEGMENT A\nEND_SEGMENT\n"
                    "BEGIN_SEGMENT B\nSTATUS mandatory\nEND_SEGMENT\n"
                    "BEGIN_SEGMENT C\nSTATUS Mandatory\nEND_SEGMENT\n"
                    "BEGIN_SEGMENT D\nSTATUS OPTIONAL\nEND_SEGMENT\n"
                    "BEGIN_SEGMENT E\nSTATUS REQUIRED\nEND_SEGMENT\n"
                    "BEGIN_GROUP 1\nSTATUS optional\nEND_GROUP\n");
    const IdocDefinition *d = cached("T");
    ASSERT_NE(d, nullptr);
    const bool expected[] = {true, true, true, false, false, false};
    ASSERT_EQ(d->members.size(), 6u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(member(d, i).mandatory, expected[i]) << i;
    EXPECT_EQ(member(d, 0).loopMax, 0);
}

TEST_F(DefinitionReader, OutermostLevelReportsUnknownKeywordsButNotComments) {
    std::string out = readDefinitions("* a comment\n# another\n"
                                      "begin_idoc X\n"
                                      "END_SEGMENT_SECTION\n"
                                      "BEGIN_SEGMENT_SECTION\n"
                                      "begin_idoc Y\n" // inside a section: skipped silently
                                      "BEGIN_IDOC Z\nEND_IDOC\n"
                                      "END_SEGMENT_SECTION\n"
                                      "BEGIN_RECORD_SECTION\n");
    EXPECT_EQ(out, "Unexspected token 'begin_idoc'\n"
                   "Unexspected token 'END_SEGMENT_SECTION'\n"
                   "Unexspected token 'BEGIN_RECORD_SECTION'\n");
    EXPECT_EQ(cached("Y"), nullptr);
    EXPECT_NE(cached("Z"), nullptr);
}

TEST_F(DefinitionReader, FieldsBlocksAddUpAndLaterTextReplaces) {
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\nBEGIN_SEGMENT S\n"
                    "TEXT A\n"
                    "BEGIN_FIELDS\nNAME F1\nLENGTH 1\nEND_FIELDS\n"
                    "TEXT B\n"
                    "BEGIN_FIELDS\nLENGTH 9\nTEXT orphan\nNAME F2\nLENGTH 2\nNAME F3\nEND_FIELDS\n"
                    "END_SEGMENT\nEND_IDOC\nEND_SEGMENT_SECTION\n");
    const DefinitionNode &s = member(cached("T"), 0);
    EXPECT_EQ(s.description, "B");
    ASSERT_EQ(s.fields.size(), 3u);
    EXPECT_EQ(s.fields[0].name, "F1");
    EXPECT_EQ(s.fields[1].name, "F2");
    EXPECT_EQ(s.fields[1].length, 2);
    EXPECT_EQ(s.fields[1].description, ""); // TEXT before the first NAME is skipped
    EXPECT_EQ(s.fields[2].name, "F3");
    EXPECT_EQ(s.fields[2].length, 0);
}

TEST_F(DefinitionReader, EndOfFileClosesEveryOpenBlock) {
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\nBEGIN_GROUP 01\n"
                    "BEGIN_SEGMENT S\nBEGIN_FIELDS\nNAME ACTION");
    const IdocDefinition *d = cached("T");
    ASSERT_NE(d, nullptr);
    const DefinitionNode &g = member(d, 0);
    EXPECT_EQ(g.kind, NodeKind::Group);
    EXPECT_EQ(g.name, "S");
    ASSERT_EQ(g.members.size(), 1u);
    ASSERT_EQ(g.members[0]->fields.size(), 1u);
    EXPECT_EQ(g.members[0]->fields[0].name, "ACTION");
    EXPECT_EQ(g.members[0]->fields[0].length, 0);
}

TEST_F(DefinitionReader, MissingEndSegmentMergesTheNextSegment) {
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\n"
                    "BEGIN_SEGMENT S1\nTEXT first\nBEGIN_FIELDS\nNAME A\nEND_FIELDS\n"
                    "BEGIN_SEGMENT S2\nTEXT second\nBEGIN_FIELDS\nNAME B\nEND_FIELDS\nEND_SEGMENT\n"
                    "BEGIN_SEGMENT S3\nEND_SEGMENT\n"
                    "END_IDOC\nEND_SEGMENT_SECTION\n");
    const IdocDefinition *d = cached("T");
    ASSERT_EQ(d->members.size(), 2u);
    const DefinitionNode &s = member(d, 0);
    EXPECT_EQ(s.name, "S1");
    EXPECT_EQ(s.description, "second");
    ASSERT_EQ(s.fields.size(), 2u);
    EXPECT_EQ(s.fields[1].name, "B");
    EXPECT_EQ(member(d, 1).name, "S3");
}

TEST_F(DefinitionReader, GroupTakesTheNameOfItsFirstMember) {
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\n"
                    "BEGIN_GROUP 01\nSTATUS OPTIONAL\nLOOPMAX 9999\n"
                    "BEGIN_SEGMENT E2EDP01005\nEND_SEGMENT\nBEGIN_SEGMENT E2EDP19\nEND_SEGMENT\n"
                    "END_GROUP\n"
                    "BEGIN_GROUP 02\nEND_GROUP\n"
                    "BEGIN_GROUP 03\nBEGIN_GROUP 04\nBEGIN_SEGMENT X\nEND_SEGMENT\nEND_GROUP\n"
                    "END_GROUP\n"
                    "END_IDOC\nEND_SEGMENT_SECTION\n");
    const IdocDefinition *d = cached("T");
    ASSERT_EQ(d->members.size(), 3u);
    EXPECT_EQ(member(d, 0).name, "E2EDP01005");
    EXPECT_FALSE(member(d, 0).mandatory);
    EXPECT_EQ(member(d, 0).loopMax, 9999);
    EXPECT_EQ(member(d, 1).name, "02"); // no members: keeps its own value
    // A group opened by a group takes that group's opening value, read before its members.
    EXPECT_EQ(member(d, 2).name, "04");
    EXPECT_EQ(member(d, 2).members[0]->name, "X");
}

TEST_F(DefinitionReader, KeepsTheFirstDefinitionOfAName) {
    const char *text = "BEGIN_SEGMENT_SECTION\n"
                       "BEGIN_IDOC ORDERS05\nBEGIN_SEGMENT FIRST\nEND_SEGMENT\nEND_IDOC\n"
                       "BEGIN_IDOC ORDERS04\nEND_IDOC\n"
                       "BEGIN_IDOC ORDERS05\nBEGIN_SEGMENT SECOND\nEND_SEGMENT\nEND_IDOC\n"
                       "END_SEGMENT_SECTION\n";
    readDefinitions(text);
    readDefinitions(text);
    EXPECT_EQ(processDefinitionStore().definitions.size(), 2u);
    EXPECT_EQ(member(cached("ORDERS05"), 0).name, "FIRST");
    EXPECT_NE(cached("ORDERS04"), nullptr);
    EXPECT_EQ(cached("orders05"), nullptr); // names compare with letter case
}

TEST_F(DefinitionReader, CutsLongTextsAndLines) {
    std::string longName(300, 'N');
    std::string longLine(5000, 'x'); // a line read as two: neither is a keyword we know
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC " + longName + "\nBEGIN_SEGMENT S\nTEXT " +
                    std::string(400, 'd') + "\n" + longLine + "\nEND_SEGMENT\nEND_IDOC\n");
    ASSERT_EQ(processDefinitionStore().definitions.size(), 1u);
    EXPECT_NE(cached(std::string(255, 'N').c_str()), nullptr);
    EXPECT_EQ(member(cached(std::string(255, 'N').c_str()), 0).description, std::string(255, 'd'));
}

TEST_F(DefinitionReader, LongLineRemainderIsReadAsALineOfItsOwn) {
    // A line is read in pieces of at most 4095 bytes: what follows the first piece is a line
    // of its own, even when it begins with a keyword.
    readDefinitions("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\nBEGIN_SEGMENT S\nBEGIN_FIELDS\n" +
                    std::string(kDefinitionLineSize - 1, 'x') + "NAME TAIL\nLENGTH 7\n");
    const IdocDefinition *d = cached("T");
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(member(d, 0).fields.size(), 1u);
    EXPECT_EQ(member(d, 0).fields[0].name, "TAIL");
    EXPECT_EQ(member(d, 0).fields[0].length, 7);
}

TEST_F(DefinitionReader, LineEndsZeroBytesAndValueEndsAsTheLineReaderGivesThem) {
    // A zero byte ends a line's text (the rest up to the line feed is not read); a carriage
    // return ends a value, and the number of a value is read from the value alone; a line of
    // exactly 4095 bytes leaves its line feed as an empty line; the last line needs no line
    // feed.
    std::string text = std::string("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\nBEGIN_SEGMENT S\n") +
                       "BEGIN_FIELDS\nNAME A\nLENGTH \v\r5\nNAME B" + std::string(1, '\0') +
                       "C\nLENGTH 12" + std::string(1, '\0') + "3\nNAME " +
                       std::string(kDefinitionLineSize - 6, 'L') + "\nLENGTH 4\nNAME LAST";
    EXPECT_EQ(readDefinitions(text), "");
    const IdocDefinition *d = cached("T");
    ASSERT_NE(d, nullptr);
    const std::vector<FieldDefinition> &f = member(d, 0).fields;
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].name, "A");
    EXPECT_EQ(f[0].length, 0);
    EXPECT_EQ(f[1].name, "B");
    EXPECT_EQ(f[1].length, 12);
    EXPECT_EQ(f[2].name, std::string(kDefinitionTextLimit, 'L'));
    EXPECT_EQ(f[2].length, 4);
    EXPECT_EQ(f[3].name, "LAST");
}

TEST_F(DefinitionReader, LinesAcrossTheReadBlocksOfALargeFile) {
    // Files are read in large blocks: lines, long lines and line ends that straddle a block
    // boundary (wherever it falls among the first few megabytes) read like any other.
    std::string text = "BEGIN_SEGMENT_SECTION\n";
    int types = 0;
    while (text.size() < (3u << 20)) {
        std::string name = "T" + std::to_string(types++);
        text += "BEGIN_IDOC " + name + "\nBEGIN_SEGMENT S" + name + "\n* " +
                std::string(static_cast<size_t>(types * 37 % 5000), '-') + "\nBEGIN_FIELDS\n";
        for (int f = 0; f < 40; ++f)
            text += "  NAME F" + std::to_string(f) + "\r\n  LENGTH " + std::to_string(f + 1) +
                    "\n  TEXT field " + std::to_string(f) + " of " + name + "\n";
        text += "END_FIELDS\nEND_SEGMENT\nEND_IDOC\n";
    }
    EXPECT_EQ(readDefinitions(text + "END_SEGMENT_SECTION\n"), "");
    ASSERT_EQ(processDefinitionStore().definitions.size(), static_cast<size_t>(types));
    for (int t = 0; t < types; ++t) {
        std::string name = "T" + std::to_string(t);
        const IdocDefinition *d = cached(name.c_str());
        ASSERT_NE(d, nullptr) << name;
        const DefinitionNode &s = member(d, 0);
        ASSERT_EQ(s.name, "S" + name);
        ASSERT_EQ(s.fields.size(), 40u) << name;
        for (int f = 0; f < 40; ++f) {
            ASSERT_EQ(s.fields[f].name, "F" + std::to_string(f)) << name;
            ASSERT_EQ(s.fields[f].length, f + 1) << name;
            ASSERT_EQ(s.fields[f].description, "field " + std::to_string(f) + " of " + name);
        }
    }
}

TEST_F(DefinitionReader, DeepGroupNestingIsBounded) {
    std::string text = "BEGIN_SEGMENT_SECTION\nBEGIN_IDOC T\n";
    for (int i = 0; i < 5000; ++i)
        text += "BEGIN_GROUP 1\n";
    text += "BEGIN_SEGMENT S\n";
    readDefinitions(text);
    const DefinitionNode *node = cached("T")->members.at(0).get();
    int depth = 1;
    while (!node->members.empty() && node->members[0]->kind == NodeKind::Group) {
        node = node->members[0].get();
        ++depth;
    }
    EXPECT_EQ(depth, kMaxGroupDepth);
    ASSERT_EQ(node->members.size(), 1u);
    EXPECT_EQ(node->members[0]->name, "S");
}

} // namespace
} // namespace qpeek
