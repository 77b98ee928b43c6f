// Register programs of the number code: written once when the code is compiled, run on
// each pass of their kOpNumberCode. Integers first; a program that meets a double runs
// again on registers that keep kinds, as CValue promotes, and from then on straight
// away. Like the steps they stand for, they give up before anything has changed
// wherever a value is no number or an operator would fail, and the full steps that
// follow raise the error.
#include <algorithm>
#include <atomic>
#include <bit>
#include <iterator>
#include <type_traits>

#include "script/interpreter/call_frames.h"
#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_methods.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_register_kinds.h"
#include "script/interpreter/compiled_register_names.h"
#include "script/interpreter/compiled_registers.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_record.h"

namespace {

constexpr uint32_t kOperatorTokens[] = {
#define ZORV_OPERATOR_TOKEN(name, token) token,
    ZORV_NUMBER_OPERATORS(ZORV_OPERATOR_TOKEN)
#undef ZORV_OPERATOR_TOKEN
};

// The first opcode of the binary operator `code` (kRegisterForms of them), or 0 when
// the registers have no such operator.
uint32_t BinaryOpcode(uint32_t code) {
    for (uint32_t i = 0; i < std::size(kOperatorTokens); ++i)
        if (kOperatorTokens[i] == code) return kRegisterBinary + i * kRegisterForms;
    return 0;
}

class ProgramWriter {
public:
    ProgramWriter(const CompiledOp* ops, const std::vector<double>& doubles,
                  const std::vector<ElementRead>& elementReads,
                  const std::vector<CompiledMethodSite>& methodSites, uint8_t* stream)
        : ops_(ops), doubles_(doubles), elementReads_(elementReads), methodSites_(methodSites),
          stream_(stream) {}

    // The steps from `step` up to `end`; false for one the registers do not cover. An
    // element read for its value is one load, its generic steps skipped.
    bool Steps(const CompiledOp* step, const CompiledOp* end) {
        while (step != end) {
            if (step->op == kOpElementRead) {
                // An array named through the scopes is found as the program's other names
                // are, its variable's place standing for the slot.
                ElementRead read = elementReads_[step->count];
                if (read.begin == kOpElementName) {
                    read.slot = uint32_t(program_.names.size());
                    program_.names.push_back(step->token);
                }
                Emit(kRegisterElement, step->depth, uint32_t(program_.elements.size()));
                program_.elements.push_back(read);
                step = ops_ + step->index;
            } else if (const CompiledOp* index = IndexedElementIndex(step, end)) {
                // Its index worked out into the register above it, then read from there.
                if (!Steps(step + 1, index)) return false;
                ElementRead read{};
                read.begin = step->op;
                read.count = 1;
                read.slot = step->count;
                read.sources[0] = kIndexFromStack;
                if (read.begin == kOpElementName) {
                    read.slot = uint32_t(program_.names.size());
                    program_.names.push_back(step->token);
                }
                Emit(kRegisterIndexedElement, step->depth, uint32_t(program_.elements.size()));
                program_.elements.push_back(read);
                step = index + 2;
            } else if (step->op == kOpSlotMembers || step->op == kOpWalkOperand) {
                EmitMember(step->depth, *step);
                ++step;
            } else if (!Step(*step)) {
                return false;
            } else {
                ++step;
            }
        }
        return true;
    }

    // The right operand of the assignment step `op` into register 2.
    bool RightOperand(const CompiledOp& op) {
        switch (op.op) {
        case kOpBinary:
        case kOpAssignBound:
            return true;
        case kOpBinarySlot:
        case kOpSlotSlot:
            Emit(kRegisterSlot, 2, 0, op.index);
            return true;
        case kOpBinaryBoundSlot:
            Emit(kRegisterBoundSlot, 2, 0, op.index);
            return true;
        case kOpBinaryInt:
        case kOpSlotInt:
            Emit(kRegisterInt, 2, 0, int32_t(op.index));
            return true;
        case kOpBinaryDouble:
        case kOpSlotDouble:
            EmitDouble(2, doubles_[op.index]);
            return true;
        case kOpBinaryName:
            EmitName(2, stream_ + op.count);
            return true;
        default:
            return false;
        }
    }

    bool Binary(uint32_t code, uint32_t form, uint32_t target, uint32_t left, int64_t right) {
        const uint32_t first = BinaryOpcode(code);
        if (first == 0) return false;
        // A member loaded just before its operator is read by the operator itself: read
        // back from the register just written, the value would wait on that store.
        if (form == kFormRegisters && !memberLoads_.empty() &&
            memberLoads_.back() + 1 == program_.code.size() &&
            program_.code.back().target == target + 1) {
            right = program_.code.back().left;
            form = kFormName;
            program_.code.pop_back();
            memberLoads_.pop_back();
            memberOperands_.push_back(uint32_t(program_.code.size()));
        }
        Emit(first + form, target, left, right);
        return true;
    }

    void Emit(uint32_t opcode, uint32_t target, uint32_t left = 0, int64_t right = 0,
              uint8_t* token = nullptr) {
        RegisterInstruction& instruction = program_.code.emplace_back(
            RegisterInstruction{uint16_t(opcode), uint8_t(target), left, right, token});
        const uint32_t binary = (opcode - kRegisterBinary) / kRegisterForms;
        const uint32_t form = (opcode - kRegisterBinary) % kRegisterForms;
        if (opcode >= kRegisterBinary && binary < std::size(kOperatorTokens) &&
            (kOperatorTokens[binary] == kTokenDivide || kOperatorTokens[binary] == kTokenModulo) &&
            (form == kFormInt || form == kFormSlotInt))
            instruction.reciprocal = DivisorReciprocal(int32_t(right));
    }

    // The statement's target, the program's first name or element.
    void TargetName(uint8_t* token) { program_.names.push_back(token); }
    void TargetElement(ElementRead read, uint8_t* token) {
        if (read.begin == kOpElementName) {
            read.slot = uint32_t(program_.names.size());
            program_.names.push_back(token);
        }
        program_.elements.push_back(read);
    }

    // A member of the object in the slot of kOpSlotMembers `op`, or of This, read into
    // `target`.
    // A member read twice, or read and assigned, is found once.
    void EmitMember(uint32_t target, const CompiledOp& op) {
        LoadMember(target, TargetMember(op), op.token);
    }
    // The statement's target, the program's first member.
    uint32_t TargetMember(const CompiledOp& op) {
        // This's member (kOpWalkOperand) follows its head's token.
        const bool ofThis = op.op == kOpWalkOperand;
        auto* token = reinterpret_cast<NameToken*>(
            ofThis ? op.token + reinterpret_cast<const TokenHeader*>(op.token)->size : op.token);
        const uint32_t slot = ofThis ? kMemberOfThis : op.index;
        for (uint32_t at = 0; at < program_.members.size(); ++at) {
            const MemberOperand& member = program_.members[at];
            if (member.slot == slot && member.token->nameId == token->nameId) return at;
        }
        program_.members.push_back(MemberOperand{slot, !ofThis && op.code != 0, token});
        return uint32_t(program_.members.size() - 1);
    }
    void LoadMember(uint32_t target, uint32_t member, uint8_t* token) {
        memberLoads_.push_back(uint32_t(program_.code.size()));
        Emit(kRegisterName, target, member, 0, token);
    }

    NumberProgram Take() {
        // The members' variables follow the names'.
        for (uint32_t at : memberLoads_)
            program_.code[at].left += uint32_t(program_.names.size());
        for (uint32_t at : memberOperands_)
            program_.code[at].right += int64_t(program_.names.size());
        program_.variables.resize(program_.names.size() + program_.members.size());
        program_.findsVariables = !program_.variables.empty();
        return std::move(program_);
    }

private:
    static int64_t DoubleBits(double value) { return std::bit_cast<int64_t>(value); }
    void EmitName(uint32_t target, uint8_t* token) {
        Emit(kRegisterName, target, uint32_t(program_.names.size()), 0, token);
        program_.names.push_back(token);
    }
    void EmitDouble(uint32_t target, double value) {
        Emit(kRegisterDouble, target, 0, DoubleBits(value));
    }

