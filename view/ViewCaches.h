#pragma once
// What the view draws from: the mesh carried into three dimensions with one
// unit normal per face, and the bar tube. Both are caches, rebuilt only when a
// revision marks them stale; the renderer reads nothing else.

#include "surfaces/SurfaceMesh.h"

#include <vector>

struct ProjectedMesh {
    std::vector<double> projX;  // projected vertex i, one element per mesh vertex
    std::vector<double> projY;
    std::vector<double> projZ;
    std::vector<Quad> faces;    // the mesh's faces, same order and corner order
    std::vector<double> faceNormalX;  // unit normal of face f
    std::vector<double> faceNormalY;
    std::vector<double> faceNormalZ;
};

struct BarTube {
    std::vector<double> barX;  // 60 vertices: ring k (0, 1), position j (0 ... 29) at 30k + j
    std::vector<double> barY;
    std::vector<double> barZ;
    std::vector<Quad> barFaces;  // 30 side faces
    std::vector<double> barNormalX;
    std::vector<double> barNormalY;
    std::vector<double> barNormalZ;
};
