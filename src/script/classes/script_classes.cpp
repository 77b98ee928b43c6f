#include "script/classes/script_classes.h"

#include "script/classes/bank_class.h"
#include "script/classes/base_class.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/classes/unbuilt_classes.h"

void RegisterScriptClasses() {
    // The system services' Program, when registered, has the error road and the rest.
    if (GetScriptClassInfo(56) == nullptr) RegisterScriptClass(GetProgramClassInfo());
    RegisterScriptClass(GetStringClassInfo());
    RegisterScriptClass(GetBankClassInfo());
    RegisterUnbuiltClasses();
}
