// The file walk and the editor data of a 3DS file: meshes, materials and lights. Every
// byte comes from outside: a chunk that is shorter than its header or reaches past its
// parent ends its level, counts are capped by the bytes their chunk holds, and indices
// never address a point or face that was not made.
#include "engine3d/files/l3ds_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine3d/files/chunk_reader.h"
#include "engine3d/files/path_split.h"
#include "engine3d/scene/float_to_int.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/matrix.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/device.h"
#include "engine3d/scene/scene_codes.h"
#include "foundation/streams/file_in_stream.h"
#include "platform/kernel/cp1252.h"

namespace {

constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kKeyframer = 0xB000;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kMesh = 0x4100;
constexpr uint16_t kHidden = 0x4010;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kPoints = 0x4110;
constexpr uint16_t kTexCoords = 0x4140;
constexpr uint16_t kLocalSystem = 0x4160;
constexpr uint16_t kFaces = 0x4120;
constexpr uint16_t kFaceMaterials = 0x4130;
constexpr uint16_t kColourFloats = 0x0010;
constexpr uint16_t kColourBytes = 0x0011;
constexpr uint16_t kPercentInt = 0x0030;
constexpr uint16_t kPercentFloat = 0x0031;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kWire = 0xA085;
constexpr uint16_t kShading = 0xA100;
constexpr uint16_t kTextureMap = 0xA200;
constexpr uint16_t kMapFile = 0xA300;
constexpr uint16_t kMapTilingX = 0xA354;
constexpr uint16_t kMapTilingY = 0xA356;
constexpr uint16_t kMapOffsetX = 0xA358;
constexpr uint16_t kMapOffsetY = 0xA35A;
constexpr uint16_t kLightMultiplier = 0x465B;

constexpr uint32_t kHeaderSize = 6;
// The shading word: one bit per shading value of the file (wire, flat, Gouraud, Phong,
// metal), the wire bit also set by the wire chunk.
constexpr uint32_t kShadingWire = 0x1;
constexpr uint32_t kShadingFlat = 0x2;
constexpr uint32_t kShadingGouraud = 0x4;
constexpr uint32_t kShadingPhong = 0x8;
constexpr uint32_t kShadingMetal = 0x10;
constexpr float kGeneratedScale = 0.4878049f;

float Snap(float value) {
    return std::fabs(value) < 0.001f ? 0.0f : value;
}

// A colour component given as a fraction.
uint32_t ByteOf(float fraction) {
    const float scaled = fraction * 255.0f;
    if (!(scaled > 0.0f)) return 0;
    return scaled >= 255.0f ? 255u : uint32_t(scaled);
}

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}

} // namespace

L3dsFile::L3dsFile(uint32_t ownerFlags) : ownerFlags_(ownerFlags) {}

L3dsFile::~L3dsFile() = default;

