#include <cstring>

#include "script/language/char_class.h"
#include "script/language/name_table.h"
#include "script/values/number_text.h"
#include "script/language/token_codes.h"
#include "script/language/token_compiler.h"

namespace {

// The punctuation rows of the interpreter name table by their first byte, longest
// first, so that a run of punctuation is split by the longest matching text.
class PunctuationTable {
public:
    static constexpr uint32_t kMaxPerByte = 8;

    struct Entry {
        const char* text;
        uint32_t length;
        uint16_t code;
    };

    PunctuationTable() {
        const uint8_t* classes = GetCharClassTable(0);
        for (const MethodNameRow* row = kInterpretorNameTable + 1; row->name != nullptr; ++row) {
            auto first = static_cast<unsigned char>(row->name[0]);
            if (classes[first] != kCharOther || counts_[first] == kMaxPerByte) continue;
            Entry entry{row->name, uint32_t(std::strlen(row->name)), uint16_t(row->id)};
            // Insert after every entry at least as long: longest first, table order kept.
            uint32_t at = counts_[first];
            while (at > 0 && entries_[first][at - 1].length < entry.length) {
                entries_[first][at] = entries_[first][at - 1];
                --at;
            }
            entries_[first][at] = entry;
            ++counts_[first];
        }
    }

