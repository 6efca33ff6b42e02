// qpeek-import's readers on any bytes: the input is read once with a small buffer and short
// reads chosen by the first byte and once with a larger buffer; both must succeed or fail
// alike and give the same message files, every file being a whole descriptor and a body.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/input_buffer.h"
#include "import/message_writer.h"
#include "import/save_reader.h"
#include "import/unload_reader.h"

using namespace qpeek::import;

namespace {

struct Outcome {
    bool ok;
    std::string problem;
    uint64_t line;
    std::vector<std::vector<unsigned char>> files;
};

Outcome run(const uint8_t *data, size_t size, size_t bufferSize, size_t readLimit,
            const std::string &delimiter) {
    InputBuffer in;
    openMemoryInput(in, data, size, bufferSize);
    in.readLimit = readLimit;
    MessageWriter w;
    prepareWriter(w, bufferSize);
    w.mode = WriteMode::Memory;
    w.prefix = "f";
    ImportProblem problem;
    SaveCounts counts;
    bool ok = looksLikeUnload(in) ? importUnload(in, w, problem)
                                  : importSave(in, delimiter, w, counts, problem);
    return Outcome{ok, problem.text, problem.line, std::move(w.captured)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    unsigned choice = data[0];
    size_t bufferSize = kMinInputBufferSize + (choice & 0x1f) * 7;
    size_t readLimit = (choice & 0x20) ? 3 : 0;
    std::string delimiter = (choice & 0x40) ? std::string("\n") : std::string("#@#@#");
    Outcome cut = run(data + 1, size - 1, bufferSize, readLimit, delimiter);
    Outcome whole = run(data + 1, size - 1, 4096, 0, delimiter);
    if (cut.ok != whole.ok || cut.problem != whole.problem || cut.line != whole.line ||
        cut.files != whole.files) {
        std::fprintf(stderr,
                     "buffer %zu: %d line %llu \"%s\", %zu files; larger buffer: %d line %llu "
                     "\"%s\", %zu files\n",
                     bufferSize, cut.ok, static_cast<unsigned long long>(cut.line),
                     cut.problem.c_str(), cut.files.size(), whole.ok,
                     static_cast<unsigned long long>(whole.line), whole.problem.c_str(),
                     whole.files.size());
        std::abort();
    }
    for (const auto &file : whole.files)
        if (file.size() >= 2 && file[0] == 'M' && file[1] == 'D' && file.size() < 364)
            std::abort(); // a body that would be taken for a descriptor without one
    return 0;
}
