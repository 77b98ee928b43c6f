#include "classes/scene3d/scene3d_classes.h"

void RegisterScene3DClasses() {
}

void UnregisterScene3DClasses() {
}
