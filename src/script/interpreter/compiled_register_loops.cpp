// Loop programs: the round of a loop whose statements are all number statements is written
// as one kinded register program, with its statement ends, conditions and jumps as
// instructions of their own, so that the rounds follow one another without going back to
// the steps. It is written when first entered, for the kinds its slots hold then, each
// statement's kinds following from those the statements before it store; a load that
// finds another kind, an operator that fails (an integer division by zero) or a slot that
// holds no number leaves the program at the start of that statement, which nothing has
// changed yet, and the full steps take it from there as they would have. Blocks begun and
// ended in the round (an inner loop's, a braced If's) are taken by the interpreter from the
// program, so that nested loops run in one program.
#include <algorithm>
#include <bit>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_elements.h"
#include "script/interpreter/compiled_methods.h"
#include "script/interpreter/compiled_numbers.h"
#include "script/interpreter/compiled_register_kinds.h"
#include "script/interpreter/compiled_register_loops.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/language/token_record.h"

namespace {

constexpr uint32_t kOperatorTokens[] = {
#define ZORV_OPERATOR_TOKEN(name, token) token,
    ZORV_NUMBER_OPERATORS(ZORV_OPERATOR_TOKEN)
#undef ZORV_OPERATOR_TOKEN
};

// The register opcode of binary operator `code` in form `form`; false when the registers
// have no such operator.
bool BinaryOpcode(uint32_t code, uint32_t form, uint16_t& opcode) {
    for (uint32_t i = 0; i < std::size(kOperatorTokens); ++i) {
        if (kOperatorTokens[i] == code) {
            opcode = uint16_t(kRegisterBinary + i * kRegisterForms + form);
            return true;
        }
    }
    return false;
}

// Where the Case tests of a Switch whose selector is the slot read at `at` end: the step
// after the last of them, when each Case's value is an integer literal; else 0.
uint32_t SwitchEnd(const CompiledFunction& code, uint32_t at) {
    const std::vector<CompiledOp>& ops = code.ops;
    if (at + 3 >= ops.size() || ops[at + 1].op != kOpSwitchSelector) return 0;
    uint32_t next = at + 2;
    while (next + 1 < ops.size() && ops[next].op == kOpInt && ops[next + 1].op == kOpCaseTest)
        next += 2;
    return next > at + 2 ? next : 0;
}

// The end of the statement from step `at` when the round leaves it to the steps: a
// statement of operands, operators and elements (no call, no block, no branch), which the
// program leaves at its start, the steps then taking the rest of the round; else 0.
uint32_t StepsStatementEnd(const CompiledFunction& code, uint32_t at) {
    for (uint32_t step = at; step < code.ops.size(); ++step) {
        switch (code.ops[step].op) {
        case kOpName:
        case kOpInt:
        case kOpDouble:
        case kOpEmpty:
        case kOpSlot:
        case kOpBoundSlot:
        case kOpClear:
        case kOpBinary:
        case kOpBinarySlot:
        case kOpBinaryBoundSlot:
        case kOpBinaryInt:
        case kOpBinaryName:
        case kOpSlotSlot:
        case kOpSlotInt:
        case kOpBinaryDouble:
        case kOpSlotDouble:
        case kOpSwap:
        case kOpNegate:
        case kOpNot:
        case kOpComplement:
        case kOpNumberCode:
        case kOpElementSlot:
        case kOpElementBoundSlot:
        case kOpElementName:
        case kOpElementIndex:
        case kOpElement:
        case kOpElementAssign:
        case kOpNewArray:
        case kOpNewArrayEnd:
        case kOpElementRead:
            break;
        case kOpEndStatement:
            return step > at ? step : 0;
        default:
            return 0;
        }
    }
    return 0;
}

// The step after the assignment "name = literal" from step `at` whose name is a slot of
// kOpBindName, which its first run binds (a statement, or a For loop's start); else 0.
uint32_t BindStatementEnd(const CompiledFunction& code, uint32_t at) {
    const std::vector<CompiledOp>& ops = code.ops;
    if (at + 3 >= ops.size() || ops[at].op != kOpBindName ||
        (ops[at + 1].op != kOpInt && ops[at + 1].op != kOpDouble) ||
        ops[at + 2].op != kOpAssignBound || ops[at + 2].index != ops[at].index)
        return 0;
    return at + 3;
}

// The step after the statement, condition or control step at `at`, which the round goes
// through; 0 when the round has a step of another kind there.
uint32_t NextInRound(const CompiledFunction& code, uint32_t at) {
    const CompiledOp& op = code.ops[at];
    switch (op.op) {
    case kOpNumberCode:
    case kOpMemberNumbers: {
        const NumberProgram& program = code.numberPrograms[op.depth];
        if (program.code.empty()) return 0;
        if (op.code == kNumberValue)
            return code.ops[op.index].op == kOpBranchTrue ? op.index + 1 : 0;
        if (op.code == kNumberElementStore) return op.index;
        // A name's variable is found per state of the scopes, which a round's statement
        // ends can change; only slots and members (whose objects the slots keep) are kept
        // across them.
        return op.code == kNumberAssign && op.site != kNumberTargetName ? op.index : 0;
    }
    case kOpSlotStatement:
    case kOpElementStore:
        return op.index;
    case kOpSlotBranch:
        return code.ops[op.index].op == kOpBranchTrue ? op.index + 1 : 0;
    case kOpSlot:
    case kOpBoundSlot:
        if (const uint32_t end = SwitchEnd(code, at)) return end;
        return StepsStatementEnd(code, at);
    case kOpBindName:
        return BindStatementEnd(code, at);
    case kOpEndStatement:
    case kOpEndAndJump:
    case kOpLoopRound:
    case kOpJump:
    case kOpPushBlock:
    case kOpPopBlock:
    case kOpCountingRound:
        return at + 1;
    default:
        return StepsStatementEnd(code, at);
    }
}

// Whether the step at `at` begins a Switch that a loop program takes.
bool IsSwitch(const CompiledFunction& code, uint32_t at) {
    return (code.ops[at].op == kOpSlot || code.ops[at].op == kOpBoundSlot) &&
           SwitchEnd(code, at) != 0;
}

bool Jumps(const CompiledOp& op) {
    return op.op == kOpEndAndJump || op.op == kOpLoopRound || op.op == kOpJump;
}

// The step of kOpBindName that binds the slot the statement at `at` assigns, when that
// slot is one of kOpBindName; else 0.
uint32_t BindingStep(const CompiledFunction& code, uint32_t at) {
    const CompiledOp& op = code.ops[at];
    uint32_t target;
    if (op.op == kOpBindName) return at;
    if (op.op == kOpNumberCode && op.code == kNumberAssign && op.site == 1)
        target = op.count;
    else if (op.op == kOpSlotStatement && (op.depth & kSlotTargetBound) != 0)
        target = op.count;
    else
        return 0;
    // The statement's full steps follow it, up to its end.
    for (uint32_t step = at + 1; step < op.index; ++step)
        if (code.ops[step].op == kOpBindName && code.ops[step].index == target) return step;
    return 0;
}

// The slots bound on every way into each step of the round from `start` to `end`, entered
// with `entry` bound: its statements bind slots, its blocks' ends let go of those bound in
// them, and where ways meet only the slots bound on all of them count.
std::vector<uint64_t> BoundAtSteps(const CompiledFunction& code, uint32_t start, uint32_t end,
                                   uint64_t entry) {
    std::vector<uint64_t> in(end - start + 1, ~uint64_t(0));
    in[0] = entry;
    for (bool changed = true; changed;) {
        changed = false;
        auto reach = [&](uint32_t step, uint64_t state) {
            if (step < start || step > end) return;
            const uint64_t met = in[step - start] & state;
            changed |= met != in[step - start];
            in[step - start] = met;
        };
        for (uint32_t at = start; at <= end;) {
            const CompiledOp& op = code.ops[at];
            const uint32_t next = NextInRound(code, at);
            uint64_t out = in[at - start];
            if (const uint32_t binding = BindingStep(code, at))
                out |= uint64_t(1) << code.ops[binding].index;
            if (op.op == kOpPopBlock) out &= ~code.blockSlots[op.index];
            if (Jumps(op)) {
                reach(op.index, out);
            } else {
                reach(next, out);
                if (IsSwitch(code, at))
                    for (uint32_t test = at + 3; test < next; test += 2)
                        reach(code.ops[test].index, out);
                if ((op.op == kOpNumberCode || op.op == kOpSlotBranch) &&
                    code.ops[op.index].op == kOpBranchTrue)
                    reach(code.ops[op.index].index, out);
            }
            at = next;
        }
    }
    return in;
}

// Calls `visit` with the step each jump or branch of the step at `at` may go to, other than
// `next`, the step after it.
template <class Visit>
void VisitJumps(const CompiledFunction& code, uint32_t at, uint32_t next, Visit&& visit) {
    const CompiledOp& op = code.ops[at];
    if (Jumps(op)) visit(op.index);
    if (IsSwitch(code, at))
        for (uint32_t test = at + 3; test < next; test += 2)
            visit(code.ops[test].index);
    if (op.op == kOpNumberCode || op.op == kOpMemberNumbers || op.op == kOpSlotBranch) {
        const CompiledOp& branch = code.ops[op.index];
        if (branch.op == kOpBranchTrue) visit(branch.index);
    }
}

// Whether every step of the round from `start` to `end` is one a loop program takes, every
// jump within it lands on the start of one, and it has a statement to work out.
bool RoundOfNumbers(const CompiledFunction& code, uint32_t start, uint32_t end) {
    std::vector<bool> begins(end - start + 1);
    std::vector<uint32_t> targets;
    bool statements = false;
    for (uint32_t at = start; at <= end;) {
        const CompiledOp& op = code.ops[at];
        begins[at - start] = true;
        const uint32_t next = NextInRound(code, at);
        if (next == 0 || next > end + 1) return false;
        statements |= op.op == kOpNumberCode || op.op == kOpMemberNumbers ||
                      op.op == kOpSlotStatement || op.op == kOpElementStore ||
                      op.op == kOpBindName || IsSwitch(code, at);
        VisitJumps(code, at, next, [&](uint32_t target) { targets.push_back(target); });
        at = next;
    }
    for (uint32_t target : targets)
        if (target >= start && target <= end && !begins[target - start]) return false;
    return statements;
}

// The steps of the round from `start` to `end` that its ways from `from` reach, going past
// no step that `stop` accepts.
template <class Stop>
std::vector<bool> Reached(const CompiledFunction& code, uint32_t start, uint32_t end, uint32_t from,
                          Stop&& stop) {
    std::vector<bool> reached(end - start + 1);
    std::vector<uint32_t> work{from};
    while (!work.empty()) {
        const uint32_t at = work.back();
        work.pop_back();
        if (at < start || at > end || reached[at - start]) continue;
        reached[at - start] = true;
        if (stop(at)) continue;
        const uint32_t next = NextInRound(code, at);
        if (!Jumps(code.ops[at]) && next != 0) work.push_back(next);
        VisitJumps(code, at, next, [&](uint32_t target) { work.push_back(target); });
    }
    return reached;
}

// The steps of the round from `start` to `end` where the block begun by the kOpPushBlock at
// `push` is open, when a loop program need keep no record of it, and `id`, the index of its
// kOpPopBlock steps; else none. Such a block binds no slot and holds no other block, and
// no way into its steps passes by its beginning: nothing in it can then find its level or
// make a variable there, and only the steps, going on inside it, need its record.
std::vector<bool> UnrecordedBlock(const CompiledFunction& code, uint32_t start, uint32_t end,
                                  uint32_t push, uint32_t& id) {
    constexpr uint32_t kNone = ~0u;
    id = kNone;
    bool other = false;
    std::vector<bool> open = Reached(code, start, end, push + 1, [&](uint32_t at) {
        const CompiledOp& op = code.ops[at];
        if (op.op == kOpPushBlock) other = true;
        if (op.op != kOpPopBlock) return false;
        if (id != kNone && id != op.index) other = true;
        id = op.index;
        return true;
    });
    if (other || id == kNone || code.blockSlots[id] != 0) return {};
    const std::vector<bool> closed =
        Reached(code, start, end, start, [&](uint32_t at) { return at == push; });
    for (size_t step = 0; step < open.size(); ++step)
        if (open[step] && closed[step]) return {};
    return open;
}

// The register code of the kOpSlotStatement `op` (its pair two steps on), as the number
// code of its statement is written: its value in register 2 for "=", in register 1 for
// the others; for "++" and "--", the slot before the step in register 1, after it in 2.
NumberProgram SlotStatementCode(const CompiledFunction& code, const CompiledOp* op) {
    NumberProgram program;
    auto emit = [&program](uint16_t opcode, uint32_t target, uint32_t left, int64_t right) {
        program.code.push_back(RegisterInstruction{opcode, uint8_t(target), left, right, nullptr});
    };
    const uint32_t target = op->count;
    const uint32_t form = op->depth & kSlotFormMask;
    uint16_t opcode = 0;
    if (form == kSlotStepOnly) {
        emit(kRegisterSlot, 1, 0, target);
        emit(kRegisterSlot, 2, 0, target);
        BinaryOpcode(op->code == kTokenIncrement ? kTokenPlus : kTokenMinus, kFormInt, opcode);
        emit(opcode, 2, 0, 1);
        emit(kRegisterReturn, 2, 0, 0);
        return program;
    }
    switch (form) {
    case kSlotFromSlot:
        emit(kRegisterSlot, 2, 0, op->site);
        break;
    case kSlotFromInteger:
        emit(kRegisterInt, 2, 0, int32_t(op->site));
        break;
    case kSlotFromDouble:
        emit(kRegisterDouble, 2, 0, std::bit_cast<int64_t>(code.doubles[op->site]));
        break;
    default: {
        const CompiledOp& pair = op[2];
        int64_t right = pair.index;
        uint32_t pairForm = kFormSlots;
        if (pair.op == kOpSlotInt) {
            right = int32_t(pair.index);
            pairForm = kFormSlotInt;
        } else if (pair.op == kOpSlotDouble) {
            right = std::bit_cast<int64_t>(code.doubles[pair.index]);
            pairForm = kFormSlotDouble;
        }
        if (!BinaryOpcode(pair.code, pairForm, opcode)) return {};
        emit(opcode, 2, pair.count, right);
        break;
    }
    }
    if (op->code == kTokenAssign) {
        emit(kRegisterReturn, 2, 0, 0);
        return program;
    }
    if (form == kSlotFromSlot || form == kSlotFromInteger || form == kSlotFromDouble) {
        // The slot joined to its operand by one instruction, which reads the operand itself.
        const RegisterInstruction operand = program.code.back();
        program.code.pop_back();
        const uint32_t joinForm = form == kSlotFromSlot      ? kFormSlot
                                  : form == kSlotFromInteger ? kFormInt
                                                             : kFormDouble;
        if (!BinaryOpcode(CompoundOperator(op->code), joinForm, opcode)) return {};
        emit(kRegisterSlot, 1, 0, target);
        emit(opcode, 1, 0, operand.right);
        emit(kRegisterReturn, 1, 0, 0);
        return program;
    }
    emit(kRegisterSlot, 1, 0, target);
    if (!BinaryOpcode(CompoundOperator(op->code), kFormRegisters, opcode)) return {};
    emit(opcode, 1, 0, 0);
    emit(kRegisterReturn, 1, 0, 0);
    return program;
}

// The register code of the value that kOpElementStore `store` with operator `operation` joins
// to its element's cell (1 for "++" and "--"), in register 2 as a kNumberElementStore's; its
// elements the one assigned, then those it reads.
NumberProgram ElementStoreCode(const CompiledFunction& code, const ElementStore& store,
                               uint8_t operation) {
    NumberProgram program;
    program.elements.push_back(code.elementReads[store.target]);
    auto emit = [&program](uint16_t opcode, uint32_t target, uint32_t left, int64_t right) {
        program.code.push_back(RegisterInstruction{opcode, uint8_t(target), left, right, nullptr});
    };
    auto load = [&](uint8_t source, uint32_t value, uint32_t target) {
        switch (source) {
        case kStoreInteger:
            emit(kRegisterInt, target, 0, int32_t(value));
            break;
        case kStoreDouble:
            emit(kRegisterDouble, target, 0, std::bit_cast<int64_t>(code.doubles[value]));
            break;
        case kStoreSlot:
            emit(kRegisterSlot, target, 0, value);
            break;
        case kStoreBoundSlot:
            emit(kRegisterBoundSlot, target, 0, value);
            break;
        case kStoreElement:
            emit(kRegisterElement, target, uint32_t(program.elements.size()), 0);
            program.elements.push_back(code.elementReads[value]);
            break;
        default:
            emit(kRegisterInt, target, 0, 1);
            break;
        }
    };
    const bool step = operation == kTokenIncrement || operation == kTokenDecrement;
    load(step ? uint8_t(kStoreNothing) : store.source, store.value, 2);
    for (uint32_t k = 0; k < store.joins; ++k) {
        uint16_t opcode = 0;
        load(store.sources[k], store.values[k], 3);
        if (!BinaryOpcode(store.operators[k], kFormRegisters, opcode)) return {};
        emit(opcode, 2, 0, 0);
    }
    emit(kRegisterReturn, 2, 0, 0);
    return program;
}

// The register code of the literal a statement of BindStatementEnd assigns, in register 2.
NumberProgram BindValueCode(const CompiledOp* op) {
    NumberProgram program;
    const CompiledOp& value = op[1];
    program.code.push_back(
        value.op == kOpInt
            ? RegisterInstruction{kRegisterInt, 2, 0, int32_t(value.index), nullptr}
            : RegisterInstruction{
                  kRegisterDouble, 2, 0,
                  std::bit_cast<int64_t>(reinterpret_cast<const DoubleToken*>(value.token)->value),
                  nullptr});
    program.code.push_back(RegisterInstruction{kRegisterReturn, 2, 0, 0, nullptr});
    return program;
}

// The register code of the condition of kOpSlotBranch `op`.
NumberProgram SlotBranchCode(const CompiledOp* op) {
    const CompiledOp& pair = op[1];
    NumberProgram program;
    uint16_t opcode = 0;
    const bool slots = pair.op == kOpSlotSlot;
    if (!BinaryOpcode(pair.code, slots ? kFormSlots : kFormSlotInt, opcode)) return {};
    program.code.push_back(
        RegisterInstruction{opcode, 1, pair.count,
                            slots ? int64_t(pair.index) : int64_t(int32_t(pair.index)), nullptr});
    program.code.push_back(RegisterInstruction{kRegisterReturn, 1, 0, 0, nullptr});
    return program;
}

// Each comparison, && and || whose value only the branch after it reads takes the branch
// in its own dispatch (a While's, an If's or a Case's test); the branch stays in place,
// holding its target.
void FuseBranches(std::vector<RegisterInstruction>& code, const std::vector<uint32_t>& exits) {
    uint32_t logical = 0;
    while (kOperatorTokens[logical] != kTokenLogicalAnd)
        ++logical;
    const uint32_t andRegisters = kKindedBinary + logical * 2 * kKindedForms + kKindedRegisters;
    const uint32_t orRegisters = andRegisters + 2 * kKindedForms;
    const uint32_t comparisons = kKindedBinary + kFirstComparison * 2 * kKindedForms;
    for (size_t at = 0; at + 1 < code.size(); ++at) {
        RegisterInstruction& instruction = code[at];
        const RegisterInstruction& branch = code[at + 1];
        // A branch of the same statement is no step's first instruction: nothing jumps to it.
        if (branch.opcode != kLoopBranchInt || branch.target != instruction.target ||
            exits[at] != exits[at + 1])
            continue;
        if (instruction.opcode >= comparisons && instruction.opcode < kLoopStoreInt)
            instruction.opcode += kLoopCompareBranch - comparisons;
        else if (instruction.opcode == andRegisters)
            instruction.opcode = kLoopAndBranch;
        else if (instruction.opcode == orRegisters)
            instruction.opcode = kLoopOrBranch;
    }
}

// A statement that copies a slot into a slot (a value shifted along a row of them) loads,
// stores and ends in one dispatch; the store stays in place behind the load, with the end.
void FuseCopies(std::vector<RegisterInstruction>& code, const std::vector<uint32_t>& exits) {
    for (size_t at = 0; at + 2 < code.size(); ++at) {
        RegisterInstruction& load = code[at];
        const RegisterInstruction& store = code[at + 1];
        const uint32_t kind = load.opcode - kKindedSlotInt;
        // The store is of the same statement as the load, so that nothing jumps to it.
        if (kind > kValueDouble || store.opcode != kLoopStoreIntEnd + kind ||
            store.target != load.target || store.left != load.target || exits[at] != exits[at + 1])
            continue;
        load.opcode = uint16_t(kLoopCopyIntEnd + kind);
        load.left = uint32_t(load.right);
        load.right = store.right;
    }
}

// A statement `i++` or `i--` on an integer slot (the value before the step being the
// statement's) loads, steps, stores and ends in one dispatch (a For's step, which its test
// follows, has no end); the operator and the store stay in place behind it.
void FuseSteps(std::vector<RegisterInstruction>& code, const std::vector<uint32_t>& exits) {
    uint32_t add = 0;
    while (kOperatorTokens[add] != kTokenPlus)
        ++add;
    uint32_t subtract = 0;
    while (kOperatorTokens[subtract] != kTokenMinus)
        ++subtract;
    auto stepOf = [](uint32_t op) {
        return kKindedBinary + (op * 2 + kValueInt) * kKindedForms + kKindedSlotConstant;
    };
    for (size_t at = 0; at + 3 < code.size(); ++at) {
        RegisterInstruction& load = code[at];
        const RegisterInstruction& step = code[at + 1];
        const RegisterInstruction& store = code[at + 2];
        if (load.opcode != kKindedSlotInt ||
            (step.opcode != stepOf(add) && step.opcode != stepOf(subtract)) ||
            step.left != load.right ||
            (store.opcode != kLoopStoreIntEnd && store.opcode != kLoopStoreInt) ||
            store.target != step.target || store.left != load.target || store.right != load.right ||
            step.target == load.target || exits[at] != exits[at + 1] || exits[at] != exits[at + 2])
            continue;
        // Integers wrap: a - c is a + (0 - c).
        const uint32_t by = uint32_t(int32_t(step.right));
        load.opcode = store.opcode == kLoopStoreInt ? kLoopStepInt : kLoopStepIntEnd;
        load.left = uint32_t(load.right);
        load.right = int32_t(step.opcode == stepOf(add) ? by : 0u - by);
    }
}

// A statement assigning an integer constant to an element of one index found in one
// instruction loads and stores in one dispatch; the store stays in place behind it.
void FuseElementConstants(std::vector<RegisterInstruction>& code,
                          const std::vector<uint32_t>& exits) {
    for (size_t at = 0; at + 1 < code.size(); ++at) {
        RegisterInstruction& load = code[at];
        const RegisterInstruction& store = code[at + 1];
        // The store is of the same statement as the load, so that nothing jumps to it.
        if (load.opcode != kKindedInt || store.opcode != kLoopQuickAssignInt ||
            store.target != load.target || exits[at] != exits[at + 1])
            continue;
        load.opcode = kLoopQuickConstant;
        load.left = uint32_t(int32_t(load.right));
        load.right = store.right;
    }
}

class LoopWriter {
public:
    LoopWriter(const CompiledFunction& code, const LoopProgram& loop, const CValue* slots,
               uint64_t bound)
        : code_(code), loop_(loop), slots_(slots), bound_(bound),
          boundAt_(BoundAtSteps(code, loop.start, loop.end, bound)),
          steps_(loop.end - loop.start + 1, kNoInstruction) {
        for (uint32_t slot = 0; slot < code.slotCount && slot < 64; ++slot)
            kinds_[slot] = slots[slot].GetType();
    }

