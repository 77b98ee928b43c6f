#include "engine3d/scene/zones/zone.h"

#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/objects/world.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr int32_t kKeep = -99999;

L3DZone* ZoneOf(const LListNode* node) {
    return static_cast<L3DZone*>(node->item);
}

} // namespace

L3DZone::L3DZone(LBase3DZone* owner, L3DWorld* world, const L3DLocation* location, int32_t width,
                 int32_t height, int32_t depth, int show, uint32_t flags)
    : L3DObject("3DZone", world, nullptr), list(owner) {
    typeCode = kType;
    objectFlags |= flags | kDynamic;
    MatrixIdentity(inverse);
    SetSize(location, width, height, depth, show);
}

L3DZone::~L3DZone() {
    if (list != nullptr) list->list.RemoveNode(list->list.FindNode(this), 1);
}

void L3DZone::SetSize(const L3DLocation* location, int32_t width, int32_t height, int32_t depth,
                      int show) {
    if (location != nullptr)
        SetAnglesAndPosition(0, 0, 0, location->position[0], location->position[1],
                             location->position[2]);
    const int32_t given[3] = {width, height, depth};
    bool changed = false;
    for (int k = 0; k < 3; ++k)
        if (given[k] != kKeep && uint32_t(given[k]) != size[k]) {
            size[k] = uint32_t(given[k]);
            changed = true;
        }
    if (changed) {
        const float x = float(size[0] >> 1), y = float(size[1] >> 1), z = float(size[2] >> 1);
        const MarkerPoint corners[] = {{-x, -y, -z}, {x, -y, -z}, {x, y, -z}, {-x, y, -z},
                                       {-x, -y, z},  {x, -y, z},  {x, y, z},  {-x, y, z}};
        const MarkerTriangle faces[] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7},
                                        {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5},
                                        {0, 1, 5}, {0, 5, 4}, {3, 7, 6}, {3, 6, 2}};
        BuildMarker("$Yix3D Mat$ Zone Material", 0xFFFF00, corners, faces);
        if (show != 0)
            Show();
        else
            Hide(1);
    }
    if ((changed || location != nullptr) && world != nullptr) world->cameras.NotifyAll(1);
}

void L3DZone::ShowBox(int on, int withChildren) {
    L3DObject::ShowBox(on != 0 && list != nullptr && list->zonesShown != 0 ? 1 : 0, withChildren);
}

void L3DZone::Show() {
    L3DObject::Show();
    ShowBox(1, 0);
}

bool L3DZone::ContainsPoint(const float* p) {
    if (angles[0] != cachedAngles[0] || angles[1] != cachedAngles[1] ||
        angles[2] != cachedAngles[2]) {
        MatrixInvert(localMatrix, inverse);
        for (int k = 0; k < 3; ++k)
            cachedAngles[k] = angles[k];
    }
    double d[3];
    for (int k = 0; k < 3; ++k)
        d[k] = double(p[k]) - position[k];
    for (int row = 0; row < 3; ++row) {
        const float* r = inverse + row * 4;
        const double local = r[0] * d[0] + r[1] * d[1] + r[2] * d[2];
        const double half = double(size[row] >> 1);
        if (!(local >= -half && local <= half)) return false;
    }
    return true;
}

LBase3DZone::~LBase3DZone() {
    RemoveZoneAt(-1, 1);
}

L3DZone* LBase3DZone::CreateZone(const L3DLocation* location, int32_t width, int32_t height,
                                 int32_t depth, int show, uint32_t flags) {
    auto* zone = new L3DZone(this, world, location, width, height, depth, show, flags);
    if (zone->IsVisible() != 0 && zonesShown == 0) zone->Hide(1);
    list.InsertAfter(zone, nullptr);
    return zone;
}

int LBase3DZone::AddZone(L3DZone* zone) {
    if (zone == nullptr) return 8;
    if (zone->IsVisible() != 0 && zonesShown == 0) zone->Hide(1);
    zone->list = this;
    list.InsertAfter(zone, nullptr);
    return 0;
}

int LBase3DZone::RemoveZone(L3DZone* zone, int destroy) {
    LListNode* node = list.FindNode(zone);
    if (node == nullptr) return 8;
    list.RemoveNode(node, 1);
    zone->list = nullptr;
    if (destroy != 0) delete zone;
    return 0;
}

int LBase3DZone::RemoveZoneAt(int32_t index, int destroy) {
    if (index == -1) {
        while (LListNode* node = list.GetHead())
            RemoveZone(ZoneOf(node), destroy);
        return 0;
    }
    L3DZone* zone = GetAt(index);
    return zone == nullptr ? 8 : RemoveZone(zone, destroy);
}

L3DZone* LBase3DZone::FindNextByName(const L3DZone* from, const char* name) const {
    for (LListNode* node = list.FindNode(from); node != nullptr && name != nullptr;
         node = node->next) {
        char text[256];
        ZoneOf(node)->GetName(text, sizeof text);
        if (platform::Cp1252EqualNoCase(text, name)) return ZoneOf(node);
    }
    return nullptr;
}

L3DZone* LBase3DZone::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? ZoneOf(node) : nullptr;
}

void LBase3DZone::UpdateForFrame(L3DCamera& camera) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        L3DZone* zone = ZoneOf(node);
        if (zone->parent != nullptr) continue;
        zone->Update(camera);
        zone->Render(camera);
    }
}

void LBase3DZone::PickAll(L3DCamera& camera, const float* point, L3DObject** best,
                          float* distance) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        ZoneOf(node)->PickAtScreenPoint(camera, point, best, distance);
}

int LBase3DZone::Save(ChunkWriter& writer, uint32_t) const {
    uint32_t saved = 0;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        saved += ZoneOf(node)->IsPersistent() != 0 ? 1 : 0;
    if (saved > 0xFFFF) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BZON"), 0);
    writer.WriteU16(uint16_t(saved));
    int failed = 0;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        const L3DZone* zone = ZoneOf(node);
        if (zone->IsPersistent() == 0) continue;
        for (uint32_t s : zone->size)
            writer.WriteU16(uint16_t(s));
        const char* name = zone->RawName();
        writer.WriteString(name != nullptr ? name : "");
        if (zone->SaveChunk(writer) == 0) failed = 1;
    }
    return writer.EndChunk(start) != 0 ? failed : 1;
}
