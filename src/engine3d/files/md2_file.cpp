// Model files come from outside: the header's counts and offsets are checked against the
// stream and the format's limits before anything is made, and triangles whose indices
// leave the tables are skipped.
#include "engine3d/files/md2_file.h"

#include <algorithm>
#include <cstring>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/files/path_split.h"
#include "engine3d/scene/key_track.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "foundation/streams/file_in_stream.h"

int CMD2File::LoadFile(L3DWorld* world, const char* path, const char* name,
                       zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (path == nullptr) return 0;
    CFileInStream stream;
    if (stream.OpenFile(path) != kResultOk) return 0;
    std::string base;
    if (name == nullptr || name[0] == '\0') SplitBaseName(path, base);
    return Load(world, &stream, name != nullptr && name[0] != '\0' ? name : base.c_str(),
                statistics);
}

int CMD2File::IsMd2Stream(CInStream* stream) {
    if (stream == nullptr) return 0;
    stream->Seek(0, 0);
    uint8_t bytes[kHeaderSize];
    if (stream->Read(bytes, kHeaderSize) != kResultOk) return 0;
    uint32_t ident = 0, version = 0;
    std::memcpy(&ident, bytes, 4);
    std::memcpy(&version, bytes + 4, 4);
    return ident == kIdent && version == uint32_t(kVersion) ? 1 : 0;
}

bool CMD2File::ReadHeader(ChunkReader& reader) {
    int32_t* fields = &header_.ident;
    for (uint32_t i = 0; i < kHeaderSize / 4; ++i) {
        uint32_t value = 0;
        reader.ReadU32(value);
        if (reader.LastResult() != kResultOk) return false;
        fields[i] = int32_t(value);
    }
    return true;
}

bool CMD2File::Fits(uint64_t length) const {
    const Header& h = header_;
    const bool counts = h.vertexCount >= 0 && h.vertexCount <= kMaxVertices &&
                        h.triangleCount >= 0 && h.triangleCount <= kMaxTriangles &&
                        h.frameCount >= 1 && h.frameCount <= kMaxFrames && h.texCoordCount >= 0 &&
                        h.frameSize >= kFrameHeaderSize + 4 * h.vertexCount;
    if (!counts || h.triangleOffset < 0 || h.texCoordOffset < 0 || h.frameOffset < 0) return false;
    return uint64_t(h.triangleOffset) + 12ull * uint64_t(h.triangleCount) <= length &&
           uint64_t(h.texCoordOffset) + 4ull * uint64_t(h.texCoordCount) <= length &&
           uint64_t(h.frameOffset) + uint64_t(h.frameSize) * uint64_t(h.frameCount) <= length;
}

bool CMD2File::ReadTriangles(ChunkReader& reader) {
    reader.SkipTo(uint32_t(header_.triangleOffset));
    triangles_.clear();
    for (int32_t i = 0; i < header_.triangleCount; ++i) {
        Triangle t{};
        for (uint16_t& v : t.vertex)
            reader.ReadU16(v);
        for (uint16_t& c : t.texCoord)
            reader.ReadU16(c);
        if (reader.LastResult() != kResultOk) return false;
        bool inside = true;
        for (int k = 0; k < 3; ++k)
            inside = inside && t.vertex[k] < header_.vertexCount &&
                     t.texCoord[k] < header_.texCoordCount;
        if (inside) triangles_.push_back(t);
    }
    return true;
}

bool CMD2File::ReadTexCoords(ChunkReader& reader) {
    reader.SkipTo(uint32_t(header_.texCoordOffset));
    // A skin of no width or height would divide by zero.
    const float across = 1.0f / float(std::max(header_.skinWidth, 1));
    const float down = -1.0f / float(std::max(header_.skinHeight, 1));
    texCoords_.clear();
    for (int32_t i = 0; i < header_.texCoordCount; ++i) {
        uint16_t s = 0, t = 0;
        reader.ReadU16(s);
        reader.ReadU16(t);
        if (reader.LastResult() != kResultOk) return false;
        texCoords_.push_back(float(int16_t(s)) * across);
        texCoords_.push_back(float(int16_t(t)) * down);
    }
    return true;
}

