#pragma once
// The settings the user changes through the two dialogs. Plain values with the
// start values every run begins from; nothing is loaded or saved.

#include "surfaces/SurfaceKinds.h"

#include <cstdint>

// Chooses and shapes the surface.
struct ResolutionSettings {
    SurfaceKind surfaceKind = kMobiusStrip;
    int32_t thetaCount = 100;  // rings of the four-dimensional bottle
    int32_t phiCount = 100;    // points per ring of the four-dimensional bottle
    double holeRatio = 0.333;  // hole radius as a fraction of the outer radius
};

// Chooses how the surface is drawn. Flags hold 0 or 1; any nonzero value
// counts as on.
struct DisplaySettings {
    int32_t colorIndex = 0;  // 0 ... 6: red, yellow, green, grey, light blue, white, black
    int32_t translucent = 0;
    int32_t whiteBackground = 0;
    int32_t noBars = 0;
};