    // The round's code, each statement written by `program` (the register code of a
    // number statement, its names' variables found: null when they are not); `unbound`
    // tells whether no scope has a name, which a statement then binds a slot for.
    template <class Program, class Unbound> bool Write(Program&& program, Unbound&& unbound) {
        const std::vector<CompiledOp>& ops = code_.ops;
        for (uint32_t at = loop_.start; at <= loop_.end;) {
            const CompiledOp& op = ops[at];
            steps_[at - loop_.start] = uint32_t(loop_.code.size());
            bound_ = boundAt_[at - loop_.start];
            const uint32_t next = NextInRound(code_, at);
            switch (op.op) {
            case kOpNumberCode:
            case kOpMemberNumbers:
            case kOpSlotStatement:
            case kOpSlotBranch:
            case kOpElementStore:
            case kOpBindName:
                Statement(at, program(at), unbound);
                break;
            case kOpSlot:
            case kOpBoundSlot:
                if (IsSwitch(code_, at))
                    Switch(at, next);
                else
                    Emit(kLoopExit, 0, 0, at, at);
                break;
            case kOpEndStatement:
                Emit(kLoopEnd, 0, at + 1, at, at);
                break;
            case kOpEndAndJump:
            case kOpLoopRound:
                Emit(kLoopEnd, 0, op.index, at, at);
                // An inner loop's way into its first round goes on to the next step.
                if (op.index != at + 1) JumpTo(kLoopJump, 0, op.index, at);
                break;
            case kOpJump:
                JumpTo(kLoopJump, 0, op.index, at);
                break;
            case kOpPushBlock:
                if (Unrecorded(at)) break;
                Emit(kLoopPushBlock, 0, at + 1, at, at);
                break;
            case kOpPopBlock:
                if (std::find(unrecorded_.begin(), unrecorded_.end(), op.index) !=
                    unrecorded_.end())
                    break;
                // The slots bound in the block are let go of as it ends, holding 0.
                for (uint32_t slot = 0; slot < 64; ++slot)
                    if (((code_.blockSlots[op.index] >> slot) & 1) != 0) kinds_[slot] = kValueInt;
                Emit(kLoopPopBlock, 0, at + 1, at, at);
                break;
            case kOpCountingRound:
                break;
            default:
                // A statement the steps take.
                Emit(kLoopExit, 0, 0, at, at);
                break;
            }
            at = next;
        }
        // Jumps within the round to their instruction, the others out to their step.
        for (const auto& [instruction, step] : jumps_) {
            uint32_t to;
            if (step >= loop_.start && step <= loop_.end) {
                to = steps_[step - loop_.start];
                if (to == kNoInstruction) return false;
            } else {
                to = uint32_t(loop_.code.size());
                Emit(kLoopExit, 0, 0, step, step);
            }
            loop_.code[instruction].left = to;
        }
        return true;
    }

private:
    static constexpr uint32_t kNoInstruction = ~0u;

