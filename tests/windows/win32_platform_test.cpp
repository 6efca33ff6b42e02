// The Win32 side of the platform layer: the definition lock as a named mutex (recursive
// for its owner, a bounded wait, a release without ownership that changes nothing) and
// the text mode of the standard streams, the split of the command line and names outside
// the code page. Another owner is simulated by a thread that holds its own handle of the
// same mutex.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/win32_names.h"

using namespace qpeek;

namespace {

// A thread that owns the named mutex from start() until finish().
struct OtherOwner {
    std::string name;
    HANDLE owned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE letGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread thread;
    explicit OtherOwner(std::string n) : name(std::move(n)) {}
    void start() {
        thread = std::thread([this] {
            HANDLE m = CreateMutexA(nullptr, FALSE, name.c_str());
            WaitForSingleObject(m, INFINITE);
            SetEvent(owned);
            WaitForSingleObject(letGo, INFINITE);
            ReleaseMutex(m);
            CloseHandle(m);
        });
        WaitForSingleObject(owned, INFINITE);
    }
    void finish() {
        SetEvent(letGo);
        thread.join();
    }
    ~OtherOwner() {
        if (thread.joinable())
            finish();
        CloseHandle(owned);
        CloseHandle(letGo);
    }
};

long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
}

// The process has one definition lock handle for its whole life, so every lock test works
// on that one mutex, in one test.
TEST(Win32DefinitionLock, RecursiveBoundedAndReleasedOnlyByItsOwner) {
    std::string name = "qpeek-test-" + std::to_string(GetCurrentProcessId()) + "IDOCSHARE.SEM";
    EXPECT_FALSE(platform::acquireDefinitionLock(0)) << "no handle yet";
    ASSERT_TRUE(platform::openDefinitionLock(name));
    ASSERT_TRUE(platform::openDefinitionLock(name)) << "a second open keeps the handle";

    // Recursive: three acquisitions, three releases, then another owner can take it at once.
    EXPECT_TRUE(platform::acquireDefinitionLock(5000));
    EXPECT_TRUE(platform::acquireDefinitionLock(0));
    EXPECT_TRUE(platform::acquireDefinitionLock(0));
    for (int i = 0; i < 3; ++i)
        platform::releaseDefinitionLock();
    {
        OtherOwner other(name);
        auto start = std::chrono::steady_clock::now();
        other.start();
        EXPECT_LT(millisecondsSince(start), 2000) << "the lock was not free after three releases";

        // Held elsewhere: the wait gives up after its time-out, and the release that
        // follows it does not take the mutex from its owner.
        start = std::chrono::steady_clock::now();
        EXPECT_FALSE(platform::acquireDefinitionLock(300));
        long waited = millisecondsSince(start);
        EXPECT_GE(waited, 250);
        EXPECT_LT(waited, 3000);
        platform::releaseDefinitionLock();
        EXPECT_FALSE(platform::acquireDefinitionLock(0)) << "the failed release freed the lock";
        platform::releaseDefinitionLock();
        other.finish();
    }
    // Free again: owned at once; an owner that ends without releasing abandons it, and the
    // next wait owns it all the same.
    EXPECT_TRUE(platform::acquireDefinitionLock(0));
    platform::releaseDefinitionLock();
    std::thread([&name] {
        HANDLE m = CreateMutexA(nullptr, FALSE, name.c_str());
        WaitForSingleObject(m, INFINITE);
        CloseHandle(m); // ends owning it
    }).join();
    EXPECT_TRUE(platform::acquireDefinitionLock(1000))
        << "an abandoned mutex is owned by the next waiter";
    platform::releaseDefinitionLock();
}

TEST(Win32StandardStreams, TextMode) {
    platform::initStandardStreams();
    // _setmode returns the previous mode.
    EXPECT_EQ(_setmode(_fileno(stdout), _O_TEXT), _O_TEXT);
    EXPECT_EQ(_setmode(_fileno(stderr), _O_TEXT), _O_TEXT);
}

