#include "foundation/files/wildcard_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The matcher as its rules read, with every '*' searching recursively: the reference
// for the single-loop matcher.
int ReferenceMatch(const char* p, const char* t);

int ReferenceSet(const char*& p, char c) {
    bool negated = *p == '!' || *p == '^';
    if (negated) ++p;
    if (*p == ']') return 6;
    bool member = false;
    while (*p != ']') {
        char first = *p == '\\' ? *++p : *p;
        if (first == '\0') return 6;
        char last = first;
        if (p[1] == '-') {
            p += 2;
            if (*p == '\0' || *p == ']') return 6;
            last = *p == '\\' ? *++p : *p;
            if (last == '\0') return 6;
        }
        ++p;
        auto low = static_cast<signed char>(first), high = static_cast<signed char>(last);
        if (low > high) std::swap(low, high);
        auto x = static_cast<signed char>(c);
        member = member || (x >= low && x <= high);
    }
    return member != negated ? 1 : 4;
}

int ReferenceAfterStar(const char* p, const char* t) {
    for (; *p == '*' || *p == '?'; ++p) {
        if (*p == '?' && *t++ == '\0') return 3;
    }
    if (*p == '\0') return 1;
    char next = *p == '\\' ? p[1] : *p;
    if (next == '\0') return 6;
    for (;; ++t) {
        if (*t == next || next == '[') {
            int result = ReferenceMatch(p, t);
            if (result == 1 || result == 3 || result == 6) return result;
        }
        if (*t == '\0') return 3;
    }
}

int ReferenceMatch(const char* p, const char* t) {
    for (; *p != '\0'; ++p, ++t) {
        if (*t == '\0') return std::string(p) == "*" ? 1 : 3;
        if (*p == '*') return ReferenceAfterStar(p, t);
        if (*p == '?') continue;
        if (*p == '[') {
            int result = ReferenceSet(++p, *t);
            if (result != 1) return result;
            continue;
        }
        if (*p == '\\' && *++p == '\0') return 6;
        if (*p != *t) return 5;
    }
    return *t == '\0' ? 1 : 2;
}

struct Case {
    const char* pattern;
    const char* text;
    int result;
};

TEST(WildcardMatchTest, ResultCodes) {
    const Case cases[] = {
        {"", "", 1},
        {"", "a", 2},
        {"ab", "abc", 2},
        {"abcd", "abc", 3},
        {"abd", "abc", 5},
        {"a?c", "abc", 1},
        {"a?c", "ac", 3},
        {"*", "", 1},
        {"a*", "a", 1},
        {"*.txt", "a.txt.bak", 3},
        {"*.txt", "a.txd", 3},
        {"*?", "", 3},
        {"*?", "x", 1},
        {"*??", "x", 3},
        {"a*?c", "abbc", 1},
        {"*b*", "aaa", 3},
        {"a*b*c", "axxbyyc", 1},
        // Sets, negated sets and ranges in either order.
        {"[a-c]x", "bx", 1},
        {"[!a-c]x", "bx", 4},
        {"[!a-c]x", "dx", 1},
        {"[c-a]x", "bx", 1},
        {"[xa-cz]", "z", 1},
        // Ranges compare signed bytes: 0xE9 is below every ASCII character.
        {"[a-\xE9]", "0", 1},
        {"[a-\xE9]", "z", 4},
        {"[\x80-\xFF]", "\xC0", 1},
        {"*[0-9]", "abc7", 1},
        {"*[0-9]", "abc", 3},
        // Escapes make the next character literal, inside sets as well.
        {"a\\*", "a*", 1},
        {"\\?", "x", 5},
        {"[\\]]", "]", 1},
        {"[a\\-z]", "-", 1},
        {"[a\\-z]", "b", 4},
        {"[!-\\]]", "]", 4},
        {"[!-\\]]", "^", 1},
        {"*\\*", "ab*", 1},
        // Malformed patterns.
        {"a\\", "ab", 6},
        {"[]", "a", 6},
        {"[!]", "a", 6},
        {"[a-c", "b", 6},
        {"[a-]", "a", 6},
        {"[ab-]", "a", 6},
        {"[a-\\", "a", 6},
        {"*[", "abc", 6},
        {"*\\", "abc", 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchWildcardPattern(c.pattern, c.text), c.result)
            << "pattern " << c.pattern << " text " << c.text;
        EXPECT_EQ(ReferenceMatch(c.pattern, c.text), c.result)
            << "reference, pattern " << c.pattern << " text " << c.text;
    }
}

TEST(WildcardMatchTest, CaseFlagFoldsWindows1252Letters) {
    EXPECT_EQ(WildcardMatch("*.txt", "A.TXT", 0), 1);
    EXPECT_EQ(WildcardMatch("*.txt", "A.TXT", 1), 0);
    EXPECT_EQ(WildcardMatch("[A-C]x", "bX", 0), 1);
    EXPECT_EQ(WildcardMatch("caf\xE9*", "CAF\xC9.TXT", 0), 1);
    EXPECT_EQ(WildcardMatch("\x9C*", "\x8C", 0), 1);
    EXPECT_EQ(WildcardMatch("[a-c]x", "bx", 1), 1);
    EXPECT_EQ(WildcardMatch("[a-c", "b", 0), 0);
    EXPECT_EQ(WildcardMatch(nullptr, "", 1), 1);
}

// A malformed pattern: a '\' ending it or a set that does not parse.
bool IsMalformed(const std::string& pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '\\') {
            if (++i == pattern.size()) return true;
        } else if (pattern[i] == '[') {
            const char* p = pattern.c_str() + i + 1;
            if (ReferenceSet(p, 'a') == 6) return true;
            i = static_cast<size_t>(p - pattern.c_str());
        }
    }
    return false;
}

TEST(WildcardMatchTest, AgreesWithRecursiveSearchOnRandomInput) {
    std::mt19937 random(20240611);
    const std::string patternChars = "ab*?*[]!-\\^";
    const std::string textChars = "ab-]";
    auto draw = [&random](const std::string& alphabet, size_t maxLength) {
        std::string text(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
        for (char& c : text)
            c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
        return text;
    };
    int matches = 0;
    for (int i = 0; i < 200000; ++i) {
        std::string pattern = draw(patternChars, 9);
        std::string text = draw(textChars, 10);
        int expected = ReferenceMatch(pattern.c_str(), text.c_str());
        ASSERT_EQ(MatchWildcardPattern(pattern.c_str(), text.c_str()), expected)
            << "pattern " << pattern << " text " << text;
        if (expected == kWildcardMatch) {
            ++matches;
            ASSERT_FALSE(IsMalformed(pattern)) << "pattern " << pattern << " text " << text;
        }
    }
    EXPECT_GT(matches, 5000);
}

} // namespace
