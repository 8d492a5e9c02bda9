#pragma once
// Pictures of a frame for saving and copying: drawn by the caller's draw
// function into the back buffer or into an offscreen framebuffer of any size
// the OpenGL implementation allows, then read back. Speaks only OpenGL and
// acts on the current context.

#include <functional>
#include <string>
#include <vector>

struct PictureResult {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes a pixel, top row first
    std::string error;               // for people; empty when the picture was made

    bool Ok() const { return error.empty(); }
};

// Draws into the window's back buffer, already sized width x height with its
// projection set, and reads it back without swapping: what is on screen
// stays, and the picture equals it pixel for pixel.
PictureResult ReadBackPicture(int width, int height, const std::function<void()>& draw);

// The largest width and height an offscreen picture may have; 0 when the
// implementation offers no framebuffer objects.
int LargestOffscreenSize();

// Draws into an offscreen framebuffer of width x height with a depth buffer
// of depthBits (24 where that many are refused), under an orthographic
// projection of the same extents as the window's, and reads it back. The
// framebuffer bound before is bound again afterwards; the caller restores
// its viewport and projection.
PictureResult RenderOffscreenPicture(int width, int height, int depthBits,
                                     const std::function<void()>& draw);
