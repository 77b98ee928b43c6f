// The members of register programs found before they run (compiled_register_members.h).
#include "script/interpreter/compiled_register_members.h"

#include "script/interpreter/compiled_registers.h"
#include "script/interpreter/interpretor.h"
#include "script/interpreter/object_var.h"

// Each member is found as SlotMembers (or, for This, EvalMemberChain) finds it: through the place
// its shape last vouched for, else by its name. A value that is no script object (a deleted one
// among them), a member missing or holding no number, or a slot the call has not bound leaves the
// statement to its steps, which read, add or fail as the walk does.
bool CInterpretor::FindMembers(const NumberProgram& program, const CValue* slots, uint64_t bound) {
    CVariable** variables = program.variables.data() + program.names.size();
    // Members of one object follow each other most often: it is checked once for them.
    uint32_t checked = ~0u;
    CIBaseObjectVar* holder = nullptr;
    for (const MemberOperand& member : program.members) {
        if (member.slot == kMemberOfThis) {
            holder = currentObject_;
            checked = kMemberOfThis;
            if (holder == nullptr) return false;
        } else if (member.slot != checked) {
            if (member.boundSlot && ((bound >> member.slot) & 1) == 0) return false;
            const CValue& value = slots[member.slot];
            if (value.StoredType() != kValueObject) return false;
            CIBaseClassImpl* object = value.ObjectPayload();
            if (object == nullptr || !IsScriptObject(object)) return false;
            holder = static_cast<CIBaseObjectVar*>(object);
            checked = member.slot;
        }
        CVariable* variable;
        if (member.position != 0 && holder->GetShape() == member.shape) {
            variable = holder->FrontVariable(member.position - 1);
        } else {
            variable = FindMember(member.token, holder);
            if (variable == nullptr) return false;
            member.shape = holder->GetShape();
            member.position = holder->ShapedPosition(variable);
        }
        if (variable->value.StoredType() > kValueDouble) return false;
        *variables++ = variable;
    }
    return true;
}
