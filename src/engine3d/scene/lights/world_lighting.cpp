#include <algorithm>
#include <cmath>

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/objects/world_light.h"

namespace {

template <typename F> void ForEachFramePoint(L3DObject& object, F&& f) {
    LBasePoint* points = object.GetCurrentPointList();
    if (points == nullptr) return;
    for (int32_t i = 0; i < points->GetCount(); ++i)
        f(*points->GetPoint(i));
}

void WriteDiffuse(L3DPoint& point) {
    RenderVertex* vertex = point.GetRenderVertex();
    if (vertex == nullptr) return;
    const uint8_t* c = point.frameColor;
    vertex->diffuse = uint32_t(c[3]) << 24 | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
}

// The static colours of the whole scene depend on the world light.
void RelightScene(L3DWorld* world) {
    if (world == nullptr || world->cluster == nullptr) return;
    world->cluster->InvalidateOctree();
    for (LListNode* node = world->cluster->dynamicObjects.GetHead(); node != nullptr;
         node = node->next)
        static_cast<L3DObject*>(node->item)->InvalidateTransform();
}

} // namespace

void L3DLightAmbiant::SetVector(float x, float y, float z) {
    vector[0] = x;
    vector[1] = y;
    vector[2] = z;
    double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (!(length > 0)) length = 0.0001;
    for (int i = 0; i < 3; ++i)
        direction[i] = float(vector[i] / length);
    RelightScene(world);
}

void L3DLightAmbiant::SetParameters(float x, float y, float z, int32_t level, int32_t night) {
    SetVector(x, y, z);
    intensity = std::clamp(level, 0, 255);
    brightness = 100 - std::clamp(night, 0, 100);
    RelightScene(world);
}

void L3DLightAmbiant::SetIntensity(int32_t value) {
    intensity = std::clamp(value, 0, 255);
    RelightScene(world);
}

void L3DLightAmbiant::SetNight(int32_t night) {
    brightness = 100 - std::clamp(night, 0, 100);
    RelightScene(world);
}

void L3DLightAmbiant::SetColor(uint32_t rgb) {
    color[0] = uint8_t(rgb & 0xFF);
    color[1] = uint8_t(rgb >> 8 & 0xFF);
    color[2] = uint8_t(rgb >> 16 & 0xFF);
    RelightScene(world);
}

uint32_t L3DLightAmbiant::GetColor() const {
    return uint32_t(color[0]) | uint32_t(color[1]) << 8 | uint32_t(color[2]) << 16;
}

void L3DLightAmbiant::LightPoint(const float* m, L3DPoint& point) const {
    const float* n = point.normal;
    double d = 0;
    for (int row = 0; row < 3; ++row) {
        const double w = double(m[row * 4]) * n[0] + double(m[row * 4 + 1]) * n[1] +
                         double(m[row * 4 + 2]) * n[2];
        d += w * direction[row];
    }
    double level = std::clamp(double(std::lround(d * 127 + intensity + 128)), 0.0, 255.0);
    level = double(std::lround(brightness * 0.01 * level));
    const int index = std::clamp(int(level), 0, 255);
    const uint8_t t = uint8_t(uint32_t(point.reflectionCurve[index]) & 0xFF);
    const uint8_t shade = uint8_t(t + 128);
    for (int c = 0; c < 3; ++c)
        point.staticColor[c] = uint8_t(color[c] * shade / 255);
    point.staticColor[3] = shade;
}

void L3DLightAmbiant::LightPoints(L3DObject& object, L3DLight* const* lights, int n) const {
    ForEachFramePoint(object, [&](L3DPoint& point) {
        LightPoint(object.worldMatrix, point);
        for (int i = 0; i < n; ++i)
            lights[i]->LightPoint(point.world, point.staticColor);
    });
}

void L3DLightAmbiant::RelightDynamic(L3DObject& object, L3DLight* const* lights, int n,
                                     int reset) const {
    ForEachFramePoint(object, [&](L3DPoint& point) {
        if (reset != 0) std::copy_n(point.staticColor, 4, point.frameColor);
        for (int i = 0; i < n; ++i)
            lights[i]->LightPoint(point.world, point.frameColor);
        WriteDiffuse(point);
    });
}

void L3DLightAmbiant::LightObject(L3DObject& object) const {
    const LBaseLight* list = world != nullptr ? world->lights.get() : nullptr;
    ForEachFramePoint(object, [&](L3DPoint& point) {
        LightPoint(object.worldMatrix, point);
        if (list != nullptr)
            for (L3DLight* light : list->staticLights)
                light->LightPoint(point.world, point.staticColor);
        std::copy_n(point.staticColor, 4, point.frameColor);
        if (list != nullptr)
            for (L3DLight* light : list->dynamicLights)
                light->LightPoint(point.world, point.frameColor);
        WriteDiffuse(point);
    });
}

int L3DLightAmbiant::Save(ChunkWriter& writer) const {
    const uint32_t start = writer.BeginChunk(ChunkTag("AMLI"), 0);
    writer.WriteU16(uint16_t(GetNight()));
    writer.WriteU16(uint16_t(intensity));
    writer.WriteVector(vector[0], vector[1], vector[2]);
    writer.WriteU32(GetColor());
    return writer.EndChunk(start) != 0 ? 0 : 1;
}
