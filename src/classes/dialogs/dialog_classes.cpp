#include "classes/dialogs/dialog_classes.h"

#include "classes/dialogs/printer_class.h"
#include "classes/dialogs/selector_class.h"
#include "script/classes/base_class.h"

void RegisterDialogClasses() {
    RegisterScriptClass(GetSelectorClassInfo());
    RegisterScriptClass(GetPrinterClassInfo());
}

void UnregisterDialogClasses() {
    UnregisterScriptClass(CISelector::kClassId);
    UnregisterScriptClass(CIPrinter::kClassId);
}
