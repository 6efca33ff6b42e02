// qpeek-import's readers: faults reported with their line, the same message files whatever
// the buffer cuts, and message files that appear whole or not at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "import/input_buffer.h"
#include "import/message_writer.h"
#include "import/save_reader.h"
#include "import/unload_reader.h"

namespace fs = std::filesystem;
using namespace qpeek::import;

namespace {

using Bytes = std::vector<unsigned char>;

struct ImportResult {
    bool ok = false;
    ImportProblem problem;
    std::vector<Bytes> files;
};

ImportResult importBytes(const Bytes &input, size_t bufferSize = kInputBufferSize,
                         size_t readLimit = 0, const std::string &delimiter = "#@#@#") {
    InputBuffer in;
    openMemoryInput(in, input.data(), input.size(), bufferSize);
    in.readLimit = readLimit;
    MessageWriter w;
    prepareWriter(w, bufferSize < 64 ? 64 : bufferSize);
    w.mode = WriteMode::Memory;
    w.prefix = "m";
    ImportResult r;
    SaveCounts counts;
    r.ok = looksLikeUnload(in) ? importUnload(in, w, r.problem)
                               : importSave(in, delimiter, w, counts, r.problem);
    r.files = w.captured;
    return r;
}

Bytes bytesOf(const std::string &s) {
    return Bytes(s.begin(), s.end());
}

Bytes readFile(const fs::path &path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

fs::path dataDirectory() {
    const char *root = std::getenv("QPEEK_ROOT");
    return fs::path(root ? root : ".") / "tests" / "data" / "import";
}

const std::string kHeader = "* QLOAD Version:8.0\n\n";

} // namespace

// Each fault stops the input at its line; messages before it are kept, the one it is in is
// dropped.
TEST(ImportUnload, FaultsNameTheirLine) {
    struct Case {
        const char *input; // after the header lines (lines 1 and 2)
        uint64_t line;
        const char *text;
        size_t kept;
    } cases[] = {
        {"A VER 2\nA XYZ 1\n", 4, "unknown attribute code \"XYZ\"", 0},
        {"N\nX 41424\n", 4, "odd number of hex digits", 0},
        {"N\nX 414 ASCII\n", 4, "odd number of hex digits", 0},
        {"A MSI 0102030\n", 3, "odd number of hex digits in the value of MSI", 0},
        {"A MSI 01020304050607080910111213141516171819202122232425\n", 3,
         "value of MSI too long for its field (at most 24 bytes)", 0},
        {"A FMT MQSTR   X\n", 3, "value of FMT too long for its field (at most 8 bytes)", 0},
        {"A PRI -2147483649\n", 3, "value of PRI out of range for its field", 0},
        {"A EXP 10 s\n", 3, "value of EXP is not a decimal number", 0},
        {"A COI 0G\n", 3, "value of COI is not hexadecimal", 0},
        {"\n\nX 41\n", 5, "data line before any message (no A or N line yet)", 0},
        {"N\nS \"open\nS \"next\"\n", 4, "truncated S line: no closing quote", 0},
        {"N\nS \"a~\"\n", 4, "truncated S line: no closing quote", 0},
        {"N\nS \"a\" b\n", 4, "text after the closing quote of an S line", 0},
        {"N\nXX 41\n", 4, "unrecognised line beginning \"X\" (expected *, A, N, X, S or T)", 0},
        {"N\n  x\n", 4, "line begins with a blank but is not empty", 0},
        {"A\n", 3, "attribute line without a three-letter code", 0},
        {"N\nX 41\nN\nT ok\nA VER 2\nX 4\n", 8, "odd number of hex digits", 2},
        // Faults past the first piece of a line longer than a small buffer.
        {"N\n                                                                            "
         "                    x\n",
         4, "line begins with a blank but is not empty", 0},
        {"N\nS \"                                                                         "
         "                       \n",
         4, "truncated S line: no closing quote", 0},
        {"A USR mqm                                                                      "
         "                                                                               "
         "        x\n",
         3, "value of USR too long for its field (at most 12 bytes)", 0},
    };
    for (const Case &c : cases)
        for (size_t bufferSize : {size_t{80}, kInputBufferSize}) {
            ImportResult r = importBytes(bytesOf(kHeader + c.input), bufferSize);
            EXPECT_FALSE(r.ok) << c.input;
            EXPECT_EQ(r.problem.line, c.line) << c.input << " buffer " << bufferSize;
            EXPECT_EQ(r.problem.text, c.text) << c.input << " buffer " << bufferSize;
            EXPECT_EQ(r.files.size(), c.kept) << c.input << " buffer " << bufferSize;
        }
}

// Attribute and data lines at their edges.
TEST(ImportUnload, LinesAtTheirEdges) {
    struct Case {
        const char *input;
        const char *body; // of the only message
        bool descriptor;  // the file begins with a descriptor
    } cases[] = {
        {"N\nX \n", "", false},
        {"N\nX\n", "", false},
        {"N\nX 4d44\n", "MD", true}, // a body that would read as a descriptor gets one
        {"N\nX 4D\n", "M", false},
        {"N\nS plain text   \n", "plain text", false},
        {"N\nS \"~~~\"~x\"\n", "~\"~x", false},
        {"N\nT one\nT\nT two  \n", "one\n\ntwo  \n", false},
        {"N\r\nT crlf\r\nX 41\r\n", "crlf\nA", false},
        {"N\nT no line end at the end", "no line end at the end\n", false},
        {"A RTQ\nA RTQ \nX 41\n", "A", true},
        {"\n* Index 1\nA VER 1\n\n* comment between\nX 41\n\n", "A", true},
    };
    for (const Case &c : cases) {
        ImportResult r = importBytes(bytesOf(kHeader + c.input));
        ASSERT_TRUE(r.ok) << c.input << ": " << r.problem.text;
        ASSERT_EQ(r.files.size(), 1u) << c.input;
        const Bytes &f = r.files[0];
        size_t skip = c.descriptor ? 364 : 0;
        ASSERT_GE(f.size(), skip) << c.input;
        EXPECT_EQ(std::string(f.begin() + static_cast<long>(skip), f.end()), c.body) << c.input;
        if (c.descriptor)
            EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "MD  ") << c.input;
    }
}

