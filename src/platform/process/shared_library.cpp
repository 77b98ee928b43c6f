#include "platform/process/shared_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/directx/direct3d/d3d.h"
#include "platform/files/errno_mapping.h"
#include "platform/gl/gl_libraries.h"
#include "platform/kernel/cp1252.h"
#include "platform/kernel/errors.h"
#include "platform/kernel/kernel_objects.h"
#include "platform/process/library_search.h"

namespace platform {
namespace {

class ModuleObject : public KernelObject {
public:
    ModuleObject(void* library, bool openGL, BuiltInExports exports = nullptr)
        : library(library), openGL(openGL), exports(exports) {}
    ~ModuleObject() override {
        if (library != nullptr) dlclose(library);
    }
    ModuleObject(const ModuleObject&) = delete;
    ModuleObject& operator=(const ModuleObject&) = delete;
    bool ClosableByCloseHandle() const override { return false; }

    void* const library;
    // Opened for "OpenGL32.dll" without an alias of the program's: the WGL names are ours.
    const bool openGL;
    // A module built into the player (no library): its names come from here.
    const BuiltInExports exports;
};

// DirectDraw is always there, as if the program were linked with it (GetModuleHandleA).
FARPROC DirectDrawExports(LPCSTR name) {
    if (std::strcmp(name, "DirectDrawCreate") == 0)
        return reinterpret_cast<FARPROC>(&DirectDrawCreate);
    if (std::strcmp(name, "DirectDrawEnumerateExA") == 0)
        return reinterpret_cast<FARPROC>(&DirectDrawEnumerateExA);
    if (std::strcmp(name, "DirectDrawEnumerateA") == 0)
        return reinterpret_cast<FARPROC>(&DirectDrawEnumerateA);
    return nullptr;
}

struct AliasTable {
    std::mutex lock;
    // Keyed by the upper-case name.
    std::map<std::string, std::string> targets;
    std::map<std::string, BuiltInExports> builtIns;
};

AliasTable& GetAliases() {
    static auto* table = new AliasTable;
    return *table;
}

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = char(Cp1252ToUpper(static_cast<unsigned char>(c)));
    return text;
}

enum class Start { Unreadable, WindowsImage, Elf, Other };

Start StartOf(int fd) {
    unsigned char head[4] = {};
    if (pread(fd, head, sizeof head, 0) < 2) return Start::Unreadable;
    if (head[0] == 'M' && head[1] == 'Z') return Start::WindowsImage;
    if (head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') return Start::Elf;
    return Start::Other;
}

HMODULE Register(void* library, bool openGL = false) {
    HANDLE handle = RegisterObject(std::make_shared<ModuleObject>(library, openGL));
    if (handle != 0) SetLastError(ERROR_SUCCESS);
    return handle;
}

// A found file: refused when it is a Windows image or no ELF file at all.
HMODULE OpenFile(const std::string& linuxPath) {
    int fd = open(linuxPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        FailWithErrno(errno, linuxPath);
        return 0;
    }
    Start start = StartOf(fd);
    close(fd);
    if (start != Start::Elf) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return 0;
    }
    void* library = dlopen(linuxPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        // An ELF file that does not load: another machine's, or its own libraries missing.
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return Register(library);
}

} // namespace
} // namespace platform

HMODULE LoadLibraryA(LPCSTR fileName) {
    using namespace platform;
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name = fileName;
    bool openGL = false;
    {
        std::string upperName = UpperCase(name);
        AliasTable& aliases = GetAliases();
        std::unique_lock guard(aliases.lock);
        auto it = aliases.targets.find(upperName);
        if (it != aliases.targets.end()) {
            name = it->second;
        } else if (auto own = aliases.builtIns.find(upperName); own != aliases.builtIns.end()) {
            BuiltInExports exports = own->second;
            guard.unlock();
            HANDLE handle = RegisterObject(std::make_shared<ModuleObject>(nullptr, false, exports));
            if (handle != 0) SetLastError(ERROR_SUCCESS);
            return handle;
        } else {
            guard.unlock();
            std::string builtIn = BuiltInLibraryTarget(upperName);
            if (!builtIn.empty()) {
                openGL = upperName == "OPENGL32.DLL";
                name = builtIn;
            }
        }
    }
    for (const std::string& candidate : LibraryCandidates(name)) {
        if (candidate.find('/') != std::string::npos) return OpenFile(candidate);
        // dlopen's own search: its paths cannot be checked first.
        void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library != nullptr) return Register(library, openGL);
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    using namespace platform;
    const std::string name = moduleName != nullptr ? UpperCase(moduleName) : std::string();
    if (name != "DDRAW.DLL" && name != "DDRAW") {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    // A built-in module registered under the name stands in for ours (an older DirectDraw
    // without some entry points, say).
    BuiltInExports exports = &DirectDrawExports;
    {
        AliasTable& aliases = GetAliases();
        std::lock_guard guard(aliases.lock);
        if (auto own = aliases.builtIns.find("DDRAW.DLL"); own != aliases.builtIns.end())
            exports = own->second;
    }
    // Made once; made again only if a FreeLibrary let it go or the exports changed.
    static std::mutex lock;
    static HMODULE handle = 0;
    static BuiltInExports madeWith = nullptr;
    std::lock_guard guard(lock);
    if (handle == 0 || madeWith != exports || !LookupObjectAs<ModuleObject>(handle)) {
        handle = RegisterObject(std::make_shared<ModuleObject>(nullptr, false, exports));
        madeWith = exports;
    }
    return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    auto object = platform::LookupObjectAs<platform::ModuleObject>(module);
    if (!object) return nullptr;
    if (procName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (object->exports != nullptr) {
        FARPROC own = object->exports(procName);
        if (own == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
        return own;
    }
    if (object->openGL) {
        if (FARPROC own = platform::OpenGLOwnExport(procName)) return own;
    }
    if (object->library == nullptr) {
        FARPROC exported = object->exports(procName);
        if (exported == nullptr) SetLastError(ERROR_PROC_NOT_FOUND);
        return exported;
    }
    void* symbol = dlsym(object->library, procName);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
    return platform::UnregisterObjectAs<platform::ModuleObject>(module) ? TRUE : FALSE;
}

HMODULE LoadLibraryFromBytes(const void* bytes, size_t size, LPCSTR name) {
    using namespace platform;
    const auto* head = static_cast<const unsigned char*>(bytes);
    if (bytes == nullptr || size < 4 || head[0] != 0x7F || head[1] != 'E' || head[2] != 'L' ||
        head[3] != 'F') {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return 0;
    }
    int fd = memfd_create(name != nullptr && name[0] != 0 ? name : "library", MFD_CLOEXEC);
    if (fd < 0) {
        FailWithErrno(errno);
        return 0;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t count = write(fd, head + done, size - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            FailWithErrno(count < 0 ? errno : ENOSPC);
            close(fd);
            return 0;
        }
        done += size_t(count);
    }
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    close(fd); // the loader keeps its own mapping
    if (library == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return Register(library);
}

void SetLibraryAlias(LPCSTR name, LPCSTR target) {
    platform::AliasTable& aliases = platform::GetAliases();
    std::lock_guard guard(aliases.lock);
    aliases.targets[platform::UpperCase(name)] = target;
}

void RegisterBuiltInModule(LPCSTR name, BuiltInExports exports) {
    platform::AliasTable& aliases = platform::GetAliases();
    std::lock_guard guard(aliases.lock);
    if (exports == nullptr)
        aliases.builtIns.erase(platform::UpperCase(name));
    else
        aliases.builtIns[platform::UpperCase(name)] = exports;
}
