#include "script/project/string_bank_text.h"

#include "script/project/bank.h"
#include "script/project/element.h"
#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"
#include "script/project/project_format.h"

int LoadStringBankText(CInterpretor& interpreter, const CValue& selector, CValue& text) {
    if (interpreter.projectFile == nullptr) return 0;
    interpreter.SelectProjectEntry();
    CElement* element = nullptr;
    switch (selector.GetType()) {
    case kValueInt:
    case kValueDouble:
    case kValueString:
        element = interpreter.GetElementFromValue(selector, project_format::kStringBank, 1);
        break;
    default:
        return 0;
    }
    // A full name may name an element of any bank: only a string bank's element is a text.
    if (element == nullptr || element->bank == nullptr ||
        element->bank->GetType() != project_format::kStringBank)
        return 0;
    CBank* bank = element->bank;
    if (!bank->LoadElementData(element->index, 0)) return 0;
    text.SetString(static_cast<CStringElement*>(element)->GetText(), 0);
    bank->ReleaseElementData(element->index);
    return 1;
}
