// Operators on script values. Two-operand operators first promote the operands to one
// kind (integer, double or text) by one of three rules, then compute; the equality test
// has rules of its own. Numbers promoted to text are written into buffers on the stack,
// so no operator allocates unless its result is a new text.
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>

#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"
#include "script/values/number_text.h"
#include "script/values/text_block.h"
#include "script/values/value.h"

namespace {

bool IsNumber(uint32_t type) {
    return type == kValueInt || type == kValueDouble;
}

bool IsReference(uint32_t type) {
    return type == kValueObject || type == kValueFunction;
}

// Integer arithmetic wraps around as 32-bit two's complement.
int32_t Wrap(uint32_t value) {
    return static_cast<int32_t>(value);
}

bool Inside(const char* pointer, const char* text, size_t length) {
    std::less_equal<const char*> lessEqual;
    return lessEqual(text, pointer) && lessEqual(pointer, text + length);
}

const char* NonNull(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

struct CValue::Operands {
    // The common kind after promotion: kValueInt, kValueDouble or kValueString.
    uint32_t kind;
    int32_t leftInt;
    int32_t rightInt;
    double leftDouble;
    double rightDouble;
    // Null for a string value without a text.
    const char* leftText;
    const char* rightText;
    // Their lengths, for "+" and "-" (0 for a null text).
    size_t leftLength;
    size_t rightLength;
    char leftBuffer[64];
    char rightBuffer[64];

    static double AsDouble(const CValue& v) {
        return v.type_ == kValueInt ? double(v.payload_.integer) : v.payload_.number;
    }
    static int32_t AsInt(const CValue& v) {
        return v.type_ == kValueInt ? v.payload_.integer : DoubleToInt(v.payload_.number);
    }

    // The text a value is compared or joined as, and its length.
    static const char* Text(const CValue& v, char* buffer, size_t* length) {
        switch (v.type_) {
        case kValueString:
            *length = v.payload_.text != nullptr ? v.GetStringLength() : 0;
            return v.payload_.text;
        case kValueInt: {
            char* end = std::to_chars(buffer, buffer + 63, v.payload_.integer).ptr;
            *end = '\0';
            *length = size_t(end - buffer);
            return buffer;
        }
        case kValueDouble:
            *length = size_t(FormatDouble(v.payload_.number, buffer, 64));
            return buffer;
        case kValueObject:
        case kValueFunction:
            v.Fail(18);
        case kValueArray:
            v.Fail(44);
        default:
            v.Fail(41);
        }
    }

    // Operands whose objects went take part as the integer 0 they read as.
    static void Settle(const CValue& left, const CValue& right) {
        left.SettleIfObjectGone();
        right.SettleIfObjectGone();
    }

    // Whether `v` held an object that went, and now holds integer 0.
    static bool SettledGone(const CValue& v) {
        if (v.type_ != kValueObject || v.payload_.link->object != nullptr) return false;
        v.SettleObjectGone();
        return true;
    }

    // A one-operand operator on a value that is no number.
    [[noreturn]] static void FailOperand(const CValue& v) {
        if (v.type_ == kValueString) v.Fail(12);
        v.FailKind();
    }

    // Two different kinds that no rule joins.
    [[noreturn]] static void FailMixed(const CValue& left, const CValue& right) {
        if (IsReference(left.type_) || IsReference(right.type_)) left.Fail(18);
        if (left.type_ == kValueArray || right.type_ == kValueArray) left.Fail(130);
        left.Fail(41);
    }

    void Numbers(const CValue& left, const CValue& right, uint32_t as) {
        kind = as;
        if (as == kValueInt) {
            leftInt = AsInt(left);
            rightInt = AsInt(right);
        } else {
            leftDouble = AsDouble(left);
            rightDouble = AsDouble(right);
        }
    }

    // "+", "-" and the ordering comparisons: a text on either side makes both texts.
    void Arithmetic(const CValue& left, const CValue& right) {
        Settle(left, right);
        uint32_t l = left.type_;
        uint32_t r = right.type_;
        if (l == r) {
            if (IsNumber(l)) return Numbers(left, right, l);
            if (l != kValueString) left.FailKind();
        } else if (IsNumber(l) && IsNumber(r)) {
            return Numbers(left, right, kValueDouble);
        } else if (l != kValueString && r != kValueString) {
            FailMixed(left, right);
        }
        kind = kValueString;
        leftText = Text(left, leftBuffer, &leftLength);
        rightText = Text(right, rightBuffer, &rightLength);
    }

    // "*", "/" and "%": numbers only.
    void Numeric(const CValue& left, const CValue& right) {
        Settle(left, right);
        uint32_t l = left.type_;
        uint32_t r = right.type_;
        if (IsNumber(l) && IsNumber(r)) return Numbers(left, right, l == r ? l : kValueDouble);
        if (l == kValueString || r == kValueString) left.Fail(12);
        if (l == r) left.FailKind();
        FailMixed(left, right);
    }

    // The bitwise operators: doubles are truncated to integers.
    void Integer(const CValue& left, const CValue& right) {
        Settle(left, right);
        uint32_t l = left.type_;
        uint32_t r = right.type_;
        if (IsNumber(l) && IsNumber(r)) return Numbers(left, right, kValueInt);
        if (l == kValueString || r == kValueString) left.Fail(12);
        if (l == r) left.FailKind();
        FailMixed(left, right);
    }

    // A reference equals a number only when it is null and the number is 0: an address
    // is no script number, and a 64-bit one cannot be folded into one.
    static bool ReferenceEqualsNumber(const CValue& reference, const CValue& number) {
        bool isNull = reference.type_ == kValueObject ? reference.payload_.link->object == nullptr
                                                      : reference.payload_.function == nullptr;
        return isNull && AsDouble(number) == 0.0;
    }

    static uintptr_t Address(const CValue& reference) {
        return reference.type_ == kValueObject
                   ? reinterpret_cast<uintptr_t>(reference.payload_.link->object)
                   : reinterpret_cast<uintptr_t>(reference.payload_.function);
    }

    static bool TextsEqual(const char* left, const char* right) {
        return std::strcmp(NonNull(left), NonNull(right)) == 0;
    }

    static bool Equal(const CValue& left, const CValue& right) {
        Settle(left, right);
        uint32_t l = left.type_;
        uint32_t r = right.type_;
        if (l == r) {
            switch (l) {
            case kValueInt:
                return left.payload_.integer == right.payload_.integer;
            case kValueDouble:
                return left.payload_.number == right.payload_.number;
            case kValueString:
                return TextsEqual(left.payload_.text, right.payload_.text);
            case kValueObject:
            case kValueFunction:
                return Address(left) == Address(right);
            case kValueArray:
                left.Fail(130);
            default:
                left.Fail(41);
            }
        }
        if (l == kValueString || r == kValueString) {
            char leftBuffer[64];
            char rightBuffer[64];
            size_t length = 0;
            const char* leftText = Text(left, leftBuffer, &length);
            return TextsEqual(leftText, Text(right, rightBuffer, &length));
        }
        if (IsNumber(l) && IsNumber(r)) return AsDouble(left) == AsDouble(right);
        if (IsNumber(l) && IsReference(r)) return ReferenceEqualsNumber(right, left);
        if (IsReference(l) && IsNumber(r)) return ReferenceEqualsNumber(left, right);
        if (IsReference(l) && IsReference(r)) return Address(left) == Address(right);
        if (l == kValueArray || r == kValueArray) left.Fail(130);
        left.Fail(41);
    }

    int Compare() const {
        switch (kind) {
        case kValueInt:
            return (leftInt > rightInt) - (leftInt < rightInt);
        case kValueDouble:
            // Not a number compares as neither below nor above: the callers test each
            // relation on its own.
            return (leftDouble > rightDouble) - (leftDouble < rightDouble);
        default:
            return std::strcmp(NonNull(leftText), NonNull(rightText));
        }
    }
};

void CValue::Add(const CValue& right) {
    if (type_ == kValueInt && right.type_ == kValueInt) {
        payload_.integer = Wrap(uint32_t(payload_.integer) + uint32_t(right.payload_.integer));
        return;
    }
    if (type_ == kValueDouble && right.type_ == kValueDouble) {
        payload_.number += right.payload_.number;
        return;
    }
    Operands o;
    o.Arithmetic(*this, right);
    if (o.kind == kValueInt) return SetInt(Wrap(uint32_t(o.leftInt) + uint32_t(o.rightInt)));
    if (o.kind == kValueDouble) return SetFloat(o.leftDouble + o.rightDouble);

    if (o.rightText == nullptr) {
        // Nothing to append; a number on the left still becomes its text.
        if (type_ != kValueString) SetCopiedText(o.leftText, o.leftLength);
        return;
    }
    if (o.leftText == nullptr) {
        if (right.type_ == kValueString) return AssignHeld(right);
        return SetCopiedText(o.rightText, o.rightLength);
    }
    size_t leftLength = o.leftLength;
    size_t rightLength = o.rightLength;
    if (rightLength > TextBlock::kMaxLength - leftLength) Fail(15);
    // A text no one else holds grows in place unless the right side lies inside it.
    if (OwnsTextAlone() && !Inside(o.rightText, o.leftText, leftLength)) {
        if (!TextBlock::Reserve(&payload_.text, leftLength + rightLength)) Fail(15);
        std::memcpy(payload_.text + leftLength, o.rightText, rightLength);
        payload_.text[leftLength + rightLength] = '\0';
        TextBlock::Of(payload_.text)->length = uint32_t(leftLength + rightLength);
        return;
    }
    char* joined = TextBlock::Make(leftLength + rightLength);
    if (joined == nullptr) Fail(15);
    std::memcpy(joined, o.leftText, leftLength);
    std::memcpy(joined + leftLength, o.rightText, rightLength);
    joined[leftLength + rightLength] = '\0';
    TextBlock::Of(joined)->length = uint32_t(leftLength + rightLength);
    SetOwnedText(joined);
}

void CValue::Subtract(const CValue& right) {
    if (type_ == kValueInt && right.type_ == kValueInt) {
        payload_.integer = Wrap(uint32_t(payload_.integer) - uint32_t(right.payload_.integer));
        return;
    }
    if (type_ == kValueDouble && right.type_ == kValueDouble) {
        payload_.number -= right.payload_.number;
        return;
    }
    Operands o;
    o.Arithmetic(*this, right);
    if (o.kind == kValueInt) return SetInt(Wrap(uint32_t(o.leftInt) - uint32_t(o.rightInt)));
    if (o.kind == kValueDouble) return SetFloat(o.leftDouble - o.rightDouble);

    // Every occurrence of the right text goes, scanning left to right without overlap.
    const char* found = nullptr;
    if (o.leftText != nullptr && o.rightText != nullptr && o.rightText[0] != '\0')
        found = std::strstr(o.leftText, o.rightText);
    if (found == nullptr) {
        if (type_ != kValueString) SetCopiedText(o.leftText, o.leftLength);
        return;
    }
    size_t leftLength = o.leftLength;
    size_t rightLength = o.rightLength;
    bool inPlace = OwnsTextAlone() && !Inside(o.rightText, o.leftText, leftLength);
    char* result = payload_.text;
    if (!inPlace && (result = TextBlock::Make(leftLength)) == nullptr) Fail(15);
    const char* from = o.leftText;
    char* to = result;
    for (; found != nullptr; found = std::strstr(from, o.rightText)) {
        std::memmove(to, from, size_t(found - from));
        to += found - from;
        from = found + rightLength;
    }
    size_t rest = leftLength - size_t(from - o.leftText);
    std::memmove(to, from, rest + 1);
    TextBlock::Of(result)->length = uint32_t(size_t(to - result) + rest);
    if (!inPlace) SetOwnedText(result);
}

void CValue::Multiply(const CValue& right) {
    Operands o;
    o.Numeric(*this, right);
    if (o.kind == kValueInt) return SetInt(Wrap(uint32_t(o.leftInt) * uint32_t(o.rightInt)));
    SetFloat(o.leftDouble * o.rightDouble);
}

void CValue::Divide(const CValue& right) {
    Operands o;
    o.Numeric(*this, right);
    if (o.kind == kValueInt) {
        if (o.rightInt == 0) Fail(111);
        // The one quotient that does not fit wraps to itself.
        if (o.rightInt == -1) return SetInt(Wrap(0u - uint32_t(o.leftInt)));
        return SetInt(o.leftInt / o.rightInt);
    }
    if (o.rightDouble == 0.0) Fail(111);
    SetFloat(o.leftDouble / o.rightDouble);
}

void CValue::Modulo(const CValue& right) {
    Operands o;
    o.Numeric(*this, right);
    if (o.kind == kValueInt) {
        if (o.rightInt == 0) Fail(111);
        // INT32_MIN % -1 would trap; every remainder by -1 is 0.
        return SetInt(o.rightInt == -1 ? 0 : o.leftInt % o.rightInt);
    }
    if (o.rightDouble == 0.0) Fail(111);
    SetFloat(std::fmod(o.leftDouble, o.rightDouble));
}

void CValue::BitAnd(const CValue& right) {
    Operands o;
    o.Integer(*this, right);
    SetInt(o.leftInt & o.rightInt);
}

void CValue::BitOr(const CValue& right) {
    Operands o;
    o.Integer(*this, right);
    SetInt(o.leftInt | o.rightInt);
}

void CValue::BitXor(const CValue& right) {
    Operands o;
    o.Integer(*this, right);
    SetInt(o.leftInt ^ o.rightInt);
}

void CValue::ShiftLeft(const CValue& right) {
    Operands o;
    o.Integer(*this, right);
    SetInt(Wrap(uint32_t(o.leftInt) << (o.rightInt & 31)));
}

void CValue::ShiftRight(const CValue& right) {
    Operands o;
    o.Integer(*this, right);
    SetInt(o.leftInt >> (o.rightInt & 31));
}

void CValue::Less(const CValue& right) {
    Operands o;
    o.Arithmetic(*this, right);
    bool result = o.kind == kValueDouble ? o.leftDouble < o.rightDouble : o.Compare() < 0;
    SetInt(result);
}

void CValue::Greater(const CValue& right) {
    Operands o;
    o.Arithmetic(*this, right);
    bool result = o.kind == kValueDouble ? o.leftDouble > o.rightDouble : o.Compare() > 0;
    SetInt(result);
}

void CValue::LessEqual(const CValue& right) {
    Operands o;
    o.Arithmetic(*this, right);
    bool result = o.kind == kValueDouble ? o.leftDouble <= o.rightDouble : o.Compare() <= 0;
    SetInt(result);
}

void CValue::GreaterEqual(const CValue& right) {
    Operands o;
    o.Arithmetic(*this, right);
    bool result = o.kind == kValueDouble ? o.leftDouble >= o.rightDouble : o.Compare() >= 0;
    SetInt(result);
}

void CValue::Equal(const CValue& right) {
    SetInt(Operands::Equal(*this, right));
}

void CValue::NotEqual(const CValue& right) {
    SetInt(!Operands::Equal(*this, right));
}

int CValue::IsEqual(const CValue& right) const {
    return Operands::Equal(*this, right);
}

void CValue::Negate() {
    if (type_ == kValueInt) {
        payload_.integer = Wrap(0u - uint32_t(payload_.integer));
    } else if (type_ == kValueDouble) {
        payload_.number = -payload_.number;
    } else if (Operands::SettledGone(*this)) {
        Negate();
    } else {
        Operands::FailOperand(*this);
    }
}

void CValue::Not() {
    if (type_ == kValueInt) {
        payload_.integer = payload_.integer == 0;
    } else if (type_ == kValueDouble) {
        SetInt(payload_.number == 0.0);
    } else if (Operands::SettledGone(*this)) {
        Not();
    } else {
        Operands::FailOperand(*this);
    }
}

void CValue::NotOperator() {
    if (type_ == kValueDouble) {
        payload_.number = payload_.number == 0.0 ? 1.0 : 0.0;
    } else {
        Not();
    }
}

void CValue::Complement() {
    if (type_ == kValueInt) {
        payload_.integer = ~payload_.integer;
    } else if (type_ == kValueDouble) {
        SetInt(~DoubleToInt(payload_.number));
    } else if (Operands::SettledGone(*this)) {
        Complement();
    } else {
        Operands::FailOperand(*this);
    }
}

void CValue::Increment() {
    if (type_ == kValueInt) {
        payload_.integer = Wrap(uint32_t(payload_.integer) + 1u);
    } else if (type_ == kValueDouble) {
        payload_.number += 1.0;
    } else if (Operands::SettledGone(*this)) {
        Increment();
    } else {
        Operands::FailOperand(*this);
    }
}

void CValue::Decrement() {
    if (type_ == kValueInt) {
        payload_.integer = Wrap(uint32_t(payload_.integer) - 1u);
    } else if (type_ == kValueDouble) {
        payload_.number -= 1.0;
    } else if (Operands::SettledGone(*this)) {
        Decrement();
    } else {
        Operands::FailOperand(*this);
    }
}
