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
#include <bit>

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_elements.h"
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

// The step after the statement, condition or control step at `at`, which the round goes
// through; 0 when the round has a step of another kind there.
uint32_t NextInRound(const CompiledFunction& code, uint32_t at) {
    const CompiledOp& op = code.ops[at];
    switch (op.op) {
    case kOpNumberCode: {
        const NumberProgram& program = code.numberPrograms[op.depth];
        if (program.code.empty()) return 0;
        if (op.code == kNumberValue)
            return code.ops[op.index].op == kOpBranchTrue ? op.index + 1 : 0;
        if (op.code == kNumberElementStore) return op.index;
        // A name's variable is found per state of the scopes, which a round's statement
        // ends can change; only slots are kept across them.
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
        statements |= op.op == kOpNumberCode || op.op == kOpSlotStatement ||
                      op.op == kOpElementStore || IsSwitch(code, at);
        if (Jumps(op)) targets.push_back(op.index);
        if (IsSwitch(code, at))
            for (uint32_t test = at + 3; test < next; test += 2)
                targets.push_back(code.ops[test].index);
        if (op.op == kOpNumberCode || op.op == kOpSlotBranch) {
            const CompiledOp& branch = code.ops[op.index];
            if (branch.op == kOpBranchTrue) targets.push_back(branch.index);
        }
        at = next;
    }
    for (uint32_t target : targets)
        if (target >= start && target <= end && !begins[target - start]) return false;
    return statements;
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

class LoopWriter {
public:
    LoopWriter(const CompiledFunction& code, const LoopProgram& loop, const CValue* slots,
               uint64_t bound)
        : code_(code), loop_(loop), slots_(slots), bound_(bound),
          steps_(loop.end - loop.start + 1, kNoInstruction) {
        for (uint32_t slot = 0; slot < code.slotCount && slot < 64; ++slot)
            kinds_[slot] = slots[slot].GetType();
    }

    // The round's code, each statement written by `program` (the register code of a
    // number statement, its names' variables found: null when they are not).
    template <class Program> bool Write(Program&& program) {
        const std::vector<CompiledOp>& ops = code_.ops;
        for (uint32_t at = loop_.start; at <= loop_.end;) {
            const CompiledOp& op = ops[at];
            steps_[at - loop_.start] = uint32_t(loop_.code.size());
            const uint32_t next = NextInRound(code_, at);
            switch (op.op) {
            case kOpNumberCode:
            case kOpSlotStatement:
            case kOpSlotBranch:
            case kOpElementStore:
                Statement(at, program(at));
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
                JumpTo(kLoopJump, 0, op.index, at);
                break;
            case kOpJump:
                JumpTo(kLoopJump, 0, op.index, at);
                break;
            case kOpPushBlock:
                Emit(kLoopPushBlock, 0, at + 1, at, at);
                break;
            case kOpPopBlock:
                // A block whose end lets go of slots the call bound changes what the
                // program was written for: the steps take it.
                if ((code_.blockSlots[op.index] & bound_) != 0)
                    Emit(kLoopExit, 0, 0, at, at);
                else
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
        for (size_t name = 0; name < program->names.size(); ++name) {
            loop_.names.push_back(program->names[name]);
            loop_.variables.push_back(program->variables[name]);
        }
        const uint32_t nameBase = uint32_t(loop_.names.size() - program->names.size());
        for (ElementRead read : program->elements) {
            if (read.begin == kOpElementName) read.slot += nameBase;
            loop_.elements.push_back(read);
        }
        return true;
    }

    // A store into the cell of the element that is `program`'s first, by operator `operation`
    // of the statement at `at`: the program's value worked out, then written into the cell,
    // which must hold a number, as StoreNumberInElement and StoreElementCell write it; an
    // assignment also grows a one-dimensional array by the element past its end. An
    // element not at hand as the program is written leaves for the steps, whose rounds are
    // those that make, shape or grow the array otherwise.
    void ElementStatement(uint32_t at, const NumberProgram* program, uint8_t operation,
                          bool leavesValue) {
        uint32_t flat = 0;
        int32_t end = 0;
        CScriptArray::Number cell;
        const uint32_t element = uint32_t(loop_.elements.size());
        uint32_t result = 0;
        uint32_t kind = 0;
        const bool atHand = program != nullptr && !program->elements.empty() &&
                            (NumberCell(program->elements[0], slots_, bound_,
                                        program->variables.data(), flat, cell) != nullptr ||
                             (operation == kTokenAssign &&
                              ArrayEndingAt(program->elements[0], slots_, bound_,
                                            program->variables.data(), end) != nullptr));
        if (!Append(at, program, atHand, result, kind)) return;
        const uint32_t join =
            operation == kTokenAddAssign || operation == kTokenIncrement        ? kTokenPlus
            : operation == kTokenSubtractAssign || operation == kTokenDecrement ? kTokenMinus
                                                                                : kTokenMultiply;
        const bool assign = operation == kTokenAssign;
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
    // for the kinds at hand.
    void Statement(uint32_t at, const NumberProgram* program) {
        const CompiledOp& op = code_.ops[at];
        if (op.op == kOpElementStore) {
            // Its step leaves the value above the base as it was.
            ElementStatement(at, program, op.code, false);
            return;
        }
        if (op.op == kOpNumberCode && op.code == kNumberElementStore) {
            ElementStatement(at, program, uint8_t(op.count), true);
            return;
        }
        const bool condition =
            op.op == kOpSlotBranch || (op.op == kOpNumberCode && op.code == kNumberValue);
        uint32_t target = op.count;
        const bool targetBound =
            op.op == kOpNumberCode ? op.site != 0 : (op.depth & kSlotTargetBound) != 0;
        uint32_t result = 0;
        uint32_t kind = 0;
        if (!Append(at, program, condition || !targetBound || ((bound_ >> target) & 1) != 0, result,
                    kind))
            return;
        if (condition) {
            JumpTo(kind == kValueInt ? kLoopBranchInt : kLoopBranchDouble, result,
                   code_.ops[op.index].index, at);
            return;
        }
        // "++" and "--" leave the slot's value before the step as the statement's.
        const bool step = op.op == kOpSlotStatement && (op.depth & kSlotFormMask) == kSlotStepOnly;
        Emit(kind == kValueInt ? kLoopStoreInt : kLoopStoreDouble, result, step ? 1 : result,
             target, at);
        kinds_[target] = kind;
    }

    const CompiledFunction& code_;
    const LoopProgram& loop_;
    const CValue* slots_;
    uint64_t bound_;
    // The kind each slot holds where the code being written stands.
    uint32_t kinds_[64] = {};
    // For each step of the round, its first instruction.
    std::vector<uint32_t> steps_;
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
        code.loopPrograms.push_back(std::move(loop));
    }
}

bool CInterpretor::WriteLoopProgram(const CompiledFunction& code, const LoopProgram& loop,
                                    const CValue* slots, uint64_t bound) {
    loop.code.clear();
    loop.exits.clear();
    loop.names.clear();
    loop.variables.clear();
    loop.elements.clear();
    loop.bound = bound;
    LoopWriter writer(code, loop, slots, bound);
    NumberProgram own;
    const bool written = writer.Write([&](uint32_t at) -> const NumberProgram* {
        const CompiledOp* op = &code.ops[at];
        if (op->op == kOpSlotStatement)
            own = SlotStatementCode(code, op);
        else if (op->op == kOpElementStore)
            own = ElementStoreCode(code, code.elementStores[op->count], op->code);
        else if (op->op == kOpSlotBranch)
            own = SlotBranchCode(op);
        else
            return FindNames(code.numberPrograms[op->depth]) ? &code.numberPrograms[op->depth]
                                                             : nullptr;
        return &own;
    });
    loop.epoch = ScopeEpoch();
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

void CInterpretor::EndLoopStatement(const CompiledOp& end, uint32_t base, uint32_t poolMark) {
    // A Switch whose Case matched ends where the walk stands after the Case's value.
    currentToken = end.op == kOpCaseTest
                       ? end.token + reinterpret_cast<const TokenHeader*>(end.token)->size
                       : end.token;
    depth_ = base + end.depth;
    EndCompiledStatement(poolMark);
}
