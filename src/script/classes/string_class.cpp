#include "script/classes/string_class.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/kernel/cp1252.h"
#include "script/interpreter/interpretor.h"
#include "script/project/string_bank_text.h"
#include "script/values/number_text.h"
#include "script/values/text_block.h"

namespace {

const MethodNameRow kNameTable[] = {
    {CIString::kClassId, "String", 0, 0},
    {CIString::kBig, "Big", 0, 0},
    {CIString::kBold, "Bold", 0, 0},
    {CIString::kFontColor, "FontColor", 0, 0},
    {CIString::kFontSize, "FontSize", 0, 0},
    {CIString::kItalics, "Italics", 0, 0},
    {CIString::kSmall, "Small", 0, 0},
    {CIString::kStrike, "Strike", 0, 0},
    {CIString::kSub, "Sub", 0, 0},
    {CIString::kSup, "Sup", 0, 0},
    {CIString::kToLowerCase, "ToLowerCase", 0, 0},
    {CIString::kToUpperCase, "ToUpperCase", 0, 0},
    {CIString::kCharAt, "CharAt", 0, 0},
    {CIString::kIndexOf, "IndexOf", 0, 0},
    {CIString::kLastIndexOf, "LastIndexOf", 0, 0},
    {CIString::kSubString, "SubString", 0, 0},
    {CIString::kLength, "Length", 0, 0},
    {CIString::kGetFloat, "GetFloat", 0, 0},
    {CIString::kGetInt, "GetInt", 0, 0},
    {CIString::kGetAscii, "GetAscii", 0, 0},
    {CIString::kCompareNoCase, "CompareNoCase", 0, 0},
    {CIString::kReplace, "Replace", 0, 0},
    {0, nullptr, 0, 0},
};

// The opening tag of FontColor and FontSize holds their integer argument.
enum class TagArgument { None, Colour, Size };

struct Tags {
    const char* open;
    const char* close;
    TagArgument argument;
};

// By method id.
constexpr Tags kTags[] = {
    {},
    {"<BIG>", "</BIG>", TagArgument::None},
    {"<B>", "</B>", TagArgument::None},
    {nullptr, "</FONT>", TagArgument::Colour},
    {nullptr, "</FONT>", TagArgument::Size},
    {"<I>", "</I>", TagArgument::None},
    {"<SMALL>", "</SMALL>", TagArgument::None},
    {"<STRIKE>", "</STRIKE>", TagArgument::None},
    {"<SUB>", "</SUB>", TagArgument::None},
    {"<SUP>", "</SUP>", TagArgument::None},
};

// Byte maps of the Windows-1252 letters: the identity for exact matching, and the
// lower and upper case of each byte.
struct CaseMaps {
    CaseMaps() {
        for (int c = 0; c < 256; ++c) {
            auto byte = static_cast<unsigned char>(c);
            exact[c] = byte;
            lower[c] = platform::Cp1252ToLower(byte);
            upper[c] = platform::Cp1252ToUpper(byte);
        }
    }
    unsigned char exact[256];
    unsigned char lower[256];
    unsigned char upper[256];
};

const CaseMaps& Maps() {
    static const CaseMaps maps;
    return maps;
}

// Fills the new text of the result slot.
class ResultText {
public:
    // Error 15 for texts beyond the size of a script text.
    ResultText(CInterpretor& interpreter, size_t length) {
        if (length >= INT32_MAX) interpreter.RaiseError(15);
        at_ = interpreter.GetResultSlot()->SetStringBuffer(static_cast<int32_t>(length + 1));
        at_[length] = '\0';
    }

    void Append(std::string_view part) { at_ = std::copy(part.begin(), part.end(), at_); }
    char* Reserve(size_t n) {
        char* at = at_;
        at_ += n;
        return at;
    }

private:
    char* at_;
};

void StoreText(CInterpretor& interpreter, std::string_view text) {
    ResultText(interpreter, text.size()).Append(text);
}

int32_t ToScriptInt(size_t n) {
    return static_cast<int32_t>(std::min<size_t>(n, INT32_MAX));
}

// "0x" and "0b" texts are read as hexadecimal and binary digits, any other as a
// decimal number.
double ParseNumber(const char* text) {
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const char* digits = text + 2;
        return ReadHexDigits(digits);
    }
    if (text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        const char* digits = text + 2;
        return ReadBinaryDigits(digits);
    }
    return TextToDouble(text);
}

