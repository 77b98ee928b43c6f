#include "platform/controls/edit_text.h"

#include <algorithm>

namespace platform {

void EditText::Replace(int start, int end, std::string_view insert) {
    int length = Length();
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    if (start > end) std::swap(start, end);
    // A line start at p means "\r\n" at p - 2; one of those two characters changes when
    // p lies in [start + 1, end + 1], so those starts go and the stretch is read again.
    auto first = std::upper_bound(starts_.begin(), starts_.end(), start);
    auto last = std::upper_bound(starts_.begin(), starts_.end(), end + 1);
    int delta = static_cast<int>(insert.size()) - (end - start);
    first = starts_.erase(first, last);
    for (auto at = first; at != starts_.end(); ++at)
        *at += delta;
    text_.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), insert);
    std::vector<int> found;
    int scanEnd = std::min(start + static_cast<int>(insert.size()) + 1, Length());
    for (int p = std::max(start + 1, 2); p <= scanEnd; ++p)
        if (text_[p - 2] == '\r' && text_[p - 1] == '\n') found.push_back(p);
    starts_.insert(first, found.begin(), found.end());
}

int EditText::LineStart(int line) const {
    return starts_[static_cast<size_t>(std::clamp(line, 0, LineCount() - 1))];
}

int EditText::LineEnd(int line) const {
    line = std::clamp(line, 0, LineCount() - 1);
    return line + 1 < LineCount() ? starts_[static_cast<size_t>(line) + 1] - 2 : Length();
}

int EditText::LineOf(int position) const {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    return std::max(static_cast<int>(after - starts_.begin()) - 1, 0);
}

std::vector<int> CountLineStarts(std::string_view text) {
    std::vector<int> starts{0};
    for (size_t p = 2; p <= text.size(); ++p)
        if (text[p - 2] == '\r' && text[p - 1] == '\n') starts.push_back(static_cast<int>(p));
    return starts;
}

} // namespace platform
