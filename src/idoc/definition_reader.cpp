// The parser-definition file reader. Forgiving by design: blank and comment lines are
// skipped everywhere, keywords a block does not know are skipped (an end keyword of
// another block too), and the end of the file closes every open block.
#include "idoc/definition_reader.h"

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

// The keywords by their length and last character (which tell every entry of kKeywords
// apart): most lines carry a keyword without effect (TYPE, FIELD_POS, BYTE_FIRST ...),
// settled by a look into this table and at most one comparison.
constexpr size_t kLongestKeyword = 21;
struct KeywordSlots {
    int8_t entry[kLongestKeyword + 1][32] = {};
    bool collision = false;
    constexpr KeywordSlots() {
        for (auto &row : entry)
            for (int8_t &e : row)
                e = -1;
        for (size_t e = 0; e < sizeof kKeywords / sizeof kKeywords[0]; ++e) {
            const KeywordEntry &k = kKeywords[e];
            if (k.length == 0 || k.length > kLongestKeyword) {
                collision = true;
                continue;
            }
            int8_t &slot = entry[k.length][k.text[k.length - 1] & 31];
            collision = collision || slot >= 0;
            slot = static_cast<int8_t>(e);
        }
    }
};
constexpr KeywordSlots kKeywordSlots;
static_assert(!kKeywordSlots.collision,
              "keywords must differ in their length or their last character");

Keyword classify(std::string_view keyword) {
    size_t n = keyword.size();
    if (n == 0 || n > kLongestKeyword)
        return Keyword::Other;
    int e = kKeywordSlots.entry[n][static_cast<unsigned char>(keyword[n - 1]) & 31];
    if (e < 0 || std::memcmp(keyword.data(), kKeywords[e].text, n) != 0)
        return Keyword::Other;
    return kKeywords[e].keyword;
}

// Blank, tab, line feed, carriage return and "=" separate a keyword from its value.
struct SeparatorTable {
    bool separator[256] = {};
    bool keywordEnd[256] = {}; // a separator or the zero byte that ends the line
    bool valueEnd[256] = {};   // a zero byte, line feed or carriage return ends a value
    constexpr SeparatorTable() {
        for (char c : {' ', '\t', '\n', '\r', '='}) {
            separator[static_cast<unsigned char>(c)] = true;
            keywordEnd[static_cast<unsigned char>(c)] = true;
        }
        keywordEnd[0] = true;
        valueEnd[0] = true;
        valueEnd[static_cast<unsigned char>('\n')] = true;
        valueEnd[static_cast<unsigned char>('\r')] = true;
    }
};
constexpr SeparatorTable kSeparators;

bool isSeparator(char c) {
    return kSeparators.separator[static_cast<unsigned char>(c)];
}

// The keyword of a zero-terminated line: its first run of non-separators (empty for a blank
// line or a comment line). `end` is where the keyword stops.
std::string_view lineKeyword(const char *line, const char **end) {
    const char *p = line;
    while (isSeparator(*p)) // a zero byte is no separator
        ++p;
    const char *k = p;
    while (!kSeparators.keywordEnd[static_cast<unsigned char>(*p)])
        ++p;
    *end = p;
    if (*k == '*' || *k == '#' || *k == '/' || *k == '-')
        return std::string_view(k, 0); // a comment line
    return std::string_view(k, static_cast<size_t>(p - k));
}

// The value after a keyword: the separators skipped, up to the line end, trailing blanks
// (not tabs) removed.
std::string_view lineValue(const char *afterKeyword) {
    const char *p = afterKeyword;
    while (isSeparator(*p))
        ++p;
    const char *v = p;
    while (!kSeparators.valueEnd[static_cast<unsigned char>(*p)])
        ++p;
    while (p > v && p[-1] == ' ')
        --p;
    return std::string_view(v, static_cast<size_t>(p - v));
}

std::string limitedText(std::string_view value) {
    return std::string(value.data(),
                       value.size() < kDefinitionTextLimit ? value.size() : kDefinitionTextLimit);
}

// The open file and the line last read; shared by the block readers. The file is taken in
// blocks of the store's buffer (files are read one at a time), and lines are read where
// they lie in it: the line feed that ends a line becomes its terminating zero byte. Only the
// value of a keyword a block acts on is ever looked for.
struct LineReader {
    DefinitionStore &store;
    FILE *file;
    char *block;        // kDefinitionFileBlock bytes and one for a terminating zero
    std::string *shown; // the messages of the read, for its replay (none: not kept)
    std::string_view keyword;
    const char *afterKeyword = "";
    Keyword kind = Keyword::Other;
    int groupDepth = 0;
    size_t position = 0;                 // next unread byte of the block
    size_t filled = 0;                   // bytes of the block read from the file
    bool atEnd = false;                  // the file has no more bytes
    char line[kDefinitionLineSize];      // a line cut at the line buffer's size
    std::vector<FieldDefinition> fields; // the fields block being read
    // The definitions read, added to the store together when the file ends (nothing looks
    // into the store while a file is read; added one by one, each would meet a cold index).
    std::vector<std::unique_ptr<IdocDefinition>> definitions;

