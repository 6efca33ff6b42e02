// The definition lock across processes: recursive within one process, exclusive between
// processes of the user, a bounded wait that carries on, and lock paths that are refused.
// The lock is opened once per process: ctest runs every test in a process of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/platform.h"

namespace qpeek {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string lockName() {
    return platform::userName() + "IDOCSHARE.SEM";
}

// A private runtime directory for the lock file of one test.
struct RuntimeDirectory {
    std::string path;
    RuntimeDirectory() {
        char pattern[] = "/tmp/qpeek-lock-XXXXXX";
        path = mkdtemp(pattern);
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~RuntimeDirectory() {
        std::string command = "rm -rf '" + path + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", path.c_str());
    }
    std::string lockPath() const { return path + "/" + lockName(); }
};

// Another process that tries the lock without waiting: true when it got it.
bool otherProcessGetsLock(const std::string &path) {
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        _exit(fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Another process that holds the lock for the given time; returns once it holds it.
pid_t holdLockInOtherProcess(const std::string &path, int milliseconds) {
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0 || flock(fd, LOCK_EX) != 0)
            _exit(1);
        if (write(ready[1], "x", 1) != 1)
            _exit(1);
        usleep(static_cast<useconds_t>(milliseconds) * 1000);
        _exit(0);
    }
    close(ready[1]);
    char c;
    if (read(ready[0], &c, 1) != 1)
        ADD_FAILURE() << "lock holder did not start";
    close(ready[0]);
    return pid;
}

// Runs the program on the shipped sample order; returns its standard output.
std::string runProgram(const std::string &outputPath) {
    const char *binary = std::getenv("QPEEK_BINARY");
    std::string command = std::string(binary ? binary : "build/qpeek") +
                          " tests/data/idoc/order_dc40.qpk >" + outputPath + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::string text;
    if (FILE *f = std::fopen(outputPath.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

std::string withoutLine(std::string text, const std::string &line) {
    for (size_t at; (at = text.find(line)) != std::string::npos;)
        text.erase(at, line.size());
    return text;
}

TEST(DefinitionLock, RecursiveWithinTheProcessExclusiveAcrossProcesses) {
    RuntimeDirectory runtime;
    ASSERT_TRUE(platform::openDefinitionLock(lockName()));
    struct stat st;
    ASSERT_EQ(stat(runtime.lockPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    EXPECT_TRUE(platform::acquireDefinitionLock(0));
    EXPECT_TRUE(platform::acquireDefinitionLock(0)); // nested acquisition, same process
    EXPECT_FALSE(otherProcessGetsLock(runtime.lockPath()));
    platform::releaseDefinitionLock();
    EXPECT_FALSE(otherProcessGetsLock(runtime.lockPath())); // one acquisition still open
    platform::releaseDefinitionLock();
    EXPECT_TRUE(otherProcessGetsLock(runtime.lockPath()));
    platform::releaseDefinitionLock(); // unpaired: no effect
    EXPECT_TRUE(otherProcessGetsLock(runtime.lockPath()));
}

TEST(DefinitionLock, WaitsForTheHolderThenProceeds) {
    RuntimeDirectory runtime;
    std::string expected = runProgram(runtime.path + "/free.txt");
    pid_t holder = holdLockInOtherProcess(runtime.lockPath(), 1000);
    auto start = Clock::now();
    std::string report = runProgram(runtime.path + "/waited.txt");
    double waited = secondsSince(start);
    waitpid(holder, nullptr, 0);
    EXPECT_GE(waited, 0.9);
    EXPECT_LT(waited, 4.5);
    EXPECT_EQ(report, expected);
}

TEST(DefinitionLock, TimedOutAcquisitionCarriesOnWithoutTheLock) {
    RuntimeDirectory runtime;
    pid_t holder = holdLockInOtherProcess(runtime.lockPath(), 30000);
    ASSERT_TRUE(platform::openDefinitionLock(lockName()));
    auto start = Clock::now();
    EXPECT_FALSE(platform::acquireDefinitionLock(5000));
    double waited = secondsSince(start);
    EXPECT_GE(waited, 4.9);
    EXPECT_LT(waited, 6.5);
    // Nested inside the timed-out acquisition, and released in order: neither owns it.
    EXPECT_FALSE(platform::acquireDefinitionLock(0));
    platform::releaseDefinitionLock();
    platform::releaseDefinitionLock();
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(platform::acquireDefinitionLock(1000));
    platform::releaseDefinitionLock();
}

TEST(DefinitionLock, RefusedLockPathsLeaveTheRunComplete) {
    RuntimeDirectory runtime;
    std::string expected = runProgram(runtime.path + "/free.txt");
    std::string message = "Unable to CreateMutex(" + lockName() + ")\n";
    std::string target = runtime.path + "/target";
    const char *kinds[] = {"symlink", "directory", "fifo", "foreign"};
    for (const char *kind : kinds) {
        std::string lock = runtime.lockPath();
        std::remove(lock.c_str());
        std::string k = kind;
        if (k == "symlink") {
            ASSERT_EQ(symlink(target.c_str(), lock.c_str()), 0);
        } else if (k == "directory") {
            ASSERT_EQ(mkdir(lock.c_str(), 0700), 0);
        } else if (k == "fifo") {
            ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
        } else {
            if (geteuid() != 0)
                continue; // only root can plant a file owned by someone else
            int fd = open(lock.c_str(), O_CREAT | O_WRONLY, 0600);
            ASSERT_GE(fd, 0);
            close(fd);
            ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
        }
        std::string report = runProgram(runtime.path + "/refused.txt");
        EXPECT_NE(report.find(message), std::string::npos) << kind;
        EXPECT_EQ(withoutLine(report, message), expected) << kind;
        struct stat st;
        EXPECT_NE(lstat(target.c_str(), &st), 0) << kind; // nothing created through the link
        rmdir(lock.c_str());
    }
}

} // namespace
} // namespace qpeek
