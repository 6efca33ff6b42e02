// Loading large message files, which are mapped rather than read: the bytes and the zero
// byte after them whatever the file's size against the page size, changes that stay in the
// process, and a file that another process shrinks while it is mapped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "platform/platform.h"

namespace fs = std::filesystem;
using namespace qpeek;

namespace {

class LargeMessageFile : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        std::random_device random;
        dir = fs::temp_directory_path() /
              ("qpeek-mapping-" + std::to_string(random()) + "-" + std::to_string(random()));
        ASSERT_TRUE(fs::create_directories(dir));
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // A file of `size` bytes that differ from their neighbours (no zero byte among them).
    std::string file(const std::string &name, size_t size) {
        std::string bytes(size, 0);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>('A' + (i * 7 + i / 4096) % 26);
        std::ofstream(dir / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }
    std::string path(const std::string &name) { return (dir / name).string(); }
};

TEST_F(LargeMessageFile, BytesAndTheZeroByteAfterThem) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t mib = 1u << 20;
    struct {
        const char *what;
        size_t size;
    } cases[] = {
        {"just below the mapping size (read)", mib - 1},
        {"whole pages: the zero byte needs a page of its own", mib},
        {"one byte into a page", mib + 1},
        {"one byte short of a whole page", mib + page - 1},
        {"several megabytes", 5 * mib + 123},
        {"a small file after mapped ones", 100},
    };
    platform::MessageFile loaded;
    for (auto &c : cases) {
        std::string bytes = file("m.qpk", c.size);
        ASSERT_EQ(platform::ReadStatus::Ok,
                  platform::readMessageFile(path("m.qpk").c_str(), loaded))
            << c.what;
        ASSERT_EQ(static_cast<int32_t>(c.size), loaded.length) << c.what;
        EXPECT_TRUE(bytes == std::string(loaded.data, loaded.data + loaded.length)) << c.what;
        EXPECT_EQ(0, loaded.data[loaded.length]) << c.what;
    }
    platform::releaseMessageFile(loaded);
    EXPECT_EQ(nullptr, loaded.data);
    EXPECT_EQ(0, loaded.length);
}

TEST_F(LargeMessageFile, ChangesStayInTheProcess) {
    // The report reverses header fields and stores zero bytes in the message.
    std::string bytes = file("m.qpk", 3u << 20);
    platform::MessageFile loaded;
    ASSERT_EQ(platform::ReadStatus::Ok, platform::readMessageFile(path("m.qpk").c_str(), loaded));
    for (int32_t at : {0, 4095, 4096, 1 << 20, loaded.length - 1})
        loaded.data[at] = 0;
    ASSERT_EQ(platform::ReadStatus::Ok, platform::readMessageFile(path("m.qpk").c_str(), loaded));
    EXPECT_TRUE(bytes == std::string(loaded.data, loaded.data + loaded.length));
    platform::releaseMessageFile(loaded);
    std::ifstream in(dir / "m.qpk", std::ios::binary);
    std::string onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(bytes == onDisk);
}

TEST_F(LargeMessageFile, ShrunkWhileMappedReadsAsZeroBytes) {
    std::string bytes = file("m.qpk", 4u << 20);
    platform::MessageFile loaded;
    ASSERT_EQ(platform::ReadStatus::Ok, platform::readMessageFile(path("m.qpk").c_str(), loaded));
    fs::resize_file(dir / "m.qpk", 1000);
    // Every byte is read: those past the new end were the file's or are zero bytes, and the
    // run goes on.
    int32_t zeros = 0;
    for (int32_t i = 0; i < loaded.length; ++i) {
        unsigned char c = loaded.data[i];
        if (c == 0)
            ++zeros;
        else if (c != static_cast<unsigned char>(bytes[static_cast<size_t>(i)]))
            FAIL() << "byte " << i << " is neither the file's nor zero";
    }
    EXPECT_EQ(0, loaded.data[loaded.length]);
    EXPECT_EQ(0, loaded.data[2 << 20]) << "a page past the new end";
    EXPECT_GT(zeros, 3 << 20);
    EXPECT_TRUE(std::string(loaded.data, loaded.data + 1000) == bytes.substr(0, 1000));
    // The next load is a plain one again.
    file("n.qpk", 2u << 20);
    ASSERT_EQ(platform::ReadStatus::Ok, platform::readMessageFile(path("n.qpk").c_str(), loaded));
    EXPECT_EQ(2 << 20, loaded.length);
    platform::releaseMessageFile(loaded);
}

} // namespace
