#include "engine3d/render/opengl/gl_recorder.h"

#include <cstdio>
#include <cstring>

#include "engine3d/render/opengl/opengl_loader.h"

namespace gltest {

namespace {

Recorder* gRecorder = nullptr;
OpenGLWindowCalls gSavedWindowCalls;

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

template <typename... Values> void Record(const char* name, Values... values) {
    std::string text = std::string(name) + "(";
    bool first = true;
    ((text += (first ? "" : ","), text += Number(double(values)), first = false), ...);
    gRecorder->calls.push_back(text + ")");
}

// The client arrays as set, so that an array draw is recorded as the vertices it sends.
struct Arrays {
    bool vertices = false, colours = false, coordinates = false;
    const float* vertex = nullptr;
    const float* colour = nullptr;
    const float* coordinate = nullptr;
    int vertexStride = 3;
} gArrays;

bool* ArrayFlag(GLenum array) {
    switch (array) {
    case 0x8074:
        return &gArrays.vertices;
    case 0x8076:
        return &gArrays.colours;
    case 0x8078:
        return &gArrays.coordinates;
    default:
        return nullptr;
    }
}

// One array element as glColor4ub, glTexCoord4f and glVertex4f calls would send it.
void RecordElement(size_t i) {
    if (gArrays.colours) {
        const float* c = gArrays.colour + 4 * i;
        Record("glColor4ub", int(c[0] * 255 + 0.5f), int(c[1] * 255 + 0.5f),
               int(c[2] * 255 + 0.5f), int(c[3] * 255 + 0.5f));
    }
    if (gArrays.coordinates) {
        const float* t = gArrays.coordinate + 4 * i;
        Record("glTexCoord4f", t[0], t[1], t[2], t[3]);
    }
    if (gArrays.vertices) {
        const float* v = gArrays.vertex + size_t(gArrays.vertexStride) * i;
        Record("glVertex4f", v[0], v[1], v[2], 1);
    }
}

} // namespace

int Recorder::Find(const std::string& prefix, int from) const {
    for (size_t i = size_t(from); i < calls.size(); ++i)
        if (calls[i].rfind(prefix, 0) == 0) return int(i);
    return -1;
}

int Recorder::Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& call : calls)
        n += call.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

std::string Recorder::From(int first) const {
    std::string text;
    for (size_t i = size_t(first); i < calls.size(); ++i)
        text += (text.empty() ? "" : " ") + calls[i];
    return text;
}

