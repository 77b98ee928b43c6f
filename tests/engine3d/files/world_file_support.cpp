#include "engine3d/files/world_file_support.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine3d/scene/blobs/blob.h"
#include "engine3d/scene/camera/camera.h"
#include "engine3d/scene/lights/light.h"
#include "engine3d/scene/lights/light_list.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/mesh/point_list.h"
#include "engine3d/scene/mesh/polygon.h"
#include "engine3d/scene/objects/animated_object.h"
#include "engine3d/scene/objects/cluster.h"
#include "engine3d/scene/objects/octree.h"
#include "engine3d/scene/objects/world_light.h"
#include "engine3d/scene/sprites/sprite.h"
#include "engine3d/scene/zones/sound.h"
#include "engine3d/scene/zones/zone.h"
#include "foundation/streams/mem_in_stream.h"
#include "graphics2d/formats/bmp_handler.h"
#include "graphics2d/formats/image_file_manager.h"

namespace {

std::string F(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(v));
    return text;
}

std::string Floats(const float* v, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += (i > 0 ? "," : "") + F(v[i]);
    return out;
}

const char* NameOf(const LMaterial* m) {
    return m != nullptr ? m->Name() : "-";
}

const char* NameOf(const LTexture* t) {
    return t != nullptr ? t->Name() : "-";
}

std::string Location(const L3DObject& o) {
    return " at " + Floats(o.position, 3) + " turned " + Floats(o.angles, 3) + " hot " +
           Floats(o.hotSpot, 3);
}

void DescribeKeys(const L3DObject& o, std::string& out) {
    if (o.keyTracks == nullptr) return;
    for (int kind = 0; kind < kTrackKindCount; ++kind) {
        const LKeyTrack* track = o.keyTracks->tracks[kind];
        if (track == nullptr) continue;
        out += "  track " + std::to_string(kind) + " flags " + std::to_string(track->flags) + "\n";
        const int values = kind == kTrackMatrix ? 16 : 4;
        for (const LKey* k = track->first; k != nullptr; k = k->next) {
            out += "   key " + Floats(&k->frame, 6) + " = " + Floats(k->value, values) + " n " +
                   std::to_string(k->elementCount);
            for (int32_t i = 0; i < k->elements.GetCount(); ++i) {
                LPointMove move;
                std::memcpy(&move, k->elements.GetAt(i), sizeof move);
                out += " [" + std::to_string(move.index) + ":" + Floats(move.values, 5) + "]";
            }
            out += "\n";
        }
    }
}

void DescribeSequences(const LAnimationIK& s, const char* what, std::string& out) {
    out += std::string("  ") + what + " flags " + std::to_string(s.flags) + " current " +
           std::to_string(s.currentFrame) + "\n";
    for (LListNode* n = s.sequences.GetHead(); n != nullptr; n = n->next) {
        const auto* r = static_cast<const SequenceRecord*>(n->item);
        out += std::string("   ") + r->name + " " + std::to_string(r->flags) + " " +
               std::to_string(r->start) + ".." + std::to_string(r->end) + " " +
               std::to_string(r->values[0]) + "," + std::to_string(r->values[1]) + "," +
               std::to_string(r->values[2]) + "\n";
    }
}

