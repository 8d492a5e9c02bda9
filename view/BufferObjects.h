#pragma once
// OpenGL's buffer objects (core since 1.5, the ARB extension before), for
// the renderer alone. Windows' OpenGL library exports OpenGL 1.1 only: there
// the functions come from the current context's driver, asked for by name.

#ifdef _WIN32
#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif

struct BufferFunctions {
    PFNGLGENBUFFERSPROC genBuffers = nullptr;
    PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
    PFNGLBINDBUFFERPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAPROC bufferData = nullptr;
    PFNGLBUFFERSUBDATAPROC bufferSubData = nullptr;
    PFNGLMAPBUFFERPROC mapBuffer = nullptr;
    PFNGLUNMAPBUFFERPROC unmapBuffer = nullptr;
};

// The current context's buffer functions, or null when it offers none
// (before OpenGL 1.5 and without GL_ARB_vertex_buffer_object).
const BufferFunctions* CurrentBufferFunctions();
