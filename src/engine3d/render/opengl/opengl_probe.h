// Whether the OpenGL back end can run here: a screen of at least 15 bits, both libraries
// with every name, and a rendering context that can be made. Tried once and remembered;
// ZORV_GL=off answers 0 without trying.
#pragma once

class LAPICLBK;

int ProbeOpenGL();
// The OpenGL back end's device, or null when its libraries cannot be loaded.
LAPICLBK* MakeOpenGLDevice();