    // The longest text that starts at `p`; null when none does. Compared byte by byte:
    // the source may end (with its zero) before the longest candidate does.
    const Entry* Match(const unsigned char* p) const {
        for (uint32_t i = 0; i < counts_[*p]; ++i) {
            const Entry& entry = entries_[*p][i];
            uint32_t n = 1;
            while (n < entry.length && p[n] == static_cast<unsigned char>(entry.text[n]))
                ++n;
            if (n == entry.length) return &entry;
        }
        return nullptr;
    }

private:
    Entry entries_[256][kMaxPerByte] = {};
    uint8_t counts_[256] = {};
};

const PunctuationTable& GetPunctuation() {
    static const PunctuationTable table;
    return table;
}

// The payload of a keyword or punctuation record: a jump target (and a block index)
// for the records that the link pass fills in.
uint32_t KeywordPayload(uint16_t code) {
    switch (code) {
    case kTokenFor:
    case kTokenWhile:
    case kTokenSwitch:
    case kTokenOpenBrace:
    case kTokenCloseBrace:
    case kTokenIf:
    case kTokenElse:
    case kTokenCase:
    case kTokenDefault:
        return sizeof(TargetToken) - sizeof(TokenHeader);
    default:
        return 0;
    }
}

bool IsExponentLetter(unsigned char c) {
    return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The largest decimal literal that stays an integer.
constexpr double kMaxIntegerLiteral = 2147483646.0;

} // namespace

void CTokenCompiler::TokenizeUnits() {
    fold_ = GetNameFoldTable();
    for (uint32_t i = 0; i < unitCount_; ++i)
        TokenizeUnit(i);
    AppendToken(kTokenEnd, 0, nullptr);
}

void CTokenCompiler::TokenizeUnit(uint32_t index) {
    const SourceUnit& unit = units_[index];
    mode = kModeTokenizing;
    unitIndex_ = index;
    unitArgument_ = unit.argument;
    sourceText_ = unit.text;
    sourceRead_ = unit.text;
    classes_ = GetCharClassTable(unit.flags);
    if ((unit.flags & kUnitFramed) != 0) {
        auto* marker = reinterpret_cast<UnitMarkerToken*>(
            AppendToken(kTokenUnitMarker, sizeof(UnitMarkerToken) - sizeof(TokenHeader), nullptr));
        marker->argument = unit.argument;
        AppendToken(kTokenSemicolon, 0, nullptr);
    }
    auto* p = reinterpret_cast<const unsigned char*>(unit.text);
    for (bool more = true; more;) {
        switch (classes_[*p]) {
        case kCharBlank:
        case kCharControl:
            ++p;
            break;
        case kCharLetter:
            p = ReadName(p);
            break;
        case kCharDigit:
            p = ReadNumber(p);
            break;
        case kCharOther:
            p = ReadPunctuation(p);
            break;
        default:
            more = false;
            break;
        }
    }
    if ((unit.flags & kUnitFramed) != 0) {
        AppendToken(kTokenUnitEnd, 0, nullptr);
        AppendToken(kTokenSemicolon, 0, nullptr);
    }
}

void CTokenCompiler::FailAt(int32_t code, const unsigned char* p) {
    sourceRead_ = reinterpret_cast<const char*>(p);
    Fail(code);
}

const unsigned char* CTokenCompiler::ReadNameWord(const unsigned char* p, uint32_t* hash) {
    uint32_t sum = 0;
    uint32_t n = 0;
    for (; n < kMaxWordLength; ++n) {
        unsigned char c = p[n];
        uint8_t kind = classes_[c];
        if (kind != kCharLetter && kind != kCharDigit) break;
        word_[n] = static_cast<char>(c);
        sum += fold_[c] & 0xDF;
    }
    word_[n] = '\0';
    *hash = sum;
    return p + n;
}

uint32_t CTokenCompiler::WordNameId() {
    int32_t id = nameTable_->FindOrAdd(word_);
    if (id < 0) ThrowOutOfMemory();
    return uint32_t(id);
}

void CTokenCompiler::WriteKeyword(uint16_t code, const unsigned char* start) {
    TokenPosition position = PositionOf(start);
    AppendToken(code, KeywordPayload(code), &position);
}

void CTokenCompiler::WriteName(uint16_t code, const unsigned char* start) {
    uint32_t id = WordNameId();
    TokenPosition position = PositionOf(start);
    auto* token = reinterpret_cast<NameToken*>(
        AppendToken(code, sizeof(NameToken) - sizeof(TokenHeader), &position));
    token->nameId = id;
}

const unsigned char* CTokenCompiler::ReadName(const unsigned char* p) {
    uint32_t hash;
    const unsigned char* end = ReadNameWord(p, &hash);
    if (const MethodNameRow* row = lookups_[0]->FindName(word_, hash)) {
        auto code = static_cast<uint16_t>(row->id);
        if (code == kTokenFunction) return ReadFunction(p, end);
        WriteKeyword(code, p);
        return end;
    }
    if (const MethodNameRow* row = bareLookup_->FindName(word_, hash)) {
        AppendToken(static_cast<uint16_t>(row->bareClass), 0, nullptr);
        return ReadMember(p, end);
    }
    const unsigned char* next = end;
    while (classes_[*next] == kCharBlank)
        ++next;
    if (*next == '(') {
        WriteName(kTokenCallName, p);
        return next + 1;
    }
    if (*next == '[') {
        WriteName(kTokenArrayName, p);
        return next + 1;
    }
    WriteName(kTokenName, p);
    return end;
}

// The member whose name is in the word buffer; "(" or "[" after it goes with it.
const unsigned char* CTokenCompiler::ReadMember(const unsigned char* nameStart,
                                                const unsigned char* p) {
    const unsigned char* next = p;
    while (classes_[*next] == kCharBlank)
        ++next;
    if (*next == '(') {
        WriteName(kTokenMemberCall, nameStart);
        return next + 1;
    }
    if (*next == '[') {
        WriteName(kTokenArrayMember, nameStart);
        return next + 1;
    }
    WriteName(kTokenMember, nameStart);
    return p;
}

const unsigned char* CTokenCompiler::ReadFunction(const unsigned char* start,
                                                  const unsigned char* p) {
    while (classes_[*p] == kCharBlank)
        ++p;
    if (classes_[*p] != kCharLetter) FailAt(40, p);
    uint32_t hash;
    const unsigned char* end = ReadNameWord(p, &hash);
    uint32_t id = WordNameId();
    TokenPosition position = PositionOf(start);
    auto* token = reinterpret_cast<FunctionNameToken*>(
        AppendToken(kTokenFunction, sizeof(FunctionNameToken) - sizeof(TokenHeader), &position));
    token->unitArgument = unitArgument_;
    token->nameId = id;
    return end;
}

const unsigned char* CTokenCompiler::ReadNumber(const unsigned char* p) {
    auto* text = reinterpret_cast<const char*>(p);
    if (p[0] == '0' && (p[1] | 0x20) == 'x') {
        const char* digits = text + 2;
        uint32_t value = ReadHexDigits(digits);
        auto* token = reinterpret_cast<IntegerToken*>(
            AppendToken(kTokenHexInteger, sizeof(IntegerToken) - sizeof(TokenHeader), nullptr));
        token->value = static_cast<int32_t>(value);
        return reinterpret_cast<const unsigned char*>(digits);
    }
    if (p[0] == '0' && (p[1] | 0x20) == 'b') {
        const char* digits = text + 2;
        uint32_t value = ReadBinaryDigits(digits);
        auto* token = reinterpret_cast<IntegerToken*>(
            AppendToken(kTokenHexInteger, sizeof(IntegerToken) - sizeof(TokenHeader), nullptr));
        token->value = static_cast<int32_t>(value);
        return reinterpret_cast<const unsigned char*>(digits);
    }
    bool dot = false;
    bool exponent = false;
    const unsigned char* end = p;
    for (;; ++end) {
        unsigned char c = *end;
        if (c >= '0' && c <= '9') continue;
        if (c == '.') {
            if (dot || exponent) FailAt(16, p);
            dot = true;
        } else if (IsExponentLetter(c)) {
            if (exponent) FailAt(16, p);
            exponent = true;
        } else if (!((c == '+' || c == '-') && exponent)) {
            break;
        }
    }
    // The literal's characters are all the conversion can use, so it stops inside it.
    double value = TextToDouble(text, nullptr, true);
    if (!dot && !exponent && value <= kMaxIntegerLiteral) {
        auto* token = reinterpret_cast<IntegerToken*>(
            AppendToken(kTokenInteger, sizeof(IntegerToken) - sizeof(TokenHeader), nullptr));
        token->value = static_cast<int32_t>(value);
    } else {
        auto* token = reinterpret_cast<DoubleToken*>(
            AppendToken(kTokenDouble, sizeof(DoubleToken) - sizeof(TokenHeader), nullptr));
        token->value = value;
    }
    return end;
}

const unsigned char* CTokenCompiler::ReadPunctuation(const unsigned char* p) {
    if (*p == '"' || *p == '\'') return ReadString(p);
    const PunctuationTable::Entry* entry = GetPunctuation().Match(p);
    if (entry == nullptr) FailAt(16, p);
    if (entry->code == kTokenLineComment) {
        const unsigned char* q = p + entry->length;
        while (classes_[*q] != kCharControl && classes_[*q] != kCharEnd)
            ++q;
        return q;
    }
    if (entry->code == kTokenDot) {
        const unsigned char* name = p + 1;
        while (classes_[*name] == kCharBlank)
            ++name;
        if (classes_[*name] == kCharLetter) {
            uint32_t hash;
            const unsigned char* end = ReadNameWord(name, &hash);
            return ReadMember(name, end);
        }
    }
    WriteKeyword(entry->code, p);
    return p + entry->length;
}

const unsigned char* CTokenCompiler::ReadString(const unsigned char* p) {
    unsigned char quote = *p;
    const unsigned char* text = p + 1;
    uint32_t length = 0;
    const unsigned char* end;
    for (;; ++length) {
        unsigned char c = text[length];
        if (c == quote) {
            end = text + length + 1;
            break;
        }
        if (c == '\r' || c == '\n' || classes_[c] == kCharEnd || length == kMaxStringLength) {
            end = text + length;
            break;
        }
    }
    TokenPosition position = PositionOf(p);
    uint32_t padded = (length + 1 + 7) & ~7u;
    TokenHeader* token = AppendToken(kTokenString, padded, &position);
    std::memcpy(token + 1, text, length);
    return end;
}
