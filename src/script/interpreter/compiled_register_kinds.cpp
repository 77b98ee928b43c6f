// Kinded programs: a register program that met doubles is written again for the kinds its
// values hold, each operator on int32 or double chosen once, where the program that keeps
// kinds tests both sides' kinds at every operator. A side of another kind than the
// operator's is made one by an instruction of its own (an integer beside a double, a
// double where a bitwise or logical operator takes integers), as CValue converts it.
#include <atomic>
#include <bit>
#include <iterator>
#include <type_traits>
#include <vector>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_methods.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_register_kinds.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"
#include "script/language/token_codes.h"
#include "script/values/number_text.h"

namespace {

static_assert(kValueInt == 0 && kValueDouble == 1,
              "a kinded load's opcode is its integer form plus the kind");

constexpr uint32_t kOperatorTokens[] = {
#define ZORV_OPERATOR_TOKEN(name, token) token,
    ZORV_NUMBER_OPERATORS(ZORV_OPERATOR_TOKEN)
#undef ZORV_OPERATOR_TOKEN
};

constexpr uint32_t kNoNumber = ~0u;

constexpr uint32_t kComparisonTokens[] = {
#define ZORV_OPERATOR_TOKEN(name, token) token,
    ZORV_COMPARISONS(ZORV_OPERATOR_TOKEN)
#undef ZORV_OPERATOR_TOKEN
};
constexpr bool ComparisonsEndOperators() {
    for (uint32_t k = 0; k < kComparisonCount; ++k)
        if (kComparisonTokens[k] != kOperatorTokens[kFirstComparison + k]) return false;
    return true;
}
static_assert(ComparisonsEndOperators(), "a compare-and-branch opcode follows its comparison's");

bool IsArithmetic(uint32_t token) {
    return token == kTokenPlus || token == kTokenMinus || token == kTokenMultiply ||
           token == kTokenDivide || token == kTokenModulo;
}

bool IsComparison(uint32_t token) {
    return token == kTokenGreaterEqual || token == kTokenLessEqual || token == kTokenEqual ||
           token == kTokenLess || token == kTokenGreater || token == kTokenNotEqual;
}

class KindedWriter {
    friend void ::TakeOutMoves(std::vector<RegisterInstruction>& code);

public:
    KindedWriter(const NumberProgram& program, const CValue* slots, uint64_t bound)
        : program_(program), slots_(slots), bound_(bound) {}
    // For a statement of a loop program: the slots of the kinds `slotKinds` gives (the
    // values of `slots` are read for the indices of elements only), the names and
    // elements numbered from `nameBase` and `elementBase`.
    KindedWriter(const NumberProgram& program, const CValue* slots, uint64_t bound,
                 const uint32_t* slotKinds, uint32_t nameBase, uint32_t elementBase)
        : program_(program), slots_(slots), bound_(bound), slotKinds_(slotKinds),
          nameBase_(nameBase), elementBase_(elementBase) {}

    bool Write() {
        // A call's result is an integer only in a loop program, whose call gives up otherwise.
        if (slotKinds_ == nullptr && CallsFunctions(program_)) return false;
        std::vector<RegisterInstruction> source = program_.code;
        WithoutMoves(source);
        if (slotKinds_ != nullptr) WithSlotOperands(source);
        for (size_t at = 0; at < source.size(); ++at) {
            RegisterInstruction instruction = source[at];
            if (at + 1 < source.size() && FoldsLoad(instruction, source[at + 1])) ++at;
            if (!Instruction(instruction)) return false;
        }
        return true;
    }

    // The register and kind of the value that the program returns.
    uint32_t result = 0;
    uint32_t resultKind = kValueInt;
    std::vector<RegisterInstruction> code;

private:
    // Where a binary operator's side is: a register, a slot, a constant or a name's variable.
    enum Source : uint8_t { kInRegister, kInSlot, kInConstant, kInName };
    struct Side {
        Source source;
        uint32_t kind;
        int64_t value;
    };

    void Emit(uint32_t opcode, uint32_t target, uint32_t left = 0, int64_t right = 0) {
        code.push_back(
            RegisterInstruction{uint16_t(opcode), uint8_t(target), left, right, nullptr});
    }

    static uint32_t NumberKind(const CValue& value) {
        return value.StoredType() <= kValueDouble ? value.GetType() : kNoNumber;
    }
    uint32_t SlotKind(int64_t slot) const {
        if (slotKinds_ == nullptr) return NumberKind(slots_[uint32_t(slot)]);
        const uint32_t kind = slotKinds_[uint32_t(slot)];
        return kind <= kValueDouble ? kind : kNoNumber;
    }
    uint32_t NameKind(int64_t name) const {
        return NumberKind(program_.variables[uint32_t(name)]->value);
    }
    uint32_t ElementKind(uint32_t element) const {
        const ElementRead& read = program_.elements[element];
        uint32_t flat;
        const CScriptArray* array =
            ElementCell(read, slots_, bound_, program_.variables.data(), flat);
        CScriptArray::Number cell;
        if (array != nullptr && array->ReadNumber(flat, cell)) return cell.kind;
        // A loop program's statement may read an element that the slots do not name yet as
        // the round begins (an index the round works out before it, in a branch not taken
        // now): the kind of the array's first cell stands for it, its load checking it as
        // it runs.
        if (slotKinds_ == nullptr ||
            (read.begin == kOpElementBoundSlot && ((bound_ >> read.slot) & 1) == 0))
            return kNoNumber;
        for (uint32_t k = 0; k < read.count; ++k)
            if ((read.sources[k] == kIndexFromBoundSlot ||
                 read.sources[k] == kIndexFromBoundSlotOffset) &&
                ((bound_ >> read.values[k]) & 1) == 0)
                return kNoNumber;
        array = CInterpretor::ArrayOf(read.begin == kOpElementName
                                          ? program_.variables[read.slot]->value
                                          : slots_[read.slot]);
        return array != nullptr && array->ReadNumber(0, cell) ? cell.kind : kNoNumber;
    }

    // The registers instruction `at` reads, as a mask of registers (kMaxQuickDepth + 2 of
    // them at most).
    static uint64_t Reads(const RegisterInstruction& at) {
        const uint64_t own = uint64_t(1) << at.target;
        switch (at.opcode) {
        case kRegisterSlot:
        case kRegisterBoundSlot:
        case kRegisterInt:
        case kRegisterDouble:
        case kRegisterName:
        case kRegisterElement:
            return 0;
        case kRegisterMove:
        case kRegisterMethod:
            return own << 1;
        case kRegisterNegate:
        case kRegisterNot:
        case kRegisterComplement:
        case kRegisterReturn:
            return own;
        case kRegisterMethodOfTwo:
            return own | own << 1;
        case kRegisterIndexedElement:
        case kRegisterElementIndex:
            return own << 1;
        case kRegisterCall:
            return ((uint64_t(1) << at.left) - 1) << (at.target + 1);
        default:
            break;
        }
        switch ((at.opcode - kRegisterBinary) % kRegisterForms) {
        case kFormRegisters:
            return own | own << 1;
        case kFormSlots:
        case kFormSlotInt:
        case kFormSlotDouble:
            return 0;
        default:
            return own;
        }
    }

    // Whether the code from `begin` up to the instruction at `end` that reads its result can
    // be written a register down, into `down`: it reads no register it did not write, and
    // nothing after `end` reads one that it wrote, nor one it would write instead, before
    // writing it again. With `keepsIndices`, code that works out an element store's index
    // stays where the store reads it from.
    static bool WritableOneDown(const std::vector<RegisterInstruction>& code, size_t begin,
                                size_t end, uint32_t down, bool keepsIndices) {
        uint64_t written = 0;
        for (size_t at = begin; at < end; ++at) {
            if ((Reads(code[at]) & ~written) != 0 ||
                (keepsIndices && code[at].opcode == kRegisterElementIndex))
                return false;
            written |= uint64_t(1) << code[at].target;
        }
        uint64_t dead = (written | written >> 1) & ~(uint64_t(1) << down);
        for (size_t at = end + 1; at < code.size() && dead != 0; ++at) {
            if ((Reads(code[at]) & dead) != 0) return false;
            dead &= ~(uint64_t(1) << code[at].target);
        }
        return true;
    }

