// The one value type of the script language: a number, a text, a counted reference to
// an object or an array, a function, or one of the placeholders the interpreter uses
// while it evaluates the left side of an assignment.
//
// A value that holds an object holds a counted share of the object's link, not the
// object itself: when the object goes, the value reads as integer 0 from then on (its
// type and payload accessors say so without writing it), and settles into one when it
// is next converted, operated on or assigned.
//
// Values are not copied or moved, only assigned.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/classes/object_link.h"
#include "script/interpreter/ierror.h"

class CInterpretor;
class CIBaseClassImpl;
struct BlockRecord;
class CScriptArray;

// The type tags.
enum : uint32_t {
    kValueInt = 0,
    kValueDouble = 1,
    kValueString = 2,
    kValueObject = 3,
    kValueFunction = 4,
    kValueArray = 5,
    // Placeholders: they live only between an operand and the assignment that consumes
    // them. 6 is also the fresh, empty value.
    kValueUnboundName = 6,
    kValueUnboundMember = 7,
    kValueUnboundArray = 8,
    kValueUnboundMemberArray = 9,
    kValueMissingElement = 10,
    // An argument that was not given.
    kValueDefault = 11,
};

class CValue {
public:
    // Returned by GetString for a missing argument; callers recognise it by address.
    static constexpr char kDefaultString[] = "Default string";
    // Flags bit: the text of a string value is borrowed, never freed. Other texts are
    // the bytes of a counted block (text_block.h) that copies of the value share.
    static constexpr uint32_t kBorrowedText = 1;
    // With kBorrowedText: the borrowed text is the bytes of a block that outlives the value
    // (a literal's), which a value or cell keeping the text shares rather than copies.
    static constexpr uint32_t kBorrowedBlock = 2;

    // A value does not know its interpreter: errors are raised on, and number texts
    // written into, CInterpretor::Current(); an array knows its own. The constructors
    // taking an interpreter keep it for their callers' sake only.
    //
    // Empty (tag 6).
    CValue();
    explicit CValue(CInterpretor* interpreter);
    // Empty, then a copy of `source` when one is given.
    CValue(CInterpretor* interpreter, const CValue* source);
    // Holds `object` (one use, one holder of its link). To hold the interpreter itself,
    // pass it as a CIBaseClassImpl*.
    explicit CValue(CIBaseClassImpl* object);
    // A null text gives a null (empty) string; `borrow` keeps the pointer instead of
    // copying the text.
    CValue(CInterpretor* interpreter, const char* text, int borrow);
    CValue(CInterpretor* interpreter, int32_t value);
    ~CValue();
    CValue(const CValue&) = delete;
    CValue& operator=(const CValue&) = delete;

