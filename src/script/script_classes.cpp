#include "script/script_classes.h"

#include "script/bank_class.h"
#include "script/base_class.h"
#include "script/script_program.h"
#include "script/string_class.h"
#include "script/unbuilt_classes.h"

void RegisterScriptClasses() {
    RegisterScriptClass(GetProgramClassInfo());
    RegisterScriptClass(GetStringClassInfo());
    RegisterScriptClass(GetBankClassInfo());
    RegisterUnbuiltClasses();
}