    // A parenthesised operand is worked out a register up and moved down into its own: the
    // code that works it out is written a register down instead, when it can be, and the
    // move goes.
    static void WithoutMoves(std::vector<RegisterInstruction>& code) {
        for (size_t move = 0; move < code.size(); ++move) {
            if (code[move].opcode != kRegisterMove) continue;
            const uint32_t down = code[move].target;
            size_t begin = move;
            while (begin > 0 && code[begin - 1].target > down)
                --begin;
            if (begin == move || !WritableOneDown(code, begin, move, down, false)) continue;
            for (size_t at = begin; at < move; ++at)
                --code[at].target;
            code.erase(code.begin() + std::ptrdiff_t(move));
            --move;
        }
    }

    // Whether slot `load` reads is bound wherever a loop program's statement runs: the
    // writer tests it, and the program's slots stay bound while it runs.
    bool Bound(const RegisterInstruction& load) const {
        return load.opcode == kRegisterSlot ||
               (load.opcode == kRegisterBoundSlot && ((bound_ >> load.right) & 1) != 0);
    }

    // A slot loaded into the register above a binary operator's, which the operator then
    // reads, is read by the operator itself as its slot form, in a loop program: the
    // load's dispatch goes, and the register's load and store with it. A slot's load into
    // the operator's own register may come between them (a compound assignment's right
    // side worked out before its target is read), and is then folded into the operator too.
    void WithSlotOperands(std::vector<RegisterInstruction>& code) const {
        for (size_t at = 0; at + 1 < code.size(); ++at) {
            const RegisterInstruction& load = code[at];
            size_t next = at + 1;
            if (next + 1 < code.size() && Bound(code[next]) && code[next].target + 1 == load.target)
                ++next;
            RegisterInstruction& binary = code[next];
            if (!Bound(load) || binary.opcode < kRegisterBinary ||
                binary.opcode >= kRegisterMethod || binary.target + 1 != load.target ||
                (binary.opcode - kRegisterBinary) % kRegisterForms != kFormRegisters)
                continue;
            // Nothing after the operator reads the register before writing it again.
            const uint64_t above = uint64_t(1) << load.target;
            bool dead = true;
            for (size_t later = next + 1; later < code.size(); ++later) {
                if ((Reads(code[later]) & above) != 0) {
                    dead = false;
                    break;
                }
                if (code[later].target == load.target) break;
            }
            if (!dead) continue;
            binary.opcode = uint16_t(binary.opcode - kFormRegisters + kFormSlot);
            binary.right = load.right;
            code.erase(code.begin() + std::ptrdiff_t(at));
        }
        // A constant on the left of such an operator goes to its right when the operator
        // gives the same with its sides swapped (the comparisons mirrored), so that the
        // operator reads both itself: `2.0 * x` as `x * 2.0`.
        for (size_t at = 0; at + 1 < code.size(); ++at) {
            const RegisterInstruction& constant = code[at];
            RegisterInstruction& binary = code[at + 1];
            if ((constant.opcode != kRegisterInt && constant.opcode != kRegisterDouble) ||
                binary.opcode < kRegisterBinary || binary.opcode >= kRegisterMethod ||
                binary.target != constant.target ||
                (binary.opcode - kRegisterBinary) % kRegisterForms != kFormSlot)
                continue;
            const uint32_t swapped = SwappedOperator(
                kOperatorTokens[(binary.opcode - kRegisterBinary) / kRegisterForms]);
            if (swapped == kNumberOperatorCount) continue;
            binary.opcode =
                uint16_t(kRegisterBinary + swapped * kRegisterForms +
                         (constant.opcode == kRegisterInt ? kFormSlotInt : kFormSlotDouble));
            binary.left = uint32_t(binary.right);
            binary.right = constant.right;
            code.erase(code.begin() + std::ptrdiff_t(at));
        }
        // So does a slot on the left of such an operator whose right side takes code of its
        // own: that code is written a register down, into the slot's, and the operator reads
        // the slot on its right (`s + (a * b)` as `(a * b) + s`), when the code reads no
        // register it did not write and nothing after the operator reads one it wrote.
        for (size_t at = 0; at + 2 < code.size(); ++at) {
            const RegisterInstruction load = code[at];
            const uint32_t down = load.target;
            size_t end = at + 1;
            while (end < code.size() && code[end].target > down)
                ++end;
            if (!Bound(load) || end == at + 1 || end == code.size()) continue;
            RegisterInstruction& binary = code[end];
            if (binary.target != down || binary.opcode < kRegisterBinary ||
                binary.opcode >= kRegisterMethod ||
                (binary.opcode - kRegisterBinary) % kRegisterForms != kFormRegisters)
                continue;
            const uint32_t swapped = SwappedOperator(
                kOperatorTokens[(binary.opcode - kRegisterBinary) / kRegisterForms]);
            if (swapped == kNumberOperatorCount || !WritableOneDown(code, at + 1, end, down, true))
                continue;
            for (size_t side = at + 1; side < end; ++side)
                --code[side].target;
            binary.opcode = uint16_t(kRegisterBinary + swapped * kRegisterForms + kFormSlot);
            binary.right = load.right;
            code.erase(code.begin() + std::ptrdiff_t(at));
        }
    }

    // The index of the operator that gives for (b, a) what `token` gives for (a, b), when
    // one does; else kNumberOperatorCount.
    static uint32_t SwappedOperator(uint32_t token) {
        uint32_t swapped = token;
        if (token == kTokenLess)
            swapped = kTokenGreater;
        else if (token == kTokenGreater)
            swapped = kTokenLess;
        else if (token == kTokenLessEqual)
            swapped = kTokenGreaterEqual;
        else if (token == kTokenGreaterEqual)
            swapped = kTokenLessEqual;
        else if (token != kTokenPlus && token != kTokenMultiply && token != kTokenEqual &&
                 token != kTokenNotEqual && token != kTokenBitAnd && token != kTokenBitOr &&
                 token != kTokenBitXor)
            return kNumberOperatorCount;
        uint32_t op = 0;
        while (kOperatorTokens[op] != swapped)
            ++op;
        return op;
    }

    // A slot's load into the register that the binary operator after it works on, as
    // that operator's slot form (`load` becomes it), in a loop program, where a slot that
    // the program reads as bound is bound on every way into the statement (the writer
    // tests it), so that its load need not test it again.
    bool FoldsLoad(RegisterInstruction& load, const RegisterInstruction& binary) const {
        if (slotKinds_ == nullptr || binary.opcode < kRegisterBinary ||
            binary.opcode >= kRegisterMethod || binary.target != load.target || !Bound(load))
            return false;
        const uint32_t form = (binary.opcode - kRegisterBinary) % kRegisterForms;
        const uint32_t slotForm = form == kFormInt      ? kFormSlotInt
                                  : form == kFormDouble ? kFormSlotDouble
                                  : form == kFormSlot   ? kFormSlots
                                                        : kRegisterForms;
        if (slotForm == kRegisterForms) return false;
        const uint32_t slot = uint32_t(load.right);
        load = binary;
        load.opcode = uint16_t(binary.opcode - form + slotForm);
        load.left = slot;
        return true;
    }

    // Register `at` made of kind `kind`.
    void Convert(uint32_t at, uint32_t kind) {
        if (kinds_[at] == kind) return;
        Emit(kind == kValueDouble ? kKindedToDouble : kKindedToInt, at);
        kinds_[at] = kind;
    }

    // A side's slot or name read into register `at`, then made of kind `kind`.
    void Load(const Side& side, uint32_t at, uint32_t kind) {
        if (side.source == kInSlot)
            Emit(kKindedSlotInt + side.kind, at, 0, side.value);
        else if (side.source == kInName)
            Emit(kKindedNameInt + side.kind, at, uint32_t(side.value) + nameBase_);
        if (side.source != kInRegister) kinds_[at] = side.kind;
        Convert(at, kind);
    }

    // A constant of kind `from` as one of kind `to`.
    static int64_t Constant(int64_t value, uint32_t from, uint32_t to) {
        if (from == to) return value;
        if (to == kValueDouble) return std::bit_cast<int64_t>(double(int32_t(value)));
        return DoubleToInt(std::bit_cast<double>(value));
    }

    Side SideOf(Source source, int64_t value, uint32_t registerAt) const {
        switch (source) {
        case kInRegister:
            return Side{source, kinds_[registerAt], registerAt};
        case kInSlot:
            return Side{source, SlotKind(value), value};
        case kInName:
            return Side{source, NameKind(value), value};
        default:
            return Side{source, kValueInt, value};
        }
    }

