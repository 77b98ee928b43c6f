#include "classes/surface/surface_classes.h"

#include "classes/surface/point_array_class.h"
#include "classes/surface/sprite_class.h"
#include "classes/surface/surface_class.h"
#include "classes/surface/texture_feed.h"
#include "classes/window/window_surface.h"
#include "script/classes/base_class.h"

namespace {

const ScriptClassInfo* const* Classes(size_t& count) {
    static const ScriptClassInfo* const classes[] = {
        GetSurfaceClassInfo(),
        GetPointArrayClassInfo(),
        GetSpriteClassInfo(),
    };
    count = sizeof classes / sizeof classes[0];
    return classes;
}

} // namespace

void RegisterSurfaceClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        RegisterScriptClass(classes[i]);
    SetWindowSurfaceMaker(&MakeSurfaceForWindow);
    InstallAnimationTextureFeed(true);
}

void UnregisterSurfaceClasses() {
    size_t count = 0;
    const ScriptClassInfo* const* classes = Classes(count);
    for (size_t i = 0; i < count; ++i)
        UnregisterScriptClass(classes[i]->nameTable[0].id);
    SetWindowSurfaceMaker(nullptr);
    InstallAnimationTextureFeed(false);
}
