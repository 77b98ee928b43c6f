// Number statements whose target is not a slot of the call: a name found through the scopes
// (a global, This's member, a local of the walk's), or the cell of an element. The register
// program finds the target's variable with its other names, once per state of the scopes,
// and writes it straight; an element's cell is written after the program has worked the
// value out, which it can do first since nothing it reads has an effect.
#pragma once

#include "script/interpreter/compiled_code.h"
#include "script/interpreter/compiled_registers.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"
#include "script/values/value.h"

// Whether the number code `op` can run only as a register program: the steps replayed on
// numbers write slots alone.
inline bool NeedsRegisters(const CompiledOp& op) {
    return op.code == kNumberElementStore ||
           (op.code != kNumberValue && op.site >= kNumberTargetName);
}

// Where the value of a kNumberElementStore's statement, from step `from`, ends: at the
// steps that make a new array for a name no scope has, or else at its assignment.
inline const CompiledOp* ElementValueEnd(const CompiledOp* from, const CompiledOp* assignment) {
    for (const CompiledOp* step = from; step != assignment; ++step)
        if (step->op == kOpNewArray && step->depth == 1) return step;
    return assignment;
}

// The holder of the program's members (This being `current`, the globals' object
// `interpreter`) while it has the shape that vouches for them all: most statements on members
// meet objects of one class, whose members were added in one order. Null otherwise.
[[gnu::always_inline]] inline const CIBaseObjectVar*
ShapedHolder(const NumberProgram& program, const CValue* slots, uint64_t bound,
             const CIBaseObjectVar* current, const CIBaseClassImpl* interpreter) {
    const MemberOperand& first = program.members.front();
    const CIBaseObjectVar* holder = nullptr;
    if (first.slot == kMemberOfThis) {
        holder = current;
    } else if (!first.boundSlot || ((bound >> first.slot) & 1) != 0) {
        const CValue& value = slots[first.slot];
        // A script object, as IsScriptObject tells.
        if (value.StoredType() == kValueObject) {
            const CIBaseClassImpl* object = value.ObjectPayload();
            if (object != nullptr && (object->classRecord == nullptr || object == interpreter))
                holder = static_cast<const CIBaseObjectVar*>(object);
        }
    }
    if (holder == nullptr || first.holderShape == 0 || holder->GetShape() != first.holderShape)
        return nullptr;
    return holder;
}

// Whether the statement at `op` can run in a row of statements on members (RunMemberRow): its
// program plain on integers but for members, all of one holder, and its end a step the row
// takes itself: a condition's branch, or a statement end that may have nothing to do but count.
inline bool InMemberRow(const CompiledFunction& code, const CompiledOp& op) {
    if ((op.op != kOpMemberNumbers && op.op != kOpMemberRow) ||
        code.metDoubles[op.depth] != CompiledFunction::kPlainMembers)
        return false;
    const uint8_t end = code.ops[op.index].op;
    return op.code == kNumberValue ? end == kOpBranchTrue
                                   : end == kOpEndStatement || end == kOpEndAndJump;
}

// The variables of the program's members without a call while ShapedHolder vouches for them.
// False otherwise, and FindMembers finds them, or gives up, as it always does.
[[gnu::always_inline]] inline bool ShapedMembers(const NumberProgram& program, const CValue* slots,
                                                 uint64_t bound, const CIBaseObjectVar* current,
                                                 const CIBaseClassImpl* interpreter) {
    const CIBaseObjectVar* holder = ShapedHolder(program, slots, bound, current, interpreter);
    if (holder == nullptr) return false;
    CVariable** variables = program.variables.data() + program.names.size();
    for (const MemberOperand& member : program.members) {
        CVariable* variable = holder->FrontVariable(member.position - 1);
        if (variable->value.StoredType() > kValueDouble) return false;
        *variables++ = variable;
    }
    return true;
}

// The variable the number code `op` writes (null for a condition's, and for an element's,
// which StoreNumberInElement writes), its program's names found; false when it may not be
// written as a number: a slot the call has not bound, or a value that is no number (the
// walk's operators then concatenate, replace or fail).
[[gnu::always_inline]] inline bool NumberTargetOf(const NumberProgram& program,
                                                  const CompiledOp& op, CValue* slots,
                                                  uint64_t bound, CValue*& target) {
    target = nullptr;
    if (op.code == kNumberValue || op.code == kNumberElementStore) return true;
    if (op.site == kNumberTargetName) {
        target = &program.variables[0]->value;
    } else if (op.site == kNumberTargetMember) {
        target = &program.variables[program.names.size()]->value;
    } else {
        if (op.site != 0 && ((bound >> op.count) & 1) == 0) return false;
        target = &slots[op.count];
    }
    return target->StoredType() <= kValueDouble;
}

// The value a kNumberElementStore's program worked out, `value`, stored by its operator into
// the cell of the program's first element, or by "=" into the element just past the end of a
// one-dimensional array, which grows by it; false, with nothing changed, when the element is
// not at hand or its cell holds no number: the full steps then make, grow, shape or fail as
// the walk does.
[[gnu::noinline]] bool StoreNumberInElement(const NumberProgram& program, const CompiledOp& op,
                                            const CValue& value, const CValue* slots,
                                            uint64_t bound);