void DescribeObject(const L3DObject& o, const std::string& indent, std::string& out) {
    out += indent + "object " + (o.RawName() != nullptr ? o.RawName() : "") + " type " +
           std::to_string(o.typeCode) + " flags " +
           std::to_string(o.objectFlags & ~L3DObject::kOwnsBox) + " scale " + Floats(o.scale, 3) +
           Location(o) + " user " + std::to_string(o.userValue) + "\n";
    auto& mesh = const_cast<L3DObject&>(o);
    const int32_t saved = mesh.LMultiBasePoly::currentFrame;
    for (int32_t b = 0; b < mesh.GetBaseCount(); ++b) {
        mesh.LMultiBasePoly::currentFrame = b;
        const LBasePoint* points = mesh.GetCurrentPointList();
        out += indent + " frame " + std::to_string(b) + "\n";
        for (int32_t i = 0; i < points->GetCount(); ++i) {
            const L3DPoint* p = points->GetPoint(i);
            out += indent + "  p " + Floats(p->model, 3) + " t " + Floats(p->texture, 4) + " n " +
                   Floats(p->normal, 3) + "\n";
        }
        for (LListNode* n = mesh.GetCurrentPolygonList()->GetHead(); n != nullptr; n = n->next) {
            const auto* polygon = static_cast<const LPolygon*>(n->item);
            out += indent + "  poly";
            for (int v = 0; v < polygon->GetVertexCount(); ++v)
                out += " " + std::to_string(points->IndexOf(polygon->GetVertex(v)));
            out += std::string(" ") + NameOf(polygon->GetMaterial()) + "\n";
        }
    }
    mesh.LMultiBasePoly::currentFrame = saved;
    DescribeSequences(static_cast<const LMultiBasePoly&>(o), "mesh", out);
    if (LAnimationIK* s = mesh.Sequences(); s != nullptr && o.typeCode == L3DObject::kAnimated)
        DescribeSequences(*s, "animation", out);
    DescribeKeys(o, out);
    if (o.GetShadowTexture() != nullptr) {
        int32_t w = 0, h = 0;
        o.GetShadowTextureSize(&w, &h);
        out += indent + " shadow " + NameOf(o.GetShadowTexture()) + " " + std::to_string(w) + "x" +
               std::to_string(h) + "\n";
    }
    if (o.source != nullptr) out += indent + " clone of " + std::string(o.source->RawName()) + "\n";
    if (o.children != nullptr)
        for (LListNode* n = o.children->GetHead(); n != nullptr; n = n->next)
            DescribeObject(*static_cast<const L3DObject*>(n->item), indent + "  ", out);
}

L3DObject* Cube(L3DWorld& world, L3DObject* object, float size, LMaterial* material) {
    const float s = size;
    if (material == nullptr) material = world.GetDefaultMaterial();
    AddFace(*object, {{-s, -s, -s, 0, 0}, {s, -s, -s, 1, 0}, {s, s, -s, 1, 1}, {-s, s, -s, 0, 1}},
            material);
    AddFace(*object, {{-s, -s, s, 0, 0}, {s, s, s, 1, 1}, {s, -s, s, 1, 0}}, material);
    AddFace(*object, {{-s, -s, -s, 0, 0}, {-s, s, s, 1, 1}, {-s, -s, s, 0.5f, 0.25f}}, material);
    return object;
}

LKey* Key(LKeyTrack* track, int32_t frame, std::initializer_list<float> values) {
    LKey* key = LKeyTrack::CreateKey();
    key->tension = 0.25f;
    key->bias = -0.5f;
    key->continuity = 0.125f;
    key->easeTo = 0.5f;
    key->easeFrom = 0.75f;
    int i = 0;
    for (float v : values)
        key->value[i++] = v;
    AppendKey(track, key, frame);
    return key;
}

} // namespace

LPolygon* AddFace(L3DObject& object, std::initializer_list<Corner> corners, LMaterial* material) {
    LAPICLBK* device = object.world->GetAPI();
    LPolygon* polygon = device->CreatePolygon(&object, 2, 0);
    polygon->capacity = int32_t(corners.size());
    for (const Corner& c : corners)
        polygon->AddNewVertex(c.x, c.y, c.z, c.u, c.v, c.u * 2, c.v * 2);
    object.AddPolygon(polygon, 0);
    if (material != nullptr) polygon->SetMaterial(material);
    return polygon;
}

