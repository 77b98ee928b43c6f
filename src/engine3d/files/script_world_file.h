// Reads a text world (the sectioned text format) into a world under a load mask, or
// merges one object tree of it. Sections are read in a fixed order, each found after the
// one before, so the order of the file's sections is part of its format. One instance
// serves one operation and borrows the world; destroying it hands every polygon still
// waiting for its material to that material.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine3d/files/zyb_format.h"

class CInStream;
class L3DObject;
class L3DOctreeNode;
class L3DWorld;
class LAnimationIK;
class LMaterial;
class LPolygon;
class LTexture;
class SectionFile;
struct LListNode;

class LScriptWorldFile {
public:
    // Dynamic objects, clones and octree children nested deeper are not read.
    static constexpr int kMaxDepth = 256;

    LScriptWorldFile();
    ~LScriptWorldFile();
    LScriptWorldFile(const LScriptWorldFile&) = delete;
    LScriptWorldFile& operator=(const LScriptWorldFile&) = delete;

    // 1 read; 0 for a file that cannot be opened or indexed, or of a version this reader
    // does not take (the world is then unchanged).
    int LoadWorldFile(const char* path, L3DWorld* world, uint32_t mask,
                      zyb::LoadStatistics* statistics);
    int LoadWorld(CInStream* stream, L3DWorld* world, uint32_t mask,
                  zyb::LoadStatistics* statistics);
    // Reads the materials and the objects of the tree named `name` (compared without
    // letter case), with their children and clones; gives the first object added of that
    // name, the first object added for an empty name, else null.
    L3DObject* MergeObjectsFile(const char* path, L3DWorld* world, const char* name);
    L3DObject* MergeObjects(CInStream* stream, L3DWorld* world, const char* name);

    // 1 with the version when the stream holds a "SCRIPT_INFORMATION" section whose
    // version this reader takes.
    static int IsYixStream(CInStream* stream, uint32_t* version);

private:
    struct MaterialRecord {
        LMaterial* material;
        std::vector<LPolygon*> waiting;
    };
    // Who an object read from the cluster belongs to.
    struct MergeFilter {
        bool active = false;
        std::vector<std::string> names;
    };

    // Indexes the stream and reads the version; false for an error or a later version.
    bool Open(CInStream* stream, L3DWorld* world);
    void Count(zyb::LoadStatistics::Entry zyb::LoadStatistics::*entry, LListNode* node);
    void AttachWaitingPolygons();

    // World sections.
    void ReadWorld();
    void ReadCameras();
    void ReadTextures();
    void ReadMaterials();
    void ReadLights();
    void ReadZones();
    void ReadSounds();
    void ReadBlobs();
    void ReadLocation(L3DObject* object);
    // A flag list: words joined by '|'; unknown words count nothing.
    uint32_t ReadFlags(const char* key, const char* fallback, int mode,
                       const std::pair<const char*, uint32_t>* words, size_t count);
    LTexture* ResolveTexture(const char* file, const char* name);
    // Finds the next "OBJECT" section and gives its type; false, until the next pass
    // begins, once there is none.
    bool NextObject(std::string& type);

    // Objects.
    void ReadCluster(const char* mergeName);
    void ReadOctreeNode(L3DOctreeNode* node, int depth);
    void ReadStatic(const std::string& type);
    L3DObject* ReadDynamic(const std::string& type, L3DObject* parent, int depth);
    void ReadClone(L3DObject* source, const std::string& type, int depth);
    // Passes over the clone and child sections that follow an object not read.
    void SkipTree(int depth);
    void ReadBases(L3DObject* object, bool everyBase);
    // The points and polygons of the object's current base.
    void ReadMesh(L3DObject* object);
    void ReadSequences(LAnimationIK* sequences, const char* prefix);
    void ReadTracks(L3DObject* object);
    void ReadShadow(L3DObject* object);
    void ApplyObjectFlags(L3DObject* object, uint32_t flags);
    bool Selected(const std::string& name, const std::string& parent);

    uint32_t version_ = 0;
    L3DWorld* world_ = nullptr;
    std::unique_ptr<SectionFile> document_;
    uint32_t cameraCount_ = 0;
    uint32_t mask_ = 0;
    zyb::LoadStatistics* statistics_ = nullptr;
    std::vector<MaterialRecord> materials_;
    std::vector<std::pair<std::string, std::string>> renames_;
    MergeFilter filter_;
    bool objectsEnded_ = false;
};
