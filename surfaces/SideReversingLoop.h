#pragma once
// A closed loop on the mesh along which the surface turns its sides over:
// the path a marker takes to show that the surface has one side. Found from
// the mesh's layout, one rule per surface kind; nothing here knows about
// windows or OpenGL.

#include "app/Settings.h"
#include "surfaces/SurfaceMesh.h"

#include <cstdint>
#include <vector>

struct SurfaceLoop {
    // Point k lies midway between vertices pointA[k] and pointB[k].
    std::vector<int32_t> pointA;
    std::vector<int32_t> pointB;
    // Segment k runs from point k to point k + 1, the last one back to
    // point 0, along face segmentFace[k], whose normal is the surface's
    // there.
    std::vector<int32_t> segmentFace;
    // A marker length that suits the surface around the loop: short enough
    // to lie nearly flat on its narrowest tube or band.
    double markerLength = 0.0;

    bool Empty() const { return segmentFace.empty(); }
};

// The loop for the surface that settings describe, provided mesh has that
// surface's layout (else, and for an empty mesh, an empty loop):
// - Möbius strip: the centre line, through the six ribbons in the order in
//   which they join;
// - bottle: the vertices at position 75 of rings 0 ... 165, which closes
//   through the mirrored join (ring 165's position k lies on ring 0's
//   position 50 - k, and 75 on 75);
// - four-dimensional bottle: position 0 of every ring, closing from ring
//   nθ - 1 onto ring 0 through the mirrored join.
SurfaceLoop FindSideReversingLoop(const ResolutionSettings& settings, const SurfaceMesh& mesh);
