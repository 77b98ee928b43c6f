// Which surface class a new surface is made of. Surfaces are never constructed by name: a
// caller asks PickSurfaceType for a prototype by depth, kind and mode, then makes its
// surface with SurfaceHandle::Create. The prototypes (one per class and depth) exist from
// the first thread's registration with the library to the last one's unregistration.
#pragma once

#include <cstdint>

#include "graphics2d/drawing/surface_handle.h"

class IDirectDraw2;
class IDirectDrawSurface;

// Kinds of PickSurfaceType.
inline constexpr int32_t kPickMemory = 0;
inline constexpr int32_t kPickDIB = 1;         // or DirectDraw in video memory
inline constexpr int32_t kPickDIBWithDC = 2;   // or DirectDraw in video memory
inline constexpr int32_t kPickDIBOrSystem = 3; // or DirectDraw in system memory
// Modes of PickSurfaceType: plain GDI, or DirectDraw when it can be used. Any other mode
// picks the DIB surfaces that keep their device context.
inline constexpr int32_t kPickModeGDI = 0;
inline constexpr int32_t kPickModeDirectDraw = 2;

// Stores the prototype handle (null for a kind outside 0 to 3) and answers 1 when the
// depth it stands for is the one asked for (8, 15, 16, 24 or 32), else 0; 0 is no failure.
uint32_t PickSurfaceType(SurfaceHandle** prototype, int32_t depth, int32_t kind, int32_t mode);
// The DIB-with-DC prototype of the depth: for temporary drawing surfaces.
SurfaceHandle* GetPrototypeForDepth(int32_t depth);
// 1 when a 32 x 32 DirectDraw surface can be made.
uint32_t IsDirectDrawUsable();

// Every thread that uses the library registers once per use; the first registration of
// the process builds the prototypes, the last unregistration destroys them. Registration
// also gives the thread its palette context.
void RegisterSurfaceThread();
void UnregisterSurfaceThread();
// The calling thread has registered and not yet left.
bool IsSurfaceThreadRegistered();

// Each thread's DirectDraw object and primary surface, which its DirectDraw surfaces share.
// Set replaces the thread's pair (the record holds the references it is given); Get
// answers null without a record. Release gives back the primary, then the object, and
// forgets the record; unregistering the thread's last use does it.
void SetThreadDirectDraw(IDirectDraw2* object, IDirectDrawSurface* primary);
IDirectDraw2* GetThreadDirectDraw();
IDirectDrawSurface* GetThreadDDPrimary();
void RemoveThreadDirectDrawRecord();
void ReleaseThreadDirectDraw();

// The picture of one device context copied into another through a device-independent
// bitmap, optionally pumping the thread's messages first and keeping the proportions.
// No GDI object outlives the call.
int CopyDCViaDIB(HDC source, HDC destination, int32_t sx, int32_t sy, int32_t dx, int32_t dy,
                 int32_t sourceWidth, int32_t sourceHeight, int32_t destinationWidth,
                 int32_t destinationHeight, int32_t pumpMessages, int32_t keepAspect);

// A system colour as the display really shows it (0x00BBGGRR); indexes above 28 are not
// cached. The cache fills on first use and refreshes on a system colour change.
uint32_t GetCachedSysColor(int32_t index);
void RefreshSysColorCache();
