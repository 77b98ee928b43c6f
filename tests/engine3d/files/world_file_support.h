// Worlds on the null back end for the binary world file's tests: a rich world built
// through the scene's own operations, a text that describes everything a file carries,
// and byte-built files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "support/temp_dir.h"

class L3DObject;
class LMaterial;

struct Corner {
    float x, y, z, u, v;
};

// A triangle or quad of new points (merged by value) in the object's current frame.
LPolygon* AddFace(L3DObject& object, std::initializer_list<Corner> corners,
                  LMaterial* material = nullptr);
// Writes a small 24-bit BMP at the Linux path.
void WriteBmp(const std::string& linuxPath, uint32_t w, uint32_t h);

// Cameras, sounds, zones, both kinds of light, materials of one and two layers, textures
// with key, offset, tiling, alpha and environment mapping, a blob, static objects in an
// octree, dynamic objects with children, an animated object with sequences, key tracks of
// all seven kinds, three clones and an animated clone, a hidden textured shadow, user
// values, a background with its material and culling off. The images are in `images`.
// Without textures the materials have none and there is no shadow or background, so that
// loading never searches the disk.
void BuildRichWorld(L3DWorld& world, const test_support::TempDir& dir, bool textures = true);

// Everything of the world a file carries, one item a line, in list order.
std::string Describe(const L3DWorld& world);

// Little-endian records and chunks laid out by hand.
class Bytes {
public:
    Bytes& U8(uint8_t v);
    Bytes& U16(uint16_t v);
    Bytes& U32(uint32_t v);
    Bytes& F32(float v);
    Bytes& Str(const std::string& text);
    Bytes& Tag(const char* tag);
    // A chunk's header with a length patched by End.
    Bytes& Begin(const char* tag);
    Bytes& End();
    // The container with a version, its length patched by End.
    Bytes& Container(uint32_t version);
    Bytes& Append(const std::vector<uint8_t>& more);
    const std::vector<uint8_t>& Data() const { return data_; }
    std::vector<uint8_t>& Data() { return data_; }

private:
    std::vector<uint8_t> data_;
    std::vector<size_t> open_;
};

class WorldFileTest : public ::testing::Test {
protected:
    // Saves with the mask and the texture folder "textures"; the file's bytes.
    std::vector<uint8_t> Save(L3DWorld& from, uint32_t mask, const char* file = "world.zyb");
    int Load(L3DWorld& into, const std::vector<uint8_t>& bytes, uint32_t mask,
             zyb::LoadStatistics* statistics = nullptr);
    L3DObject* Merge(L3DWorld& into, const std::vector<uint8_t>& bytes, const char* name);

    test_support::TempDir dir;
    LAPINull device;
    L3DWorld world{&device, 0, nullptr, nullptr};
    L3DWorld loaded{&device, 0, nullptr, nullptr};
};
