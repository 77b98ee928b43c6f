// Recording stand-ins for the OpenGL loader's typed slots and the pixel-format calls: each
// call is kept as text ("glBegin(4)", "glVertex4f(10,20,0,1)") for the call-stream tests.
#pragma once

#include <string>
#include <vector>

#include "engine3d/render/opengl/opengl_renderer.h"

namespace gltest {

struct Recorder {
    std::vector<std::string> calls;
    // What the WGL and pixel-format stand-ins answer.
    int formatFor32Only = 0;
    int format = 7;
    int setFormatResult = 1;
    unsigned contextToMake = 0x51;
    int contextsMade = 0;
    int contextsDeleted = 0;
    unsigned nextTexture = 1;
    std::vector<unsigned char> lastUpload;
    int lastUploadFormat = 0;

    // The calls from the first whose text starts with `prefix`, -1 for none.
    int Find(const std::string& prefix, int from = 0) const;
    int Count(const std::string& prefix) const;
    // The calls from `first` on, joined by spaces.
    std::string From(int first) const;
};

// Fills every typed slot and the window calls with recorders; Uninstall clears them.
Recorder& Install();
void Uninstall();

} // namespace gltest
