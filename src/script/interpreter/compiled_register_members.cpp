// The members of register programs found before they run (compiled_register_members.h).
#include "script/interpreter/compiled_register_members.h"

#include "script/interpreter/compiled_register_loops.h"
#include "script/interpreter/compiled_registers.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"

// Each member is found as SlotMembers (or, for This, EvalMemberChain) finds it: through the place
// its shape last vouched for, else by its name. A value that is no script object (a deleted one
// among them), a member missing or holding no number, or a slot the call has not bound leaves the
// statement to its steps, which read, add or fail as the walk does.
bool CInterpretor::FindMembers(const NumberProgram& program, const CValue* slots, uint64_t bound) {
    CVariable** variables = program.variables.data() + program.names.size();
    const MemberOperand& first = program.members.front();
    if (first.holderShape != 0) {
        CIBaseObjectVar* holder = MembersHolder(first, slots, bound);
        if (holder == nullptr) return false;
        if (holder->GetShape() == first.holderShape) {
            for (const MemberOperand& member : program.members) {
                CVariable* variable = holder->FrontVariable(member.position - 1);
                if (variable->value.StoredType() > kValueDouble) return false;
                *variables++ = variable;
            }
            return true;
        }
    }
    // Finding them again moves the kept positions to the holder's shape now.
    first.holderShape = 0;
    if (!FindEachMember(program, slots, bound)) return false;
    // The shapes kept now vouch for all the members together when they are of one holder
    // and all were found at front positions of one shape.
    uint64_t shape = first.shape;
    for (const MemberOperand& member : program.members) {
        if (member.slot != first.slot || member.position == 0 || member.shape != shape) shape = 0;
    }
    first.holderShape = shape;
    return true;
}

// The script object holding the member `member`, or null when its slot is not bound or holds
// no script object.
CIBaseObjectVar* CInterpretor::MembersHolder(const MemberOperand& member, const CValue* slots,
                                             uint64_t bound) {
    if (member.slot == kMemberOfThis) return currentObject_;
    if (member.boundSlot && ((bound >> member.slot) & 1) == 0) return nullptr;
    const CValue& value = slots[member.slot];
    if (value.StoredType() != kValueObject) return nullptr;
    CIBaseClassImpl* object = value.ObjectPayload();
    if (object == nullptr || !IsScriptObject(object)) return nullptr;
    return static_cast<CIBaseObjectVar*>(object);
}

// The variable of `member` in `holder`, through the shape the holder had when it was last
// found; null when the holder has no such member.
CVariable* CInterpretor::ShapedMember(const MemberOperand& member, CIBaseObjectVar* holder) {
    if (member.position != 0 && holder->GetShape() == member.shape)
        return holder->FrontVariable(member.position - 1);
    CVariable* variable = FindMember(member.token, holder);
    if (variable == nullptr) return nullptr;
    member.shape = holder->GetShape();
    member.position = holder->ShapedPosition(variable);
    return variable;
}

bool CInterpretor::FindEachMember(const NumberProgram& program, const CValue* slots,
                                  uint64_t bound) {
    CVariable** variables = program.variables.data() + program.names.size();
    // Members of one object follow each other most often: it is checked once for them.
    uint32_t checked = ~0u;
    CIBaseObjectVar* holder = nullptr;
    for (const MemberOperand& member : program.members) {
        if (holder == nullptr || member.slot != checked) {
            holder = MembersHolder(member, slots, bound);
            if (holder == nullptr) return false;
            checked = member.slot;
        }
        CVariable* variable = ShapedMember(member, holder);
        if (variable == nullptr || variable->value.StoredType() > kValueDouble) return false;
        *variables++ = variable;
    }
    return true;
}

// Found as FindEachMember finds them, each through the shape its object had when last found.
// The kinds are the loads' to check: a member holding no number leaves the program there.
bool CInterpretor::FindLoopMembers(const LoopProgram& loop, const CValue* slots, uint64_t bound) {
    for (const LoopMember& entry : loop.members) {
        const MemberOperand& member = *entry.operand;
        CIBaseObjectVar* holder = MembersHolder(member, slots, bound);
        if (holder == nullptr) return false;
        CVariable* variable = ShapedMember(member, holder);
        if (variable == nullptr) return false;
        loop.variables[entry.variable] = variable;
    }
    return true;
}
