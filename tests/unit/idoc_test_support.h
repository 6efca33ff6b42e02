// Test support for the IDoc engine: a scratch program directory holding definition files,
// and reading definition text straight into the run's emptied definition store.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "idoc/definition_lookup.h"
#include "idoc/definition_reader.h"
#include "idoc/definition_store.h"

namespace qpeek::test {

// A fresh temporary directory used as the program directory of the run's store, emptied.
struct ScratchProgramDirectory {
    std::string path;
    DefinitionStore &store = processDefinitionStore();
    ScratchProgramDirectory() {
        // Test processes run in parallel: each takes a directory of its own.
        std::random_device random;
        std::filesystem::path dir =
            std::filesystem::temp_directory_path() /
            ("qpeek-idoc-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        path = dir.string() + "/";
        setProgramDirectory(store, path);
        clearDefinitions(store);
    }
    ~ScratchProgramDirectory() {
        std::error_code ec;
        if (!std::filesystem::remove_all(path, ec) || ec)
            std::fprintf(stderr, "could not remove %s\n", path.c_str());
        clearDefinitions(store);
    }
    void write(const std::string &name, const std::string &text) const {
        FILE *f = std::fopen((path + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
};

// Reads definition text into the run's store; returns what the reader wrote to standard
// output.
inline std::string readDefinitions(const std::string &text) {
    FILE *f = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), f);
    std::rewind(f);
    testing::internal::CaptureStdout();
    readDefinitionStream(processDefinitionStore(), f);
    std::fflush(stdout);
    std::fclose(f);
    return testing::internal::GetCapturedStdout();
}

inline const IdocDefinition *cached(const char *name) {
    return findDefinition(processDefinitionStore(), name, FindMode::Exact);
}

} // namespace qpeek::test