    // Whether the block that the step at `push` begins goes without a record in the program,
    // its steps then marked with it where it is open.
    bool Unrecorded(uint32_t push) {
        uint32_t id;
        const std::vector<bool> open = UnrecordedBlock(code_, loop_.start, loop_.end, push, id);
        if (open.empty()) return false;
        if (loop_.unrecorded.empty()) loop_.unrecorded.assign(open.size(), 0);
        for (size_t step = 0; step < open.size(); ++step)
            if (open[step]) loop_.unrecorded[step] = code_.ops[push].index + 1;
        unrecorded_.push_back(id);
        return true;
    }

    void Emit(uint32_t opcode, uint32_t target, uint32_t left, int64_t right, uint32_t exit) {
        loop_.code.push_back(
            RegisterInstruction{uint16_t(opcode), uint8_t(target), left, right, nullptr});
        loop_.exits.push_back(exit);
    }

    void JumpTo(uint32_t opcode, uint32_t target, uint32_t step, uint32_t exit) {
        jumps_.emplace_back(uint32_t(loop_.code.size()), step);
        Emit(opcode, target, 0, 0, exit);
    }

    // The code of `program` (its value in register `result`, of kind `kind`), its names and
    // elements joining the loop's; or the way out to the steps of the statement at `at`,
    // false, when it cannot be written for the kinds at hand.
    bool Append(uint32_t at, const NumberProgram* program, bool written, uint32_t& result,
                uint32_t& kind) {
        const size_t mark = loop_.code.size();
        if (!written || program == nullptr || program->code.empty() ||
            !AppendKindedStatement(*program, slots_, kinds_, bound_, uint32_t(loop_.names.size()),
                                   uint32_t(loop_.elements.size()), loop_.code, result, kind)) {
            loop_.code.resize(mark);
            Emit(kLoopExit, 0, 0, at, at);
            return false;
        }
        loop_.exits.resize(loop_.code.size(), at);
        const uint32_t nameBase = uint32_t(loop_.names.size());
        for (size_t name = 0; name < program->names.size(); ++name) {
            loop_.names.push_back(program->names[name]);
            loop_.variables.push_back(program->variables[name]);
        }
        // Members follow the names, as in the program's own variables.
        for (const MemberOperand& member : program->members) {
            loop_.members.push_back(LoopMember{&member, uint32_t(loop_.names.size())});
            loop_.names.push_back(nullptr);
            loop_.variables.push_back(program->variables[loop_.variables.size() - nameBase]);
        }
        for (ElementRead read : program->elements) {
            if (read.begin == kOpElementName) read.slot += nameBase;
            loop_.elements.push_back(read);
        }
        return true;
    }

