// What the plain GL programs beside the renderer benchmarks share: where they draw and how
// they begin and show a frame, and a wall of 600 triangles over 640 x 480 in screen space,
// as one vertex array for one glDrawElements, in a 64 x 64 checker texture.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "platform/gl/wgl.h"
#include "platform/user/windows.h"

namespace bench {

// A plain program's frame begins: screen coordinates with y downwards over the whole
// target, colour and depth cleared.
inline void BeginPlainFrame(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, 1, -1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.2f, 0.1f, 0.1f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The window and context a plain program borrows from a back end, the device context it
// draws through and its one texture.
struct PlainTarget {
    // Finished, then read back into the window as the back ends' frames are.
    void Show() const {
        glFinish();
        SwapBuffers(dc);
    }

    HWND window;
    HGLRC context;
    HDC dc = 0;
    GLuint texture = 0;
};

struct PlainWall {
    PlainWall() {
        for (int row = 0; row <= 15; ++row)
            for (int column = 0; column <= 20; ++column) {
                vertices.insert(vertices.end(), {float(column * 32), float(row * 32)});
                coordinates.insert(coordinates.end(), {float(column), float(row)});
            }
        for (int row = 0; row < 15; ++row)
            for (int column = 0; column < 20; ++column) {
                const GLushort a = GLushort(row * 21 + column), b = GLushort(a + 1),
                               c = GLushort(a + 22), d = GLushort(a + 21);
                indices.insert(indices.end(), {a, b, c, a, c, d});
            }
        texels.resize(kTextureSize * kTextureSize);
        for (int i = 0; i < kTextureSize * kTextureSize; ++i)
            texels[size_t(i)] = (i % 64 / 8 + i / 64 / 8) % 2 ? 0xFFE08020u : 0xFFF0F0F0u;
    }
    // Draws the wall with the arrays the caller enabled and the texture it bound.
    void Draw() const {
        glVertexPointer(2, GL_FLOAT, 0, vertices.data());
        glTexCoordPointer(2, GL_FLOAT, 0, coordinates.data());
        glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    }

    static constexpr int kTextureSize = 64;
    std::vector<float> vertices, coordinates;
    std::vector<GLushort> indices;
    // RGBA, for glTexImage2D.
    std::vector<uint32_t> texels;
};

} // namespace bench