// The first place of `pattern` in `text` from `start` on, -1 for none.
int32_t IndexIn(std::string_view text, std::string_view pattern, int64_t start) {
    if (start < 0 || start >= static_cast<int64_t>(text.size())) return -1;
    size_t at = text.find(pattern, static_cast<size_t>(start));
    return at != std::string_view::npos ? ToScriptInt(at) : -1;
}

// The last place of `pattern` in `text`, -1 for none.
int32_t LastIndexIn(std::string_view text, std::string_view pattern) {
    int32_t position = -1;
    if (text.empty() || pattern.empty()) return position;
    // Each search starts after the previous hit, so overlapping hits are not seen.
    for (size_t at = text.find(pattern); at != std::string_view::npos;
         at = text.find(pattern, at + pattern.size()))
        position = ToScriptInt(at);
    return position;
}

// The byte at `index` of `text`, 0 outside it.
int32_t ByteAt(std::string_view text, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(text.size())) return 0;
    return static_cast<unsigned char>(text[static_cast<size_t>(index)]);
}

// The character at `index` of `text`, empty outside it.
std::string_view CharAtOf(std::string_view text, int64_t index) {
    if (index < 0 || index >= static_cast<int64_t>(text.size())) return {};
    return text.substr(static_cast<size_t>(index), 1);
}

// At most `length` characters of `text` from `start` on, empty when `start` is outside it or
// `length` is not positive.
std::string_view SubStringOf(std::string_view text, int64_t start, int64_t length) {
    const auto size = static_cast<int64_t>(text.size());
    if (start < 0 || start >= size || length <= 0) return {};
    return text.substr(static_cast<size_t>(start),
                       static_cast<size_t>(std::min(length, size - start)));
}

int32_t CompareNoCaseOf(const char* text, const char* other) {
    const unsigned char* lower = Maps().lower;
    auto* a = reinterpret_cast<const unsigned char*>(text);
    auto* b = reinterpret_cast<const unsigned char*>(other);
    while (*a != 0 && lower[*a] == lower[*b]) {
        ++a;
        ++b;
    }
    return int32_t(lower[*a]) - int32_t(lower[*b]);
}

// Every `old` (not empty) in `text` replaced by `replacement`, bytes compared through `map`.
class Replacement {
public:
    Replacement(std::string_view text, std::string_view old, std::string_view replacement,
                const unsigned char* map)
        : text_(text), old_(old), replacement_(replacement), map_(map) {}

    // The length of the new text; false when it would not fit in memory's sizes.
    bool Length(size_t& length) const {
        size_t count = 0;
        for (auto at = Next(text_.begin()); at != text_.end(); at = Next(at + old_.size()))
            ++count;
        size_t added;
        return !__builtin_mul_overflow(count, replacement_.size(), &added) &&
               !__builtin_add_overflow(text_.size() - count * old_.size(), added, &length);
    }
    void Write(char* out) const {
        auto piece = text_.begin();
        for (auto at = Next(piece); at != text_.end(); at = Next(piece)) {
            out = std::copy(piece, at, out);
            out = std::copy(replacement_.begin(), replacement_.end(), out);
            piece = at + old_.size();
        }
        std::copy(piece, text_.end(), out);
    }

private:
    std::string_view::iterator Next(std::string_view::iterator from) const {
        const unsigned char* map = map_;
        return std::search(from, text_.end(), old_.begin(), old_.end(), [map](char a, char b) {
            return map[static_cast<unsigned char>(a)] == map[static_cast<unsigned char>(b)];
        });
    }

    std::string_view text_;
    std::string_view old_;
    std::string_view replacement_;
    const unsigned char* map_;
};

// Argument `i` when it is a text, which the methods read as it is; a number would be made a
// text first, and anything else fails or reads as the default.
bool TextArgument(CInterpretor& interpreter, uint32_t i, std::string_view& out) {
    if (static_cast<int32_t>(i) >= interpreter.GetArgCount()) return false;
    const CValue& value = *interpreter.GetArg(i);
    if (value.StoredType() != kValueString) return false;
    out = value.GetStringSafe();
    return true;
}

