#include "classes/surface/styled_text_tags.h"

#include <algorithm>

#include "platform/kernel/cp1252.h"

namespace {

struct TagName {
    std::string_view name;
    uint32_t kind;
};

constexpr TagName kTagNames[] = {
    {"U", kStyledUnderline},     {"B", kStyledBold},        {"STRONG", kStyledBold},
    {"I", kStyledItalic},        {"EM", kStyledItalic},     {"STRIKE", kStyledStrike},
    {"TT", kStyledTypewriter},   {"SMALL", kStyledSmall},   {"BIG", kStyledBig},
    {"SUP", kStyledSuperscript}, {"SUB", kStyledSubscript},
};

uint32_t KindOfName(std::string_view name) {
    uint32_t closing = 0;
    if (!name.empty() && name.front() == '/') {
        closing = kStyledClose;
        name.remove_prefix(1);
        if (name == "FONT") return kStyledClose | kStyledFont;
    }
    for (const TagName& tag : kTagNames)
        if (tag.name == name) return closing | tag.kind;
    return kStyledNothing;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

class TagReader {
public:
    TagReader(std::string_view input, size_t cursor) : input_(input), cursor_(cursor) {}

    size_t Cursor() const { return cursor_; }
    bool At(char c) const { return cursor_ < input_.size() && input_[cursor_] == c; }
    void Skip() { ++cursor_; }
    void SkipBlanks() {
        while (cursor_ < input_.size() && IsBlank(input_[cursor_]))
            ++cursor_;
    }

    // A name or a value in upper case: quoted up to its closing quote, else up to '>', '=',
    // a space or a tab.
    std::string Value() {
        SkipBlanks();
        std::string value;
        if (At('"')) {
            ++cursor_;
            while (cursor_ < input_.size() && input_[cursor_] != '"')
                value += Upper(input_[cursor_++]);
            if (cursor_ < input_.size()) ++cursor_;
            return value;
        }
        while (cursor_ < input_.size()) {
            char c = input_[cursor_];
            if (c == '>' || c == '=' || c == ' ' || c == '\t') break;
            value += Upper(c);
            ++cursor_;
        }
        return value;
    }

private:
    static char Upper(char c) {
        return static_cast<char>(platform::Cp1252ToUpper(static_cast<unsigned char>(c)));
    }

    std::string_view input_;
    size_t cursor_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "RRGGBB", each part one or two hexadecimal digits, after an optional '#'; false when fewer
// than three parts are read.
bool ReadColour(std::string_view value, uint32_t& colour) {
    if (!value.empty() && value.front() == '#') value.remove_prefix(1);
    uint32_t parts[3];
    size_t at = 0;
    for (uint32_t& part : parts) {
        int digits = 0;
        part = 0;
        while (digits < 2 && at < value.size() && HexDigit(value[at]) >= 0) {
            part = part * 16 + static_cast<uint32_t>(HexDigit(value[at++]));
            ++digits;
        }
        if (digits == 0) return false;
    }
    colour = parts[2] << 16 | parts[1] << 8 | parts[0];
    return true;
}

// The leading decimal digits, held to kStyledMaxHeight.
int32_t ReadNumber(std::string_view digits) {
    int64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') break;
        number = std::min<int64_t>(number * 10 + (c - '0'), kStyledMaxHeight);
    }
    return static_cast<int32_t>(number);
}

// SIZE: "+n" and "-n" from the current size, a plain number as it is; 0 when none.
int32_t ReadSize(std::string_view value, int32_t currentHeight) {
    const int64_t current = std::min<int64_t>(std::abs(int64_t{currentHeight}), kStyledMaxHeight);
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        const int64_t n = ReadNumber(value.substr(1));
        const int64_t size = value.front() == '+' ? current + n : current - n;
        return static_cast<int32_t>(std::clamp<int64_t>(size, 0, kStyledMaxHeight));
    }
    return ReadNumber(value);
}

// A text run from `start` up to the next '<' after it.
StyledToken TextRun(std::string_view input, size_t start, size_t& cursor) {
    size_t end = input.find('<', start + 1);
    if (end == std::string_view::npos) end = input.size();
    cursor = end;
    StyledToken token;
    token.kind = kStyledText;
    token.text.assign(input.substr(start, end - start));
    return token;
}

} // namespace

StyledToken ParseTextTags(std::string_view input, size_t& cursor, int32_t currentHeight) {
    StyledToken token;
    if (cursor >= input.size()) {
        cursor = input.size();
        return token;
    }
    const size_t start = cursor;
    if (input[start] != '<') {
        size_t end = input.find('<', start);
        if (end == std::string_view::npos) end = input.size();
        cursor = end;
        token.kind = kStyledText;
        token.text.assign(input.substr(start, end - start));
        return token;
    }
    TagReader reader(input, start + 1);
    const std::string name = reader.Value();
    if (name != "FONT") {
        if (!reader.At('>')) return TextRun(input, start, cursor);
        reader.Skip();
        cursor = reader.Cursor();
        token.kind = KindOfName(name);
        return token;
    }
    token.kind = kStyledFont;
    while (reader.Cursor() < input.size() && !reader.At('>')) {
        const std::string attribute = reader.Value();
        if (attribute.empty()) break;
        reader.SkipBlanks();
        if (!reader.At('=')) continue;
        reader.Skip();
        const std::string value = reader.Value();
        if (attribute == "FACE") {
            token.text = value;
            if (!value.empty())
                token.kind |= kStyledFaceGiven;
            else
                token.kind &= ~kStyledFaceGiven;
        } else if (attribute == "COLOR") {
            if (ReadColour(value, token.colour)) token.kind |= kStyledColourGiven;
        } else if (attribute == "SIZE") {
            const int32_t size = ReadSize(value, currentHeight);
            if (size != 0) {
                token.height = -size;
                token.kind |= kStyledSizeGiven;
            }
        }
        if (value.empty()) break;
    }
    if (!reader.At('>')) return TextRun(input, start, cursor);
    reader.Skip();
    cursor = reader.Cursor();
    return token;
}
