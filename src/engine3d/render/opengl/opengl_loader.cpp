#include "engine3d/render/opengl/opengl_loader.h"

#include <array>
#include <cstring>
#include <type_traits>

namespace gl11 {

void (*glAlphaFunc)(GLenum, GLclampf) = nullptr;
void (*glBegin)(GLenum) = nullptr;
void (*glBindTexture)(GLenum, GLuint) = nullptr;
void (*glBlendFunc)(GLenum, GLenum) = nullptr;
void (*glCallLists)(GLsizei, GLenum, const GLvoid*) = nullptr;
void (*glClear)(GLbitfield) = nullptr;
void (*glClearColor)(GLclampf, GLclampf, GLclampf, GLclampf) = nullptr;
void (*glClearDepth)(GLclampd) = nullptr;
void (*glColor4ub)(GLubyte, GLubyte, GLubyte, GLubyte) = nullptr;
void (*glColorPointer)(GLint, GLenum, GLsizei, const GLvoid*) = nullptr;
void (*glDeleteLists)(GLuint, GLsizei) = nullptr;
void (*glDeleteTextures)(GLsizei, const GLuint*) = nullptr;
void (*glDepthFunc)(GLenum) = nullptr;
void (*glDepthRange)(GLclampd, GLclampd) = nullptr;
void (*glDisable)(GLenum) = nullptr;
void (*glDisableClientState)(GLenum) = nullptr;
void (*glDrawArrays)(GLenum, GLint, GLsizei) = nullptr;
void (*glDrawElements)(GLenum, GLsizei, GLenum, const GLvoid*) = nullptr;
void (*glEnable)(GLenum) = nullptr;
void (*glEnableClientState)(GLenum) = nullptr;
void (*glEnd)() = nullptr;
void (*glFinish)() = nullptr;
void (*glFlush)() = nullptr;
void (*glFogf)(GLenum, GLfloat) = nullptr;
void (*glFogfv)(GLenum, const GLfloat*) = nullptr;
void (*glFogi)(GLenum, GLint) = nullptr;
void (*glGenTextures)(GLsizei, GLuint*) = nullptr;
void (*glHint)(GLenum, GLenum) = nullptr;
void (*glListBase)(GLuint) = nullptr;
void (*glLoadIdentity)() = nullptr;
void (*glMatrixMode)(GLenum) = nullptr;
void (*glOrtho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) = nullptr;
void (*glPolygonMode)(GLenum, GLenum) = nullptr;
void (*glRasterPos2f)(GLfloat, GLfloat) = nullptr;
void (*glShadeModel)(GLenum) = nullptr;
void (*glTexCoord4f)(GLfloat, GLfloat, GLfloat, GLfloat) = nullptr;
void (*glTexCoordPointer)(GLint, GLenum, GLsizei, const GLvoid*) = nullptr;
void (*glTexEnvi)(GLenum, GLenum, GLint) = nullptr;
void (*glTexParameteri)(GLenum, GLenum, GLint) = nullptr;
void (*glVertex4f)(GLfloat, GLfloat, GLfloat, GLfloat) = nullptr;
void (*glVertexPointer)(GLint, GLenum, GLsizei, const GLvoid*) = nullptr;
void (*glViewport)(GLint, GLint, GLsizei, GLsizei) = nullptr;

HGLRC (*wglCreateContext)(HDC) = nullptr;
BOOL (*wglDeleteContext)(HGLRC) = nullptr;
BOOL (*wglMakeCurrent)(HDC, HGLRC) = nullptr;
BOOL (*wglUseFontBitmapsA)(HDC, DWORD, DWORD, DWORD) = nullptr;

GLint (*gluBuild2DMipmaps)(GLenum, GLint, GLint, GLint, GLenum, GLenum, const void*) = nullptr;

} // namespace gl11