    // A store into the cell of the element that is `program`'s first, by operator `operation`
    // of the statement at `at`: the program's value worked out, then written into the cell,
    // which must hold a number, as StoreNumberInElement and StoreElementCell write it; an
    // assignment also grows a one-dimensional array by the element past its end. A store
    // whose holder holds no array of the element's shape as the program is written leaves
    // for the steps, whose rounds are those that make or shape the array. The index is
    // not looked at: the slots hold what the previous round left there, and a cell not at
    // hand as the store runs leaves for that statement's steps alone.
    void ElementStatement(uint32_t at, const NumberProgram* program, uint8_t operation,
                          bool leavesValue) {
        const uint32_t element = uint32_t(loop_.elements.size());
        uint32_t result = 0;
        uint32_t kind = 0;
        const bool atHand = program != nullptr && !program->elements.empty() &&
                            ShapedArrayOf(program->elements[0], slots_, bound_,
                                          program->variables.data()) != nullptr;
        if (!Append(at, program, atHand, result, kind)) return;
        const uint32_t join =
            operation == kTokenAddAssign || operation == kTokenIncrement        ? kTokenPlus
            : operation == kTokenSubtractAssign || operation == kTokenDecrement ? kTokenMinus
                                                                                : kTokenMultiply;
        const bool assign = operation == kTokenAssign;
        if (program->storesByIndex) {
            Emit((assign ? kLoopIndexedAssignInt : kLoopIndexedJoinInt) + kind, result, element,
                 (assign ? 0 : join) | (leavesValue ? kLoopLeavesValue : 0), at);
            return;
        }
        int64_t packed = 0;
        if (assign && QuickElementOf(loop_.elements[element], bound_, 0, packed)) {
            Emit(kLoopQuickAssignInt + kind, result, element,
                 packed | (leavesValue ? kLoopLeavesValue : 0), at);
            return;
        }
        Emit((assign ? kLoopElementAssignInt : kLoopElementJoinInt) + kind, result, element,
             (assign ? 0 : join) | (leavesValue ? kLoopLeavesValue : 0), at);
    }

