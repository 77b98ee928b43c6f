#include "graphics2d/surfaces/mem_surface.h"

#include <new>

#include "foundation/files/file_layer.h"
#include "foundation/memory/memory_helpers.h"

cMemSurface::~cMemSurface() {
    bits_.pixels = nullptr;
    MemFree(&bits_.memoryBlock);
}

int cMemSurface::AllocatePixels(int32_t width, int32_t height, int32_t depth, int32_t* pitch,
                                uint8_t** block, uint8_t** pixels) {
    if (width < 0 || height < 0) return 0;
    const int64_t rowBytes = SurfacePitch(width, depth);
    if (rowBytes > kMaxSurfaceBytes || rowBytes * height > kMaxSurfaceBytes) return 0;
    *block = nullptr;
    // Pixels start on a cache line: vector loops then never split a load or store across
    // two lines on rows whose pitch keeps the alignment.
    if (!MemCalloc(size_t(rowBytes * height + 63), block)) return 0;
    *pitch = int32_t(rowBytes);
    *pixels = *block + (-reinterpret_cast<uintptr_t>(*block) & 63);
    return 1;
}

cSurface* cMemSurface::MakeInstance(int32_t width, int32_t height) {
    if (!bits_.formatOps) return nullptr;
    cMemSurface* surface = new (std::nothrow) cMemSurface;
    if (!surface) return nullptr;
    surface->CopyFormat(*this);
    if (!surface->Resize(width, height)) {
        delete surface;
        return nullptr;
    }
    return surface;
}

int cMemSurface::Resize(int32_t width, int32_t height) {
    int32_t pitch;
    uint8_t* block;
    uint8_t* pixels;
    if (!AllocatePixels(width, height, bits_.depth, &pitch, &block, &pixels)) return 0;
    MemFree(&bits_.memoryBlock);
    bits_.memoryBlock = block;
    bits_.pixels = pixels;
    bits_.pitch = pitch;
    bits_.signedPitch = pitch;
    bits_.bottomUp = 0;
    bits_.width = width;
    bits_.height = height;
    ResetClipRect();
    return 1;
}

int cMemSurface::ReadPixels(HANDLE file) {
    if (!bits_.memoryBlock) return 0;
    return FileRead(file, bits_.pixels, uint32_t(bits_.pitch) * uint32_t(bits_.height)) ==
           kResultOk;
}

int cMemSurface::WritePixels(HANDLE file) {
    if (!bits_.memoryBlock) return 0;
    return FileWrite(file, bits_.pixels, uint32_t(bits_.pitch) * uint32_t(bits_.height)) ==
           kResultOk;
}
