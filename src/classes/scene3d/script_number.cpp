#include "classes/scene3d/script_number.h"

#include "script/interpreter/interpretor.h"
#include "script/values/value.h"

double NumberOf(CInterpretor& interpreter, const CValue& value) {
    if (value.GetType() == kValueInt) return value.IntPayload();
    if (value.GetType() == kValueDouble) return value.DoublePayload();
    interpreter.RaiseError(14);
}

bool IsArgMissing(CInterpretor& interpreter, uint32_t i) {
    return int32_t(i) >= interpreter.GetArgCount() || interpreter.IsArgDefault(i);
}
