// The run driver: banner, usage, help and version, options (-s, -d, -o in all their
// spellings), the "@VAR" listing, the output stream, and pattern expansion into processFile
// calls.
#include "driver/run_driver.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "driver/message_file.h"
#include "platform/platform.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/output_sink.h"
#include "report/printable_name.h"

namespace qpeek {

namespace {

constexpr size_t kStreamBufferSize = 1 << 16;

void printSyntax() {
    std::fputs("\nSyntax:  qpeek FileName.qpk [-s] [-d] [-oOutFile]", stdout);
    std::fputs("\n         -s  Summary Report", stdout);
    std::fputs("\n         -d  Detailed Report", stdout);
    std::fputs("\n         -o  Output FileName", stdout);
    std::fputs("\n", stdout);
}

void printUsage() {
    std::fputs("Required parameter missing\n", stdout);
    printSyntax();
}

// The first-argument spellings that ask for the usage text or the version, on every
// platform; each is a file argument all the same when a file of that name exists.
const char *const kHelpArguments[] = {"--help", "-h", "-?", "/?"};
constexpr const char *kVersionArgument = "--version";

bool isHelpArgument(const char *argument) {
    for (const char *help : kHelpArguments)
        if (std::strcmp(argument, help) == 0)
            return !platform::pathExists(argument);
    return false;
}

bool isVersionArgument(const char *argument) {
    return std::strcmp(argument, kVersionArgument) == 0 && !platform::pathExists(argument);
}

// An argument beginning with "/" that names an existing file or directory is a path; so is
// one with a wildcard that matches at least one entry (an absolute pattern). Any other is an
// option such as /s.
bool namesExistingPath(const char *argument) {
    if (argument[0] != '/')
        return false;
    if (platform::pathExists(argument))
        return true;
    platform::NameList names;
    return std::strpbrk(argument, "*?") != nullptr && platform::findFiles(argument, names);
}

bool isListSeparator(char c) {
    return c != 0 && std::strchr(platform::kListSeparators, c) != nullptr;
}

// "qpeek: <first><name><rest>" on standard error, written after what standard output holds
// so far, so that with both streams on one terminal or file the lines keep their order.
void writeRunError(const char *first, const char *name, const char *rest) {
    std::string text("qpeek: ");
    text.append(first);
    appendPrintableName(text, name);
    text.append(rest).append("\n");
    writeErrorText(text.c_str());
}

// Flushes a stream and reports a failed write on standard error. Returns false on failure.
bool finishStream(FILE *stream, const char *what) {
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream);
    if (!ok)
        writeRunError("cannot write ", what,
                      (std::string(": ") + std::strerror(errno ? errno : EIO)).c_str());
    return ok;
}

// Flushes standard output. One that was closed when the run began was opened on the null
// device: its lines are lost as surely as by a failed write, and the run says so the same
// way. Returns false on failure.
bool finishStandardOutput(bool wasClosed) {
    if (!finishStream(stdout, "standard output"))
        return false;
    if (wasClosed)
        writeRunError("cannot write ", "standard output",
                      (std::string(": ") + std::strerror(EBADF)).c_str());
    return !wasClosed;
}

} // namespace

int listEnvironmentVariable(const char *argument) {
    const char *name = argument + 1;
    std::fprintf(stdout, "%s=\n", name);
    std::string value;
    if (!platform::environmentValue(name, value))
        return 0;
    size_t i = 0;
    while (i < value.size()) {
        while (i < value.size() && isListSeparator(value[i]))
            ++i;
        size_t start = i;
        while (i < value.size() && !isListSeparator(value[i]))
            ++i;
        if (i > start)
            std::fprintf(stdout, "%.*s\n", static_cast<int>(i - start), value.c_str() + start);
    }
    return 0;
}

int processPattern(OutputSink &out, const char *pattern, int mode, platform::MessageFile &file) {
    // Directory prefix: the pattern up to its last separator, else the current directory.
    std::string prefix(pattern);
    size_t cut = prefix.rfind('\\');
    if (cut == std::string::npos)
        cut = prefix.rfind('/');
    if (cut != std::string::npos)
        prefix.resize(cut + 1);
    else
        prefix.clear();
    // A current directory outside the code page makes every joined path another one.
    bool prefixOutsideCodePage = false;
    if (prefix.empty()) {
        prefix = platform::currentDirectory() + platform::kPathSeparator;
        prefixOutsideCodePage = platform::currentDirectoryOutsideCodePage();
    }

    platform::NameList names;
    if (!platform::findFiles(pattern, names)) {
        processFile(out, pattern, mode, file);
        return 0;
    }
    std::string path;
    for (size_t i = 0; i < names.size(); ++i) {
        // Once the report cannot be written, the rest of the run would be lost as well.
        if (std::ferror(out.out))
            break;
        path.assign(prefix).append(names[i]);
        if (prefixOutsideCodePage || names.isOutsideCodePage(i))
            processNameOutsideCodePage(out, path.c_str());
        else
            processFile(out, path.c_str(), mode, file);
    }
    return 0;
}