// The command line as the C runtime splits it into argv.
TEST(Win32CommandLine, SplitLikeTheRuntime) {
    struct Row {
        const wchar_t *line;
        std::vector<std::wstring> arguments;
    };
    const Row rows[] = {
        {L"qpeek.exe", {L"qpeek.exe"}},
        {L"qpeek.exe  a.qpk\t-s  ", {L"qpeek.exe", L"a.qpk", L"-s"}},
        {L"\"C:\\Program Files\\q\\qpeek.exe\" x", {L"C:\\Program Files\\q\\qpeek.exe", L"x"}},
        {L"q \"D:\\Queue Dumps\\*.qpk\" -d", {L"q", L"D:\\Queue Dumps\\*.qpk", L"-d"}},
        {L"q a\\b\\ c\\\\", {L"q", L"a\\b\\", L"c\\\\"}},
        {L"q \"a\\\\\" b", {L"q", L"a\\", L"b"}},     // 2n backslashes, closing quote
        {L"q a\\\"b", {L"q", L"a\"b"}},               // 2n+1 backslashes, literal quote
        {L"q \"a \"\"b\" c", {L"q", L"a \"b", L"c"}}, // "" inside quotes
        {L"q \"\" x", {L"q", L"", L"x"}},             // an empty argument
        {L"q ab\"c d\"e", {L"q", L"abc de"}},
        {L"q \u65e5\u672c.qpk", {L"q", L"\u65e5\u672c.qpk"}},
    };
    std::vector<std::wstring> got;
    for (const Row &row : rows) {
        platform::splitCommandLine(row.line, got);
        EXPECT_EQ(got, row.arguments) << std::string(row.line, row.line + wcslen(row.line));
    }
}

// Whether a name survives its conversion into a code page, and what it becomes there.
TEST(Win32CodePage, NamesOutsideTheCodePage) {
    struct Row {
        const wchar_t *name;
        unsigned codePage;
        bool fits;
        const char *converted; // what the system's "A" calls show
    };
    const Row rows[] = {
        {L"ab.qpk", 1252, true, "ab.qpk"},
        {L"\u00e9t\u00e9.qpk", 1252, true, "\xe9t\xe9.qpk"},      // in the code page
        {L"\u20ac.qpk", 1252, true, "\x80.qpk"},                  // euro sign at 0x80
        {L"\u65e5\u672c.qpk", 1252, false, "??.qpk"},             // no code at all
        {L"\u0101.qpk", 1252, false, "a.qpk"},                    // a look-alike letter
        {L"\u65e5\u672c.qpk", 932, true, "\x93\xfa\x96\x7b.qpk"}, // double-byte page
        {L"\u00e9.qpk", 437, true, "\x82.qpk"},
        {L"\u65e5\u672c.qpk", 65001, true, "\xe6\x97\xa5\xe6\x9c\xac.qpk"},
        {L"", 1252, true, ""},
    };
    for (const Row &row : rows) {
        std::string label = std::string(row.converted) + " in " + std::to_string(row.codePage);
        EXPECT_EQ(platform::fitsCodePage(row.name, row.codePage), row.fits) << label;
        EXPECT_EQ(platform::toCodePage(row.name, row.codePage), row.converted) << label;
    }
    EXPECT_FALSE(platform::fitsCodePage(std::wstring(1, wchar_t(0xd800)), 65001))
        << "a lone surrogate";
}

TEST(Win32Paths, SeparatorAndResources) {
    EXPECT_EQ(platform::kPathSeparator, '\\');
    EXPECT_STREQ(platform::kResourcesDirectory, "..\\Resources\\");
    std::string exe = platform::executablePath();
    ASSERT_GE(exe.size(), 3u);
    EXPECT_EQ(exe[1], ':') << exe << ": a drive-letter path";
    EXPECT_EQ(exe.find('/'), std::string::npos) << exe;
}

} // namespace
