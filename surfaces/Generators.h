#pragma once
// The surface generators, one per kind of surfaces/SurfaceKinds.h. Each replaces the whole content of the mesh it
// is given; nothing of an earlier mesh survives.

#include "surfaces/SurfaceMesh.h"

#include <cstdint>

// Largest face count (rings x points per ring) the four-dimensional bottle is
// built with. At 4,000,000 faces the mesh takes 48 bytes a face (four doubles
// a vertex, four indices a face: about 190 MB) and the view's projected copy
// with its normals about as much again; a laptop holds that comfortably.
constexpr int64_t kMaxFourDBottleFaces = 4000000;

// Whether the four-dimensional bottle can be built from these counts: neither
// negative, product at most kMaxFourDBottleFaces. A product of 0 is accepted
// and gives the empty mesh.
bool FourDBottleCountsAcceptable(int64_t thetaCount, int64_t phiCount);

// The Möbius strip: six ribbons of 300 samples per edge curve; 3600 vertices, 1794 faces.
void GenerateMobius(SurfaceMesh& mesh);

// The bottle surface: 166 rings of 100 vertices; 16600 vertices, 16500 faces.
void GenerateBottle(SurfaceMesh& mesh);

// The four-dimensional bottle: thetaCount rings of phiCount vertices, as many faces as vertices.
// The counts must pass FourDBottleCountsAcceptable; otherwise the mesh is
// left as it was and false is returned.
bool GenerateFourDBottle(int32_t thetaCount, int32_t phiCount, double holeRatio,
                         SurfaceMesh& mesh);