    // A Switch whose selector is the slot read at step `at`, its Case tests up to step
    // `next`: the selector compared with each Case's integer in turn, a match ending the
    // statement there and going on at the Case's statements; no match goes on at `next`.
    // Either way the selector is the statement's value, as the steps keep it above the
    // base. A selector of another kind than an integer leaves for the steps, whose
    // comparisons convert it.
    void Switch(uint32_t at, uint32_t next) {
        const CompiledOp& selector = code_.ops[at];
        const uint32_t slot = selector.index;
        if (slot >= 64 || kinds_[slot] != kValueInt ||
            (selector.op == kOpBoundSlot && ((bound_ >> slot) & 1) == 0)) {
            Emit(kLoopExit, 0, 0, at, at);
            return;
        }
        uint32_t equal = 0;
        while (kOperatorTokens[equal] != kTokenEqual)
            ++equal;
        const uint32_t compare =
            kKindedBinary + (equal * 2 + kValueInt) * kKindedForms + kKindedSlotConstant;
        Emit(kKindedSlotInt, 1, 0, slot, at);
        std::vector<uint32_t> branches;
        for (uint32_t value = at + 2; value < next; value += 2) {
            Emit(compare, 2, slot, int32_t(code_.ops[value].index), at);
            branches.push_back(uint32_t(loop_.code.size()));
            Emit(kLoopBranchInt, 2, 0, 0, at);
        }
        // The slot holds the selector still: storing it back leaves it as the value.
        Emit(kLoopStoreInt, 1, 1, slot, at);
        JumpTo(kLoopJump, 0, next, at);
        for (size_t k = 0; k < branches.size(); ++k) {
            const uint32_t test = at + 3 + uint32_t(k) * 2;
            loop_.code[branches[k]].left = uint32_t(loop_.code.size());
            Emit(kLoopStoreInt, 1, 1, slot, test);
            Emit(kLoopEnd, 0, code_.ops[test].index, test, test);
            JumpTo(kLoopJump, 0, code_.ops[test].index, test);
        }
    }