    bool Step(const CompiledOp& op) {
        const uint32_t depth = op.depth;
        switch (op.op) {
        case kOpClear:
            return true;
        case kOpSlot:
            Emit(kRegisterSlot, depth, 0, op.index);
            return true;
        case kOpBoundSlot:
            Emit(kRegisterBoundSlot, depth, 0, op.index);
            return true;
        case kOpInt:
            Emit(kRegisterInt, depth, 0, int32_t(op.index));
            return true;
        case kOpDouble:
            EmitDouble(depth, reinterpret_cast<const DoubleToken*>(op.token)->value);
            return true;
        case kOpName:
            EmitName(depth, op.token);
            return true;
        case kOpSwap:
            MoveDown(depth);
            return true;
        case kOpNegate:
            Emit(kRegisterNegate, depth);
            return true;
        case kOpNot:
            Emit(kRegisterNot, depth);
            return true;
        case kOpComplement:
            Emit(kRegisterComplement, depth);
            return true;
        case kOpBinary:
            return Binary(op.code, kFormRegisters, depth, 0, 0);
        case kOpBinarySlot:
            return Binary(op.code, kFormSlot, depth, 0, op.index);
        case kOpBinaryInt:
            return Binary(op.code, kFormInt, depth, 0, int32_t(op.index));
        case kOpSlotSlot:
            return Binary(op.code, kFormSlots, depth, op.count, op.index);
        case kOpSlotInt:
            return Binary(op.code, kFormSlotInt, depth, op.count, int32_t(op.index));
        case kOpBinaryBoundSlot:
            Emit(kRegisterBoundSlot, depth + 1, 0, op.index);
            return Binary(op.code, kFormRegisters, depth, 0, 0);
        case kOpBinaryName:
            if (!Binary(op.code, kFormName, depth, 0, int64_t(program_.names.size()))) return false;
            program_.names.push_back(stream_ + op.count);
            return true;
        case kOpBinaryDouble:
            return Binary(op.code, kFormDouble, depth, 0, DoubleBits(doubles_[op.index]));
        case kOpSlotDouble:
            return Binary(op.code, kFormSlotDouble, depth, op.count,
                          DoubleBits(doubles_[op.index]));
        // A singleton's method of one number (the only call the number code lets in with
        // registers): its argument worked out into the register above the call's.
        // A singleton's method of numbers (the only call the number code lets in with
        // registers): its argument worked out into the register above the call's; of two
        // arguments, the first moved down into the call's own register.
        case kOpChainHead:
            methodClasses_[depth] = reinterpret_cast<const TokenHeader*>(op.token)->code;
            return op.code == kChainSingleton;
        case kOpMethodBegin:
            methodArguments_[depth] = op.count;
            calls_[depth].function = false;
            return true;
        case kOpCallBegin:
        case kOpCallOpen:
        case kOpCallBare:
            return CallBegin(op);
        case kOpCallEnd:
        case kOpCallClose:
            EmitCall(depth);
            return true;
        case kOpArgumentsBegin:
        case kOpArgumentsEnd:
        case kOpArgumentSlotInt:
        case kOpCallDirect:
            return true;
        case kOpArgument:
            // A function's first argument is worked out where the call takes it; the others
            // are slots and integers, loaded once all are worked out.
            if (calls_[depth].function) return op.index == 0 || LoadLater(op);
            if (FirstOfTwo(op)) Emit(kRegisterMove, depth);
            return true;
        case kOpArgumentSlot:
            if (calls_[depth].function) return Later(op, kRegisterSlot, op.count);
            Emit(kRegisterSlot, FirstOfTwo(op) ? depth : depth + 1, 0, op.count);
            return true;
        case kOpArgumentInt:
            if (calls_[depth].function) return Later(op, kRegisterInt, int32_t(op.count));
            Emit(kRegisterInt, FirstOfTwo(op) ? depth : depth + 1, 0, int32_t(op.count));
            return true;
        case kOpMethodEnd:
            program_.code.push_back(MethodInstruction(
                depth, methodArguments_[depth], methodClasses_[depth], methodSites_[op.site]));
            return true;
        default:
            // Calls run as the steps run them.
            return false;
        }
    }

    // A call of a function by name, its arguments in the registers above its own.
    bool CallBegin(const CompiledOp& op) {
        if (op.depth + op.count > CompiledFunction::kMaxQuickDepth) return false;
        Call& call = calls_[op.depth];
        call = Call{true, op.site, op.count, op.token, {}};
        if (op.op == kOpCallBare) EmitCall(op.depth);
        return true;
    }
    bool Later(const CompiledOp& argument, uint32_t opcode, int64_t right) {
        Call& call = calls_[argument.depth];
        call.loads.push_back(RegisterInstruction{
            uint16_t(opcode), uint8_t(argument.depth + 1 + argument.index), 0, right, nullptr});
        return true;
    }
    // An argument after the first that is one load, written where the call takes it.
    bool LoadLater(const CompiledOp& argument) {
        if (program_.code.empty()) return false;
        const RegisterInstruction load = program_.code.back();
        if (load.target != argument.depth + 1 || load.opcode > kRegisterDouble) return false;
        program_.code.pop_back();
        return Later(argument, load.opcode, load.right);
    }
    void EmitCall(uint32_t depth) {
        Call& call = calls_[depth];
        program_.code.insert(program_.code.end(), call.loads.begin(), call.loads.end());
        Emit(kRegisterCall, depth, call.arguments, call.site, call.token);
        call = Call{};
    }

    // A parenthesis's value, in the register above `target`, moved down into it: the
    // instruction that wrote it writes `target` instead when it reads no register (nothing
    // reads the register above after the move).
    void MoveDown(uint32_t target) {
        if (!program_.code.empty()) {
            RegisterInstruction& last = program_.code.back();
            const uint32_t form = (last.opcode - kRegisterBinary) % kRegisterForms;
            const bool readsNoRegister =
                last.opcode <= kRegisterName || last.opcode == kRegisterElement ||
                (last.opcode >= kRegisterBinary && last.opcode < kRegisterMethod &&
                 (form == kFormSlots || form == kFormSlotInt || form == kFormSlotDouble));
            if (last.target == target + 1 && readsNoRegister) {
                last.target = uint8_t(target);
                return;
            }
        }
        Emit(kRegisterMove, target);
    }

    const CompiledOp* ops_;
    const std::vector<double>& doubles_;
    const std::vector<ElementRead>& elementReads_;
    const std::vector<CompiledMethodSite>& methodSites_;
    uint8_t* stream_;
    NumberProgram program_;
    bool FirstOfTwo(const CompiledOp& argument) const {
        return methodArguments_[argument.depth] == 2 && argument.index == 0;
    }

