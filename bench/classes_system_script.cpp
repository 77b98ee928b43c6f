#include "classes_system_script.h"
#include "script_source_run.h"

#include "classes/system/system_classes.h"
#include "script/classes/base_class.h"
#include "script/classes/string_class.h"
#include "script/interpreter/interpretor.h"
#include "script/language/token_infos.h"

int32_t RunSystemScript(const std::string& source) {
    [[maybe_unused]] static const bool registered = [] {
        RegisterScriptClass(GetStringClassInfo());
        RegisterSystemClasses();
        return true;
    }();
    CInterpretor interpreter;
    return RunScriptSource(interpreter, source, kUnitOwnsText);
}
