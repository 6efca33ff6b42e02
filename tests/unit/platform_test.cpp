// Directory search: wildcard matching, dot-files, order, and reading message files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/platform.h"

using namespace qpeek;

namespace {

class DirectorySearch : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/qpeek-search-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir = tmpl;
        for (const char *name :
             {"b.qpk", "a.qpk", "A.QPK", "ab.qpk", ".dot.qpk", "x.txt", "a.qpk.bak"}) {
            FILE *f = std::fopen((dir + "/" + name).c_str(), "wb");
            std::fputs(name, f);
            std::fclose(f);
        }
    }
    void TearDown() override { std::system(("rm -rf " + dir).c_str()); }

    std::string search(const std::string &pattern) {
        platform::NameList names;
        if (!platform::findFiles(dir + "/" + pattern, names))
            return "(none)";
        std::string joined;
        for (size_t i = 0; i < names.size(); ++i)
            joined += std::string(i ? " " : "") + names[i];
        return joined;
    }
};

TEST_F(DirectorySearch, WildcardsOrderAndDotFiles) {
    struct {
        const char *pattern;
        const char *expected;
    } cases[] = {
        {"*.qpk", ".dot.qpk a.qpk ab.qpk b.qpk"}, // case-sensitive, sorted, dot-files included
        {"?.qpk", "a.qpk b.qpk"},
        {"*", ".dot.qpk A.QPK a.qpk a.qpk.bak ab.qpk b.qpk x.txt"},
        {"a*", "a.qpk a.qpk.bak ab.qpk"},
        {"*.q?k", ".dot.qpk a.qpk ab.qpk b.qpk"},
        {"**.txt", "x.txt"},
        {"a.qpk", "a.qpk"}, // a plain name that exists matches itself
        {"missing.qpk", "(none)"},
        {"*.none", "(none)"},
        {".", "(none)"}, // "." and ".." are never returned
        {"..", "(none)"},
        {"", "(none)"},
    };
    for (auto &c : cases)
        EXPECT_EQ(c.expected, search(c.pattern)) << c.pattern;
}

TEST_F(DirectorySearch, MissingDirectoryMatchesNothing) {
    platform::NameList names;
    EXPECT_FALSE(platform::findFiles(dir + "/no/such/*.qpk", names));
}

TEST_F(DirectorySearch, ReadsRegularFilesOnly) {
    std::vector<unsigned char> buffer;
    int32_t length = -1;
    EXPECT_EQ(platform::ReadStatus::Ok,
              platform::readMessageFile((dir + "/ab.qpk").c_str(), buffer, length));
    EXPECT_EQ(6, length);
    EXPECT_EQ(0, buffer[6]); // the loader's terminating zero byte
    EXPECT_EQ(platform::ReadStatus::CannotOpen,
              platform::readMessageFile(dir.c_str(), buffer, length));
    EXPECT_EQ(platform::ReadStatus::CannotOpen,
              platform::readMessageFile((dir + "/none").c_str(), buffer, length));
    // A shorter file after a longer one still ends in a zero byte.
    ASSERT_EQ(platform::ReadStatus::Ok,
              platform::readMessageFile((dir + "/a.qpk.bak").c_str(), buffer, length));
    ASSERT_EQ(platform::ReadStatus::Ok,
              platform::readMessageFile((dir + "/b.qpk").c_str(), buffer, length));
    EXPECT_EQ(5, length);
    EXPECT_EQ(0, buffer[5]);
}

} // namespace
