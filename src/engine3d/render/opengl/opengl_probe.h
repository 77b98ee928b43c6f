// Whether the OpenGL back end can run here: a screen of at least 15 bits, a rendering
// context that can be made (the platform's probe, which ZORV_GL=off answers with 0), and
// both libraries with every name of the loader's tables.
#pragma once

class LAPICLBK;

int ProbeOpenGL();
// The OpenGL back end's device, or null when its libraries cannot be loaded.
LAPICLBK* MakeOpenGLDevice();
