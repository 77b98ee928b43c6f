#include "engine3d/render/opengl/opengl_texture.h"

#include <algorithm>
#include <cstdint>

#include "engine3d/render/opengl/opengl_loader.h"
#include "engine3d/render/opengl/opengl_renderer.h"

namespace {

struct Rgb {
    uint8_t red, green, blue;
};

// The key as a 15- or 16-bit pixel, from a 0x00BBGGRR colour.
uint32_t KeyPixel15(uint32_t k) {
    return ((k & 0xF8) << 7) | ((k >> 6) & 0x3E0) | ((k >> 19) & 0x1F);
}
uint32_t KeyPixel16(uint32_t k) {
    return ((k & 0xF8) << 8) | ((k >> 5) & 0x7E0) | ((k >> 19) & 0x1F);
}

// Linear filtering and the mipmaps mix a keyed texel's colour into its visible neighbours,
// which would show the key as a fringe along every cut-out edge. Each keyed texel takes the
// mean colour of the nearest texels already coloured, spreading outwards from the visible
// ones (rows and columns wrap, as the texture repeats). A wholly keyed image stays as it is.
void ColourKeyedTexels(std::vector<uint8_t>& rgba, const std::vector<bool>& keyed, uint32_t w,
                       uint32_t h) {
    constexpr uint32_t kUnreached = UINT32_MAX;
    const size_t count = size_t(w) * h;
    // How many steps each texel lies from the visible part; 0 for the visible ones.
    std::vector<uint32_t> ring(count, kUnreached);
    std::vector<size_t> current;
    for (size_t i = 0; i < count; ++i) {
        if (keyed[i]) continue;
        ring[i] = 0;
        current.push_back(i);
    }
    if (current.empty()) return;
    // The eight texels around, each once however small the image is.
    auto neighbours = [w, h](size_t i, auto&& visit) {
        const uint32_t x = uint32_t(i % w), y = uint32_t(i / w);
        size_t seen[8];
        size_t found = 0;
        for (uint32_t dy : {h - 1, 0u, 1u}) {
            for (uint32_t dx : {w - 1, 0u, 1u}) {
                const size_t n = size_t((y + dy) % h) * w + (x + dx) % w;
                if (n == i || std::find(seen, seen + found, n) != seen + found) continue;
                seen[found++] = n;
                visit(n);
            }
        }
    };
    std::vector<size_t> next;
    for (uint32_t step = 1; !current.empty(); ++step) {
        next.clear();
        for (size_t i : current)
            neighbours(i, [&](size_t n) {
                if (ring[n] != kUnreached) return;
                ring[n] = step;
                next.push_back(n);
            });
        // Only texels nearer to the visible part than this one give it their colour.
        for (size_t n : next) {
            uint32_t sum[3] = {}, used = 0;
            neighbours(n, [&](size_t m) {
                if (ring[m] >= step) return;
                for (size_t c = 0; c < 3; ++c)
                    sum[c] += rgba[4 * m + c];
                ++used;
            });
            for (size_t c = 0; c < 3; ++c)
                rgba[4 * n + c] = uint8_t((sum[c] + used / 2) / used);
        }
        current.swap(next);
    }
}

} // namespace

LTexture_OpenGL::LTexture_OpenGL(L3DWorld* w, const char* name, LCLBKObject* link)
    : LTexture(w, name, link) {}

LTexture_OpenGL::~LTexture_OpenGL() {
    ReleaseDeviceCopy();
}

LRenderAPICLBK* LTexture_OpenGL::GetSurface() const {
    return LRenderAPI_OpenGL::Current();
}

int LTexture_OpenGL::SetImage(uint8_t* image, uint32_t imagePitch, uint8_t* alphaImage,
                              uint32_t alphaImagePitch, uint32_t w, uint32_t h, uint32_t owns,
                              uint32_t d, const PaletteRecord* palette) {
    const int result =
        LTexture::SetImage(image, imagePitch, alphaImage, alphaImagePitch, w, h, owns, d, palette);
    UploadTexture();
    return result;
}

void LTexture_OpenGL::SetColorKey(int on, uint32_t colour) {
    const int keyed = (flags & kColorKey) != 0 ? 1 : 0;
    if (keyed == on && keyColor == colour) return;
    LTexture::SetColorKey(on, colour);
    ReleaseDeviceCopy();
}

