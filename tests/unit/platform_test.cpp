// The platform services against a real file system: directory search (wildcards, letter
// case, dot entries, order), message-file reading, current directory, environment, user
// name and executable path. Where the Windows build behaves differently by design, the
// tables give its expectation beside the POSIX one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fs = std::filesystem;
using namespace qpeek;

namespace {

const bool kWindows = platform::kPathSeparator == '\\';

class DirectorySearch : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        // Test processes run in parallel: each takes a directory of its own.
        std::random_device random;
        dir = fs::temp_directory_path() /
              ("qpeek-search-" + std::to_string(random()) + "-" + std::to_string(random()));
        fs::remove_all(dir);
        ASSERT_TRUE(fs::create_directories(dir));
        for (const char *name : {"b.qpk", "a.qpk", "ab.qpk", ".dot.qpk", "x.txt", "a.qpk.bak"})
            file(name, name);
        // A name that differs from another only in letter case is that same name on Windows.
        if (!kWindows)
            file("A.QPK", "A.QPK");
        fs::create_directory(dir / "sub.qpk");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string file(const std::string &name, const std::string &bytes) {
        std::ofstream(dir / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return (dir / name).string();
    }

    // The matches joined by blanks: in the search's order for POSIX (sorted by bytes); sorted
    // here for Windows, whose order is the file system's.
    std::string search(const std::string &pattern) {
        platform::NameList names;
        if (!platform::findFiles(dir.string() + "/" + pattern, names))
            return "(none)";
        std::vector<std::string> v;
        for (size_t i = 0; i < names.size(); ++i)
            v.emplace_back(names[i]);
        if (kWindows)
            std::sort(v.begin(), v.end());
        std::string joined;
        for (size_t i = 0; i < v.size(); ++i)
            joined += (i ? " " : "") + v[i];
        return joined;
    }
};

TEST_F(DirectorySearch, WildcardsOrderAndDotEntries) {
    struct {
        const char *pattern;
        const char *posix;
        const char *windows;
    } cases[] = {
        // Case-sensitive and sorted on POSIX, dot-files and directories included.
        {"*.qpk", ".dot.qpk a.qpk ab.qpk b.qpk sub.qpk", ".dot.qpk a.qpk ab.qpk b.qpk sub.qpk"},
        {"?.qpk", "a.qpk b.qpk", "a.qpk b.qpk"},
        {"*", ".dot.qpk A.QPK a.qpk a.qpk.bak ab.qpk b.qpk sub.qpk x.txt",
         ". .. .dot.qpk a.qpk a.qpk.bak ab.qpk b.qpk sub.qpk x.txt"},
        {"a*", "a.qpk a.qpk.bak ab.qpk", "a.qpk a.qpk.bak ab.qpk"},
        {"*.q?k", ".dot.qpk a.qpk ab.qpk b.qpk sub.qpk", ".dot.qpk a.qpk ab.qpk b.qpk sub.qpk"},
        {"**.txt", "x.txt", "x.txt"},
        {"??", "(none)", ".."},      // ".." is a two-character name like any other on Windows
        {"a.qpk", "a.qpk", "a.qpk"}, // a plain name that exists matches itself
        {"sub.qpk", "sub.qpk", "sub.qpk"},
        // Windows ignores letter case and hands back the entry's own spelling.
        {"AB.QPK", "(none)", "ab.qpk"},
        {"A?.Qpk", "(none)", "ab.qpk"},
        {"missing.qpk", "(none)", "(none)"},
        {"*.none", "(none)", "(none)"},
        // A trailing "." or ".." names the directory itself or its parent, as the system
        // resolves the path: the search returns that directory's own name.
        {".", "(none)", "<dir>"},
        {"..", "(none)", "<parent>"},
        {"", "(none)", "(none)"},
        {"no/such/*.qpk", "(none)", "(none)"},
    };
    for (auto &c : cases) {
        std::string expected = kWindows ? c.windows : c.posix;
        if (expected == "<dir>")
            expected = dir.filename().string();
        else if (expected == "<parent>")
            expected = dir.parent_path().filename().string();
        EXPECT_EQ(expected, search(c.pattern)) << c.pattern;
    }
}

TEST_F(DirectorySearch, ReadsRegularFilesOnly) {
    // Zero bytes, carriage returns and a ^Z must all arrive unchanged.
    const std::string binary("MD\0\r\n\x1a\xff end", 11);
    using Failure = platform::OpenFailure;
    struct {
        const char *what;
        std::string path;
        platform::ReadStatus status;
        std::string bytes;
        Failure failure; // why a file that cannot be opened is refused
    } cases[] = {
        {"binary bytes", file("bin.qpk", binary), platform::ReadStatus::Ok, binary, Failure::None},
        {"a shorter file after a longer one", (dir / "b.qpk").string(), platform::ReadStatus::Ok,
         "b.qpk", Failure::None},
        {"empty file", file("empty.qpk", ""), platform::ReadStatus::Ok, "", Failure::None},
        {"directory", dir.string(), platform::ReadStatus::CannotOpen, "", Failure::Directory},
        {"missing file", (dir / "none").string(), platform::ReadStatus::CannotOpen, "",
         Failure::SystemError},
        {"below a file", (dir / "b.qpk" / "c.qpk").string(), platform::ReadStatus::CannotOpen, "",
         Failure::SystemError},
        {"empty path", "", platform::ReadStatus::CannotOpen, "", Failure::SystemError},
        {"device name (a missing file outside Windows)", "NUL", platform::ReadStatus::CannotOpen,
         "", kWindows ? Failure::NotRegularFile : Failure::SystemError},
        {"a success after a failure", (dir / "a.qpk").string(), platform::ReadStatus::Ok, "a.qpk",
         Failure::None},
    };
    // One loaded file for every read, as the loader keeps it: a long file first.
    platform::MessageFile loaded;
    ASSERT_EQ(platform::ReadStatus::Ok,
              platform::readMessageFile(file("long.qpk", std::string(5000, 'L')).c_str(), loaded));
    EXPECT_EQ(5000, loaded.length);
    for (auto &c : cases) {
        EXPECT_EQ(c.status, platform::readMessageFile(c.path.c_str(), loaded)) << c.what;
        EXPECT_EQ(c.failure, loaded.failure) << c.what;
        if (c.failure == Failure::SystemError)
            EXPECT_FALSE(loaded.systemReason.empty()) << c.what << ": the system's words";
        if (c.status != platform::ReadStatus::Ok) {
            EXPECT_EQ(0, loaded.length) << c.what;
            continue;
        }
        ASSERT_EQ(static_cast<int32_t>(c.bytes.size()), loaded.length) << c.what;
        EXPECT_EQ(c.bytes, std::string(loaded.data, loaded.data + loaded.length)) << c.what;
        EXPECT_EQ(0, loaded.data[loaded.length]) << c.what << ": the loader's zero byte";
    }
    platform::releaseMessageFile(loaded);
}

TEST(PlatformQueries, DirectoryEnvironmentUserAndExecutable) {
    EXPECT_EQ(fs::current_path().string(), platform::currentDirectory());
    EXPECT_TRUE(platform::pathExists(platform::currentDirectory().c_str()));
    EXPECT_FALSE(platform::pathExists("no such file.qpk"));

    std::string value;
    const char *path = std::getenv("PATH");
    ASSERT_NE(nullptr, path);
    ASSERT_TRUE(platform::environmentValue("PATH", value));
    EXPECT_EQ(path, value);
    EXPECT_FALSE(platform::environmentValue("QPEEK_NO_SUCH_VARIABLE_42", value));

    EXPECT_FALSE(platform::userName().empty());

    std::string exe = platform::executablePath();
    std::string last = exe.substr(exe.find_last_of(kWindows ? "\\/" : "/") + 1);
    EXPECT_EQ(kWindows ? "qpeek_unit_tests.exe" : "qpeek_unit_tests", last);
    EXPECT_TRUE(fs::path(exe).is_absolute()) << exe;
}

TEST(PlatformQueries, LocalTimeFormat) {
    char stamp[32];
    platform::formatLocalTime(stamp, sizeof stamp, "%d %H:%M:%S");
    ASSERT_EQ(11u, std::string(stamp).size()) << stamp;
    EXPECT_EQ(' ', stamp[2]) << stamp;
    EXPECT_EQ(':', stamp[5]) << stamp;
    EXPECT_EQ(':', stamp[8]) << stamp;
}

} // namespace