    // Setters release the old content first. Errors (15 out of memory) are raised
    // before anything changes.
    void SetInt(int32_t value) {
        if (((kNothingHeld >> type_) & 1) == 0) Release(false);
        type_ = kValueInt;
        flags_ = 0;
        payload_.integer = value;
    }
    // SetInt of a value that holds integer 0, as a slot of a call is handed out: only the
    // number changes.
    void SetIntOverZero(int32_t value) { payload_.integer = value; }
    // SetInt(0) of a value that holds a number, which has nothing to release.
    void ClearNumber() {
        type_ = kValueInt;
        flags_ = 0;
        payload_.integer = 0;
    }
    void SetFloat(double value) {
        if (((kNothingHeld >> type_) & 1) == 0) Release(false);
        type_ = kValueDouble;
        flags_ = 0;
        payload_.number = value;
    }
    void SetString(const char* text, int borrow);
    // An owned buffer of n bytes starting with a 0 byte, for methods to fill; null
    // (the empty text) for n < 1.
    char* SetStringBuffer(int32_t n);
    // Takes `text`, the bytes of a block this value becomes the holder of (or null).
    void SetOwnedText(char* text);
    // Borrows `block`, the bytes of a block that outlives the value (kBorrowedBlock).
    void SetBorrowedBlock(const char* block);
    void SetDefault();
    // A null object gives integer 0. Without `release` the old content is dropped as
    // it is: objects use it to clear the values that hold them.
    void SetObject(CIBaseClassImpl* object, int release);
    void SetFunction(const BlockRecord* record) {
        if (((kNothingHeld >> type_) & 1) == 0) Release(false);
        type_ = kValueFunction;
        flags_ = 0;
        payload_.function = record;
    }
    void SetUnboundName(uintptr_t token) { SetPlaceholder(kValueUnboundName, token); }
    void SetUnboundMember(uintptr_t token);
    void SetUnboundArray(uintptr_t token);
    void SetUnboundMemberArray(uintptr_t token);
    void SetMissingElement(uint32_t flatIndex);
    // A new empty array of the current interpreter with this value as its only holder;
    // error 15 without an interpreter.
    void MakeArray();
    // Takes the source's content (a share of its text, object or array; a copy of a
    // borrowed text).
    // A placeholder source raises error 41.
    void Assign(const CValue& source) {
        // Numbers, functions and defaults over content that holds nothing: a plain copy.
        if (((kPlainSources >> source.type_) & (kNothingHeld >> type_) & 1) != 0 &&
            &source != this) {
            type_ = source.type_;
            flags_ = 0;
            payload_ = source.payload_;
            return;
        }
        AssignHeld(source);
    }
    // Assign of a source holding an object that is still there: the share taken without
    // looking at kinds. Defined with the objects (base_class.h), whose counts it takes.
    inline void AssignLiveObject(const CValue& source);

    // Conversions; kinds that cannot be converted raise 18 (object, function), 41
    // (placeholder; default where a value is needed) and so on.
    int32_t GetInt() const { return type_ == kValueInt ? payload_.integer : ConvertToInt(); }
    double GetDouble() const;
    double GetFloat() const;
    // Numbers are written into a temporary text of the current interpreter, valid until
    // its next flush (error 15 without one); a string gives its own text.
    const char* GetString() const;
    const char* GetStringSafe() const;
    // The length of GetString's text, without measuring a text it holds.
    size_t GetStringLength() const;
    CIBaseClassImpl* GetObject() const;
    CIBaseClassImpl* GetObjectNonNull() const;
    // Inline, as every call reads its function through it.
    const BlockRecord* GetFunction() const {
        if (type_ == kValueFunction) [[likely]]
            return payload_.function;
        FailFunction();
    }
    uintptr_t GetPlaceholder() const;
    uint32_t GetMissingElementIndex() const;
    int IsDefault() const { return type_ == kValueDefault; }
    int IsObjectOfClass(uint32_t classId) const;
    int32_t GetObjectClassId() const;
    // Drops every reference to `object` held here, also inside arrays (at any depth).
    void ReleaseReferencesTo(CIBaseClassImpl* object);

    uint32_t GetType() const {
        return type_ == kValueObject && payload_.link->object == nullptr ? kValueInt : type_;
    }
    // The tag as stored, for fast paths that check the object anyway: kValueObject also
    // stands for a value whose object went (its ObjectPayload() is null) and which reads
    // as integer 0 everywhere else.
    uint32_t StoredType() const { return type_; }
    // Both this and `other` are integers, whose numbers IntPayload reads directly.
    bool IsIntPair(const CValue& other) const { return (type_ | other.type_) == kValueInt; }
    int32_t IntPayload() const { return type_ == kValueInt ? payload_.integer : 0; }
    double DoublePayload() const { return payload_.number; }
    // The object of a value whose type is kValueObject (null after its object went).
    CIBaseClassImpl* ObjectPayload() const { return payload_.link->object; }
    uint32_t GetFlags() const { return flags_; }
    // The array held, or null when this is no array.
    CScriptArray* GetArray() const { return type_ == kValueArray ? payload_.array : nullptr; }
    bool HoldsSameArray(const CValue& other) const {
        return type_ == kValueArray && other.type_ == kValueArray &&
               payload_.array == other.payload_.array;
    }

