#pragma once
// The benchmarks' drawing context: an offscreen Mesa context of the given
// size with the view's fixed state and camera projection, as the window
// has them before its first frame.

#include "tests/gl/OffscreenGL.h"
#include "view/Renderer.h"

#include <GL/gl.h>
#include <cstdio>

// Returns false, having said why on stderr, where no context can be made.
inline bool StartOffscreenView(OffscreenGL& gl, int width, int height)
{
    if (!gl.Create(width, height)) {
        std::fprintf(stderr, "no offscreen OpenGL context: %s\n", gl.Error().c_str());
        return false;
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    InitGL();
    ApplyOrthoProjection(width, height);
    return true;
}
