#include <algorithm>
#include <memory>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_object.h"
#include "platform/gdi/text/font_instance.h"
#include "platform/gl/gl_calls.h"
#include "platform/gl/gl_context.h"
#include "platform/gl/wgl.h"
#include "platform/kernel/errors.h"

namespace platform::gl {
namespace {

// A glyph as glBitmap takes it: rows bottom first, one bit a pixel, high bit first, rows
// of whole bytes.
std::vector<GLubyte> BottomUp(const GlyphBitmap& glyph) {
    size_t pitch = size_t(glyph.width + 7) / 8;
    // A blank glyph (the space) still gets a byte: Mesa takes no bitmap for a lack of memory.
    std::vector<GLubyte> bits(std::max<size_t>(pitch * size_t(glyph.height), 1));
    for (int y = 0; y < glyph.height; ++y) {
        const uint8_t* from = glyph.bits.data() + size_t(y) * size_t(glyph.pitch);
        GLubyte* to = bits.data() + size_t(glyph.height - 1 - y) * pitch;
        for (int x = 0; x < glyph.width; ++x) {
            bool on = glyph.kind == GlyphKind::Mono ? (from[x / 8] >> (7 - x % 8) & 1) != 0
                                                    : from[x] >= 128;
            if (on) to[x / 8] |= GLubyte(0x80u >> (x % 8));
        }
    }
    return bits;
}

} // namespace
} // namespace platform::gl

// Each character becomes a display list drawing its glyph at the raster position, on the
// base line, and moving the position on by the character's advance.
BOOL wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    using namespace platform;
    const gl::GlCalls* calls = gl::CurrentCalls();
    DrawContext draw;
    if (calls == nullptr || !GetDrawContext(dc, draw)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto font = std::static_pointer_cast<Font>(draw.state.font.object);
    if (!font || first > 255 || count > 256 - first) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<const FontInstance> instance = font->Instance();
    // The answer tells of these lists only, not of errors the caller's drawing left (GL
    // keeps at most one of each kind).
    for (int kind = 0; kind < 8 && calls->GetError() != GL_NO_ERROR; ++kind) {}
    GLint alignment = 4;
    calls->GetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    calls->PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (DWORD i = 0; i < count; ++i) {
        auto character = static_cast<unsigned char>(first + i);
        const GlyphBitmap& glyph = instance->Glyph(character, GlyphKind::Mono);
        std::vector<GLubyte> bits = gl::BottomUp(glyph);
        calls->NewList(GLuint(listBase + i), GL_COMPILE);
        calls->Bitmap(glyph.width, glyph.height, GLfloat(-glyph.left),
                      GLfloat(glyph.height - glyph.top), GLfloat(instance->Advance(character)),
                      0.0f, bits.data());
        calls->EndList();
    }
    calls->PixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return calls->GetError() == GL_NO_ERROR ? TRUE : FALSE;
}
