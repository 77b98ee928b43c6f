#include "platform/controls/rich_edit/rich_text_search.h"

#include <algorithm>
#include <array>

#include "platform/controls/text_case.h"

namespace platform {

namespace {

bool SameLetter(char a, char b, bool matchCase) {
    if (matchCase) return a == b;
    return LowerCase(static_cast<unsigned char>(a)) == LowerCase(static_cast<unsigned char>(b));
}

bool WordCharacter(char c) {
    auto byte = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || c == '_' || LowerCase(byte) != UpperCase(byte);
}

bool MatchesAt(std::string_view text, std::string_view what, int at, bool matchCase) {
    for (size_t i = 0; i < what.size(); ++i)
        if (!SameLetter(text[static_cast<size_t>(at) + i], what[i], matchCase)) return false;
    return true;
}

bool Separates(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || c == '<' || c == '>' || c == '"';
}

} // namespace

int FindInText(std::string_view text, std::string_view what, int from, int to, bool down,
               bool matchCase, bool wholeWord) {
    int length = static_cast<int>(text.size()), size = static_cast<int>(what.size());
    if (size == 0) return -1;
    int low = std::clamp(std::min(from, to), 0, length);
    int high = std::clamp(std::max(from, to), 0, length);
    auto found = [&](int at) {
        if (!MatchesAt(text, what, at, matchCase)) return false;
        if (!wholeWord) return true;
        bool before = at > 0 && WordCharacter(text[static_cast<size_t>(at) - 1]);
        bool after = at + size < length && WordCharacter(text[static_cast<size_t>(at + size)]);
        return !before && !after;
    };
    if (down) {
        for (int at = low; at + size <= high; ++at)
            if (found(at)) return at;
    } else {
        for (int at = high - size; at >= low; --at)
            if (found(at)) return at;
    }
    return -1;
}

std::vector<std::pair<int, int>> FindUrls(std::string_view text) {
    static constexpr std::array<std::string_view, 6> kPrefixes = {"http://", "https://", "ftp://",
                                                                  "file:",   "mailto:",  "www."};
    std::vector<std::pair<int, int>> urls;
    size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && Separates(text[at]))
            ++at;
        size_t end = at;
        while (end < text.size() && !Separates(text[end]))
            ++end;
        std::string_view word = text.substr(at, end - at);
        while (!word.empty() &&
               std::string_view(".,;:!?)'").find(word.back()) != std::string_view::npos)
            word.remove_suffix(1);
        for (std::string_view prefix : kPrefixes) {
            if (word.size() > prefix.size() && MatchesAt(word, prefix, 0, false)) {
                urls.emplace_back(static_cast<int>(at), static_cast<int>(at + word.size()));
                break;
            }
        }
        at = end;
    }
    return urls;
}

} // namespace platform
