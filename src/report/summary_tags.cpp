// Summary tags: code, value in parentheses, the blank after it.
#include "report/summary_tags.h"

#include "report/json_output.h"

#include <cstring>

namespace qpeek {

void writeTag(OutputSink &out, const TagForm &form, const char *value) {
    if (out.json) {
        jsonSummaryTag(out, form.code, value);
        return;
    }
    if (form.place == TagPlace::NewItem)
        startSummaryItem(out);
    writeText(out, form.code);
    writeChar(out, '(');
    size_t n = std::strlen(value);
    writeBytes(out, value, n);
    for (size_t i = n; i < static_cast<size_t>(form.width > 0 ? form.width : 0); ++i)
        writeChar(out, ' ');
    if (form.place == TagPlace::EndOfEntry)
        writeChar(out, ')');
    else
        writeBytes(out, ") ", 2);
}

} // namespace qpeek