void WriteBmp(const std::string& linuxPath, uint32_t w, uint32_t h) {
    ImageFileManager manager;
    ASSERT_EQ(manager.Init(0), 0);
    ImageFile image(&manager);
    ASSERT_EQ(image.SelectFormat(CBMPHandler::kFormatId), 1);
    const uint32_t pitch = (w * 3 + 3) & ~3u;
    std::vector<uint8_t> pixels(size_t(pitch) * h, 0x40);
    { std::ofstream touch(linuxPath); }
    std::string win = "C:" + linuxPath;
    for (char& c : win)
        if (c == '/') c = '\\';
    ASSERT_EQ(image.SaveSurface(win.c_str(), pixels.data(), int32_t(w), int32_t(h), 24,
                                int32_t(pitch), nullptr, 0),
              kImageOk);
}

void BuildRichWorld(L3DWorld& world, const test_support::TempDir& dir, bool textures) {
    LTexture* wood = nullptr;
    LTexture* stone = nullptr;
    LTexture* shade = nullptr;
    if (textures) {
        dir.WriteFile("images/.keep", "");
        for (const char* name : {"wood.bmp", "stone.bmp", "shade.bmp"})
            WriteBmp(dir.Linux(std::string("images/") + name), 8, 8);
        world.textures.SetFolder(dir.Win("images").c_str());
        wood = world.textures.LoadTexture("Wood", "wood.bmp");
        stone = world.textures.LoadTexture("Stone", "stone.bmp");
        shade = world.textures.LoadTexture("Shade", "shade.bmp");
        ASSERT_TRUE(wood != nullptr && stone != nullptr && shade != nullptr);
        wood->SetColorKey(1, 0x00FF00FF);
        wood->SetOffset(0.25f, 0.5f);
        wood->SetTiling(2, 3);
        wood->SetAlpha(180);
        stone->SetEnvironmentMapping(1);
    }

    LMaterial* single = world.materials.CreateMaterial("Planks", wood, 0x336699, 0, nullptr);
    single->SetTextureIntensity(0, 0.75f);
    LMaterial* layered = world.materials.CreateMaterial("Layered", stone, 0x112233, 0, nullptr);
    if (textures) layered->SetTexture(1, wood);
    LMaterial* red = world.materials.CreateMaterial("Red", nullptr, 0x0000FF, 0, nullptr);
    red->SetAlpha(200);
    world.materials.CreateMaterial("Green", nullptr, 0x00FF00, 0, nullptr);

    L3DCamera* front = world.CreateCamera(0);
    front->SetName("Front");
    front->SetFieldOfView(45);
    front->SetFog(1, 0x203040, 0.25f, 0.75f, 0.5f);
    front->SetAnglesAndPosition(0.1f, 0.2f, 0.3f, 10, 20, 30);
    L3DCamera* side = world.CreateCamera(0);
    side->SetName("Side");
    side->SetAnglesAndPosition(0, 1.5f, 0, -40, 0, 0);

    L3DSound* sound = world.sounds.CreateSound("steps.wav", 0);
    sound->SetName("Steps");
    sound->SetAnglesAndPosition(0, 0, 0, 5, 6, 7);
    L3DZone* zone = world.zones.CreateZone(nullptr, 10, 20, 30, 0, 0);
    zone->SetName("Door");
    zone->SetAnglesAndPosition(0, 0.5f, 0, 1, 2, 3);
    world.ambientLight->SetColor(0x405060);
    world.ambientLight->SetParameters(1, -2, 3, 90, 40);
    const float lamp[3] = {1, 2, 3};
    L3DLight* dynamicLight =
        world.lights->CreateLight(LBaseLight::kDynamicKind, lamp, 100, 200, 0x0A0B0C, 0);
    dynamicLight->SetName("Torch");
    const float pole[3] = {-4, 5, -6};
    L3DLight* staticLight =
        world.lights->CreateLight(LBaseLight::kStaticKind, pole, 300, 50, 0x010203, 0);
    staticLight->SetName("Pole");

    L3DBlob* blob = world.blobs.CreateBlob(nullptr, "Halo", 8, 6, red, 0);
    blob->facing = 2;
    blob->SetAnglesAndPosition(0, 0, 0, 3, 3, 3);

    for (int i = 0; i < 2; ++i) {
        auto* wall = new L3DObject(i == 0 ? "WallA" : "WallB", &world, nullptr);
        Cube(world, wall, 4.0f + float(i), single);
        world.AddObject(wall, 0);
        wall->MakeStatic(0);
    }
    world.Optimize();
    auto* pillar = new L3DObject("Pillar", &world, nullptr);
    Cube(world, pillar, 1, layered);
    world.AddObject(pillar, 0);
    pillar->MakeStatic(0);

    auto* body = new L3DObject("Body", &world, nullptr);
    Cube(world, body, 2, single);
    body->userValue = 77;
    world.AddObject(body, 0);
    body->SetAnglesAndPosition(0.5f, 0, 0, 100, 0, 0);
    body->SetHotSpotRaw(0.5f, 0.25f, 0);
    if (textures) body->SetShadowTextureAndSize(16, 8, shade);
    auto* arm = new L3DObject("Arm", &world, nullptr);
    Cube(world, arm, 0.5f, red);
    arm->SetAnglesAndPosition(0, 0, 0, 3, 0, 0);
    arm->SetParent(body, 1);
    auto* hand = new L3DObject("Hand", &world, nullptr);
    Cube(world, hand, 0.25f, nullptr);
    hand->SetParent(arm, 1);
    hand->SetGouraud(1);
    for (int i = 0; i < 3; ++i) {
        L3DLocation place(float(i) * 10, 5, 0);
        body->Clone(&place);
    }

    auto* walker = new L3DObject_Animation("Walker", &world, nullptr);
    walker->LMultiBasePoly::currentFrame = 0;
    Cube(world, walker, 1, red);
    walker->AddBase();
    walker->LMultiBasePoly::currentFrame = 1;
    Cube(world, walker, 1.5f, single);
    walker->LMultiBasePoly::currentFrame = 0;
    walker->Sequences()->SetSequence("Walk", 2, 0, 10, 1, 3, 2, 0);
    walker->Sequences()->SetSequence("Run", 0, 11, 20, 0, 12, 0, 5);
    world.AddObject(walker, 0);
    auto* leg = new L3DObject("Leg", &world, nullptr);
    Cube(world, leg, 0.5f, layered);
    leg->SetParent(walker, 1);
    LKeyTrackSet& tracks = *leg->keyTracks;
    for (int kind = 0; kind < kTrackKindCount; ++kind)
        tracks.tracks[kind] = LKeyTrack::Create();
    tracks.tracks[kTrackTranslation]->flags = 3;
    Key(tracks.tracks[kTrackTranslation], 0, {0, 0, 0});
    Key(tracks.tracks[kTrackTranslation], 10, {1, 2, 3});
    Key(tracks.tracks[kTrackTranslation], 20, {-1, 0, 4});
    Key(tracks.tracks[kTrackScale], 0, {1, 1, 1});
    Key(tracks.tracks[kTrackScale], 5, {2, 1, 0.5f});
    Key(tracks.tracks[kTrackRotation], 0, {0, 0, 1, 0});
    Key(tracks.tracks[kTrackRotation], 8, {1.5f, 0, 1, 0});
    Key(tracks.tracks[kTrackMorph], 0, {3});
    Key(tracks.tracks[kTrackHide], 4, {1});
    Key(tracks.tracks[kTrackHide], 9, {0});
    Key(tracks.tracks[kTrackMatrix], 0, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0});
    Key(tracks.tracks[kTrackMatrix], 6, {0, 1, 0, 2, -1, 0, 0, 3, 0, 0, 1, 4});
    for (int frame : {0, 7}) {
        LKey* key = Key(tracks.tracks[kTrackPointMoves], frame, {});
        for (uint32_t i = 0; i < 2; ++i) {
            const LPointMove move{i + uint32_t(frame), {0.5f, float(i), -1, 2, float(frame)}};
            const int32_t slot = key->elements.GetCount();
            key->elements.SetSize(slot + 1);
            std::memcpy(key->elements.GetAt(slot), &move, sizeof move);
        }
        key->elementCount = 2;
    }
    L3DLocation stride(0, 0, 50);
    walker->Clone(&stride);

    if (textures) {
        world.SetBackgroundMaterial(single);
        world.SetBackgroundParams(2, 1.5f, 3, 4);
    }
    world.backFaceCulling = 0;
    world.userValue = 1234;
    world.worldFlags = 0x55;
    world.ResetObjectNames();
}

