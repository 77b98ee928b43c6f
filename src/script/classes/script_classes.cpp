#include "script/classes/script_classes.h"

#include "script/classes/bank_class.h"
#include "script/classes/base_class.h"
#include "script/classes/script_program.h"
#include "script/classes/string_class.h"
#include "script/classes/unbuilt_classes.h"

void RegisterScriptClasses() {
    RegisterScriptClass(GetProgramClassInfo());
    RegisterScriptClass(GetStringClassInfo());
    RegisterScriptClass(GetBankClassInfo());
    RegisterUnbuiltClasses();
}
