// The records of a token stream and the block records of the link pass.
//
// A stream is one heap block of records laid end to end. Every record starts on an
// 8-byte boundary and is a multiple of 8 bytes long, so the pointer-sized cache slot of a
// name record is naturally aligned and the interpreter can fill it in place while it
// walks the stream; stepping to the next record is `record + size`.
//
//   header    u16 code, u16 size (of the whole record, position included),
//             u32 flags (kTokenPositioned: the record ends with a position)
//   payload   by code, below; a multiple of 8 bytes
//   position  u32 byte offset of the token in its unit's text, u32 unit index
//
// | codes                                   | payload                          | size     |
// |-----------------------------------------|----------------------------------|----------|
// | 0 end of stream                         | none                             | 8        |
// | 100 unit marker                         | u32 unit argument, u32 0         | 16       |
// | 101 unit end, the ";" framing a unit    | none                             | 8        |
// |   and the ";" standing for a Case colon |                                  |          |
// | 102, 103 integer literals               | i32 value, u32 0                 | 16       |
// | 106 floating-point literal              | f64 value                        | 16       |
// | 105 string literal                      | text, zero, zeros up to 8 bytes  | 8+n+8    |
// | 77-82 names and members                 | u32 cached id, u32 name id,      | 24+8     |
// |                                         | pointer cache (interpreter's)    |          |
// | 90 Function as tokenized                | u32 unit argument, u32 name id   | 16+8     |
// | 90 Function linked, 85 For, 94 While,   | u32 target, u32 block index      | 16+8     |
// |   97 Switch as tokenized, 116 {, 117 }  |                                  |          |
// | 97 Switch linked; the { and } that the  | u32 target, u32 block index      | 16       |
// |   link pass puts around a loop body     |                                  |          |
// |   written without braces                |                                  |          |
// | 92 If, 93 Else, 98 Case, 99 Default     | u32 target, u32 0                | 16+8     |
// | a class id (or 96) put in front of a    | none                             | 8        |
// |   member written without its object     |                                  |          |
// | every other code                        | none                             | 8+8      |
//
// Targets are byte offsets from the start of the final stream: If - the end of its
// statement; Else - the end of its statement; For, While - just past the loop; Switch -
// its first label (0: none); Case, Default - the next label of the switch (0: last);
// { - its }; } - its {. A linked Function record's target is 0.
#pragma once

#include <cstdint>

inline constexpr uint32_t kTokenPositioned = 1;

struct TokenHeader {
    uint16_t code;
    uint16_t size;
    uint32_t flags;
};

struct TokenPosition {
    uint32_t offset;
    uint32_t unit;
};

struct NameToken {
    TokenHeader header;
    uint32_t cachedId; // a method id resolved at run time, 0 = none
    uint32_t nameId;   // CNameTable id
    void* cache;       // the class record of cachedId (or a variable) at run time
};

struct TargetToken {
    TokenHeader header;
    uint32_t target;
    uint32_t blockIndex;
};

struct FunctionNameToken {
    TokenHeader header;
    uint32_t unitArgument;
    uint32_t nameId;
};

struct IntegerToken {
    TokenHeader header;
    int32_t value;
    uint32_t unused;
};

struct DoubleToken {
    TokenHeader header;
    double value;
};

struct UnitMarkerToken {
    TokenHeader header;
    uint32_t argument;
    uint32_t unused;
};

// The longest string literal and the largest record (a literal of that length with its
// zero, padding and position).
inline constexpr uint32_t kMaxStringLength = 255;
inline constexpr uint32_t kMaxTokenSize =
    sizeof(TokenHeader) + kMaxStringLength + 1 + sizeof(TokenPosition);

inline const char* GetStringTokenText(const TokenHeader* token) {
    return reinterpret_cast<const char*>(token + 1);
}

// The position at the end of a record, or null when it has none.
inline const TokenPosition* GetTokenPosition(const TokenHeader* token) {
    if ((token->flags & kTokenPositioned) == 0) return nullptr;
    return reinterpret_cast<const TokenPosition*>(reinterpret_cast<const uint8_t*>(token) +
                                                  token->size - sizeof(TokenPosition));
}

enum BlockKind : uint32_t {
    kBlockFor = 1,
    kBlockPlain = 3,
    kBlockWhile = 4,
    kBlockSwitch = 5,
    kBlockFunction = 6,
};

// One loop, block, switch or function body of the final stream, addressed by the block
// index of its records. A function's block record is the script function itself.
struct BlockRecord {
    uint32_t kind;
    uint32_t bodyStart; // offset of the body's "{"
    uint32_t end;       // offset of the body's "}"
    // For, While: offset of the condition's first token, 0 without one.
    // Function: the name id.
    uint32_t condition;
    // For: offset of the step expression, 0 without one. Switch: offset of the first
    // statement after "Default:", 0 without one. Function: offset of its record.
    uint32_t step;
    uint32_t unitArgument; // Function: the argument of the unit that defines it
};