bool CMD2File::ReadFrames(ChunkReader& reader, std::vector<float>& positions, std::string& name) {
    const size_t vertices = size_t(header_.vertexCount);
    positions.assign(size_t(header_.frameCount) * vertices * 3, 0.0f);
    std::vector<uint8_t> packed(vertices * 4);
    for (int32_t f = 0; f < header_.frameCount; ++f) {
        reader.SkipTo(uint64_t(header_.frameOffset) + uint64_t(f) * uint64_t(header_.frameSize));
        float scale[3], translate[3];
        reader.ReadVector(scale[0], scale[1], scale[2]);
        reader.ReadVector(translate[0], translate[1], translate[2]);
        char frameName[17] = {};
        for (int i = 0; i < 16; ++i) {
            uint8_t c = 0;
            reader.ReadU8(c);
            frameName[i] = char(c);
        }
        for (uint8_t& byte : packed)
            reader.ReadU8(byte);
        if (reader.LastResult() != kResultOk) return false;
        if (f == 0) name = frameName;
        float* out = positions.data() + size_t(f) * vertices * 3;
        for (size_t v = 0; v < vertices; ++v) {
            const uint8_t* p = &packed[v * 4];
            const float x = float(p[0]) * scale[0] + translate[0];
            const float y = float(p[1]) * scale[1] + translate[1];
            const float z = float(p[2]) * scale[2] + translate[2];
            out[v * 3] = x;
            out[v * 3 + 1] = z;
            out[v * 3 + 2] = y;
        }
    }
    return true;
}

void CMD2File::BuildMesh(L3DObject& mesh, const float* positions) {
    const size_t vertices = size_t(header_.vertexCount);
    // Each vertex takes the texture coordinates of the last corner that uses it.
    std::vector<float> uv(vertices * 2, 0.0f);
    std::vector<int32_t> uses(vertices, 0);
    for (const Triangle& t : triangles_)
        for (int k = 0; k < 3; ++k) {
            uv[t.vertex[k] * 2u] = texCoords_[t.texCoord[k] * 2u];
            uv[t.vertex[k] * 2u + 1] = texCoords_[t.texCoord[k] * 2u + 1];
            ++uses[t.vertex[k]];
        }
    LBasePoint* list = mesh.GetCurrentPointList();
    if (list == nullptr) return;
    const bool merging = list->IsMerging();
    list->DisableMerging();
    std::vector<L3DPoint*> points(vertices, nullptr);
    for (size_t v = 0; v < vertices; ++v) {
        const float* p = &positions[v * 3];
        points[v] = list->AddPoint(p[0], p[1], p[2], uv[v * 2], uv[v * 2 + 1], uv[v * 2],
                                   uv[v * 2 + 1], uses[v]);
    }
    if (merging) list->EnableMerging();

    LAPICLBK* device = world_->GetAPI();
    if (device == nullptr) return;
    bool added = false;
    for (const Triangle& t : triangles_) {
        if (points[t.vertex[0]] == nullptr || points[t.vertex[1]] == nullptr ||
            points[t.vertex[2]] == nullptr)
            continue;
        LPolygon* polygon = device->CreatePolygon(&mesh, 2, 0);
        if (polygon == nullptr) continue;
        polygon->capacity = 3;
        for (int k = 0; k < 3; ++k)
            polygon->AppendVertex(points[t.vertex[k]]);
        for (int k = 0; k < 3; ++k) {
            const float* c = &texCoords_[t.texCoord[k] * 2u];
            polygon->SetUV(k, c[0], c[1]);
            polygon->SetUV2(k, c[0], c[1]);
        }
        if (mesh.AddPolygonOfMany(polygon) == kSceneOk)
            added = true;
        else
            device->DeletePolygon(polygon);
    }
    if (added) mesh.RefreshShape();
}

