#include "engine3d/scene/lights/light.h"

#include <algorithm>
#include <cmath>

#include "engine3d/scene/blobs/blob_list.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/object_walk.h"
#include "engine3d/scene/objects/world.h"

namespace {

constexpr int32_t kKeep = -99999;

int32_t ClampIntensity(int32_t value) {
    return std::clamp(value, 0, 255);
}

} // namespace

L3DLight::L3DLight(LBaseLight* owner, L3DWorld* world, int kind, const float* at, int32_t r,
                   int32_t level, LLightColor* color, uint32_t)
    : L3DObject("Light", world, nullptr), intensity(ClampIntensity(level)), radius(r), list(owner),
      color_(color) {
    typeCode = kType;
    // Placed directly: a static light cannot move, and its objects are found once below.
    if (at != nullptr) std::copy_n(at, 3, position);
    std::copy_n(position, 3, previousPosition);
    BuildLightMarker();
    SetPositionChanged(1);
    SetRotationChanged(1);
    ComputeCube();
    if (kind == LBaseLight::kStaticKind) objectFlags = (objectFlags & ~kDynamic) | kStatic;
    FindObjects();
}

L3DLight::~L3DLight() {
    LeaveObjects();
    if (world != nullptr) std::erase(world->cluster->unlitLights, this);
    if (list != nullptr) list->RemoveLight(this, 0);
}

uint32_t L3DLight::GetColor() const {
    return color_ != nullptr ? color_->rgb : 0;
}

void L3DLight::BuildLightMarker() {
    const float r = float(radius);
    const float s = std::max(r * 0.05f, 10.0f);
    const MarkerPoint points[] = {{-s, 0, 0},
                                  {s, 0, 0},
                                  {0, 0, s},
                                  {0, 0, -r},
                                  {0, s, 0},
                                  {0, -s, 0},
                                  {-s / 2, 0, s / 2 - r},
                                  {s / 2, 0, s / 2 - r}};
    // Two crossed shafts to the tip, their tails, and the arrow head.
    const MarkerTriangle triangles[] = {{0, 1, 3}, {4, 5, 3}, {0, 1, 2}, {4, 5, 2}, {6, 7, 3}};
    BuildMarker("$Yix3D Mat$ Light Material", 0xFF00, points, triangles);
}

void L3DLight::ComputeCube() {
    const float r = float(radius);
    for (int k = 0; k < 3; ++k) {
        centre[k] = position[k];
        cubeMin[k] = position[k] - r;
        cubeMax[k] = position[k] + r;
    }
}

void L3DLight::AskToRelight(L3DObject* object) const {
    if (IsStaticLight())
        object->InvalidateTransform();
    else
        object->ValidateTransform();
}

void L3DLight::LeaveObjects() {
    if (world != nullptr && litObjects.empty()) std::erase(world->cluster->unlitLights, this);
    for (L3DObject* object : litObjects) {
        if (IsStaticLight())
            object->RemoveLight(this);
        else
            object->RemoveSecondLight(this);
        AskToRelight(object);
    }
    litObjects.clear();
}

void L3DLight::ForgetObject(L3DObject* object) {
    std::erase(litObjects, object);
}

void L3DLight::FindObjects() {
    LeaveObjects();
    if (world == nullptr) return;
    if (IsVisible() != 0) {
        std::vector<L3DObject*> found;
        world->cluster->CollectObjectsInBox(cubeMin, cubeMax, found);
        // Blobs are drawn and lit like the cluster's objects but live in their own list.
        for (L3DObject* blob : world->blobs.Blobs())
            if (blob->OverlapsBox(cubeMin, cubeMax) != 0) found.push_back(blob);
        for (L3DObject* object : found) {
            const int added =
                IsStaticLight() ? object->AddLight(this) : object->AddSecondLight(this);
            if (added == 0) continue;
            litObjects.push_back(object);
            AskToRelight(object);
        }
    }
    if (litObjects.empty()) world->cluster->unlitLights.push_back(this);
}

