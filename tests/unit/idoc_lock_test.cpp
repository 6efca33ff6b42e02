// The definition lock across processes: recursive within one process, exclusive between
// processes of the user, a bounded wait that carries on, lock paths that are refused, the
// private lock directory, a lock tried once per run, one wait per run for a stuck holder,
// and messages kept while the lock is held.
// The lock is opened once per process: ctest runs every test in a process of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "capture.h"
#include "idoc/definition_lookup.h"
#include "idoc/definition_store.h"
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
    return test::readFileText(outputPath);
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

// A directory that stands for /tmp: the private lock directory is made in it.
struct LockParent {
    std::string path;
    LockParent() {
        char pattern[] = "/tmp/qpeek-parent-XXXXXX";
        path = mkdtemp(pattern);
        chmod(path.c_str(), 01777); // like /tmp, so that a second user can make its directory
    }
    ~LockParent() {
        std::string command = "rm -rf '" + path + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", path.c_str());
    }
    std::string privateDirectory(uid_t uid) const { return path + "/qpeek-" + std::to_string(uid); }
};

// Runs the work in a child process (fresh lock state, optionally as another user without a
// passwd entry); returns its exit status, or -1 when it did not exit normally.
template <typename Work> int inChild(uid_t uid, Work work) {
    pid_t pid = fork();
    if (pid == 0) {
        if (uid != geteuid() && (setgid(uid) != 0 || setuid(uid) != 0))
            _exit(90);
        _exit(work());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr uid_t kUserWithoutName = 54321; // no passwd entry
constexpr uid_t kOtherUser = 54322;

TEST(DefinitionLock, PrivateDirectoryIsTheUsersOwnOrRefused) {
    const uid_t me = geteuid();
    struct Case {
        const char *what;
        void (*prepare)(const std::string &directory);
        bool opened;
        bool needsRoot;
    };
    const Case cases[] = {
        {"missing: made 0700", [](const std::string &) {}, true, false},
        {"present 0700", [](const std::string &d) { mkdir(d.c_str(), 0700); }, true, false},
        {"open to the group",
         [](const std::string &d) {
             mkdir(d.c_str(), 0700);
             chmod(d.c_str(), 0750);
         },
         false, false},
        {"open to everyone",
         [](const std::string &d) {
             mkdir(d.c_str(), 0700);
             chmod(d.c_str(), 0777);
         },
         false, false},
        {"a regular file",
         [](const std::string &d) { close(open(d.c_str(), O_CREAT | O_WRONLY, 0600)); }, false,
         false},
        {"a link to a directory of the user",
         [](const std::string &d) {
             std::string target = d + "-target";
             mkdir(target.c_str(), 0700);
             if (symlink(target.c_str(), d.c_str()) != 0)
                 std::perror("symlink");
         },
         false, false},
        {"another user's directory",
         [](const std::string &d) {
             mkdir(d.c_str(), 0700);
             if (chown(d.c_str(), kOtherUser, kOtherUser) != 0)
                 std::perror("chown");
         },
         false, true},
    };
    for (const Case &c : cases) {
        if (c.needsRoot && me != 0)
            continue; // only root can make a directory owned by someone else
        LockParent parent;
        std::string directory = parent.privateDirectory(me);
        c.prepare(directory);
        int rc = inChild(me, [&] {
            platform::setDefinitionLockDirectory(parent.path);
            return platform::openDefinitionLock(lockName()) ? 0 : 1;
        });
        EXPECT_EQ(rc, c.opened ? 0 : 1) << c.what;
        struct stat st;
        if (c.opened) {
            ASSERT_EQ(lstat(directory.c_str(), &st), 0) << c.what;
            EXPECT_EQ(st.st_mode & 07777, 0700u) << c.what;
            ASSERT_EQ(lstat((directory + "/" + lockName()).c_str(), &st), 0) << c.what;
            EXPECT_TRUE(S_ISREG(st.st_mode)) << c.what;
        } else {
            EXPECT_NE(lstat((directory + "/" + lockName()).c_str(), &st), 0)
                << c.what << ": a lock file was made in a refused directory";
        }
    }
}

TEST(DefinitionLock, RuntimeDirectoryOthersMayWriteToIsNotUsed) {
    RuntimeDirectory runtime;
    chmod(runtime.path.c_str(), 0777);
    int rc = inChild(geteuid(), [] { return platform::openDefinitionLock(lockName()) ? 0 : 1; });
    EXPECT_EQ(rc, 0); // in the private directory under /tmp instead
    struct stat st;
    EXPECT_NE(lstat(runtime.lockPath().c_str(), &st), 0);
    EXPECT_EQ(lstat(("/tmp/qpeek-" + std::to_string(geteuid()) + "/" + lockName()).c_str(), &st),
              0);
}

TEST(DefinitionLock, UserWithoutNameHasALockOfItsOwn) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run as a user without a passwd entry";
    LockParent parent;
    int rc = inChild(kUserWithoutName, [&] {
        if (platform::lockUserName() != std::to_string(kUserWithoutName))
            return 2;
        platform::setDefinitionLockDirectory(parent.path);
        return platform::openDefinitionLock(platform::lockUserName() + "IDOCSHARE.SEM") ? 0 : 1;
    });
    EXPECT_EQ(rc, 0);
    std::string lock = parent.privateDirectory(kUserWithoutName) + "/54321IDOCSHARE.SEM";
    struct stat st;
    ASSERT_EQ(lstat(lock.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kUserWithoutName);

    // Another user that squatted the name of its private directory: refused.
    LockParent squatted;
    std::string directory = squatted.privateDirectory(kUserWithoutName);
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    ASSERT_EQ(chown(directory.c_str(), kOtherUser, kOtherUser), 0);
    rc = inChild(kUserWithoutName, [&] {
        platform::setDefinitionLockDirectory(squatted.path);
        return platform::openDefinitionLock("54321IDOCSHARE.SEM") ? 0 : 1;
    });
    EXPECT_EQ(rc, 1);
}

// Standard output redirected to a file for one test; `text` reads what has reached it.
struct StdoutFile {
    std::string path;
    int saved = -1;
    StdoutFile() {
        char pattern[] = "/tmp/qpeek-stdout-XXXXXX";
        int fd = mkstemp(pattern);
        path = pattern;
        std::fflush(stdout);
        saved = dup(1);
        dup2(fd, 1);
        close(fd);
    }
    ~StdoutFile() {
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
        std::remove(path.c_str());
    }
    std::string text() const {
        std::fflush(stdout);
        return test::readFileText(path);
    }
};

TEST(DefinitionLock, LockThatCannotBeHadIsReportedOncePerRun) {
    LockParent parent;
    // A file where the private directory should be: the lock cannot be opened.
    close(open(parent.privateDirectory(geteuid()).c_str(), O_CREAT | O_WRONLY, 0600));
    platform::setDefinitionLockDirectory(parent.path);
    DefinitionStore store;
    setProgramDirectory(store, parent.path + "/");
    std::string written;
    double seconds = 0;
    {
        StdoutFile out;
        auto start = Clock::now();
        for (int i = 0; i < 1000; ++i) {
            findDefinition(store, "EDI_DC40", FindMode::Exact);
            lockDefinitions(store);
            unlockDefinitions(store);
        }
        seconds = secondsSince(start);
        written = out.text();
    }
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(written, "Unable to CreateMutex(" + lockName() + ")\n");
    EXPECT_TRUE(definitionLockSettled(store));
}

TEST(DefinitionLock, StuckHolderIsWaitedForOncePerRun) {
    LockParent parent;
    platform::setDefinitionLockDirectory(parent.path);
    std::string directory = parent.privateDirectory(geteuid());
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    std::string lock = directory + "/" + lockName();
    pid_t holder = holdLockInOtherProcess(lock, 30000);
    DefinitionStore store;

    auto start = Clock::now();
    lockDefinitions(store); // the one full wait
    lockDefinitions(store); // nested, after it: one try
    unlockDefinitions(store);
    unlockDefinitions(store);
    double first = secondsSince(start);
    EXPECT_GE(first, 4.9);
    EXPECT_LT(first, 6.5);
    start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        lockDefinitions(store);
        unlockDefinitions(store);
    }
    EXPECT_LT(secondsSince(start), 1.0) << "acquisitions after the timed-out one waited";

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    lockDefinitions(store); // one try, which gets it
    EXPECT_FALSE(otherProcessGetsLock(lock));
    unlockDefinitions(store);
    EXPECT_TRUE(otherProcessGetsLock(lock));

    // Once one acquisition got it, the next one waits again as long as it has to.
    holder = holdLockInOtherProcess(lock, 1000);
    start = Clock::now();
    lockDefinitions(store);
    double waited = secondsSince(start);
    EXPECT_FALSE(otherProcessGetsLock(lock));
    unlockDefinitions(store);
    waitpid(holder, nullptr, 0);
    EXPECT_GE(waited, 0.8);
    EXPECT_LT(waited, 4.5);
}

TEST(DefinitionLock, MessagesWrittenUnderTheLockFollowItsRelease) {
    LockParent parent;
    platform::setDefinitionLockDirectory(parent.path);
    std::string token(3000, 'x'); // longer than a line buffer
    DefinitionStore store;
    std::string held, released, after, flooding, flooded;
    {
        StdoutFile out;
        lockDefinitions(store);
        writeDefinitionMessage(store, "Unable to open %s\n", "a.parser");
        lockDefinitions(store);
        writeDefinitionMessage(store, "Unexspected token '%s'\n", token.c_str());
        unlockDefinitions(store);
        held = out.text();
        unlockDefinitions(store);
        released = out.text();
        writeDefinitionMessage(store, "Unable to open %s\n", "b.parser");
        after = out.text();
        // A flood goes out as it comes once it passes the limit: memory stays bounded.
        lockDefinitions(store);
        for (int i = 0; i < 100000; ++i)
            writeDefinitionMessage(store, "Unexspected token '%s'\n", "PLANTED");
        flooding = out.text();
        unlockDefinitions(store);
        flooded = out.text();
    }
    EXPECT_EQ(held, "") << "written while the lock was held";
    std::string expected = "Unable to open a.parser\nUnexspected token '" + token + "'\n";
    EXPECT_EQ(released, expected);
    expected += "Unable to open b.parser\n";
    EXPECT_EQ(after, expected);
    EXPECT_GE(flooding.size(), expected.size() + (1u << 20));
    EXPECT_LT(flooding.size(), flooded.size());
    EXPECT_EQ(flooded.size(), expected.size() + 100000u * 28);
}

// Messages for standard output go through the sink of the report being written: among the
// report lines when the report goes to standard output, to standard output alone when it
// goes to a file.
TEST(DefinitionLock, MessagesKeepTheirPlaceAmongTheReportLines) {
    LockParent parent;
    platform::setDefinitionLockDirectory(parent.path);
    struct Case {
        bool reportOnStdout;
        const char *stdoutText;
        const char *fileText;
    };
    const Case cases[] = {
        {true, "before\nUnable to open a.parser\nUnable to open b.parser\nafter\n", ""},
        {false, "Unable to open a.parser\nUnable to open b.parser\n", "before\nafter\n"},
    };
    for (const Case &c : cases) {
        DefinitionStore store;
        std::string shown, written;
        FILE *file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        {
            StdoutFile out;
            {
                OutputSink sink(c.reportOnStdout ? stdout : file);
                store.sink = &sink;
                writeText(sink, "before\n");
                writeDefinitionMessage(store, "Unable to open %s\n", "a.parser");
                lockDefinitions(store);
                writeDefinitionMessage(store, "Unable to open %s\n", "b.parser");
                unlockDefinitions(store);
                writeText(sink, "after\n");
            }
            shown = out.text();
        }
        std::fflush(file);
        std::rewind(file);
        written = test::readStream(file);
        std::fclose(file);
        EXPECT_EQ(shown, c.stdoutText) << "report on standard output: " << c.reportOnStdout;
        EXPECT_EQ(written, c.fileText) << "report on standard output: " << c.reportOnStdout;
    }
}

TEST(DefinitionNames, OnlyPlainNamesBecomePaths) {
    using namespace std::string_view_literals;
    const std::pair<std::string_view, bool> cases[] = {
        {"ORDERS05", true},
        {"EDI_DC40", true},
        {"ICI_DD40", true},
        {"Z1.ORDERS", true},
        {"ORDERS\xe4"
         "05",
         true}, // bytes of other code pages are ordinary characters
        {"", true},
        {"../../../../tmp/x", false},
        {"..", false},
        {"ORDERS..05", false},
        {"EDI_DC/4", false},
        {"ZZ\\ORDERS05", false},
        {"ORD\tRS05", false},
        {"ORDERS05\n", false},
        {"ORDERS\x1b[2J", false},
        {"ORDERS\x7f", false},
        {"ORDERS\0../x"sv, false},
    };
    for (const auto &[name, plain] : cases)
        EXPECT_EQ(isDefinitionFileName(name), plain) << name;
}

} // namespace
} // namespace qpeek
