// The parser-definition file reader. Forgiving by design: blank and comment lines are
// skipped everywhere, keywords a block does not know are skipped (an end keyword of
// another block too), and the end of the file closes every open block.
#include "idoc/definition_reader.h"

#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>

#include "platform/platform.h"
#include "report/printable_name.h"

namespace qpeek {

namespace {

// Keywords of the blocks; anything not in a block's table is skipped.
enum class Keyword {
    Other,
    BeginSegmentSection,
    EndSegmentSection,
    BeginIdoc,
    EndIdoc,
    BeginGroup,
    EndGroup,
    BeginSegment,
    EndSegment,
    BeginFields,
    EndFields,
    Name,
    Text,
    Length,
    Status,
    LoopMin,
    LoopMax,
};

struct KeywordEntry {
    const char *text;
    Keyword keyword;
    size_t length = std::char_traits<char>::length(text);
};

// Accepted keywords without effect (LEVEL, NULLS, TYPE, FIELD_POS ...) need no entry:
// skipping them is what every block does with a keyword it does not act on.
constexpr KeywordEntry kKeywords[] = {
    {"BEGIN_SEGMENT_SECTION", Keyword::BeginSegmentSection},
    {"END_SEGMENT_SECTION", Keyword::EndSegmentSection},
    {"BEGIN_IDOC", Keyword::BeginIdoc},
    {"END_IDOC", Keyword::EndIdoc},
    {"BEGIN_GROUP", Keyword::BeginGroup},
    {"END_GROUP", Keyword::EndGroup},
    {"BEGIN_SEGMENT", Keyword::BeginSegment},
    {"END_SEGMENT", Keyword::EndSegment},
    {"BEGIN_FIELDS", Keyword::BeginFields},
    {"END_FIELDS", Keyword::EndFields},
    {"NAME", Keyword::Name},
    {"TEXT", Keyword::Text},
    {"LENGTH", Keyword::Length},
    {"STATUS", Keyword::Status},
    {"LOOPMIN", Keyword::LoopMin},
    {"LOOPMAX", Keyword::LoopMax},
};

// Most lines carry a keyword without effect (TYPE, FIELD_POS, BYTE_FIRST ...): comparing
// lengths first settles nearly every entry without looking at the text.
Keyword classify(const char *keyword, size_t length) {
    for (const KeywordEntry &e : kKeywords)
        if (e.length == length && std::memcmp(keyword, e.text, length) == 0)
            return e.keyword;
    return Keyword::Other;
}

// Blank, tab, line feed, carriage return and "=" separate a keyword from its value.
struct SeparatorTable {
    bool separator[256] = {};
    bool valueEnd[256] = {}; // a zero byte, line feed or carriage return ends a value
    constexpr SeparatorTable() {
        valueEnd[0] = true;
        valueEnd[static_cast<unsigned char>('\n')] = true;
        valueEnd[static_cast<unsigned char>('\r')] = true;
        separator[static_cast<unsigned char>(' ')] = true;
        separator[static_cast<unsigned char>('\t')] = true;
        separator[static_cast<unsigned char>('\n')] = true;
        separator[static_cast<unsigned char>('\r')] = true;
        separator[static_cast<unsigned char>('=')] = true;
    }
};
constexpr SeparatorTable kSeparators;

bool isSeparator(char c) {
    return kSeparators.separator[static_cast<unsigned char>(c)];
}

std::string limitedText(const char *value) {
    return std::string(value, strnlen(value, kDefinitionTextLimit));
}

// The open file and the line last read; shared by the block readers. The file is taken in
// blocks of the store's buffer (files are read one at a time).
struct LineReader {
    DefinitionStore &store;
    FILE *file;
    char *block;
    char line[kDefinitionLineSize];
    const char *keyword = "";
    const char *value = "";
    Keyword kind = Keyword::Other;
    int groupDepth = 0;
    size_t position = 0; // next unread byte of the block
    size_t filled = 0;   // bytes of the block read from the file