    // Array elements. Indices are per dimension; n is their count.
    // The item of an element (null when it does not exist yet); a value that is no
    // array becomes an empty one first, and the array grows to take the element.
    CValue* GetArrayItemPtr(const int32_t* indices, int n);
    // 0 for a value that is no array.
    uint32_t GetArrayFlatIndex(const int32_t* indices, int n);
    // Stores raise error 44 on a value that is no array.
    void SetArrayItem(int32_t index, const CValue* value);
    void SetArrayItemString(int32_t index, const char* text);
    void SetArrayItemAt(const int32_t* indices, int n, const CValue* value);
    void SetArrayItemFlat(uint32_t flatIndex, const CValue* value);

    // Two-operand operators: the result replaces this (left) value.
    void Add(const CValue& right);
    void Subtract(const CValue& right);
    void Multiply(const CValue& right);
    void Divide(const CValue& right);
    void Modulo(const CValue& right);
    void BitAnd(const CValue& right);
    void BitOr(const CValue& right);
    void BitXor(const CValue& right);
    void ShiftLeft(const CValue& right);
    void ShiftRight(const CValue& right);
    // Comparisons leave integer 1 or 0.
    void Less(const CValue& right);
    void Greater(const CValue& right);
    void LessEqual(const CValue& right);
    void GreaterEqual(const CValue& right);
    void Equal(const CValue& right);
    void NotEqual(const CValue& right);
    // "==" without writing either operand.
    int IsEqual(const CValue& right) const;

    // One-operand operators, in place.
    void Negate();
    // "!" before an operand: always an integer.
    void Not();
    // "!" in operator position: a double stays a double (1.0 or 0.0).
    void NotOperator();
    void Complement();
    void Increment();
    void Decrement();

private:
    // Arrays move content between values and their cells without copying it.
    friend class CScriptArray;

    static constexpr uint32_t kPlainSources =
        1u << kValueInt | 1u << kValueDouble | 1u << kValueFunction | 1u << kValueDefault;
    static constexpr uint32_t kNothingHeld =
        ~(1u << kValueString | 1u << kValueObject | 1u << kValueArray);
    // GetInt for every kind but integers.
    int32_t ConvertToInt() const;
    // Assign for content that is held: texts, objects and arrays on either side.
    void AssignHeld(const CValue& source);
    // The release rule: frees or lets go of the content and leaves integer 0. A
    // destructor during shutdown leaves use counts alone.
    void Release(bool destroying);
    // A value whose object went becomes the integer 0 it reads as: only the content
    // changes, and it is mutable because the value still reads the same.
    void SettleObjectGone() const;
    // The same for a value that may hold anything.
    void SettleIfObjectGone() const {
        if (type_ == kValueObject && payload_.link->object == nullptr) SettleObjectGone();
    }
    void SetPlaceholder(uint32_t type, uintptr_t payload) {
        if (((kNothingHeld >> type_) & 1) == 0) Release(false);
        type_ = type;
        flags_ = 0;
        payload_.placeholder = payload;
    }
    // A new block holding the first `length` bytes of `text`.
    void SetCopiedText(const char* text, size_t length);
    // A string value's text is its own to write: no other value or cell shares it.
    bool OwnsTextAlone() const;
    // The array held, or error 44.
    CScriptArray* RequireArray() const;
    [[noreturn]] void Fail(int32_t code, uint32_t subCode = kNoSubCode) const;
    // The error of a kind that cannot take part: 18 object or function, 130 array, 41
    // for the rest.
    [[noreturn]] void FailKind() const;
    // GetFunction's failure on a value that holds no function.
    [[noreturn]] void FailFunction() const;

    // Both sides of a two-operand operator after promotion.
    struct Operands;

    mutable uint32_t type_;
    mutable uint32_t flags_;
    mutable union {
        int32_t integer;
        double number;
        // Null (the empty text), borrowed, or the bytes of a counted block.
        char* text;
        ObjectLink* link;
        const BlockRecord* function;
        // Counted: each value holding the array is one of its uses.
        CScriptArray* array;
        uintptr_t placeholder;
    } payload_;
};

// A tag and flags before an 8-byte payload, four values to a cache line. The variable an
// operand was read from is kept beside it by the value stack, the only place that needs it.
static_assert(sizeof(CValue) == 16);
