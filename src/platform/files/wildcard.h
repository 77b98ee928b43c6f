// File name patterns with the matching rules of Windows searches.
//
// '*' matches any run of characters and '?' any one character, without regard to case.
// As on Windows, '*' before a '.' never takes in the name's last dot; '?' facing a dot
// or the end of the name matches nothing there; a '.' followed by a wildcard or ending
// the pattern also matches the end of a name. So "*.*" matches every name, "*." the
// names without a dot, and "a??.txt" matches "a.txt".
#pragma once

#include <string_view>
#include <vector>

namespace platform {

class WindowsPattern {
public:
    explicit WindowsPattern(std::string_view pattern);
    bool Matches(std::string_view name) const;

    static bool HasWildcards(std::string_view text);

private:
    enum class Kind { Literal, Star, StarToLastDot, Question, DotOrEnd };
    struct Token {
        Kind kind;
        unsigned char folded; // Literal only
    };
    std::vector<Token> tokens_;
};

} // namespace platform
