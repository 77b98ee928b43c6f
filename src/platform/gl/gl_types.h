// The OpenGL 1.1 types and the enumerants the 3D renderers use, as the OpenGL headers define
// them, so that code outside src/platform/ can call OpenGL through the loader's slots
// without including a system header. The types keep the headers' spellings (they are the
// same typedefs, so a file that also includes <GL/gl.h> still compiles); the enumerants
// drop the GL_ prefix and live in namespace gl, out of the way of the headers' macros.
#pragma once

#include <cstdint>

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef int GLsizei;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

namespace gl {

// Primitives.
inline constexpr GLenum LINES = 0x0001;
inline constexpr GLenum TRIANGLES = 0x0004;
inline constexpr GLenum TRIANGLE_FAN = 0x0006;

// Capabilities.
inline constexpr GLenum CULL_FACE = 0x0B44;
inline constexpr GLenum FOG = 0x0B60;
inline constexpr GLenum DEPTH_TEST = 0x0B71;
inline constexpr GLenum ALPHA_TEST = 0x0BC0;
inline constexpr GLenum BLEND = 0x0BE2;
inline constexpr GLenum TEXTURE_2D = 0x0DE1;

// Comparisons.
inline constexpr GLenum LESS = 0x0201;
inline constexpr GLenum NOTEQUAL = 0x0205;
inline constexpr GLenum ALWAYS = 0x0207;

// Blending.
inline constexpr GLenum ONE = 1;
inline constexpr GLenum SRC_ALPHA = 0x0302;
inline constexpr GLenum ONE_MINUS_SRC_ALPHA = 0x0303;

// Polygons and shading.
inline constexpr GLenum FRONT_AND_BACK = 0x0408;
inline constexpr GLenum LINE = 0x1B01;
inline constexpr GLenum FILL = 0x1B02;
inline constexpr GLenum FLAT = 0x1D00;
inline constexpr GLenum SMOOTH = 0x1D01;

// Buffers.
inline constexpr GLbitfield DEPTH_BUFFER_BIT = 0x00000100;
inline constexpr GLbitfield COLOR_BUFFER_BIT = 0x00004000;

// Fog.
inline constexpr GLenum FOG_DENSITY = 0x0B62;
inline constexpr GLenum FOG_START = 0x0B63;
inline constexpr GLenum FOG_END = 0x0B64;
inline constexpr GLenum FOG_MODE = 0x0B65;
inline constexpr GLenum FOG_COLOR = 0x0B66;

// Hints.
inline constexpr GLenum PERSPECTIVE_CORRECTION_HINT = 0x0C50;
inline constexpr GLenum POINT_SMOOTH_HINT = 0x0C51;
inline constexpr GLenum NICEST = 0x1102;

// Matrices.
inline constexpr GLenum MODELVIEW = 0x1700;
inline constexpr GLenum PROJECTION = 0x1701;

// Pixels and arrays.
inline constexpr GLenum UNSIGNED_BYTE = 0x1401;
inline constexpr GLenum UNSIGNED_SHORT = 0x1403;
inline constexpr GLenum FLOAT = 0x1406;
inline constexpr GLenum RGB = 0x1907;
inline constexpr GLenum RGBA = 0x1908;

// Client arrays.
inline constexpr GLenum VERTEX_ARRAY = 0x8074;
inline constexpr GLenum COLOR_ARRAY = 0x8076;
inline constexpr GLenum TEXTURE_COORD_ARRAY = 0x8078;

// Textures.
inline constexpr GLenum MODULATE = 0x2100;
inline constexpr GLenum TEXTURE_ENV_MODE = 0x2200;
inline constexpr GLenum TEXTURE_ENV = 0x2300;
inline constexpr GLenum NEAREST = 0x2600;
inline constexpr GLenum LINEAR = 0x2601;
inline constexpr GLenum NEAREST_MIPMAP_LINEAR = 0x2702;
inline constexpr GLenum LINEAR_MIPMAP_LINEAR = 0x2703;
inline constexpr GLenum TEXTURE_MAG_FILTER = 0x2800;
inline constexpr GLenum TEXTURE_MIN_FILTER = 0x2801;
inline constexpr GLenum TEXTURE_WRAP_S = 0x2802;
inline constexpr GLenum TEXTURE_WRAP_T = 0x2803;
inline constexpr GLenum REPEAT = 0x2901;

} // namespace gl