// A descriptor line after data lines starts the next message; an attribute line left short
// keeps the default; values fill their fields as the loader lays them out.
TEST(ImportUnload, AttributesFillTheDescriptor) {
    ImportResult r = importBytes(
        bytesOf(kHeader + "A VER 2\nA PRI  -7 \nA RTQ Q1\nA MSI 0A0b\nA PAN \nX 41\nA CCS 1208\n"));
    ASSERT_TRUE(r.ok) << r.problem.text;
    ASSERT_EQ(r.files.size(), 2u);
    qpeek::Mqmd md;
    std::copy(r.files[0].begin(), r.files[0].begin() + 364, md.bytes);
    EXPECT_EQ(md.integer(qpeek::mqmd::kVersion), 2);
    EXPECT_EQ(md.integer(qpeek::mqmd::kPriority), -7);
    EXPECT_EQ(md.integer(qpeek::mqmd::kPersistence), 2); // default
    EXPECT_EQ(std::string(md.text(qpeek::mqmd::kReplyToQ), 48), "Q1" + std::string(46, ' '));
    EXPECT_EQ(md.bytes[qpeek::mqmd::kMsgId], 0x0A);
    EXPECT_EQ(md.bytes[qpeek::mqmd::kMsgId + 1], 0x0B);
    EXPECT_EQ(md.bytes[qpeek::mqmd::kMsgId + 2], 0);
    EXPECT_EQ(md.bytes[qpeek::mqmd::kPutApplName], 0); // "A PAN " is shorter than 7
    EXPECT_EQ(r.files[1].size(), 364u);
}

