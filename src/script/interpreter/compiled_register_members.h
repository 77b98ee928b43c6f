// Members of script objects as operands and targets of register programs. The object's
// member is found once per run of the program, before its first instruction, and its
// variable then stands among the program's names: loads read it and the statement stores
// into it as into a name's (a program of one holder's members on integers reads each at the
// place its holder's shape vouches for instead). Nothing a program does can add, remove or
// delete anything, so the variable found stays the member's until the program ends.
#pragma once

#include <cstdint>

struct NameToken;

// With kNumberAssign, kNumberIncrement and kNumberDecrement: the `site` of a statement on
// a member, the first member of its register program.
constexpr uint32_t kNumberTargetMember = 3;

// The `slot` of a member of This.
constexpr uint32_t kMemberOfThis = ~0u;

// A member of the script object in slot `slot` (one of kOpBindName when `boundSlot`, read
// only once the call bound it) or of This, named by `token`. The object's shape when its member was
// last found, and 1 + the member's front position then (0: none kept), as a member site
// keeps them.
// The first member also keeps `holderShape`: while every member of the program is of one
// holder, the shape under which each member's kept position holds (0: none), so that a
// holder of that shape vouches for all of them at once.
struct MemberOperand {
    uint32_t slot;
    bool boundSlot;
    NameToken* token;
    mutable uint64_t shape = 0;
    mutable uint32_t position = 0;
    mutable uint64_t holderShape = 0;
};

// A member read or assigned by a statement of a loop program, its variable at `variable`
// among the program's. Found again as the program is entered, since the steps between may
// have put another object in the slot; within a run, only a change of the scopes (a member
// added or removed, an object deleted) can move it, and the program leaves at that.
struct LoopMember {
    const MemberOperand* operand;
    uint32_t variable;
};
