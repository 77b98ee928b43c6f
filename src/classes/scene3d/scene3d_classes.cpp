#include "classes/scene3d/scene3d_classes.h"

#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/world_class.h"
#include "classes/surface/surface_class.h"
#include "script/classes/unbuilt_classes.h"
#include "script/runtime/neighbour_services.h"

void RegisterScene3DClasses() {
    RegisterScriptClass(GetWorldClassInfo());
    RegisterScriptClass(GetCameraClassInfo());
    RegisterScriptClass(GetObjectClassInfo());
    CILocation::SetWorldServices(GetWorldServices());
    CILocation::SetWrapperMaker(CICamera::kClassId, &CICamera::Make);
    CILocation::SetWrapperMaker(CIObject::kClassId, &CIObject::Make);
    GetNeighbourServices().isAny3DViewOpen = &IsAny3DViewOpen;
}

void UnregisterScene3DClasses() {
    GetNeighbourServices().isAny3DViewOpen = nullptr;
    CILocation::SetWrapperMaker(CICamera::kClassId, nullptr);
    CILocation::SetWrapperMaker(CIObject::kClassId, nullptr);
    CILocation::SetWorldServices(nullptr);
    for (uint32_t classId : {CIWorld::kClassId, CICamera::kClassId, CIObject::kClassId})
        RegisterScriptClass(GetUnbuiltClassInfo(classId));
}