std::string Describe(const L3DWorld& world) {
    std::string out = "culling " + std::to_string(world.backFaceCulling) + " user " +
                      std::to_string(world.userValue) + " flags " +
                      std::to_string(world.worldFlags) + "\n";
    if (world.backgroundSprite != nullptr)
        out += std::string("background ") + NameOf(world.backgroundMaterial) + " scale " +
               Floats(world.backgroundScale, 2) + " tiling " +
               F(world.backgroundSprite->GetTilingX()) + "," +
               F(world.backgroundSprite->GetTilingY()) + "\n";
    for (LListNode* n = world.cameras.list.GetHead(); n != nullptr; n = n->next) {
        const auto* c = static_cast<const L3DCamera*>(n->item);
        out += std::string("camera ") + c->RawName() + " fov " + F(c->fieldOfView) + " fog " +
               std::to_string(c->fogMode != 0) + " " + std::to_string(c->fogColor[0]) + "," +
               std::to_string(c->fogColor[1]) + "," + std::to_string(c->fogColor[2]) + " " +
               F(c->fogStart) + " " + F(c->fogEnd) + " " + F(c->fogDensity) + Location(*c) + "\n";
    }
    for (LListNode* n = world.sounds.list.GetHead(); n != nullptr; n = n->next) {
        const auto* s = static_cast<const L3DSound*>(n->item);
        out += "sound " + s->SoundName() + " " + s->RawName() + Location(*s) + "\n";
    }
    for (LListNode* n = world.zones.list.GetHead(); n != nullptr; n = n->next) {
        const auto* z = static_cast<const L3DZone*>(n->item);
        out += std::string("zone ") + z->RawName() + " " + std::to_string(z->size[0]) + "x" +
               std::to_string(z->size[1]) + "x" + std::to_string(z->size[2]) + Location(*z) + "\n";
    }
    const L3DLightAmbiant& a = *world.ambientLight;
    out += "world light " + std::to_string(a.GetNight()) + " " + std::to_string(a.intensity) + " " +
           Floats(a.vector, 3) + " " + std::to_string(a.GetColor()) + "\n";
    for (const auto* group : {&world.lights->dynamicLights, &world.lights->staticLights})
        for (const L3DLight* l : *group)
            out += std::string("light ") + l->RawName() + " " + std::to_string(l->radius) + " " +
                   std::to_string(l->intensity) + " " + std::to_string(l->GetColor()) + " static " +
                   std::to_string(l->IsStaticLight()) + Location(*l) + "\n";
    for (LListNode* n = world.materials.list.GetHead(); n != nullptr; n = n->next) {
        const auto* m = static_cast<const LMaterial*>(n->item);
        out += std::string("material ") + m->Name() + " mode " + std::to_string(m->mode) +
               " colour " + std::to_string(m->color) + " alpha " + std::to_string(m->alpha) +
               " reflection " + std::to_string(m->reflectionType) + " textures " +
               NameOf(m->GetTexture(0)) + "," + NameOf(m->GetTexture(1)) + " weight " +
               F(m->textureWeight) + "\n";
    }
    for (LListNode* n = world.textures.list.GetHead(); n != nullptr; n = n->next) {
        const auto* t = static_cast<const LTexture*>(n->item);
        const std::string file = t->FileName();
        out += std::string("texture ") + t->Name() + " file " +
               file.substr(file.find_last_of('\\') + 1) + " flags " + std::to_string(t->flags) +
               " key " + std::to_string(t->keyColor) + " alpha " + std::to_string(t->alpha) +
               " offset " + Floats(t->offset, 2) + " tiling " + Floats(t->tiling, 2) + " " +
               std::to_string(t->width) + "x" + std::to_string(t->height) + "\n";
    }
    for (LListNode* n = world.blobs.list.GetHead(); n != nullptr; n = n->next) {
        const auto* b = static_cast<const L3DBlob*>(n->item);
        const LList* polygons = b->GetCurrentPolygonList();
        const LMaterial* m = polygons != nullptr && polygons->GetHead() != nullptr
                                 ? static_cast<LPolygon*>(polygons->GetHead()->item)->GetMaterial()
                                 : nullptr;
        out += std::string("blob ") + b->RawName() + " " + std::to_string(b->width) + "x" +
               std::to_string(b->height) + " facing " + std::to_string(b->facing) + " " +
               NameOf(m) + Location(*b) + "\n";
    }
    for (LListNode* n = world.objects.GetHead(); n != nullptr; n = n->next)
        DescribeObject(*static_cast<const L3DObject*>(n->item), "", out);
    if (world.cluster->octree != nullptr) DescribeObject(*world.cluster->octree, "octree ", out);
    return out;
}

