// What the savers of textures share: the name a world file gives a texture's image, and
// the copy of that image into the writer's texture folder.
#pragma once

#include <string_view>

class ChunkWriter;
class LTexture;

// The final name of a path written with any separator.
std::string_view TextureFilePart(std::string_view path);
// The image's final name, or the texture's name when it has no image file.
std::string_view TextureReference(const LTexture& texture);
// Copies the image into the writer's texture folder without overwriting; nothing without
// a folder or for an image given by a bare name.
void CopyTextureImage(const ChunkWriter& writer, LTexture& texture);
