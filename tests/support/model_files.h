// Small model files laid out byte by byte for the 3D file readers' tests, fuzz seeds and
// benchmarks: 3DS chunk trees and whole MD2 models.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// Little-endian values and 3DS chunks (u16 id, u32 length counting the 6-byte header),
// the lengths patched when a chunk ends.
class ChunkBytes {
public:
    ChunkBytes& U8(uint8_t v);
    ChunkBytes& U16(uint16_t v);
    ChunkBytes& U32(uint32_t v);
    ChunkBytes& F32(float v);
    // The text and its terminating 0.
    ChunkBytes& Str(const std::string& text);
    ChunkBytes& Begin(uint16_t id);
    ChunkBytes& End();
    // The main chunk, its version chunk and the editor chunk with its mesh version, so
    // that the byte at offset 28 is the version; the main and editor chunks stay open.
    ChunkBytes& Open3ds(uint8_t version = 3);
    // A named object holding a mesh of these points and faces (a, b, c), ending both.
    ChunkBytes& Mesh(const std::string& name, const std::vector<std::array<float, 3>>& points,
                     const std::vector<std::array<uint16_t, 3>>& faces);
    // Ends every chunk still open.
    ChunkBytes& CloseAll();

    const std::vector<uint8_t>& Data() const { return data_; }
    std::vector<uint8_t>& Data() { return data_; }

private:
    std::vector<uint8_t> data_;
    std::vector<size_t> open_;
};

struct Md2Frame {
    float scale[3] = {1, 1, 1};
    float translate[3] = {0, 0, 0};
    std::string name;
    // x, y, z of each vertex.
    std::vector<std::array<uint8_t, 3>> vertices;
};

struct Md2Model {
    int32_t skinWidth = 256, skinHeight = 256;
    std::vector<std::array<int16_t, 2>> texCoords;
    // Three vertex indices, then three texture-coordinate indices.
    std::vector<std::array<uint16_t, 6>> triangles;
    std::vector<Md2Frame> frames;
};

// The header, texture coordinates, triangles and frames, in that order.
std::vector<uint8_t> BuildMd2(const Md2Model& model);
// Offsets of the header's fields, for tests that spoil one.
inline constexpr size_t kMd2FrameSizeAt = 16;
inline constexpr size_t kMd2VertexCountAt = 24;
inline constexpr size_t kMd2TriangleCountAt = 32;
inline constexpr size_t kMd2FrameCountAt = 40;
inline constexpr size_t kMd2SkinWidthAt = 8;
inline constexpr size_t kMd2FrameOffsetAt = 56;

// A grid model of rows x columns quads as two triangles each, over `frames` frames in
// which every vertex moves: for benchmarks and seeds.
Md2Model GridMd2(int rows, int columns, int frames);
// A 3DS file with one grid mesh of rows x columns quads as two faces each.
std::vector<uint8_t> Grid3ds(int rows, int columns);

} // namespace test_support
