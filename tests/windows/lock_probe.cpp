// Test helper: takes a named lock through the platform layer, exactly as the IDoc engine
// takes the definition lock, holds it for a while and reports what happened, so that
// tests can make processes contend for it.
//
//   qpeek_lock_probe NAME HOLD_MS [WAIT_MS]
//
// NAME "-" stands for the definition lock of the current user ("<user>IDOCSHARE.SEM").
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

namespace {

void say(const char *format, long a = 0, long b = 0) {
    std::printf(format, a, b);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
    using namespace qpeek;
    using Clock = std::chrono::steady_clock;
    if (argc < 3) {
        std::fputs("usage: qpeek_lock_probe NAME HOLD_MS [WAIT_MS]\n", stderr);
        return 2;
    }
    platform::initStandardStreams();
    std::string name = argv[1];
    if (name == "-")
        name = platform::userName() + "IDOCSHARE.SEM";
    long holdMs = std::strtol(argv[2], nullptr, 10);
    int waitMs = argc > 3 ? static_cast<int>(std::strtol(argv[3], nullptr, 10)) : 5000;

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
