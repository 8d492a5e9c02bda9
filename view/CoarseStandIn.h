#pragma once
// A coarser stand-in for the four-dimensional bottle while a drag is under
// way: the same surface from the generator at lower counts, projected
// through the same orientation, so that a drag on a mesh of millions of
// faces still shows many pictures a second. The exact figure comes back as
// soon as the button is released. The other two surfaces are small enough
// never to need one. The stand-in shows the same aids as the exact picture,
// made from its own coarser faces: the colours by w under the same
// orientation, the back colour and the marker at the same place on its loop.

#include "app/Settings.h"
#include "interaction/Orientation4D.h"
#include "surfaces/SurfaceMesh.h"
#include "view/DrawBuffers.h"
#include "view/ViewCaches.h"
#include "view/VisualAidScene.h"
#include "view/VisualAids.h"

#include <cstdint>

// The stand-in's face count aims at this: small enough to draw and project
// in a few milliseconds on a software rasteriser.
constexpr int64_t kStandInFaces = 40000;

// A frame of the exact figure slower than this (30 pictures a second) lets
// a drag use the stand-in.
constexpr double kSlowFrameMilliseconds = 33.0;

// The counts of the stand-in for these settings, or false where there is
// none: not the four-dimensional bottle, or not more than twice the stand-in's
// faces to begin with.
bool StandInCounts(const ResolutionSettings& settings, int32_t& thetaCount, int32_t& phiCount);

class CoarseStandIn {
public:
    // Brings the stand-in up to date for the figure of meshRevision under
    // the orientation (turnSerial says when that last changed). False when
    // these settings have none.
    bool Update(const ResolutionSettings& settings, int32_t meshRevision,
                const Orientation4D& orientation, uint64_t turnSerial);

    // After Update: brings the aids that are on up to date for the same
    // orientation, the marker at markerCircuits of its loop (the exact
    // figure's place), and returns what the renderer draws for them.
    AidDrawing UpdateAids(const VisualAids& aids, const Orientation4D& orientation,
                          double markerCircuits);

    // Frees the mesh and its projection (the buffer goes with the context).
    void Clear();

    ProjectedMesh projection;
    DrawBuffers buffers;

private:
    SurfaceMesh mesh;
    ResolutionSettings coarse;  // the settings the stand-in's mesh was made with
    VisualAidScene aidScene;
    int32_t builtFrom = -1;
    uint64_t projectedAt = 0;
    bool projected = false;
};
