// What every reader and writer of the binary world file agrees on: the container, the
// format versions with the fields each added, the load and save masks, and the record of
// what a load read.
#pragma once

#include <cstdint>

#include "engine3d/scene/chunk_writer.h"

class ChunkReader;
struct LListNode;

namespace zyb {

// Integers that are the bit patterns of floats near 1.4; a reader takes every one below
// kVersionLimit (anything older than the first reads as the first) and writers write
// kVersionCurrent only.
inline constexpr uint32_t kVersionFirst = 0x3FB33333;
inline constexpr uint32_t kVersionCameraName = 0x3FB33334;
inline constexpr uint32_t kVersionKeyColour = 0x3FB33335;
inline constexpr uint32_t kVersionKeyValue = 0x3FB33336;
inline constexpr uint32_t kVersionCurrent = 0x3FB33337;
inline constexpr uint32_t kVersionLimit = 0x3FB33338;

// Fields absent from files older than the version that added them; readers then apply
// their defaults.
constexpr bool HasCameraName(uint32_t version) {
    return version >= kVersionCameraName;
}
constexpr bool HasShadowMode(uint32_t version) {
    return version >= kVersionCameraName;
}
constexpr bool HasKeyColour(uint32_t version) {
    return version >= kVersionKeyColour;
}
constexpr bool HasKeyValue(uint32_t version) {
    return version >= kVersionKeyValue;
}
constexpr bool HasSecondTexture(uint32_t version) {
    return version >= kVersionCurrent;
}
constexpr bool HasTextureWeight(uint32_t version) {
    return version >= kVersionCurrent;
}

// The load mask: which sections a load reads. A merge reads objects only.
inline constexpr uint32_t kLoadWorld = 0x02;
inline constexpr uint32_t kLoadCameras = 0x04;
inline constexpr uint32_t kLoadStaticObjects = 0x08;
inline constexpr uint32_t kLoadDynamicObjects = 0x10;
inline constexpr uint32_t kLoadSounds = 0x20;
inline constexpr uint32_t kLoadLights = 0x40;
inline constexpr uint32_t kLoadMaterials = 0x80;
inline constexpr uint32_t kLoadZones = 0x200;
inline constexpr uint32_t kLoadBlobs = 0x400;
inline constexpr uint32_t kLoadTextures = 0x800;
inline constexpr uint32_t kLoadMerge = kLoadStaticObjects | kLoadDynamicObjects;

// The save mask: the same bits as the load mask up to 0x80, different above.
inline constexpr uint32_t kSaveWorld = 0x02;
inline constexpr uint32_t kSaveCameras = 0x04;
inline constexpr uint32_t kSaveStaticObjects = 0x08;
inline constexpr uint32_t kSaveDynamicObjects = 0x10;
inline constexpr uint32_t kSaveSounds = 0x20;
inline constexpr uint32_t kSaveLights = 0x40;
inline constexpr uint32_t kSaveMaterials = 0x80;
inline constexpr uint32_t kSaveSprites = 0x100;
inline constexpr uint32_t kSaveTextureFolder = 0x200;
inline constexpr uint32_t kSaveZones = 0x400;
inline constexpr uint32_t kSaveBlobs = 0x800;
inline constexpr uint32_t kSaveTextures = 0x1000;
// Everything but the sprites: what a one-object save uses and a world save starts from.
inline constexpr uint32_t kSaveDefault = 0x1EFE;

inline constexpr uint32_t kTagContainer = ChunkTag("HZYB");

// Reads the container header at the stream's start: true with the version and the end of
// the sections for a file this reader knows. False for another first chunk, a version
// from kVersionLimit on, or a header cut short; the caller then leaves its world as it
// was. A container length reaching past the data ends the sections at the data's end.
bool ReadContainer(ChunkReader& reader, uint32_t& version, uint64_t& end);

// Writes the container's tag, placeholder length and the current version; the caller
// ends the chunk at the returned start once the sections are written.
uint32_t BeginContainer(ChunkWriter& writer);

// What one load read, per kind: how many, and the world-list node of the first one.
struct LoadStatistics {
    struct Entry {
        uint32_t count = 0;
        LListNode* first = nullptr;
    };
    Entry cameras;
    Entry staticLights;
    Entry dynamicLights;
    Entry staticObjects;
    Entry dynamicObjects;
    Entry materials;
    Entry sounds;
    Entry zones;
    Entry blobs;
};

} // namespace zyb