    LineReader(DefinitionStore &s, FILE *f, char *b, std::string *messages)
        : store(s), file(f), block(b), shown(messages) {}

    std::string_view value() const { return lineValue(afterKeyword); }

    // The next line with a keyword; false at the end of the file.
    bool next() {
        while (const char *text = readLine()) {
            keyword = lineKeyword(text, &afterKeyword);
            if (!keyword.empty()) {
                kind = classify(keyword);
                return true;
            }
        }
        return false;
    }

    // Keeps the unread bytes and fills the rest of the block from the file.
    void fill() {
        size_t keep = filled - position;
        std::memmove(block, block + position, keep);
        position = 0;
        filled = keep;
        while (!atEnd && filled < kDefinitionFileBlock) {
            size_t n = std::fread(block + filled, 1, kDefinitionFileBlock - filled, file);
            if (n == 0)
                atEnd = true;
            filled += n;
        }
    }

    // The bytes up to the next line feed, at most a line buffer less one of them (the rest
    // of a longer line comes as the next line), zero-terminated: what fgets gives. None at
    // the end of the file.
    const char *readLine() {
        if (filled - position < kDefinitionLineSize && !atEnd)
            fill();
        size_t available = filled - position;
        if (available == 0)
            return nullptr;
        size_t limit = available < kDefinitionLineSize - 1 ? available : kDefinitionLineSize - 1;
        char *from = block + position;
        if (char *lineFeed = static_cast<char *>(std::memchr(from, '\n', limit))) {
            *lineFeed = 0;
            position += static_cast<size_t>(lineFeed - from) + 1;
            return from;
        }
        position += limit;
        if (limit == available) { // the file's last line, without a line feed
            from[limit] = 0;
            return from;
        }
        // A line longer than the line buffer: its first part, apart (the byte after it
        // begins the next line).
        std::memcpy(line, from, limit);
        line[limit] = 0;
        return line;
    }
};

void readFieldsBlock(LineReader &r, DefinitionNode &segment);
void readSegmentBlock(LineReader &r, DefinitionNode &segment);
void readGroupBlock(LineReader &r, DefinitionNode &group);

void setStatus(DefinitionNode &node, std::string_view value) {
    node.mandatory = value.size() == 9 && strncasecmp(value.data(), "MANDATORY", 9) == 0;
}

// STATUS, LOOPMIN and LOOPMAX, shared by groups and segments.
bool readLoopKeyword(LineReader &r, DefinitionNode &node) {
    switch (r.kind) {
    case Keyword::Status:
        setStatus(node, r.value());
        return true;
    case Keyword::LoopMin:
        node.loopMin = readDecimal(r.value());
        return true;
    case Keyword::LoopMax:
        node.loopMax = readDecimal(r.value());
        return true;
    default:
        return false;
    }
}

std::unique_ptr<DefinitionNode> newNode(NodeKind kind, std::string_view value) {
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
            group->name = limitedText(r.value());
        auto node = newNode(NodeKind::Group, r.value());
        ++r.groupDepth;
        readGroupBlock(r, *node);
        --r.groupDepth;
        members.push_back(std::move(node));
        return true;
    }
    if (r.kind == Keyword::BeginSegment) {
        if (group && members.empty())
            group->name = limitedText(r.value());
        auto node = newNode(NodeKind::Segment, r.value());
        readSegmentBlock(r, *node);
        members.push_back(std::move(node));
        return true;
    }
    return false;
}

// The fields are gathered in the reader's own list, then moved to the segment in one
// allocation of the size they need.
void readFieldsBlock(LineReader &r, DefinitionNode &segment) {
    std::vector<FieldDefinition> &fields = r.fields;
    fields.clear();
    while (r.next()) {
        if (r.kind == Keyword::EndFields)
            break;
        switch (r.kind) {
        case Keyword::Name: // the field before it is complete
            fields.push_back(FieldDefinition{limitedText(r.value()), std::string(), 0, 0});
            break;
        // TEXT and LENGTH before the first NAME have no field to apply to: skipped.
        case Keyword::Text:
            if (!fields.empty())
                fields.back().description = limitedText(r.value());
            break;
        case Keyword::Length:
            if (!fields.empty())
                fields.back().length = readDecimal(r.value());
            break;
        default:
            break;
        }
    }
    segment.fields.reserve(segment.fields.size() + fields.size());
    for (FieldDefinition &field : fields)
        segment.fields.push_back(std::move(field));
}

