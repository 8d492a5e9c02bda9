#pragma once
// Everything that outlives a single window message: the settings, the mesh
// and the revision counters by which the view learns that its caches are
// stale. The application object is one of these; keeping it free of the
// window toolkit lets the generators and the commands' effects be tested
// without a display. The settings are its own members, with the start values
// app/Settings.h gives them.

#include "app/Settings.h"
#include "surfaces/Regenerate.h"
#include "surfaces/SurfaceMesh.h"

#include <cstdint>

class SurfaceAppState : public ResolutionSettings, public DisplaySettings {
public:
    int32_t barRevision = 0;   // compared by the view with the revision its bar was built from
    int32_t meshRevision = 0;  // raised after each regeneration the resolution command performs
    SurfaceMesh mesh;

    // Rebuilds the mesh for the current resolution settings. Only this writes
    // the mesh.
    RegenerateResult Regenerate();

    ResolutionSettings GetResolutionSettings() const;
    void SetResolutionSettings(const ResolutionSettings& settings);
    DisplaySettings GetDisplaySettings() const;
    void SetDisplaySettings(const DisplaySettings& settings);
};
