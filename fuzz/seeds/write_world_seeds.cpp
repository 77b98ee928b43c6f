// Writes the seeds of the world-file fuzz target with the 3D scene's own writers: a world
// with every section the loader reads, children, clones, an animated object with key tracks
// of every kind, and an octree.
// Usage: fuzz_write_world_seeds REPOSITORY_ROOT   (writes fuzz/corpus/zyb_load/large_*)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine3d/files/binary_world_file.h"
#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/chunk_writer.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

fs::path corpus;
bool failed = false;

void Save(const std::string& name, const Bytes& bytes) {
    std::ofstream file(corpus / name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file) failed = true;
    std::printf("%-20s %-24s %8zu bytes\n", "zyb_load", name.c_str(), bytes.size());
}

// A grid of quads in the object's current frame.
void Grid(L3DObject& object, int n, float z, LMaterial* material) {
    LAPICLBK* device = object.world->GetAPI();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            LPolygon* quad = device->CreatePolygon(&object, 2, 0);
            quad->capacity = 4;
            const float x = float(i), y = float(j);
            quad->AddNewVertex(x, y, z, 0, 0, 0, 0);
            quad->AddNewVertex(x + 1, y, z, 1, 0, 1, 0);
            quad->AddNewVertex(x + 1, y + 1, z, 1, 1, 1, 1);
            quad->AddNewVertex(x, y + 1, z, 0, 1, 0, 1);
            object.AddPolygon(quad, 0);
            quad->SetMaterial(material);
        }
}

Bytes WorldBytes(L3DWorld& world) {
    MemoryByteSink sink;
    ChunkWriter writer(sink);
    LBinaryWorldFile file;
    if (file.WriteWorld(writer, world, zyb::kSaveDefault) != kResultOk) failed = true;
    return sink.Bytes();
}

// Worlds of every section the loader reads, with children, clones, an animated object,
// key tracks and an octree.
void Worlds() {
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0x0000FF, 0, nullptr);
    LMaterial* blue = world.materials.CreateMaterial("Blue", nullptr, 0xFF0000, 2, nullptr);
    world.CreateCamera(0)->SetFog(1, 0x102030, 0.2f, 0.8f, 0.5f);
    world.sounds.CreateSound("steps.wav", 0)->SetName("Steps");
    world.zones.CreateZone(nullptr, 10, 20, 30, 0, 0)->SetName("Door");
    const float at[3] = {1, 2, 3};
    world.lights->CreateLight(LBaseLight::kDynamicKind, at, 100, 200, 0x0A0B0C, 0);
    world.lights->CreateLight(LBaseLight::kStaticKind, at, 300, 50, 0x010203, 0);
    world.blobs.CreateBlob(nullptr, "Halo", 8, 6, red, 0);
    auto* wall = new L3DObject("Wall", &world, nullptr);
    Grid(*wall, 12, 0, blue);
    world.AddObject(wall, 0);
    wall->MakeStatic(1);
    auto* body = new L3DObject("Body", &world, nullptr);
    Grid(*body, 3, 1, red);
    world.AddObject(body, 0);
    auto* arm = new L3DObject("Arm", &world, nullptr);
    Grid(*arm, 2, 2, blue);
    arm->SetParent(body, 1);
    for (int i = 0; i < 3; ++i) {
        L3DLocation place(float(i) * 10, 5, 0);
        body->Clone(&place);
    }
    auto* walker = new L3DObject_Animation("Walker", &world, nullptr);
    Grid(*walker, 2, 0, red);
    walker->AddBase();
    walker->LMultiBasePoly::currentFrame = 1;
    Grid(*walker, 2, 1, blue);
    walker->LMultiBasePoly::currentFrame = 0;
    walker->Sequences()->SetSequence("Walk", 2, 0, 10, 1, 3, 2, 0);
    world.AddObject(walker, 0);
    for (int kind = 0; kind < kTrackKindCount; ++kind) {
        LKeyTrack* track = LKeyTrack::Create();
        walker->keyTracks->tracks[kind] = track;
        for (int frame : {0, 5, 10}) {
            LKey* key = LKeyTrack::CreateKey();
            key->value[0] = float(frame);
            key->value[1] = 1;
            if (kind == kTrackPointMoves) {
                const LPointMove move{1, {0.5f, 1, -1, 2, 3}};
                key->elements.SetSize(1);
                std::memcpy(key->elements.GetAt(0), &move, sizeof move);
                key->elementCount = 1;
            }
            AppendKey(track, key, frame);
        }
    }
    L3DLocation stride(0, 0, 50);
    walker->Clone(&stride);
    Save("large_world.zyb", WorldBytes(world));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_write_world_seeds REPOSITORY_ROOT\n");
        return 2;
    }
    corpus = fs::path(argv[1]) / "fuzz" / "corpus" / "zyb_load";
    fs::create_directories(corpus);
    Worlds();
    return failed ? 1 : 0;
}
