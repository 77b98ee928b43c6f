#include "script/interpreter/compiled_texts.h"

#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/value.h"

bool JoinIntoSlot(CInterpretor& interpreter, const CompiledOp& op, CValue* slots, CValue& place) {
    if ((op.depth & kSlotFormMask) != kSlotFromPair || op.code != kTokenAssign) return false;
    const CompiledOp& pair = (&op)[2];
    if (pair.op != kOpSlotSlot || pair.code != kTokenPlus || pair.count != op.count) return false;
    CValue& target = slots[op.count];
    const CValue& operand = slots[pair.index];
    // Only kinds that "+" joins to a text without failing: a failure must come from the full
    // steps, at their token and before anything changed.
    if (target.StoredType() != kValueString || operand.StoredType() > kValueString) return false;
    place.SetInt(0);
    // Where the walk stands as it joins, should memory run out.
    interpreter.currentToken = pair.token;
    target.Add(operand);
    place.Assign(target);
    return true;
}
