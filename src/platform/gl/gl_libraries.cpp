#include "platform/gl/gl_libraries.h"

#include <dlfcn.h>

#include <cstring>

#include "platform/gl/wgl.h"

namespace platform {

const std::string& OpenGLLibraryFile() {
    // Decided once: the first that loads, else the first name, so that the failure is
    // reported by LoadLibraryA as for any missing library.
    static const std::string file = [] {
        for (const char* name : {"libGL.so.1", "libOpenGL.so.0"}) {
            void* library = dlopen(name, RTLD_LAZY | RTLD_LOCAL);
            if (library == nullptr) continue;
            dlclose(library);
            return std::string(name);
        }
        return std::string("libGL.so.1");
    }();
    return file;
}

std::string BuiltInLibraryTarget(const std::string& upperName) {
    if (upperName == "OPENGL32.DLL") return OpenGLLibraryFile();
    if (upperName == "GLU32.DLL") return "libGLU.so.1";
    return {};
}

FARPROC OpenGLOwnExport(const char* procName) {
    struct Export {
        const char* name;
        FARPROC proc;
    };
    static const Export exports[] = {
        {"wglCreateContext", reinterpret_cast<FARPROC>(&wglCreateContext)},
        {"wglDeleteContext", reinterpret_cast<FARPROC>(&wglDeleteContext)},
        {"wglMakeCurrent", reinterpret_cast<FARPROC>(&wglMakeCurrent)},
        {"wglShareLists", reinterpret_cast<FARPROC>(&wglShareLists)},
        {"wglUseFontBitmapsA", reinterpret_cast<FARPROC>(&wglUseFontBitmapsA)},
    };
    for (const Export& own : exports)
        if (std::strcmp(own.name, procName) == 0) return own.proc;
    return nullptr;
}

} // namespace platform
