// Message files of an import: gathered body bytes, the descriptor decision, the temporary
// file and its rename to the final name.
#include "import/message_writer.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace qpeek::import {

namespace fs = std::filesystem;

namespace {

// One token per run in the temporary names, so that two imports into the same directory
// never write into each other's temporary files.
const std::string &runToken() {
    static const std::string token = [] {
        char buf[16];
        std::random_device device;
        std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(device()));
        return std::string(buf);
    }();
    return token;
}

std::string messageName(const MessageWriter &w, uint64_t number) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%06" PRIu64 ".qpk", number);
    return w.prefix + suffix;
}

std::string inDirectory(const std::string &directory, const std::string &name) {
    if (directory.empty() || directory == ".")
        return name;
    char last = directory.back();
    if (last == '/' || last == '\\')
        return directory + name;
    return directory + "/" + name;
}

bool failWith(MessageWriter &w, const std::string &what, const std::string &path, int err) {
    w.error = what + " " + path + ": " + std::strerror(err);
    return false;
}

// Writes the gathered body bytes; the first write decides the descriptor in front. At least
// two body bytes are gathered before that write unless the message ends first, so that a
// body beginning with "MD" is always recognised.
bool flushPending(MessageWriter &w) {
    if (!w.headerWritten) {
        const Mqmd *header = nullptr;
        Mqmd standIn;
        if (w.hasDescriptor) {
            header = &w.descriptor;
        } else if (w.used >= 2 && w.pending[0] == 'M' && w.pending[1] == 'D') {
            standIn = defaultDescriptor();
            header = &standIn;
        }
        if (w.mode == WriteMode::Files) {
            w.file = std::fopen(w.tempPath.c_str(), "wb");
            if (!w.file)
                return failWith(w, "cannot create", w.tempPath, errno);
        }
        w.headerWritten = true;
        if (header) {
            if (w.mode == WriteMode::Files &&
                std::fwrite(header->bytes, 1, kMqmdLength, w.file) != kMqmdLength)
                return failWith(w, "cannot write", w.tempPath, errno);
            if (w.mode == WriteMode::Memory)
                w.captured.back().insert(w.captured.back().end(), header->bytes,
                                         header->bytes + kMqmdLength);
            w.messageBytes += kMqmdLength;
        }
    }
    if (w.used > 0) {
        if (w.mode == WriteMode::Files &&
            std::fwrite(w.pending.data(), 1, w.used, w.file) != w.used)
            return failWith(w, "cannot write", w.tempPath, errno);
        if (w.mode == WriteMode::Memory)
            w.captured.back().insert(w.captured.back().end(), w.pending.data(),
                                     w.pending.data() + w.used);
        w.messageBytes += w.used;
        w.used = 0;
    }
    return true;
}

// Gives the complete temporary file its final name. Without -f an existing file keeps its
// place: a hard link claims the name only if it is free; where links are not supported,
// the name is checked and the file renamed.
bool publish(MessageWriter &w) {
    std::error_code ec;
    if (w.replace) {
        fs::rename(w.tempPath, w.finalPath, ec);
    } else {
        fs::create_hard_link(w.tempPath, w.finalPath, ec);
        if (!ec) {
            fs::remove(w.tempPath, ec);
            return true;
        }
        if (ec != std::errc::file_exists && !fs::exists(w.finalPath)) {
            ec.clear();
            fs::rename(w.tempPath, w.finalPath, ec);
        } else {
            ec = std::make_error_code(std::errc::file_exists);
        }
    }
    if (!ec)
        return true;
    if (ec == std::errc::file_exists)
        w.error = w.finalPath + " exists (-f replaces it)";
    else
        w.error = "cannot rename " + w.tempPath + " to " + w.finalPath + ": " + ec.message();
    std::remove(w.tempPath.c_str());
    return false;
}

} // namespace

void prepareWriter(MessageWriter &w, size_t bufferSize) {
    w.pending.assign(bufferSize < 64 ? 64 : bufferSize, 0);
    w.used = 0;
    w.active = false;
}

std::string messagePath(const MessageWriter &w, uint64_t number) {
    return inDirectory(w.directory, messageName(w, number));
}

bool beginMessage(MessageWriter &w, const Mqmd *descriptor) {
    w.active = true;
    w.headerWritten = false;
    w.hasDescriptor = descriptor != nullptr;
    if (descriptor)
        w.descriptor = *descriptor;
    w.used = 0;
    w.messageBytes = 0;
    w.file = nullptr;
    std::string name = messageName(w, w.nextNumber);
    w.finalPath = inDirectory(w.directory, name);
    w.tempPath = inDirectory(w.directory, "." + name + "." + runToken() + ".part");
    if (w.mode == WriteMode::Memory)
        w.captured.emplace_back();
    if (w.mode == WriteMode::Files && !w.replace) {
        std::error_code ec;
        if (fs::exists(w.finalPath, ec)) {
            w.error = w.finalPath + " exists (-f replaces it)";
            w.active = false;
            return false;
        }
    }
    return true;
}

unsigned char *bodySpace(MessageWriter &w, size_t count, bool &ok) {
    ok = true;
    if (w.used + count > w.pending.size() && !flushPending(w)) {
        ok = false;
        return nullptr;
    }
    return w.pending.data() + w.used;
}

bool appendBody(MessageWriter &w, const unsigned char *data, size_t count) {
    while (count > 0) {
        size_t room = w.pending.size() - w.used;
        if (room == 0) {
            if (!flushPending(w))
                return false;
            continue;
        }
        size_t n = count < room ? count : room;
        std::memcpy(w.pending.data() + w.used, data, n);
        w.used += n;
        data += n;
        count -= n;
    }
    return true;
}

bool endMessage(MessageWriter &w) {
    if (!flushPending(w)) {
        abandonMessage(w);
        return false;
    }
    w.active = false;
    if (w.file) {
        int failed = std::ferror(w.file);
        if (std::fclose(w.file) != 0 || failed) {
            w.file = nullptr;
            failWith(w, "cannot write", w.tempPath, errno ? errno : EIO);
            std::remove(w.tempPath.c_str());
            return false;
        }
        w.file = nullptr;
        if (!publish(w))
            return false;
    }
    std::string name = w.mode == WriteMode::Memory ? messageName(w, w.nextNumber) : w.finalPath;
    if (w.messages == 0)
        w.firstName = name;
    w.lastName = name;
    ++w.messages;
    ++w.nextNumber;
    w.bytes += w.messageBytes;
    return true;
}

void abandonMessage(MessageWriter &w) {
    if (w.file) {
        std::fclose(w.file);
        w.file = nullptr;
        std::remove(w.tempPath.c_str());
    }
    if (w.active && w.mode == WriteMode::Memory && !w.captured.empty())
        w.captured.pop_back();
    w.active = false;
    w.used = 0;
}

} // namespace qpeek::import
