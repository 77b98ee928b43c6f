// The OpenGL libraries, opened at run time: "OpenGL32.dll" gives the 336 OpenGL 1.1 entry
// points and the five WGL calls, "GLU32.dll" gluBuild2DMipmaps. Loading is all or nothing:
// one missing name frees the library and clears every slot filled so far, so nothing can
// call into a library that is gone. The renderer, its polygons and textures call OpenGL
// only through the typed slots below; the other entry points are kept in untyped slots,
// loaded only so that a library lacking them is refused.
//
// A load count lets several back ends share one load: the libraries go with the last
// UnloadOpenGL. Tests may fill the typed slots with stubs of their own.
#pragma once

#include <cstddef>

#include "platform/gl/gl_types.h"
#include "platform/gl/wgl.h"
#include "platform/process/shared_library.h"

namespace gl11 {

extern void (*glAlphaFunc)(GLenum func, GLclampf ref);
extern void (*glBegin)(GLenum mode);
extern void (*glBindTexture)(GLenum target, GLuint texture);
extern void (*glBlendFunc)(GLenum source, GLenum destination);
extern void (*glCallLists)(GLsizei n, GLenum type, const GLvoid* lists);
extern void (*glClear)(GLbitfield mask);
extern void (*glClearColor)(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
extern void (*glClearDepth)(GLclampd depth);
extern void (*glColor4ub)(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha);
extern void (*glColorPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
extern void (*glDeleteLists)(GLuint list, GLsizei range);
extern void (*glDeleteTextures)(GLsizei n, const GLuint* textures);
extern void (*glDepthFunc)(GLenum func);
extern void (*glDepthRange)(GLclampd nearValue, GLclampd farValue);
extern void (*glDisable)(GLenum capability);
extern void (*glDisableClientState)(GLenum array);
extern void (*glDrawArrays)(GLenum mode, GLint first, GLsizei count);
extern void (*glDrawElements)(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
extern void (*glEnable)(GLenum capability);
extern void (*glEnableClientState)(GLenum array);
extern void (*glEnd)();
extern void (*glFinish)();
extern void (*glFlush)();
extern void (*glFogf)(GLenum name, GLfloat value);
extern void (*glFogfv)(GLenum name, const GLfloat* values);
extern void (*glFogi)(GLenum name, GLint value);
extern void (*glGenTextures)(GLsizei n, GLuint* textures);
extern void (*glHint)(GLenum target, GLenum mode);
extern void (*glListBase)(GLuint base);
extern void (*glLoadIdentity)();
extern void (*glMatrixMode)(GLenum mode);
extern void (*glOrtho)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top,
                       GLdouble nearValue, GLdouble farValue);
extern void (*glPolygonMode)(GLenum face, GLenum mode);
extern void (*glRasterPos2f)(GLfloat x, GLfloat y);
extern void (*glShadeModel)(GLenum mode);
extern void (*glTexCoord4f)(GLfloat s, GLfloat t, GLfloat r, GLfloat q);
extern void (*glTexCoordPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
extern void (*glTexEnvi)(GLenum target, GLenum name, GLint value);
extern void (*glTexParameteri)(GLenum target, GLenum name, GLint value);
extern void (*glVertex4f)(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
extern void (*glVertexPointer)(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
extern void (*glViewport)(GLint x, GLint y, GLsizei width, GLsizei height);

extern HGLRC (*wglCreateContext)(HDC dc);
extern BOOL (*wglDeleteContext)(HGLRC context);
extern BOOL (*wglMakeCurrent)(HDC dc, HGLRC context);
extern BOOL (*wglUseFontBitmapsA)(HDC dc, DWORD first, DWORD count, DWORD listBase);

extern GLint (*gluBuild2DMipmaps)(GLenum target, GLint components, GLint width, GLint height,
                                  GLenum format, GLenum type, const void* data);

} // namespace gl11

// Reads and forgets every error OpenGL has recorded (through the untyped glGetError);
// nothing when not loaded.
void ClearGLErrors();

// 1 when the libraries are loaded or both can be opened; no name is looked up.
int CanLoadOpenGL();
// 1 when loaded (again: the count grows); 0 when a library or a name is missing.
int LoadOpenGL();
// Frees both libraries when the count falls from 1 to 0; nothing without a load.
void UnloadOpenGL();

// The OpenGL table: 341 names, the 336 OpenGL 1.1 entry points in byte order, then the
// WGL calls; and what a name's slot holds (null when not loaded).
size_t GLEntryCount();
const char* GLEntryName(size_t index);
FARPROC GLEntryAddress(size_t index);
int OpenGLLoadCount();
// Tests open libraries of their own in place of "OpenGL32.dll" and "GLU32.dll"; null
// goes back to those.
void SetOpenGLLibraryNames(const char* gl, const char* glu);
HMODULE OpenGLModule();
HMODULE GLUModule();