// The methods on a text without an object (TextMethod): a borrowed text's length is where
// its first zero byte is, as the object's borrowed copy gives it.
bool LengthOf(CInterpretor& interpreter, const char* text) {
    interpreter.GetResultSlot()->SetInt(ToScriptInt(std::strlen(text)));
    return true;
}

bool IndexOfIn(CInterpretor& interpreter, const char* text) {
    std::string_view pattern;
    if (!TextArgument(interpreter, 0, pattern)) return false;
    int64_t start = 0;
    if (interpreter.GetArgCount() > 1) {
        const CValue& second = *interpreter.GetArg(1);
        if (second.StoredType() != kValueInt) return false;
        start = second.IntPayload();
    }
    interpreter.GetResultSlot()->SetInt(IndexIn(text, pattern, start));
    return true;
}

bool LastIndexOfIn(CInterpretor& interpreter, const char* text) {
    std::string_view pattern;
    if (!TextArgument(interpreter, 0, pattern)) return false;
    interpreter.GetResultSlot()->SetInt(LastIndexIn(text, pattern));
    return true;
}

// Argument `i` as an integer, `fallback` when it is missing or the default; false for any
// other kind, which the object's method converts.
bool IntArgument(CInterpretor& interpreter, uint32_t i, int64_t fallback, int64_t& out) {
    const CValue& argument = *interpreter.GetArg(i);
    if (argument.IsDefault()) {
        out = fallback;
        return true;
    }
    if (argument.StoredType() != kValueInt) return false;
    out = argument.IntPayload();
    return true;
}

bool AsciiIn(CInterpretor& interpreter, const char* text) {
    int64_t index;
    if (!IntArgument(interpreter, 0, 0, index)) return false;
    interpreter.GetResultSlot()->SetInt(ByteAt(text, index));
    return true;
}

// The methods that make a text write it into a block of their own and hand it to the result
// slot once it is whole. Short of memory, or for a text longer than a script text may be,
// they leave the method to its object, which fails as a method fails (ResultText).
char* NewTextBytes(size_t length) {
    if (length >= INT32_MAX) return nullptr;
    char* bytes = TextBlock::Make(length);
    if (bytes != nullptr) bytes[length] = '\0';
    return bytes;
}

bool AnswerText(CInterpretor& interpreter, std::string_view text) {
    char* bytes = NewTextBytes(text.size());
    if (bytes == nullptr) return false;
    std::copy(text.begin(), text.end(), bytes);
    interpreter.GetResultSlot()->SetOwnedText(bytes);
    return true;
}

