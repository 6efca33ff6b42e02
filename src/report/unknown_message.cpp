// The "Unknown Message Type" lines and the body preview.
#include "report/unknown_message.h"

#include "report/json_output.h"

namespace qpeek {

namespace {
constexpr int kPreviewLimit = 50;
} // namespace

void previewText(char *dst, ByteView body, int64_t limit) {
    int64_t n = body.available(0, limit);
    for (int64_t i = 0; i < n; ++i)
        dst[i] = body.data[i] ? static_cast<char>(body.data[i]) : ' ';
    dst[n] = 0;
}

void writeUnknownSummary(OutputSink &out, ByteView body) {
    char preview[kPreviewLimit + 1];
    previewText(preview, body, kPreviewLimit);
    writeFormatted(out, "Unknown Message Type:\n%s\n", preview);
}

void writeUnknownDetail(OutputSink &out, ByteView body) {
    char preview[kPreviewLimit + 1];
    previewText(preview, body, kPreviewLimit);
    if (out.json)
        jsonText(out, "preview", preview);
    else
        writeFormatted(out, "Unknown Message Type:  '%s'\n", preview);
}

} // namespace qpeek