int L3dsFile::LoadFile(L3DWorld* world, const char* path, const char* name,
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

bool L3dsFile::Failed() const {
    const ResultCode result = reader_->LastResult();
    return result != kResultOk && result != kResultEndOfData;
}

bool L3dsFile::NextChunk(uint64_t parentEnd, Chunk& chunk) {
    ChunkReader& r = *reader_;
    if (r.BytesLeft(parentEnd) < kHeaderSize) return false;
    chunk.start = r.Position();
    r.ReadU16(chunk.id);
    r.ReadU32(chunk.length);
    if (r.LastResult() != kResultOk) return false;
    chunk.end = chunk.start + chunk.length;
    // A short length would put the next header back onto this one for ever.
    return chunk.length >= kHeaderSize && chunk.end <= parentEnd;
}

void L3dsFile::ReadName(char* name, uint64_t end) {
    ChunkReader& r = *reader_;
    uint32_t n = 0;
    while (r.BytesLeft(end) > 0) {
        uint8_t c = 0;
        r.ReadU8(c);
        if (r.LastResult() != kResultOk || c == 0) break;
        if (n + 1 < kNameSize) name[n++] = char(c);
    }
    name[n] = '\0';
}

int L3dsFile::Load(L3DWorld* world, CInStream* stream, const char* name,
                   zyb::LoadStatistics* statistics) {
    if (statistics != nullptr) *statistics = {};
    if (world == nullptr || stream == nullptr) return 0;
    const LBaseTexture::LoadScope imageSearches(world->textures);
    ChunkReader reader(*stream);
    reader_ = &reader;
    world_ = world;
    statistics_ = statistics;
    importName_ = name != nullptr ? name : "";
    keyframeCount_ = 0;
    reader.SkipTo(0);
    uint16_t magic = 0;
    reader.ReadU16(magic);
    if (reader.LastResult() != kResultOk) {
        reader_ = nullptr;
        return 0;
    }
    if (magic == kMain) {
        uint32_t length = 0;
        reader.ReadU32(length);
        // A main chunk that claims more than the data ends with the data.
        const uint64_t end = std::min<uint64_t>(length, reader.Length());
        Chunk chunk;
        while (!Failed() && NextChunk(end, chunk)) {
            if (chunk.id == kEditor)
                ReadEditor(chunk);
            else if (chunk.id == kKeyframer)
                ReadKeyframer(chunk);
            if (Failed()) break;
            reader.SkipTo(chunk.end);
        }
        world->ResetObjectNames();
        world->InvalidateMaterials();
    }
    const bool failed = Failed();
    reader_ = nullptr;
    statistics_ = nullptr;
    return failed ? 0 : 1;
}

void L3dsFile::ReadEditor(const Chunk& editor) {
    Chunk chunk;
    while (!Failed() && NextChunk(editor.end, chunk)) {
        if (chunk.id == kNamedObject)
            ReadNamedObject(chunk);
        else if (chunk.id == kMaterial)
            ReadMaterial(chunk);
        reader_->SkipTo(chunk.end);
    }
}

void L3dsFile::ReadNamedObject(const Chunk& object) {
    char name[kNameSize];
    ReadName(name, object.end);
    // A hide chunk belongs to this object only: never to a mesh of an earlier one.
    current_ = nullptr;
    Chunk chunk;
    while (!Failed() && NextChunk(object.end, chunk)) {
        if (chunk.id == kMesh)
            ReadMesh(chunk, name);
        else if (chunk.id == kHidden && current_ != nullptr)
            current_->Hide(0);
        else if (chunk.id == kLight)
            ReadLight(chunk);
        reader_->SkipTo(chunk.end);
    }
}

void L3dsFile::ReadMesh(const Chunk& mesh, const char* name) {
    auto* object = new L3DObject(name, world_, nullptr);
    object->objectFlags |= ownerFlags_;
    current_ = object;
    objects_.push_back(object);
    LBasePoint* list = object->GetCurrentPointList();
    if (list != nullptr) list->DisableMerging();
    points_.clear();
    made_.clear();
    rows_ = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    origin_ = {0, 0, 0};

    Chunk chunk;
    while (!Failed() && NextChunk(mesh.end, chunk)) {
        switch (chunk.id) {
        case kPoints:
            ReadPoints(chunk);
            break;
        case kTexCoords:
            ReadTexCoords(chunk);
            break;
        case kLocalSystem:
            ReadLocalSystem();
            break;
        case kFaces:
            ReadFaces(chunk);
            break;
        default:
            break;
        }
        reader_->SkipTo(chunk.end);
    }
    // Points no face list came for are still the object's.
    if (made_.empty()) AddPoints({});
    world_->AddObject(object, 0);
    if (list != nullptr) list->EnableMerging();
    FinishMesh();
    points_.clear();
    made_.clear();
}

void L3dsFile::ReadPoints(const Chunk& chunk) {
    // Faces already stand on the points made from an earlier list.
    if (!made_.empty()) return;
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    count = uint16_t(r.CapCount(count, chunk.end, 12));
    points_.assign(count, WorkPoint{});
    for (WorkPoint& p : points_) {
        r.ReadVector(p.x, p.z, p.y);
        if (r.LastResult() != kResultOk) break;
    }
}

void L3dsFile::ReadTexCoords(const Chunk& chunk) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk || count == 0 || count != points_.size() || !made_.empty())
        return;
    if (r.BytesLeft(chunk.end) < uint64_t(count) * 8) return;
    for (WorkPoint& p : points_) {
        r.ReadF32(p.u);
        r.ReadF32(p.v);
        if (r.LastResult() != kResultOk) return;
        p.u = Snap(p.u);
        p.v = Snap(p.v);
        p.hasUV = true;
    }
}