    // The class of the singleton whose method a call at each depth calls, and how many
    // arguments it has.
    uint32_t methodClasses_[CompiledFunction::kMaxQuickDepth + 1] = {};
    uint32_t methodArguments_[CompiledFunction::kMaxQuickDepth + 1] = {};
    // The call of a function under way at each depth, and the loads of its arguments that
    // wait for its end.
    struct Call {
        bool function = false;
        uint32_t site = 0;
        uint32_t arguments = 0;
        uint8_t* token = nullptr;
        std::vector<RegisterInstruction> loads;
    };
    Call calls_[CompiledFunction::kMaxQuickDepth + 1];
    // The loads of members, whose variables' places are known once the names are.
    std::vector<uint32_t> memberLoads_;
    // The operators that read a member as their right side (kFormName), numbered as those
    // loads are.
    std::vector<uint32_t> memberOperands_;
};

// An integer operand in the registers' own form.
template <class Value> Value IntegerValue(int32_t value) {
    if constexpr (std::is_same_v<Value, int32_t>)
        return value;
    else
        return Integer(value);
}

template <uint32_t kToken> [[gnu::always_inline]] inline bool Apply(int32_t& a, int32_t b) {
    return IntegerResult(kToken, uint32_t(a), uint32_t(b), a);
}

template <uint32_t kToken> [[gnu::always_inline]] inline bool Apply(Number& a, const Number& b) {
    return NumberResult<false>(kToken, a, b);
}

// Apply of the integer constant of `instruction`: a division or a remainder by its
// reciprocal when it has one for that constant.
template <uint32_t kToken>
[[gnu::always_inline]] inline bool ApplyConstant(int32_t& a,
                                                 const RegisterInstruction& instruction) {
    if constexpr (kToken == kTokenDivide || kToken == kTokenModulo) {
        if (instruction.reciprocal != 0 &&
            uint32_t(instruction.reciprocal) == uint32_t(instruction.right)) {
            int32_t quotient;
            int32_t remainder;
            DivideByReciprocal(a, instruction.reciprocal, quotient, remainder);
            a = kToken == kTokenDivide ? quotient : remainder;
            return true;
        }
    }
    return Apply<kToken>(a, int32_t(instruction.right));
}

// The registers of a program. Kinds and numbers of the registers that keep kinds are
// apart and each number is written whole, so that a read of a register finds one earlier
// write of its full width, which the processor hands on without waiting for the store.
template <class Value> struct Registers;

template <> struct Registers<int32_t> {
    int32_t values[CompiledFunction::kMaxQuickDepth + 1];
    int32_t Get(uint32_t at) const { return values[at]; }
    void Set(uint32_t at, int32_t value) { values[at] = value; }
};

template <> struct Registers<Number> {
    int64_t bits[CompiledFunction::kMaxQuickDepth + 1];
    uint32_t kinds[CompiledFunction::kMaxQuickDepth + 1];
    Number Get(uint32_t at) const { return Number{bits[at], kinds[at]}; }
    void Set(uint32_t at, const Number& value) {
        bits[at] = value.bits;
        kinds[at] = value.kind;
    }
};

[[gnu::always_inline]] inline bool ReadValue(const CValue& value, int32_t& out) {
    if (value.StoredType() != kValueInt) return false;
    out = value.IntPayload();
    return true;
}

[[gnu::always_inline]] inline bool ReadValue(const CValue& value, Number& out) {
    return Read<false>(value, out);
}

// A cell's number as a register holds it; false for a double in a program of integers.
template <class Value>
[[gnu::always_inline]] inline bool CellValue(const CScriptArray::Number& cell, Value& out) {
    if constexpr (std::is_same_v<Value, int32_t>) {
        if (cell.kind != kValueInt) return false;
        out = cell.integer;
    } else {
        out = cell.kind == kValueInt ? Integer(cell.integer) : Double(cell.real);
    }
    return true;
}

// The number in the cell of the element `read` names; false when the cell holds none or
// the element is not at hand.
template <class Value>
[[gnu::always_inline]] inline bool ReadElement(const ElementRead& read, const CValue* slots,
                                               uint64_t bound, CVariable* const* variables,
                                               Value& out) {
    uint32_t flat;
    const CScriptArray* array = ElementCell(read, slots, bound, variables, flat);
    if (array == nullptr) return false;
    CScriptArray::Number cell;
    return array->ReadNumber(flat, cell) && CellValue(cell, out);
}

// The number in the cell of the element of one index `read` names at `index`, which must be
// an integer; false as for ReadElement.
template <class Value>
[[gnu::always_inline]] inline bool ReadIndexedElement(const ElementRead& read, const CValue* slots,
                                                      uint64_t bound, CVariable* const* variables,
                                                      const Value& index, Value& out) {
    int32_t at;
    if constexpr (std::is_same_v<Value, int32_t>) {
        at = index;
    } else {
        if (index.kind != kValueInt) return false;
        at = index.Int();
    }
    uint32_t flat;
    const CScriptArray* array = IndexedElementCell(read, slots, bound, variables, at, flat);
    CScriptArray::Number cell;
    return array != nullptr && array->ReadNumber(flat, cell) && CellValue(cell, out);
}

[[gnu::always_inline]] inline void Store(CValue& value, int32_t n) {
    value.SetInt(n);
}

[[gnu::always_inline]] inline void Store(CValue& value, const Number& n) {
    StoreNumber(value, n);
}

NumberProgram CompileRegisters(const CompiledOp* at, const CompiledOp* end,
                               const std::vector<double>& doubles,
                               const std::vector<ElementRead>& elementReads,
                               const std::vector<CompiledMethodSite>& methodSites,
                               uint8_t* stream) {
    // The number code's `index` is the position of its end among the steps.
    ProgramWriter writer(end - at->index, doubles, elementReads, methodSites, stream);
    if (at->code == kNumberValue) {
        if (!writer.Steps(at + 1, end)) return {};
        writer.Emit(kRegisterReturn, 1);
        return writer.Take();
    }
    if (at->code == kNumberElementStore && at[1].op != kOpElementRead) {
        // An element whose index number steps work out: the index kept in the element's own
        // register while the value is worked out above it, where a loop program's store
        // takes both from.
        const CompiledOp* index = IndexedElementIndex(at + 1, end, kElementTarget);
        ElementRead read{};
        read.begin = at[1].op;
        read.count = 1;
        read.slot = at[1].count;
        read.sources[0] = kIndexFromStack;
        writer.TargetElement(read, at[1].token);
        if (index == nullptr || !writer.Steps(at + 2, index)) return {};
        writer.Emit(kRegisterElementIndex, 1);
        if (!writer.Steps(index + 2, ElementValueEnd(index + 2, end - 1))) return {};
        writer.Emit(kRegisterReturn, 2);
        NumberProgram program = writer.Take();
        program.storesByIndex = true;
        return program;
    }
    if (at->code == kNumberElementStore) {
        // The value above the element, which the store writes once it is worked out.
        const CompiledOp& read = at[1];
        writer.TargetElement(elementReads[read.count], read.token);
        const CompiledOp* value = end - at->index + read.index;
        if (!writer.Steps(value, ElementValueEnd(value, end - 1))) return {};
        writer.Emit(kRegisterReturn, 2);
        return writer.Take();
    }
    const bool named = at->site == kNumberTargetName;
    const bool member = at->site == kNumberTargetMember;
    if (named) writer.TargetName(at[1].token);
    if (member) writer.TargetMember(at[1]);
    auto loadTarget = [&] {
        if (named)
            writer.Emit(kRegisterName, 1, 0, 0, at[1].token);
        else if (member)
            writer.LoadMember(1, 0, at[1].token);
        else
            writer.Emit(kRegisterSlot, 1, 0, at->count);
    };
    if (at->code != kNumberAssign) {
        // A slot's "++" and "--" are steps of their own (kOpSlotStatement).
        if (!named && !member) return {};
        loadTarget();
        writer.Emit(kRegisterInt, 2, 0, 1);
        writer.Binary(at->code == kNumberIncrement ? kTokenPlus : kTokenMinus, kFormRegisters, 1, 0,
                      0);
        writer.Emit(kRegisterReturn, 1);
        return writer.Take();
    }
    // "slot = value" in one step, or the steps of the value above the assigned slot's read.
    const CompiledOp& assignment = end[-1];
    // A member's "=" keeps the step for a built-in object's assignment, with nothing to do here.
    const CompiledOp* value = member && at[2].op == kOpMemberAssigned ? at + 3 : at + 2;
    if (end > value && !writer.Steps(value, end - 1)) return {};
    if (!writer.RightOperand(assignment)) return {};
    if (assignment.code == kTokenAssign || assignment.op == kOpAssignBound) {
        writer.Emit(kRegisterReturn, 2);
        return writer.Take();
    }
    // The variable's value as the operator's left side, the result its new value.
    loadTarget();
    if (!writer.Binary(CompoundOperator(assignment.code), kFormRegisters, 1, 0, 0)) return {};
    writer.Emit(kRegisterReturn, 1);
    return writer.Take();
}

// The operator and integer of a program that assigns its target name the name's value and
// an integer joined by one operator (NumberProgram::nameStep), read off its instructions
// by following what each register holds.
void NoteNameStep(NumberProgram& program) {
    if (program.names.size() != 1 || !program.members.empty() || !program.elements.empty()) return;
    enum Held : uint8_t { kNothing, kTheName, kAnInteger, kTheResult };
    Held held[3] = {};
    int32_t integer = 0;
    uint32_t code = 0;
    for (const RegisterInstruction& instruction : program.code) {
        if (instruction.target > 2) return;
        if (instruction.opcode == kRegisterName && instruction.left == 0) {
            held[instruction.target] = kTheName;
        } else if (instruction.opcode == kRegisterInt) {
            held[instruction.target] = kAnInteger;
            integer = int32_t(instruction.right);
        } else if (instruction.opcode == kRegisterReturn) {
            if (held[instruction.target] != kTheResult) return;
            // Taking an integer away is adding its negation, on integers that wrap either way,
            // so that the steps most programs make are one case.
            if (code == kTokenMinus) {
                code = kTokenPlus;
                integer = int32_t(0u - uint32_t(integer));
            }
            program.nameStep = code;
            program.nameOperand = integer;
            return;
        } else if (instruction.opcode >= kRegisterBinary && code == 0 &&
                   held[instruction.target] == kTheName) {
            const uint32_t form = (instruction.opcode - kRegisterBinary) % kRegisterForms;
            if (form == kFormInt) {
                integer = int32_t(instruction.right);
            } else if (form != kFormRegisters || instruction.target != 1 || held[2] != kAnInteger) {
                return;
            }
            code = kOperatorTokens[(instruction.opcode - kRegisterBinary) / kRegisterForms];
            held[instruction.target] = kTheResult;
        } else {
            return;
        }
    }
}

} // namespace