    // The next line with a keyword; false at the end of the file.
    bool next() {
        while (readLine()) {
            splitDefinitionLine(line, &keyword, &value);
            if (*keyword) {
                kind = classify(keyword, std::strlen(keyword));
                return true;
            }
        }
        return false;
    }

    // The bytes up to and including the next line feed, at most a line buffer less one of
    // them (the rest of a longer line comes as the next line), zero-terminated: what fgets
    // gives, from a file read in large blocks. False at the end of the file.
    bool readLine() {
        size_t n = 0;
        while (n < sizeof line - 1) {
            if (position == filled) {
                position = 0;
                filled = std::fread(block, 1, kDefinitionFileBlock, file);
                if (filled == 0)
                    break;
            }
            size_t want = filled - position;
            if (want > sizeof line - 1 - n)
                want = sizeof line - 1 - n;
            const char *from = block + position;
            const void *lineFeed = std::memchr(from, '\n', want);
            size_t take = lineFeed
                              ? static_cast<size_t>(static_cast<const char *>(lineFeed) - from) + 1
                              : want;
            std::memcpy(line + n, from, take);
            n += take;
            position += take;
            if (lineFeed)
                break;
        }
        line[n] = 0;
        return n > 0;
    }
};

void readFieldsBlock(LineReader &r, DefinitionNode &segment);
void readSegmentBlock(LineReader &r, DefinitionNode &segment);
void readGroupBlock(LineReader &r, DefinitionNode &group);

void setStatus(DefinitionNode &node, const char *value) {
    node.mandatory = strcasecmp(value, "MANDATORY") == 0;
}

// STATUS, LOOPMIN and LOOPMAX, shared by groups and segments.
bool readLoopKeyword(LineReader &r, DefinitionNode &node) {
    switch (r.kind) {
    case Keyword::Status:
        setStatus(node, r.value);
        return true;
    case Keyword::LoopMin:
        node.loopMin = readDecimal(r.value);
        return true;
    case Keyword::LoopMax:
        node.loopMax = readDecimal(r.value);
        return true;
    default:
        return false;
    }
}

std::unique_ptr<DefinitionNode> newNode(NodeKind kind, const char *value) {
    auto node = std::make_unique<DefinitionNode>();
    node->kind = kind;
    node->name = limitedText(value);
    return node;
}

// BEGIN_GROUP and BEGIN_SEGMENT inside a definition or a group. A group takes the name
// of its first member as soon as that member's opening line is read.
bool readMemberKeyword(LineReader &r, std::vector<std::unique_ptr<DefinitionNode>> &members,
                       DefinitionNode *group) {
    if (r.kind == Keyword::BeginGroup) {
        if (r.groupDepth >= kMaxGroupDepth)
            return true; // too deep to open: skipped like an unknown keyword
        if (group && members.empty())
            group->name = limitedText(r.value);
        auto node = newNode(NodeKind::Group, r.value);
        ++r.groupDepth;
        readGroupBlock(r, *node);
        --r.groupDepth;
        members.push_back(std::move(node));
        return true;
    }
    if (r.kind == Keyword::BeginSegment) {
        if (group && members.empty())
            group->name = limitedText(r.value);
        auto node = newNode(NodeKind::Segment, r.value);
        readSegmentBlock(r, *node);
        members.push_back(std::move(node));
        return true;
    }
    return false;
}

void readFieldsBlock(LineReader &r, DefinitionNode &segment) {
    FieldDefinition pending;
    bool hasPending = false;
    while (r.next()) {
        if (r.kind == Keyword::EndFields)
            break;
        switch (r.kind) {
        case Keyword::Name:
            if (hasPending)
                segment.fields.push_back(std::move(pending));
            pending = FieldDefinition{limitedText(r.value), std::string(), 0, 0};
            hasPending = true;
            break;
        // TEXT and LENGTH before the first NAME have no field to apply to: skipped.
        case Keyword::Text:
            if (hasPending)
                pending.description = limitedText(r.value);
            break;
        case Keyword::Length:
            if (hasPending)
                pending.length = readDecimal(r.value);
            break;
        default:
            break;
        }
    }
    if (hasPending)
        segment.fields.push_back(std::move(pending));
}

void readSegmentBlock(LineReader &r, DefinitionNode &segment) {
    while (r.next()) {
        if (r.kind == Keyword::EndSegment)
            return;
        if (r.kind == Keyword::BeginFields)
            readFieldsBlock(r, segment);
        else if (r.kind == Keyword::Text)
            segment.description = limitedText(r.value);
        else
            readLoopKeyword(r, segment);
    }
}

void readGroupBlock(LineReader &r, DefinitionNode &group) {
    while (r.next()) {
        if (r.kind == Keyword::EndGroup)
            return;
        if (!readMemberKeyword(r, group.members, &group))
            readLoopKeyword(r, group);
    }
}

void readIdocBlock(LineReader &r, IdocDefinition &definition) {
    while (r.next()) {
        if (r.kind == Keyword::EndIdoc)
            return;
        readMemberKeyword(r, definition.members, nullptr);
    }
}

void readSegmentSection(LineReader &r) {
    while (r.next()) {
        if (r.kind == Keyword::EndSegmentSection)
            return;
        if (r.kind == Keyword::BeginIdoc) {
            auto definition = std::make_unique<IdocDefinition>();
            definition->name = limitedText(r.value);
            readIdocBlock(r, *definition);
            addDefinition(r.store, std::move(definition));
        }
    }
}

} // namespace

void splitDefinitionLine(char *line, const char **keyword, const char **value) {
    char *p = line;
    while (isSeparator(*p)) // a zero byte is no separator
        ++p;
    char *k = p;
    while (*p && !isSeparator(*p))
        ++p;
    char *keywordEnd = p;
    while (isSeparator(*p))
        ++p;
    char *v = p;
    while (!kSeparators.valueEnd[static_cast<unsigned char>(*p)])
        ++p;
    // Trailing blanks (not tabs) leave the value.
    while (p > v && p[-1] == ' ')
        --p;
    *p = 0;
    *keywordEnd = 0;
    if (*k == '*' || *k == '#' || *k == '/' || *k == '-')
        *k = 0; // a comment line
    *keyword = k;
    *value = v;
}

int32_t readDecimal(const char *value) {
    const char *p = value;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int64_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > static_cast<int64_t>(INT32_MAX) + 1)
            n = static_cast<int64_t>(INT32_MAX) + 1; // saturated; keeps reading the digits
    }
    if (negative)
        return static_cast<int32_t>(-n);
    return static_cast<int32_t>(n > INT32_MAX ? INT32_MAX : n);
}