void L3DLight::LightPoint(const float* point, uint8_t* color) const {
    if (IsVisible() == 0 || radius <= 0 || color_ == nullptr) return;
    for (int k = 0; k < 3; ++k)
        if (point[k] < cubeMin[k] || point[k] > cubeMax[k]) return;
    double squared = 0;
    for (int k = 0; k < 3; ++k)
        squared += double(centre[k] - point[k]) * (centre[k] - point[k]);
    const double dist = std::sqrt(squared);
    if (dist > radius) return;
    const double k = (1 - dist / radius) * intensity * 0.00390625;
    const double w = 1 - k;
    const int32_t channels[3] = {color_->red, color_->green, color_->blue};
    for (int c = 0; c < 3; ++c)
        color[c] = uint8_t(std::lround(channels[c] * k + color[c] * w));
    const long level = std::lround(color[3] + k * 256);
    color[3] = uint8_t(std::min(level, 255L));
}

void L3DLight::SetIntensityAndRadius(int32_t newRadius, int32_t newIntensity, int show) {
    bool intensityChanged = false;
    if (newIntensity != kKeep) {
        const int32_t clamped = ClampIntensity(newIntensity);
        intensityChanged = clamped != intensity;
        intensity = clamped;
    }
    bool radiusChanged = false;
    if (newRadius != kKeep && !IsStaticLight() && newRadius != radius) {
        radius = newRadius;
        radiusChanged = true;
    }
    if (show != 0)
        L3DObject::Show();
    else
        L3DObject::Hide(1);
    if (radiusChanged) {
        BuildLightMarker();
        ComputeCube();
        FindObjects();
    } else if (IsVisible() == 0) {
        LeaveObjects();
        if (world != nullptr) world->cluster->unlitLights.push_back(this);
    } else if (intensityChanged) {
        for (L3DObject* object : litObjects)
            AskToRelight(object);
    }
}

void L3DLight::SetColor(uint32_t rgb) {
    if (int32_t(rgb) == kKeep || rgb == GetColor() || list == nullptr) return;
    LLightColor* next = list->FindOrAddColor(rgb);
    list->ReleaseColor(color_);
    color_ = next;
    if (world != nullptr) world->cameras.NotifyAll(1);
    for (L3DObject* object : litObjects)
        AskToRelight(object);
}

void L3DLight::OnMoved() {
    if (IsVisible() == 0) return;
    MatrixCopy(localMatrix, worldMatrix);
    ComputeCube();
    FindObjects();
    if (world != nullptr && world->currentCamera != nullptr) Update(*world->currentCamera);
}

void L3DLight::ShowBox(int on, int withChildren) {
    if (on != 0 && (list == nullptr || list->lightsShown != 1)) return;
    L3DObject::ShowBox(on, withChildren);
}

void L3DLight::Show() {
    L3DObject::Show();
    FindObjects();
}

void L3DLight::Hide(int withChildren) {
    L3DObject::Hide(withChildren);
    LeaveObjects();
    if (world != nullptr) world->cluster->unlitLights.push_back(this);
}

L3DObject* L3DLight::Duplicate(const L3DLocation* location) {
    if (list == nullptr) return nullptr;
    const float* at = location != nullptr ? location->position : position;
    L3DLight* copy =
        list->CreateLight(LBaseLight::kDynamicKind, at, radius, intensity, GetColor(), 0);
    if (copy == nullptr) return nullptr;
    std::copy_n(angles, 3, copy->angles);
    std::copy_n(scale, 3, copy->scale);
    std::copy_n(hotSpot, 3, copy->hotSpot);
    return copy;
}

int L3DLight::Save(ChunkWriter& writer, uint32_t) {
    if (IsPersistent() == 0) return 0;
    writer.WriteU16(uint16_t(radius));
    writer.WriteU16(uint16_t(intensity));
    writer.WriteVector(position[0], position[1], position[2]);
    writer.WriteU32(GetColor());
    const char* text = RawName();
    writer.WriteString(text != nullptr ? text : "");
    return SaveChunk(writer) != 0 ? 0 : 1;
}
