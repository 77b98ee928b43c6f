// Wildcard patterns: '*' any run of characters, '?' any one, "[...]" a set of
// characters and ranges ("[!...]" or "[^...]" negated), '\' makes the next character
// literal. Characters compare as signed bytes.
#pragma once

// What MatchWildcardPattern found.
enum WildcardResult : int {
    kWildcardMatch = 1,
    kWildcardTextLeft = 2,    // the pattern ended with text left over
    kWildcardPatternLeft = 3, // the text ended with pattern left over
    kWildcardSetMismatch = 4,
    kWildcardCharMismatch = 5,
    kWildcardMalformed = 6,
};

// Matches the whole text against the pattern, case-sensitively. A malformed pattern
// (a '\' at its end, "[]", a range without its end, a set not closed) never matches.
// Takes time proportional to the pattern length times the text length at worst.
WildcardResult MatchWildcardPattern(const char* pattern, const char* text);

// 1 when the whole text matches the pattern, else 0. Without `caseSensitive` both are
// compared with the Windows-1252 letters folded to lower case.
int WildcardMatch(const char* pattern, const char* text, int caseSensitive);
