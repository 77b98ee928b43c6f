#include "platform/files/wildcard.h"

#include <algorithm>

#include "platform/kernel/cp1252.h"

namespace platform {

WindowsPattern::WindowsPattern(std::string_view pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        switch (pattern[i]) {
        case '*':
            tokens_.push_back({next == '.' ? Kind::StarToLastDot : Kind::Star, 0});
            break;
        case '?':
            tokens_.push_back({Kind::Question, 0});
            break;
        case '.':
            if (next == '\0' || next == '*' || next == '?') {
                tokens_.push_back({Kind::DotOrEnd, 0});
                break;
            }
            [[fallthrough]];
        default:
            tokens_.push_back(
                {Kind::Literal, Cp1252ToUpper(static_cast<unsigned char>(pattern[i]))});
        }
    }
}

bool WindowsPattern::HasWildcards(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

// A walk of every token position the name read so far can have reached.
bool WindowsPattern::Matches(std::string_view name) const {
    size_t count = tokens_.size();
    size_t lastDot = name.rfind('.');
    std::vector<char> reached(count + 1, 0);
    std::vector<char> next(count + 1, 0);
    // Moves that consume nothing; they only go forward, so one pass settles them.
    auto settle = [&](std::vector<char>& states, size_t position) {
        bool atDotOrEnd = position == name.size() || name[position] == '.';
        for (size_t i = 0; i < count; ++i) {
            if (!states[i]) continue;
            Kind kind = tokens_[i].kind;
            if (kind == Kind::Star || kind == Kind::StarToLastDot ||
                (kind == Kind::Question && atDotOrEnd) ||
                (kind == Kind::DotOrEnd && position == name.size())) {
                states[i + 1] = 1;
            }
        }
    };
    reached[0] = 1;
    settle(reached, 0);
    for (size_t position = 0; position < name.size(); ++position) {
        auto c = static_cast<unsigned char>(name[position]);
        std::fill(next.begin(), next.end(), 0);
        bool any = false;
        for (size_t i = 0; i < count; ++i) {
            if (!reached[i]) continue;
            const Token& token = tokens_[i];
            switch (token.kind) {
            case Kind::Literal:
                if (Cp1252ToUpper(c) == token.folded) next[i + 1] = 1;
                break;
            case Kind::Star:
                next[i] = 1;
                break;
            case Kind::StarToLastDot:
                if (position != lastDot) next[i] = 1;
                break;
            case Kind::Question:
                if (c != '.') next[i + 1] = 1;
                break;
            case Kind::DotOrEnd:
                if (c == '.') next[i + 1] = 1;
                break;
            }
        }
        for (char state : next)
            any = any || state;
        if (!any) return false;
        settle(next, position + 1);
        reached.swap(next);
    }
    return reached[count] != 0;
}

} // namespace platform
