// The Win32 side of the platform layer: the definition lock as a named mutex (recursive
// for its owner, a bounded wait, a release without ownership that changes nothing) and
// the text mode of the standard streams. Another owner is simulated by a thread that
// holds its own handle of the same mutex.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/platform.h"

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

TEST(Win32Paths, SeparatorAndResources) {
    EXPECT_EQ(platform::kPathSeparator, '\\');
    EXPECT_STREQ(platform::kResourcesDirectory, "..\\Resources\\");
    std::string exe = platform::executablePath();
    ASSERT_GE(exe.size(), 3u);
    EXPECT_EQ(exe[1], ':') << exe << ": a drive-letter path";
    EXPECT_EQ(exe.find('/'), std::string::npos) << exe;
}

} // namespace
