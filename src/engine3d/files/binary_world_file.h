// Reads a binary world file into a world under a load mask, merges the objects of one
// into a world, and writes a world or one object tree back. One instance serves one
// operation and borrows the world it is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine3d/files/zyb_format.h"
#include "foundation/containers/llist.h"
#include "foundation/memory/result_codes.h"

class CInStream;
class ChunkReader;
class ChunkWriter;
class L3DObject;
class L3DWorld;
class LMaterial;
class LTexture;
struct ChunkHeader;

class LBinaryWorldFile {
public:
    // A save that wrote its file but had to leave a record out (a count beyond its
    // field, a polygon without a record).
    static constexpr ResultCode kRecordSkipped = 1;
    // Child, octree and clone records nested deeper are skipped by their length.
    static constexpr int kMaxDepth = 256;

    LBinaryWorldFile();
    ~LBinaryWorldFile();
    LBinaryWorldFile(const LBinaryWorldFile&) = delete;
    LBinaryWorldFile& operator=(const LBinaryWorldFile&) = delete;

    // 1 read, 0 for a file that cannot be opened or is no world file of a known version
    // (the world is then unchanged). A file that stops early keeps what was read.
    int LoadWorldFile(const char* path, L3DWorld* world, uint32_t mask,
                      zyb::LoadStatistics* statistics);
    int LoadWorld(CInStream* stream, L3DWorld* world, uint32_t mask,
                  zyb::LoadStatistics* statistics);
    // Adds every object of the file; gives the first added object of that name (compared
    // without letter case), the first added object for an empty name, else null.
    L3DObject* MergeObjectsFile(const char* path, L3DWorld* world, const char* name);
    L3DObject* MergeObjects(CInStream* stream, L3DWorld* world, const char* name);

    // 0, the file's first failure (kResultCannotOpen when it cannot be created), or
    // kRecordSkipped. With save mask bit 0x200 and a folder, the folder is created and
    // the texture images are copied into it; the current directory is never changed.
    ResultCode SaveWorld(const char* path, L3DWorld* world, uint32_t mask, const char* folder);
    // The world's sections through a writer of the caller's: 0 or kRecordSkipped.
    ResultCode WriteWorld(ChunkWriter& writer, L3DWorld& world, uint32_t mask);
    // The materials and the object's records (children and clones with it).
    ResultCode SaveObject(const char* path, L3DWorld* world, L3DObject* object, const char* folder);

private:
    // How an object record is placed once read.
    enum class Placement { kStatic, kDynamic, kChild, kClone, kOctree };

    void WalkSections(uint64_t end);
    // The material states rebuilt and the planar materials checked.
    void Finish();

    // Sections.
    void ReadWorldSection(const ChunkHeader& header);
    void ReadBackground(const ChunkHeader& header);
    void ApplyBackground();
    void ReadCamera(const ChunkHeader& header);
    void ReadSounds(const ChunkHeader& header);
    void ReadZones(const ChunkHeader& header);
    void ReadWorldLight(const ChunkHeader& header);
    void ReadLights(const ChunkHeader& header);
    void ReadMaterials(const ChunkHeader& header);
    void ReadTextures(const ChunkHeader& header);
    void ReadBlobs(const ChunkHeader& header);
    void ReadCluster(const ChunkHeader& header);

    // Records shared by the sections.
    // The next chunk must be "OLOC"; false (the stream back on that chunk) otherwise.
    bool ReadLocationChunk(uint64_t end, L3DObject* object);
    void ReadLocation(L3DObject* object);
    struct TextureRecord {
        char file[260];
        char name[256];
        uint8_t keyOn, environment;
        uint32_t keyColor;
        uint8_t planar;
        float offset[2], tiling[2];
        uint8_t alpha;
        // The image's bits per pixel when it was saved.
        uint8_t depth;
    };
    void ReadTextureRecord(TextureRecord& record, bool inMaterial);
    // The texture of that name, else one loaded from the record's file, else (the image
    // not found) one that keeps the record's name and file without an image; null for none.
    LTexture* ResolveTexture(const TextureRecord& record);

    // Objects.
    struct PendingObject;
    // Gives the object read and placed, or null. A clone comes back unplaced, with what
    // is applied once its source is known in `cloneState`.
    L3DObject* ReadObject(const ChunkHeader& header, L3DObject* preset, L3DObject* parent,
                          Placement placement, int depth, PendingObject* cloneState);
    L3DObject* ReadAnimated(const ChunkHeader& header, L3DObject* parent, Placement placement,
                            int depth);
    void ReadOctreeNode(const ChunkHeader& header, L3DObject* parentNode, int depth);
    // One record of a list of objects: "OB3D", "OANI" or, with octrees allowed, "OCTR".
    // False for another tag.
    bool ReadObjectRecord(const ChunkHeader& header, L3DObject* parent, Placement placement,
                          int depth);
    void ReadMesh(L3DObject* object, uint64_t end);
    // One mesh frame: its points, then its polygons; false when the frame was cut short.
    bool ReadFrame(L3DObject* object, uint64_t end);
    void ReadMeshSequences(L3DObject* object, uint64_t end);
    void ReadKeyTracks(L3DObject* object, uint64_t end);
    void ReadShadow(PendingObject& pending, uint64_t end);
    void ApplyShadow(L3DObject* object, const PendingObject& pending);
    void ReadClones(L3DObject* source, const ChunkHeader& header, int depth);
    bool Place(L3DObject* object, L3DObject* parent, Placement placement);
    void Count(zyb::LoadStatistics::Entry zyb::LoadStatistics::*entry, LListNode* node);

    uint32_t version_ = 0;
    L3DWorld* world_ = nullptr;
    ChunkReader* reader_ = nullptr;
    uint32_t mask_ = 0;
    zyb::LoadStatistics* statistics_ = nullptr;
    LList planarMaterials_;
    struct Background {
        bool present = false;
        TextureRecord texture{};
        float tiling[2] = {};
        float scale[2] = {};
        std::vector<std::string> materials;
    } background_;
    std::vector<LMaterial*> materialTable_;
};
