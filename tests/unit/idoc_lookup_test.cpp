// Definition lookup: candidate files in their order, the version fallback, the cache-only
// last step, and files read once for many names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "idoc/definition_lookup.h"
#include "idoc_test_support.h"
#include "platform/platform.h"

namespace qpeek {
namespace {

using test::ScratchProgramDirectory;

std::string idoc(const char *name) {
    return std::string("BEGIN_SEGMENT_SECTION\nBEGIN_IDOC ") + name +
           "\nEND_IDOC\nEND_SEGMENT_SECTION\n";
}

// Runs a lookup; returns the found name ("-" for none) and what was written to stdout.
std::pair<std::string, std::string> lookUp(DefinitionStore &store, const char *name, FindMode mode,
                                           bool newMessage) {
    if (newMessage)
        beginDefinitionMessage(store);
    testing::internal::CaptureStdout();
    const IdocDefinition *d = findDefinition(store, name, FindMode::Exact);
    if (!d)
        d = loadSegmentDefinition(store, name).definition;
    if (!d && mode == FindMode::Fallback)
        d = findDefinition(store, name, FindMode::Fallback);
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    return {d ? d->name : "-", out};
}

TEST(DefinitionLookup, TriesTheThreeCandidateFilesInOrder) {
    ScratchProgramDirectory dir;
    auto [found, out] = lookUp(dir.store, "EDI_DC40", FindMode::Exact, true);
    EXPECT_EQ(found, "-");
    const std::string &p = dir.path;
    EXPECT_EQ(out, "Unable to open " + p + "qpeek.parser\nUnable to open " + p +
                       "EDI_DC40.parser\nUnable to open " + p +
                       std::string(platform::kResourcesDirectory) + "EDI_DC40.parser\n");
    // The default file is tried once per message only.
    std::tie(found, out) = lookUp(dir.store, "EDI_DC40", FindMode::Exact, false);
    EXPECT_EQ(out, "Unable to open " + p + "EDI_DC40.parser\nUnable to open " + p +
                       std::string(platform::kResourcesDirectory) + "EDI_DC40.parser\n");
}

TEST(DefinitionLookup, OneFileServesLaterNamesFromTheCache) {
    ScratchProgramDirectory dir;
    dir.write("qpeek.parser", idoc("EDI_DC40") + idoc("ICI_DD40"));
    EXPECT_EQ(lookUp(dir.store, "EDI_DC40", FindMode::Exact, true),
              std::make_pair(std::string("EDI_DC40"), std::string()));
    dir.write("qpeek.parser", ""); // never read again for a cached name
    EXPECT_EQ(lookUp(dir.store, "ICI_DD40", FindMode::Exact, true).second, "");
    EXPECT_EQ(dir.store.definitions.size(), 2u);
}

TEST(DefinitionLookup, FallsBackToLowerVersions) {
    ScratchProgramDirectory dir;
    dir.write("qpeek.parser", idoc("EDI_DC40"));
    dir.write("ORDERS03.parser", idoc("ORDERS03"));
    lookUp(dir.store, "EDI_DC40", FindMode::Exact, true);
    auto [found, out] = lookUp(dir.store, "ORDERS05", FindMode::Fallback, false);
    EXPECT_EQ(found, "ORDERS03");
    const std::string &p = dir.path;
    EXPECT_EQ(out, "Unable to open " + p + "ORDERS05.parser\nUnable to open " + p +
                       std::string(platform::kResourcesDirectory) +
                       "ORDERS05.parser\nUnable to open " + p + "ORDERS04.parser\nUnable to open " +
                       p + std::string(platform::kResourcesDirectory) + "ORDERS04.parser\n");
}

TEST(DefinitionLookup, BareNameComesFromTheCacheOnly) {
    ScratchProgramDirectory dir;
    dir.write("qpeek.parser", idoc("DELVRY"));
    dir.write("ORDERS.parser", idoc("ORDERS"));
    lookUp(dir.store, "DELVRY", FindMode::Exact, true);
    // DELVRY3 falls back to DELVRY2, 1, 0 from files, then to the cached DELVRY.
    auto [found, out] = lookUp(dir.store, "DELVRY3", FindMode::Fallback, false);
    EXPECT_EQ(found, "DELVRY");
    EXPECT_NE(out.find("DELVRY0.parser"), std::string::npos);
    EXPECT_EQ(out.find("DELVRY.parser"), std::string::npos);
    // ORDERS.parser exists but is never read for ORDERS05.
    std::tie(found, out) = lookUp(dir.store, "ORDERS05", FindMode::Fallback, false);
    EXPECT_EQ(found, "-");
    EXPECT_EQ(out.find("ORDERS.parser"), std::string::npos);
    EXPECT_NE(out.find("ORDERS00.parser"), std::string::npos);
}

TEST(DefinitionLookup, NameWithoutDigitsGetsOneMoreLoadOfItself) {
    ScratchProgramDirectory dir;
    beginDefinitionMessage(dir.store);
    auto [found, out] = lookUp(dir.store, "ZZ", FindMode::Fallback, false);
    EXPECT_EQ(found, "-");
    // Exact load (two files, the default one first), then the fallback's own load of ZZ.
    const std::string &p = dir.path;
    std::string twice = "Unable to open " + p + "ZZ.parser\nUnable to open " + p +
                        std::string(platform::kResourcesDirectory) + "ZZ.parser\n";
    EXPECT_EQ(out, "Unable to open " + p + "qpeek.parser\n" + twice + twice);
}

TEST(DefinitionLookup, NamesThatAreNoFileNamesReadNoFile) {
    ScratchProgramDirectory dir;
    dir.write("ORDERS04.parser", idoc("ORDERS04"));
    beginDefinitionMessage(dir.store);
    // Each would name a path outside the definition directories, or a line-breaking one: no
    // file is tried for them, nothing is written, and the default file is still to be read.
    for (const char *name :
         {"../ORDERS05", "..\\ORDERS05", "ORD\tRS05", "ORDERS05\x1b", "A/..", "ORDERS05\x7f"}) {
        auto [found, out] = lookUp(dir.store, name, FindMode::Fallback, false);
        EXPECT_EQ(found, "-") << name;
        EXPECT_EQ(out, "") << name;
    }
    auto [found, out] = lookUp(dir.store, "ORDERS05", FindMode::Fallback, false);
    EXPECT_EQ(found, "ORDERS04");
    EXPECT_EQ(out.rfind("Unable to open " + dir.path + "qpeek.parser\n", 0), 0u) << out;
}

TEST(DefinitionLookup, RereadingTheDefaultFileKeepsMemoryBounded) {
    ScratchProgramDirectory dir;
    dir.write("qpeek.parser", idoc("EDI_DC40") + idoc("ORDERS05"));
    for (int message = 0; message < 50; ++message)
        lookUp(dir.store, "ZORDERS", FindMode::Exact, true);
    EXPECT_EQ(dir.store.definitions.size(), 2u);
}

TEST(DefinitionLookup, EveryFileReadTellsWhatItCameTo) {
    ScratchProgramDirectory dir;
    dir.write("both.parser", idoc("EDI_DC40") + idoc("ORDERS05"));
    dir.write("other.parser", "NOTHING_HERE\n" + idoc("ORDERS04"));
    const struct {
        const char *file;
        const char *name;
        LoadStatus status;
        const char *found;
        const char *out;
    } cases[] = {
        {"both.parser", "ORDERS05", LoadStatus::Found, "ORDERS05", ""},
        {"both.parser", "ORDERS06", LoadStatus::NotDefined, "-", ""},
        {"other.parser", "ORDERS05", LoadStatus::Found, "ORDERS05", // held from the first read
         "Unexspected token 'NOTHING_HERE'\n"},
        {"other.parser", "DELVRY03", LoadStatus::NotDefined, "-",
         "Unexspected token 'NOTHING_HERE'\n"},
        {"missing.parser", "ORDERS05", LoadStatus::CannotOpen, "-", "Unable to open "},
    };
    for (const auto &c : cases) {
        testing::internal::CaptureStdout();
        DefinitionLoad load = readDefinitionFile(dir.store, c.name, (dir.path + c.file).c_str());
        std::fflush(stdout);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(load.status, c.status) << c.file << " " << c.name;
        EXPECT_EQ(load.definition ? load.definition->name : "-", c.found)
            << c.file << " " << c.name;
        EXPECT_EQ(out.substr(0, std::strlen(c.out)), c.out) << c.file << " " << c.name;
    }
    // Every definition of a file read stays in the store, asked for or not.
    EXPECT_EQ(dir.store.definitions.size(), 3u);
    EXPECT_EQ(dir.store.lock.depth, 0);
}

// A file read again in a run is replayed (same messages, nothing more in the store) while
// its identity holds; a file that changed in size, time, or was replaced, is read again.
TEST(DefinitionLookup, FileReadAgainIsReplayedUntilItChanges) {
    namespace fs = std::filesystem;
    const std::string first = "ONE\n" + idoc("EDI_DC40");
    const std::string sameSize = "TWO\n" + idoc("EDI_DC41"); // as long as the first text
    const std::string longer = "THREE\n" + idoc("EDI_DC42");
    enum class Change { None, SameIdentity, Size, Time, Replaced, StoreCleared };
    const struct {
        Change change;
        const char *out;    // the second read's messages
        size_t definitions; // in the store after it
        size_t filesRead;
    } cases[] = {
        {Change::None, "Unexspected token 'ONE'\n", 1, 1},
        // New bytes behind the same identity: proof that the second read is a replay.
        {Change::SameIdentity, "Unexspected token 'ONE'\n", 1, 1},
        {Change::Size, "Unexspected token 'THREE'\n", 2, 2},
        {Change::Time, "Unexspected token 'TWO'\n", 2, 2},
        {Change::Replaced, "Unexspected token 'TWO'\n", 2, 2},
        {Change::StoreCleared, "Unexspected token 'ONE'\n", 1, 1},
    };
    for (const auto &c : cases) {
        ScratchProgramDirectory dir;
        const std::string path = dir.path + "defs.parser";
        dir.write("defs.parser", first);
        // A time in whole seconds, which every platform's file times hold exactly.
        const fs::file_time_type time(std::chrono::duration_cast<std::chrono::seconds>(
            fs::last_write_time(path).time_since_epoch()));
        fs::last_write_time(path, time);
        auto read = [&](const char *name) {
            testing::internal::CaptureStdout();
            DefinitionLoad load = readDefinitionFile(dir.store, name, path.c_str());
            std::fflush(stdout);
            std::string out = testing::internal::GetCapturedStdout();
            return std::make_pair(load.definition ? load.definition->name : "-", out);
        };
        EXPECT_EQ(read("EDI_DC40"), std::make_pair(std::string("EDI_DC40"),
                                                   std::string("Unexspected token 'ONE'\n")));
        switch (c.change) {
        case Change::None:
            break;
        case Change::SameIdentity:
            dir.write("defs.parser", sameSize);
            fs::last_write_time(path, time);
            break;
        case Change::Size:
            dir.write("defs.parser", longer);
            fs::last_write_time(path, time);
            break;
        case Change::Time:
            dir.write("defs.parser", sameSize);
            fs::last_write_time(path, time + std::chrono::seconds(2));
            break;
        case Change::Replaced:
            dir.write("other.parser", sameSize);
            fs::last_write_time(dir.path + "other.parser", time);
            fs::rename(dir.path + "other.parser", path);
            break;
        case Change::StoreCleared:
            clearDefinitions(dir.store);
            break;
        }
        auto [found, out] = read("EDI_DC40");
        int row = static_cast<int>(c.change);
        EXPECT_EQ(found, "EDI_DC40") << row;
        EXPECT_EQ(out, c.out) << row;
        EXPECT_EQ(dir.store.definitions.size(), c.definitions) << row;
        EXPECT_EQ(dir.store.filesRead.size(), c.filesRead) << row;
        EXPECT_EQ(dir.store.lock.depth, 0) << row;
        EXPECT_EQ(dir.store.lock.heldMessages, "") << row;
    }
}

// The default file is read at the first load of every message: a replay writes what a
// read would, at the same place among the other candidates' messages.
TEST(DefinitionLookup, DefaultFileOfEveryMessageIsReplayedInPlace) {
    ScratchProgramDirectory dir;
    dir.write("qpeek.parser", "STRAY\n" + idoc("EDI_DC40"));
    const std::string &p = dir.path;
    const std::string expected = "Unexspected token 'STRAY'\nUnable to open " + p +
                                 "ZORD05.parser\nUnable to open " + p +
                                 std::string(platform::kResourcesDirectory) + "ZORD05.parser\n";
    for (int message = 0; message < 3; ++message) {
        auto [found, out] = lookUp(dir.store, "ZORD05", FindMode::Exact, true);
        EXPECT_EQ(found, "-") << message;
        EXPECT_EQ(out, expected) << message;
    }
    EXPECT_EQ(dir.store.definitions.size(), 1u);
    EXPECT_EQ(dir.store.filesRead.size(), 1u);
}

TEST(DefinitionLookup, LoadResultIsThatOfTheLastFileTried) {
    // The program directory one level down, so that its Resources directory is ours too.
    ScratchProgramDirectory dir;
    std::filesystem::create_directories(dir.path + "bin");
    std::filesystem::create_directories(dir.path + "Resources");
    setProgramDirectory(dir.store, dir.path + "bin/");
    beginDefinitionMessage(dir.store);
    testing::internal::CaptureStdout();
    DefinitionLoad none = loadSegmentDefinition(dir.store, "ORDERS05");
    dir.write("Resources/ORDERS05.parser", idoc("ORDERS04"));
    DefinitionLoad other = loadSegmentDefinition(dir.store, "ORDERS05");
    DefinitionLoad path = loadSegmentDefinition(dir.store, "../ORDERS05");
    dir.write("bin/ORDERS05.parser", idoc("ORDERS05"));
    DefinitionLoad found = loadSegmentDefinition(dir.store, "ORDERS05");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(none.status, LoadStatus::CannotOpen);
    EXPECT_EQ(other.status, LoadStatus::NotDefined);
    EXPECT_EQ(path.status, LoadStatus::NotDefined);
    EXPECT_EQ(path.definition, nullptr);
    EXPECT_EQ(found.status, LoadStatus::Found);
    ASSERT_NE(found.definition, nullptr);
    EXPECT_EQ(found.definition->name, "ORDERS05");
}

} // namespace
} // namespace qpeek
