#pragma once
// Everything that outlives a single window message: the settings, the mesh
// and the revision counters by which the view learns that its caches are
// stale. The application object is one of these; keeping it free of the
// window toolkit lets the generators and the commands' effects be tested
// without a display.

#include "app/Settings.h"
#include "surfaces/Regenerate.h"
#include "surfaces/SurfaceMesh.h"

#include <cstdint>

class SurfaceAppState {
public:
    int32_t barRevision = 0;   // compared by the view with the revision its bar was built from
    int32_t meshRevision = 0;  // raised after each regeneration the resolution command performs
    int32_t translucent = 0;
    int32_t whiteBackground = 0;
    int32_t noBars = 0;
    int32_t colorIndex = 0;
    SurfaceKind surfaceKind = kMobiusStrip;
    SurfaceMesh mesh;
    int32_t thetaCount = 100;
    int32_t phiCount = 100;
    double holeRatio = 0.333;

    // Rebuilds the mesh for the current resolution settings. Only this writes
    // the mesh.
    RegenerateResult Regenerate();

    ResolutionSettings GetResolutionSettings() const;
    void SetResolutionSettings(const ResolutionSettings& settings);
    DisplaySettings GetDisplaySettings() const;
    void SetDisplaySettings(const DisplaySettings& settings);
};
