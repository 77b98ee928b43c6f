// Character classes by which script source (Windows-1252 bytes, never transcoded) is cut
// into words, and the case folding and hash of script names.
#pragma once

#include <cstdint>

enum CharClass : uint8_t {
    kCharEnd = 0,     // the zero byte
    kCharControl = 1, // bytes below 32 other than tab and zero (line breaks included)
    kCharLetter = 2,  // a-z, A-Z, "_" and every byte of 0x80 or above except 0xA0
    kCharDigit = 3,   // 0-9
    kCharBlank = 4,   // tab, space and the no-break space 0xA0
    kCharOther = 5,   // the remaining bytes: punctuation and operator characters
};

// The unit flag with which control bytes end the text instead of separating words.
inline constexpr uint32_t kUnitControlEnds = 1;

// The class of every byte for a unit with the given flags: a 256-entry table.
const uint8_t* GetCharClassTable(uint32_t unitFlags);

inline CharClass GetCharClass(unsigned char byte, uint32_t unitFlags) {
    return static_cast<CharClass>(GetCharClassTable(unitFlags)[byte]);
}

// The Windows-1252 upper-case form of every byte (platform/cp1252.h's mapping) as a
// 256-entry table: the one folding used for names, keywords and members.
const unsigned char* GetNameFoldTable();

// The name hash: the sum of (byte & 0xDF) over the name's bytes, each byte folded
// first. Folding changes the sum only for the four small letters whose capitals differ
// in more than bit 5 (the small s, oe and z with caron and y with diaeresis), so that
// names that are equal without regard to case always hash alike.
uint32_t NameHash(const char* name);

// 1 when the two names are equal without regard to case.
int NamesEqual(const char* a, const char* b);
