// Summary tags: CODE(value), each followed by a blank, some of them starting an item line
// of their own ("\n\t" before them) and the last of an entry's line without its blank.
#pragma once

#include <cstdint>

#include "report/output_sink.h"

namespace qpeek {

enum class TagPlace : uint8_t {
    InLine,     // "CODE(value) "
    NewItem,    // "\n\tCODE(value) ": the tag begins an item line
    EndOfEntry, // "CODE(value)": the tag closes the entry's last line
};

struct TagForm {
    const char *code;
    TagPlace place = TagPlace::InLine;
    int32_t width = 0; // the value left-aligned in at least this many columns
};

constexpr TagForm tag(const char *code) {
    return TagForm{code, TagPlace::InLine, 0};
}
constexpr TagForm itemTag(const char *code) {
    return TagForm{code, TagPlace::NewItem, 0};
}
constexpr TagForm closingTag(const char *code) {
    return TagForm{code, TagPlace::EndOfEntry, 0};
}
constexpr TagForm paddedTag(const char *code, int32_t width) {
    return TagForm{code, TagPlace::InLine, width};
}

// Begins an item line of the entry.
inline void startSummaryItem(OutputSink &out) {
    writeBytes(out, "\n\t", 2);
}

// The tag with its value (zero-terminated text).
void writeTag(OutputSink &out, const TagForm &form, const char *value);
inline void writeTag(OutputSink &out, const char *code, const char *value) {
    writeTag(out, tag(code), value);
}

} // namespace qpeek
