// Field line columns, blank suppression, prepared field lines, hasContent and copyTrimmed;
// the output sink's order of report bytes, standard output and standard error; summary
// tags; printed names with their control bytes escaped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "platform/platform.h"
#include "report/field_lines.h"
#include "report/output_sink.h"
#include "report/printable_name.h"
#include "report/summary_tags.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::DetailFlagGuard;
using qpeek::test::Message;
using qpeek::test::pad;

namespace {

struct FieldCase {
    const char *what;
    int detail;
    const char *name;
    int32_t length;
    std::string value;
    const char *description;
    std::string expected;
};

const std::vector<FieldCase> &fieldCases() {
    static const std::vector<FieldCase> cases = {
        {"value line", 0, "Version", 1, "2", " Structure version number",
         pad(pad("  Version", 20) + "2", 45) + " Structure version number\n"},
        {"heading line ignores the flag", 0, "rfh", 0, "", " Control record",
         pad("rfh", 45) + " Control record\n"},
        {"blank value suppressed", 0, "Format", 8, "        ", " d", ""},
        {"blank value shown with -d", 1, "Format", 8, "        ", " d",
         pad("  Format", 45) + " d\n"},
        {"zero bytes are content", 0, "Zeros", 8, std::string(8, '\0'), "",
         pad("  Zeros", 45) + "\n"},
        {"value cut at 25 characters", 0, "Long", 30, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", "D",
         pad("  Long", 20) + "ABCDEFGHIJKLMNOPQRSTUVWXY" + "D\n"},
        {"value stops at its zero byte", 0, "Z", 6, std::string("AB\0CD ", 6), "",
         pad(pad("  Z", 20) + "AB", 45) + "\n"},
        {"long name separated from value", 0, "AVeryLongFieldNameX", 3, "VAL", "",
         pad("  AVeryLongFieldNam", 20) + pad("VAL", 25) + "\n"},
        {"value longer than length", 0, "Len", 2, "ABCD", "",
         pad(pad("  Len", 20) + "AB", 45) + "\n"},
        {"negative length is a heading", 0, "Neg", -4, "ABCD", " d", pad("Neg", 45) + " d\n"},
    };
    return cases;
}

TEST(WriteField, ColumnsAndSuppression) {
    for (const FieldCase &c : fieldCases()) {
        DetailFlagGuard flag(c.detail);
        Message value(c.value);
        std::string got = capture(
            [&](OutputSink &f) { writeField(f, c.name, c.length, value.view(), c.description); });
        EXPECT_EQ(c.expected, got) << c.what;
    }
}

// The field line by the plain rules, apart from the code that puts values into lines: none
// when the first `length` value bytes are blanks (a byte past the view is no blank) and the
// detail flag is off, else the line with the value up to its first zero byte.
std::string referenceLine(const char *name, int32_t length, ByteView value,
                          const char *description) {
    bool blank = length > 0 && !detailFlag();
    for (int32_t i = 0; blank && i < length; ++i)
        blank = i < value.length && value.data[i] == ' ';
    if (blank)
        return "";
    char line[kFieldLineBufferSize];
    return std::string(line, formatFieldLine(line, name, length, value, description));
}

// Writes through a prepared field, as the IDoc report does.
std::string writePrepared(const PreparedField &field, ByteView value, int times = 1) {
    return capture([&](OutputSink &f) {
        for (int i = 0; i < times; ++i)
            writePreparedField(f, field, value);
    });
}

TEST(PreparedField, SameLinesAsWriteField) {
    for (const FieldCase &c : fieldCases()) {
        DetailFlagGuard flag(c.detail);
        Message value(c.value);
        PreparedField field;
        prepareField(field, c.name, c.length, c.description);
        EXPECT_EQ(c.expected, writePrepared(field, value.view())) << c.what;
    }
    // A value with its zero byte at any position, or cut by the end of the body anywhere,
    // against names and descriptions of every length class; lines enough to fill the
    // report buffer several times over.
    const std::string longDescription(3000, 'd');
    for (const char *name : {"N", "AVeryLongFieldNameXYZ0123456789012345678901234567890"}) {
        for (const char *description : {"", " Segment field", longDescription.c_str()}) {
            for (int32_t length : {3, 8, 16, 25, 40}) {
                PreparedField field;
                prepareField(field, name, length, description);
                for (size_t at = 0; at <= 30; ++at) {
                    std::string value = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
                    value[at] = '\0';
                    Message zero(value);
                    Message cut(value.substr(0, at));
                    for (Message *m : {&zero, &cut}) {
                        std::string expected = referenceLine(name, length, m->view(), description);
                        std::string got = writePrepared(field, m->view(), 40);
                        std::string repeated;
                        for (int i = 0; i < 40; ++i)
                            repeated += expected;
                        ASSERT_EQ(repeated, got) << name << " " << length << " " << at;
                    }
                }
            }
        }
    }
}

TEST(PreparedField, BlankTestAndValueOfLongViews) {
    // Blank fields of every length class, with one byte other than a blank (or a zero byte)
    // anywhere in or after them, in views that end before, at or long after the field:
    // the prepared line is dropped or written exactly as writeField decides.
    for (int detail : {0, 1}) {
        DetailFlagGuard flag(detail);
        for (int32_t length : {1, 2, 15, 16, 17, 24, 25, 26, 31, 32, 33, 40, 63, 64, 65, 70}) {
            PreparedField field;
            prepareField(field, "FIELD", length, " Segment field");
            for (int32_t at = -1; at <= length + 1; ++at) {
                for (char mark : {'x', '\0'}) {
                    for (int32_t size : {length - 1, length, 31, 32, 33, length + 40}) {
                        if (size < 0 || at >= size)
                            continue;
                        std::string value(static_cast<size_t>(size), ' ');
                        if (at >= 0)
                            value[static_cast<size_t>(at)] = mark;
                        Message m(value);
                        std::string expected =
                            referenceLine("FIELD", length, m.view(), " Segment field");
                        ASSERT_EQ(expected, capture([&](OutputSink &f) {
                                      writeField(f, "FIELD", length, m.view(), " Segment field");
                                  }))
                            << detail << " " << length << " " << at << " " << int(mark);
                        ASSERT_EQ(expected, writePrepared(field, m.view()))
                            << detail << " " << length << " " << at << " " << int(mark) << " "
                            << size;
                    }
                }
            }
        }
    }
}

TEST(OutputSink, LargeReportsKeepTheirOrder) {
    // Lines of many pieces go to the system past the stream's buffer, texts larger than the
    // sink's room go to the stream at once, formatted text goes into the buffer: every byte
    // stays in its place.
    PreparedField field;
    prepareField(field, "FIELD", 10, " a description long enough to vary the line ends");
    Message value("VALUE01234" + std::string(40, ' '));
    std::string line = capture([&](OutputSink &f) {
        writeField(f, "FIELD", 10, value.view(),
                   " a description long "
                   "enough to vary the "
                   "line ends");
    });
    for (int lines : {1, 2600, 2700, 20000}) {
        const std::string large(kOutputSlack + 1, 'L');
        std::string got = capture([&](OutputSink &f) {
            writeText(f, "before\n");
            for (int i = 0; i < lines; ++i) {
                writePreparedField(f, field, value.view());
                if (i == lines / 2)
                    writeBytes(f, large.data(), large.size());
            }
            writeFormatted(f, "after %d %s\n", lines, large.c_str());
        });
        std::string expected = "before\n";
        for (int i = 0; i < lines; ++i) {
            expected += line;
            if (i == lines / 2)
                expected += large;
        }
        expected += "after " + std::to_string(lines) + " " + large + "\n";
        ASSERT_EQ(expected.size(), got.size()) << lines;
        ASSERT_TRUE(expected == got) << lines;
    }
}

TEST(OutputSink, StandardErrorAndStandardOutputKeepTheirPlace) {
    // A message on standard error goes out after the report bytes the sink holds; lines for
    // standard output join the report when it goes there, and bypass a report file.
    for (bool reportOnStandardOutput : {true, false}) {
        FILE *file = std::tmpfile();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        std::string standardOutput;
        {
            OutputSink sink(reportOnStandardOutput ? stdout : file);
            writeText(sink, "report line\n");
            writeNameLine(sink, "Processing ", "a.qpk");
            writeErrorText(sink, "message\n");
            // Read before the sink is flushed again: only writeErrorText handed it over.
            standardOutput = testing::internal::GetCapturedStdout();
            writeText(sink, "after\n");
        }
        std::string standardError = testing::internal::GetCapturedStderr();
        std::fflush(file);
        std::rewind(file);
        char bytes[64] = {};
        std::string inFile(bytes, std::fread(bytes, 1, sizeof bytes, file));
        std::fclose(file);
        EXPECT_EQ("message\n", standardError);
        if (reportOnStandardOutput) {
            EXPECT_EQ("report line\nProcessing a.qpk\n", standardOutput);
            EXPECT_EQ("", inFile);
        } else {
            EXPECT_EQ("Processing a.qpk\n", standardOutput);
            EXPECT_EQ("report line\nafter\n", inFile);
        }
    }
}

TEST(SummaryTags, FormsOfATag) {
    const struct {
        TagForm form;
        const char *value;
        const char *expected;
    } cases[] = {
        {tag("PO"), "4711", "PO(4711) "},         {tag("C"), "", "C() "},
        {itemTag("M"), "MAT-1", "\n\tM(MAT-1) "}, {closingTag("T"), "101", "T(101)"},
        {paddedTag("F", 3), "A", "F(A  ) "},      {paddedTag("IDOC", 4), "123456", "IDOC(123456) "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.expected, capture([&](OutputSink &f) { writeTag(f, c.form, c.value); }))
            << c.expected;
    EXPECT_EQ("DLQ(2085) DQ(Q1) ", capture([](OutputSink &f) {
                  writeTag(f, "DLQ", "2085");
                  writeTag(f, "DQ", "Q1");
              }));
}

TEST(WriteLongNameField, ColumnsAndCuts) {
    const FieldCase cases[] = {
        {"value shows 15 characters", 0, "NC_ProductNumber", 20, "ABCDEFGHIJKLMNOPQRST", "",
         pad("  NC_ProductNumber", 35) + "ABCDEFGHIJKLMNO\n"},
        {"short value padded to column 50", 0, "VersionNumber", 2, "01", "",
         pad(pad("  VersionNumber", 35) + "01", 50) + "\n"},
        {"leading zero byte ends the line", 0, "FieldValue", 5, std::string("\0ABCD", 5), "",
         pad("  FieldValue", 35) + "\n"},
        {"description from column 50, line cut at 78", 0, "N", 3, "abc",
         "0123456789012345678901234567890123456789",
         pad(pad("  N", 35) + "abc", 50) + "0123456789012345678901234567\n"},
        {"blank suppressed", 0, "N", 4, "    ", "", ""},
        {"heading at column 0", 0, "FieldValue", 0, "", "", pad("FieldValue", 50) + "\n"},
    };
    for (const FieldCase &c : cases) {
        DetailFlagGuard flag(c.detail);
        Message value(c.value);
        std::string got = capture([&](OutputSink &f) {
            writeLongNameField(f, c.name, c.length, value.view(), c.description);
        });
        EXPECT_EQ(c.expected, got) << c.what;
    }
}

TEST(WriteField, ValuePastTheEndStopsThere) {
    // A field that runs past the end of the body shows the bytes up to the end.
    Message body("ABC");
    std::string got =
        capture([&](OutputSink &f) { writeField(f, "F", 10, body.view().from(1), ""); });
    EXPECT_EQ(pad(pad("  F", 20) + "BC", 45) + "\n", got);
}

TEST(HasContent, BlanksOnlyAndLengths) {
    struct {
        std::string value;
        int32_t length;
        int expected;
    } cases[] = {
        {"   ", 2, 0}, {" A", 2, 1}, {"AAA", 0, 0}, {"AAA", -3, 0}, {std::string("\0\0", 2), 2, 1},
        {"  ", 5, 1}, // past the end reads a zero byte
    };
    for (auto &c : cases) {
        Message m(c.value);
        EXPECT_EQ(c.expected, hasContent(m.view(), c.length))
            << '"' << c.value << "\" " << c.length;
    }
}

TEST(HasContent, EveryPositionOfLongFields) {
    // One byte other than a blank at any position within the length counts; one just past
    // the length does not.
    for (int32_t length = 1; length <= 40; ++length) {
        Message blanks(std::string(static_cast<size_t>(length) + 8, ' '));
        EXPECT_EQ(0, hasContent(blanks.view(), length)) << length;
        for (int32_t at = 0; at < length + 8; ++at) {
            std::string value(static_cast<size_t>(length) + 8, ' ');
            value[static_cast<size_t>(at)] = 'x';
            Message m(value);
            EXPECT_EQ(at < length ? 1 : 0, hasContent(m.view(), length)) << length << " " << at;
        }
    }
}

TEST(CopyTrimmed, TrimsBlanksNotZeros) {
    struct {
        std::string value;
        int32_t length;
        std::string expected;
    } cases[] = {
        {"  AB  ", 6, "AB"},    {"      ", 6, ""}, {std::string("AB  \0\0", 6), 6, "AB  "},
        {"A B C ", 6, "A B C"}, {" X", 0, ""},     {"1.000  ", 7, "1.000"},
    };
    for (auto &c : cases) {
        Message m(c.value);
        char dst[64];
        EXPECT_EQ(c.expected, std::string(copyTrimmed(dst, sizeof dst, m.view(), c.length)))
            << '"' << c.value << '"';
    }
    // Bounded by the destination.
    Message m("ABCDEFGH");
    char small[4];
    EXPECT_EQ("ABC", std::string(copyTrimmed(small, sizeof small, m.view(), 8)));
}

} // namespace

TEST(PrintableName, ControlBytesEscapedOnePerLine) {
    // Windows names cannot hold control bytes: there every name is printed as it is.
    const bool escapes = platform::kNamesMayHoldControlBytes;
    struct {
        const char *what;
        std::string name;
        std::string escaped;
    } cases[] = {
        {"plain name", "dir/a b.qpk", "dir/a b.qpk"},
        {"empty name", "", ""},
        {"line feed", "a\nProcessing b", "a\\nProcessing b"},
        {"tab and carriage return", "\ta\r", "\\ta\\r"},
        {"escape sequence", "x\x1b[31my", "x\\x1b[31my"},
        {"delete and the other control bytes", "\x7f\x01\x1f", "\\x7f\\x01\\x1f"},
        {"a backslash and bytes above 0x7f stay", "a\\n\xc3\xa4\x80", "a\\n\xc3\xa4\x80"},
        {"control bytes back to back at the end", "a\n\n", "a\\n\\n"},
    };
    for (auto &c : cases) {
        const std::string &expected = escapes ? c.escaped : c.name;
        std::string text("<");
        appendPrintableName(text, c.name.c_str());
        EXPECT_EQ("<" + expected, text) << c.what;
        // Into the sink when the report goes to standard output.
        testing::internal::CaptureStdout();
        {
            OutputSink sink(stdout);
            writeNameLine(sink, "Unable to open ", c.name.c_str());
        }
        std::fflush(stdout);
        EXPECT_EQ("Unable to open " + expected + "\n", testing::internal::GetCapturedStdout())
            << c.what;
    }
}
