// Dead-letter, transmission-queue and descriptor-extension headers: a header cut anywhere
// is not stepped over, byte order from the structure in front or from the header's Version,
// MQMDE lengths, and the names of reason codes.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "capture.h"
#include "common/descriptor.h"
#include "driver/dispatch.h"
#include "mqheaders/dead_letter_report.h"
#include "mqheaders/mqmd_report.h"
#include "mqheaders/reason_names.h"
#include "report/unknown_message.h"

using namespace qpeek;
using qpeek::test::capture;
using qpeek::test::Message;

namespace {

std::string integer(int32_t value, bool big) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<size_t>(big ? 3 - i : i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return s;
}

std::string field(const char *text, size_t width) {
    std::string s(text);
    s.resize(width, ' ');
    return s;
}

std::string deadLetterHeader(bool big, int32_t version = 1, int32_t encoding = 546) {
    std::string h = "DLH " + integer(version, big) + integer(2085, big) + field("DEST.Q", 48) +
                    field("QM2", 48) + integer(encoding, big) + integer(819, big) +
                    field("MQSTR", 8) + integer(6, big) + field("amqrmppa", 28) +
                    field("20261207", 8) + field("10302512", 8);
    return h;
}

std::string transmissionHeader(bool big) {
    std::string descriptor(324, '\0');
    std::memcpy(&descriptor[0], "MD  ", 4);
    descriptor.replace(4, 4, integer(1, big));
    descriptor.replace(24, 4, integer(546, big)); // what follows is little-endian
    return "XQH " + integer(1, big) + field("REMOTE.Q", 48) + field("QM3", 48) + descriptor;
}

std::string extensionHeader(bool big, int32_t strucLength = 72) {
    std::string h = "MDE " + integer(2, big) + integer(strucLength, big) + integer(546, big) +
                    integer(819, big) + field("MQSTR", 8) + integer(0, big) +
                    std::string(24, '\0') + integer(1, big) + integer(0, big) + integer(0, big) +
                    integer(-1, big);
    if (strucLength > 72)
        h.resize(static_cast<size_t>(strucLength), '\0');
    return h;
}

Mqmd descriptorAnnouncing(int32_t encoding) {
    Mqmd md = defaultDescriptor();
    std::string e = integer(encoding, false);
    std::memcpy(md.bytes + mqmd::kEncoding, e.data(), 4);
    return md;
}

std::string detailOf(const Mqmd &md, const std::string &body) {
    Message m(body);
    return capture([&](OutputSink &f) { writeDetail(f, md, m.view()); });
}

// The summary entry without its time stamp.
std::string summaryOf(const Mqmd &md, const std::string &body) {
    Message m(body);
    std::string s = capture([&](OutputSink &f) { writeSummary(f, md, m.view()); });
    return s.substr(s.find(' ', 3) + 1);
}

std::string unknownDetail(const std::string &body) {
    Message m(body);
    return capture([&](OutputSink &f) { writeUnknownDetail(f, m.view()); });
}

struct WholeHeader {
    const char *what;
    std::string bytes;
    const char *line; // the start of the line the header gets once it is whole
};

TEST(QueueHeaders, HeaderCutAtAnyPositionIsNotSteppedOver) {
    const WholeHeader headers[] = {
        {"MQDLH", deadLetterHeader(false), "Dead letter: 2085 MQRC_UNKNOWN_OBJECT_NAME,"},
        {"MQXQH", transmissionHeader(false), "Transmission header: to REMOTE.Q at QM3\n"},
        {"MQMDE", extensionHeader(false), "Descriptor extension: sequence number 1,"},
        {"MQMDE of 96 bytes", extensionHeader(false, 96), "Descriptor extension:"},
    };
    Mqmd md = defaultDescriptor();
    for (const WholeHeader &h : headers) {
        for (size_t cut = 0; cut < h.bytes.size(); ++cut) {
            std::string body = h.bytes.substr(0, cut);
            EXPECT_EQ(unknownDetail(body), detailOf(md, body)) << h.what << " cut at " << cut;
            std::string summary = summaryOf(md, body);
            EXPECT_EQ(0u, summary.find("Unknown Message Type:\n")) << h.what << " cut at " << cut;
        }
        std::string report = detailOf(md, h.bytes);
        EXPECT_EQ(0u, report.find(h.line)) << h.what << " whole";
        EXPECT_NE(std::string::npos, report.find("Unknown Message Type:  ''\n")) << h.what;
    }
}

struct OrderCase {
    const char *what;
    int32_t descriptorEncoding;
    bool writtenBigEndian;
    int32_t version;
    const char *tags;
};

TEST(QueueHeaders, ByteOrderFromTheDescriptorOrTheVersion) {
    const OrderCase cases[] = {
        {"little-endian as announced", 546, false, 1, "DLQ(2085) DQ(DEST.Q) "},
        {"big-endian as announced", 273, true, 1, "DLQ(2085) DQ(DEST.Q) "},
        {"announced big, written little", 273, false, 1, "DLQ(2085) DQ(DEST.Q) "},
        {"announced little, written big", 546, true, 1, "DLQ(2085) DQ(DEST.Q) "},
        {"nothing announced, written big", 0, true, 1, "DLQ(2085) DQ(DEST.Q) "},
        // A Version right in neither order: the announced order stands.
        {"version 7 written big, announced little", 546, true, 7, "DLQ(621281280) DQ(DEST.Q) "},
        {"version 7 written big, announced big", 273, true, 7, "DLQ(2085) DQ(DEST.Q) "},
    };
    for (const OrderCase &c : cases) {
        std::string body = deadLetterHeader(c.writtenBigEndian, c.version) + "TEXT";
        EXPECT_EQ(std::string(c.tags) + "Unknown Message Type:\nTEXT\n\n\n",
                  summaryOf(descriptorAnnouncing(c.descriptorEncoding), body))
            << c.what;
    }
}

TEST(QueueHeaders, WhatFollowsIsReadInTheOrderTheHeaderAnnounces) {
    // A little-endian MQDLH announcing big-endian data, then a big-endian MQMDE of 96 bytes:
    // read in the wrong order its StrucLength would not be 96.
    std::string body = deadLetterHeader(false, 1, 273) + extensionHeader(true, 96) + "<a/>";
    std::string report = detailOf(defaultDescriptor(), body);
    EXPECT_NE(std::string::npos, report.find("\nDescriptor extension: sequence number 1, offset 0, "
                                             "flags 0x0000, original length -1\nXML Message\n"))
        << report;

    Message m(body);
    QueueHeader header;
    ASSERT_TRUE(readQueueHeader(m.view(), false, header));
    EXPECT_FALSE(header.bigEndian);
    EXPECT_TRUE(header.nextBigEndian);
}

TEST(QueueHeaders, DescriptorExtensionLength) {
    const struct {
        int32_t strucLength;
        int32_t stepped; // 0: not stepped over
    } cases[] = {{72, 72}, {96, 96}, {100, 100}, {71, 0}, {0, 0}, {-1, 0}, {101, 0}, {INT_MAX, 0}};
    for (const auto &c : cases) {
        std::string body = extensionHeader(false);
        body.replace(8, 4, integer(c.strucLength, false));
        body.resize(100, 'x');
        Message m(body);
        QueueHeader header;
        bool read = readQueueHeader(m.view(), false, header);
        EXPECT_EQ(c.stepped != 0, read) << c.strucLength;
        if (read)
            EXPECT_EQ(c.stepped, header.bytes.length) << c.strucLength;
    }
}

TEST(QueueHeaders, ReasonNames) {
    const struct {
        int32_t reason;
        const char *name;
    } cases[] = {
        {0, "MQFB_NONE"},
        {258, "MQFB_EXPIRATION"},
        {300, "MQFB_IMS_ERROR"},
        {301, "MQFB_IMS_FIRST"},
        {333, nullptr},
        {399, "MQFB_IMS_LAST"},
        {413, "MQFB_CICS_UOW_BACKED_OUT"},
        {700, nullptr},
        {2003, "MQRC_BACKED_OUT"},
        {2085, "MQRC_UNKNOWN_OBJECT_NAME"},
        {2120, "MQRC_CONVERTED_MSG_TOO_BIG"},
        {2502, "MQRC_PUBLICATION_FAILURE"},
        {2503, nullptr},
        {65536, nullptr},
        {-1, nullptr},
        {INT_MIN, nullptr},
        {INT_MAX, nullptr},
    };
    for (const auto &c : cases) {
        const char *name = reasonName(c.reason);
        EXPECT_STREQ(c.name, name) << c.reason;
    }
}

TEST(QueueHeaders, EmbeddedDescriptorIntegersInTheHeadersOrder) {
    std::string header = transmissionHeader(true);
    Message m(header);
    std::string lines = capture([&](OutputSink &f) {
        writeDescriptorFields(f, m.view().from(104), true, kDescriptorV1Fields);
    });
    EXPECT_EQ(0u, lines.find("  StrucId          MD  \n  Version          1\n")) << lines;
    EXPECT_NE(std::string::npos, lines.find("\n  Encoding         546\n"));
    EXPECT_EQ(std::string::npos, lines.find("GroupId")); // version 1 ends with ApplOriginData
}

} // namespace