    // The statement or condition at step `at`, of register code `program`: worked out,
    // then stored or branched on; or the way out to its steps when it cannot be written
    // for the kinds at hand. A statement on a slot of kOpBindName that may not be bound
    // there binds it, as the steps do when no scope has its name.
    template <class Unbound>
    void Statement(uint32_t at, const NumberProgram* program, Unbound&& unbound) {
        const CompiledOp& op = code_.ops[at];
        if (op.op == kOpElementStore) {
            // Its step leaves the value above the base as it was.
            ElementStatement(at, program, op.code, false);
            return;
        }
        const bool numberCode = op.op == kOpNumberCode || op.op == kOpMemberNumbers;
        if (numberCode && op.code == kNumberElementStore) {
            ElementStatement(at, program, uint8_t(op.count), true);
            return;
        }
        const bool condition = op.op == kOpSlotBranch || (numberCode && op.code == kNumberValue);
        const bool member = numberCode && op.site == kNumberTargetMember;
        const uint32_t target = op.op == kOpBindName ? op.index : op.count;
        const uint32_t binding = condition ? 0 : BindingStep(code_, at);
        const bool binds = binding != 0 && ((bound_ >> target) & 1) == 0;
        const bool targetBound = numberCode                  ? op.site != 0 && !member
                                 : op.op == kOpSlotStatement ? (op.depth & kSlotTargetBound) != 0
                                                             : op.op == kOpBindName;
        uint32_t result = 0;
        uint32_t kind = 0;
        if (!Append(at, program,
                    condition || !targetBound || ((bound_ >> target) & 1) != 0 ||
                        (binds && unbound(code_.ops[binding].token)),
                    result, kind))
            return;
        if (condition) {
            JumpTo(kind == kValueInt ? kLoopBranchInt : kLoopBranchDouble, result,
                   code_.ops[op.index].index, at);
            return;
        }
        if (member) {
            // The statement's member is its program's first.
            const uint32_t variable =
                loop_.members[loop_.members.size() - program->members.size()].variable;
            Emit(kind == kValueInt ? kLoopMemberStoreInt : kLoopMemberStoreDouble, result, result,
                 variable, at);
            return;
        }
        // "++" and "--" leave the slot's value before the step as the statement's.
        const bool step = op.op == kOpSlotStatement && (op.depth & kSlotFormMask) == kSlotStepOnly;
        Emit(kind == kValueInt ? kLoopStoreInt : kLoopStoreDouble, result, step ? 1 : result,
             target, at);
        kinds_[target] = kind;
        if (binds) {
            Emit(kLoopBind, 0, 0, target, at);
            loop_.binds.push_back(code_.ops[binding].token);
            loop_.bindsSlots |= uint64_t(1) << target;
        }
    }

