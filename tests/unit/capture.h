// Test helper: runs a writer against an output sink on a temporary stream and returns what
// it wrote.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/byte_view.h"
#include "report/field_lines.h"
#include "report/output_sink.h"

namespace qpeek::test {

// Every byte of the stream from its current position on.
inline std::string readStream(FILE *f) {
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    return text;
}

// Every byte of the file (empty when it cannot be opened).
inline std::string readFileText(const std::string &path) {
    std::string text;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        text = readStream(f);
        std::fclose(f);
    }
    return text;
}

template <typename Writer> std::string capture(Writer &&write) {
    FILE *f = std::tmpfile();
    {
        OutputSink sink(f);
        write(sink);
    }
    std::fflush(f);
    std::rewind(f);
    std::string text = readStream(f);
    std::fclose(f);
    return text;
}

// A message buffer as the loader makes it: the bytes, then one zero byte.
struct Message {
    std::vector<unsigned char> bytes;
    explicit Message(const std::string &body) : bytes(body.begin(), body.end()) {
        bytes.push_back(0);
    }
    ByteView view() { return ByteView{bytes.data(), static_cast<int32_t>(bytes.size() - 1)}; }
};

// Sets the detail flag for one test case and clears it again.
struct DetailFlagGuard {
    explicit DetailFlagGuard(int v) { setDetailFlag(v); }
    ~DetailFlagGuard() { setDetailFlag(0); }
};

// The text padded with blanks (or cut) to the column: builds expected field lines.
inline std::string pad(std::string s, size_t column) {
    s.resize(column, ' ');
    return s;
}

} // namespace qpeek::test
