// IDoc parse and validation: walks the records of an IDoc body against its definitions in
// one forward pass, printing every record as it is consumed. The walk is greedy and never
// backtracks; the first structural violation ends it with a code and messages on standard
// error.
#include "idoc/idoc_parse.h"

#include <cstdarg>
#include <cstring>
#include <strings.h>

#include "common/idoc_records.h"
#include "common/mq_header_prefix.h"
#include "idoc/definition_lookup.h"
#include "idoc/idoc_report.h"
#include "idoc/sap_header.h"
#include "report/field_lines.h"

namespace qpeek {

namespace {

constexpr size_t kElementPathSize = 2000;
constexpr int64_t kFailureExcerpt = 80;
constexpr size_t kControlTagLength = 8;
constexpr int64_t kVersionSuffixOffset = 6;
// A segment definition named with a version number ends in exactly this many digits.
constexpr size_t kSegmentVersionDigits = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when the n bytes of text lie at the offset of the view. Segment names are short and
// compared at every record: a word at a time here rather than through a library call.
bool matchesAt(ByteView view, int64_t offset, const char *text, size_t n) {
    if (offset < 0 || offset + static_cast<int64_t>(n) > view.length)
        return false;
    const unsigned char *at = view.data + offset;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t a, b;
        std::memcpy(&a, at + i, sizeof a);
        std::memcpy(&b, text + i, sizeof b);
        if (a != b)
            return false;
    }
    for (; i < n; ++i)
        if (at[i] != static_cast<unsigned char>(text[i]))
            return false;
    return true;
}

void fail(ParseContext &context, int32_t code) {
    if (context.error == 0 && context.out->json)
        context.failureMessage = context.lastMessage;
    context.error = code;
}

// The repeat loop of a member: occurrences at the position until one does not match, the
// message ends, an error is set or the loop maximum is reached. Returns the count.
int32_t repeatMember(ParseContext &context, const DefinitionNode &member, const char *path,
                     bool firstOfGroup) {
    int32_t count = 0;
    for (;;) {
        int index = firstOfGroup ? -1 : count;
        int64_t before = context.position;
        context.path = path;
        int rc = member.kind == NodeKind::Group ? parseGroup(context, member, path, index)
                                                : parseSEGMENT(context, member);
        if (rc == 0)
            ++count;
        if (context.error != 0 || context.position >= context.length() || rc != 0 ||
            count >= member.loopMax)
            break;
        // An occurrence that consumed nothing (a group whose members are absent but optional)
        // would be followed by identical ones up to the loop maximum, except that a first
        // occurrence without its trigger is followed by one that ends the loop: settle the
        // count at once instead of repeating (or nesting such repeats without end).
        if (context.position == before) {
            if (index != 0 || !context.groupTriggerAbsent)
                count = member.loopMax;
            break;
        }
    }
    return count;
}

bool isControlRecordDefinition(const IdocDefinition &d) {
    return d.name.size() >= 6 && std::memcmp(d.name.data(), "EDI_DC", 6) == 0;
}

// The IDoc type from an IDOCTYP field: its bytes up to a zero byte, cut at the first blank
// after the first word (leading blanks stay; blanks alone stay blanks).
std::string idocTypeValue(const ParseContext &context, int32_t length) {
    int64_t n = context.data.textLength(context.position, length);
    const char *p = reinterpret_cast<const char *>(context.data.data + context.position);
    int64_t i = 0;
    while (i < n && p[i] == ' ')
        ++i;
    if (i < n) {
        while (i < n && p[i] != ' ')
            ++i;
        n = i;
    }
    if (n > static_cast<int64_t>(kDefinitionTextLimit))
        n = kDefinitionTextLimit;
    return n > 0 ? std::string(p, static_cast<size_t>(n)) : std::string();
}

// Appends text to the path of kElementPathSize bytes, never past its last byte.
void appendToPath(char *path, size_t &used, const char *text, size_t n) {
    if (n > kElementPathSize - 1 - used)
        n = kElementPathSize - 1 - used;
    std::memcpy(path + used, text, n);
    used += n;
}

// The element path of a group occurrence, "%s.(group)%.7s[%d]" (without the leading path
// and dot at the top), cut like snprintf would cut it. Formatted by hand: one is made for
// every group occurrence of an IDoc, so for tens of thousands of them.
void formatGroupPath(char *own, const char *path, const char *name, int number) {
    size_t used = 0;
    if (*path) {
        appendToPath(own, used, path, std::strlen(path));
        appendToPath(own, used, ".", 1);
    }
    appendToPath(own, used, "(group)", 7);
    appendToPath(own, used, name, strnlen(name, 7));
    char digits[16];
    size_t n = sizeof digits;
    digits[--n] = ']';
    unsigned magnitude =
        number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        digits[--n] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0)
        digits[--n] = '-';
    digits[--n] = '[';
    appendToPath(own, used, digits + n, sizeof digits - n);
    own[used] = 0;
}