    const CompiledFunction& code_;
    const LoopProgram& loop_;
    const CValue* slots_;
    // The slots bound where the code being written stands, and on every way into each
    // step of the round.
    uint64_t bound_;
    std::vector<uint64_t> boundAt_;
    // The kind each slot holds where the code being written stands.
    uint32_t kinds_[64] = {};
    // For each step of the round, its first instruction.
    std::vector<uint32_t> steps_;
    // The kOpPopBlock indices of the blocks without a record.
    std::vector<uint32_t> unrecorded_;
    // Jumps and branches written, with the step they go to.
    std::vector<std::pair<uint32_t, uint32_t>> jumps_;
};

} // namespace

void AddLoopPrograms(CompiledFunction& code) {
    std::vector<CompiledOp>& ops = code.ops;
    for (uint32_t end = 0; end < ops.size(); ++end) {
        // A jump back to an earlier step closes a loop's round. The round of a counting
        // loop with an empty body is its kOpCountingRound's.
        if (ops[end].op != kOpEndAndJump || ops[end].index >= end ||
            ops[ops[end].index].op == kOpCountingRound || code.slotCount > 64 ||
            !RoundOfNumbers(code, ops[end].index, end))
            continue;
        LoopProgram loop;
        loop.start = ops[end].index;
        loop.end = end;
        ops[end].op = kOpLoopRound;
        ops[end].count = uint32_t(code.loopPrograms.size());
        // The first round comes from just before the round's first step: the end of the
        // loop's first test, which goes on into the body as the jump back does (its jump
        // left behind it).
        CompiledOp* entry = &ops[end];
        if (loop.start >= 2 && ops[loop.start - 1].op == kOpEndStatement &&
            ops[loop.start - 2].op == kOpPushBlock)
            entry = &ops[loop.start - 1];
        else if (loop.start >= 2 && ops[loop.start - 1].op == kOpJump &&
                 ops[loop.start - 1].index == loop.start &&
                 ops[loop.start - 2].op == kOpEndAndJump && ops[loop.start - 2].index == loop.start)
            entry = &ops[loop.start - 2];
        if (entry != &ops[end]) {
            entry->op = kOpLoopRound;
            entry->index = loop.start;
            entry->count = ops[end].count;
            entry->site = 1;
        }
        code.loopPrograms.push_back(std::move(loop));
    }
}