NumberProgram CompileNumberProgram(const CompiledOp* at, const CompiledOp* end,
                                   const std::vector<double>& doubles,
                                   const std::vector<ElementRead>& elementReads,
                                   const std::vector<CompiledMethodSite>& methodSites,
                                   uint8_t* stream) {
    NumberProgram program = CompileRegisters(at, end, doubles, elementReads, methodSites, stream);
    if (at->site == kNumberTargetName && at->code != kNumberElementStore) NoteNameStep(program);
    program.readsElements = std::any_of(at + 1, end, [end](const CompiledOp& step) {
        return step.op == kOpElementRead || step.op == kOpSlotMembers ||
               IndexedElementIndex(&step, end) != nullptr;
    });
    return program;
}

// Nothing a program does changes a scope, so every name is looked up before the first
// instruction, once per state of the scopes; a name that finds nothing gives up as its
// read would. A name that no local holds is found in This or the globals, whose stamps
// change with every variable added or removed; the locals' shape names their keys. While
// all three are as they were, no local can have come to hold one of the names and This and
// the globals hold the same variables: the lookups would find what they found last.
bool CInterpretor::FindNames(const NumberProgram& program) {
    const uint64_t localsShape = locals_->GetShape();
    const uint64_t currentStamp = currentObject_->GetStamp();
    if (program.globalsStamp == GetStamp() && program.currentStamp == currentStamp &&
        program.localsShape == localsShape) {
        program.epoch = ScopeEpoch();
        return true;
    }
    // Locals that are This or the globals are stamped as those are.
    bool outsideLocals = true;
    const bool ownLocals = locals_ != currentObject_ && locals_ != this;
    program.globalsStamp = 0;
    for (size_t name = 0; name < program.names.size(); ++name) {
        currentToken = program.names[name];
        auto* token = reinterpret_cast<NameToken*>(currentToken);
        CVariable* variable = LookUp(token);
        if (variable == nullptr) return false;
        program.variables[name] = variable;
        if (ownLocals && locals_->FindVariable(token->nameId) == variable) outsideLocals = false;
    }
    program.epoch = ScopeEpoch();
    if (outsideLocals) {
        program.localsShape = localsShape;
        program.currentStamp = currentStamp;
        program.globalsStamp = GetStamp();
    }
    return true;
}