void LTexture_OpenGL::ReleaseDeviceCopy() {
    if (textureName != kNoName && gl11::glDeleteTextures != nullptr) {
        const GLuint name = textureName;
        gl11::glDeleteTextures(1, &name);
    }
    textureName = kNoName;
    deviceBuffer_ = {};
    deviceCopy = nullptr;
}

std::vector<uint8_t> LTexture_OpenGL::Convert(uint32_t w, uint32_t h, bool& withAlpha) const {
    const uint32_t d = bitsPerPixel;
    withAlpha = false;
    if ((d != 15 && d != 16 && d != 24 && d != 32) || pixels == nullptr) return {};
    const uint32_t bytes = d <= 16 ? 2 : d / 8;
    // Rows are read within the pitch the pixels have, whatever the width says.
    if (uint64_t(w) * bytes > pitch) return {};
    const bool keyed = (flags & kColorKey) != 0;
    const bool plane = alphaPlane != nullptr;
    withAlpha = keyed || plane || alpha < 255;
    const uint32_t channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> out(size_t(w) * h * channels);
    std::vector<bool> keyedTexels(keyed ? size_t(w) * h : 0);
    const uint32_t key = d == 15 ? KeyPixel15(keyColor) : KeyPixel16(keyColor);
    const Rgb keyRgb{uint8_t(keyColor), uint8_t(keyColor >> 8), uint8_t(keyColor >> 16)};
    uint8_t* o = out.data();
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* row = pixels + size_t(y) * pitch;
        const uint8_t* alphaRow = plane ? alphaPlane + size_t(y) * alphaPitch : nullptr;
        for (uint32_t x = 0; x < w; ++x) {
            Rgb c{};
            bool matches = false;
            if (bytes == 2) {
                const uint32_t p = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
                if (d == 15)
                    c = {uint8_t((p >> 7) & 0xF8), uint8_t((p >> 2) & 0xF8),
                         uint8_t((p << 3) & 0xF8)};
                else
                    c = {uint8_t((p >> 8) & 0xF8), uint8_t((p >> 3) & 0xFC),
                         uint8_t((p << 3) & 0xF8)};
                matches = p == key;
            } else {
                const uint8_t* p = row + size_t(x) * bytes;
                c = {p[2], p[1], p[0]};
                matches = c.red == keyRgb.red && c.green == keyRgb.green && c.blue == keyRgb.blue;
            }
            *o++ = c.red;
            *o++ = c.green;
            *o++ = c.blue;
            if (!withAlpha) continue;
            uint8_t a = plane ? (x < alphaPitch ? alphaRow[x] : 255) : alpha;
            if (keyed && matches) {
                a = 0;
                keyedTexels[size_t(y) * w + x] = true;
            }
            *o++ = a;
        }
    }
    if (keyed) ColourKeyedTexels(out, keyedTexels, w, h);
    return out;
}

int LTexture_OpenGL::UploadTexture() {
    ReleaseDeviceCopy();
    LRenderAPI_OpenGL* renderer = LRenderAPI_OpenGL::Current();
    FitSizeToDevice(renderer);
    // The width follows the row length, so rows are read without padding.
    switch (bitsPerPixel) {
    case 8:
        width = pitch;
        break;
    case 15:
    case 16:
        width = pitch / 2;
        break;
    case 24:
        width = pitch / 3;
        break;
    case 32:
        width = pitch / 4;
        break;
    default:
        break;
    }
    if (width == 0 || height == 0 || renderer == nullptr || gl11::glGenTextures == nullptr)
        return 1;
    GLuint name = 0;
    gl11::glGenTextures(1, &name);
    textureName = name;
    gl11::glBindTexture(gl::TEXTURE_2D, name);
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_WRAP_T, GLint(gl::REPEAT));
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_WRAP_S, GLint(gl::REPEAT));
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MAG_FILTER, GLint(gl::LINEAR));
    gl11::glTexParameteri(gl::TEXTURE_2D, gl::TEXTURE_MIN_FILTER, GLint(gl::LINEAR_MIPMAP_LINEAR));
    gl11::glTexEnvi(gl::TEXTURE_ENV, gl::TEXTURE_ENV_MODE, GLint(gl::MODULATE));
    bool withAlpha = false;
    deviceBuffer_ = Convert(width, height, withAlpha);
    if (deviceBuffer_.empty()) return 1;
    deviceCopy = deviceBuffer_.data();
    gl11::gluBuild2DMipmaps(gl::TEXTURE_2D, 4, GLint(width), GLint(height),
                            withAlpha ? gl::RGBA : gl::RGB, gl::UNSIGNED_BYTE, deviceCopy);
    return 1;
}