namespace {

size_t ExitCount(const LoopProgram& loop) {
    return size_t(
        std::count_if(loop.code.begin(), loop.code.end(),
                      [](const RegisterInstruction& at) { return at.opcode == kLoopExit; }));
}

} // namespace

bool CInterpretor::WriteLoopProgram(const CompiledFunction& code, const LoopProgram& loop,
                                    const CValue* slots, uint64_t bound) {
    // Written for the slots bound at the first rounds too, while that costs no statement
    // its instructions.
    const uint64_t entry = bound & loop.entryBound;
    if (entry == bound) return WriteLoopCode(code, loop, slots, bound);
    const bool written = WriteLoopCode(code, loop, slots, entry);
    const size_t exits = ExitCount(loop);
    if (!WriteLoopCode(code, loop, slots, bound)) return false;
    if (written && ExitCount(loop) >= exits) return WriteLoopCode(code, loop, slots, entry);
    loop.firstRounds = false;
    loop.entryBound = ~uint64_t(0);
    return true;
}

bool CInterpretor::WriteLoopCode(const CompiledFunction& code, const LoopProgram& loop,
                                 const CValue* slots, uint64_t bound) {
    loop.code.clear();
    loop.exits.clear();
    loop.names.clear();
    loop.variables.clear();
    loop.elements.clear();
    loop.members.clear();
    loop.binds.clear();
    loop.bindsSlots = 0;
    loop.unrecorded.clear();
    loop.bound = bound;
    LoopWriter writer(code, loop, slots, bound);
    NumberProgram own;
    const bool written = writer.Write(
        [&](uint32_t at) -> const NumberProgram* {
            const CompiledOp* op = &code.ops[at];
            if (op->op == kOpSlotStatement)
                own = SlotStatementCode(code, op);
            else if (op->op == kOpElementStore)
                own = ElementStoreCode(code, code.elementStores[op->count], op->code);
            else if (op->op == kOpSlotBranch)
                own = SlotBranchCode(op);
            else if (op->op == kOpBindName)
                own = BindValueCode(op);
            else {
                const NumberProgram& program = code.numberPrograms[op->depth];
                const bool found = FindNames(program) &&
                                   (program.members.empty() || FindMembers(program, slots, bound));
                return found ? &program : nullptr;
            }
            return &own;
        },
        [&](uint8_t* name) {
            currentToken = name;
            return LookUp(reinterpret_cast<NameToken*>(name)) == nullptr;
        });
    loop.epoch = ScopeEpoch();
    // A store that ends its statement takes the end in the same dispatch; the end stays in
    // place for the jumps to it and for the way out there.
    for (size_t at = 0; at + 1 < loop.code.size(); ++at)
        if (loop.code[at + 1].opcode == kLoopEnd &&
            (loop.code[at].opcode == kLoopStoreInt || loop.code[at].opcode == kLoopStoreDouble))
            loop.code[at].opcode += kLoopStoreIntEnd - kLoopStoreInt;
    // So does an end with the jump after it (a round's back to its start), the jump staying
    // in place for the end's slow way.
    for (size_t at = 0; at + 1 < loop.code.size(); ++at)
        if (loop.code[at].opcode == kLoopEnd && loop.code[at + 1].opcode == kLoopJump &&
            loop.exits[at] == loop.exits[at + 1])
            loop.code[at].opcode = kLoopEndJump;
    FuseCopies(loop.code, loop.exits);
    FuseSteps(loop.code, loop.exits);
    FuseElementConstants(loop.code, loop.exits);
    FuseBranches(loop.code, loop.exits);
    // A program that leaves at its first instruction does nothing but cost its entry, every
    // round (an array grown by the round's first statement): it counts as not written, so
    // that the round's steps take it alone once the writings are spent.
    loop.stale = !written || loop.code.front().opcode == kLoopExit;
    return !loop.stale;
}

void CInterpretor::LoopBlock(const CompiledOp& step, uint32_t base) {
    currentToken = step.token;
    depth_ = base + step.depth;
    if (step.op == kOpPushBlock)
        PushBlock(GetBlock(step.index));
    else
        PopBlock();
}

bool CInterpretor::LoopBindsFree(const LoopProgram& loop) {
    for (uint8_t* name : loop.binds) {
        currentToken = name;
        if (LookUp(reinterpret_cast<NameToken*>(name)) != nullptr) return false;
    }
    return true;
}

void CInterpretor::EndLoopStatement(const CompiledOp& end, uint32_t base, uint32_t poolMark) {
    // A Switch whose Case matched ends where the walk stands after the Case's value.
    currentToken = end.op == kOpCaseTest
                       ? end.token + reinterpret_cast<const TokenHeader*>(end.token)->size
                       : end.token;
    depth_ = base + end.depth;
    EndCompiledStatement(poolMark);
}