template <bool kIntegers>
bool CInterpretor::RunNumberProgram(const NumberProgram& program, const CompiledOp& op,
                                    CValue* slots, uint64_t bound, uint8_t& state) {
    using Value = std::conditional_t<kIntegers, int32_t, Number>;
    // On integers, what they cannot take goes on to the registers that keep kinds, in a call
    // that takes this one's place.
#define ZORV_GIVE_UP()                                                                             \
    do {                                                                                           \
        if constexpr (kIntegers)                                                                   \
            return RunOnKinds(program, op, slots, bound, state);                                   \
        else                                                                                       \
            return false;                                                                          \
    } while (false)
    if (program.findsVariables) [[unlikely]] {
        if (!program.names.empty() && program.epoch != ScopeEpoch() && !FindNames(program))
            ZORV_GIVE_UP();
        if (!program.members.empty() &&
            !ShapedMembers(program, slots, bound, currentObject_, this) &&
            !FindMembers(program, slots, bound))
            ZORV_GIVE_UP();
    }
    CValue* target;
    if (!NumberTargetOf(program, op, slots, bound, target)) ZORV_GIVE_UP();
    CVariable* const* variables = program.variables.data();
    const RegisterInstruction* instruction = program.code.data();
    Registers<Value> registers;
    auto slot = [slots](int64_t index, Value& out) {
        return ReadValue(slots[uint32_t(index)], out);
    };
    static const void* const kInstructions[] = {
        &&LoadSlot,
        &&LoadBoundSlot,
        &&LoadInt,
        &&LoadDouble,
        &&LoadName,
        &&Move,
        &&LoadElement,
        &&Negate,
        &&Not,
        &&Complement,
        &&Return,
#define ZORV_BINARY_LABELS(name, token)                                                            \
    &&name##Registers, &&name##Slot, &&name##Int, &&name##Slots, &&name##SlotInt, &&name##Double,  \
        &&name##SlotDouble, &&name##Name,
        ZORV_NUMBER_OPERATORS(ZORV_BINARY_LABELS)
#undef ZORV_BINARY_LABELS
            && Method,
        &&Method,
        &&IndexedElement,
        &&ElementIndex,
        &&Call,
    };
    static_assert(std::size(kInstructions) == kRegisterCall + 1);
#define ZORV_NEXT_INSTRUCTION() goto* kInstructions[(++instruction)->opcode]
    goto* kInstructions[instruction->opcode];
LoadSlot : {
    Value value;
    if (!slot(instruction->right, value)) ZORV_GIVE_UP();
    registers.Set(instruction->target, value);
    ZORV_NEXT_INSTRUCTION();
}
LoadBoundSlot : {
    Value value;
    if (((bound >> instruction->right) & 1) == 0 || !slot(instruction->right, value))
        ZORV_GIVE_UP();
    registers.Set(instruction->target, value);
    ZORV_NEXT_INSTRUCTION();
}
LoadInt:
    registers.Set(instruction->target, IntegerValue<Value>(int32_t(instruction->right)));
    ZORV_NEXT_INSTRUCTION();
LoadDouble:
    if constexpr (kIntegers) {
        ZORV_GIVE_UP();
    } else {
        registers.Set(instruction->target, Number{instruction->right, kValueDouble});
        ZORV_NEXT_INSTRUCTION();
    }
LoadName : {
    Value value;
    if (!ReadValue(variables[instruction->left]->value, value)) ZORV_GIVE_UP();
    registers.Set(instruction->target, value);
    ZORV_NEXT_INSTRUCTION();
}
Move:
    registers.Set(instruction->target, registers.Get(instruction->target + 1));
    ZORV_NEXT_INSTRUCTION();
LoadElement : {
    Value value;
    if (!ReadElement(program.elements[instruction->left], slots, bound, variables, value))
        ZORV_GIVE_UP();
    registers.Set(instruction->target, value);
    ZORV_NEXT_INSTRUCTION();
}
IndexedElement : {
    Value value;
    if (!ReadIndexedElement(program.elements[instruction->left], slots, bound, variables,
                            registers.Get(instruction->target + 1), value))
        return false;
    registers.Set(instruction->target, value);
    ZORV_NEXT_INSTRUCTION();
}
ElementIndex:
    if constexpr (!kIntegers) {
        if (registers.Get(instruction->target + 1).kind != kValueInt) return false;
    }
    registers.Set(instruction->target, registers.Get(instruction->target + 1));
    ZORV_NEXT_INSTRUCTION();
Negate : {
    const Value here = registers.Get(instruction->target);
    if constexpr (kIntegers)
        registers.Set(instruction->target, int32_t(0u - uint32_t(here)));
    else
        registers.Set(instruction->target, here.kind == kValueInt
                                               ? Integer(int32_t(0u - uint32_t(here.Int())))
                                               : Double(-here.Dbl()));
    ZORV_NEXT_INSTRUCTION();
}
Not : {
    const Value here = registers.Get(instruction->target);
    if constexpr (kIntegers)
        registers.Set(instruction->target, here == 0);
    else
        registers.Set(instruction->target,
                      Integer(here.kind == kValueInt ? here.Int() == 0 : here.Dbl() == 0.0));
    ZORV_NEXT_INSTRUCTION();
}
Complement : {
    const Value here = registers.Get(instruction->target);
    if constexpr (kIntegers)
        registers.Set(instruction->target, ~here);
    else
        registers.Set(instruction->target, Integer(~AsInt(here)));
    ZORV_NEXT_INSTRUCTION();
}
// `left` (a Value) of the operator with `right` into the target register.
#define ZORV_APPLY(token, left, right)                                                             \
    do {                                                                                           \
        Value result = (left);                                                                     \
        if (!Apply<token>(result, (right))) ZORV_GIVE_UP();                                        \
        registers.Set(instruction->target, result);                                                \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    } while (false)
#define ZORV_BINARY_CODE(name, token)                                                              \
    name##Registers : ZORV_APPLY(token, registers.Get(instruction->target),                        \
                                 registers.Get(instruction->target + 1));                          \
    name##Slot : {                                                                                 \
        Value right;                                                                               \
        if (!slot(instruction->right, right)) ZORV_GIVE_UP();                                      \
        ZORV_APPLY(token, registers.Get(instruction->target), right);                              \
    }                                                                                              \
    name##Int : ZORV_APPLY(token, registers.Get(instruction->target),                              \
                           IntegerValue<Value>(int32_t(instruction->right)));                      \
    name##Slots : {                                                                                \
        Value left;                                                                                \
        Value right;                                                                               \
        if (!slot(instruction->left, left) || !slot(instruction->right, right)) ZORV_GIVE_UP();    \
        ZORV_APPLY(token, left, right);                                                            \
    }                                                                                              \
    name##SlotInt : {                                                                              \
        Value left;                                                                                \
        if (!slot(instruction->left, left)) ZORV_GIVE_UP();                                        \
        ZORV_APPLY(token, left, IntegerValue<Value>(int32_t(instruction->right)));                 \
    }                                                                                              \
    name##Double : if constexpr (kIntegers) {                                                      \
        ZORV_GIVE_UP();                                                                            \
    }                                                                                              \
    else {                                                                                         \
        ZORV_APPLY(token, registers.Get(instruction->target),                                      \
                   (Number{instruction->right, kValueDouble}));                                    \
    }                                                                                              \
    name##SlotDouble : if constexpr (kIntegers) {                                                  \
        ZORV_GIVE_UP();                                                                            \
    }                                                                                              \
    else {                                                                                         \
        Value left;                                                                                \
        if (!slot(instruction->left, left)) ZORV_GIVE_UP();                                        \
        ZORV_APPLY(token, left, (Number{instruction->right, kValueDouble}));                       \
    }                                                                                              \
    name##Name : {                                                                                 \
        Value right;                                                                               \
        if (!ReadValue(variables[instruction->right]->value, right)) ZORV_GIVE_UP();               \
        ZORV_APPLY(token, registers.Get(instruction->target), right);                              \
    }
    ZORV_NUMBER_OPERATORS(ZORV_BINARY_CODE)
#undef ZORV_BINARY_CODE
#undef ZORV_APPLY
Method : {
    auto number = [&registers](uint32_t at) {
        if constexpr (kIntegers)
            return Integer(registers.Get(at));
        else
            return registers.Get(at);
    };
    const uint32_t at = instruction->target;
    const bool two = instruction->opcode == kRegisterMethodOfTwo;
    Number result;
    if (!CallNumberMethod(*instruction, number(two ? at : at + 1), number(at + 1), result)) {
        // A site whose method is none the program can call leaves the statement to the full
        // steps from now on.
        if (CallsInFull(*instruction)) {
            state = CompiledFunction::kCallsInFull;
            return false;
        }
        ZORV_GIVE_UP();
    }
    if constexpr (kIntegers) {
        // A double, which the registers of integers cannot hold.
        if (result.kind != kValueInt) ZORV_GIVE_UP();
        registers.Set(at, result.Int());
    } else {
        registers.Set(at, result);
    }
    ZORV_NEXT_INSTRUCTION();
}
Call : {
    // As the number steps answer a call (RunCompiledNumbers), the site's variable found as
    // the full steps find it.
    CompiledCallSite& site = *reinterpret_cast<CompiledCallSite*>(uintptr_t(instruction->right));
    CVariable* variable = site.variable;
    if (site.currentStamp != currentObject_->GetStamp() || site.globalsStamp != GetStamp()) {
        currentToken = instruction->token;
        variable = LookUpCallSite(site, reinterpret_cast<NameToken*>(instruction->token));
    }
    if (variable == nullptr || variable->value.GetType() != kValueFunction) ZORV_GIVE_UP();
    const BlockRecord* function = variable->value.GetFunction();
    if (function->kind != kBlockFunction || callNesting_ >= kMaxCallNesting) ZORV_GIVE_UP();
    auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if ((stackBase_ != 0 && stackBase_ - here > kStackBudget) || site.function != function)
        ZORV_GIVE_UP();
    if (site.code == nullptr || !site.code->returnsOnly) {
        // Its function runs in full: so will the next runs' most likely.
        state = CompiledFunction::kCallsInFull;
        return false;
    }
    const uint32_t at = instruction->target;
    const uint32_t count = instruction->left;
    auto parameter = [&registers, at, count](uint32_t index, int32_t& value) {
        if (index >= count) return false;
        if constexpr (kIntegers) {
            value = registers.Get(at + 1 + index);
        } else {
            const Number argument = registers.Get(at + 1 + index);
            if (argument.kind != kValueInt) return false;
            value = argument.Int();
        }
        return true;
    };
    int32_t value;
    if (!QuickReturnOf(*site.code, parameter, value)) ZORV_GIVE_UP();
    registers.Set(at, IntegerValue<Value>(value));
    ZORV_NEXT_INSTRUCTION();
}
Return : {
    const Value result = registers.Get(instruction->target);
    if (target != nullptr) Store(*target, result);
    // The value above the statement's base, where the walk leaves it.
    StackSlot* place = slots_[depth_ + 1];
    Store(place->value, result);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    return true;
}
#undef ZORV_NEXT_INSTRUCTION
#undef ZORV_GIVE_UP
}

