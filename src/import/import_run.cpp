// qpeek-import's command line, and one import per input: the input's kind is recognised from
// its content, its messages are written as message files, and one line on standard error
// says what was written.
#include "import/import_run.h"

#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "import/input_buffer.h"
#include "import/message_writer.h"
#include "import/save_reader.h"
#include "import/unload_reader.h"
#include "platform/platform.h"

namespace qpeek::import {

namespace {

constexpr const char *kProgram = "qpeek-import";
constexpr const char *kUsage =
    "usage: qpeek-import [-o DIR] [-p PREFIX] [-n] [-q] [-f] [-D TEXT | -X HEX] FILE...\n";
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

struct ImportOptions {
    std::string directory = ".";
    std::string prefix; // empty: the input's base name
    bool dryRun = false;
    bool quiet = false;
    bool replace = false;
    std::string delimiter = kDefaultMessageDelimiter;
    std::vector<std::string> inputs;
};

extern "C" void requestInterrupt(int) {
    interruptRequested = 1;
}

int usageError(const char *text, const char *argument) {
    std::fprintf(stderr, "%s: %s%s\n%s", kProgram, text, argument, kUsage);
    return kExitUsage;
}

bool parseHex(const char *text, std::string &bytes) {
    bytes.clear();
    size_t n = std::strlen(text);
    if (n == 0 || n % 2 != 0)
        return false;
    for (size_t i = 0; i < n; i += 2) {
        unsigned value = 0;
        for (size_t j = i; j < i + 2; ++j) {
            char c = text[j];
            unsigned digit = c >= '0' && c <= '9'   ? unsigned(c - '0')
                             : c >= 'A' && c <= 'F' ? unsigned(c - 'A' + 10)
                             : c >= 'a' && c <= 'f' ? unsigned(c - 'a' + 10)
                                                    : 16u;
            if (digit == 16)
                return false;
            value = value << 4 | digit;
        }
        bytes.push_back(static_cast<char>(value));
    }
    return true;
}

// Returns -1 when the command line is good, else the exit status.
int parseCommandLine(int argc, char **argv, ImportOptions &options) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (optionsEnd || arg[0] != '-' || arg[1] == '\0') {
            options.inputs.push_back(arg);
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            optionsEnd = true;
            continue;
        }
        if (std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        char letter = arg[1];
        if (std::strchr("nqf", letter) && arg[2] == '\0') {
            (letter == 'n'   ? options.dryRun
             : letter == 'q' ? options.quiet
                             : options.replace) = true;
            continue;
        }
        if (!std::strchr("opDX", letter))
            return usageError("unknown option ", arg);
        // The value follows the letter (-oDIR) or is the next argument (-o DIR).
        const char *value = arg[2] != '\0' ? arg + 2 : (i + 1 < argc ? argv[++i] : nullptr);
        if (!value)
            return usageError("a value is missing after ", arg);
        switch (letter) {
        case 'o':
            if (*value == '\0')
                return usageError("an empty directory name after ", arg);
            options.directory = value;
            break;
        case 'p':
            if (*value == '\0' || std::strpbrk(value, "/\\"))
                return usageError("the prefix must be a file name without a directory: ", value);
            options.prefix = value;
            break;
        case 'D':
            if (*value == '\0')
                return usageError("an empty delimiter after ", arg);
            options.delimiter = value;
            break;
        case 'X':
            if (!parseHex(value, options.delimiter))
                return usageError("the delimiter must be pairs of hexadecimal digits: ", value);
            break;
        }
    }
    if (options.inputs.empty())
        return usageError("no input file", "");
    return -1;
}

// The input's base name without its directory and extension: the default prefix.
std::string defaultPrefix(const std::string &input) {
    if (input == "-")
        return "stdin";
    size_t slash = input.find_last_of("/\\");
    std::string base = slash == std::string::npos ? input : input.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        base.erase(dot);
    return base.empty() ? "message" : base;
}

std::string plural(uint64_t n, const char *word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void writeSummary(const std::string &name, const char *kind, const MessageWriter &w,
                  const SaveCounts &counts, bool dryRun, bool failed) {
    std::string line = std::string(kProgram) + ": " + name;
    if (kind)
        line += std::string(" (") + kind + ")";
    line += ": ";
    if (w.messages == 0) {
        line += failed ? "no messages before the error" : "no messages";
    } else {
        line += plural(w.messages, "message") + ", " + plural(w.bytes, "byte");
        line += dryRun ? "" : " written";
        line += failed ? " before the error" : "";
        line += dryRun ? " (nothing written: -n)" : "";
        line += ": " + w.firstName;
        if (w.messages > 1)
            line += " to " + w.lastName;
    }
    if (counts.withProperties > 0)
        line += "; properties of " + plural(counts.withProperties, "message") + " left out";
    if (counts.swappedDescriptors > 0)
        line += "; " + plural(counts.swappedDescriptors, "descriptor") + " turned to little-endian";
    line += "\n";
    std::fputs(line.c_str(), stderr);
}

// Imports one input; false when it failed.
bool importOne(const std::string &input, const ImportOptions &options,
               std::map<std::string, uint64_t> &nextNumbers, InputBuffer &in, MessageWriter &w) {
    std::string name = input == "-" ? "(standard input)" : input;
    w.prefix = options.prefix.empty() ? defaultPrefix(input) : options.prefix;
    uint64_t &next = nextNumbers[w.prefix];
    if (next == 0)
        next = 1;
    w.nextNumber = next;
    w.messages = w.bytes = 0;
    w.firstName.clear();
    w.lastName.clear();
    SaveCounts counts;

    std::FILE *file = nullptr;
    if (input == "-") {
        platform::initBinaryStandardInput();
        file = stdin;
    } else {
        std::error_code ec;
        if (std::filesystem::is_directory(input, ec)) {
            std::fprintf(stderr, "%s: %s: is a directory\n", kProgram, name.c_str());
            return false;
        }
        file = std::fopen(input.c_str(), "rb");
        if (!file) {
            std::fprintf(stderr, "%s: %s: cannot open: %s\n", kProgram, name.c_str(),
                         std::strerror(errno));
            return false;
        }
    }
    openFileInput(in, file);
    ImportProblem problem;
    const char *kind = nullptr;
    bool ok;
    if (looksLikeUnload(in)) {
        kind = "queue unload file";
        ok = importUnload(in, w, problem);
    } else {
        ok = importSave(in, options.delimiter, w, counts, problem);
        if (ok || counts.delimiters > 0 || w.messages > 0)
            kind = "save file";
    }
    if (file != stdin)
        std::fclose(file);
    next = w.nextNumber;
    if (!ok) {
        if (problem.line > 0)
            std::fprintf(stderr, "%s: %s:%" PRIu64 ": %s\n", kProgram, name.c_str(), problem.line,
                         problem.text.c_str());
        else
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, name.c_str(), problem.text.c_str());
    }
    // An input of neither kind has its one line: the error.
    if (!options.quiet && !in.interrupted && kind)
        writeSummary(name, kind, w, counts, options.dryRun, !ok);
    return ok;
}

} // namespace

int runImport(int argc, char **argv) {
    platform::initStandardStreams();
    ImportOptions options;
    int status = parseCommandLine(argc, argv, options);
    if (status >= 0)
        return status;
    if (!options.dryRun) {
        std::error_code ec;
        if (!std::filesystem::is_directory(options.directory, ec)) {
            std::fprintf(stderr, "%s: %s: not a directory\n", kProgram, options.directory.c_str());
            return kExitFailed;
        }
    }
    std::signal(SIGINT, requestInterrupt);
    std::signal(SIGTERM, requestInterrupt);

    InputBuffer in;
    MessageWriter w;
    prepareWriter(w);
    w.mode = options.dryRun ? WriteMode::Count : WriteMode::Files;
    w.directory = options.directory;
    w.replace = options.replace;
    std::map<std::string, uint64_t> nextNumbers;
    bool anyFailed = false;
    for (const std::string &input : options.inputs) {
        if (!importOne(input, options, nextNumbers, in, w))
            anyFailed = true;
        if (interruptRequested) {
            std::fprintf(stderr, "%s: interrupted; the message being written was dropped\n",
                         kProgram);
            return kExitInterrupted;
        }
    }
    return anyFailed ? kExitFailed : 0;
}

} // namespace qpeek::import
