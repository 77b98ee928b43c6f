#include "classes/scene3d/scene3d_classes.h"

#include "classes/scene3d/blob_class.h"
#include "classes/scene3d/camera_class.h"
#include "classes/scene3d/light_class.h"
#include "classes/scene3d/material_class.h"
#include "classes/scene3d/math_class.h"
#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/object_class.h"
#include "classes/scene3d/point3d_class.h"
#include "classes/scene3d/polygon_class.h"
#include "classes/scene3d/polygon_material_arg.h"
#include "classes/scene3d/position_class.h"
#include "classes/scene3d/quaternion_class.h"
#include "classes/scene3d/speaker_class.h"
#include "classes/scene3d/texture_class.h"
#include "classes/scene3d/vector_class.h"
#include "classes/scene3d/world_class.h"
#include "classes/scene3d/zone_class.h"
#include "classes/surface/surface_class.h"
#include "script/runtime/neighbour_services.h"

namespace {

CIWorld* WorldOf(CIBaseClassImpl* world) {
    return static_cast<CIWorld*>(world);
}

// The Material and Texture classes as the mesh classes reach them.
const MeshMaterialServices kMeshMaterialServices = {
    [](CIBaseClassImpl* material) {
        return static_cast<CIMaterial*>(material)->GetEngineMaterial();
    },
    [](CIBaseClassImpl* material) -> CIBaseClassImpl* {
        return static_cast<CIMaterial*>(material)->World();
    },
    [](CInterpretor& interpreter, CIBaseClassImpl* world, LMaterial* material) -> CIBaseClassImpl* {
        return CIMaterial::GetWrapper(interpreter, WorldOf(world), material);
    },
    [](CIBaseClassImpl* texture) { return static_cast<CITexture*>(texture)->GetEngineTexture(); },
    [](CIBaseClassImpl* texture) -> CIBaseClassImpl* {
        return static_cast<CITexture*>(texture)->World();
    },
    [](CInterpretor& interpreter, CIBaseClassImpl* world, LTexture* texture) -> CIBaseClassImpl* {
        return CITexture::GetWrapper(interpreter, WorldOf(world), texture);
    },
};

static_assert(MeshMaterialServices::kMaterialClassId == CIMaterial::kClassId);
static_assert(MeshMaterialServices::kTextureClassId == CITexture::kClassId);

} // namespace

void RegisterScene3DClasses() {
    RegisterScriptClass(GetVectorClassInfo());
    RegisterScriptClass(GetMatrixClassInfo());
    RegisterScriptClass(GetMathClassInfo());
    RegisterScriptClass(GetQuaternionClassInfo());
    RegisterScriptClass(CILight::GetClassInfo());
    RegisterScriptClass(CIPosition::GetClassInfo());
    RegisterScriptClass(CIZone::GetClassInfo());
    CILocation::SetWrapperMaker(CILight::kClassId, CILight::MakeWrapper);
    CILocation::SetWrapperMaker(CIZone::kClassId, CIZone::MakeWrapper);
    RegisterScriptClass(GetWorldClassInfo());
    RegisterScriptClass(GetCameraClassInfo());
    RegisterScriptClass(GetObjectClassInfo());
    RegisterScriptClass(GetMaterialClassInfo());
    RegisterScriptClass(GetTextureClassInfo());
    RegisterScriptClass(CIBlob::GetClassInfo());
    CILocation::SetWrapperMaker(CIBlob::kClassId, &CIBlob::MakeWrapper);
    RegisterScriptClass(CIPolygon::GetClassInfo());
    RegisterScriptClass(CIPoint3D::GetClassInfo());
    SetMeshMaterialServices(&kMeshMaterialServices);
    CILocation::SetWorldServices(GetWorldServices());
    CILocation::SetWrapperMaker(CICamera::kClassId, &CICamera::Make);
    CILocation::SetWrapperMaker(CIObject::kClassId, &CIObject::Make);
    GetNeighbourServices().isAny3DViewOpen = &IsAny3DViewOpen;
    RegisterScriptClass(CISpeaker::GetClassInfo());
    CILocation::SetWrapperMaker(CISpeaker::kClassId, &CISpeaker::MakeWrapper);
    GetNeighbourServices().update3DSound = &CISpeaker::Update3DSoundEnabled;
}

void UnregisterScene3DClasses() {
    UnregisterScriptClass(CIVector::kClassId);
    UnregisterScriptClass(CIMatrix::kClassId);
    UnregisterScriptClass(CIMath::kClassId);
    UnregisterScriptClass(CIQuaternion::kClassId);
    UnregisterScriptClass(CILight::kClassId);
    UnregisterScriptClass(CIPosition::kClassId);
    UnregisterScriptClass(CIZone::kClassId);
    CILocation::SetWrapperMaker(CILight::kClassId, nullptr);
    CILocation::SetWrapperMaker(CIZone::kClassId, nullptr);
    GetNeighbourServices().isAny3DViewOpen = nullptr;
    GetNeighbourServices().update3DSound = nullptr;
    CILocation::SetWrapperMaker(CISpeaker::kClassId, nullptr);
    UnregisterScriptClass(CISpeaker::kClassId);
    CILocation::SetWrapperMaker(CICamera::kClassId, nullptr);
    CILocation::SetWrapperMaker(CIObject::kClassId, nullptr);
    CILocation::SetWrapperMaker(CIBlob::kClassId, nullptr);
    CILocation::SetWorldServices(nullptr);
    for (uint32_t classId : {CIWorld::kClassId, CICamera::kClassId, CIObject::kClassId,
                             CIMaterial::kClassId, CITexture::kClassId, CIBlob::kClassId})
        UnregisterScriptClass(classId);
    UnregisterScriptClass(CIPolygon::kClassId);
    UnregisterScriptClass(CIPoint3D::kClassId);
    SetMeshMaterialServices(nullptr);
}