void L3dsFile::ReadLocalSystem() {
    ChunkReader& r = *reader_;
    float read[12];
    for (float& value : read)
        r.ReadF32(value);
    if (r.LastResult() != kResultOk) return;
    // Each axis row and the origin in the engine's axes (y and z exchanged), then rows 1
    // and 2 exchanged for the same reason.
    const int order[3] = {0, 2, 1};
    for (int row = 0; row < 3; ++row) {
        const float* axis = &read[order[row] * 3];
        rows_[row * 3] = axis[0];
        rows_[row * 3 + 1] = axis[2];
        rows_[row * 3 + 2] = axis[1];
    }
    for (int row = 0; row < 3; ++row) {
        float* v = &rows_[size_t(row) * 3];
        const float squared = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
        if (squared == 0.0f || !std::isfinite(squared)) {
            std::fill(v, v + 3, 0.0f);
            v[row] = 1.0f;
        } else {
            for (int k = 0; k < 3; ++k)
                v[k] /= squared;
        }
    }
    origin_ = {read[9], read[11], read[10]};
    const float* m3 = rows_.data();
    float m[16] = {m3[0], m3[1], m3[2], 0, m3[3], m3[4], m3[5], 0,
                   m3[6], m3[7], m3[8], 0, 0,     0,     0,     1};
    float angles[3];
    MatrixGetEulerAngles(m, angles);
    current_->SetAnglesAndPosition(angles[0], angles[1], angles[2], -origin_[0], origin_[1],
                                   origin_[2]);
}

void L3dsFile::AddPoints(const std::vector<int32_t>& uses) {
    LBasePoint* list = current_->GetCurrentPointList();
    if (list == nullptr) return;
    const float* rows = rows_.data();
    for (size_t i = 0; i < points_.size(); ++i) {
        const WorkPoint& p = points_[i];
        const float d[3] = {p.x - origin_[0], p.y - origin_[1], p.z - origin_[2]};
        float q[3];
        for (int row = 0; row < 3; ++row)
            q[row] = d[0] * rows[row * 3] + d[1] * rows[row * 3 + 1] + d[2] * rows[row * 3 + 2];
        // The list holds each point once for every face that uses it, as the faces
        // release their corners one by one.
        L3DPoint* point =
            list->AddPoint(q[0], q[1], q[2], p.u, p.v, p.u, p.v, i < uses.size() ? uses[i] : 0);
        if (point == nullptr) break;
        made_.push_back(point);
    }
}

