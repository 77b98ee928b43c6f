// What the Direct3D tests change of the layer: failures of its set-up calls, the
// capabilities it reports, the formats it offers, and the recorder's log. Production code
// never calls these.
#pragma once

#include <string>
#include <vector>

#include "platform/directx/direct3d/d3d_types.h"

namespace platform::test {

enum Direct3DFault : unsigned {
    kFailCooperativeLevel = 1u << 0,
    kFailPrimarySurface = 1u << 1,
    kFailFindDevice = 1u << 2,
    kFailDepthFormats = 1u << 3, // EnumZBufferFormats offers nothing
    kFailDepthBuffer = 1u << 4,
    kFailHardwareDevice = 1u << 5,
    kFailRGBDevice = 1u << 6,
    kFailMaterial = 1u << 7,
    kFailViewport = 1u << 8,
    kFailGetCaps = 1u << 9,
};

struct Direct3DSetup {
    unsigned faults = 0;
    bool refuseAddSigned = false;
    bool squareOnly = false;
    bool zBufferlessHSR = false;
    bool wBuffer = false;
    // Bit depths of the depth formats EnumZBufferFormats offers, in order.
    std::vector<DWORD> depthBits{16, 24};
    // The formats EnumTextureFormats offers; empty: the layer's own list.
    std::vector<DDPIXELFORMAT> textureFormats;
    // Devices only record, drawing nothing, even where OpenGL works.
    bool recorderOnly = false;
    // GL_VERSION of the context the GL executor set up last.
    std::string glVersion;
    // The recorder's lines, while `recording`.
    bool recording = false;
    std::vector<std::string> log;
};

Direct3DSetup& GetDirect3DSetup();
// Back to the layer's own behaviour, the log emptied and off.
void ResetDirect3DSetup();

// Direct3D objects and surfaces of DirectDraw 4 alive.
long LiveDirect3DObjects();

} // namespace platform::test
