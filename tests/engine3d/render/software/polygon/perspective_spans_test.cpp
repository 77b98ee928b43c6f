#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "engine3d/render/software/polygon/raster_fixture.h"

namespace {

// The textured spans as plainly as they can be said: one pixel at a time from the edge
// tables the set-up left, in 8-bit channels.
struct Model {
    int depth;
    bool wrap, alpha, key;
    int light; // 0 unlit, 1 Lambert, 2 Gouraud
    bool modulate;
    int32_t a;
    uint8_t lit[4];
    uint32_t keyColour;
    uint8_t keyIndex;
    const LTexture* texture;
};

int Bytes(int depth) {
    return TestBytesPerPixel(depth);
}

void Unpack(int depth, const uint8_t* p, int c[3]) {
    const uint32_t v = uint32_t(p[0]) | (depth > 8 ? uint32_t(p[1]) << 8 : 0);
    if (depth == 16) {
        c[0] = int((v >> 11) << 3), c[1] = int(((v >> 5) & 63) << 2), c[2] = int((v & 31) << 3);
    } else if (depth == 15) {
        c[0] = int(((v >> 10) & 31) << 3), c[1] = int(((v >> 5) & 31) << 3),
        c[2] = int((v & 31) << 3);
    } else {
        c[0] = p[2], c[1] = p[1], c[2] = p[0];
    }
}

void Pack(int depth, uint8_t* p, const int c[3]) {
    if (depth == 16 || depth == 15) {
        const uint32_t v = depth == 16 ? uint32_t((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3)
                                       : uint32_t((c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3);
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
    } else {
        p[0] = uint8_t(c[2]), p[1] = uint8_t(c[1]), p[2] = uint8_t(c[0]);
    }
}

bool IsKey(const Model& m, const uint8_t* t) {
    const int r = int(m.keyColour & 0xFF), g = int((m.keyColour >> 8) & 0xFF);
    const int b = int((m.keyColour >> 16) & 0xFF);
    switch (m.depth) {
    case 8:
        return *t == m.keyIndex;
    case 16:
        return (t[0] | t[1] << 8) == ((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    case 15:
        return (t[0] | t[1] << 8) == ((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
    default:
        return t[0] == b && t[1] == g && t[2] == r;
    }
}

void DrawModel(const Model& m, TestRaster& r, int first, int rows) {
    const int bpp = Bytes(m.depth);
    for (int y = first; y < first + rows; ++y) {
        const ScanEdge& a = r.ea[size_t(y)];
        const ScanEdge& b = r.eb[size_t(y)];
        if (a.x == b.x) continue;
        const ScanEdge& s = a.x < b.x ? a : b;
        const ScanEdge& e = a.x < b.x ? b : a;
        const int n = std::abs(a.x - b.x);
        const float du = (e.u.f - s.u.f) / float(n), dv = (e.v.f - s.v.f) / float(n);
        const float dw = (e.w - s.w) / float(n);
        const int32_t dz = (e.z - s.z) / n;
        const int32_t dc[4] = {(e.red - s.red) / n, (e.green - s.green) / n, (e.blue - s.blue) / n,
                               (e.level - s.level) / n};
        float u = s.u.f, v = s.v.f, w = s.w;
        int32_t z = s.z;
        int32_t c[4] = {s.red, s.green, s.blue, s.level};
        for (int i = 0; i < n; ++i) {
            const int x = s.x + i;
            int32_t& stored = r.depthBuffer[size_t(y * r.state.DepthPitch + x)];
            uint8_t* p = &r.pixels[size_t(y * r.state.Pitch + x * bpp)];
            if (stored <= z) {
                const float rw = 1.0f / w;
                const float fv = rw * v, fu = rw * u;
                long tu = std::lrint(fu), tv = std::lrint(fv);
                const long W = long(m.texture->width), H = long(m.texture->height);
                if (m.wrap) {
                    tu &= W - 1, tv &= H - 1;
                } else {
                    tu = std::min(std::max(tu, 0L), W - 1), tv = std::min(std::max(tv, 0L), H - 1);
                }
                const uint8_t* t = m.texture->pixels + tv * long(m.texture->pitch) + tu * bpp;
                const bool packed = m.depth == 16 || m.depth == 15;
                if (m.key && packed) stored = z;
                if (!(m.key && IsKey(m, t))) {
                    stored = z;
                    if (m.depth == 8) {
                        *p = *t;
                    } else if (m.light == 0 && !m.alpha && !(m.key && m.depth == 32)) {
                        std::memcpy(p, t, size_t(bpp));
                    } else {
                        int ch[3], dst[3];
                        Unpack(m.depth, t, ch);
                        Unpack(m.depth, p, dst);
                        for (int k = 0; k < 3; ++k) {
                            const int L = m.light == 1 ? m.lit[k] : c[k] >> 16;
                            const int level = m.light == 1 ? m.lit[3] : c[3] >> 16;
                            if (m.light != 0 && m.modulate) ch[k] = ch[k] * L >> 8;
                            if (m.light != 0 && !m.modulate) {
                                const int d = std::abs(level - 128);
                                ch[k] = (ch[k] * (128 - d) + L * d) >> 7;
                            }
                            if (m.alpha) ch[k] = (ch[k] * m.a + dst[k] * (255 - m.a)) >> 8;
                        }
                        Pack(m.depth, p, ch);
                    }
                }
            }
            u += du, v += dv, w += dw, z += dz;
            for (int k = 0; k < 4; ++k)
                c[k] += dc[k];
        }
    }
}

class PerspectiveSpansTest : public RasterTest {};

TEST_F(PerspectiveSpansTest, EveryRoutineMatchesThePlainModel) {
    std::mt19937 random(41);
    auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    };
    auto byte = [&] { return uint8_t(random() & 0xFF); };
    L3DObject object("o", &world, nullptr);
    int changed = 0;
    for (int depth : {8, 15, 16, 24, 32}) {
        const LPolygon_Software::RasterEntry* table = LPolygon_Software::RasterTableFor(depth);
        for (int entry = 3; entry <= 10; ++entry) {
            for (int round = 0; round < 12; ++round) {
                const int tw = 1 << (random() % 4 + 1), th = 1 << (random() % 4 + 1);
                std::vector<uint8_t> texels;
                auto texture = MakeTexture(tw, th, depth, texels);
                for (uint8_t& b : texels)
                    b = byte() & 0x3F; // few colours, so keys match
                texture->keyColor = uint32_t(byte() & 0x3F);
                texture->keyPaletteIndex = texels[0];
                TestRaster raster(24, 20, depth);
                for (uint8_t& b : raster.pixels)
                    b = byte();
                for (int32_t& d : raster.depthBuffer)
                    d = int32_t(random() % 8388608);
                Material(texture.get(), LMaterial::kTextured).SetAlphaValue(byte());
                polygon->owner = &object;
                object.objectFlags = round % 3 == 1   ? L3DObject::kLambert
                                     : round % 3 == 2 ? L3DObject::kGouraud | L3DObject::kLambert
                                                      : 0;
                object.cloneCount = round % 5 == 4 ? 1 : 0;
                raster.state.StateBits = (round / 3) % 2 != 0 ? 8 : 0;
                for (int k = 0; k < 4; ++k)
                    polygon->averageColor[k] = byte();
                const bool wrap = entry >= 7;
                std::vector<Corner> corners;
                for (int k = 0; k < 3; ++k)
                    corners.push_back({uniform(0, 24), uniform(0, 20), uniform(0.05f, 1.0f),
                                       wrap ? uniform(-40, 40) : uniform(0, float(tw)),
                                       wrap ? uniform(-40, 40) : uniform(0, float(th))});
                Corners(corners);
                for (auto& p : points)
                    for (uint8_t& c : p->frameColor)
                        c = byte();

                int first = 0;
                const int rows = polygon->SetupEdgesPerspective(first);
                TestRaster expected(24, 20, depth);
                expected.pixels = raster.pixels;
                expected.depthBuffer = raster.depthBuffer;
                expected.ea = raster.ea;
                expected.eb = raster.eb;
                SetCurrentSoftwareRaster(&raster.state);

                const bool translucentEntry = entry == 4 || entry == 6 || entry == 8 || entry == 10;
                const bool packed = depth == 16 || depth == 15;
                Model m{};
                m.depth = depth;
                m.wrap = wrap;
                m.key = entry == 5 || entry == 6 || entry == 9 || entry == 10;
                m.alpha = depth != 8 && translucentEntry && !(packed && object.cloneCount > 0);
                m.light = depth == 8                                        ? 0
                          : (object.objectFlags & L3DObject::kGouraud) != 0 ? 2
                          : (object.objectFlags & L3DObject::kLambert) != 0 ? 1
                                                                            : 0;
                m.modulate = raster.state.StateBits == 8;
                m.a = material->alpha;
                std::copy_n(polygon->averageColor, 4, m.lit);
                m.keyColour = texture->keyColor;
                m.keyIndex = texture->keyPaletteIndex;
                m.texture = texture.get();
                const std::vector<uint8_t> before = expected.pixels;
                DrawModel(m, expected, first, rows);
                for (size_t i = 0; i < before.size(); ++i)
                    changed += before[i] != expected.pixels[i] ? 1 : 0;

                (polygon.get()->*table[entry].span)();
                ASSERT_EQ(raster.pixels, expected.pixels)
                    << "depth " << depth << " entry " << entry << " round " << round;
                ASSERT_EQ(raster.depthBuffer, expected.depthBuffer)
                    << "depth " << depth << " entry " << entry << " round " << round;
                polygon->owner = nullptr;
            }
        }
    }
    EXPECT_GT(changed, 20000) << "the polygons cover a good part of their targets";
}

class PerspectiveCasesTest : public RasterTest {
protected:
    // A 4 × 2 rectangle at w = 1 over texels 0..4 × 0..2 of a 4 × 2 texture: pixel (x, y)
    // samples texel (x, y) (coordinates at pixel x are x, rounding never crosses).
    void Rectangle() {
        Corners({{0, 0, 1, 0, 0}, {4, 0, 1, 4, 0}, {4, 2, 1, 4, 2}, {0, 2, 1, 0, 2}});
    }
    std::vector<uint8_t> texels;
};

TEST_F(PerspectiveCasesTest, KeyTexelsWriteDepthOnlyAtSixteenAndFifteen) {
    for (int depth : {8, 15, 16, 24, 32}) {
        auto texture = MakeTexture(4, 2, depth, texels);
        std::fill(texels.begin(), texels.end(), uint8_t(0x21));
        std::fill_n(texels.begin(), Bytes(depth), uint8_t(0)); // texel (0, 0) black: the key
        Material(texture.get(), LMaterial::kTextured);
        TestRaster raster(4, 2, depth, 0x77);
        Rectangle();
        (polygon.get()->*LPolygon_Software::RasterTableFor(depth)[5].span)();
        EXPECT_EQ(raster.pixels[0], 0x77) << depth << ": a key texel keeps the pixel";
        const bool packed = depth == 16 || depth == 15;
        EXPECT_EQ(raster.Depth(0, 0), packed ? 8388608 : 0) << depth;
        EXPECT_EQ(raster.Depth(1, 0), 8388608) << depth;
        EXPECT_EQ(raster.pixels[size_t(Bytes(depth))], 0x21) << depth;
    }
}

TEST_F(PerspectiveCasesTest, FourthByteCopiedOnlyByUnlitOpaqueUnkeyed) {
    auto texture = MakeTexture(4, 2, 32, texels);
    std::fill(texels.begin(), texels.end(), uint8_t(0x40));
    Material(texture.get(), LMaterial::kTextured);
    for (int entry : {3, 7, 4, 5}) {
        TestRaster raster(4, 2, 32, 0x99);
        Rectangle();
        (polygon.get()->*LPolygon_Software::RasterTableFor(32)[entry].span)();
        const uint32_t top = raster.Pixel(1, 1) >> 24;
        EXPECT_EQ(top, entry == 3 || entry == 7 ? 0x40u : 0x99u) << entry;
    }
    // Modulated lighting of 255 turns 255 into 254; level 128 keeps the texel.
    L3DObject object("o", &world, nullptr);
    std::fill(texels.begin(), texels.end(), uint8_t(255));
    polygon->owner = &object;
    object.objectFlags = L3DObject::kLambert;
    std::fill_n(polygon->averageColor, 4, uint8_t(255));
    TestRaster raster(4, 2, 32);
    raster.state.StateBits = 8;
    Rectangle();
    polygon->DrawSpansPerspective32();
    EXPECT_EQ(raster.Pixel(0, 0), 0x00FEFEFEu);
    polygon->averageColor[3] = 128;
    raster.state.StateBits = 0;
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSpansPerspective32();
    EXPECT_EQ(raster.Pixel(0, 0), 0x00FFFFFFu);
}

TEST_F(PerspectiveCasesTest, InsideRoutinesClampAndWrapRoutinesMask) {
    // Texel coordinates up to the width and height, as a polygon within the texture may
    // have: the last texel row of the last texture row must not be read past.
    auto texture = MakeTexture(4, 2, 16, texels);
    for (size_t i = 0; i < 8; ++i)
        texels[i * 2] = uint8_t(i + 1);
    Material(texture.get(), LMaterial::kTextured);
    TestRaster raster(8, 4, 16);
    Corners({{0, 0, 1, 0, 0}, {8, 0, 1, 8, 0}, {8, 4, 1, 8, 4}, {0, 4, 1, 0, 4}});
    polygon->DrawSpansPerspective16();
    EXPECT_EQ(raster.Pixel(7, 3), 8u);
    EXPECT_EQ(raster.Pixel(5, 0), 4u);
    raster.depthBuffer.assign(raster.depthBuffer.size(), 0);
    polygon->DrawSpansPerspectiveWrap16();
    EXPECT_EQ(raster.Pixel(4, 0), 1u) << "u = 4 wraps to column 0";
    EXPECT_EQ(raster.Pixel(5, 3), 6u) << "u = 5, v = 3 wrap to (1, 1)";
}

TEST_F(PerspectiveCasesTest, HugeAndNotFiniteValuesStayInside) {
    const float nan = std::nanf("");
    for (int depth : {8, 15, 16, 24, 32}) {
        auto texture = MakeTexture(8, 8, depth, texels);
        Material(texture.get(), LMaterial::kTextured | LMaterial::kWireframe);
        TestRaster raster(6, 5, depth);
        for (int entry = 3; entry <= 10; ++entry) {
            Corners({{-1e30f, -0.2f, 1, nan, 1e30f},
                     {1e30f, 2, 1e-30f, -1e30f, 3},
                     {3, 1e30f, nan, 2, 2}});
            (polygon.get()->*LPolygon_Software::RasterTableFor(depth)[entry].span)();
            Corners({{0, 0, 0, 1, 1}, {6, 0, -1, 1, 1}, {6, 5, 1e30f, 1, 1}});
            (polygon.get()->*LPolygon_Software::RasterTableFor(depth)[entry].span)();
        }
    }
}

TEST_F(PerspectiveCasesTest, EightBitsIgnoreLightingAndAlpha) {
    auto texture = MakeTexture(4, 2, 8, texels);
    std::fill(texels.begin(), texels.end(), uint8_t(5));
    Material(texture.get(), LMaterial::kTextured).SetAlphaValue(10);
    L3DObject object("o", &world, nullptr);
    polygon->owner = &object;
    object.objectFlags = L3DObject::kLambert;
    world.SetColorDepth(8);
    polygon->Prepare();
    TestRaster raster(4, 2, 8, 0x30);
    Rectangle();
    EXPECT_EQ(material->drawRoutine, LPolygon_Software::RasterTableFor(8)[3].draw)
        << "the translucent entry is the opaque routine";
    polygon->DrawSpansPerspective8();
    EXPECT_EQ(raster.Pixel(3, 1), 5u);
    EXPECT_EQ(raster.Depth(3, 1), 8388608);
}

} // namespace
