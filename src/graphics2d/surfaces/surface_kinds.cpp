#include "graphics2d/surfaces/surface_kinds.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "graphics2d/palette/palette.h"
#include "graphics2d/surfaces/dd_surface.h"
#include "graphics2d/surfaces/dib_surface.h"
#include "graphics2d/surfaces/mem_surface.h"
#include "platform/gdi/bitmaps/blits.h"
#include "platform/gdi/dc_state.h"
#include "platform/gdi/device_context.h"
#include "platform/kernel/threads.h"
#include "platform/user/messages.h"

namespace {

constexpr int32_t kDepths[kFormatCount] = {8, 15, 16, 24, 32};

struct ThreadRecord {
    DWORD thread;
    uint32_t count;
};

struct DirectDrawRecord {
    DWORD thread;
    IDirectDraw2* object;
    IDirectDrawSurface* primary;
};

struct Library {
    // Recursive: testing DirectDraw makes a surface under the lock, whose creation records
    // the thread's DirectDraw object under it again.
    std::recursive_mutex lock;
    std::vector<ThreadRecord> threads;
    uint32_t registered = 0;
    SurfaceHandle memory[kFormatCount];
    SurfaceHandle dib[kFormatCount];
    SurfaceHandle dibWithDC[kFormatCount];
    SurfaceHandle directDraw;
    SurfaceHandle directDrawSystem;
    std::vector<DirectDrawRecord> directDrawRecords;
};

Library& TheLibrary() {
    static Library* const library = new Library;
    return *library;
}

int32_t DepthIndex(int32_t depth) {
    if (depth <= 8) return 0;
    if (depth <= 15) return 1;
    if (depth == 16) return 2;
    if (depth <= 24) return 3;
    return 4;
}

template <class Surface> void BuildPrototype(SurfaceHandle& handle, int32_t depth) {
    Surface* prototype = new (std::nothrow) Surface;
    if (prototype && !prototype->InitFormat(depth)) {
        delete prototype;
        prototype = nullptr;
    }
    handle.Attach(prototype);
}

template <class Surface> void BuildSet(SurfaceHandle* set) {
    for (int32_t i = 0; i < kFormatCount; i++)
        BuildPrototype<Surface>(set[i], kDepths[i]);
}

void BuildSurfacePrototypes(Library& library) {
    BuildSet<cMemSurface>(library.memory);
    BuildSet<cDIBSurface>(library.dib);
    BuildSet<cDIBDCSurface>(library.dibWithDC);
    // The depth DirectDraw surfaces really get is the display's, known once one is made.
    BuildPrototype<cDDSurface>(library.directDraw, 8);
    BuildPrototype<cDDSysMemSurface>(library.directDrawSystem, 8);
}

void DestroySurfacePrototypes(Library& library) {
    for (int32_t i = 0; i < kFormatCount; i++) {
        library.memory[i].Release();
        library.dib[i].Release();
        library.dibWithDC[i].Release();
    }
    library.directDrawSystem.Release();
    library.directDraw.Release();
}

} // namespace

uint32_t IsDirectDrawUsable() {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    SurfaceHandle probe;
    if (!probe.Create(32, 32, &library.directDraw) || !probe.IsValid()) return 0;
    probe.Lock();
    probe.Unlock();
    return 1;
}

uint32_t PickSurfaceType(SurfaceHandle** prototype, int32_t depth, int32_t kind, int32_t mode) {
    Library& library = TheLibrary();
    const int32_t d = DepthIndex(depth);
    *prototype = nullptr;
    if (kind < kPickMemory || kind > kPickDIBOrSystem) return 0;
    bool directDraw = false;
    if (kind == kPickMemory) {
        *prototype = &library.memory[d];
    } else if (mode == kPickModeGDI) {
        *prototype = kind == kPickDIBWithDC ? &library.dibWithDC[d] : &library.dib[d];
    } else {
        SurfaceHandle& candidate =
            kind == kPickDIBOrSystem ? library.directDrawSystem : library.directDraw;
        directDraw =
            mode == kPickModeDirectDraw && candidate.GetDepth() != 0 && IsDirectDrawUsable();
        *prototype = directDraw ? &candidate : &library.dibWithDC[d];
    }
    // DirectDraw surfaces are made at the depth of the display, not the prototype's.
    const int32_t standsFor = directDraw ? GetDirectDrawDepth() : kDepths[d];
    return standsFor == depth ? 1 : 0;
}