// The definition of that name from the store, or else from its files.
const IdocDefinition *findOrLoad(ParseContext &context, const char *name) {
    const IdocDefinition *d = findDefinition(context.store, name, FindMode::Exact);
    return d ? d : loadSegmentDefinition(context.store, name).definition;
}

// The end of the IDoc's object: its type, whether it is valid, and the first failure.
void writeParseOutcome(ParseContext &context, int depth) {
    OutputSink &out = *context.out;
    jsonCloseTo(out, depth);
    jsonText(out, "type", context.idocType.c_str());
    jsonBool(out, "valid", context.error == 0);
    if (context.error != 0) {
        jsonOpen(out, "error", '{');
        jsonInteger(out, "code", context.error);
        jsonText(out, "message", context.failureMessage.c_str());
        jsonClose(out);
    }
}

} // namespace

// Segment matching. A record is an occurrence of a segment definition when its name begins
// with the whole definition name or, for a name that ends in a three-digit version number
// (E2EDK01005), with the name without that version (E2EDK01): every version of a segment
// matches every other. Only a full three-digit version is dropped: the digits of an
// unversioned name (E2EDK10, E2EDP14) are part of the segment's name, and dropping them would
// let E2EDK10 claim E2EDKA1003 records and E2EDP14 claim E2EDP16 records.
bool segmentMatches(ByteView data, int64_t position, const std::string &name) {
    const char *n = name.c_str();
    size_t size = name.size();
    if (matchesAt(data, position, n, size))
        return true;
    if (size <= kSegmentVersionDigits)
        return false;
    for (size_t i = size - kSegmentVersionDigits; i < size; ++i)
        if (!isDigit(n[i]))
            return false;
    return matchesAt(data, position, n, size - kSegmentVersionDigits);
}

void logError(ParseContext &context, const char *format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    writeErrorText(*context.out, text);
    if (context.out->json) {
        size_t n = std::strlen(text);
        context.lastMessage.assign(text, n > 0 && text[n - 1] == '\n' ? n - 1 : n);
    }
}

void parseEDI(ParseContext &context, const IdocDefinition &definition) {
    bool controlRecord = isControlRecordDefinition(definition);
    for (const auto &member : definition.members) {
        if (context.error != 0 || context.position >= context.length())
            break;
        if (member->kind == NodeKind::Group)
            continue;
        writeSegmentHeading(context, *member);
        // No position test: a record cut by the end still lists its remaining fields.
        if (!controlRecord) {
            if (context.out->json)
                writeSegmentFieldsJson(context, member->fields, false);
            else
                writeSegmentFields(context, member->fields, false);
            continue;
        }
        for (const FieldDefinition &f : member->fields) {
            if (context.error != 0)
                break;
            if (context.out->json)
                writeSegmentFieldJson(context.store.lines, *context.out, f, context.data,
                                      context.position);
            else
                writeSegmentField(context.store.lines, *context.out, f, context.data,
                                  context.position);
            if (f.name == "IDOCTYP") {
                std::string t = idocTypeValue(context, f.length);
                if (!context.idocType.empty() &&
                    strcasecmp(context.idocType.c_str(), t.c_str()) != 0) {
                    logError(context, "IDOC type '%s' does not match MessageType '%s'\n",
                             context.idocType.c_str(), t.c_str());
                    logError(context, "MessageType must be blank or match IDOC type\n");
                    fail(context, kErrorIdocTypeMismatch);
                    break;
                }
                context.idocType = t;
            }
            // A negative length advances by nothing: the position never moves back.
            context.position += f.length > 0 ? f.length : 0;
        }
    }
}

void parseSection(ParseContext &context, const IdocDefinition &definition) {
    OutputSink &out = *context.out;
    if (out.json)
        jsonOpen(out, "segments", '[');
    parseSectionMembers(context, definition);
    if (out.json)
        jsonClose(out);
}