bool AnswerMapped(CInterpretor& interpreter, std::string_view text, const unsigned char* map) {
    char* bytes = NewTextBytes(text.size());
    if (bytes == nullptr) return false;
    for (size_t i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(map[static_cast<unsigned char>(text[i])]);
    interpreter.GetResultSlot()->SetOwnedText(bytes);
    return true;
}

bool LowerCaseOf(CInterpretor& interpreter, const char* text) {
    return AnswerMapped(interpreter, text, Maps().lower);
}

bool UpperCaseOf(CInterpretor& interpreter, const char* text) {
    return AnswerMapped(interpreter, text, Maps().upper);
}

bool CharAtIn(CInterpretor& interpreter, const char* text) {
    const CValue& index = *interpreter.GetArg(0);
    return index.StoredType() == kValueInt &&
           AnswerText(interpreter, CharAtOf(text, index.IntPayload()));
}

bool SubStringOfText(CInterpretor& interpreter, const char* text) {
    const std::string_view whole = text;
    int64_t start;
    int64_t length;
    return IntArgument(interpreter, 0, 0, start) &&
           IntArgument(interpreter, 1, static_cast<int64_t>(whole.size()), length) &&
           AnswerText(interpreter, SubStringOf(whole, start, length));
}

bool FloatOf(CInterpretor& interpreter, const char* text) {
    interpreter.GetResultSlot()->SetFloat(ParseNumber(text));
    return true;
}

bool IntOf(CInterpretor& interpreter, const char* text) {
    interpreter.GetResultSlot()->SetInt(DoubleToInt(ParseNumber(text)));
    return true;
}

bool CompareNoCaseWith(CInterpretor& interpreter, const char* text) {
    const CValue& other = *interpreter.GetArg(0);
    if (other.StoredType() != kValueString) return false;
    interpreter.GetResultSlot()->SetInt(CompareNoCaseOf(text, other.GetStringSafe()));
    return true;
}

bool ReplaceIn(CInterpretor& interpreter, const char* text) {
    std::string_view old;
    std::string_view replacement;
    int64_t matchCase;
    if (!TextArgument(interpreter, 0, old) || !TextArgument(interpreter, 1, replacement) ||
        !IntArgument(interpreter, 2, 1, matchCase) || (matchCase != 0 && matchCase != 1))
        return false;
    if (old.empty()) return AnswerText(interpreter, text);
    const Replacement replaced(text, old, replacement,
                               matchCase != 0 ? Maps().exact : Maps().lower);
    size_t length;
    char* bytes;
    if (!replaced.Length(length) || (bytes = NewTextBytes(length)) == nullptr) return false;
    replaced.Write(bytes);
    interpreter.GetResultSlot()->SetOwnedText(bytes);
    return true;
}

struct TextMethods {
    TextMethod byId[CIString::kMethodCount] = {};
};

constexpr TextMethods MakeTextMethods() {
    TextMethods methods;
    methods.byId[CIString::kLength] = LengthOf;
    methods.byId[CIString::kIndexOf] = IndexOfIn;
    methods.byId[CIString::kLastIndexOf] = LastIndexOfIn;
    methods.byId[CIString::kGetAscii] = AsciiIn;
    methods.byId[CIString::kToLowerCase] = LowerCaseOf;
    methods.byId[CIString::kToUpperCase] = UpperCaseOf;
    methods.byId[CIString::kCharAt] = CharAtIn;
    methods.byId[CIString::kSubString] = SubStringOfText;
    methods.byId[CIString::kGetFloat] = FloatOf;
    methods.byId[CIString::kGetInt] = IntOf;
    methods.byId[CIString::kCompareNoCase] = CompareNoCaseWith;
    methods.byId[CIString::kReplace] = ReplaceIn;
    return methods;
}

constexpr TextMethods kTextMethods = MakeTextMethods();

CIBaseClassImpl* NewString(CInterpretor& interpreter, const CClassRecord* record) {
    return new (std::nothrow) CIString(&interpreter, record, nullptr, 0);
}

CIBaseClassImpl* NewStringAround(CInterpretor& interpreter, const CClassRecord* record,
                                 const char* text, int borrow) {
    auto* object = new (std::nothrow) CIString(&interpreter, record, text, borrow);
    if (object != nullptr) object->Register();
    return object;
}

} // namespace

const ScriptMethod<CIString> CIString::kMethods[kMethodCount] = {
    nullptr,
    &CIString::WrapInTags<kBig>,
    &CIString::WrapInTags<kBold>,
    &CIString::WrapInTags<kFontColor>,
    &CIString::WrapInTags<kFontSize>,
    &CIString::WrapInTags<kItalics>,
    &CIString::WrapInTags<kSmall>,
    &CIString::WrapInTags<kStrike>,
    &CIString::WrapInTags<kSub>,
    &CIString::WrapInTags<kSup>,
    &CIString::ToLowerCase,
    &CIString::ToUpperCase,
    &CIString::CharAt,
    &CIString::IndexOf,
    &CIString::LastIndexOf,
    &CIString::SubString,
    &CIString::Length,
    &CIString::GetFloat,
    &CIString::GetInt,
    &CIString::GetAscii,
    &CIString::CompareNoCase,
    &CIString::Replace,
};

CIString::CIString(CInterpretor* interpreter, const CClassRecord* record, const char* text,
                   int borrow)
    : CIBaseClassImpl(interpreter, record, 1), text_(interpreter, text, borrow) {}

void CIString::CallMethod(uint16_t methodId) {
    CallMethodFromTable(*this, kMethods, methodId);
}

void CIString::Destroy(int) {
    delete this;
}

void CIString::Create() {
    if (interpreter->GetArgCount() == 1 &&
        !LoadStringBankText(*interpreter, *interpreter->GetArg(0), text_))
        interpreter->RaiseError(79);
    Register();
}