void readDefinitionStream(DefinitionStore &store, FILE *file) {
    // Not cleared: only the bytes a read fills are ever looked at, and only those pages are
    // touched.
    if (!store.fileBlock)
        store.fileBlock.reset(new char[kDefinitionFileBlock]);
    LineReader r{store, file, store.fileBlock.get(), {}};
    while (r.next()) {
        if (r.kind == Keyword::BeginSegmentSection)
            readSegmentSection(r);
        else
            writeDefinitionMessage(store, "Unexspected token '%s'\n", r.keyword);
    }
}

DefinitionLoad readDefinitionFile(DefinitionStore &store, const char *name, const char *path) {
    lockDefinitions(store);
    FILE *file = platform::openDefinitionFile(path);
    if (!file) {
        std::string line("Unable to open ");
        appendPrintableName(line, path);
        writeDefinitionMessage(store, "%s\n", line.c_str());
        unlockDefinitions(store);
        return DefinitionLoad{nullptr, LoadStatus::CannotOpen};
    }
    // The reader takes the file in blocks of its own buffer: no second buffer between.
    std::setvbuf(file, nullptr, _IONBF, 0);
    readDefinitionStream(store, file);
    std::fclose(file);
    unlockDefinitions(store);
    const IdocDefinition *d = cachedDefinition(store, name);
    return DefinitionLoad{d, d ? LoadStatus::Found : LoadStatus::NotDefined};
}

} // namespace qpeek