// Every test input gives the expected message files, whatever the buffer size and however
// short the reads: lines, hexadecimal pairs, escapes and delimiters cut anywhere.
TEST(ImportInputs, SameFilesWhateverTheBufferCuts) {
    fs::path dir = dataDirectory();
    ASSERT_TRUE(fs::is_directory(dir)) << dir;
    int inputs = 0;
    for (const auto &entry : fs::directory_iterator(dir)) {
        fs::path path = entry.path();
        std::string ext = path.extension().string();
        if (ext != ".unl" && ext != ".sav")
            continue;
        ++inputs;
        std::string stem = path.stem().string();
        std::string delimiter = stem.size() > 5 && stem.rfind("_0D0A") == stem.size() - 5
                                    ? std::string("\r\n")
                                    : std::string("#@#@#");
        std::vector<Bytes> expected;
        for (int n = 1;; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "-%06d.qpk", n);
            fs::path e = dir / "expected" / (stem + name);
            if (!fs::exists(e))
                break;
            expected.push_back(readFile(e));
        }
        ASSERT_FALSE(expected.empty()) << stem;
        Bytes input = readFile(path);
        for (size_t bufferSize :
             {size_t{80}, size_t{81}, size_t{97}, size_t{333}, kInputBufferSize})
            for (size_t readLimit : {size_t{0}, size_t{1}, size_t{7}}) {
                ImportResult r = importBytes(input, bufferSize, readLimit, delimiter);
                ASSERT_TRUE(r.ok) << stem << " buffer " << bufferSize << ": " << r.problem.text;
                ASSERT_EQ(r.files.size(), expected.size()) << stem << " buffer " << bufferSize;
                for (size_t i = 0; i < expected.size(); ++i)
                    EXPECT_TRUE(r.files[i] == expected[i])
                        << stem << " message " << i + 1 << " buffer " << bufferSize
                        << " read limit " << readLimit;
            }
    }
    EXPECT_GE(inputs, 10);
}

// Message files appear under their final name only when complete; a fault in a later message
// keeps the earlier files and leaves no other file; an existing file is kept unless replacing.
TEST(ImportWriter, FilesAppearWholeOrNotAtAll) {
    fs::path dir = fs::temp_directory_path() / ("qpeek_import_test_" + std::to_string(std::rand()));
    fs::create_directories(dir);
    auto run = [&](const std::string &text, bool replace, ImportProblem &problem) {
        Bytes input = bytesOf(kHeader + text);
        InputBuffer in;
        openMemoryInput(in, input.data(), input.size());
        MessageWriter w;
        prepareWriter(w);
        w.directory = dir.string();
        w.prefix = "q";
        w.replace = replace;
        return importUnload(in, w, problem);
    };
    auto names = [&] {
        std::vector<std::string> list;
        for (const auto &e : fs::directory_iterator(dir))
            list.push_back(e.path().filename().string());
        std::sort(list.begin(), list.end());
        return list;
    };
    ImportProblem problem;
    EXPECT_FALSE(run("N\nT first\nN\nT second\nX 4\n", false, problem));
    EXPECT_EQ(names(), std::vector<std::string>{"q-000001.qpk"});
    EXPECT_EQ(readFile(dir / "q-000001.qpk"), bytesOf("first\n"));

    EXPECT_FALSE(run("N\nT other\n", false, problem));
    EXPECT_EQ(problem.text, dir.string() + "/q-000001.qpk exists (-f replaces it)");
    EXPECT_EQ(readFile(dir / "q-000001.qpk"), bytesOf("first\n"));

    EXPECT_TRUE(run("N\nT other\nN\nT two\n", true, problem)) << problem.text;
    EXPECT_EQ(names(), (std::vector<std::string>{"q-000001.qpk", "q-000002.qpk"}));
    EXPECT_EQ(readFile(dir / "q-000001.qpk"), bytesOf("other\n"));
    fs::remove_all(dir);
}

// A body that begins with "MD" gets the default descriptor in front, also when its first
// byte comes in one data line and the rest in a long one, with any buffer size.
TEST(ImportUnload, BodyBeginningMdAcrossLines) {
    std::string input = kHeader + "N\nX 4D\nX " + std::string(800, '4') + "\n";
    for (size_t bufferSize : {size_t{80}, size_t{100}, size_t{200}, kInputBufferSize}) {
        ImportResult r = importBytes(bytesOf(input), bufferSize);
        ASSERT_TRUE(r.ok) << r.problem.text;
        ASSERT_EQ(r.files.size(), 1u);
        EXPECT_EQ(r.files[0].size(), 364u + 401u) << "buffer " << bufferSize;
    }
}
