#include "engine3d/scene/blobs/blob_list.h"

#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "platform/kernel/cp1252.h"

namespace {

// The other and its children, each when it shares no hierarchy with the blob.
void CollideWithTree(L3DCamera& camera, L3DObject& blob, L3DObject& other) {
    if (!L3DObject::IsAncestor(&blob, &other) && other.IsCollisionOn() != 0)
        blob.CollideWithObject(camera, other);
    for (LListNode* node = other.children != nullptr ? other.children->GetHead() : nullptr;
         node != nullptr; node = node->next)
        CollideWithTree(camera, blob, *static_cast<L3DObject*>(node->item));
}

} // namespace

LBase3DBlob::~LBase3DBlob() {
    RemoveBlobAt(-1, 1);
}

L3DBlob* LBase3DBlob::CreateBlob(const L3DLocation* location, const char* name, int32_t width,
                                 int32_t height, LMaterial* material, uint32_t flags) {
    auto* blob = new L3DBlob(this, world, name, flags);
    blob->SetSize(width, height, material);
    if (location != nullptr) blob->SetPositionFrom(*location);
    list.InsertAfter(blob, nullptr);
    if (blob->IsVisible() != 0 && blobsShown == 0) blob->Hide(1);
    return blob;
}

int LBase3DBlob::RemoveBlob(L3DBlob* blob, int destroy) {
    const int32_t index = list.IndexOf(blob);
    return index < 0 ? 11 : RemoveBlobAt(index, destroy);
}

int LBase3DBlob::RemoveBlobAt(int32_t index, int destroy) {
    if (index == -1) {
        while (LListNode* node = list.GetHead()) {
            auto* blob = static_cast<L3DBlob*>(node->item);
            list.RemoveNode(node, 1);
            blob->list = nullptr;
            if (destroy != 0) delete blob;
        }
        return 0;
    }
    L3DBlob* blob = GetAt(index);
    if (blob == nullptr) return 11;
    list.RemoveNode(list.FindNode(blob), 1);
    blob->list = nullptr;
    if (destroy != 0) delete blob;
    return 0;
}

L3DBlob* LBase3DBlob::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? static_cast<L3DBlob*>(node->item) : nullptr;
}

L3DBlob* LBase3DBlob::FindByName(const char* name) const {
    return list.GetHead() == nullptr
               ? nullptr
               : FindNextByName(static_cast<L3DBlob*>(list.GetHead()->item), name);
}

L3DBlob* LBase3DBlob::FindNextByName(const L3DBlob* from, const char* name) const {
    for (LListNode* node = list.FindNode(from); node != nullptr && name != nullptr;
         node = node->next) {
        auto* blob = static_cast<L3DBlob*>(node->item);
        char text[256];
        blob->GetName(text, sizeof text);
        if (platform::Cp1252EqualNoCase(text, name)) return blob;
    }
    return nullptr;
}

std::vector<L3DObject*> LBase3DBlob::Blobs() const {
    std::vector<L3DObject*> blobs;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        blobs.push_back(static_cast<L3DBlob*>(node->item));
    return blobs;
}

void LBase3DBlob::UpdateForFrame(L3DCamera& camera) {
    for (L3DObject* object : Blobs()) {
        auto* blob = static_cast<L3DBlob*>(object);
        blob->LookAt(camera, 0, blob->facing);
        if ((blob->L3DLocation::flags &
             (L3DLocation::kPositionChanged | L3DLocation::kRotationChanged)) != 0)
            blob->ComputeWorldTransform(camera);
        blob->SaveLastValidPosition();
    }
}

void LBase3DBlob::CollideAndUpdate(L3DCamera& camera, const LList& objects) {
    const std::vector<L3DObject*> blobs = Blobs();
    const auto process = [&](auto& self, L3DObject& object) -> void {
        if (object.IsCollisionOn() != 0) {
            for (L3DObject* other : blobs)
                if (other != &object) CollideWithTree(camera, object, *other);
            for (LListNode* node = objects.GetHead(); node != nullptr; node = node->next)
                CollideWithTree(camera, object, *static_cast<L3DObject*>(node->item));
            object.CollideWithPolygons(camera);
        }
        for (LListNode* node = object.children != nullptr ? object.children->GetHead() : nullptr;
             node != nullptr; node = node->next)
            self(self, *static_cast<L3DObject*>(node->item));
    };
    for (L3DObject* blob : blobs) {
        process(process, *blob);
        blob->Update(camera);
        blob->Render(camera);
    }
}

int LBase3DBlob::Save(ChunkWriter& writer, uint32_t) {
    uint32_t saved = 0;
    for (L3DObject* blob : Blobs())
        saved += blob->IsPersistent() != 0 ? 1 : 0;
    if (saved > 0xFFFF) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BBLO"), 0);
    writer.WriteU16(uint16_t(saved));
    int failed = 0;
    for (L3DObject* blob : Blobs())
        failed |= blob->Save(writer, 0x1EFE);
    return writer.EndChunk(start) != 0 ? failed : 1;
}
