// Test helper: takes a named lock through the platform layer, exactly as the IDoc engine
// takes the definition lock, holds it for a while and reports what happened, so that
// tests can make processes contend for it.
//
//   qpeek_lock_probe NAME HOLD_MS [WAIT_MS]
//   qpeek_lock_probe --event NAME HOLD_MS
//
// NAME "-" stands for the definition lock of the current user ("<user>IDOCSHARE.SEM").
// With --event (Windows only) the probe holds an event of that name instead, so that no
// mutex of the name can be opened or created, and prints "event 1" once it holds it
// ("event 0" when it cannot, or on another system), then "released" after HOLD_MS.
// Output lines, each flushed at once:
//   open 0|1                     whether the lock could be opened or created (10 attempts)
//   acquired 0|1 waited MS       whether the wait (at most WAIT_MS, default 5000) owned it
//   nested 0|1                   whether an immediate second acquisition succeeded
//   released                     after holding HOLD_MS and releasing both acquisitions
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/platform.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

void say(const char *format, long a = 0, long b = 0) {
    std::printf(format, a, b);
    std::fflush(stdout);
}

// Holds another kind of object under the lock's name for a while.
int holdEvent(const std::string &name, long holdMs) {
#ifdef _WIN32
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
    say("event %ld\n", event ? 1 : 0);
    if (!event)
        return 1;
    Sleep(static_cast<DWORD>(holdMs));
    CloseHandle(event);
    say("released\n");
    return 0;
#else
    (void)name;
    (void)holdMs;
    say("event %ld\n", 0);
    return 2;
#endif
}

} // namespace

int main(int argc, char **argv) {
    using namespace qpeek;
    using Clock = std::chrono::steady_clock;
    bool event = argc > 1 && std::string(argv[1]) == "--event";
    if (event) {
        ++argv;
        --argc;
    }
    if (argc < 3) {
        std::fputs("usage: qpeek_lock_probe [--event] NAME HOLD_MS [WAIT_MS]\n", stderr);
        return 2;
    }
    platform::initStandardStreams();
    std::string name = argv[1];
    if (name == "-")
        name = platform::lockUserName() + "IDOCSHARE.SEM";
    long holdMs = std::strtol(argv[2], nullptr, 10);
    int waitMs = argc > 3 ? static_cast<int>(std::strtol(argv[3], nullptr, 10)) : 5000;
    if (event)
        return holdEvent(name, holdMs);

    bool opened = false;
    for (int attempt = 0; attempt < 10 && !opened; ++attempt)
        opened = platform::openDefinitionLock(name);
    say("open %ld\n", opened ? 1 : 0);

    Clock::time_point start = Clock::now();
    bool owned = platform::acquireDefinitionLock(waitMs);
    long waited = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
    say("acquired %ld waited %ld\n", owned ? 1 : 0, waited);

    bool nested = platform::acquireDefinitionLock(0);
    say("nested %ld\n", nested ? 1 : 0);

    std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
    platform::releaseDefinitionLock();
    platform::releaseDefinitionLock();
    say("released\n");
    return 0;
}
