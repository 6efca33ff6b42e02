// The parser-definition file reader. Forgiving by design: blank and comment lines are
// skipped everywhere, keywords a block does not know are skipped (an end keyword of
// another block too), and the end of the file closes every open block.
#include "idoc/definition_reader.h"

#include <cctype>
#include <cstring>
#include <strings.h>

#include "idoc/definition_cache.h"
#include "platform/platform.h"

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

Keyword classify(const char *keyword) {
    for (const KeywordEntry &e : kKeywords)
        if (std::strcmp(keyword, e.text) == 0)
            return e.keyword;
    return Keyword::Other;
}

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '=';
}

std::string limitedText(const char *value) {
    return std::string(value, strnlen(value, kDefinitionTextLimit));
}

// The open file and the line last read; shared by the block readers.
struct LineReader {
    ParseContext &context;
    FILE *file;
    char line[kDefinitionLineSize];
    const char *keyword = "";
    const char *value = "";
    Keyword kind = Keyword::Other;
    int groupDepth = 0;

    // The next line with a keyword; false at the end of the file or after an error.
    bool next() {
        while (context.error == 0 && std::fgets(line, sizeof line, file)) {
            splitDefinitionLine(line, &keyword, &value);
            if (*keyword) {
                kind = classify(keyword);
                return true;
            }
        }
        return false;
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
            pending = FieldDefinition{limitedText(r.value), std::string(), 0};
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
            addDefinition(std::move(definition));
        }
    }
}

// One large buffer for the definition file being read (files are read one at a time).
char gFileBuffer[1 << 20];

} // namespace

void splitDefinitionLine(char *line, const char **keyword, const char **value) {
    char *p = line;
    while (*p && isSeparator(*p))
        ++p;
    char *k = p;
    while (*p && !isSeparator(*p))
        ++p;
    char *keywordEnd = p;
    while (*p && isSeparator(*p))
        ++p;
    char *v = p;
    while (*p && *p != '\n' && *p != '\r')
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

void readDefinitionStream(ParseContext &context, FILE *file) {
    LineReader r{context, file, {}};
    while (r.next()) {
        if (r.kind == Keyword::BeginSegmentSection)
            readSegmentSection(r);
        else
            std::fprintf(stdout, "Unexspected token '%s'\n", r.keyword);
    }
}

const IdocDefinition *readDefinitionFile(ParseContext &context, const char *name,
                                         const char *path) {
    lockDefinitions();
    context.error = 0;
    FILE *file = platform::openDefinitionFile(path);
    if (!file) {
        std::fprintf(stdout, "Unable to open %s\n", path);
        context.error = kErrorCannotOpenDefinition;
    } else {
        std::setvbuf(file, gFileBuffer, _IOFBF, sizeof gFileBuffer);
        readDefinitionStream(context, file);
        std::fclose(file);
    }
    unlockDefinitions();
    if (context.error != 0)
        return nullptr;
    return findDefinition(context, name, FindMode::Exact);
}

} // namespace qpeek
