// Fuzz target: an IDoc body parsed against the shipped definitions (Resources/qpeek.parser and
// the IDoc type files beside it).
// The first input byte sets the detail flag; the rest is the body exactly as the detailed
// report receives it (MQSAPH header or control record first).
#include <cstdint>
#include <cstdio>

#include "fuzz_input.h"
#include "idoc/definition_store.h"
#include "idoc/idoc_parse.h"
#include "report/field_lines.h"
#include "report/output_sink.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    stdout = std::fopen("/dev/null", "w");
    stderr = std::fopen("/dev/null", "w");
    qpeek::setProgramDirectory(qpeek::processDefinitionStore(), QPEEK_SOURCE_DIR "/Resources/");
    qpeek::fuzz::usePrivateDefinitionLock();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static qpeek::OutputSink sink(std::fopen("/dev/null", "wb"));
    if (size > qpeek::fuzz::kMaxInput)
        return 0;
    qpeek::fuzz::FuzzInput input = qpeek::fuzz::splitInput(data, size);
    qpeek::setDetailFlag(input.choice & 1);
    qpeek::parseMessage(sink, qpeek::ByteView{input.buffer.data(), input.length});
    return 0;
}
