// Fuzz target: one message file through the summary and the detailed report, with the
// detail flag on and off, as text or as its JSON line (-j). The first input byte picks the
// mode, the flag and the output; the rest is the message file (descriptor and body) exactly
// as the loader would hold it. The JSON line must be one valid object ended by its line end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "driver/message_file.h"
#include "fuzz_input.h"
#include "idoc/definition_store.h"
#include "json_line_check.h"
#include "report/field_lines.h"
#include "report/json_output.h"
#include "report/output_sink.h"

// The definitions are looked for beside the executable; point the engine at the shipped
// ones so that IDoc bodies are parsed in depth.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qpeek::setProgramDirectory(qpeek::processDefinitionStore(), QPEEK_SOURCE_DIR "/Resources/");
    qpeek::fuzz::usePrivateDefinitionLock();
    return 0;
}

namespace {

// The message's JSON line, written to a memory stream as the loader's caller writes it, and
// checked. A path with a quote, a backslash, a control byte and a byte that is not UTF-8.
void checkJsonLine(qpeek::fuzz::FuzzInput &input, int mode) {
    char *bytes = nullptr;
    size_t size = 0;
    FILE *stream = open_memstream(&bytes, &size);
    if (!stream)
        return;
    {
        qpeek::OutputSink sink(stream);
        qpeek::JsonOutput json(stream);
        sink.json = &json;
        qpeek::jsonBeginMessage(sink, "in\"\\\x01\xe9.qpk", input.length);
        qpeek::reportMessage(sink, input.buffer.data(), input.length, mode);
        qpeek::jsonEndMessage(sink);
    }
    std::fclose(stream);
    if (!qpeek::fuzz::isOneJsonObjectLine(reinterpret_cast<unsigned char *>(bytes), size)) {
        std::fprintf(stderr, "not one valid JSON object line (%zu bytes):\n%.*s\n", size,
                     static_cast<int>(size), bytes);
        std::abort();
    }
    std::free(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static qpeek::OutputSink sink(std::fopen("/dev/null", "wb"));
    if (size > qpeek::fuzz::kMaxInput)
        return 0;
    qpeek::fuzz::FuzzInput input = qpeek::fuzz::splitInput(data, size);
    qpeek::setDetailFlag((input.choice & 2) ? 1 : 0);
    int mode = (input.choice & 1) ? qpeek::kSummaryMode : 0;
    if (input.choice & 4)
        checkJsonLine(input, mode);
    else
        qpeek::reportMessage(sink, input.buffer.data(), input.length, mode);
    return 0;
}