namespace {

constexpr const char* kGLNames[] = {
#define ZORV_GL_NAME(name) #name,
#include "engine3d/render/opengl/gl_names.inc"
#undef ZORV_GL_NAME
    "wglCreateContext", "wglDeleteContext", "wglMakeCurrent", "wglUseFontBitmapsA", "wglShareLists",
};
constexpr size_t kGLEntries = std::size(kGLNames);
static_assert(kGLEntries == 341);

// Every name's address, which is the untyped slot of the names the renderer does not call;
// a typed slot beside it for those it does.
std::array<FARPROC, kGLEntries> gAddresses = {};

using Store = void (*)(FARPROC address);

template <auto* Slot> void StoreTyped(FARPROC address) {
    *Slot = reinterpret_cast<std::remove_pointer_t<decltype(Slot)>>(address);
}

struct TypedSlot {
    const char* name;
    Store store;
};

#define ZORV_TYPED(name)                                                                           \
    { #name, &StoreTyped < &gl11::name> }
constexpr TypedSlot kTyped[] = {
    ZORV_TYPED(glAlphaFunc),
    ZORV_TYPED(glBegin),
    ZORV_TYPED(glBindTexture),
    ZORV_TYPED(glBlendFunc),
    ZORV_TYPED(glCallLists),
    ZORV_TYPED(glClear),
    ZORV_TYPED(glClearColor),
    ZORV_TYPED(glClearDepth),
    ZORV_TYPED(glColor4ub),
    ZORV_TYPED(glColorPointer),
    ZORV_TYPED(glDeleteLists),
    ZORV_TYPED(glDeleteTextures),
    ZORV_TYPED(glDepthFunc),
    ZORV_TYPED(glDepthRange),
    ZORV_TYPED(glDisable),
    ZORV_TYPED(glDisableClientState),
    ZORV_TYPED(glDrawArrays),
    ZORV_TYPED(glDrawElements),
    ZORV_TYPED(glEnable),
    ZORV_TYPED(glEnableClientState),
    ZORV_TYPED(glEnd),
    ZORV_TYPED(glFinish),
    ZORV_TYPED(glFlush),
    ZORV_TYPED(glFogf),
    ZORV_TYPED(glFogfv),
    ZORV_TYPED(glFogi),
    ZORV_TYPED(glGenTextures),
    ZORV_TYPED(glHint),
    ZORV_TYPED(glListBase),
    ZORV_TYPED(glLoadIdentity),
    ZORV_TYPED(glMatrixMode),
    ZORV_TYPED(glOrtho),
    ZORV_TYPED(glPolygonMode),
    ZORV_TYPED(glRasterPos2f),
    ZORV_TYPED(glShadeModel),
    ZORV_TYPED(glTexCoord4f),
    ZORV_TYPED(glTexCoordPointer),
    ZORV_TYPED(glTexEnvi),
    ZORV_TYPED(glTexParameteri),
    ZORV_TYPED(glVertex4f),
    ZORV_TYPED(glVertexPointer),
    ZORV_TYPED(glViewport),
    ZORV_TYPED(wglCreateContext),
    ZORV_TYPED(wglDeleteContext),
    ZORV_TYPED(wglMakeCurrent),
    ZORV_TYPED(wglUseFontBitmapsA),
};
#undef ZORV_TYPED

// Null for a name without a typed slot.
const std::array<Store, kGLEntries>& TypedStores() {
    static const std::array<Store, kGLEntries> stores = [] {
        std::array<Store, kGLEntries> s{};
        for (size_t i = 0; i < kGLEntries; ++i)
            for (const TypedSlot& slot : kTyped)
                if (std::strcmp(slot.name, kGLNames[i]) == 0) s[i] = slot.store;
        return s;
    }();
    return stores;
}

void StoreSlot(size_t index, FARPROC address) {
    gAddresses[index] = address;
    if (const Store store = TypedStores()[index]) store(address);
}

constexpr const char* kOpenGLName = "OpenGL32.dll";
constexpr const char* kGLUName = "GLU32.dll";
const char* gOpenGLName = kOpenGLName;
const char* gGLUName = kGLUName;

HMODULE gOpenGL = 0;
HMODULE gGLU = 0;
int gLoadCount = 0;

void ClearGLSlots() {
    for (size_t i = 0; i < kGLEntries; ++i)
        StoreSlot(i, nullptr);
}

int LoadGLU() {
    gGLU = LoadLibraryA(gGLUName);
    if (gGLU == 0) return 0;
    const FARPROC build = GetProcAddress(gGLU, "gluBuild2DMipmaps");
    if (build == nullptr) {
        FreeLibrary(gGLU);
        gGLU = 0;
        return 0;
    }
    gl11::gluBuild2DMipmaps = reinterpret_cast<decltype(gl11::gluBuild2DMipmaps)>(build);
    return 1;
}

void UnloadGLU() {
    if (gGLU != 0) FreeLibrary(gGLU);
    gGLU = 0;
    gl11::gluBuild2DMipmaps = nullptr;
}

void FreeOpenGL() {
    FreeLibrary(gOpenGL);
    gOpenGL = 0;
    ClearGLSlots();
}

} // namespace

int CanLoadOpenGL() {
    if (gOpenGL != 0) return 1;
    const HMODULE gl = LoadLibraryA(gOpenGLName);
    if (gl == 0) return 0;
    FreeLibrary(gl);
    const HMODULE glu = LoadLibraryA(gGLUName);
    if (glu == 0) return 0;
    FreeLibrary(glu);
    return 1;
}

int LoadOpenGL() {
    if (gOpenGL != 0) {
        ++gLoadCount;
        return 1;
    }
    gOpenGL = LoadLibraryA(gOpenGLName);
    if (gOpenGL == 0) return 0;
    for (size_t i = 0; i < kGLEntries; ++i) {
        const FARPROC address = GetProcAddress(gOpenGL, kGLNames[i]);
        if (address == nullptr) {
            FreeOpenGL();
            return 0;
        }
        StoreSlot(i, address);
    }
    if (LoadGLU() == 0) {
        FreeOpenGL();
        return 0;
    }
    ++gLoadCount;
    return 1;
}

void UnloadOpenGL() {
    if (gLoadCount <= 0) return;
    if (--gLoadCount != 0) return;
    FreeOpenGL();
    UnloadGLU();
}

void ClearGLErrors() {
    static const size_t index = [] {
        size_t i = 0;
        while (i < kGLEntries && std::strcmp(kGLNames[i], "glGetError") != 0)
            ++i;
        return i;
    }();
    if (index >= kGLEntries || gAddresses[index] == nullptr) return;
    const auto getError = reinterpret_cast<GLenum (*)()>(gAddresses[index]);
    // One flag per kind of error; the loop ends when all are read.
    for (int i = 0; i < 16 && getError() != 0; ++i) {}
}

size_t GLEntryCount() {
    return kGLEntries;
}

const char* GLEntryName(size_t index) {
    return index < kGLEntries ? kGLNames[index] : nullptr;
}

FARPROC GLEntryAddress(size_t index) {
    return index < kGLEntries ? gAddresses[index] : nullptr;
}

void SetOpenGLLibraryNames(const char* gl, const char* glu) {
    gOpenGLName = gl != nullptr ? gl : kOpenGLName;
    gGLUName = glu != nullptr ? glu : kGLUName;
}

int OpenGLLoadCount() {
    return gLoadCount;
}

HMODULE OpenGLModule() {
    return gOpenGL;
}

HMODULE GLUModule() {
    return gGLU;
}
