// The platform services against a real file system: directory search, message-file
// reading, current directory, environment, user name and executable path. Where the
// Windows build behaves differently by design (letter case, "." and ".."), the expected
// result depends on the build's path separator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fs = std::filesystem;
using namespace qpeek;

namespace {

const bool kWindows = platform::kPathSeparator == '\\';

// A fresh directory with a few message files in it, removed at the end of the test.
struct Scratch {
    fs::path dir;
    Scratch() {
        static int serial = 0;
        dir = fs::temp_directory_path() /
              ("qpeek-platform-" + std::to_string(std::rand()) + "-" + std::to_string(++serial));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string file(const std::string &name, const std::string &bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    }
    std::string pattern(const std::string &last) const { return dir.string() + "/" + last; }
};

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct SearchCase {
    const char *pattern;
    std::vector<std::string> posix; // empty: no match
    std::vector<std::string> windows;
};

TEST(FindFiles, WildcardsCaseAndDotEntries) {
    Scratch s;
    s.file("alpha.qpk", "A");
    s.file("Beta.QPK", "B");
    s.file("gamma.txt", "G");
    s.file("ab", "X");
    fs::create_directory(s.dir / "sub.qpk");
    const SearchCase cases[] = {
        {"*.qpk", {"alpha.qpk", "sub.qpk"}, {"Beta.QPK", "alpha.qpk", "sub.qpk"}},
        {"?eta.QPK", {"Beta.QPK"}, {"Beta.QPK"}},
        {"a*", {"ab", "alpha.qpk"}, {"ab", "alpha.qpk"}},
        {"??", {"ab"}, {"..", "ab"}}, // ".." is a two-character name like any other
        {"*",
         {"Beta.QPK", "ab", "alpha.qpk", "gamma.txt", "sub.qpk"},
         {".", "..", "Beta.QPK", "ab", "alpha.qpk", "gamma.txt", "sub.qpk"}},
        {"alpha.qpk", {"alpha.qpk"}, {"alpha.qpk"}},
        // The system's search hands back the entry's own spelling.
        {"ALPHA.qpk", {}, {"alpha.qpk"}},
        {"sub.qpk", {"sub.qpk"}, {"sub.qpk"}},
        {"*.none", {}, {}},
        {"missing.qpk", {}, {}},
        {"nodir/*.qpk", {}, {}},
    };
    for (const SearchCase &c : cases) {
        std::vector<std::string> names;
        bool found = platform::findFiles(s.pattern(c.pattern), names);
        const std::vector<std::string> &expected = kWindows ? c.windows : c.posix;
        EXPECT_EQ(found, !expected.empty()) << c.pattern;
        EXPECT_EQ(sorted(names), expected) << c.pattern;
        if (!kWindows)
            EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << c.pattern;
    }
}

TEST(ReadMessageFile, RegularFilesOnly) {
    Scratch s;
    // Zero bytes, carriage returns and a ^Z must all arrive unchanged.
    const std::string binary("MD\0\r\n\x1a\xff end", 11);
    struct Case {
        const char *what;
        std::string path;
        platform::ReadStatus status;
        std::string bytes;
    } cases[] = {
        {"binary bytes", s.file("bin.qpk", binary), platform::ReadStatus::Ok, binary},
        {"empty file", s.file("empty.qpk", ""), platform::ReadStatus::Ok, ""},
        {"directory", s.dir.string(), platform::ReadStatus::CannotOpen, ""},
        {"missing file", (s.dir / "missing.qpk").string(), platform::ReadStatus::CannotOpen, ""},
        {"empty path", "", platform::ReadStatus::CannotOpen, ""},
        {"device name (a missing file outside Windows)", "NUL", platform::ReadStatus::CannotOpen,
         ""},
    };
    // One buffer for every read, as the loader keeps it: a long file first.
    std::vector<unsigned char> buffer;
    int32_t length = -1;
    ASSERT_EQ(platform::readMessageFile(s.file("long.qpk", std::string(5000, 'L')).c_str(), buffer,
                                        length),
              platform::ReadStatus::Ok);
    EXPECT_EQ(length, 5000);
    for (const Case &c : cases) {
        length = -1;
        EXPECT_EQ(platform::readMessageFile(c.path.c_str(), buffer, length), c.status) << c.what;
        if (c.status != platform::ReadStatus::Ok) {
            EXPECT_EQ(length, 0) << c.what;
            continue;
        }
        ASSERT_EQ(length, static_cast<int32_t>(c.bytes.size())) << c.what;
        EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + length), c.bytes) << c.what;
        EXPECT_EQ(buffer[static_cast<size_t>(length)], 0)
            << c.what << ": no zero byte after the body";
    }
}

TEST(PlatformQueries, DirectoryEnvironmentUserAndExecutable) {
    EXPECT_EQ(platform::currentDirectory(), fs::current_path().string());
    EXPECT_TRUE(platform::pathExists(platform::currentDirectory().c_str()));
    EXPECT_FALSE(platform::pathExists("no such file.qpk"));

    std::string value;
    const char *path = std::getenv("PATH");
    ASSERT_NE(path, nullptr);
    ASSERT_TRUE(platform::environmentValue("PATH", value));
    EXPECT_EQ(value, path);
    EXPECT_FALSE(platform::environmentValue("QPEEK_NO_SUCH_VARIABLE_42", value));

    EXPECT_FALSE(platform::userName().empty());

    std::string exe = platform::executablePath();
    std::string last = exe.substr(exe.find_last_of(kWindows ? "\\/" : "/") + 1);
    EXPECT_EQ(last, kWindows ? "qpeek_unit_tests.exe" : "qpeek_unit_tests");
    EXPECT_TRUE(fs::path(exe).is_absolute()) << exe;
}

TEST(PlatformQueries, LocalTimeFormat) {
    char stamp[32];
    platform::formatLocalTime(stamp, sizeof stamp, "%d %H:%M:%S");
    ASSERT_EQ(std::string(stamp).size(), 11u) << stamp;
    for (int i : {2, 5, 8})
        EXPECT_TRUE(stamp[i] == ' ' || stamp[i] == ':') << stamp;
}

} // namespace
