/* A stand-in for "OpenGL32.dll" and "GLU32.dll" that draws nothing: every OpenGL 1.1 name,
 * the WGL names and gluBuild2DMipmaps, as functions that do nothing. Built a second time
 * with ZORV_STUB_LACKS_VIEWPORT, where glViewport is missing. */

#define ZORV_STUB(name)                                                                            \
    void name(void);                                                                               \
    void name(void) {}

#define ZORV_GL_NAME(name) ZORV_STUB(name)
#ifdef ZORV_STUB_LACKS_VIEWPORT
#define glViewport zorvStubLeftOut
#endif
#include "engine3d/render/opengl/gl_names.inc"
#undef ZORV_GL_NAME

ZORV_STUB(wglCreateContext)
ZORV_STUB(wglDeleteContext)
ZORV_STUB(wglMakeCurrent)
ZORV_STUB(wglUseFontBitmapsA)
ZORV_STUB(wglShareLists)
ZORV_STUB(gluBuild2DMipmaps)
