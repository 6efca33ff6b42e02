// Definition lookup: candidate files in their order, the version fallback, the cache-only
// last step, and files read once for many names.
#include <gtest/gtest.h>

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
