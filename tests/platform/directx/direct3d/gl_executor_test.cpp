// Devices drawing through OpenGL (Mesa's llvmpipe under tools/test): a quad at a time on a
// 16 x 16 target, read back through Lock, against the pixels Direct3D's rules give.
#include <cstring>
#include <vector>

#include "platform/directx/ddraw_test_support.h"
#include "platform/directx/direct3d/d3d.h"
#include "platform/directx/direct3d/d3d_executor.h"
#include "platform/directx/direct3d/direct3d_test_hooks.h"
#include "platform/gl/gl_probe.h"

namespace {

using platform::d3d::TLVertex;

constexpr DWORD kSide = 16;

class GlExecutorTest : public ddraw_test::DirectDraw {
protected:
    void SetUp() override {
        DirectDraw::SetUp();
        platform::test::ResetDirect3DSetup();
        if (!platform::OpenGLAvailable()) GTEST_SKIP() << "no OpenGL here";
        live_ = platform::test::LiveDirect3DObjects();
        IDirectDraw2* dd2 = Open();
        void* wide = nullptr;
        ASSERT_EQ(dd2->QueryInterface(IID_IDirectDraw4, &wide), S_OK);
        dd2->Release();
        dd = static_cast<IDirectDraw4*>(wide);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = desc.dwHeight = kSide;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        ASSERT_EQ(dd->CreateSurface(&desc, &target, nullptr), DD_OK);
        void* d3dObject = nullptr;
        ASSERT_EQ(dd->QueryInterface(IID_IDirect3D3, &d3dObject), S_OK);
        d3d = static_cast<IDirect3D3*>(d3dObject);
    }
    void TearDown() override {
        if (device) device->Release();
        if (d3d) d3d->Release();
        if (target) target->Release();
        if (dd) {
            dd->Release();
            EXPECT_EQ(platform::test::LiveDirect3DObjects(), live_);
        }
        platform::test::ResetDirect3DSetup();
        DirectDraw::TearDown();
    }

    void MakeDevice() {
        ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DHALDevice, target, &device, nullptr), DD_OK);
        // Direct3D's defaults but for the culling, which the quads' order would meet.
        device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    }

    // A texture of one format with one colour, or a key colour in its left half.
    IDirectDrawSurface4* Texture(const DDPIXELFORMAT& format, uint32_t texel, uint32_t left = 0,
                                 bool keyLeft = false) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = desc.dwHeight = 4;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        desc.ddpfPixelFormat = format;
        IDirectDrawSurface4* texture = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &texture, nullptr), DD_OK);
        DDSURFACEDESC2 locked{};
        locked.dwSize = sizeof locked;
        EXPECT_EQ(texture->Lock(nullptr, &locked, 0, 0), DD_OK);
        uint8_t* memory = SurfaceMemory(locked);
        const DWORD bytes = format.dwRGBBitCount / 8;
        for (DWORD y = 0; y < 4; ++y)
            for (DWORD x = 0; x < 4; ++x) {
                const uint32_t value = keyLeft && x < 2 ? left : texel;
                std::memcpy(memory + y * locked.lPitch + x * bytes, &value, bytes);
            }
        texture->Unlock(nullptr);
        if (keyLeft) {
            DDCOLORKEY key{left, left};
            EXPECT_EQ(texture->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
        }
        return texture;
    }

    void Bind(DWORD stage, IDirectDrawSurface4* texture) {
        void* asTexture = nullptr;
        ASSERT_EQ(texture->QueryInterface(IID_IDirect3DTexture2, &asTexture), S_OK);
        EXPECT_EQ(device->SetTexture(stage, static_cast<IDirect3DTexture2*>(asTexture)), DD_OK);
        static_cast<IDirect3DTexture2*>(asTexture)->Release();
    }

    static TLVertex At(float x, float y, DWORD diffuse, DWORD specular = 0xFF000000u) {
        return TLVertex{x, y, 0.5f, 1.0f, diffuse, specular, x / kSide, y / kSide, 0, 0};
    }

    // Clears to `background` and draws the fan of `vertices` in one scene.
    void Draw(std::vector<TLVertex> vertices, DWORD background = 0x000000) {
        ASSERT_EQ(device->BeginScene(), DD_OK);
        Clear(background);
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, vertices.data(),
                                        DWORD(vertices.size()), 0),
                  DD_OK);
        EXPECT_EQ(device->EndScene(), DD_OK);
    }
    void FullQuad(DWORD diffuse, DWORD specular = 0xFF000000u) {
        Draw({At(0, 0, diffuse, specular), At(kSide, 0, diffuse, specular),
              At(kSide, kSide, diffuse, specular), At(0, kSide, diffuse, specular)});
    }
    void Clear(DWORD colour) {
        if (viewport == nullptr) {
            ASSERT_EQ(d3d->CreateViewport(&viewport, nullptr), DD_OK);
            D3DVIEWPORT2 vp{sizeof(D3DVIEWPORT2), 0, 0, kSide, kSide, 0, 0, 0, 0, 0, 1};
            ASSERT_EQ(viewport->SetViewport2(&vp), DD_OK);
            ASSERT_EQ(device->AddViewport(viewport), DD_OK);
            ASSERT_EQ(device->SetCurrentViewport(viewport), DD_OK);
            viewport->Release(); // the device holds it
        }
        D3DRECT all{0, 0, LONG(kSide), LONG(kSide)};
        EXPECT_EQ(viewport->Clear2(1, &all, D3DCLEAR_TARGET, colour, 1.0f, 0), DD_OK);
    }

    // The target's pixel as 0x00RRGGBB, read through Lock as any user of its memory would.
    uint32_t Pixel(DWORD x, DWORD y) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(target->Lock(nullptr, &desc, 0, 0), DD_OK);
        uint32_t value = 0;
        std::memcpy(&value, SurfaceMemory(desc) + y * desc.lPitch + x * 4, 4);
        target->Unlock(nullptr);
        return value & 0xFFFFFF;
    }

    static void ExpectNear(uint32_t got, uint32_t expected, int tolerance = 2) {
        for (int shift : {0, 8, 16})
            EXPECT_LE(std::abs(int(got >> shift & 0xFF) - int(expected >> shift & 0xFF)), tolerance)
                << std::hex << got << " for " << expected;
    }

    static DDPIXELFORMAT Format(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
        return DDPIXELFORMAT{
            sizeof(DDPIXELFORMAT), DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0u), 0, bits, r, g, b, a};
    }

    IDirectDraw4* dd = nullptr;
    IDirectDrawSurface4* target = nullptr;
    IDirect3D3* d3d = nullptr;
    IDirect3DDevice3* device = nullptr;
    IDirect3DViewport3* viewport = nullptr;

