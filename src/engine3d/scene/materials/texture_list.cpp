#include "engine3d/scene/materials/texture_list.h"

#include <cstdlib>
#include <cstring>

#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/materials/texture_search.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "graphics2d/formats/image_file_manager.h"
#include "platform/files/files.h"
#include "platform/kernel/cp1252.h"

namespace {

LTexture* TextureOf(const LListNode* node) {
    return static_cast<LTexture*>(node->item);
}

std::string WithoutTrailingBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

} // namespace

LBaseTexture::LBaseTexture() = default;

LBaseTexture::~LBaseTexture() = default;

int LBaseTexture::FindTextureFile(const char* name, std::string& out) const {
    if (name == nullptr || name[0] == 0) return 0;
    const char* file = name;
    for (const char* c = name; *c != 0; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') file = c + 1;
    if (*file == 0) return 0;
    char current[kMaxPath] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    const std::string here =
        WithoutTrailingBackslash(length > 0 && length < kMaxPath ? current : ".");
    const std::string searchFolder = WithoutTrailingBackslash(folder);
    if (!searchFolder.empty() && SearchBelow(searchFolder, file, out)) return 1;
    return SearchBelow(here, file, out) ? 1 : 0;
}

bool LBaseTexture::SearchBelow(const std::string& start, const std::string& file,
                               std::string& out) const {
    if (loads_ == 0) return TextureSearch(start).Find(file, out);
    std::unique_ptr<TextureSearch>& search = searches_[start];
    if (search == nullptr || !search->Fits(file.size()))
        search = std::make_unique<TextureSearch>(start);
    return search->Find(file, out);
}

LBaseTexture::LoadScope::LoadScope(LBaseTexture& textures) : textures_(textures) {
    ++textures_.loads_;
}

LBaseTexture::LoadScope::~LoadScope() {
    if (--textures_.loads_ == 0) textures_.searches_.clear();
}

void LBaseTexture::DeleteTexture(LTexture* texture) const {
    // No material may keep drawing from a freed image.
    if (world != nullptr) world->materials.DropTexture(texture);
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device != nullptr)
        device->DeleteTexture(texture);
    else
        delete texture;
}

int LBaseTexture::DecodeImage(LTexture* texture, const char* path) {
    if (imageLoader != nullptr && path != nullptr &&
        imageLoader(imageLoaderContext, texture, path) == 1) {
        texture->ReleaseDeviceCopy();
        if (world != nullptr) world->materials.OnTextureRemoved(texture);
        return 1;
    }
    texture->SetFileName(path);
    int result = 0;
    ImageFile* image = world != nullptr ? world->GetImageFile() : nullptr;
    if (image != nullptr && image->OpenFile(path) == 0) {
        const int32_t w = image->GetWidth();
        const int32_t h = image->GetHeight();
        const uint32_t depth = texture->GetBitsPerPixel();
        const uint64_t pitch =
            (uint64_t((depth + 7) / 8) * uint64_t(std::max(w, 0)) + 3) & ~uint64_t(3);
        if (w > 0 && h > 0 && uint32_t(w) <= LTexture::kMaxSide &&
            uint32_t(h) <= LTexture::kMaxSide) {
            uint8_t* alpha = nullptr;
            if (image->HasAlpha() != 0) {
                alpha = static_cast<uint8_t*>(std::malloc(size_t(w) * size_t(h)));
                if (alpha != nullptr) std::memset(alpha, 255, size_t(w) * size_t(h));
            }
            auto* pixels = static_cast<uint8_t*>(std::malloc(size_t(pitch) * size_t(h)));
            const ImagePalette* palette = nullptr;
            if (pixels != nullptr &&
                image->ReadFrame(pixels, w, h, int32_t(pitch), int(depth), palette, alpha) == 0) {
                result = texture->SetImage(pixels, uint32_t(pitch), alpha,
                                           alpha != nullptr ? uint32_t(w) : 0, uint32_t(w),
                                           uint32_t(h), 1, depth, nullptr);
            } else {
                std::free(pixels);
                std::free(alpha);
            }
        }
        image->Close();
    }
    texture->ReleaseDeviceCopy();
    if (world != nullptr) world->materials.OnTextureRemoved(texture);
    return result;
}

LTexture* LBaseTexture::LoadTexture(const char* textureName, const char* fileName) {
    std::string path;
    LAPICLBK* device = world != nullptr ? world->GetAPI() : nullptr;
    if (device == nullptr) return nullptr;
    if (imageLoader != nullptr && fileName != nullptr) {
        LTexture* texture = device->CreateTexture(world, textureName, nullptr);
        if (texture != nullptr && imageLoader(imageLoaderContext, texture, fileName) == 1) {
            texture->ReleaseDeviceCopy();
            AddTexture(texture);
            return texture;
        }
        if (texture != nullptr) DeleteTexture(texture);
    }
    if (FindTextureFile(fileName, path) == 0) return nullptr;
    LTexture* texture = device->CreateTexture(world, textureName, nullptr);
    if (texture == nullptr) return nullptr;
    if (DecodeImage(texture, path.c_str()) != 1) {
        DeleteTexture(texture);
        return nullptr;
    }
    AddTexture(texture);
    return texture;
}

int LBaseTexture::AddTexture(LTexture* texture) {
    if (texture == nullptr) return kSceneTextureMissing;
    list.InsertAfter(texture, list.GetHead());
    ++count;
    return kSceneOk;
}

int LBaseTexture::RemoveTexture(LTexture* texture) {
    LListNode* node = texture != nullptr ? list.FindNode(texture) : nullptr;
    if (node == nullptr) return kSceneTextureMissing;
    if (list.RemoveNode(node, 0) == 0) return kSceneOk;
    --count;
    DeleteTexture(texture);
    return kSceneOk;
}

int LBaseTexture::RemoveAt(int32_t i) {
    if (i == -1) {
        while (LListNode* node = list.GetHead()) {
            LTexture* texture = TextureOf(node);
            list.RemoveNode(node, 1);
            DeleteTexture(texture);
        }
        count = 0;
        return kSceneOk;
    }
    LTexture* texture = GetAt(i);
    return texture == nullptr ? kSceneTextureMissing : RemoveTexture(texture);
}

LTexture* LBaseTexture::FindByName(const char* name) const {
    for (LListNode* node = list.GetHead(); node != nullptr && name != nullptr; node = node->next)
        if (platform::Cp1252EqualNoCase(TextureOf(node)->Name(), name)) return TextureOf(node);
    return nullptr;
}

LTexture* LBaseTexture::FindNext(const LTexture* after, const char* name) const {
    LListNode* node = list.FindNode(after);
    for (node = node != nullptr ? node->next : nullptr; node != nullptr && name != nullptr;
         node = node->next)
        if (platform::Cp1252EqualNoCase(TextureOf(node)->Name(), name)) return TextureOf(node);
    return nullptr;
}

LTexture* LBaseTexture::GetAt(int32_t i) const {
    LListNode* node = i >= 0 ? list.GetNodeAt(uint32_t(i)) : nullptr;
    return node != nullptr ? TextureOf(node) : nullptr;
}

void LBaseTexture::SetFolder(const char* path) {
    folder.assign(path != nullptr ? path : "");
    if (folder.size() > 255) folder.resize(255);
}

void LBaseTexture::ReleaseDeviceCopies() {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        TextureOf(node)->ReleaseDeviceCopy();
}

void LBaseTexture::ReloadAll() {
    for (LListNode* node = list.GetHead(); node != nullptr; node = node->next)
        TextureOf(node)->Reload();
}