[[gnu::always_inline]] inline bool CInterpretor::RunKinded(const NumberProgram& program,
                                                           const CompiledOp& op, CValue* slots,
                                                           uint64_t bound) {
    if (!program.names.empty() && program.epoch != ScopeEpoch() && !FindNames(program))
        return false;
    if (!program.members.empty() && !ShapedMembers(program, slots, bound, currentObject_, this) &&
        !FindMembers(program, slots, bound))
        return false;
    CValue* target;
    if (!NumberTargetOf(program, op, slots, bound, target)) return false;
    if (program.kinded.empty() && !WriteKindedProgram(program, slots, bound)) return false;
    StackSlot* place = slots_[depth_ + 1];
    if (!RunKindedProgram(program, slots, bound, target, place->value)) return false;
    place->source = nullptr;
    place->anchorKind = kValueInt;
    return true;
}

// A function's new call makes a new state of the scopes, so the stamps are what tells first
// whether the name still finds its variable. The new integer goes where the program's Return
// would put it. Looking the name up again comes back here once found, its state then being the
// scopes' own, so that the way with nothing to find calls nothing and saves no registers.
bool CInterpretor::StepName(const NumberProgram& program) {
    if (program.nameStep == 0) return false;
    if ((program.globalsStamp != GetStamp() || program.currentStamp != currentObject_->GetStamp() ||
         program.localsShape != locals_->GetShape()) &&
        program.epoch != ScopeEpoch())
        return FindNameAndStep(program);
    CValue& value = program.variables[0]->value;
    if (value.StoredType() != kValueInt) return false;
    const uint32_t integer = uint32_t(value.IntPayload());
    int32_t result;
    if (program.nameStep == kTokenPlus)
        result = int32_t(integer + uint32_t(program.nameOperand));
    else if (!IntegerResult(program.nameStep, integer, uint32_t(program.nameOperand), result))
        return false;
    value.SetInt(result);
    StackSlot* place = slots_[depth_ + 1];
    place->value.SetInt(result);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    return true;
}

bool CInterpretor::FindNameAndStep(const NumberProgram& program) {
    return FindNames(program) && StepName(program);
}

namespace {

[[gnu::noinline]] bool ReplaceByInteger(CValue& value, int32_t integer) {
    value.SetInt(integer);
    return true;
}

} // namespace

// Letting go of what the place held is rare enough to take a call of its own, which keeps
// the common way free of saved registers.
bool CInterpretor::LeaveInteger(int32_t value) {
    StackSlot* place = slots_[depth_ + 1];
    place->source = nullptr;
    place->anchorKind = kValueInt;
    if (place->value.StoredType() > kValueDouble) return ReplaceByInteger(place->value, value);
    place->value.SetInt(value);
    return true;
}

bool IsPlainProgram(const NumberProgram& program, const CompiledOp& op) {
    if (program.code.empty() || !program.names.empty() || !program.members.empty() ||
        !program.elements.empty() || program.storesByIndex || program.nameStep != 0 ||
        op.code == kNumberElementStore || op.site >= kNumberTargetName)
        return false;
    for (const RegisterInstruction& instruction : program.code) {
        const uint32_t form = (instruction.opcode - kRegisterBinary) % kRegisterForms;
        if (instruction.opcode >= kRegisterMethod ||
            (instruction.opcode >= kRegisterBinary
                 ? form > kFormSlotInt
                 : instruction.opcode == kRegisterDouble || instruction.opcode == kRegisterName ||
                       instruction.opcode == kRegisterElement))
            return false;
    }
    return true;
}

// The instructions both integer runners below take alike: loads of slots and integers,
// moves, unary and binary operators on registers, slots and integers, each going on to the
// runner's Kinds when integers do not suffice.
// Their tables: `loadName` for a member's load, `binary` for each operator's forms.
#define ZORV_PLAIN_LABELS(loadName, binary)                                                        \
    &&LoadSlot, &&LoadBoundSlot, &&LoadInt, &&Kinds, &&loadName, &&Move, &&Kinds, &&Negate, &&Not, \
        &&Complement, &&Return, ZORV_NUMBER_OPERATORS(binary) && Kinds, &&Kinds, &&Kinds, &&Kinds, \
        &&Kinds
#define ZORV_FORM_LABELS(name, nameForm)                                                           \
    &&name##Registers, &&name##Slot, &&name##Int, &&name##Slots, &&name##SlotInt, &&Kinds,         \
        &&Kinds, &&nameForm,
#define ZORV_BINARY_LABELS(name, token) ZORV_FORM_LABELS(name, Kinds)
#define ZORV_MEMBER_BINARY_LABELS(name, token) ZORV_FORM_LABELS(name, name##Name)
#define ZORV_PLAIN_LOADS                                                                           \
    LoadSlot:                                                                                      \
    if (!slot(instruction->right, registers[instruction->target])) goto Kinds;                     \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    LoadBoundSlot:                                                                                 \
    if (((bound >> instruction->right) & 1) == 0 ||                                                \
        !slot(instruction->right, registers[instruction->target]))                                 \
        goto Kinds;                                                                                \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    LoadInt:                                                                                       \
    registers[instruction->target] = int32_t(instruction->right);                                  \
    ZORV_NEXT_INSTRUCTION();
#define ZORV_PLAIN_UNARY                                                                           \
    Move:                                                                                          \
    registers[instruction->target] = registers[instruction->target + 1];                           \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    Negate:                                                                                        \
    registers[instruction->target] = int32_t(0u - uint32_t(registers[instruction->target]));       \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    Not:                                                                                           \
    registers[instruction->target] = registers[instruction->target] == 0;                          \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    Complement:                                                                                    \
    registers[instruction->target] = ~registers[instruction->target];                              \
    ZORV_NEXT_INSTRUCTION();
#define ZORV_PLAIN_APPLY(token, left, right)                                                       \
    do {                                                                                           \
        int32_t result = (left);                                                                   \
        if (!Apply<token>(result, (right))) goto Kinds;                                            \
        registers[instruction->target] = result;                                                   \
        worked = result;                                                                           \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    } while (false)
#define ZORV_PLAIN_APPLY_CONSTANT(token, left)                                                     \
    do {                                                                                           \
        int32_t result = (left);                                                                   \
        if (!ApplyConstant<token>(result, *instruction)) goto Kinds;                               \
        registers[instruction->target] = result;                                                   \
        worked = result;                                                                           \
        ZORV_NEXT_INSTRUCTION();                                                                   \
    } while (false)
// Register `target` as an operand, from where the operator before worked it out when it did.
#define ZORV_TARGET_REGISTER (instruction->targetAtHand ? worked : registers[instruction->target])
#define ZORV_PLAIN_BINARY(name, token)                                                             \
    name##Registers                                                                                \
        : ZORV_PLAIN_APPLY(token, ZORV_TARGET_REGISTER, registers[instruction->target + 1]);       \
    name##Slot : {                                                                                 \
        int32_t right;                                                                             \
        if (!slot(instruction->right, right)) goto Kinds;                                          \
        ZORV_PLAIN_APPLY(token, ZORV_TARGET_REGISTER, right);                                      \
    }                                                                                              \
    name##Int : ZORV_PLAIN_APPLY_CONSTANT(token, ZORV_TARGET_REGISTER);                            \
    name##Slots : {                                                                                \
        int32_t left;                                                                              \
        int32_t right;                                                                             \
        if (!slot(instruction->left, left) || !slot(instruction->right, right)) goto Kinds;        \
        ZORV_PLAIN_APPLY(token, left, right);                                                      \
    }                                                                                              \
    name##SlotInt : {                                                                              \
        int32_t left;                                                                              \
        if (!slot(instruction->left, left)) goto Kinds;                                            \
        ZORV_PLAIN_APPLY_CONSTANT(token, left);                                                    \
    }

