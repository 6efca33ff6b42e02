// Fuzz target: one message file through the summary and the detailed report, with the
// detail flag on and off. The first input byte picks the mode and the flag; the rest is
// the message file (descriptor and body) exactly as the loader would hold it.
#include <cstdint>
#include <cstdio>

#include "driver/message_file.h"
#include "fuzz_input.h"
#include "idoc/definition_store.h"
#include "report/field_lines.h"
#include "report/output_sink.h"

// The definitions are looked for beside the executable; point the engine at the shipped
// ones so that IDoc bodies are parsed in depth.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qpeek::setProgramDirectory(qpeek::processDefinitionStore(), QPEEK_SOURCE_DIR "/Resources/");
    qpeek::fuzz::usePrivateDefinitionLock();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static qpeek::OutputSink sink(std::fopen("/dev/null", "wb"));
    if (size > qpeek::fuzz::kMaxInput)
        return 0;
    qpeek::fuzz::FuzzInput input = qpeek::fuzz::splitInput(data, size);
    qpeek::setDetailFlag((input.choice & 2) ? 1 : 0);
    int mode = (input.choice & 1) ? qpeek::kSummaryMode : 0;
    qpeek::reportMessage(sink, input.buffer.data(), input.length, mode);
    return 0;
}
