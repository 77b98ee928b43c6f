#include "engine3d/scene/lights/light_list.h"

#include <algorithm>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light.h"
#include "platform/kernel/cp1252.h"

LBaseLight::LBaseLight(L3DWorld* owner) : world(owner) {}

LBaseLight::~LBaseLight() {
    RemoveLightAt(-2, 1);
    ClearColors();
}

LLightColor* LBaseLight::FindOrAddColor(uint32_t rgb) {
    rgb &= 0xFFFFFF;
    for (const auto& entry : colors)
        if (entry->rgb == rgb) {
            ++entry->uses;
            return entry.get();
        }
    auto entry = std::make_unique<LLightColor>();
    entry->rgb = rgb;
    entry->red = int32_t(rgb & 0xFF);
    entry->green = int32_t(rgb >> 8 & 0xFF);
    entry->blue = int32_t(rgb >> 16 & 0xFF);
    entry->uses = 1;
    colors.push_back(std::move(entry));
    return colors.back().get();
}

void LBaseLight::ReleaseColor(LLightColor* color) {
    if (color != nullptr && color->uses > 0) --color->uses;
}

void LBaseLight::ClearColors() {
    colors.clear();
}

L3DLight* LBaseLight::CreateLight(int kind, const float* position, int32_t radius,
                                  int32_t intensity, uint32_t rgb, uint32_t flags) {
    LLightColor* color = FindOrAddColor(rgb);
    auto* light = new L3DLight(this, world, kind, position, radius, intensity, color, flags);
    if (light->IsVisible() != 0 && lightsShown == 0) light->Hide(1);
    (light->IsStaticLight() ? staticLights : dynamicLights).push_back(light);
    all.push_back(light);
    return light;
}

bool LBaseLight::Unlist(L3DLight* light) {
    const auto at = std::find(all.begin(), all.end(), light);
    if (at == all.end()) return false;
    all.erase(at);
    std::erase(staticLights, light);
    std::erase(dynamicLights, light);
    return true;
}

int LBaseLight::RemoveLight(L3DLight* light, int destroy) {
    if (light == nullptr || !Unlist(light)) return 10;
    light->list = nullptr;
    ReleaseColor(light->Color());
    if (destroy != 0) delete light;
    return 0;
}

int LBaseLight::RemoveLightAt(int32_t index, int destroy) {
    if (index == -2) {
        while (!all.empty())
            RemoveLight(all.back(), destroy);
        return 0;
    }
    if (index < 0 || size_t(index) >= all.size()) return 10;
    return RemoveLight(all[size_t(index)], destroy);
}

L3DLight* LBaseLight::FindByName(const char* name) const {
    return all.empty() ? nullptr : FindNextByName(all.front(), name);
}

L3DLight* LBaseLight::FindNextByName(const L3DLight* from, const char* name) const {
    auto at = std::find(all.begin(), all.end(), from);
    for (; at != all.end(); ++at) {
        char text[256];
        (*at)->GetName(text, sizeof text);
        if (name != nullptr && platform::Cp1252EqualNoCase(text, name)) return *at;
    }
    return nullptr;
}

void LBaseLight::UpdateForFrame(L3DCamera& camera) {
    if ((camera.L3DLocation::flags & L3DLocation::kRotationChanged) == 0) return;
    for (L3DLight* light : dynamicLights)
        light->ComputeWorldTransform(camera);
}

void LBaseLight::PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance) {
    for (const auto* group : {&dynamicLights, &staticLights})
        for (L3DLight* light : *group)
            light->PickAtScreenPoint(camera, point, best, distance);
}

void LBaseLight::RelinkAll() {
    for (L3DLight* light : dynamicLights)
        light->FindObjects();
    for (L3DLight* light : staticLights)
        light->OnMoved();
}

int LBaseLight::Save(ChunkWriter& writer, uint32_t flags) {
    const auto saved = [](const std::vector<L3DLight*>& group) {
        return std::count_if(group.begin(), group.end(),
                             [](L3DLight* light) { return light->IsPersistent() != 0; });
    };
    const auto dynamicCount = saved(dynamicLights);
    const auto staticCount = saved(staticLights);
    if (dynamicCount > 0xFFFF || staticCount > 0xFFFF) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BLIG"), 0);
    writer.WriteU16(uint16_t(dynamicCount));
    writer.WriteU16(uint16_t(staticCount));
    int failed = 0;
    for (const auto* group : {&dynamicLights, &staticLights})
        for (L3DLight* light : *group)
            failed |= light->Save(writer, flags);
    return writer.EndChunk(start) != 0 ? failed : 1;
}
