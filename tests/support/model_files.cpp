#include "support/model_files.h"

#include <algorithm>
#include <cstring>

namespace test_support {

ChunkBytes& ChunkBytes::U8(uint8_t v) {
    data_.push_back(v);
    return *this;
}

ChunkBytes& ChunkBytes::U16(uint16_t v) {
    return U8(uint8_t(v)).U8(uint8_t(v >> 8));
}

ChunkBytes& ChunkBytes::U32(uint32_t v) {
    return U16(uint16_t(v)).U16(uint16_t(v >> 16));
}

ChunkBytes& ChunkBytes::F32(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}

ChunkBytes& ChunkBytes::Str(const std::string& text) {
    data_.insert(data_.end(), text.begin(), text.end());
    return U8(0);
}

ChunkBytes& ChunkBytes::Begin(uint16_t id) {
    open_.push_back(data_.size());
    return U16(id).U32(0);
}

ChunkBytes& ChunkBytes::End() {
    const size_t start = open_.back();
    open_.pop_back();
    const uint32_t length = uint32_t(data_.size() - start);
    for (int i = 0; i < 4; ++i)
        data_[start + 2 + size_t(i)] = uint8_t(length >> (8 * i));
    return *this;
}

ChunkBytes& ChunkBytes::Open3ds(uint8_t version) {
    Begin(0x4D4D).Begin(0x0002).U32(3).End();
    return Begin(0x3D3D).Begin(0x3D3E).U32(version).End();
}

ChunkBytes& ChunkBytes::Mesh(const std::string& name,
                             const std::vector<std::array<float, 3>>& points,
                             const std::vector<std::array<uint16_t, 3>>& faces) {
    Begin(0x4000).Str(name).Begin(0x4100);
    Begin(0x4110).U16(uint16_t(points.size()));
    for (const auto& p : points)
        F32(p[0]).F32(p[1]).F32(p[2]);
    End();
    Begin(0x4120).U16(uint16_t(faces.size()));
    for (const auto& f : faces)
        U16(f[0]).U16(f[1]).U16(f[2]).U16(7);
    End();
    return End().End();
}

ChunkBytes& ChunkBytes::CloseAll() {
    while (!open_.empty())
        End();
    return *this;
}

std::vector<uint8_t> BuildMd2(const Md2Model& model) {
    ChunkBytes b;
    const uint32_t vertices = model.frames.empty() ? 0 : uint32_t(model.frames[0].vertices.size());
    const uint32_t frameSize = 40 + 4 * vertices;
    const uint32_t texAt = 68;
    const uint32_t triAt = texAt + 4 * uint32_t(model.texCoords.size());
    const uint32_t frameAt = triAt + 12 * uint32_t(model.triangles.size());
    // The GL command list after the frames is empty; other readers want a few bytes
    // behind every table, so a terminating 0 follows.
    const uint32_t commandsAt = frameAt + frameSize * uint32_t(model.frames.size());
    const uint32_t end = commandsAt;
    b.U32(0x32504449).U32(8).U32(uint32_t(model.skinWidth)).U32(uint32_t(model.skinHeight));
    b.U32(frameSize).U32(0).U32(vertices).U32(uint32_t(model.texCoords.size()));
    b.U32(uint32_t(model.triangles.size())).U32(0).U32(uint32_t(model.frames.size()));
    // There are no skins: their table is empty, right behind the header.
    b.U32(texAt).U32(texAt).U32(triAt).U32(frameAt).U32(commandsAt).U32(end);
    for (const auto& t : model.texCoords)
        b.U16(uint16_t(t[0])).U16(uint16_t(t[1]));
    for (const auto& t : model.triangles)
        for (uint16_t v : t)
            b.U16(v);
    for (const Md2Frame& f : model.frames) {
        for (float v : f.scale)
            b.F32(v);
        for (float v : f.translate)
            b.F32(v);
        char name[16] = {};
        std::memcpy(name, f.name.data(), std::min<size_t>(f.name.size(), 15));
        for (char c : name)
            b.U8(uint8_t(c));
        for (uint32_t v = 0; v < vertices; ++v) {
            const auto& p = v < f.vertices.size() ? f.vertices[v] : std::array<uint8_t, 3>{};
            b.U8(p[0]).U8(p[1]).U8(p[2]).U8(0);
        }
    }
    b.U32(0);
    return b.Data();
}

Md2Model GridMd2(int rows, int columns, int frames) {
    Md2Model model;
    const int across = columns + 1;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x < across; ++x)
            model.texCoords.push_back({int16_t(x * 4), int16_t(y * 4)});
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const uint16_t a = uint16_t(y * across + x), b = uint16_t(a + 1),
                           c = uint16_t(a + across), d = uint16_t(c + 1);
            model.triangles.push_back({a, b, c, a, b, c});
            model.triangles.push_back({b, d, c, b, d, c});
        }
    for (int f = 0; f < frames; ++f) {
        Md2Frame frame;
        frame.name = "grid" + std::to_string(f);
        for (int y = 0; y <= rows; ++y)
            for (int x = 0; x < across; ++x)
                frame.vertices.push_back({uint8_t(x), uint8_t(y), uint8_t((x + y + f) % 256)});
        model.frames.push_back(frame);
    }
    return model;
}

std::vector<uint8_t> Grid3ds(int rows, int columns) {
    std::vector<std::array<float, 3>> points;
    std::vector<std::array<uint16_t, 3>> faces;
    const int across = columns + 1;
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x < across; ++x)
            points.push_back({float(x), float(y), float((x * y) % 7)});
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const uint16_t a = uint16_t(y * across + x), b = uint16_t(a + 1),
                           c = uint16_t(a + across), d = uint16_t(c + 1);
            faces.push_back({a, b, c});
            faces.push_back({b, d, c});
        }
    ChunkBytes bytes;
    bytes.Open3ds().Mesh("Grid", points, faces);
    return bytes.CloseAll().Data();
}

} // namespace test_support
