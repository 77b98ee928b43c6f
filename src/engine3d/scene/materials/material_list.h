// The world's materials: the default material first, then the others from the newest to
// the oldest, and the default shadow material (added second) last.
#pragma once

#include <cstdint>

#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DWorld;
class LCLBKObject;
class LMaterial;
class LTexture;

class LBaseMaterial {
public:
    LBaseMaterial() = default;
    LBaseMaterial(const LBaseMaterial&) = delete;
    LBaseMaterial& operator=(const LBaseMaterial&) = delete;

    // 16 for null.
    int AddMaterial(LMaterial* m);
    LMaterial* CreateMaterial(const char* name, LTexture* texture, uint32_t colour,
                              int32_t reflectionType, LCLBKObject* link);
    // 0 and nothing done while the material has polygons; 16 when not listed.
    int RemoveMaterial(LMaterial* m);
    // -1 removes every material; the built-in ones are only unlinked.
    int RemoveAt(int32_t i);
    LMaterial* FindByName(const char* name) const;
    LMaterial* FindNext(const LMaterial* after, const char* name) const;
    int32_t IndexOf(const LMaterial* m) const { return list.IndexOf(m); }
    LMaterial* GetAt(int32_t i) const;
    // A name no material has yet: the name, or the name with " - n" for the first free n.
    void MakeUniqueName(char* out, const char* name, int size) const;
    int OnTextureRemoved(const LTexture* texture);
    // The texture is leaving the world: every slot holding it is emptied, and those
    // materials prepare their polygons again.
    void DropTexture(const LTexture* texture);
    void ResetAll();
    // Chunk "BMAT"; 0 written.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    LList list;
    uint32_t count = 0;
    L3DWorld* world = nullptr;

private:
    bool IsBuiltIn(const LMaterial* m) const;
};