SurfaceHandle* GetPrototypeForDepth(int32_t depth) {
    SurfaceHandle* prototype = nullptr;
    PickSurfaceType(&prototype, depth, kPickDIBWithDC, kPickModeGDI);
    return prototype;
}

void RegisterSurfaceThread() {
    Library& library = TheLibrary();
    const DWORD self = GetCurrentThreadId();
    {
        std::lock_guard guard(library.lock);
        auto record = std::find_if(library.threads.begin(), library.threads.end(),
                                   [self](const ThreadRecord& r) { return r.thread == self; });
        if (record != library.threads.end()) {
            record->count++;
            return;
        }
        library.threads.push_back({self, 1});
    }
    InitThreadGraphics();
    std::lock_guard guard(library.lock);
    if (library.registered++ == 0) BuildSurfacePrototypes(library);
}

void UnregisterSurfaceThread() {
    Library& library = TheLibrary();
    const DWORD self = GetCurrentThreadId();
    {
        std::lock_guard guard(library.lock);
        auto record = std::find_if(library.threads.begin(), library.threads.end(),
                                   [self](const ThreadRecord& r) { return r.thread == self; });
        if (record == library.threads.end()) return;
        if (record->count > 0) record->count--;
        if (record->count > 0) return;
        library.threads.erase(record);
        if (--library.registered == 0) DestroySurfacePrototypes(library);
    }
    ReleaseThreadDirectDraw();
    ReleasePaletteContext();
}

bool IsSurfaceThreadRegistered() {
    Library& library = TheLibrary();
    const DWORD self = GetCurrentThreadId();
    std::lock_guard guard(library.lock);
    return std::any_of(library.threads.begin(), library.threads.end(),
                       [self](const ThreadRecord& r) { return r.thread == self; });
}

namespace {

std::vector<DirectDrawRecord>::iterator FindDirectDrawRecord(Library& library) {
    const DWORD self = GetCurrentThreadId();
    return std::find_if(library.directDrawRecords.begin(), library.directDrawRecords.end(),
                        [self](const DirectDrawRecord& r) { return r.thread == self; });
}

} // namespace

void SetThreadDirectDraw(IDirectDraw2* object, IDirectDrawSurface* primary) {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    auto record = FindDirectDrawRecord(library);
    if (record != library.directDrawRecords.end()) {
        record->object = object;
        record->primary = primary;
        return;
    }
    library.directDrawRecords.push_back({GetCurrentThreadId(), object, primary});
}

IDirectDraw2* GetThreadDirectDraw() {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    auto record = FindDirectDrawRecord(library);
    return record != library.directDrawRecords.end() ? record->object : nullptr;
}

IDirectDrawSurface* GetThreadDDPrimary() {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    auto record = FindDirectDrawRecord(library);
    return record != library.directDrawRecords.end() ? record->primary : nullptr;
}

void RemoveThreadDirectDrawRecord() {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    auto record = FindDirectDrawRecord(library);
    if (record != library.directDrawRecords.end()) library.directDrawRecords.erase(record);
}

void ReleaseThreadDirectDraw() {
    Library& library = TheLibrary();
    std::lock_guard guard(library.lock);
    auto record = FindDirectDrawRecord(library);
    if (record == library.directDrawRecords.end()) return;
    if (record->primary) record->primary->Release();
    if (record->object) record->object->Release();
    library.directDrawRecords.erase(record);
}