Recorder& Install() {
    static Recorder recorder;
    recorder = Recorder{};
    gRecorder = &recorder;
    gArrays = Arrays{};
    using namespace gl11;
    glAlphaFunc = [](GLenum f, GLclampf r) { Record("glAlphaFunc", f, r); };
    glBegin = [](GLenum m) { Record("glBegin", m); };
    glBindTexture = [](GLenum t, GLuint n) { Record("glBindTexture", t, n); };
    glBlendFunc = [](GLenum s, GLenum d) { Record("glBlendFunc", s, d); };
    glCallLists = [](GLsizei n, GLenum t, const GLvoid* lists) {
        Record("glCallLists", n, t);
        gRecorder->calls.push_back(std::string(static_cast<const char*>(lists), size_t(n)));
    };
    glClear = [](GLbitfield m) { Record("glClear", m); };
    glClearColor = [](GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
        Record("glClearColor", r, g, b, a);
    };
    glClearDepth = [](GLclampd d) { Record("glClearDepth", d); };
    glColor4ub = [](GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
        Record("glColor4ub", r, g, b, a);
    };
    glColorPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
        Record("glColorPointer", size, type, stride);
        gArrays.colour = static_cast<const float*>(p);
    };
    glDeleteLists = [](GLuint l, GLsizei r) { Record("glDeleteLists", l, r); };
    glDeleteTextures = [](GLsizei n, const GLuint* t) { Record("glDeleteTextures", n, t[0]); };
    glDepthFunc = [](GLenum f) { Record("glDepthFunc", f); };
    glDepthRange = [](GLclampd n, GLclampd f) { Record("glDepthRange", n, f); };
    glDisable = [](GLenum c) { Record("glDisable", c); };
    glEnable = [](GLenum c) { Record("glEnable", c); };
    glEnableClientState = [](GLenum a) {
        Record("glEnableClientState", a);
        if (bool* flag = ArrayFlag(a)) *flag = true;
    };
    glDisableClientState = [](GLenum a) {
        Record("glDisableClientState", a);
        if (bool* flag = ArrayFlag(a)) *flag = false;
    };
    glDrawArrays = [](GLenum m, GLint first, GLsizei n) {
        Record("glDrawArrays", m, first, n);
        for (GLsizei i = 0; i < n; ++i)
            RecordElement(size_t(first + i));
    };
    glDrawElements = [](GLenum m, GLsizei n, GLenum type, const GLvoid* indices) {
        Record("glDrawElements", m, n, type);
        for (GLsizei i = 0; i < n; ++i)
            RecordElement(static_cast<const GLushort*>(indices)[i]);
    };
    glEnd = [] { Record("glEnd"); };
    glFinish = [] { Record("glFinish"); };
    glFlush = [] { Record("glFlush"); };
    glFogf = [](GLenum n, GLfloat v) { Record("glFogf", n, v); };
    glFogfv = [](GLenum n, const GLfloat* v) { Record("glFogfv", n, v[0], v[1], v[2], v[3]); };
    glFogi = [](GLenum n, GLint v) { Record("glFogi", n, v); };
    glGenTextures = [](GLsizei n, GLuint* t) {
        t[0] = gRecorder->nextTexture++;
        Record("glGenTextures", n, t[0]);
    };
    glHint = [](GLenum t, GLenum m) { Record("glHint", t, m); };
    glListBase = [](GLuint b) { Record("glListBase", b); };
    glLoadIdentity = [] { Record("glLoadIdentity"); };
    glMatrixMode = [](GLenum m) { Record("glMatrixMode", m); };
    glOrtho = [](GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
        Record("glOrtho", l, r, b, t, n, f);
    };
    glPolygonMode = [](GLenum f, GLenum m) { Record("glPolygonMode", f, m); };
    glRasterPos2f = [](GLfloat x, GLfloat y) { Record("glRasterPos2f", x, y); };
    glShadeModel = [](GLenum m) { Record("glShadeModel", m); };
    glTexCoord4f = [](GLfloat s, GLfloat t, GLfloat r, GLfloat q) {
        Record("glTexCoord4f", s, t, r, q);
    };
    glTexCoordPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
        Record("glTexCoordPointer", size, type, stride);
        gArrays.coordinate = static_cast<const float*>(p);
    };
    glTexEnvi = [](GLenum t, GLenum n, GLint v) { Record("glTexEnvi", t, n, v); };
    glTexParameteri = [](GLenum t, GLenum n, GLint v) { Record("glTexParameteri", t, n, v); };
    glVertex4f = [](GLfloat x, GLfloat y, GLfloat z, GLfloat w) {
        Record("glVertex4f", x, y, z, w);
    };
    glVertexPointer = [](GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
        Record("glVertexPointer", size, type, stride);
        gArrays.vertex = static_cast<const float*>(p);
        gArrays.vertexStride = stride != 0 ? stride / int(sizeof(float)) : size;
    };
    glViewport = [](GLint x, GLint y, GLsizei w, GLsizei h) { Record("glViewport", x, y, w, h); };
    gl11::wglCreateContext = [](HDC) -> HGLRC {
        Record("wglCreateContext");
        if (gRecorder->contextToMake != 0) ++gRecorder->contextsMade;
        return gRecorder->contextToMake;
    };
    gl11::wglDeleteContext = [](HGLRC c) -> BOOL {
        Record("wglDeleteContext", c);
        ++gRecorder->contextsDeleted;
        return 1;
    };
    gl11::wglMakeCurrent = [](HDC, HGLRC c) -> BOOL {
        Record("wglMakeCurrent", c);
        return 1;
    };
    gl11::wglUseFontBitmapsA = [](HDC, DWORD f, DWORD c, DWORD b) -> BOOL {
        Record("wglUseFontBitmapsA", f, c, b);
        return 1;
    };
    gluBuild2DMipmaps = [](GLenum t, GLint c, GLint w, GLint h, GLenum f, GLenum type,
                           const void* data) -> GLint {
        Record("gluBuild2DMipmaps", t, c, w, h, f, type);
        const size_t bytes = size_t(w) * size_t(h) * (f == 0x1908 ? 4 : 3);
        const auto* p = static_cast<const unsigned char*>(data);
        gRecorder->lastUpload.assign(p, p + bytes);
        gRecorder->lastUploadFormat = int(f);
        return 0;
    };
    gSavedWindowCalls = GetOpenGLWindowCalls();
    OpenGLWindowCalls& window = GetOpenGLWindowCalls();
    window.choosePixelFormat = [](HDC, const PIXELFORMATDESCRIPTOR* d) {
        Record("ChoosePixelFormat", d->cColorBits, d->cDepthBits, d->dwFlags);
        if (gRecorder->formatFor32Only != 0 && d->cColorBits != 32) return 0;
        return gRecorder->format;
    };
    window.setPixelFormat = [](HDC, int f, const PIXELFORMATDESCRIPTOR*) {
        Record("SetPixelFormat", f);
        return gRecorder->setFormatResult;
    };
    window.swapBuffers = [](HDC) -> BOOL {
        Record("SwapBuffers");
        return 1;
    };
    return recorder;
}

void Uninstall() {
    using namespace gl11;
    glAlphaFunc = nullptr;
    glBegin = nullptr;
    glBindTexture = nullptr;
    glBlendFunc = nullptr;
    glCallLists = nullptr;
    glClear = nullptr;
    glClearColor = nullptr;
    glClearDepth = nullptr;
    glColor4ub = nullptr;
    glDeleteLists = nullptr;
    glDeleteTextures = nullptr;
    glDepthFunc = nullptr;
    glDepthRange = nullptr;
    glDisable = nullptr;
    glEnable = nullptr;
    glEnd = nullptr;
    glFinish = nullptr;
    glFlush = nullptr;
    glFogf = nullptr;
    glFogfv = nullptr;
    glFogi = nullptr;
    glGenTextures = nullptr;
    glHint = nullptr;
    glListBase = nullptr;
    glLoadIdentity = nullptr;
    glMatrixMode = nullptr;
    glOrtho = nullptr;
    glPolygonMode = nullptr;
    glRasterPos2f = nullptr;
    glShadeModel = nullptr;
    glTexCoord4f = nullptr;
    glTexEnvi = nullptr;
    glTexParameteri = nullptr;
    glVertex4f = nullptr;
    glViewport = nullptr;
    glColorPointer = nullptr;
    glDisableClientState = nullptr;
    glDrawArrays = nullptr;
    glDrawElements = nullptr;
    glEnableClientState = nullptr;
    glTexCoordPointer = nullptr;
    glVertexPointer = nullptr;
    gArrays = Arrays{};
    gl11::wglCreateContext = nullptr;
    gl11::wglDeleteContext = nullptr;
    gl11::wglMakeCurrent = nullptr;
    gl11::wglUseFontBitmapsA = nullptr;
    gluBuild2DMipmaps = nullptr;
    GetOpenGLWindowCalls() = gSavedWindowCalls;
    gRecorder = nullptr;
}

} // namespace gltest
