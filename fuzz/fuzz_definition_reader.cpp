// Fuzz target: a parser-definition file. The input is read into an empty definition cache,
// then a small order IDoc (or the bytes after a "\n@@BODY@@\n" line in the input) is
// parsed against whatever the file defined. No file on disk is read.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "idoc/definition_reader.h"
#include "idoc/definition_store.h"
#include "idoc/idoc_parse.h"
#include "report/field_lines.h"
#include "report/output_sink.h"

namespace {

const char kBodyMarker[] = "\n@@BODY@@\n";

std::string defaultBody() {
    auto field = [](const char *text, size_t n) {
        std::string s(text);
        s.resize(n, ' ');
        return s;
    };
    std::string body = field("EDI_DC40", 13) + field("0000000004711001", 26) +
                       field("ORDERS05", 30) + std::string(455, ' ');
    const char *segments[] = {"E2EDK01005", "E2EDK14003", "E2EDKA1003",
                              "E2EDP01006", "E2EDP19002", "E2EDS01001"};
    for (const char *s : segments)
        body += field(s, 30) + field("001PO7781  12.000", 1000);
    return body;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // Messages about files and parse errors are not what is tested here.
    stdout = std::fopen("/dev/null", "w");
    stderr = std::fopen("/dev/null", "w");
    qpeek::setProgramDirectory(qpeek::processDefinitionStore(), "/nonexistent-qpeek-fuzz/");
    qpeek::fuzz::usePrivateDefinitionLock();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static qpeek::OutputSink sink(std::fopen("/dev/null", "wb"));
    static const std::string fallbackBody = defaultBody();
    std::string input(reinterpret_cast<const char *>(data), size);
    std::string body = fallbackBody;
    size_t marker = input.find(kBodyMarker);
    if (marker != std::string::npos) {
        body = input.substr(marker + std::strlen(kBodyMarker));
        input.resize(marker);
    }

    qpeek::DefinitionStore &store = qpeek::processDefinitionStore();
    qpeek::clearDefinitions(store);
    FILE *file = fmemopen(input.empty() ? nullptr : &input[0], input.size(), "r");
    if (file) {
        qpeek::readDefinitionStream(store, file);
        std::fclose(file);
    }
    std::string message = body;
    message.push_back(0);
    qpeek::setDetailFlag(size & 1);
    qpeek::parseMessage(sink, qpeek::ByteView{reinterpret_cast<unsigned char *>(&message[0]),
                                              static_cast<int32_t>(body.size())});
    qpeek::clearDefinitions(store);
    return 0;
}