void parseSectionMembers(ParseContext &context, const IdocDefinition &definition) {
    const auto &members = definition.members;
    size_t j = 0;
    for (; j < members.size() && context.error == 0 && context.position < context.length(); ++j) {
        const DefinitionNode &m = *members[j];
        bool group = m.kind == NodeKind::Group;
        int32_t count = repeatMember(context, m, definition.name.c_str(), false);
        if (count == 0) {
            if (m.mandatory) {
                logError(context, "Missing required segment %s\n", m.name.c_str());
                fail(context, group ? kErrorTopGroupMissing : kErrorTopSegmentMissing);
            }
        } else if (count < m.loopMin) {
            // Made whatever the occurrences reported: the code replaces theirs.
            logError(context, "Missed min segment count %d %s\n", m.loopMin, m.name.c_str());
            fail(context, group ? kErrorTopGroupMin : kErrorTopSegmentMin);
        }
    }
    for (; j < members.size() && context.error == 0; ++j) {
        if (members[j]->mandatory) {
            logError(context, "Missing required segment: %.7s\n", members[j]->name.c_str());
            fail(context, kErrorSectionEndedEarly);
        }
    }
}

int parseGroup(ParseContext &context, const DefinitionNode &group, const char *path, int index) {
    // Element path of this occurrence; the first member of a group shares its caller's.
    char own[kElementPathSize];
    const char *p = path;
    if (index >= 0) {
        formatGroupPath(own, path, group.name.c_str(), index + 1);
        p = own;
    }
    const auto &members = group.members;
    bool triggerAbsent = false;
    size_t j = 0;
    for (; j < members.size() && context.error == 0 && context.position < context.length(); ++j) {
        const DefinitionNode &m = *members[j];
        bool memberGroup = m.kind == NodeKind::Group;
        int32_t count = repeatMember(context, m, p, j == 0);
        if (j == 0)
            triggerAbsent = count == 0;
        if (count == 0) {
            // No trigger: an optional group, or a repeat after the first, is not here.
            if (j == 0 && (!group.mandatory || index > 0))
                return 1;
            if (m.mandatory) {
                logError(context, "Missing required segment %s\n", m.name.c_str());
                fail(context,
                     memberGroup ? kErrorGroupMemberGroupMissing : kErrorGroupMemberSegmentMissing);
            }
        } else if (count < m.loopMin) {
            logError(context, "Missed min segment count %d %s\n", m.loopMin, m.name.c_str());
            fail(context, memberGroup ? kErrorGroupMemberGroupMin : kErrorGroupMemberSegmentMin);
        }
    }
    for (; j < members.size() && context.error == 0; ++j) {
        if (members[j]->mandatory) {
            logError(context, "Missing required segment: %s.%.7s\n", p, members[j]->name.c_str());
            fail(context, kErrorGroupEndedEarly);
        }
    }
    context.groupTriggerAbsent = triggerAbsent;
    return 0;
}

int parseSEGMENT(ParseContext &context, const DefinitionNode &segment) {
    if (!segmentMatches(context.data, context.position, segment.name))
        return 1;
    char *recordName = context.dataRecordName;
    if (!recordName[0]) {
        std::snprintf(recordName, sizeof context.dataRecordName, "%s%s",
                      context.dataRecordKind != 0 ? "EDI_DD" : "ICI_DD", context.versionSuffix);
        context.dataRecordDefinition = nullptr;
    }
    // Found once per control record; searched again only while a search prints something.
    const IdocDefinition *header = context.dataRecordDefinition;
    if (!header || !definitionLockSettled(context.store))
        header = context.dataRecordDefinition = findOrLoad(context, recordName);
    if (!header) {
        logError(context, "Unable to find segment %s.\n", recordName);
        fail(context, kErrorNoDataRecordDefinition);
        return 0;
    }
    int64_t recordStart = context.position;
    OutputSink &out = *context.out;
    // Machine-readable output: {"name", "path", "record": the data-record header's fields,
    // "fields"}.
    int depth = out.json ? beginJsonSegment(context, segment) : 0;
    parseEDI(context, *header);
    if (out.json)
        jsonSegmentFields(out);
    int64_t start = context.position;
    // The records of a large message lie far apart in memory: ask for the first bytes of
    // one a few records ahead now, while this one is printed (every record has the length
    // of this one).
    context.data.prefetch(recordStart + 4 * (start - recordStart + kIdocSegmentDataLength), 256);
    writeSegmentHeading(context, segment);
    size_t i = context.error != 0 ? 0
               : out.json         ? writeSegmentFieldsJson(context, segment.fields, true)
                                  : writeSegmentFields(context, segment.fields, true);
    if (out.json)
        jsonEndSegment(out, depth);
    context.position = start + kIdocSegmentDataLength;
    if (i < segment.fields.size()) {
        logError(context, "Missing required field %s\n", segment.fields[i].name.c_str());
        fail(context, kErrorMissingField);
    }
    return 0;
}

