// Texts joined onto the text of the slot they are assigned to, and the methods of texts, in
// compiled code.
#pragma once

#include "script/interpreter/compiled_code.h"

class CInterpretor;
class CValue;

// The kOpSlotStatement `op` of "slot = slot + slot" when its slot holds a text and the other
// slot a text or a number: the other's text appended to the slot's own block, which grows in
// place when nothing else holds it, as "slot += slot" does, rather than a new text made and
// the old one dropped. The statement's value goes into `place`, which is let go of first
// (it may still share the block from the statement before). False, with nothing changed,
// for any other statement or kinds, which the full steps then do.
bool JoinIntoSlot(CInterpretor& interpreter, const CompiledOp& op, CValue* slots, CValue& place);
// The same for the kOpNumberCode `op` of "slot = slot + operand", its steps up to `end`, whose
// operand is a slot bound by the call (as `bound` says) or one of its own.
bool JoinIntoSlot(CInterpretor& interpreter, const CompiledOp& op, const CompiledOp* end,
                  CValue* slots, uint64_t bound, CValue& place);

// A text's method called by compiled code at `site` on `text`, its arguments in the frame, done
// by the text class's TextMethod when the method has one (its result then in the result slot);
// false, with nothing done, when the method must run on a temporary object of the class.
bool AnswerTextMethod(CInterpretor& interpreter, const CompiledMethodSite& site, const char* text);