template <uint16_t Id> void CIString::WrapInTags() {
    const Tags& tags = kTags[Id];
    // "<FONT COLOR=#80000000>" is the longest.
    char open[32];
    switch (tags.argument) {
    case TagArgument::None:
        std::snprintf(open, sizeof open, "%s", tags.open);
        break;
    case TagArgument::Colour:
        std::snprintf(open, sizeof open, "<FONT COLOR=#%.6X>",
                      static_cast<unsigned>(interpreter->GetArgInt(0)));
        break;
    case TagArgument::Size:
        std::snprintf(open, sizeof open, "<FONT SIZE=%i>", interpreter->GetArgInt(0));
        break;
    }
    std::string_view text = Text();
    std::string_view opening = open;
    std::string_view closing = tags.close;
    ResultText result(*interpreter, opening.size() + text.size() + closing.size());
    result.Append(opening);
    result.Append(text);
    result.Append(closing);
}

void CIString::StoreMapped(const unsigned char* map) {
    std::string_view text = Text();
    ResultText result(*interpreter, text.size());
    char* out = result.Reserve(text.size());
    for (char c : text)
        *out++ = static_cast<char>(map[static_cast<unsigned char>(c)]);
}

void CIString::ToLowerCase() {
    StoreMapped(Maps().lower);
}

void CIString::ToUpperCase() {
    StoreMapped(Maps().upper);
}

void CIString::CharAt() {
    StoreText(*interpreter, CharAtOf(Text(), interpreter->GetArgInt(0)));
}

void CIString::IndexOf() {
    std::string_view pattern = interpreter->GetArgString(0);
    int64_t start = interpreter->IsArgDefault(1) ? 0 : interpreter->GetArgInt(1);
    interpreter->GetResultSlot()->SetInt(IndexIn(Text(), pattern, start));
}

void CIString::LastIndexOf() {
    std::string_view pattern = interpreter->GetArgString(0);
    interpreter->GetResultSlot()->SetInt(LastIndexIn(Text(), pattern));
}

void CIString::SubString() {
    std::string_view text = Text();
    int64_t start = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    int64_t length = interpreter->IsArgDefault(1) ? static_cast<int64_t>(text.size())
                                                  : interpreter->GetArgInt(1);
    StoreText(*interpreter, SubStringOf(text, start, length));
}

void CIString::Length() {
    interpreter->GetResultSlot()->SetInt(ToScriptInt(text_.GetStringLength()));
}

void CIString::GetFloat() {
    interpreter->GetResultSlot()->SetFloat(ParseNumber(Text()));
}

void CIString::GetInt() {
    interpreter->GetResultSlot()->SetInt(DoubleToInt(ParseNumber(Text())));
}

void CIString::GetAscii() {
    int64_t index = interpreter->IsArgDefault(0) ? 0 : interpreter->GetArgInt(0);
    interpreter->GetResultSlot()->SetInt(ByteAt(Text(), index));
}

void CIString::CompareNoCase() {
    if (interpreter->IsArgDefault(0)) interpreter->RaiseError(115);
    interpreter->GetResultSlot()->SetInt(CompareNoCaseOf(Text(), interpreter->GetArgString(0)));
}

void CIString::Replace() {
    if (interpreter->IsArgDefault(0) || interpreter->IsArgDefault(1)) interpreter->RaiseError(115);
    int32_t matchCase = interpreter->IsArgDefault(2) ? 1 : interpreter->GetArgInt(2);
    if (matchCase != 0 && matchCase != 1) interpreter->RaiseError(115);
    std::string_view old = interpreter->GetArgString(0);
    std::string_view replacement = interpreter->GetArgString(1);
    std::string_view text = Text();
    if (old.empty()) {
        StoreText(*interpreter, text);
        return;
    }
    const Replacement replaced(text, old, replacement,
                               matchCase != 0 ? Maps().exact : Maps().lower);
    size_t length;
    if (!replaced.Length(length)) interpreter->RaiseError(15);
    ResultText result(*interpreter, length);
    replaced.Write(result.Reserve(length));
}

const ScriptClassInfo* GetStringClassInfo() {
    static const ScriptClassInfo info{
        kNameTable, &NewString,        CIString::kMethodCount, nullptr,
        0,          nullptr,           &NewStringAround,       nullptr,
        0,          kTextMethods.byId, CIString::kMethodCount,
    };
    return &info;
}
