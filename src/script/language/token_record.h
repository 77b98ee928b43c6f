// The records of a token stream and the block records of the link pass.
//
// A stream is one heap block of records laid end to end. Every record starts on an
// 8-byte boundary and is a multiple of 8 bytes long, so the pointer-sized cache slot of a
// name record is naturally aligned and the interpreter can fill it in place while it
// walks the stream; stepping to the next record is `record + size`.
//
//   header    u16 code, u16 size (of the whole record, position included),
//             u32 flags (kTokenPositioned: the record ends with a position; the
//             interpreter marks the first token of an expression it has decoded, see
//             kTokenFormChecked)
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

struct CVariable;

inline constexpr uint32_t kTokenPositioned = 1;
// Set by the interpreter on the first token of an expression it has decoded; the
// number of the expression's form (0: none, the expression runs token by token) is kept
// in the high 16 bits.
inline constexpr uint32_t kTokenFormChecked = 2;
inline constexpr uint32_t kTokenFormShift = 16;

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

// One step of an expression form, a postfix program over numbers.
struct ExpressionStep {
    uint16_t kind;
    uint16_t code; // the operator's token code
    uint32_t unused;
    union {
        NameToken* name;
        int32_t integer;
        double number;
    };
};

// One instruction of a double form's accumulator code (expression_form.h): the
// accumulator loaded with, or combined with, an operand.
struct DoubleOp {
    uint8_t code;
    uint8_t index;
};

// One instruction of an integer form's accumulator code (expression_form.h): the
// accumulator loaded with, or combined by operator `op` (a token code) with, the
// operand `index` of its kind.
struct IntegerOp {
    uint8_t code;
    uint8_t operand;
    uint8_t index;
    uint8_t op;
};

// An array element an integer form's code reads: the array is the form's name `array`,
// each of its `count` indices a literal (the integer of step `index`) or the form's name
// `index`.
struct FormElement {
    static constexpr uint32_t kMaxIndices = 2;
    uint8_t array;
    uint8_t count;
    uint8_t indexOperands[kMaxIndices];
    uint8_t indices[kMaxIndices];
};

// A call among an integer form's operands (expression_form.h): the step of the called
// name and the arguments, each a literal (the integer of step `index`) or the form's name
// `index`.
struct FormCall {
    static constexpr uint32_t kMaxArguments = 8;
    struct Argument {
        uint8_t operand;
        uint8_t index;
    };
    uint8_t step;
    uint8_t count;
    Argument arguments[kMaxArguments];
};

// An expression that only reads numbers (from names, members of script objects, array
// elements, literals and calls of functions by name) and applies operators to them,
// decoded into postfix steps in the order the token walk would apply them. At most its
// last step writes a variable.
struct ExpressionForm {
    static constexpr uint32_t kMaxSteps = 24;
    const uint8_t* start;
    uint8_t* end; // the token that ends the expression
    uint32_t count;
    // The interpreter's short cut for the common small forms.
    uint32_t shape;
    ExpressionStep steps[kMaxSteps];
    // The arithmetic shapes as accumulator code: its instructions, the steps of the
    // distinct names it reads (in the order the form first reads them; for an array,
    // an element step) and the place among them of the name the form assigns to
    // (kNoTarget: none). At most a push, a load and an operation for each operator, and
    // a final load. The integer code also has the elements it reads, the names that
    // hold arrays (a bit for each place), the element or member it assigns to
    // (kNoTarget: none), the calls it makes and the members it reads; opCount 0 when it
    // has none.
    static constexpr uint32_t kMaxOps = 3 * kMaxSteps / 2 + 1;
    static constexpr uint8_t kNoTarget = 0xFF;
    uint8_t opCount;
    uint8_t nameCount;
    uint8_t target;
    uint8_t elementCount;
    uint8_t targetElement;
    uint8_t callCount;
    uint8_t memberCount;
    uint8_t targetMember;
    uint32_t arrayNames;
    // The names that hold the script objects whose members the code reads.
    uint32_t objectNames;
    uint8_t names[kMaxSteps];
    FormElement elements[kMaxSteps];
    static constexpr uint32_t kMaxCalls = 4;
    FormCall calls[kMaxCalls];
    // The members the code reads: the place of the object's name and the member's step
    // (whose member token follows the name's).
    static constexpr uint32_t kMaxMembers = 8;
    struct Member {
        uint8_t object;
        uint8_t step;
    } members[kMaxMembers];
    union {
        DoubleOp doubleOps[kMaxOps];
        IntegerOp integerOps[kMaxOps];
    };
    // The variables of the names the code reads, as found at the scope epoch `epoch`
    // (0: never); the interpreter's.
    mutable uint64_t epoch;
    mutable CVariable* variables[kMaxSteps];
};

enum BlockKind : uint32_t {
    kBlockFor = 1,
    kBlockPlain = 3,
    kBlockWhile = 4,
    kBlockSwitch = 5,
    kBlockFunction = 6,
};

// The step and condition of a For or While in the plain shapes of a counting loop
// (x++ or x--; x compared with an integer literal or another variable), which the
// interpreter runs from these fields without the expression walk. The name offsets
// point at the variables' tokens in the stream; 0: that part takes the walk. All 0
// until the loop first runs.
struct LoopForm {
    static constexpr uint8_t kStepDown = 1; // x--
    // Both parts have short ways and name the same variable.
    static constexpr uint8_t kCounting = 2;
    // The body is empty: its "{" is followed by its "}".
    static constexpr uint8_t kEmptyBody = 4;
    // The condition holds when x is outside the range below instead of inside it.
    static constexpr uint8_t kOutside = 8;
    // A counting loop whose body is a few statements of typed code only (`statements`).
    static constexpr uint8_t kCodeBody = 16;
    static constexpr uint32_t kMaxStatements = 4;
    uint32_t stepName;
    uint32_t conditionName;
    // Every comparison with a literal is x in [low, low + span], or outside it.
    uint32_t low;
    uint32_t span;
    // The variable x is compared with (0: a literal) and the comparison's token code.
    uint32_t limitName;
    uint16_t compare;
    // The offset of the body's first record, just past its "{".
    uint32_t body;
    uint8_t flags;
    uint8_t decoded;
    // The forms of the statements of a code body, in order.
    uint8_t statementCount;
    uint32_t statements[kMaxStatements];
};

// A function whose body starts by returning a number expression of its parameters and
// literals, maybe behind an If on them, which a call computes from its arguments without
// binding them. All 0 until the function is first called.
struct ReturnForm {
    enum Kind : uint8_t {
        kUndecoded,
        kNone,      // the body runs
        kLiteral,   // Return 1;
        kParameter, // Return a;
        kInteger,   // integer accumulator code
        kDouble,    // double accumulator code
    };
    static constexpr uint32_t kMaxPlaces = 16;
    uint8_t kind;
    // The parameter each name place of the form reads.
    uint8_t parameters[kMaxPlaces];
    // The number of the returned expression's form.
    uint32_t form;
    // The form of the condition of an If before the Return (0: none): a comparison of a
    // parameter with a literal or another parameter, or integer code; the parameters
    // its names read (a comparison's by step, the code's by place).
    uint32_t guard;
    uint8_t guardParameters[kMaxPlaces];
    // The offset where the body goes on when the condition does not hold.
    uint32_t afterGuard;
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
    ReturnForm returns;    // Function: the interpreter's
    LoopForm loop;         // For, While: the interpreter's
};
