#include "classes/scene3d/location_method_table.h"

namespace {

const ScriptMethod<CILocation> kLocationMethods[kLocationMethodCount + 1] = {
    nullptr,
    ZORV_LOCATION_METHODS,
};

} // namespace

void CallLocationMethod(CILocation& object, uint16_t methodId) {
    CallMethodFromTable(object, kLocationMethods, methodId);
}
