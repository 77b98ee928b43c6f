// The text of an EDIT with the index of its line starts: "\r\n" ends a line and both of
// its characters count as positions. The index is mended around each change, so line
// queries stay quick on long texts and an edit costs what it touches plus a shift of the
// later starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class EditText {
public:
    const std::string& Text() const { return text_; }
    int Length() const { return static_cast<int>(text_.size()); }
    // Replaces [start, end) (clamped and ordered) with `insert`.
    void Replace(int start, int end, std::string_view insert);
    int LineCount() const { return static_cast<int>(starts_.size()); }
    // The first position of the line, and its end before any "\r\n"; the line is clamped.
    int LineStart(int line) const;
    int LineEnd(int line) const;
    // The line holding the position (clamped to the text).
    int LineOf(int position) const;
    const std::vector<int>& Starts() const { return starts_; }

private:
    std::string text_;
    std::vector<int> starts_{0};
};

// The line starts found by reading the whole text, which the index must always equal.
std::vector<int> CountLineStarts(std::string_view text);

} // namespace platform
