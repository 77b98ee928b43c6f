// The world's textures: finds image files on disk, decodes them through the 2D library
// into textures the back end makes, and keeps use counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "foundation/containers/llist.h"

class ChunkWriter;
class L3DWorld;
class LTexture;
class TextureSearch;

// Gives a texture named in a world file its image in place of the file search; 1 when it
// did.
using TextureImageLoader = int (*)(void* context, LTexture* texture, const char* fileName);

class LBaseTexture {
public:
    static constexpr size_t kMaxPath = 260;

    // While a file loads, the folder walks of its image searches are kept, so that the
    // images it names that are missing walk each tree once; the trees are taken as
    // unchanged meanwhile.
    class LoadScope {
    public:
        explicit LoadScope(LBaseTexture& textures);
        ~LoadScope();
        LoadScope(const LoadScope&) = delete;
        LoadScope& operator=(const LoadScope&) = delete;

    private:
        LBaseTexture& textures_;
    };

    LBaseTexture();
    ~LBaseTexture();
    LBaseTexture(const LBaseTexture&) = delete;
    LBaseTexture& operator=(const LBaseTexture&) = delete;

    // Searches the search folder, then the current folder, each depth first, for the
    // name's file part; the current directory is never changed. Each walk goes at most four
    // folders below its start and reads at most 10,000 entries. 1 found.
    int FindTextureFile(const char* name, std::string& out) const;
    // The image loader first, when there is one; then the file searched for and decoded.
    LTexture* LoadTexture(const char* textureName, const char* fileName);
    // 1 decoded into the texture: by the image loader first, when there is one.
    int DecodeImage(LTexture* texture, const char* path);
    // 15 for null.
    int AddTexture(LTexture* texture);
    int RemoveTexture(LTexture* texture);
    int RemoveAt(int32_t i);
    LTexture* FindByName(const char* name) const;
    LTexture* FindNext(const LTexture* after, const char* name) const;
    LTexture* GetAt(int32_t i) const;
    void SetFolder(const char* folder);
    void ReleaseDeviceCopies();
    void ReloadAll();
    // "TEXT": every texture's record, its image copied into the writer's texture folder
    // when it has one; 0 written.
    int Save(ChunkWriter& writer, uint32_t flags) const;

    LList list;
    uint32_t count = 0;
    std::string folder;
    L3DWorld* world = nullptr;
    TextureImageLoader imageLoader = nullptr;
    void* imageLoaderContext = nullptr;

private:
    void DeleteTexture(LTexture* texture) const;
    bool SearchBelow(const std::string& start, const std::string& file, std::string& out) const;

    // The walks of the load under way, by start folder.
    mutable std::map<std::string, std::unique_ptr<TextureSearch>> searches_;
    int loads_ = 0;
};