    bool Binary(const RegisterInstruction& instruction) {
        const uint32_t index = instruction.opcode - kRegisterBinary;
        const uint32_t op = index / kRegisterForms;
        const uint32_t token = kOperatorTokens[op];
        const uint32_t target = instruction.target;
        Side left = SideOf(kInRegister, 0, target);
        Side right{};
        switch (index % kRegisterForms) {
        case kFormRegisters:
            right = SideOf(kInRegister, 0, target + 1);
            break;
        case kFormSlot:
            right = SideOf(kInSlot, instruction.right, 0);
            break;
        case kFormInt:
            right = Side{kInConstant, kValueInt, instruction.right};
            break;
        case kFormSlots:
            left = SideOf(kInSlot, instruction.left, 0);
            right = SideOf(kInSlot, instruction.right, 0);
            break;
        case kFormSlotInt:
            left = SideOf(kInSlot, instruction.left, 0);
            right = Side{kInConstant, kValueInt, instruction.right};
            break;
        case kFormDouble:
            right = Side{kInConstant, kValueDouble, instruction.right};
            break;
        case kFormSlotDouble:
            left = SideOf(kInSlot, instruction.left, 0);
            right = Side{kInConstant, kValueDouble, instruction.right};
            break;
        default:
            right = SideOf(kInName, instruction.right, 0);
            break;
        }
        if (left.kind == kNoNumber || right.kind == kNoNumber) return false;
        // A double on either side makes the arithmetic and the comparisons work on doubles;
        // the bitwise and logical operators always take integers.
        const bool doubles = (IsArithmetic(token) || IsComparison(token)) &&
                             (left.kind == kValueDouble || right.kind == kValueDouble);
        const uint32_t kind = doubles ? kValueDouble : kValueInt;
        // A slot of the operator's kind is read by the operator itself; anything else
        // goes through a register.
        const bool leftInSlot = left.source == kInSlot && left.kind == kind;
        if (!leftInSlot) Load(left, target, kind);
        uint32_t form;
        int64_t operand = right.value;
        if (right.source == kInConstant) {
            form = kKindedConstant;
            operand = Constant(right.value, right.kind, kind);
        } else if (right.source == kInSlot && right.kind == kind) {
            form = kKindedSlot;
        } else if (right.source == kInName && right.kind == kind) {
            form = kKindedName;
            operand += nameBase_;
        } else {
            Load(right, target + 1, kind);
            form = kKindedRegisters;
        }
        if (leftInSlot) {
            if (form == kKindedSlot)
                form = kKindedSlots;
            else if (form == kKindedConstant)
                form = kKindedSlotConstant;
            else
                Load(left, target, kind);
        }
        Emit(kKindedBinary + (op * 2 + kind) * kKindedForms + form, target, uint32_t(left.value),
             operand);
        kinds_[target] = doubles && IsArithmetic(token) ? kValueDouble : kValueInt;
        return true;
    }

    bool Instruction(const RegisterInstruction& instruction) {
        const uint32_t target = instruction.target;
        uint32_t kind = kValueInt;
        switch (instruction.opcode) {
        case kRegisterSlot:
            kind = SlotKind(instruction.right);
            if (kind == kNoNumber) return false;
            Emit(kKindedSlotInt + kind, target, 0, instruction.right);
            break;
        case kRegisterBoundSlot:
            kind = SlotKind(instruction.right);
            if (((bound_ >> instruction.right) & 1) == 0 || kind == kNoNumber) return false;
            // A loop program's slot bound where its statement runs stays bound.
            Emit((slotKinds_ != nullptr ? kKindedSlotInt : kKindedBoundSlotInt) + kind, target, 0,
                 instruction.right);
            break;
        case kRegisterInt:
            Emit(kKindedInt, target, 0, instruction.right);
            break;
        case kRegisterDouble:
            kind = kValueDouble;
            Emit(kKindedDouble, target, 0, instruction.right);
            break;
        case kRegisterName:
            kind = NameKind(instruction.left);
            if (kind == kNoNumber) return false;
            Emit(kKindedNameInt + kind, target, instruction.left + nameBase_);
            break;
        case kRegisterMove:
            kind = kinds_[target + 1];
            Emit(kKindedMove, target);
            break;
        case kRegisterElement: {
            kind = ElementKind(instruction.left);
            if (kind == kNoNumber) return false;
            // A loop program's slots stay bound as they are while it runs.
            int64_t packed = 0;
            const ElementRead& read = program_.elements[instruction.left];
            if (slotKinds_ != nullptr && QuickElementOf(read, bound_, nameBase_, packed))
                Emit(kLoopQuickElementInt + kind, target, instruction.left + elementBase_, packed);
            else if (slotKinds_ != nullptr && QuickGridOf(read, bound_, nameBase_, packed))
                Emit(kLoopQuickGridInt + kind, target, instruction.left + elementBase_, packed);
            else
                Emit(kKindedElementInt + kind, target, instruction.left + elementBase_);
            break;
        }
        case kRegisterIndexedElement: {
            // The index is known only as the program runs: the kind of the array's first
            // cell stands for the element's, its load checking it.
            const ElementRead& read = program_.elements[instruction.left];
            const CScriptArray* array =
                kinds_[target + 1] == kValueInt
                    ? ShapedArrayOf(read, slots_, bound_, program_.variables.data())
                    : nullptr;
            CScriptArray::Number cell;
            if (array == nullptr || !array->ReadNumber(0, cell)) return false;
            kind = cell.kind;
            Emit(kLoopIndexedElementInt + kind, target, instruction.left + elementBase_);
            break;
        }
        case kRegisterElementIndex:
            if (kinds_[target + 1] != kValueInt) return false;
            Emit(kKindedMove, target);
            break;
        case kRegisterNegate:
            kind = kinds_[target];
            Emit(kind == kValueInt ? kKindedNegateInt : kKindedNegateDouble, target);
            break;
        case kRegisterNot:
            Emit(kinds_[target] == kValueInt ? kKindedNotInt : kKindedNotDouble, target);
            break;
        case kRegisterComplement:
            Convert(target, kValueInt);
            Emit(kKindedComplement, target);
            break;
        case kRegisterReturn:
            result = target;
            resultKind = kinds_[target];
            Emit(kKindedReturnInt + kinds_[target], target);
            return true;
        case kRegisterCall: {
            // Written while its site calls a function answered from its Return, for integer
            // arguments.
            const auto& site =
                *reinterpret_cast<const CompiledCallSite*>(uintptr_t(instruction.right));
            if (site.code == nullptr || !site.code->returnsOnly) return false;
            for (uint32_t n = 1; n <= instruction.left; ++n)
                if (kinds_[target + n] != kValueInt) return false;
            RegisterInstruction call = instruction;
            call.opcode = kLoopCall;
            code.push_back(call);
            break;
        }
        case kRegisterMethod:
        case kRegisterMethodOfTwo: {
            const bool two = instruction.opcode == kRegisterMethodOfTwo;
            RegisterInstruction kinded;
            if (!KindedMethod(instruction, kinds_[two ? target : target + 1], kinds_[target + 1],
                              kinded, kind))
                return false;
            if (kinded.opcode == kLoopMethodDouble) Convert(target + 1, kValueDouble);
            code.push_back(kinded);
            break;
        }
        default:
            return Binary(instruction);
        }
        kinds_[target] = kind;
        return true;
    }

