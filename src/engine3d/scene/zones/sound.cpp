#include "engine3d/scene/zones/sound.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/float_to_int.h"
#include "platform/kernel/cp1252.h"

namespace {

L3DSound* SoundOf(const LListNode* node) {
    return static_cast<L3DSound*>(node->item);
}

} // namespace

L3DSound::L3DSound(const char* soundName, L3DWorld* world, uint32_t flags)
    : L3DObject("Sound_Object", world, nullptr),
      soundName_(soundName != nullptr ? std::string(soundName).substr(0, 255) : std::string()) {
    typeCode = kType;
    objectFlags |= flags | kDynamic;
    // A pyramid whose apex is the sound's place.
    const MarkerPoint points[] = {
        {0, 0, 0}, {-25, 25, -25}, {25, 25, -25}, {25, -25, -25}, {-25, -25, -25}};
    const MarkerTriangle sides[] = {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {0, 4, 1}};
    BuildMarker("$Yix3D Mat$ Sound Material", 0xFFFF, points, sides);
}

void L3DSound::ShowBox(int on, int withChildren) {
    if (on != 0 && (list == nullptr || list->soundsShown != 1)) return;
    L3DObject::ShowBox(on, withChildren);
}

void L3DSound::Show() {
    L3DObject::Show();
    ShowBox(1, 0);
}

L3DSound::~L3DSound() {
    if (list != nullptr) list->list.RemoveNode(list->list.FindNode(this), 1);
}

void L3DSound::GetSoundName(char* buffer, int size) const {
    if (buffer == nullptr || size <= 0) return;
    const size_t n = std::min(soundName_.size(), size_t(size) - 1);
    std::memcpy(buffer, soundName_.data(), n);
    buffer[n] = '\0';
}

void L3DSound::ComputeVolumeAndPan(const L3DCamera& camera) {
    if (list == nullptr) return;
    double d[3];
    for (int k = 0; k < 3; ++k)
        d[k] = double(position[k]) - camera.position[k];
    const double dist = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (dist == 0) {
        volume = list->maxVolume;
    } else {
        const double f = std::max(0.0, 1 - dist / list->range);
        volume = float((list->maxVolume - list->minVolume) * f + list->minVolume);
    }
    const float* m = camera.viewMatrix;
    const double x = d[0] * m[0] + d[1] * m[1] + d[2] * m[2];
    double z = d[0] * m[8] + d[1] * m[9] + d[2] * m[10];
    const double width = 2.0 * camera.halfWidth;
    double sx;
    if (z > -1 && z < 1) {
        // Beside the listener: all the way to the side of x; on the axis itself, centred.
        sx = x > 0 ? width : x < 0 ? 0 : camera.halfWidth;
        z = 0;
    } else {
        sx = x * camera.focalX / z + camera.halfWidth;
        if (z < 0) sx = -sx;
    }
    sx = std::clamp(std::isnan(sx) ? camera.halfWidth : sx, 0.0, width);
    pan = float((list->panRight - list->panLeft) * sx / width + list->panLeft);
    changed = 1;
}

LBaseSound::~LBaseSound() {
    RemoveSoundAt(-1, 1);
}

L3DSound* LBaseSound::CreateSound(const char* soundName, uint32_t flags) {
    auto* sound = new L3DSound(soundName, world, flags);
    sound->list = this;
    list.InsertAfter(sound, nullptr);
    if (sound->IsVisible() != 0 && soundsShown == 0)
        sound->Hide(1);
    else
        sound->ShowBox(1, 0);
    return sound;
}

int LBaseSound::RemoveSound(L3DSound* sound, int destroy) {
    LListNode* node = list.FindNode(sound);
    if (node == nullptr) return 9;
    list.RemoveNode(node, 1);
    sound->list = nullptr;
    if (destroy != 0) delete sound;
    return 0;
}

int LBaseSound::RemoveSoundAt(int32_t index, int destroy) {
    if (index == -1) {
        while (LListNode* node = list.GetHead())
            RemoveSound(SoundOf(node), destroy);
        return 0;
    }
    L3DSound* sound = GetAt(index);
    return sound == nullptr ? 9 : RemoveSound(sound, destroy);
}

L3DSound* LBaseSound::FindByName(const char* soundName) const {
    for (LListNode* node = list.GetHead(); node != nullptr && soundName != nullptr;
         node = node->next)
        if (platform::Cp1252EqualNoCase(SoundOf(node)->SoundName().c_str(), soundName))
            return SoundOf(node);
    return nullptr;
}

L3DSound* LBaseSound::FindNextByName(const L3DSound* from, const char* name) const {
    for (LListNode* node = list.FindNode(from); node != nullptr && name != nullptr;
         node = node->next) {
        char text[256];
        SoundOf(node)->GetName(text, sizeof text);
        if (platform::Cp1252EqualNoCase(text, name)) return SoundOf(node);
    }
    return nullptr;
}

L3DSound* LBaseSound::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? SoundOf(node) : nullptr;
}

void LBaseSound::UpdateAll(const L3DCamera& camera) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        SoundOf(node)->ComputeVolumeAndPan(camera);
}

void LBaseSound::UpdateForFrame(L3DCamera& camera) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        L3DSound* sound = SoundOf(node);
        if (sound->parent != nullptr) continue;
        sound->Update(camera);
        sound->Render(camera);
    }
}

void LBaseSound::PickAll(L3DCamera& camera, const float* point, L3DObject** best, float* distance) {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        SoundOf(node)->PickAtScreenPoint(camera, point, best, distance);
}

int LBaseSound::Save(ChunkWriter& writer, uint32_t) const {
    uint32_t saved = 0;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        saved += SoundOf(node)->IsPersistent() != 0 ? 1 : 0;
    if (saved > 0xFFFF) return 1;
    const uint32_t start = writer.BeginChunk(ChunkTag("BSOU"), 0);
    writer.WriteU16(uint16_t(saved));
    int failed = 0;
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next) {
        const L3DSound* sound = SoundOf(node);
        if (sound->IsPersistent() == 0) continue;
        writer.WriteString(sound->SoundName());
        // The low 16 bits, as the reader never uses them.
        writer.WriteU16(uint16_t(uint32_t(TruncateToInt32(sound->pan))));
        writer.WriteU16(uint16_t(uint32_t(TruncateToInt32(sound->volume))));
        const char* name = sound->RawName();
        writer.WriteString(name != nullptr ? name : "");
        if (sound->SaveChunk(writer) == 0) failed = 1;
    }
    return writer.EndChunk(start) != 0 ? failed : 1;
}
