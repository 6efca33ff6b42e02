// A strict checker of JSON Lines text (RFC 8259): one value per line, here an object, the
// line ended by one '\n' and holding no other. The whole text is UTF-8 (no overlong forms,
// surrogates or code points past U+10FFFF), strings hold no raw control character and only
// the escapes JSON defines, numbers follow the grammar, and no object repeats a name.
#pragma once

#include <cctype>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>

namespace qpeek::fuzz {

struct JsonChecker {
    const unsigned char *at;
    const unsigned char *end;
    int depth = 0;

    bool more() const { return at < end; }
    bool take(char c) {
        if (!more() || *at != static_cast<unsigned char>(c))
            return false;
        ++at;
        return true;
    }
    void blanks() {
        while (more() && (*at == ' ' || *at == '\t' || *at == '\r'))
            ++at; // no '\n': it ends the line
    }

    // One UTF-8 sequence of a multi-byte character (its first byte >= 0x80).
    bool utf8() {
        unsigned char b = *at;
        size_t n;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            n = 3;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            n = 4;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (static_cast<size_t>(end - at) < n || at[1] < low || at[1] > high)
            return false;
        for (size_t i = 2; i < n; ++i)
            if ((at[i] & 0xC0) != 0x80)
                return false;
        at += n;
        return true;
    }

    bool hex4() {
        for (int i = 0; i < 4; ++i, ++at)
            if (!more() || !std::isxdigit(*at))
                return false;
        return true;
    }

    bool string(std::string *text) {
        const unsigned char *start = at;
        if (!take('"'))
            return false;
        for (;;) {
            if (!more() || *at < 0x20)
                return false;
            if (*at == '"')
                break;
            if (*at >= 0x80) {
                if (!utf8())
                    return false;
            } else if (*at == '\\') {
                ++at;
                if (!more())
                    return false;
                char c = static_cast<char>(*at++);
                if (c == 'u') {
                    if (!hex4())
                        return false;
                } else if (!std::strchr("\"\\/bfnrt", c) || c == 0) {
                    return false;
                }
            } else {
                ++at;
            }
        }
        ++at;
        if (text)
            text->assign(start, at);
        return true;
    }

    bool digits() {
        if (!more() || !std::isdigit(*at))
            return false;
        while (more() && std::isdigit(*at))
            ++at;
        return true;
    }

    bool number() {
        take('-');
        if (take('0')) {
            if (more() && std::isdigit(*at))
                return false;
        } else if (!digits()) {
            return false;
        }
        if (take('.') && !digits())
            return false;
        if (take('e') || take('E')) {
            if (!take('+'))
                take('-');
            if (!digits())
                return false;
        }
        return true;
    }

    bool word(const char *w) {
        for (; *w; ++w)
            if (!take(*w))
                return false;
        return true;
    }

    bool value() {
        blanks();
        if (!more() || ++depth > 200)
            return false;
        bool ok;
        switch (*at) {
        case '{': {
            ++at;
            std::set<std::string> names;
            blanks();
            ok = take('}');
            while (!ok) {
                std::string name;
                blanks();
                if (!string(&name) || !names.insert(name).second)
                    return false;
                blanks();
                if (!take(':') || !value())
                    return false;
                blanks();
                ok = take('}');
                if (!ok && !take(','))
                    return false;
            }
            break;
        }
        case '[':
            ++at;
            blanks();
            ok = take(']');
            while (!ok) {
                if (!value())
                    return false;
                blanks();
                ok = take(']');
                if (!ok && !take(','))
                    return false;
            }
            break;
        case '"':
            ok = string(nullptr);
            break;
        case 't':
            ok = word("true");
            break;
        case 'f':
            ok = word("false");
            break;
        case 'n':
            ok = word("null");
            break;
        default:
            ok = number();
            break;
        }
        --depth;
        blanks();
        return ok;
    }
};

// Whether text is exactly one JSON object followed by one '\n'.
inline bool isOneJsonObjectLine(const unsigned char *text, size_t length) {
    JsonChecker checker{text, text + length};
    checker.blanks();
    if (!checker.more() || *checker.at != '{' || !checker.value())
        return false;
    return checker.take('\n') && !checker.more();
}

} // namespace qpeek::fuzz