void CMD2File::BuildTrack(L3DObject& mesh, const std::vector<float>& positions) {
    const size_t vertices = size_t(header_.vertexCount);
    const size_t frames = size_t(header_.frameCount);
    std::vector<bool> moving(vertices, false);
    for (size_t f = 1; f < frames; ++f)
        for (size_t v = 0; v < vertices; ++v)
            if (!std::equal(&positions[v * 3], &positions[v * 3] + 3,
                            &positions[(f * vertices + v) * 3]))
                moving[v] = true;
    LBasePoint* list = mesh.GetCurrentPointList();
    LKeyTrack* track = LKeyTrack::Create();
    for (size_t f = 0; f < frames; ++f) {
        LKey* key = LKeyTrack::CreateKey();
        for (size_t v = 0; v < vertices; ++v) {
            if (!moving[v]) continue;
            LPointMove move{uint32_t(v), {}};
            std::copy_n(&positions[(f * vertices + v) * 3], 3, move.values);
            // A move also sets the point's texture pair: it keeps the one it has.
            const L3DPoint* point = list != nullptr ? list->GetPoint(int32_t(v)) : nullptr;
            if (point != nullptr) {
                move.values[3] = point->texture[0];
                move.values[4] = point->texture[1];
            }
            const int32_t slot = key->elements.GetCount();
            if (key->elements.SetSize(slot + 1) < 0) break;
            std::memcpy(key->elements.GetAt(slot), &move, sizeof move);
        }
        key->elementCount = uint32_t(key->elements.GetCount());
        AppendKey(track, key, int32_t(f));
    }
    if (mesh.keyTracks == nullptr) mesh.keyTracks = std::make_unique<LKeyTrackSet>();
    LKeyTrackSet& set = *mesh.keyTracks;
    if (set.tracks[kTrackPointMoves] != nullptr) {
        auto* old = new LKeyTrackSet;
        old->tracks[0] = set.tracks[kTrackPointMoves];
        DestroySet(old);
    }
    set.tracks[kTrackPointMoves] = track;
}

int CMD2File::Load(L3DWorld* world, CInStream* stream, const char* name,
                   zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (world == nullptr || stream == nullptr) return 0;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    world_ = world;
    ChunkReader reader(*stream);
    reader.SkipTo(0);
    if (!ReadHeader(reader) || !Fits(reader.Length())) return 0;
    if (!ReadTriangles(reader) || !ReadTexCoords(reader)) return 0;
    std::vector<float> positions;
    std::string frameName;
    if (!ReadFrames(reader, positions, frameName)) return 0;

    const char* objectName = name != nullptr ? name : "Object";
    auto* mesh = new L3DObject(objectName, world, nullptr);
    world->AddObject(mesh, 0);
    L3DObject_Animation* animated = nullptr;
    if (header_.frameCount > 1) {
        animated = new L3DObject_Animation(objectName, world, nullptr);
        mesh->SetParent(animated, 1);
        animated->Sequences()->SetSequence("Main", 0, 0, header_.frameCount - 1, 0, 0, 0, 0);
        animated->SetName(frameName.c_str());
    }
    mesh->SetName(frameName.c_str());
    BuildMesh(*mesh, positions.data());
    BuildTrack(*mesh, positions);
    mesh->SetPolygonMaterial(-1, world->GetDefaultMaterial());
    L3DObject* top = mesh;
    if (animated != nullptr) {
        animated->Sequences()->SetFrame(0);
        world->AddObject(animated, 0);
        top = animated;
    }
    if (statistics != nullptr) {
        statistics->dynamicObjects.count = 1;
        statistics->dynamicObjects.first = world->objects.FindNode(top);
    }
    world->InvalidateMaterials();
    return 1;
}