    const NumberProgram& program_;
    const CValue* slots_;
    uint64_t bound_;
    const uint32_t* slotKinds_ = nullptr;
    uint32_t nameBase_ = 0;
    uint32_t elementBase_ = 0;
    uint32_t kinds_[CompiledFunction::kMaxQuickDepth + 2] = {};
};

// An integer register is written whole, as a double's is: a register is copied whole (Move),
// and a read of 8 bytes from a store of 4 cannot be forwarded from the store, stalling the
// read until the store retires.
struct WholeInt {
    uint64_t bits;
    operator int32_t() const { return int32_t(uint32_t(bits)); }
    WholeInt& operator=(int32_t value) {
        bits = uint32_t(value);
        return *this;
    }
};

union KindedRegister {
    WholeInt i;
    double d;
};

// The number of kind `kKind` in cell `flat` of `array` (null: no array at hand) into `out`;
// false when the cell is missing or holds another kind.
template <uint32_t kKind>
[[gnu::always_inline]] inline bool ReadKindedCell(const CScriptArray* array, uint32_t flat,
                                                  KindedRegister& out) {
    uint64_t bits;
    if (array == nullptr || !array->ReadNumberOfKind(flat, kKind, bits)) return false;
    if constexpr (kKind == kValueInt)
        out.i = int32_t(uint32_t(bits));
    else
        out.d = std::bit_cast<double>(bits);
    return true;
}

// kLoopCall `instruction` answered into `place`, its arguments in the registers above it;
// false, with nothing changed, when it cannot be (its site's checks as kRegisterCall's).
[[gnu::noinline]] bool AnswerLoopCall(const RegisterInstruction& instruction,
                                      KindedRegister* place) {
    auto& site = *reinterpret_cast<CompiledCallSite*>(uintptr_t(instruction.right));
    const CompiledFunction* callee =
        CInterpretor::Current()->AnsweringCallee(site, instruction.token);
    const uint32_t count = instruction.left;
    auto parameter = [place, count](uint32_t index, int32_t& value) {
        if (index >= count) return false;
        value = place[1 + index].i;
        return true;
    };
    int32_t result;
    if (callee == nullptr || !QuickReturnOf(*callee, parameter, result)) return false;
    place->i = result;
    return true;
}

template <uint32_t kToken>
[[gnu::always_inline]] inline bool ApplyInts(int32_t a, int32_t b, KindedRegister& out) {
    int32_t result;
    if (!IntegerResult(kToken, uint32_t(a), uint32_t(b), result)) return false;
    out.i = result;
    return true;
}

// The operators on two doubles as CValue works them out: arithmetic gives a double (a
// division or modulo by zero fails), a comparison the integer 0 or 1. The others never
// have doubles on both sides in a kinded program.
template <uint32_t kToken>
[[gnu::always_inline]] inline bool ApplyDoubles(double a, double b, KindedRegister& out) {
    switch (kToken) {
    case kTokenPlus:
        out.d = a + b;
        return true;
    case kTokenMinus:
        out.d = a - b;
        return true;
    case kTokenMultiply:
        out.d = a * b;
        return true;
    case kTokenDivide:
        if (b == 0.0) return false;
        out.d = a / b;
        return true;
    case kTokenModulo:
        if (b == 0.0) return false;
        out.d = std::fmod(a, b);
        return true;
    case kTokenGreaterEqual:
    case kTokenLessEqual:
    case kTokenEqual:
    case kTokenLess:
    case kTokenGreater:
    case kTokenNotEqual:
        out.i = Compare(kToken, a, b);
        return true;
    default:
        return false;
    }
}

[[gnu::always_inline]] inline int32_t IntOf(const CValue& value) {
    return value.IntPayload();
}
[[gnu::always_inline]] inline double DoubleOf(const CValue& value) {
    return value.DoublePayload();
}
[[gnu::always_inline]] inline int32_t IntConstant(int64_t right) {
    return int32_t(right);
}
[[gnu::always_inline]] inline double DoubleConstant(int64_t right) {
    return std::bit_cast<double>(right);
}

} // namespace

bool WriteKindedProgram(const NumberProgram& program, const CValue* slots, uint64_t bound) {
    if (program.kindings == NumberProgram::kMaxKindings) return false;
    ++program.kindings;
    KindedWriter writer(program, slots, bound);
    if (!writer.Write()) return false;
    program.kinded = std::move(writer.code);
    return true;
}

bool AppendKindedStatement(const NumberProgram& program, const CValue* slots,
                           const uint32_t* slotKinds, uint64_t bound, uint32_t nameBase,
                           uint32_t elementBase, std::vector<RegisterInstruction>& out,
                           uint32_t& result, uint32_t& kind) {
    KindedWriter writer(program, slots, bound, slotKinds, nameBase, elementBase);
    if (!writer.Write()) return false;
    // Without its return: the loop program stores or branches on the value itself.
    out.insert(out.end(), writer.code.begin(), writer.code.end() - 1);
    result = writer.result;
    kind = writer.resultKind;
    return true;
}

