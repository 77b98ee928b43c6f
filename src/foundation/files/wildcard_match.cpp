#include "foundation/files/wildcard_match.h"

#include <algorithm>
#include <string>

#include "platform/kernel/cp1252.h"

// An attempt after a '*' that reaches the next '*' hands the whole match over to that
// star, whose outcome (match, text ended, malformed) is final. So only the latest star
// ever needs to try further text positions, and the matcher runs as one loop that
// restarts the pattern after the latest star, never as a search over earlier stars.

namespace {

// A segment reached a '*' (never returned to callers).
constexpr int kReachedStar = 0;

signed char Signed(char c) {
    return static_cast<signed char>(c);
}

// Matches the character c against the set whose items start at p (just past '['),
// leaving p on the closing ']'. Every item is read even after one matched, so that a
// malformed set fails whatever the text holds.
int MatchSet(const char*& p, char c) {
    bool negated = *p == '!' || *p == '^';
    if (negated) ++p;
    if (*p == ']') return kWildcardMalformed;
    bool member = false;
    while (*p != ']') {
        if (*p == '\\') ++p;
        char first = *p;
        if (first == '\0') return kWildcardMalformed;
        char last = first;
        if (*++p == '-') {
            last = *++p;
            if (last == '\0' || last == ']') return kWildcardMalformed;
            if (last == '\\') {
                last = *++p;
                if (last == '\0') return kWildcardMalformed;
            }
            ++p;
        }
        signed char low = std::min(Signed(first), Signed(last));
        signed char high = std::max(Signed(first), Signed(last));
        if (Signed(c) >= low && Signed(c) <= high) member = true;
    }
    return member == negated ? kWildcardSetMismatch : kWildcardMatch;
}

// Matches from p and t up to the end of the pattern or its next '*', where it stops
// with p on the star.
int MatchSegment(const char*& p, const char*& t) {
    for (; *p != '\0'; ++p, ++t) {
        if (*t == '\0') return p[0] == '*' && p[1] == '\0' ? kWildcardMatch : kWildcardPatternLeft;
        switch (*p) {
        case '?':
            break;
        case '*':
            return kReachedStar;
        case '[': {
            ++p;
            int result = MatchSet(p, *t);
            if (result != kWildcardMatch) return result;
            break;
        }
        case '\\':
            if (*++p == '\0') return kWildcardMalformed;
            [[fallthrough]];
        default:
            if (*p != *t) return kWildcardCharMismatch;
            break;
        }
    }
    return *t != '\0' ? kWildcardTextLeft : kWildcardMatch;
}

} // namespace

WildcardResult MatchWildcardPattern(const char* pattern, const char* text) {
    const char* p = pattern ? pattern : "";
    const char* t = text ? text : "";
    int result = MatchSegment(p, t);
    while (result == kReachedStar) {
        for (; *p == '*' || *p == '?'; ++p) {
            if (*p == '?' && *t++ == '\0') return kWildcardPatternLeft;
        }
        if (*p == '\0') return kWildcardMatch;
        char next = *p == '\\' ? p[1] : *p;
        if (next == '\0') return kWildcardMalformed;
        // Only text positions holding the next literal (or any, before a set) can start
        // the rest; reaching the text's end without a match leaves pattern over.
        for (;; ++t) {
            if (*t == '\0') return kWildcardPatternLeft;
            if (*t != next && next != '[') continue;
            const char* restPattern = p;
            const char* restText = t;
            result = MatchSegment(restPattern, restText);
            if (result == kReachedStar) {
                p = restPattern;
                t = restText;
                break;
            }
            if (result == kWildcardMatch || result == kWildcardPatternLeft ||
                result == kWildcardMalformed)
                return static_cast<WildcardResult>(result);
        }
    }
    return static_cast<WildcardResult>(result);
}

namespace {

std::string Lowered(const char* text) {
    std::string lowered = text ? text : "";
    for (char& c : lowered)
        c = static_cast<char>(platform::Cp1252ToLower(static_cast<unsigned char>(c)));
    return lowered;
}

} // namespace

int WildcardMatch(const char* pattern, const char* text, int caseSensitive) {
    if (caseSensitive) return MatchWildcardPattern(pattern, text) == kWildcardMatch ? 1 : 0;
    return MatchWildcardPattern(Lowered(pattern).c_str(), Lowered(text).c_str()) == kWildcardMatch
               ? 1
               : 0;
}
