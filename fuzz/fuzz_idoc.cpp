// Fuzz target: an IDoc body parsed against the shipped definitions (Resources/qpeek.parser).
// The first input byte sets the detail flag; the rest is the body exactly as the detailed
// report receives it (MQSAPH header or control record first).
#include <cstdint>
#include <cstdio>
#include <vector>

#include "driver/report_lines.h"
#include "idoc/definition_cache.h"
#include "idoc/idoc_parse.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    stdout = std::fopen("/dev/null", "w");
    stderr = std::fopen("/dev/null", "w");
    qpeek::setProgramDirectory(QPEEK_SOURCE_DIR "/Resources/");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static FILE *sink = std::fopen("/dev/null", "wb");
    if (size > (1u << 20))
        return 0;
    unsigned choice = size > 0 ? data[0] : 0;
    const uint8_t *body = size > 0 ? data + 1 : data;
    size_t length = size > 0 ? size - 1 : 0;
    std::vector<unsigned char> buffer(body, body + length);
    buffer.push_back(0);
    qpeek::setDetailFlag(choice & 1);
    qpeek::parseMessage(sink, qpeek::ByteView{buffer.data(), static_cast<int32_t>(length)});
    return 0;
}