void L3dsFile::ReadFaces(const Chunk& chunk) {
    ChunkReader& r = *reader_;
    uint16_t count = 0;
    r.ReadU16(count);
    LAPICLBK* device = world_->GetAPI();
    // Faces of a mesh without points have nothing to stand on.
    if (r.LastResult() != kResultOk || points_.empty() || device == nullptr) return;
    count = uint16_t(r.CapCount(count, chunk.end, 8));
    // The corners are read first, so that every point is made knowing its uses.
    const size_t available = made_.empty() ? points_.size() : made_.size();
    std::vector<std::array<uint16_t, 3>> corners;
    corners.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t read[4] = {};
        for (uint16_t& c : read)
            r.ReadU16(c);
        if (r.LastResult() != kResultOk) break;
        std::array<uint16_t, 3> used{};
        for (size_t k = 0; k < 3; ++k)
            used[k] = read[k] < available ? read[k] : (k == 0 ? uint16_t(0) : used[k - 1]);
        corners.push_back(used);
    }
    // A further face list's corners are more uses of points already listed. Each is
    // counted as its face takes it: a point no face holds yet starts over at one list
    // use, so counting ahead of the faces would leave a point of several such corners
    // with a single use, and the first face to let go would drop it from the list while
    // the others still hold it.
    const bool further = !made_.empty();
    if (!further) {
        std::vector<int32_t> uses(points_.size(), 0);
        for (const auto& face : corners)
            for (uint16_t index : face)
                ++uses[index];
        AddPoints(uses);
    }
    LBasePoint* list = current_->GetCurrentPointList();
    std::vector<LPolygon*> faces;
    faces.reserve(corners.size());
    for (const auto& used : corners) {
        LPolygon* polygon = nullptr;
        if (used[0] < made_.size() && used[1] < made_.size() && used[2] < made_.size())
            polygon = device->CreatePolygon(current_, 2, 0);
        if (polygon == nullptr) {
            faces.push_back(nullptr);
            continue;
        }
        polygon->capacity = 4;
        if (further) {
            list->EnableMerging();
            for (uint16_t index : used)
                polygon->AddVertex(made_[index]);
            list->DisableMerging();
        } else {
            for (uint16_t index : used)
                polygon->AppendVertex(made_[index]);
        }
        for (int k = 0; k < 3; ++k) {
            const float* t = made_[used[size_t(k)]]->texture;
            polygon->SetUV(k, t[0], t[1]);
            polygon->SetUV2(k, t[2], t[3]);
        }
        if (current_->AddPolygon(polygon, 1) != kSceneOk) {
            device->DeletePolygon(polygon);
            faces.push_back(nullptr);
            continue;
        }
        faces.push_back(polygon);
        const float* plane = polygon->GetPlane(0);
        for (uint16_t index : used) {
            WorkPoint& p = points_[index];
            for (int k = 0; k < 4; ++k)
                p.normal[k] += plane[k];
            ++p.faces;
        }
    }
    Chunk sub;
    while (!Failed() && NextChunk(chunk.end, sub)) {
        if (sub.id == kFaceMaterials) ReadFaceMaterials(sub, faces);
        r.SkipTo(sub.end);
    }
}

void L3dsFile::ReadFaceMaterials(const Chunk& chunk, const std::vector<LPolygon*>& faces) {
    ChunkReader& r = *reader_;
    char name[kNameSize];
    ReadName(name, chunk.end);
    std::string worldName = name;
    for (const auto& [fileName, given] : renames_)
        if (platform::Cp1252EqualNoCase(fileName, name)) {
            worldName = given;
            break;
        }
    LMaterial* material = world_->materials.FindByName(worldName.c_str());
    if (material == nullptr) return;
    if ((ShadingOf(material) & (kShadingGouraud | kShadingPhong)) != 0) current_->SetGouraud(1);
    uint16_t count = 0;
    r.ReadU16(count);
    if (r.LastResult() != kResultOk) return;
    count = uint16_t(r.CapCount(count, chunk.end, 2));
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t face = 0;
        r.ReadU16(face);
        if (r.LastResult() != kResultOk) break;
        if (face < faces.size() && faces[face] != nullptr) faces[face]->SetMaterial(material);
    }
}

void L3dsFile::FinishMesh() {
    for (size_t i = 0; i < made_.size() && i < points_.size(); ++i) {
        WorkPoint& p = points_[i];
        float n[3] = {0, 0, 0};
        // A point no face uses has no direction to face.
        if (p.faces != 0) {
            for (int k = 0; k < 3; ++k)
                n[k] = p.normal[k] / float(p.faces);
            float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (length == 0.0f) length = 0.001f;
            for (float& v : n)
                v /= length;
        }
        std::copy_n(n, 3, made_[i]->normal);
        if (!p.hasUV) {
            const float u = 1.0f - (n[0] + 1.0f) * kGeneratedScale;
            const float v = 1.0f - (n[1] + 1.0f) * kGeneratedScale;
            float* t = made_[i]->texture;
            t[0] = t[2] = u;
            t[1] = t[3] = v;
        }
    }
    // The faces took their corners' coordinates before any were generated.
    for (int32_t i = 0; i < current_->GetPolygonCount(0); ++i) {
        LPolygon* polygon = current_->GetPolygonAt(i);
        if (polygon == nullptr) continue;
        for (int k = 0; k < polygon->GetVertexCount(); ++k) {
            const float* t = polygon->GetVertex(k)->texture;
            polygon->SetUV(k, t[0], t[1]);
            polygon->SetUV2(k, t[2], t[3]);
        }
    }
}

