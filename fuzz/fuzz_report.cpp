// Fuzz target: one message file through the summary and the detailed report, with the
// detail flag on and off. The first input byte picks the mode and the flag; the rest is
// the message file (descriptor and body) exactly as the loader would hold it.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "driver/message_file.h"
#include "driver/report_lines.h"
#include "idoc/definition_cache.h"

// The definitions are looked for beside the executable; point the engine at the shipped
// ones so that IDoc bodies are parsed in depth.
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    qpeek::setProgramDirectory(QPEEK_SOURCE_DIR "/Resources/");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static FILE *sink = std::fopen("/dev/null", "wb");
    if (size > (1u << 20))
        return 0;
    unsigned choice = size > 0 ? data[0] : 0;
    const uint8_t *file = size > 0 ? data + 1 : data;
    size_t length = size > 0 ? size - 1 : 0;
    // The loader's buffer: the file, then one zero byte.
    std::vector<unsigned char> buffer(file, file + length);
    buffer.push_back(0);
    qpeek::setDetailFlag((choice & 2) ? 1 : 0);
    int mode = (choice & 1) ? qpeek::kSummaryMode : 0;
    qpeek::reportMessage(sink, buffer.data(), static_cast<int32_t>(length), mode);
    return 0;
}