Bytes& Bytes::U8(uint8_t v) {
    data_.push_back(v);
    return *this;
}

Bytes& Bytes::U16(uint16_t v) {
    return U8(uint8_t(v)).U8(uint8_t(v >> 8));
}

Bytes& Bytes::U32(uint32_t v) {
    return U16(uint16_t(v)).U16(uint16_t(v >> 16));
}

Bytes& Bytes::F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}

Bytes& Bytes::Str(const std::string& text) {
    U16(uint16_t(text.size()));
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
}

Bytes& Bytes::Tag(const char* tag) {
    for (int i = 0; i < 4; ++i)
        U8(uint8_t(tag[i]));
    return *this;
}

Bytes& Bytes::Begin(const char* tag) {
    Tag(tag);
    open_.push_back(data_.size());
    return U32(0);
}

Bytes& Bytes::End() {
    const size_t at = open_.back();
    open_.pop_back();
    const uint32_t length = uint32_t(data_.size() - at - 4);
    for (int i = 0; i < 4; ++i)
        data_[at + size_t(i)] = uint8_t(length >> (8 * i));
    return *this;
}

Bytes& Bytes::Container(uint32_t version) {
    Begin("HZYB");
    return U32(version);
}

Bytes& Bytes::Append(const std::vector<uint8_t>& more) {
    data_.insert(data_.end(), more.begin(), more.end());
    return *this;
}

std::vector<uint8_t> WorldFileTest::Save(L3DWorld& from, uint32_t mask, const char* file) {
    LBinaryWorldFile saver;
    EXPECT_EQ(saver.SaveWorld(dir.Win(file).c_str(), &from, mask, dir.Win("textures").c_str()),
              kResultOk);
    std::ifstream in(dir.Linux(file), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int WorldFileTest::Load(L3DWorld& into, const std::vector<uint8_t>& bytes, uint32_t mask,
                        zyb::LoadStatistics* statistics) {
    CMemInStream stream;
    stream.Attach(bytes.data(), uint32_t(bytes.size()));
    LBinaryWorldFile loader;
    return loader.LoadWorld(&stream, &into, mask, statistics);
}

L3DObject* WorldFileTest::Merge(L3DWorld& into, const std::vector<uint8_t>& bytes,
                                const char* name) {
    CMemInStream stream;
    stream.Attach(bytes.data(), uint32_t(bytes.size()));
    LBinaryWorldFile loader;
    return loader.MergeObjects(&stream, &into, name);
}