namespace {

// Kinded code run from `code` on: null when it returned its value into `target` (when not
// null) and `place`; else the instruction it stopped at, having changed nothing since the
// last statement it finished. With `kLoop`, the code of a loop program, whose statements
// store into the slots, whose conditions branch, and whose statement ends and blocks
// `host` takes (false: the code stops there); `kept` receives the value of the last
// statement finished.
//
// A statement end that only counts is the hot path of every loop program: the host hands
// over how many ends may pass by counting alone (QuickEnds), which this counts down in a
// local and gives back (Settle) before the host takes anything and on every way out; only
// the stop request, set from another thread, is read at each end. The last value is kept
// in a local too, so that stores do not write through a pointer the registers cannot hold.
template <bool kLoop, class Slots, class Host>
const RegisterInstruction* RunKindedCode(const RegisterInstruction* code, Slots* slots,
                                         uint64_t bound, CVariable* const* variables,
                                         const ElementRead* elements, CValue* target, CValue* place,
                                         LoopValue& kept, Host& host) {
    KindedRegister registers[CompiledFunction::kMaxQuickDepth + 2];
    const RegisterInstruction* instruction = code;
    LoopValue last;
    int32_t quickEnds = host.QuickEnds();
    [[maybe_unused]] const std::atomic<uint32_t>* const stop = host.Stop();
    struct Leave {
        Host& host;
        const int32_t& quickEnds;
        const LoopValue& last;
        LoopValue& kept;
        ~Leave() {
            host.Settle(quickEnds);
            kept = last;
        }
    };
    struct Stay {
        Stay(Host&, const int32_t&, const LoopValue&, LoopValue&) {}
    };
    [[maybe_unused]] std::conditional_t<kLoop, Leave, Stay> leave{host, quickEnds, last, kept};
#define ZORV_KINDED_LABELS(name, token)                                                            \
    &&name##IntRegisters, &&name##IntSlot, &&name##IntConstant, &&name##IntSlots,                  \
        &&name##IntSlotConstant, &&name##IntName, &&name##DoubleRegisters, &&name##DoubleSlot,     \
        &&name##DoubleConstant, &&name##DoubleSlots, &&name##DoubleSlotConstant,                   \
        &&name##DoubleName,
#define ZORV_KINDED_BRANCH_LABELS(name, token)                                                     \
    &&name##IntRegistersBranch, &&name##IntSlotBranch, &&name##IntConstantBranch,                  \
        &&name##IntSlotsBranch, &&name##IntSlotConstantBranch, &&name##IntNameBranch,              \
        &&name##DoubleRegistersBranch, &&name##DoubleSlotBranch, &&name##DoubleConstantBranch,     \
        &&name##DoubleSlotsBranch, &&name##DoubleSlotConstantBranch, &&name##DoubleNameBranch,
    static const void* const kInstructions[] = {
        &&SlotInt,
        &&SlotDouble,
        &&BoundSlotInt,
        &&BoundSlotDouble,
        &&NameInt,
        &&NameDouble,
        &&ElementInt,
        &&ElementDouble,
        &&Int,
        &&Double,
        &&Move,
        &&ToDouble,
        &&ToInt,
        &&NegateInt,
        &&NegateDouble,
        &&NotInt,
        &&NotDouble,
        &&Complement,
        &&ReturnInt,
        &&ReturnDouble,
        ZORV_NUMBER_OPERATORS(ZORV_KINDED_LABELS) && StoreInt,
        &&StoreDouble,
        &&BranchInt,
        &&BranchDouble,
        &&End,
        &&Jump,
        &&Exit,
        &&Block,
        &&Block,
        &&ElementAssignInt,
        &&ElementAssignDouble,
        &&ElementJoinInt,
        &&ElementJoinDouble,
        &&QuickElementInt,
        &&QuickElementDouble,
        &&QuickAssignInt,
        &&QuickAssignDouble,
        &&QuickGridInt,
        &&QuickGridDouble,
        &&MemberStoreInt,
        &&MemberStoreDouble,
        &&Bind,
        &&StoreIntEnd,
        &&StoreDoubleEnd,
        &&MethodDouble,
        &&MethodNumbers,
        &&IndexedElementInt,
        &&IndexedElementDouble,
        &&IndexedAssignInt,
        &&IndexedAssignDouble,
        &&IndexedJoinInt,
        &&IndexedJoinDouble,
        ZORV_COMPARISONS(ZORV_KINDED_BRANCH_LABELS) && AndBranch,
        &&OrBranch,
        &&CopyIntEnd,
        &&CopyDoubleEnd,
        &&StepIntEnd,
        &&StepInt,
        &&Call,
        &&QuickConstant,
        &&EndJump};
#undef ZORV_KINDED_BRANCH_LABELS
#undef ZORV_KINDED_LABELS
    static_assert(std::size(kInstructions) == kLoopOpcodeEnd);
#define ZORV_NEXT_INSTRUCTION() goto* kInstructions[(++instruction)->opcode]
#define ZORV_HERE registers[instruction->target]
    goto* kInstructions[instruction->opcode];
SlotInt : {
    const CValue& value = slots[uint32_t(instruction->right)];
    if (value.StoredType() != kValueInt) return instruction;
    ZORV_HERE.i = value.IntPayload();
    ZORV_NEXT_INSTRUCTION();
}
SlotDouble : {
    const CValue& value = slots[uint32_t(instruction->right)];
    if (value.StoredType() != kValueDouble) return instruction;
    ZORV_HERE.d = value.DoublePayload();
    ZORV_NEXT_INSTRUCTION();
}
BoundSlotInt : {
    const CValue& value = slots[uint32_t(instruction->right)];
    if (((bound >> instruction->right) & 1) == 0 || value.StoredType() != kValueInt)
        return instruction;
    ZORV_HERE.i = value.IntPayload();
    ZORV_NEXT_INSTRUCTION();
}
BoundSlotDouble : {
    const CValue& value = slots[uint32_t(instruction->right)];
    if (((bound >> instruction->right) & 1) == 0 || value.StoredType() != kValueDouble)
        return instruction;
    ZORV_HERE.d = value.DoublePayload();
    ZORV_NEXT_INSTRUCTION();
}
NameInt : {
    const CValue& value = variables[instruction->left]->value;
    if (value.StoredType() != kValueInt) return instruction;
    ZORV_HERE.i = value.IntPayload();
    ZORV_NEXT_INSTRUCTION();
}
NameDouble : {
    const CValue& value = variables[instruction->left]->value;
    if (value.StoredType() != kValueDouble) return instruction;
    ZORV_HERE.d = value.DoublePayload();
    ZORV_NEXT_INSTRUCTION();
}
ElementInt : {
    uint32_t flat;
    const CScriptArray* array =
        ElementCell(elements[instruction->left], slots, bound, variables, flat);
    if (!ReadKindedCell<kValueInt>(array, flat, ZORV_HERE)) return instruction;
    ZORV_NEXT_INSTRUCTION();
}
ElementDouble : {
    uint32_t flat;
    const CScriptArray* array =
        ElementCell(elements[instruction->left], slots, bound, variables, flat);
    if (!ReadKindedCell<kValueDouble>(array, flat, ZORV_HERE)) return instruction;
    ZORV_NEXT_INSTRUCTION();
}
IndexedElementInt : {
    uint32_t flat;
    const CScriptArray* array =
        IndexedElementCell(elements[instruction->left], slots, bound, variables,
                           registers[instruction->target + 1].i, flat);
    if (!ReadKindedCell<kValueInt>(array, flat, ZORV_HERE)) return instruction;
    ZORV_NEXT_INSTRUCTION();
}
IndexedElementDouble : {
    uint32_t flat;
    const CScriptArray* array =
        IndexedElementCell(elements[instruction->left], slots, bound, variables,
                           registers[instruction->target + 1].i, flat);
    if (!ReadKindedCell<kValueDouble>(array, flat, ZORV_HERE)) return instruction;
    ZORV_NEXT_INSTRUCTION();
}
Int:
    ZORV_HERE.i = int32_t(instruction->right);
    ZORV_NEXT_INSTRUCTION();
Double:
    ZORV_HERE.d = std::bit_cast<double>(instruction->right);
    ZORV_NEXT_INSTRUCTION();
Move:
    ZORV_HERE = registers[instruction->target + 1];
    ZORV_NEXT_INSTRUCTION();
ToDouble:
    ZORV_HERE.d = double(ZORV_HERE.i);
    ZORV_NEXT_INSTRUCTION();
ToInt:
    ZORV_HERE.i = DoubleToInt(ZORV_HERE.d);
    ZORV_NEXT_INSTRUCTION();
NegateInt:
    ZORV_HERE.i = int32_t(0u - uint32_t(ZORV_HERE.i));
    ZORV_NEXT_INSTRUCTION();
NegateDouble:
    ZORV_HERE.d = -ZORV_HERE.d;
    ZORV_NEXT_INSTRUCTION();
NotInt:
    ZORV_HERE.i = ZORV_HERE.i == 0;
    ZORV_NEXT_INSTRUCTION();
NotDouble:
    ZORV_HERE.i = ZORV_HERE.d == 0.0;
    ZORV_NEXT_INSTRUCTION();
Complement:
    ZORV_HERE.i = ~ZORV_HERE.i;
    ZORV_NEXT_INSTRUCTION();
ReturnInt:
    if (target != nullptr) target->SetInt(ZORV_HERE.i);
    place->SetInt(ZORV_HERE.i);
    return nullptr;
ReturnDouble:
    if (target != nullptr) target->SetFloat(ZORV_HERE.d);
    place->SetFloat(ZORV_HERE.d);
    return nullptr;
StoreInt:
    if constexpr (kLoop) {
        CValue& slot = slots[uint32_t(instruction->right)];
        if (slot.StoredType() > kValueDouble) return instruction;
        slot.SetInt(ZORV_HERE.i);
        last.bits = registers[instruction->left].i;
        last.kind = kValueInt;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
StoreDouble:
    if constexpr (kLoop) {
        CValue& slot = slots[uint32_t(instruction->right)];
        if (slot.StoredType() > kValueDouble) return instruction;
        slot.SetFloat(ZORV_HERE.d);
        last.bits = std::bit_cast<int64_t>(registers[instruction->left].d);
        last.kind = kValueDouble;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
StoreIntEnd:
    if constexpr (kLoop) {
        CValue& slot = slots[uint32_t(instruction->right)];
        if (slot.StoredType() > kValueDouble) return instruction;
        slot.SetInt(ZORV_HERE.i);
        last.bits = registers[instruction->left].i;
        last.kind = kValueInt;
        ++instruction;
        goto End;
    }
    return instruction;
StoreDoubleEnd:
    if constexpr (kLoop) {
        CValue& slot = slots[uint32_t(instruction->right)];
        if (slot.StoredType() > kValueDouble) return instruction;
        slot.SetFloat(ZORV_HERE.d);
        last.bits = std::bit_cast<int64_t>(registers[instruction->left].d);
        last.kind = kValueDouble;
        ++instruction;
        goto End;
    }
    return instruction;
// A slot's integer stepped by `right`, its value before the statement's; the store behind it
// skipped, and the end after that for the form with one.
#define ZORV_STEP_INT(skipped, onward)                                                             \
    if constexpr (kLoop) {                                                                         \
        CValue& slot = slots[instruction->left];                                                   \
        if (slot.StoredType() != kValueInt) return instruction;                                    \
        const int32_t before = slot.IntPayload();                                                  \
        slot.SetInt(int32_t(uint32_t(before) + uint32_t(instruction->right)));                     \
        last.bits = before;                                                                        \
        last.kind = kValueInt;                                                                     \
        instruction += skipped;                                                                    \
        onward;                                                                                    \
    }                                                                                              \
    return instruction;
StepIntEnd:
    ZORV_STEP_INT(3, goto End)
StepInt:
    ZORV_STEP_INT(2, ZORV_NEXT_INSTRUCTION())
#undef ZORV_STEP_INT
Call:
    if constexpr (kLoop) {
        if (!AnswerLoopCall(*instruction, &ZORV_HERE)) return instruction;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
// Slot `left` copied into slot `right`, both holding numbers of the form's kind.
#define ZORV_COPY_SLOT(Kind, type, Payload, Set, raw)                                              \
    if constexpr (kLoop) {                                                                         \
        const CValue& from = slots[instruction->left];                                             \
        CValue& slot = slots[uint32_t(instruction->right)];                                        \
        if (from.StoredType() != Kind || slot.StoredType() > kValueDouble) return instruction;     \
        const type value = from.Payload();                                                         \
        slot.Set(value);                                                                           \
        last.bits = raw;                                                                           \
        last.kind = Kind;                                                                          \
        instruction += 2;                                                                          \
        goto End;                                                                                  \
    }                                                                                              \
    return instruction;
CopyIntEnd:
    ZORV_COPY_SLOT(kValueInt, int32_t, IntPayload, SetInt, value)
CopyDoubleEnd:
    ZORV_COPY_SLOT(kValueDouble, double, DoublePayload, SetFloat, std::bit_cast<int64_t>(value))
#undef ZORV_COPY_SLOT
// The cell is found again at every store, from the array its holder has then; an
// assignment past the end of a one-dimensional array grows it by that element.
ElementAssignInt:
ElementAssignDouble:
    if constexpr (kLoop) {
        uint32_t flat;
        CScriptArray* array =
            ElementCell(elements[instruction->left], slots, bound, variables, flat);
        CScriptArray::Number number;
        number.kind = instruction->opcode - kLoopElementAssignInt;
        if (number.kind == kValueInt)
            number.integer = ZORV_HERE.i;
        else
            number.real = ZORV_HERE.d;
        if ((array == nullptr || !array->WriteNumber(flat, number)) &&
            !AppendElementNumber(elements[instruction->left], slots, bound, variables, number))
            return instruction;
        if ((instruction->right & kLoopLeavesValue) != 0) {
            last.bits = number.kind == kValueInt ? int64_t(number.integer) : int64_t(number.bits);
            last.kind = number.kind;
        }
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
ElementJoinInt:
ElementJoinDouble:
    if constexpr (kLoop) {
        uint32_t flat;
        CScriptArray::Number cell;
        CScriptArray* array =
            NumberCell(elements[instruction->left], slots, bound, variables, flat, cell);
        if (array == nullptr) return instruction;
        CScriptArray::Number number;
        number.kind = instruction->opcode - kLoopElementJoinInt;
        if (number.kind == kValueInt)
            number.integer = ZORV_HERE.i;
        else
            number.real = ZORV_HERE.d;
        JoinNumbers(uint8_t(instruction->right), cell, number);
        array->WriteNumber(flat, cell);
        if ((instruction->right & kLoopLeavesValue) != 0) {
            last.bits = number.kind == kValueInt ? int64_t(number.integer) : int64_t(number.bits);
            last.kind = number.kind;
        }
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
QuickElementInt:
    if constexpr (kLoop) {
        uint32_t flat;
        const CScriptArray* array = QuickElement(slots, variables, instruction->right, flat);
        if (!ReadKindedCell<kValueInt>(array, flat, ZORV_HERE)) return instruction;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
QuickElementDouble:
    if constexpr (kLoop) {
        uint32_t flat;
        const CScriptArray* array = QuickElement(slots, variables, instruction->right, flat);
        if (!ReadKindedCell<kValueDouble>(array, flat, ZORV_HERE)) return instruction;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
QuickGridInt:
    if constexpr (kLoop) {
        uint32_t flat;
        const CScriptArray* array = QuickGrid(slots, variables, instruction->right, flat);
        if (!ReadKindedCell<kValueInt>(array, flat, ZORV_HERE)) return instruction;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
QuickGridDouble:
    if constexpr (kLoop) {
        uint32_t flat;
        const CScriptArray* array = QuickGrid(slots, variables, instruction->right, flat);
        if (!ReadKindedCell<kValueDouble>(array, flat, ZORV_HERE)) return instruction;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
// Each kind has its own code, and the number is written whole, so that it stays in
// registers; the array and index found are those the element past the end would have.
#define ZORV_QUICK_ASSIGN(Kind, bitsOfValue, raw, skipped)                                         \
    if constexpr (kLoop) {                                                                         \
        uint32_t flat;                                                                             \
        CScriptArray* array = QuickElement(slots, variables, instruction->right, flat);            \
        if (array == nullptr) return instruction;                                                  \
        CScriptArray::Number number;                                                               \
        number.kind = Kind;                                                                        \
        number.bits = bitsOfValue;                                                                 \
        if (!array->WriteNumber(flat, number) &&                                                   \
            !AppendNumberTo(*array, flat, number.kind, number.bits))                               \
            return instruction;                                                                    \
        if ((instruction->right & kLoopLeavesValue) != 0) {                                        \
            last.bits = raw;                                                                       \
            last.kind = Kind;                                                                      \
        }                                                                                          \
        instruction += skipped;                                                                    \
        goto* kInstructions[instruction->opcode];                                                  \
    }                                                                                              \
    return instruction;
QuickAssignInt:
    ZORV_QUICK_ASSIGN(kValueInt, uint32_t(ZORV_HERE.i), int64_t(number.integer), 1)
QuickAssignDouble:
    ZORV_QUICK_ASSIGN(kValueDouble, std::bit_cast<uint64_t>(ZORV_HERE.d), int64_t(number.bits), 1)
QuickConstant:
    ZORV_QUICK_ASSIGN(kValueInt, instruction->left, int64_t(number.integer), 2)
#undef ZORV_QUICK_ASSIGN
// The index the statement worked out waits in register 1.
IndexedAssignInt:
IndexedAssignDouble:
    if constexpr (kLoop) {
        CScriptArray* array = IndexedArrayOf(elements[instruction->left], slots, bound, variables);
        const uint32_t flat = uint32_t(int32_t(registers[1].i));
        CScriptArray::Number number;
        number.kind = instruction->opcode - kLoopIndexedAssignInt;
        if (number.kind == kValueInt)
            number.integer = ZORV_HERE.i;
        else
            number.real = ZORV_HERE.d;
        if (array == nullptr ||
            (!array->WriteNumber(flat, number) &&
             !AppendNumberTo(*array, flat, number.kind, number.bits)))
            return instruction;
        if ((instruction->right & kLoopLeavesValue) != 0) {
            last.bits = number.kind == kValueInt ? int64_t(number.integer) : int64_t(number.bits);
            last.kind = number.kind;
        }
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
IndexedJoinInt:
IndexedJoinDouble:
    if constexpr (kLoop) {
        uint32_t flat;
        CScriptArray::Number cell;
        CScriptArray* array = IndexedElementCell(elements[instruction->left], slots, bound,
                                                 variables, registers[1].i, flat);
        if (array == nullptr || !array->ReadNumber(flat, cell)) return instruction;
        CScriptArray::Number number;
        number.kind = instruction->opcode - kLoopIndexedJoinInt;
        if (number.kind == kValueInt)
            number.integer = ZORV_HERE.i;
        else
            number.real = ZORV_HERE.d;
        JoinNumbers(uint8_t(instruction->right), cell, number);
        array->WriteNumber(flat, cell);
        if ((instruction->right & kLoopLeavesValue) != 0) {
            last.bits = number.kind == kValueInt ? int64_t(number.integer) : int64_t(number.bits);
            last.kind = number.kind;
        }
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
// A condition's value stays above the statement's base, where the branch reads it.
BranchInt:
    last.bits = ZORV_HERE.i;
    last.kind = kValueInt;
    if (ZORV_HERE.i == 0) ZORV_NEXT_INSTRUCTION();
    instruction = code + instruction->left;
    goto* kInstructions[instruction->opcode];
BranchDouble:
    last.bits = std::bit_cast<int64_t>(ZORV_HERE.d);
    last.kind = kValueDouble;
    if (DoubleToInt(ZORV_HERE.d) == 0) ZORV_NEXT_INSTRUCTION();
    instruction = code + instruction->left;
    goto* kInstructions[instruction->opcode];
// A member's variable holds what the object had when the program was entered.
MemberStoreInt:
    if constexpr (kLoop) {
        CValue& member = variables[uint32_t(instruction->right)]->value;
        if (member.StoredType() > kValueDouble) return instruction;
        member.SetInt(ZORV_HERE.i);
        last.bits = registers[instruction->left].i;
        last.kind = kValueInt;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
MemberStoreDouble:
    if constexpr (kLoop) {
        CValue& member = variables[uint32_t(instruction->right)]->value;
        if (member.StoredType() > kValueDouble) return instruction;
        member.SetFloat(ZORV_HERE.d);
        last.bits = std::bit_cast<int64_t>(registers[instruction->left].d);
        last.kind = kValueDouble;
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
// A statement's end or a block's change, which the interpreter takes unless the end only
// counts.
End:
    if constexpr (kLoop) {
        if (quickEnds > 0 && stop->load(std::memory_order_relaxed) == 0) [[likely]] {
            --quickEnds;
            ZORV_NEXT_INSTRUCTION();
        }
    }
    goto EndInFull;
EndJump:
    if constexpr (kLoop) {
        if (quickEnds > 0 && stop->load(std::memory_order_relaxed) == 0) [[likely]] {
            --quickEnds;
            instruction = code + instruction[1].left;
            goto* kInstructions[instruction->opcode];
        }
    }
    goto EndInFull;
// An end with more to do than counting; the jump after an end that has one follows it.
EndInFull:
    if constexpr (kLoop) {
        if (quickEnds == 0 && host.Rested()) {
            quickEnds = host.QuickEnds();
            ZORV_NEXT_INSTRUCTION();
        }
        host.Settle(quickEnds);
        if (!host.End(*instruction, last)) return instruction;
        quickEnds = host.QuickEnds();
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
Bind:
    host.Bind(instruction->right);
    ZORV_NEXT_INSTRUCTION();
Block:
    if constexpr (kLoop) {
        host.Settle(quickEnds);
        if (!host.Block(*instruction)) return instruction;
        quickEnds = host.QuickEnds();
        ZORV_NEXT_INSTRUCTION();
    }
    return instruction;
Jump:
    instruction = code + instruction->left;
    goto* kInstructions[instruction->opcode];
Exit:
    return instruction;
MethodDouble : {
    const NumberMethod method = SiteNumberMethod(*instruction);
    if (method == nullptr) return instruction;
    ZORV_HERE.d = method(registers[instruction->target + 1].d);
    ZORV_NEXT_INSTRUCTION();
}
MethodNumbers : {
    const uint32_t forms = instruction->left;
    const bool two = (forms & kMethodOfTwo) != 0;
    auto number = [&](uint32_t at, uint32_t doubleFlag) {
        return (forms & doubleFlag) != 0 ? Double(registers[at].d) : Integer(registers[at].i);
    };
    const uint32_t first = two ? instruction->target : instruction->target + 1;
    Number result;
    if (!CallNumberMethod(*instruction, number(first, kMethodFirstKind),
                          number(instruction->target + 1, kMethodSecondKind), result) ||
        (result.kind == kValueDouble) != ((forms & kMethodGivesDouble) != 0))
        return instruction;
    if (result.kind == kValueDouble)
        ZORV_HERE.d = result.Dbl();
    else
        ZORV_HERE.i = result.Int();
    ZORV_NEXT_INSTRUCTION();
}
// The six forms of operator `token` on operands of kind `Kind` (Int or Double), read from
// a value by `Payload`, from a constant by `Kind##Constant`, from a register's `field`.
#define ZORV_KINDED_FORMS(name, token, Kind, field, valueKind)                                     \
    name##Kind##Registers                                                                          \
        : if (!Apply##Kind##s<token>(ZORV_HERE.field, registers[instruction->target + 1].field,    \
                                     ZORV_HERE)) return instruction;                               \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    name##Kind##Slot : {                                                                           \
        const CValue& right = slots[uint32_t(instruction->right)];                                 \
        if (right.StoredType() != valueKind ||                                                     \
            !Apply##Kind##s<token>(ZORV_HERE.field, Kind##Of(right), ZORV_HERE))                   \
            return instruction;                                                                    \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    }                                                                                              \
    name##Kind##Constant                                                                           \
        : if (!Apply##Kind##s<token>(ZORV_HERE.field, Kind##Constant(instruction->right),          \
                                     ZORV_HERE)) return instruction;                               \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    name##Kind##Slots : {                                                                          \
        const CValue& left = slots[instruction->left];                                             \
        const CValue& right = slots[uint32_t(instruction->right)];                                 \
        if (left.StoredType() != valueKind || right.StoredType() != valueKind ||                   \
            !Apply##Kind##s<token>(Kind##Of(left), Kind##Of(right), ZORV_HERE))                    \
            return instruction;                                                                    \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    }                                                                                              \
    name##Kind##SlotConstant : {                                                                   \
        const CValue& left = slots[instruction->left];                                             \
        if (left.StoredType() != valueKind ||                                                      \
            !Apply##Kind##s<token>(Kind##Of(left), Kind##Constant(instruction->right), ZORV_HERE)) \
            return instruction;                                                                    \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    }                                                                                              \
    name##Kind##Name : {                                                                           \
        const CValue& right = variables[uint32_t(instruction->right)]->value;                      \
        if (right.StoredType() != valueKind ||                                                     \
            !Apply##Kind##s<token>(ZORV_HERE.field, Kind##Of(right), ZORV_HERE))                   \
            return instruction;                                                                    \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    }
#define ZORV_KINDED_CODE(name, token)                                                              \
    ZORV_KINDED_FORMS(name, token, Int, i, kValueInt)                                              \
    ZORV_KINDED_FORMS(name, token, Double, d, kValueDouble)
    ZORV_NUMBER_OPERATORS(ZORV_KINDED_CODE)
#undef ZORV_KINDED_CODE
#undef ZORV_KINDED_FORMS
// A condition's value is left as the statement's, as kLoopBranchInt leaves it; the branch
// after the instruction holds where a condition that holds goes.
#define ZORV_BRANCH_ON(holds)                                                                      \
    {                                                                                              \
        const bool taken = (holds);                                                                \
        last.bits = taken;                                                                         \
        last.kind = kValueInt;                                                                     \
        instruction = taken ? code + instruction[1].left : instruction + 2;                        \
        goto* kInstructions[instruction->opcode];                                                  \
    }
// The six forms of comparison `token` on operands of kind `Kind`, branching on its value.
#define ZORV_BRANCH_FORMS(name, token, Kind, field, valueKind)                                     \
    name##Kind##RegistersBranch : {                                                                \
        const auto right = registers[instruction->target + 1].field;                               \
        ZORV_BRANCH_ON(Compare(token, ZORV_HERE.field, right))                                     \
    }                                                                                              \
    name##Kind##SlotBranch : {                                                                     \
        const CValue& right = slots[uint32_t(instruction->right)];                                 \
        if (right.StoredType() != valueKind) return instruction;                                   \
        ZORV_BRANCH_ON(Compare(token, ZORV_HERE.field, Kind##Of(right)))                           \
    }                                                                                              \
    name##Kind##ConstantBranch : {                                                                 \
        const auto right = Kind##Constant(instruction->right);                                     \
        ZORV_BRANCH_ON(Compare(token, ZORV_HERE.field, right))                                     \
    }                                                                                              \
    name##Kind##SlotsBranch : {                                                                    \
        const CValue& left = slots[instruction->left];                                             \
        const CValue& right = slots[uint32_t(instruction->right)];                                 \
        if (left.StoredType() != valueKind || right.StoredType() != valueKind) return instruction; \
        ZORV_BRANCH_ON(Compare(token, Kind##Of(left), Kind##Of(right)))                            \
    }                                                                                              \
    name##Kind##SlotConstantBranch : {                                                             \
        const CValue& left = slots[instruction->left];                                             \
        if (left.StoredType() != valueKind) return instruction;                                    \
        ZORV_BRANCH_ON(Compare(token, Kind##Of(left), Kind##Constant(instruction->right)))         \
    }                                                                                              \
    name##Kind##NameBranch : {                                                                     \
        const CValue& right = variables[uint32_t(instruction->right)]->value;                      \
        if (right.StoredType() != valueKind) return instruction;                                   \
        ZORV_BRANCH_ON(Compare(token, ZORV_HERE.field, Kind##Of(right)))                           \
    }
#define ZORV_BRANCH_CODE(name, token)                                                              \
    ZORV_BRANCH_FORMS(name, token, Int, i, kValueInt)                                              \
    ZORV_BRANCH_FORMS(name, token, Double, d, kValueDouble)
    ZORV_COMPARISONS(ZORV_BRANCH_CODE)
#undef ZORV_BRANCH_CODE
#undef ZORV_BRANCH_FORMS
AndBranch:
    ZORV_BRANCH_ON(ZORV_HERE.i != 0 && registers[instruction->target + 1].i != 0)
OrBranch:
    ZORV_BRANCH_ON(ZORV_HERE.i != 0 || registers[instruction->target + 1].i != 0)
#undef ZORV_BRANCH_ON
#undef ZORV_HERE
#undef ZORV_NEXT_INSTRUCTION
}

} // namespace

bool RunKindedProgram(const NumberProgram& program, const CValue* slots, uint64_t bound,
                      CValue* target, CValue& place) {
    // A program outside loops has no statement ends or blocks.
    struct NoHost {
        static int32_t QuickEnds() { return 0; }
        static const std::atomic<uint32_t>* Stop() { return nullptr; }
        static void Settle(int32_t) {}
        static bool End(const RegisterInstruction&, const LoopValue&) { return false; }
        static bool Block(const RegisterInstruction&) { return false; }
        static void Bind(int64_t) {}
    } host;
    LoopValue unused;
    return RunKindedCode<false>(program.kinded.data(), slots, bound, program.variables.data(),
                                program.elements.data(), target, &place, unused, host) == nullptr;
}

namespace {

// The slots of `block` bound in `bound` let go of, holding 0: the slots bound after.
[[gnu::noinline]] uint64_t DropBlockSlots(uint64_t block, uint64_t bound, CValue* slots) {
    for (uint64_t dropped = block & bound; dropped != 0; dropped &= dropped - 1)
        slots[std::countr_zero(dropped)].SetInt(0);
    return bound & ~block;
}

} // namespace

LoopExit CInterpretor::RunLoopProgram(const CompiledFunction& code, const CompiledOp& round,
                                      CValue* slots, uint64_t bound, uint32_t base,
                                      uint32_t poolMark) {
    const LoopProgram& loop = code.loopPrograms[round.count];
    // Entered at the loop's first round rather than at its jump back.
    const bool first = round.site != 0;
    if (loop.running) return {loop.start, bound};
    if (loop.stale || loop.bound != bound) {
        if (first) {
            // Only the jump back writes the code, for the kinds the rounds keep; a first
            // round enters code written for slots it has bound, and else has the next
            // writing leave out those it has not.
            if (loop.stale) return {loop.start, bound};
            if ((bound & loop.bound) != loop.bound) {
                if (loop.firstRounds && (loop.entryBound & ~bound) != 0) {
                    if (loop.declines < LoopProgram::kDeclines) {
                        ++loop.declines;
                    } else {
                        loop.entryBound &= bound;
                        loop.stale = true;
                    }
                }
                return {loop.start, bound};
            }
        } else if (loop.stale || loop.bound != (bound & loop.entryBound)) {
            // Written again as long as kinds keep changing only now and then.
            if (loop.writings == LoopProgram::kMaxWritings) return {loop.start, bound};
            ++loop.writings;
            loop.globalsStamp = 0;
            if (!WriteLoopProgram(code, loop, slots, bound)) return {loop.start, bound};
        }
    }
    if (loop.epoch != ScopeEpoch() && !FindLoopNames(loop)) return {loop.start, bound};
    if (!loop.members.empty() && !FindLoopMembers(loop, slots, bound)) return {loop.start, bound};
    struct Running {
        bool& running;
        ~Running() { running = false; }
    } running{loop.running};
    loop.running = true;
    // The interpreter's side of the program: statement ends and blocks as kOpEndStatement,
    // kOpPushBlock and kOpPopBlock take them; the program goes on unless the scopes changed
    // meanwhile, which its names' variables were found in and which had none of the names
    // it binds.
    struct Host {
        CInterpretor& interpreter;
        const CompiledFunction& code;
        const LoopProgram& loop;
        CValue* slots;
        uint32_t base;
        uint32_t poolMark;
        // The slots bound where the program stands. Its instructions test only slots bound
        // there on every way, so that they read those it binds as bound throughout.
        uint64_t current;
        // The ends QuickEnds handed over last, less those given back since.
        int32_t given = 0;
        // Whether the last end that checked for due work found none, with nothing but
        // counted ends since: the next check can only find something the clock or
        // another thread brought.
        bool idle = false;
        const std::atomic<uint32_t>& stop = interpreter.StopRequestFlag();

        // The ends that may pass by counting alone: none while an event or an end of the
        // program waits (the counter reads 0 then), since only the full end takes them.
        int32_t QuickEnds() {
            given = interpreter.statementCounter_ > 0 ? interpreter.statementCounter_ : 0;
            return given;
        }
        const std::atomic<uint32_t>* Stop() const { return &stop; }
        void Settle(int32_t left) {
            interpreter.statementCounter_ -= given - left;
            given = left;
        }
        // At a check, the ends QuickEnds handed over all counted: whether it finds what the
        // last check found, and if so counts it.
        bool Rested() {
            if (!idle || interpreter.statementCounter_ != given ||
                (interpreter.eventsEnabled != 0 && interpreter.clockAlarm_.Rang()) ||
                stop.load(std::memory_order_relaxed) != 0)
                return false;
            interpreter.statementCounter_ = interpreter.statementsPerCheck;
            return true;
        }
        [[gnu::noinline]] bool End(const RegisterInstruction& at, const LoopValue& last) {
            // An end that only counts and checks that nothing is due runs nothing that
            // could look at the statement's value or change the scopes.
            interpreter.TakeBackStatementCount();
            const bool checks = interpreter.statementCounter_ == 0;
            idle = false;
            if (interpreter.EndStatementQuietly(poolMark)) {
                idle = checks;
                return true;
            }
            LeaveValue(interpreter, last, base);
            interpreter.EndLoopStatement(code.ops[uint32_t(at.right)], base, poolMark);
            return Unchanged();
        }
        void Bind(int64_t slot) { current |= uint64_t(1) << slot; }
        [[gnu::noinline]] bool Block(const RegisterInstruction& at) {
            idle = false;
            const CompiledOp& step = code.ops[uint32_t(at.right)];
            // The locals made in the block go with it, as the steps drop them.
            if (at.opcode == kLoopPopBlock && (code.blockSlots[step.index] & current) != 0)
                [[unlikely]]
                current = DropBlockSlots(code.blockSlots[step.index], current, slots);
            interpreter.LoopBlock(step, base);
            return Unchanged();
        }
        // The value of the last statement above the base, where the steps leave it.
        static void LeaveValue(CInterpretor& interpreter, const LoopValue& last, uint32_t base) {
            if (last.kind > kValueDouble) return;
            StackSlot* place = interpreter.slots_[base + 1];
            if (last.kind == kValueInt)
                place->value.SetInt(int32_t(last.bits));
            else
                place->value.SetFloat(std::bit_cast<double>(last.bits));
            place->source = nullptr;
            place->anchorKind = kValueInt;
        }
        bool Unchanged() const {
            return (loop.names.empty() && loop.binds.empty()) ||
                   loop.epoch == interpreter.ScopeEpoch();
        }
    } host{*this, code, loop, slots, base, poolMark, bound};
    LoopValue last;
    const RegisterInstruction* at =
        RunKindedCode<true>(loop.code.data(), slots, bound | loop.bindsSlots, loop.variables.data(),
                            loop.elements.data(), nullptr, nullptr, last, host);
    depth_ = base;
    Host::LeaveValue(*this, last, base);
    // The steps end the block they go on in.
    auto leave = [&](uint32_t step) -> LoopExit {
        if (!loop.unrecorded.empty() && step >= loop.start && step <= loop.end)
            if (const uint32_t block = loop.unrecorded[step - loop.start])
                PushBlock(GetBlock(block - 1));
        return {step, host.current};
    };
    if (at->opcode == kLoopEnd || at->opcode == kLoopEndJump || at->opcode == kLoopPushBlock ||
        at->opcode == kLoopPopBlock)
        return leave(at->left);
    if (at->opcode == kLoopExit) return leave(uint32_t(at->right));
    // An element store whose cell is not at hand (an index outside the array, a cell holding
    // no number) has changed nothing the program was written for: its statement's steps
    // shape, grow or fail, and the next round runs the program again. So does a read of an
    // element whose index the program works out, whose kind the array's first cell only
    // stood for: writing the program again would guess the same.
    if ((at->opcode >= kLoopElementAssignInt && at->opcode <= kLoopElementJoinDouble) ||
        at->opcode == kLoopQuickAssignInt || at->opcode == kLoopQuickAssignDouble ||
        at->opcode == kLoopQuickConstant ||
        (at->opcode >= kLoopIndexedElementInt && at->opcode <= kLoopIndexedJoinDouble))
        return leave(loop.exits[size_t(at - loop.code.data())]);
    // A kind it was written for no longer holds, or an operator failed: the statement's
    // full steps take it. A first round may hold kinds that its own statements change for
    // the rounds after it (a sum begun as an integer), for which the code stays.
    if (!first) loop.stale = true;
    return leave(loop.exits[size_t(at - loop.code.data())]);
}

void TakeOutMoves(std::vector<RegisterInstruction>& code) {
    KindedWriter::WithoutMoves(code);
}
