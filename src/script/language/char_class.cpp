#include "script/language/char_class.h"

#include <array>

#include "platform/kernel/cp1252.h"

namespace {

using ClassTable = std::array<uint8_t, 256>;

constexpr ClassTable MakeClassTable(bool controlEnds) {
    ClassTable table{};
    for (int c = 0; c < 256; ++c) {
        uint8_t kind;
        if (c == '\t' || c == ' ' || c == 0xA0) {
            kind = kCharBlank;
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80) {
            kind = kCharLetter;
        } else if (c >= '0' && c <= '9') {
            kind = kCharDigit;
        } else if (c == 0) {
            kind = kCharEnd;
        } else if (c >= 32) {
            kind = kCharOther;
        } else {
            kind = controlEnds ? kCharEnd : kCharControl;
        }
        table[c] = kind;
    }
    return table;
}

constexpr ClassTable kClasses = MakeClassTable(false);
constexpr ClassTable kClassesControlEnds = MakeClassTable(true);

struct FoldTable {
    FoldTable() {
        for (int c = 0; c < 256; ++c)
            upper[c] = platform::Cp1252ToUpper(static_cast<unsigned char>(c));
    }
    unsigned char upper[256];
};

} // namespace

const uint8_t* GetCharClassTable(uint32_t unitFlags) {
    return (unitFlags & kUnitControlEnds) != 0 ? kClassesControlEnds.data() : kClasses.data();
}

const unsigned char* GetNameFoldTable() {
    static const FoldTable table;
    return table.upper;
}

uint32_t NameHash(const char* name) {
    const unsigned char* fold = GetNameFoldTable();
    uint32_t hash = 0;
    for (auto* p = reinterpret_cast<const unsigned char*>(name); *p != 0; ++p)
        hash += fold[*p] & 0xDF;
    return hash;
}

int NamesEqual(const char* a, const char* b) {
    const unsigned char* fold = GetNameFoldTable();
    auto* p = reinterpret_cast<const unsigned char*>(a);
    auto* q = reinterpret_cast<const unsigned char*>(b);
    while (fold[*p] == fold[*q]) {
        if (*p == 0) return 1;
        ++p;
        ++q;
    }
    return 0;
}
