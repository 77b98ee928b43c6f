// Imports a chunked mesh file of the 3DS kind into a world: named meshes with their
// points, texture coordinates, local systems, faces and face material groups; materials
// (reused when the world has an equal one); lights; and the key-frame section, which
// makes an animated object holding the meshes in their hierarchy with their tracks.
// The file's y and z axes are exchanged throughout. One instance serves one load.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine3d/files/zyb_format.h"

class CInStream;
class ChunkReader;
class L3DObject;
class L3DObject_Animation;
class L3DPoint;
class L3DWorld;
class LMaterial;
class LPolygon;
class LTexture;
struct LKey;
struct LKeyTrack;

class L3dsFile {
public:
    // Node ids from this on get no table entry, and parent ids no parent.
    static constexpr uint32_t kNodeTableSize = 1024;
    // Names keep this many characters; the rest is skipped.
    static constexpr uint32_t kNameSize = 256;

    // Every object the import makes gets `ownerFlags` besides its own.
    explicit L3dsFile(uint32_t ownerFlags);
    ~L3dsFile();
    L3dsFile(const L3dsFile&) = delete;
    L3dsFile& operator=(const L3dsFile&) = delete;

    // The import name is the given one, else the file's base name. 0 when the file cannot
    // be opened.
    int LoadFile(L3DWorld* world, const char* path, const char* name,
                 zyb::LoadStatistics* statistics);
    // 1, or 0 when a read failed (the end of the data is no failure); objects already
    // made stay in the world. The stream stays the caller's.
    int Load(L3DWorld* world, CInStream* stream, const char* name, zyb::LoadStatistics* statistics);

private:
    struct Chunk {
        uint16_t id = 0;
        uint32_t length = 0;
        uint64_t start = 0;
        uint64_t end = 0;
    };
    // One mesh's file points, before they become the object's.
    struct WorkPoint {
        float x, y, z, u, v;
        bool hasUV;
        float normal[4];
        uint32_t faces;
    };
    struct MaterialShading {
        LMaterial* material;
        uint32_t shading;
    };

    // The next chunk of a level ending at parentEnd; false ends the level (no room for a
    // header, a failed read, a length below the header's or past the parent's end).
    bool NextChunk(uint64_t parentEnd, Chunk& chunk);
    // Up to kNameSize - 1 characters, terminated; the rest up to the 0 is skipped.
    void ReadName(char* name, uint64_t end);
    bool Failed() const;

    void ReadEditor(const Chunk& editor);
    void ReadNamedObject(const Chunk& object);
    void ReadMesh(const Chunk& mesh, const char* name);
    void ReadPoints(const Chunk& chunk);
    void ReadTexCoords(const Chunk& chunk);
    // Keeps the local system for the points and places the object by it.
    void ReadLocalSystem();
    // Adds the work points to the object through the local system, each with the number
    // of faces that use it.
    void AddPoints(const std::vector<int32_t>& uses);
    void ReadFaces(const Chunk& chunk);
    void ReadFaceMaterials(const Chunk& chunk, const std::vector<LPolygon*>& faces);
    void FinishMesh();

    void ReadMaterial(const Chunk& chunk);
    // The body of a colour chunk given as bytes or as fractions; false for another chunk
    // or a failed read.
    bool ReadColour(const Chunk& chunk, uint32_t& colour);
    uint32_t ShadingOf(const LMaterial* material) const;
    void ReadLight(const Chunk& chunk);

    void ReadKeyframer(const Chunk& section);
    void ReadObjectNode(const Chunk& node);
    void ReadNodeHeader(const Chunk& chunk);
    void ReadInstanceName(const Chunk& chunk);
    void ReadTrack(const Chunk& chunk);
    void ReadKeyHeader(LKey& key);
    L3DObject* FindImported(const char* name) const;
    L3DObject* MakeDummy();

    uint32_t ownerFlags_;
    L3DWorld* world_ = nullptr;
    ChunkReader* reader_ = nullptr;
    zyb::LoadStatistics* statistics_ = nullptr;
    std::string importName_;
    L3DObject* current_ = nullptr;
    std::vector<L3DObject*> objects_;

    std::vector<WorkPoint> points_;
    std::vector<L3DPoint*> made_;
    std::array<float, 9> rows_{};
    std::array<float, 3> origin_{};

    std::vector<std::pair<std::string, std::string>> renames_;
    std::vector<MaterialShading> shadings_;

    uint32_t keyframeCount_ = 0;
    L3DObject_Animation* root_ = nullptr;
    int32_t nodeId_ = -1;
    std::array<L3DObject*, kNodeTableSize> nodes_{};
};
