#include "classes/scene3d/scene3d_classes.h"

#include "classes/scene3d/light_class.h"
#include "classes/scene3d/position_class.h"
#include "classes/scene3d/zone_class.h"

void RegisterScene3DClasses() {
    RegisterScriptClass(CILight::GetClassInfo());
    RegisterScriptClass(CIPosition::GetClassInfo());
    RegisterScriptClass(CIZone::GetClassInfo());
    CILocation::SetWrapperMaker(CILight::kClassId, CILight::MakeWrapper);
    CILocation::SetWrapperMaker(CIZone::kClassId, CIZone::MakeWrapper);
}

void UnregisterScene3DClasses() {
    UnregisterScriptClass(CILight::kClassId);
    UnregisterScriptClass(CIPosition::kClassId);
    UnregisterScriptClass(CIZone::kClassId);
    CILocation::SetWrapperMaker(CILight::kClassId, nullptr);
    CILocation::SetWrapperMaker(CIZone::kClassId, nullptr);
}