void readSegmentBlock(LineReader &r, DefinitionNode &segment) {
    while (r.next()) {
        if (r.kind == Keyword::EndSegment)
            return;
        if (r.kind == Keyword::BeginFields)
            readFieldsBlock(r, segment);
        else if (r.kind == Keyword::Text)
            segment.description = limitedText(r.value());
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
            definition->name = limitedText(r.value());
            readIdocBlock(r, *definition);
            r.definitions.push_back(std::move(definition));
        }
    }
}

} // namespace

void splitDefinitionLine(char *line, const char **keyword, const char **value) {
    const char *keywordEnd = line;
    std::string_view k = lineKeyword(line, &keywordEnd);
    std::string_view v = lineValue(keywordEnd);
    char *k0 = line + (k.data() - line);
    char *v0 = line + (v.data() - line);
    v0[v.size()] = 0;
    k0[k.size()] = 0; // a comment's keyword is empty
    *keyword = k0;
    *value = v0;
}

int32_t readDecimal(std::string_view value) {
    const char *p = value.data();
    const char *end = p + value.size();
    // The white space of the C locale: blank, tab, line feed, vertical tab, form feed,
    // carriage return.
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    int64_t n = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > static_cast<int64_t>(INT32_MAX) + 1)
            n = static_cast<int64_t>(INT32_MAX) + 1; // saturated; keeps reading the digits
    }
    if (negative)
        return static_cast<int32_t>(-n);
    return static_cast<int32_t>(n > INT32_MAX ? INT32_MAX : n);
}

int32_t readDecimal(const char *value) {
    return readDecimal(std::string_view(value));
}

namespace {

// Reads the file's lines; with `shown`, keeps what the read writes there. Returns whether
// the read may be replayed: every message kept and the file read to its end.
bool readDefinitionLines(DefinitionStore &store, FILE *file, std::string *shown) {
    // Not cleared: only the bytes a read fills are ever looked at, and only those pages are
    // touched.
    if (!store.fileBlock)
        store.fileBlock.reset(new char[kDefinitionFileBlock + 1]);
    LineReader r(store, file, store.fileBlock.get(), shown);
    std::string message;
    while (r.next()) {
        if (r.kind == Keyword::BeginSegmentSection) {
            readSegmentSection(r);
            continue;
        }
        message.assign("Unexspected token '").append(r.keyword).append("'\n");
        writeDefinitionText(store, message);
        if (r.shown) {
            if (r.shown->size() + message.size() > kRememberedMessagesLimit)
                r.shown = nullptr; // too much to keep: the file will be read again
            else
                r.shown->append(message);
        }
    }
    for (std::unique_ptr<IdocDefinition> &definition : r.definitions)
        addDefinition(store, std::move(definition));
    return r.shown && !std::ferror(file);
}

const DefinitionFileRead *fileReadBefore(const DefinitionStore &store,
                                         const platform::FileIdentity &identity) {
    for (const DefinitionFileRead &read : store.filesRead)
        if (read.identity == identity)
            return &read;
    return nullptr;
}

} // namespace

void readDefinitionStream(DefinitionStore &store, FILE *file) {
    readDefinitionLines(store, file, nullptr);
}

DefinitionLoad readDefinitionFile(DefinitionStore &store, const char *name, const char *path) {
    lockDefinitions(store);
    platform::FileIdentity identity;
    bool identityKnown = false;
    FILE *file = platform::openDefinitionFile(path, &identity, &identityKnown);
    if (!file) {
        std::string line("Unable to open ");
        appendPrintableName(line, path);
        writeDefinitionMessage(store, "%s\n", line.c_str());
        unlockDefinitions(store);
        return DefinitionLoad{nullptr, LoadStatus::CannotOpen};
    }
    const DefinitionFileRead *before = identityKnown ? fileReadBefore(store, identity) : nullptr;
    if (before) {
        // The same file again: every definition it holds is in the store already, so the
        // read would add none; it would write the same messages, under the lock.
        writeDefinitionText(store, before->messages);
    } else {
        // The reader takes the file in blocks of its own buffer: no second buffer between.
        std::setvbuf(file, nullptr, _IONBF, 0);
        std::string shown;
        if (readDefinitionLines(store, file, identityKnown ? &shown : nullptr))
            store.filesRead.push_back(DefinitionFileRead{identity, std::move(shown)});
    }
    std::fclose(file);
    unlockDefinitions(store);
    const IdocDefinition *d = cachedDefinition(store, name);
    return DefinitionLoad{d, d ? LoadStatus::Found : LoadStatus::NotDefined};
}

} // namespace qpeek
