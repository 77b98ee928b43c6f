#include "classes/scene3d/scene3d_classes.h"

#include "classes/scene3d/math_class.h"
#include "classes/scene3d/matrix_class.h"
#include "classes/scene3d/vector_class.h"
#include "script/classes/base_class.h"

void RegisterScene3DClasses() {
    RegisterScriptClass(GetVectorClassInfo());
    RegisterScriptClass(GetMatrixClassInfo());
    RegisterScriptClass(GetMathClassInfo());
}

void UnregisterScene3DClasses() {
    UnregisterScriptClass(CIVector::kClassId);
    UnregisterScriptClass(CIMatrix::kClassId);
    UnregisterScriptClass(CIMath::kClassId);
}