private:
    long live_ = 0;
};

const DDPIXELFORMAT k8888 = {
    sizeof(DDPIXELFORMAT), DDPF_RGB | DDPF_ALPHAPIXELS, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};

TEST_F(GlExecutorTest, ClearsAndUntexturedFansReachTheTargetsMemory) {
    MakeDevice();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    // Half the target: the fan's right edge at x = 8 covers the pixels whose centres lie left.
    Draw({At(0, 0, 0xFF40C080), At(8, 0, 0xFF40C080), At(8, kSide, 0xFF40C080),
          At(0, kSide, 0xFF40C080)},
         0x102030);
    EXPECT_EQ(Pixel(0, 0), 0x40C080u);
    EXPECT_EQ(Pixel(7, 15), 0x40C080u);
    EXPECT_EQ(Pixel(8, 0), 0x102030u);
    EXPECT_EQ(Pixel(15, 15), 0x102030u);
}

TEST_F(GlExecutorTest, StageOperationsCombineTextureDiffuseAndFactor) {
    MakeDevice();
    IDirectDrawSurface4* texture = Texture(k8888, 0x80406080);
    Bind(0, texture);
    device->SetRenderState(D3DRENDERSTATE_TEXTUREFACTOR, 0x40000000);
    const DWORD diffuse = 0xFF808040;
    struct Case {
        DWORD op;
        uint32_t expected;
    } cases[] = {
        {D3DTOP_MODULATE, 0x203020},         // 0x40*0x80, 0x60*0x80, 0x80*0x40 over 255
        {D3DTOP_ADD, 0xC0E0C0},              // sums
        {D3DTOP_ADDSIGNED, 0x406040},        // sums less a half
        {D3DTOP_SELECTARG1, 0x406080},       // the texel
        {D3DTOP_BLENDFACTORALPHA, 0x707850}, // a quarter of the texel, the rest diffuse
        {D3DTOP_DISABLE, 0x808040},          // the diffuse colour alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        device->SetTextureStageState(0, D3DTSS_COLOROP, c.op);
        FullQuad(diffuse);
        ExpectNear(Pixel(8, 8), c.expected);
    }
    // Without a texture the stage passes the diffuse colour on, whatever its operation.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTexture(0, nullptr);
    FullQuad(diffuse);
    ExpectNear(Pixel(8, 8), 0x808040);
    texture->Release();
}

TEST_F(GlExecutorTest, TexelsOfEveryOfferedFormatArriveAsTheirColours) {
    MakeDevice();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    struct Case {
        DDPIXELFORMAT format;
        uint32_t texel;
        uint32_t expected;
    } cases[] = {
        {Format(16, 0xF800, 0x07E0, 0x001F, 0), 0xF81F, 0xFF00FF},
        {Format(16, 0x7C00, 0x03E0, 0x001F, 0), 0x03E0, 0x00FF00},
        {Format(16, 0x7C00, 0x03E0, 0x001F, 0x8000), 0xFC00, 0xFF0000},
        {Format(16, 0x0F00, 0x00F0, 0x000F, 0xF000), 0xF08F, 0x0088FF},
        {k8888, 0xFF123456, 0x123456},
        {Format(32, 0xFF0000, 0xFF00, 0xFF, 0), 0x00ABCDEF, 0xABCDEF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format.dwRBitMask);
        IDirectDrawSurface4* texture = Texture(c.format, c.texel);
        Bind(0, texture);
        FullQuad(0xFFFFFFFF);
        ExpectNear(Pixel(8, 8), c.expected, 1);
        texture->Release();
    }
}

