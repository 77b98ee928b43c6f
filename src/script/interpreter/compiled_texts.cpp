#include "script/interpreter/compiled_texts.h"

#include <cstring>
#include <new>

#include "script/classes/base_class.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_codes.h"
#include "script/values/text_block.h"
#include "script/values/value.h"

namespace {

// `target = target + operand` at the token of the "+".
bool Join(CInterpretor& interpreter, CValue& target, const CValue& operand, uint8_t* plus,
          CValue& place) {
    // Only kinds that "+" joins to a text without failing: a failure must come from the full
    // steps, at their token and before anything changed.
    if (target.StoredType() != kValueString || operand.StoredType() > kValueString) return false;
    place.SetInt(0);
    // Where the walk stands as it joins, should memory run out.
    interpreter.currentToken = plus;
    target.Add(operand);
    place.Assign(target);
    return true;
}

} // namespace

bool JoinIntoSlot(CInterpretor& interpreter, const CompiledOp& op, CValue* slots, CValue& place) {
    if ((op.depth & kSlotFormMask) != kSlotFromPair || op.code != kTokenAssign) return false;
    const CompiledOp& pair = (&op)[2];
    if (pair.op != kOpSlotSlot || pair.code != kTokenPlus || pair.count != op.count) return false;
    return Join(interpreter, slots[op.count], slots[pair.index], pair.token, place);
}

bool JoinIntoSlot(CInterpretor& interpreter, const CompiledOp& op, const CompiledOp* end,
                  CValue* slots, uint64_t bound, CValue& place) {
    // The target's read, the left operand's, "+" with the right operand's, "=".
    const CompiledOp* steps = &op + 1;
    if (op.code != kNumberAssign || op.site != 0 || end != steps + 4) return false;
    const CompiledOp& target = steps[0];
    const CompiledOp& left = steps[1];
    const CompiledOp& plus = steps[2];
    const CompiledOp& assign = steps[3];
    if (target.op != kOpSlot || target.depth != 1 || left.op != kOpSlot || left.depth != 2 ||
        left.index != target.index || plus.depth != 2 || plus.code != kTokenPlus ||
        assign.op != kOpBinary || assign.depth != 1 || assign.code != kTokenAssign)
        return false;
    if (plus.op != kOpBinarySlot &&
        (plus.op != kOpBinaryBoundSlot || plus.index >= 64 || ((bound >> plus.index) & 1) == 0))
        return false;
    return Join(interpreter, slots[target.index], slots[plus.index], plus.token, place);
}

bool AnswerTextMethod(CInterpretor& interpreter, const CompiledMethodSite& site, const char* text) {
    const ScriptClassInfo* info = site.record != nullptr ? site.record->info : nullptr;
    if (info == nullptr || site.id >= info->textMethodCount) return false;
    const TextMethod method = info->textMethods[site.id];
    if (method == nullptr || !method(interpreter, text != nullptr ? text : "")) return false;
    // The object the method stands in for would have taken an instance number and the next
    // serial of its class, which scripts can see on the objects made after it.
    if (site.record->classIndex < kClassSlotCount)
        ++interpreter.classSerials[site.record->classIndex];
    ++interpreter.instancesMade;
    return true;
}

LiteralTexts::~LiteralTexts() {
    for (char* block : blocks_)
        TextBlock::LetGo(block);
}

uint32_t LiteralTexts::Add(const char* text) {
    char* block = TextBlock::Copy(text, std::strlen(text));
    if (block == nullptr) return 0;
    try {
        blocks_.push_back(block);
    } catch (const std::bad_alloc&) {
        TextBlock::LetGo(block);
        return 0;
    }
    return uint32_t(blocks_.size());
}