bool L3dsFile::ReadColour(const Chunk& chunk, uint32_t& colour) {
    ChunkReader& r = *reader_;
    if (chunk.id == kColourBytes) {
        uint8_t c[3] = {};
        for (uint8_t& b : c)
            r.ReadU8(b);
        if (r.LastResult() != kResultOk) return false;
        colour = Rgb(c[0], c[1], c[2]);
        return true;
    }
    if (chunk.id != kColourFloats) return false;
    float c[3] = {};
    r.ReadVector(c[0], c[1], c[2]);
    if (r.LastResult() != kResultOk) return false;
    colour = Rgb(ByteOf(c[0]), ByteOf(c[1]), ByteOf(c[2]));
    return true;
}

uint32_t L3dsFile::ShadingOf(const LMaterial* material) const {
    for (const MaterialShading& entry : shadings_)
        if (entry.material == material) return entry.shading;
    return 0;
}

void L3dsFile::ReadMaterial(const Chunk& material) {
    ChunkReader& r = *reader_;
    char name[kNameSize] = "";
    // A colour given as bytes wins over one given as floats.
    uint32_t byteColour = 0, floatColour = 0;
    bool hasByteColour = false, hasFloatColour = false;
    uint32_t percent = 0;
    uint32_t shading = 0;
    LTexture* texture = nullptr;
    float tiling[2] = {1.0f, 1.0f}, offset[2] = {0.0f, 0.0f};
    bool complete = true;

    Chunk chunk;
    while (complete && NextChunk(material.end, chunk)) {
        switch (chunk.id) {
        case kMaterialName:
            ReadName(name, chunk.end);
            break;
        case kDiffuse: {
            Chunk sub;
            while (NextChunk(chunk.end, sub)) {
                if (sub.id == kColourBytes)
                    hasByteColour = ReadColour(sub, byteColour) || hasByteColour;
                else
                    hasFloatColour = ReadColour(sub, floatColour) || hasFloatColour;
                r.SkipTo(sub.end);
            }
            break;
        }
        case kTransparency: {
            Chunk sub;
            while (NextChunk(chunk.end, sub)) {
                if (sub.id == kPercentInt) {
                    uint16_t value = 0;
                    r.ReadU16(value);
                    if (r.LastResult() == kResultOk) percent = std::min<uint32_t>(value, 100);
                } else if (sub.id == kPercentFloat) {
                    float value = 0;
                    r.ReadF32(value);
                    // Above 100 the alpha would wrap to opaque again.
                    if (r.LastResult() == kResultOk)
                        percent =
                            uint32_t(std::clamp(TruncateToInt32(double(value) * 100.0), 0, 100));
                }
                r.SkipTo(sub.end);
            }
            break;
        }
        case kWire:
            shading |= kShadingWire;
            break;
        case kShading: {
            uint16_t value = 0;
            r.ReadU16(value);
            if (r.LastResult() == kResultOk && value < 32) shading |= 1u << value;
            break;
        }
        case kTextureMap: {
            Chunk sub;
            while (NextChunk(chunk.end, sub)) {
                if (sub.id == kMapFile) {
                    char file[kNameSize];
                    ReadName(file, sub.end);
                    if (file[0] != '\0' && world_ != nullptr && texture == nullptr) {
                        std::string base;
                        SplitBaseName(file, base);
                        texture = world_->textures.LoadTexture(base.c_str(), file);
                    }
                } else if (sub.id == kMapTilingX || sub.id == kMapTilingY ||
                           sub.id == kMapOffsetX || sub.id == kMapOffsetY) {
                    float value = 0;
                    r.ReadF32(value);
                    if (r.LastResult() == kResultOk) {
                        if (sub.id == kMapTilingX) tiling[0] = value;
                        if (sub.id == kMapTilingY) tiling[1] = value;
                        if (sub.id == kMapOffsetX) offset[0] = value;
                        if (sub.id == kMapOffsetY) offset[1] = -value;
                    }
                }
                r.SkipTo(sub.end);
            }
            break;
        }
        default:
            break;
        }
        complete = !Failed();
        r.SkipTo(chunk.end);
    }
    if (!complete || world_ == nullptr) return;
    if (texture != nullptr) {
        texture->SetOffset(offset[0], offset[1]);
        texture->SetTiling(tiling[0], tiling[1]);
    }
    if (name[0] == '\0') std::strcpy(name, "Untitled");
    // Without any diffuse colour a material is white.
    const uint32_t colour = hasByteColour ? byteColour : hasFloatColour ? floatColour : 0xFFFFFF;

    uint32_t mode = 0;
    if ((shading & (kShadingGouraud | kShadingPhong)) != 0)
        mode = texture != nullptr ? LMaterial::kTextured : LMaterial::kSolid;
    else if ((shading & kShadingFlat) != 0)
        mode = LMaterial::kSolid;
    else if ((shading & kShadingWire) != 0)
        mode = LMaterial::kWireframe;
    else
        mode = texture != nullptr ? LMaterial::kTextured : LMaterial::kWireframe;
    const int32_t reflection = (shading & kShadingMetal) != 0 ? 2 : 0;
    const uint8_t alpha = uint8_t((100 - percent) * 255 / 100);

    LMaterial* found = nullptr;
    constexpr uint32_t kModeBits = LMaterial::kWireframe | LMaterial::kSolid | LMaterial::kTextured;
    for (LMaterial* candidate = world_->materials.FindByName(name);
         candidate != nullptr && found == nullptr;
         candidate = world_->materials.FindNext(candidate, name)) {
        if (texture == nullptr) {
            if (candidate->GetTexture(0) == nullptr && candidate->color == colour &&
                (candidate->mode & kModeBits) == mode &&
                candidate->GetReflectionType() == reflection && candidate->alpha == alpha)
                found = candidate;
        } else if (LTexture* own = candidate->GetTexture(0);
                   own != nullptr &&
                   platform::Cp1252EqualNoCase(own->FileName(), texture->FileName())) {
            if (own != texture) world_->textures.RemoveTexture(texture);
            texture = own;
            found = candidate;
        }
    }
    if (found == nullptr) {
        char unique[kNameSize + 16];
        world_->materials.MakeUniqueName(unique, name, int(sizeof unique));
        if (!platform::Cp1252EqualNoCase(unique, name)) renames_.emplace_back(name, unique);
        found = world_->materials.CreateMaterial(
            unique, texture, texture != nullptr ? 0xFFFFFFFFu : colour, reflection, nullptr);
        if (found == nullptr) return;
        if (mode == LMaterial::kWireframe)
            found->SetWireFrame(1);
        else if (mode == LMaterial::kSolid)
            found->SetFlat(1);
        else
            found->SetMapped(1);
        found->SetReflectionType(reflection);
        found->SetAlpha(alpha);
    }
    if (ShadingOf(found) == 0) shadings_.push_back({found, shading});
    if (statistics_ != nullptr && statistics_->materials.count++ == 0)
        statistics_->materials.first = world_->materials.list.FindNode(found);
}

void L3dsFile::ReadLight(const Chunk& light) {
    ChunkReader& r = *reader_;
    float x = 0, y = 0, z = 0;
    r.ReadVector(x, y, z);
    if (r.LastResult() != kResultOk) return;
    const float place[3] = {x, z, y};
    // A light without a colour is white.
    uint32_t colour = 0xFFFFFF;
    float multiplier = 0;
    Chunk chunk;
    while (!Failed() && NextChunk(light.end, chunk)) {
        if (chunk.id == kColourBytes || chunk.id == kColourFloats) {
            ReadColour(chunk, colour);
        } else if (chunk.id == kLightMultiplier) {
            float value = 0;
            r.ReadF32(value);
            if (r.LastResult() == kResultOk) multiplier = value;
        }
        r.SkipTo(chunk.end);
    }
    if (world_->lights == nullptr) return;
    const int32_t radius = TruncateToInt32(double(multiplier) * 100.0);
    L3DLight* made =
        world_->lights->CreateLight(LBaseLight::kDynamicKind, place, radius, 255, colour, 0);
    if (made != nullptr && statistics_ != nullptr) ++statistics_->dynamicLights.count;
}