int runQpeek(int argc, char **argv) {
    // Before any stream is used: a closed descriptor 1 or 2 must not be taken by the -o file.
    bool stdoutClosed = (platform::openClosedStandardStreams() & (1 << 1)) != 0;
    platform::initStandardStreams();
    static char stdoutBuffer[kStreamBufferSize];
    std::setvbuf(stdout, stdoutBuffer, _IOFBF, sizeof stdoutBuffer);

    std::fputs("Qpeek Jul  2 2001\n", stdout);
    if (argc < 2) {
        printUsage();
        std::fflush(stdout);
        return kExitUsage;
    }
    if (isHelpArgument(argv[1])) {
        printSyntax();
        std::fputs("See the qpeek(1) manual page (man qpeek) or README.md for the reports, the "
                   "options and the messages.\n",
                   stdout);
        return finishStandardOutput(stdoutClosed) ? 0 : kExitOutputFailed;
    }
    if (isVersionArgument(argv[1])) {
        std::fputs("qpeek " QPEEK_VERSION "\n", stdout);
        return finishStandardOutput(stdoutClosed) ? 0 : kExitOutputFailed;
    }

    // The first argument is always a file argument; options may stand anywhere after it,
    // and every later argument that is not an option is one more file argument.
    // Arguments whose characters the code page cannot represent (Windows) are never
    // expanded, opened or created: argv holds another name in their place.
    std::vector<bool> outsideCodePage = platform::argumentsOutsideCodePage(argc, argv);
    int mode = 0;
    bool json = false;
    const char *outputName = nullptr;
    bool outputNameOutsideCodePage = false;
    std::vector<int> files{1};
    for (int i = 2; i < argc; ++i) {
        const char *arg = argv[i];
        if ((arg[0] != '-' && arg[0] != '/') || namesExistingPath(arg)) {
            files.push_back(i);
            continue;
        }
        switch (arg[1]) {
        case 'd':
        case 'D':
            setDetailFlag(1);
            break;
        case 's':
        case 'S':
            mode = kSummaryMode;
            break;
        case 'j':
        case 'J':
            json = true;
            break;
        case 'o':
        case 'O': {
            const char *name = arg + 2;
            if (*name == ':')
                ++name;
            if (*name == 0) {
                std::fputs("Invalid filename\n", stdout);
                writeErrorText("qpeek: write the output file name right after -o: -oNAME or "
                               "-o:NAME\n");
                return kExitUsage;
            }
            outputName = name;
            outputNameOutsideCodePage = outsideCodePage[i];
            break;
        }
        default:
            writeRunError("ignoring option '", arg, "' (options are -s, -d, -oFILE)");
            break;
        }
    }

    if (argv[1][0] == '@') {
        listEnvironmentVariable(argv[1]);
        return finishStandardOutput(stdoutClosed) ? 0 : kExitOutputFailed;
    }

    FILE *stream = stdout;
    if (outputName) {
        FILE *file = outputNameOutsideCodePage ? nullptr : std::fopen(outputName, "wb");
        if (file) {
            static char fileBuffer[kStreamBufferSize];
            std::setvbuf(file, fileBuffer, _IOFBF, sizeof fileBuffer);
            stream = file;
        } else {
            std::string reason =
                outputNameOutsideCodePage
                    ? " (the name cannot be represented in " + platform::codePageName()
                    : std::string(" (") + std::strerror(errno);
            writeRunError("cannot create ", outputName,
                          reason.append("); writing the report to standard output").c_str());
        }
    }

    {
        OutputSink out(stream);
        JsonOutput jsonOutput(stream);
        if (json)
            out.json = &jsonOutput;
        // One loaded file at a time; its read buffer serves every message of the run.
        platform::MessageFile messageFile;
        for (int i : files) {
            if (outsideCodePage[i])
                processNameOutsideCodePage(out, argv[i]);
            else
                processPattern(out, argv[i], mode, messageFile);
        }
        flushOutput(out);
    }

    bool ok = true;
    if (stream != stdout) {
        ok = finishStream(stream, outputName);
        if (std::fclose(stream) != 0 && ok) {
            writeRunError("cannot write ", outputName,
                          (std::string(": ") + std::strerror(errno)).c_str());
            ok = false;
        }
    }
    ok = finishStandardOutput(stdoutClosed) && ok;
    return ok ? 0 : kExitOutputFailed;
}

} // namespace qpeek
