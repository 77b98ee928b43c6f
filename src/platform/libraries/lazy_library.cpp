#include "platform/libraries/lazy_library.h"

#include <dlfcn.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/libraries/lazy_table.h"

namespace platform {

void* OpenLazyTable(const LazyTable& table) {
    void* handle = dlopen(table.soname, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        std::fprintf(stderr, "zorv: %s cannot be loaded (%s): install the package %s\n",
                     table.soname, reason != nullptr ? reason : "not found", table.package);
        return nullptr;
    }
    // Every symbol first, so that an older library is refused whole rather than half used.
    std::vector<void*> found(table.count);
    for (size_t i = 0; i < table.count; ++i) {
        found[i] = dlsym(handle, table.symbols[i]);
        if (found[i] == nullptr) {
            std::fprintf(stderr, "zorv: %s lacks %s: install a newer %s\n", table.soname,
                         table.symbols[i], table.package);
            dlclose(handle);
            return nullptr;
        }
    }
    for (size_t i = 0; i < table.count; ++i)
        __atomic_store_n(&table.slots[i], found[i], __ATOMIC_RELEASE);
    return handle;
}

#ifdef ZORV_LAZY_LIBRARIES_LINKED

// Where trampolines cannot be made, the libraries are linked as usual.
bool Require(LazyLibrary) {
    return true;
}

void* LazyLibraryData(LazyLibrary, const char* name) {
    return dlsym(RTLD_DEFAULT, name);
}

#else

namespace {

constexpr size_t kLibraryCount = size_t(LazyLibrary::Ffi) + 1;

struct LoadState {
    std::once_flag once;
    void* handle = nullptr;
};

LoadState& StateOf(LazyLibrary library) {
    static std::array<LoadState, kLibraryCount> states;
    return states[size_t(library)];
}

} // namespace

bool Require(LazyLibrary library) {
    LoadState& state = StateOf(library);
    std::call_once(state.once, [&] { state.handle = OpenLazyTable(TableOf(library)); });
    return state.handle != nullptr;
}

void* LazyLibraryData(LazyLibrary library, const char* name) {
    if (!Require(library)) return nullptr;
    return dlsym(StateOf(library).handle, name);
}

#endif

bool Require(std::initializer_list<LazyLibrary> libraries) {
    bool all = true;
    for (LazyLibrary library : libraries)
        all = Require(library) && all;
    return all;
}

} // namespace platform

#ifndef ZORV_LAZY_LIBRARIES_LINKED
// Called by a library's trampolines the first time one of them is reached, with all the
// call's argument registers saved; returns when the slots hold the library's functions.
extern "C" __attribute__((visibility("hidden"))) void zorv_lazy_resolve(int library) {
    if (platform::Require(platform::LazyLibrary(library))) return;
    std::fprintf(stderr, "zorv: a call into %s was reached without it\n",
                 platform::TableOf(platform::LazyLibrary(library)).soname);
    std::abort();
}
#endif