// Calls nothing on its way (a declaration's housekeeping check aside), so that what it keeps
// stays in the registers it was called with rather than in ones it would save and restore; where
// integers do not suffice (or the value above the base holds something to let go) it goes on to the
// registers that keep kinds, from the top, nothing having changed. The code of a row of
// declarations (kDeclarations) has each of its returns store its register into slot `left` and
// count its statement's end, making the housekeeping check that the end comes to, up to its quota
// of them; it stops at the first declaration that integers do not take (or whose slot holds
// something to let go), and gives the step of the last one's end, `op` itself for none, leaving its
// name and value as its own step would (the step before that end's, whose check found work to do).
template <bool kDeclarations>
auto CInterpretor::RunPlainProgram(
    const NumberProgram& program, const CompiledOp& op, CValue* slots, uint64_t bound,
    std::conditional_t<kDeclarations, DeclarationRun, uint8_t>& state) {
    const RegisterInstruction* instruction = program.code.data();
    int32_t registers[CompiledFunction::kMaxQuickDepth + 1];
    // The last operator's result, kept where it was worked out: the instruction just after it
    // takes it from there (targetAtHand), since reading it back from `registers` right after
    // the store stalls.
    int32_t worked = 0;
    [[maybe_unused]] const RegisterInstruction* done = nullptr;
    auto slot = [slots](int64_t index, int32_t& out) {
        return ReadValue(slots[uint32_t(index)], out);
    };
    static const void* const kInstructions[] = {ZORV_PLAIN_LABELS(Kinds, ZORV_BINARY_LABELS)};
    static_assert(std::size(kInstructions) == kRegisterCall + 1);
#define ZORV_NEXT_INSTRUCTION() goto* kInstructions[(++instruction)->opcode]
    goto* kInstructions[instruction->opcode];
    ZORV_PLAIN_LOADS
    ZORV_PLAIN_UNARY
    ZORV_NUMBER_OPERATORS(ZORV_PLAIN_BINARY)
Return : {
    const int32_t result = ZORV_TARGET_REGISTER;
    if constexpr (kDeclarations) {
        CValue& target = slots[instruction->left];
        if (target.StoredType() > kValueDouble) goto Kinds;
        target.SetInt(result);
        done = instruction;
        if (--statementCounter_ < 0) [[unlikely]] {
            // This end is the housekeeping check; one that finds work to do is left to the
            // end's own step.
            statementCounter_ = 0;
            if (!EndStatementQuietly(state.poolMark)) {
                declaredName_ = instruction->token;
                LeaveInteger(result);
                return &op + instruction->right - 1;
            }
        }
        if (--state.quota != 0) ZORV_NEXT_INSTRUCTION();
        declaredName_ = instruction->token;
        LeaveInteger(result);
        return &op + instruction->right;
    } else {
        if (op.code != kNumberValue) {
            CValue& target = slots[op.count];
            if ((op.site != 0 && ((bound >> op.count) & 1) == 0) ||
                target.StoredType() > kValueDouble)
                goto Kinds;
            target.SetInt(result);
        }
        return LeaveInteger(result);
    }
}
#undef ZORV_NEXT_INSTRUCTION
Kinds:
    if constexpr (kDeclarations) {
        if (done == nullptr) return &op;
        declaredName_ = done->token;
        LeaveInteger(slots[done->left].IntPayload());
        return &op + done->right;
    } else {
        return RunOnKinds(program, op, slots, bound, state);
    }
}

const CompiledOp* CInterpretor::RunDeclarations(const CompiledFunction& code, const CompiledOp* op,
                                                CValue* slots, uint64_t bound, uint32_t poolMark) {
    const NumberProgram& run = code.declarationRuns[op->depth];
    DeclarationRun state{uint8_t(op->count), poolMark};
    return RunPlainProgram<true>(run, *op, slots, bound, state);
}

void MarkTargetsAtHand(NumberProgram& program) {
    // The operator forms whose result the plain runners keep, and those that read `target`.
    auto form = [](const RegisterInstruction& instruction) {
        return instruction.opcode >= kRegisterBinary && instruction.opcode < kRegisterMethod
                   ? (instruction.opcode - kRegisterBinary) % kRegisterForms
                   : uint32_t(kRegisterForms);
    };
    std::vector<RegisterInstruction>& code = program.code;
    for (size_t i = 1; i < code.size(); ++i) {
        const RegisterInstruction& before = code[i - 1];
        const uint32_t reads = form(code[i]);
        code[i].targetAtHand = (form(before) <= kFormSlotInt || form(before) == kFormName) &&
                               before.target == code[i].target &&
                               (code[i].opcode == kRegisterReturn || reads == kFormRegisters ||
                                reads == kFormSlot || reads == kFormInt || reads == kFormName);
    }
}

bool IsPlainMemberProgram(const NumberProgram& program, const CompiledOp& op) {
    if (program.code.empty() || !program.names.empty() || program.members.empty() ||
        !program.elements.empty() || program.storesByIndex || op.code == kNumberElementStore ||
        op.site == kNumberTargetName)
        return false;
    // Only members of one holder can have a shape that vouches for them all.
    for (const MemberOperand& member : program.members)
        if (member.slot != program.members.front().slot) return false;
    for (const RegisterInstruction& instruction : program.code) {
        const uint32_t form = (instruction.opcode - kRegisterBinary) % kRegisterForms;
        if (instruction.opcode >= kRegisterMethod ||
            (instruction.opcode >= kRegisterBinary
                 ? form > kFormSlotInt && form != kFormName
                 : instruction.opcode == kRegisterDouble || instruction.opcode == kRegisterElement))
            return false;
    }
    return true;
}

#define ZORV_MEMBER_BINARY(name, token)                                                            \
    ZORV_PLAIN_BINARY(name, token)                                                                 \
    name##Name : {                                                                                 \
        int32_t right;                                                                             \
        if (!ReadValue(member(uint32_t(instruction->right)), right)) goto Kinds;                   \
        ZORV_PLAIN_APPLY(token, ZORV_TARGET_REGISTER, right);                                      \
    }
// The registers and instructions of a program on slots and the members of `holder`, given
// its `instruction`, the `member` of a place among its members, and a Kinds label for what
// integers do not suffice for; its Return is the runner's own. It keeps the last operator's
// result at hand as the plain runner does.
#define ZORV_MEMBER_CODE                                                                           \
    int32_t registers[CompiledFunction::kMaxQuickDepth + 1];                                       \
    int32_t worked = 0;                                                                            \
    auto slot = [slots](int64_t index, int32_t& out) {                                             \
        return ReadValue(slots[uint32_t(index)], out);                                             \
    };                                                                                             \
    static const void* const kInstructions[] = {                                                   \
        ZORV_PLAIN_LABELS(LoadName, ZORV_MEMBER_BINARY_LABELS)};                                   \
    static_assert(std::size(kInstructions) == kRegisterCall + 1);                                  \
    goto* kInstructions[instruction->opcode];                                                      \
    ZORV_PLAIN_LOADS                                                                               \
    LoadName:                                                                                      \
    if (!ReadValue(member(instruction->left), registers[instruction->target])) goto Kinds;         \
    ZORV_NEXT_INSTRUCTION();                                                                       \
    ZORV_PLAIN_UNARY                                                                               \
    ZORV_NUMBER_OPERATORS(ZORV_MEMBER_BINARY)

