// Scenes reach the software spans from files and scripts: any polygon, sprite or backdrop
// (coordinates and texture values NaN, infinite or huge, any texture size, tilings) draws
// into a target of any size and depth without touching a byte outside the target, its
// depth buffer, its tables or the texture.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine3d/render/software/polygon/software_polygon.h"
#include "engine3d/render/software/raster_state.h"
#include "engine3d/scene/materials/material.h"
#include "engine3d/scene/materials/texture.h"
#include "engine3d/scene/mesh/point.h"
#include "engine3d/scene/objects/object.h"
#include "engine3d/scene/objects/world.h"
#include "engine3d/scene/render/null_device.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    uint32_t Word() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(Byte()) << (8 * i);
        return v;
    }

    // Mostly ordinary values on the target, sometimes any bit pattern at all.
    float Coordinate(float range) {
        const uint8_t kind = Byte();
        if (kind < 200) return float(Word() % 100000) / 100000.0f * range * 1.5f - range * 0.25f;
        const uint32_t bits = Word();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

    bool Empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr int kDepths[5] = {8, 15, 16, 24, 32};

int Bytes(int depth) {
    return depth == 8 ? 1 : depth <= 16 ? 2 : depth / 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const int depth = kDepths[in.Byte() % 5];
    const int width = 1 + in.Byte() % 64, height = 1 + in.Byte() % 64;
    // Tables one row short of the target as often as not: rows past them are never drawn.
    const int tableRows = in.Byte() % 2 == 0 ? height + 1 : std::max(1, height / 2);
    std::vector<uint8_t> pixels(size_t(width * Bytes(depth) * height));
    std::vector<int32_t> depthBuffer(size_t(width * height));
    const size_t rows = size_t(tableRows);
    std::vector<int32_t> xa(rows), xb(rows);
    std::vector<ScanEdge> ea(rows), eb(rows);
    SoftwareRasterState raster;
    raster.Pixels = pixels.data();
    raster.Pitch = width * Bytes(depth);
    raster.BitsPerPixel = depth;
    raster.ViewWidth = width;
    raster.ViewHeight = height;
    raster.DepthBuffer = depthBuffer.data();
    raster.DepthPitch = width;
    raster.StateBits = in.Byte() & 8;
    raster.XTableA = xa.data();
    raster.XTableB = xb.data();
    raster.EdgeTableA = ea.data();
    raster.EdgeTableB = eb.data();
    raster.TableRows = tableRows;
    SetCurrentSoftwareRaster(&raster);

    // Sides of any size, not only powers of two.
    const uint32_t tw = in.Byte() % 40, th = in.Byte() % 40;
    std::vector<uint8_t> texels(size_t(tw * th) * size_t(Bytes(depth)));
    for (uint8_t& t : texels)
        t = in.Byte();
    LAPINull device;
    L3DWorld world(&device, 0, nullptr, nullptr);
    world.SetColorDepth(uint32_t(depth));
    LTexture texture(nullptr, "t", nullptr);
    texture.width = tw;
    texture.height = th;
    texture.pitch = tw * uint32_t(Bytes(depth));
    texture.bitsPerPixel = uint32_t(depth);
    texture.pixels = texels.empty() ? nullptr : texels.data();
    texture.ownsBuffers = 0;
    texture.keyColor = in.Word();
    texture.keyPaletteIndex = in.Byte();
    if (in.Byte() % 4 == 0) texture.SetTiling(in.Coordinate(4), in.Coordinate(4));

    L3DObject object("o", &world, nullptr);
    LMaterial material(nullptr, "m", &texture, 0xFFFFFF, -1, nullptr);
    {
        LPolygon_Software polygon(nullptr, 2, &device);
        polygon.SetMaterial(&material);
        polygon.owner = &object;
        std::vector<std::unique_ptr<L3DPoint>> points;
        std::vector<L3DPoint*> list;
        for (int op = 0; op < 16 && !in.Empty(); ++op) {
            object.objectFlags = in.Byte() & 0x30;
            object.cloneCount = in.Byte() % 2;
            material.mode = in.Byte() & 0x0E;
            material.alpha = in.Byte();
            material.color = in.Word();
            const int count = 1 + in.Byte() % 8;
            points.clear();
            list.clear();
            for (int i = 0; i < count; ++i) {
                auto p = std::make_unique<L3DPoint>();
                p->screenX = in.Coordinate(float(width));
                p->screenY = in.Coordinate(float(height));
                p->reciprocalDepth = in.Coordinate(1.0f);
                p->vertexUV[0] = in.Coordinate(float(tw) * 2);
                p->vertexUV[1] = in.Coordinate(float(th) * 2);
                for (uint8_t& c : p->frameColor)
                    c = in.Byte();
                list.push_back(p.get());
                points.push_back(std::move(p));
            }
            if (in.Byte() % 4 == 0) {
                // Texture coordinates as files give them, converted to texels.
                LPolygon_Software prepared(nullptr, 2, &device);
                prepared.capacity = count;
                for (L3DPoint* p : list) {
                    for (float& t : p->texture)
                        t = in.Coordinate(4);
                    prepared.AddVertex(p);
                }
                prepared.SetMaterial(&material);
                prepared.Prepare();
                prepared.SetMaterial(nullptr);
            }
            polygon.LendVertices(list.data(), count);
            const uint8_t routine = in.Byte();
            const int d15 = depth == 15 ? 15 : 16;
            switch (routine % 8) {
            case 0:
            case 1: {
                const LPolygon_Software::RasterEntry* table =
                    LPolygon_Software::RasterTableFor(depth);
                (polygon.*table[(routine >> 3) % LPolygon_Software::kRasterEntries].span)();
                break;
            }
            case 2:
                polygon.DrawSpansTexturedAffine32();
                polygon.DrawSpansTexturedAffine24();
                polygon.DrawSpansTexturedAffine16();
                polygon.DrawSpansTexturedAffine8();
                break;
            case 3:
                polygon.FillQuadSolid8();
                polygon.FillQuadSolid16(d15);
                polygon.FillQuadSolid24();
                polygon.FillQuadSolid32();
                polygon.FillQuadSolidTranslucent15();
                polygon.FillQuadSolidTranslucent16();
                polygon.FillQuadSolidTranslucent32();
                break;
            case 4:
                polygon.FillQuadTextured8();
                polygon.FillQuadTextured16(d15);
                polygon.FillQuadTextured24();
                polygon.FillQuadTextured32();
                polygon.FillQuadTexturedTranslucent15();
                polygon.FillQuadTexturedTranslucent16();
                polygon.FillQuadTexturedTranslucent24();
                polygon.FillQuadTexturedTranslucent32();
                break;
            case 5:
                polygon.FillQuadTexturedKeyed8();
                polygon.FillQuadTexturedKeyed16(d15);
                polygon.FillQuadTexturedKeyed24();
                polygon.FillQuadTexturedKeyed32();
                polygon.FillQuadTexturedKeyedTranslucent15();
                polygon.FillQuadTexturedKeyedTranslucent16();
                polygon.FillQuadTexturedKeyedTranslucent24();
                polygon.FillQuadTexturedKeyedTranslucent32();
                break;
            case 6: {
                const int x0 = int(in.Word()), y0 = int(in.Word());
                const int x1 = int(in.Word()), y1 = int(in.Word());
                polygon.DrawLineZ32(x0, y0, in.Coordinate(1), x1, y1, in.Coordinate(1));
                polygon.DrawLineZ24(x0, y0, 1, x1, y1, 1);
                polygon.DrawLineZ16(x0, y0, 1, x1, y1, 1, d15);
                polygon.DrawLineZ8(x0, y0, 1, x1, y1, 1);
                break;
            }
            default:
                // A material made for another depth than the target's draws nothing.
                (polygon.*
                 LPolygon_Software::RasterTableFor(kDepths[routine % 5])[routine % 11].span)();
                break;
            }
        }
        polygon.ReturnVertices();
        polygon.owner = nullptr;
    }
    SetCurrentSoftwareRaster(nullptr);
    return 0;
}