TEST_F(GlExecutorTest, KeyedTexelsAreLeftOutUnderTheColourKeyState) {
    MakeDevice();
    const DDPIXELFORMAT format = Format(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    IDirectDrawSurface4* texture = Texture(format, 0xFC00, 0x801F, true);
    Bind(0, texture);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRENDERSTATE_COLORKEYENABLE, 1);
    FullQuad(0xFFFFFFFF);
    EXPECT_EQ(Pixel(2, 8), 0x000000u); // keyed: the clear colour shows
    ExpectNear(Pixel(12, 8), 0xFF0000);
    texture->Release();
}

TEST_F(GlExecutorTest, FlatShadingCullingAndFogFollowDirect3D) {
    MakeDevice();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT);
    // One triangle, clockwise on the screen: its first vertex's colour everywhere.
    const std::vector<TLVertex> clockwise = {At(0, 0, 0xFFFF0000), At(kSide, 0, 0xFF00FF00),
                                             At(0, kSide, 0xFF0000FF)};
    Draw(clockwise);
    EXPECT_EQ(Pixel(2, 2), 0xFF0000u);
    EXPECT_EQ(Pixel(1, 12), 0xFF0000u);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
    Draw(clockwise);
    EXPECT_EQ(Pixel(2, 2), 0x000000u);
    Draw({clockwise[0], clockwise[2], clockwise[1]}); // counter-clockwise stays
    EXPECT_EQ(Pixel(2, 2), 0xFF0000u);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
    // Fog from the specular alpha: a quarter of the way into a blue fog.
    device->SetRenderState(D3DRENDERSTATE_FOGENABLE, 1);
    device->SetRenderState(D3DRENDERSTATE_FOGCOLOR, 0x0000FF);
    FullQuad(0xFFFFFFFF, 0xC0000000);
    ExpectNear(Pixel(8, 8), 0xC0C0FF);
}

TEST_F(GlExecutorTest, DepthTestAndTheStatesOfTheDepthBuffer) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = kSide;
    desc.ddsCaps.dwCaps = DDSCAPS_ZBUFFER;
    desc.ddpfPixelFormat =
        DDPIXELFORMAT{sizeof(DDPIXELFORMAT), DDPF_ZBUFFER, 0, 16, 0, 0xFFFF, 0, 0};
    IDirectDrawSurface4* depth = nullptr;
    ASSERT_EQ(dd->CreateSurface(&desc, &depth, nullptr), DD_OK);
    ASSERT_EQ(target->AddAttachedSurface(depth), DD_OK);
    depth->Release();
    MakeDevice();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 1);
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESS);
    auto quad = [](float z, DWORD colour) {
        std::vector<TLVertex> v = {At(0, 0, colour), At(kSide, 0, colour), At(kSide, kSide, colour),
                                   At(0, kSide, colour)};
        for (TLVertex& vertex : v)
            vertex.z = z;
        return v;
    };
    ASSERT_EQ(device->BeginScene(), DD_OK);
    Clear(0);
    D3DRECT all{0, 0, LONG(kSide), LONG(kSide)};
    viewport->Clear2(1, &all, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    std::vector<TLVertex> nearer = quad(0.25f, 0xFF00FF00), further = quad(0.75f, 0xFFFF0000);
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, nearer.data(), 4, 0);
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, further.data(), 4, 0);
    device->EndScene();
    EXPECT_EQ(Pixel(8, 8), 0x00FF00u);
    // Z function ALWAYS lets the further one through.
    device->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_ALWAYS);
    device->BeginScene();
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, further.data(), 4, 0);
    device->EndScene();
    EXPECT_EQ(Pixel(8, 8), 0xFF0000u);
}

TEST_F(GlExecutorTest, WhatIsWrittenIntoTheTargetStaysUnderLaterDrawing) {
    MakeDevice();
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    Draw({At(0, 0, 0xFFFFFFFF), At(4, 0, 0xFFFFFFFF), At(4, 4, 0xFFFFFFFF), At(0, 4, 0xFFFFFFFF)},
         0x000080);
    // The statistics text and a Blt write the memory between frames.
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x00AA00;
    RECT corner{12, 12, 16, 16};
    ASSERT_EQ(target->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
    // A scene that draws without clearing keeps both.
    ASSERT_EQ(device->BeginScene(), DD_OK);
    std::vector<TLVertex> red = {At(4, 0, 0xFFFF0000), At(8, 0, 0xFFFF0000), At(8, 4, 0xFFFF0000),
                                 At(4, 4, 0xFFFF0000)};
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX2, red.data(), 4, 0);
    device->EndScene();
    EXPECT_EQ(Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(Pixel(5, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(13, 13), 0x00AA00u);
    EXPECT_EQ(Pixel(10, 8), 0x000080u);
}

} // namespace