// RunPlainProgram with the members of one holder whose shape vouches for them: it too calls
// nothing on its way. Each member is read at its place in the holder, its kind checked by
// the read (a member holding no number then ends the program as it would have before its
// first instruction). Members found otherwise, and whatever integers do not suffice for, go
// on to RunNumberProgram from the top, nothing having changed.
bool CInterpretor::RunPlainMembers(const NumberProgram& program, const CompiledOp& op,
                                   CValue* slots, uint64_t bound, uint8_t& state) {
    const CIBaseObjectVar* holder = ShapedHolder(program, slots, bound, currentObject_, this);
    if (holder == nullptr) return RunNumberProgram<true>(program, op, slots, bound, state);
    const MemberOperand* members = program.members.data();
    auto member = [holder, members](uint32_t at) -> CValue& {
        return holder->FrontVariable(members[at].position - 1)->value;
    };
    const RegisterInstruction* instruction = program.code.data();
#define ZORV_NEXT_INSTRUCTION() goto* kInstructions[(++instruction)->opcode]
    ZORV_MEMBER_CODE
#undef ZORV_NEXT_INSTRUCTION
Return : {
    const int32_t result = ZORV_TARGET_REGISTER;
    if (op.code != kNumberValue) {
        // A member the statement assigns is its program's first.
        CValue* target = &member(0);
        if (op.site != kNumberTargetMember) {
            target = &slots[op.count];
            if (op.site != 0 && ((bound >> op.count) & 1) == 0) goto Kinds;
        }
        if (target->StoredType() > kValueDouble) goto Kinds;
        target->SetInt(result);
    }
    // The value above the statement's base, as LeaveInteger leaves it, which takes the
    // rare one holding something to let go.
    StackSlot* place = slots_[depth_ + 1];
    if (place->value.StoredType() > kValueDouble) return LeaveInteger(result);
    place->source = nullptr;
    place->anchorKind = kValueInt;
    place->value.SetInt(result);
    return true;
}
Kinds:
    return RunOnKinds(program, op, slots, bound, state);
}

// Between the statements of a row nothing can change the members of holders or what their
// slots hold (their programs call nothing and assign only members and slots that hold
// numbers), nor post an event: a holder found for one statement stays the next one's when
// it is in the same slot, and each program's shape is checked against it. A condition takes
// its branch, and the statement ends and jumps after it or after an assignment are taken as
// their steps take them when they have nothing to do but count; the row goes on while the
// step it comes to is a statement of a row. The first that a shape does not vouch for, or
// that integers do not suffice for, is left to its own steps with nothing changed, as is
// any step after a statement end with work to do.
const CompiledOp* CInterpretor::RunMemberRow(const CompiledFunction& code, const CompiledOp* op,
                                             CValue* slots, uint64_t bound) {
    if (code.metDoubles[op->depth] != CompiledFunction::kPlainMembers) return nullptr;
    const NumberProgram* program = &code.numberPrograms[op->depth];
    const CIBaseObjectVar* holder = ShapedHolder(*program, slots, bound, currentObject_, this);
    // The value above the statement's base, which each statement done leaves there: one
    // holding something to let go of is let go by the statement's own steps.
    StackSlot* const place = slots_[depth_ + 1];
    if (holder == nullptr || place->value.StoredType() > kValueDouble) return nullptr;
    const std::atomic<uint32_t>& stopRequest = StopRequestFlag();
    const CompiledOp* const ops = code.ops.data();
    const CompiledOp* done = nullptr;
    int32_t value = 0;
    const MemberOperand* members = program->members.data();
    auto member = [&holder, &members](uint32_t at) -> CValue& {
        return holder->FrontVariable(members[at].position - 1)->value;
    };
    const RegisterInstruction* instruction = program->code.data();
#define ZORV_NEXT_INSTRUCTION() goto* kInstructions[(++instruction)->opcode]
    ZORV_MEMBER_CODE
#undef ZORV_NEXT_INSTRUCTION
Return : {
    const int32_t result = ZORV_TARGET_REGISTER;
    const CompiledOp* next = ops + op->index;
    if (op->code != kNumberValue) {
        // A member the statement assigns is its program's first.
        CValue* target = &member(0);
        if (op->site != kNumberTargetMember) {
            target = &slots[op->count];
            if (op->site != 0 && ((bound >> op->count) & 1) == 0) goto Kinds;
        }
        if (target->StoredType() > kValueDouble) goto Kinds;
        target->SetInt(result);
    } else {
        next = result != 0 ? ops + next->index : next + 1;
    }
    value = result;
    if (next->op == kOpEndStatement || next->op == kOpEndAndJump) {
        if (statementCounter_ <= 0 || stopRequest.load(std::memory_order_relaxed) != 0) {
            done = next - 1;
            goto Kinds;
        }
        --statementCounter_;
        next = next->op == kOpEndAndJump ? ops + next->index : next + 1;
    }
    if (next->op == kOpJump) next = ops + next->index;
    done = next - 1;
    if (next->op != kOpMemberRow || code.metDoubles[next->depth] != CompiledFunction::kPlainMembers)
        goto Kinds;
    op = next;
    program = &code.numberPrograms[op->depth];
    const MemberOperand& first = program->members.front();
    if (first.slot == members->slot && first.boundSlot == members->boundSlot) {
        if (first.holderShape == 0 || holder->GetShape() != first.holderShape) goto Kinds;
    } else {
        holder = ShapedHolder(*program, slots, bound, currentObject_, this);
        if (holder == nullptr) goto Kinds;
    }
    members = program->members.data();
    instruction = program->code.data();
    goto* kInstructions[instruction->opcode];
}
Kinds:
    if (done != nullptr) {
        place->source = nullptr;
        place->anchorKind = kValueInt;
        place->value.SetInt(value);
    }
    return done;
}
#undef ZORV_MEMBER_CODE
#undef ZORV_MEMBER_BINARY

#undef ZORV_PLAIN_BINARY
#undef ZORV_PLAIN_APPLY_CONSTANT
#undef ZORV_PLAIN_APPLY
#undef ZORV_PLAIN_UNARY
#undef ZORV_PLAIN_LOADS
#undef ZORV_MEMBER_BINARY_LABELS
#undef ZORV_BINARY_LABELS
#undef ZORV_FORM_LABELS
#undef ZORV_PLAIN_LABELS

bool CInterpretor::RunNumberCode(const CompiledFunction& code, const CompiledOp* op,
                                 const CompiledOp* end, CValue* slots, uint64_t bound) {
    // Most expressions meet integers alone, which need no kinds: their program, or their
    // steps when they have none, run on integers in a call that takes this one's place, and
    // go on with kinds themselves when they meet a double (RunOnKinds, ReplayOnKinds). One
    // that met a double runs with kinds from then on.
    uint8_t& state = code.metDoubles[op->depth];
    if (state == CompiledFunction::kPlainIntegers)
        return RunPlainProgram<false>(code.numberPrograms[op->depth], *op, slots, bound, state);
    if (state == 0)
        return RunNumberProgram<true>(code.numberPrograms[op->depth], *op, slots, bound, state);
    if (state == CompiledFunction::kStepsOnIntegers)
        return RunCompiledNumbers<true>(code, op, end, slots, bound);
    if (state == CompiledFunction::kPlainMembers)
        return RunPlainMembers(code.numberPrograms[op->depth], *op, slots, bound, state);
    return RunNumberCodeOtherwise(code, op, end, slots, bound);
}

bool CInterpretor::RunNumberCodeOtherwise(const CompiledFunction& code, const CompiledOp* op,
                                          const CompiledOp* end, CValue* slots, uint64_t bound) {
    // Nothing is changed before an attempt succeeds.
    uint8_t& state = code.metDoubles[op->depth];
    const NumberProgram& program = code.numberPrograms[op->depth];
    if (state == CompiledFunction::kCallsInFull) return false;
    if (program.code.empty()) return RunCompiledNumbers<false>(code, op, end, slots, bound);
    return RunKinded(program, *op, slots, bound) || RunOnKinds(program, *op, slots, bound, state);
}

bool CInterpretor::RunOnKinds(const NumberProgram& program, const CompiledOp& op, CValue* slots,
                              uint64_t bound, uint8_t& state) {
    if (state == CompiledFunction::kCallsInFull) return false;
    if (!RunNumberProgram<false>(program, op, slots, bound, state)) return false;
    // The kinds the program was written for no longer hold (or it is not written yet).
    program.kinded.clear();
    state = 1;
    return true;
}

template bool CInterpretor::RunNumberProgram<true>(const NumberProgram& program,
                                                   const CompiledOp& op, CValue* slots,
                                                   uint64_t bound, uint8_t& state);
template bool CInterpretor::RunNumberProgram<false>(const NumberProgram& program,
                                                    const CompiledOp& op, CValue* slots,
                                                    uint64_t bound, uint8_t& state);
