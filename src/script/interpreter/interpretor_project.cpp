#include "script/interpreter/interpretor.h"
#include "script/project/project_file.h"

CElement* CInterpretor::GetElementFromValue(const CValue& value, uint32_t bankType,
                                            int skipSources) {
    if (projectFile == nullptr) return nullptr;
    switch (value.GetType()) {
    case kValueString:
        return projectFile->ResolveElement(value.GetStringSafe(), bankType, skipSources);
    case kValueInt:
    case kValueDouble:
        return projectFile->FindElementByIndex(value.GetInt(), bankType, skipSources);
    default:
        return nullptr;
    }
}