void parseMessage(OutputSink &out, ByteView body) {
    parseMessage(processDefinitionStore(), out, body);
}

void parseMessage(DefinitionStore &store, OutputSink &out, ByteView body) {
    ParseContext context{store};
    context.out = &out;
    beginDefinitionMessage(store);
    store.sink = &out; // until the parse ends

    ByteView idoc = body;
    if (body.startsWith("SAPH")) {
        if (out.json)
            jsonBeginHeader(out, "MQSAPH");
        writeMQSAPH(out, body);
        context.dataRecordKind = body.int32At(mqprefix::kVersion);
        int32_t headerLength = body.int32At(mqprefix::kStrucLength);
        // A length outside the body leaves an empty IDoc.
        idoc = (headerLength < 0 || headerLength > body.length) ? body.from(body.length)
                                                                : body.from(headerLength);
    }
    context.data = idoc;
    int depth = 0;
    if (out.json) {
        jsonBeginPayload(out, "idoc");
        depth = jsonDepth(out);
    }

    const IdocDefinition *control = nullptr;
    while (context.error == 0 && context.position < context.length()) {
        if (context.data.startsWith("EDI_DC", context.position)) {
            if (control) {
                logError(context, "Only one EDI_DC segment allowed:  '%s'\n",
                         control->name.c_str());
                fail(context, kErrorSecondControlRecord);
                continue;
            }
            char tag[kControlTagLength + 1] = {};
            context.data.copyOut(context.position, kControlTagLength, tag, kControlTagLength);
            if (char *blank = std::strchr(tag, ' '))
                *blank = 0;
            std::memset(context.versionSuffix, 0, sizeof context.versionSuffix);
            context.dataRecordName[0] = 0;
            if (context.data.at(context.position + kVersionSuffixOffset) != ' ')
                context.data.copyOut(context.position + kVersionSuffixOffset, 2,
                                     context.versionSuffix, 2);
            control = findOrLoad(context, tag);
            if (!control) {
                logError(context, "Unable to find segment %s.\n", tag);
                fail(context, kErrorNoControlDefinition);
                continue;
            }
            if (out.json) {
                jsonOpen(out, "control", '[');
                parseEDI(context, *control);
                jsonClose(out);
            } else {
                parseEDI(context, *control);
            }
        } else if (!context.idocType.empty()) {
            const char *type = context.idocType.c_str();
            const IdocDefinition *d = findOrLoad(context, type);
            if (!d)
                d = findDefinition(store, type, FindMode::Fallback);
            if (!d) {
                logError(context, "Unable to find segment %s.\n", type);
                fail(context, kErrorNoIdocDefinition);
                continue;
            }
            if (d->name != context.idocType)
                logError(context, "Unable to find exact match for segment %s using %s.\n", type,
                         d->name.c_str());
            parseSection(context, *d);
            break;
        } else {
            logError(context, "Unexpected trailing data.\n");
            fail(context, kErrorUnexpectedData);
        }
    }
    if (context.error == 0 && context.position < context.length()) {
        logError(context, "Trailing data in buffer.\n");
        fail(context, kErrorTrailingData);
    }
    if (context.error != 0) {
        logError(context, "parseMessage failed with error %d.\n", context.error);
        int64_t n = context.data.available(context.position, kFailureExcerpt);
        const char *at =
            n > 0 ? reinterpret_cast<const char *>(context.data.data + context.position) : "";
        logError(context, "Buffer='%.*s'.\n", static_cast<int>(n), at);
    }
    if (out.json)
        writeParseOutcome(context, depth);
    store.sink = nullptr;
}

} // namespace qpeek
