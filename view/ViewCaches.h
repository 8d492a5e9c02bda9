#pragma once
// What the view draws from: the mesh carried into three dimensions with one
// unit normal per face, and the bar tube. Both are caches, rebuilt only when a
// revision marks them stale; the renderer reads nothing else.

#include "surfaces/SurfaceMesh.h"

#include <cstdint>
#include <vector>

// One corner as OpenGL's vertex arrays take it: the face normal, then the
// position. Single precision because that is what OpenGL keeps of a
// glNormal3d or glVertex3d call anyway, so the pixels match the immediate
// calls and the array is half the size.
struct DrawVertex {
    float nx, ny, nz;
    float x, y, z;
};

struct ProjectedMesh {
    std::vector<double> projX;  // projected vertex i, one element per mesh vertex
    std::vector<double> projY;
    std::vector<double> projZ;
    std::vector<Quad> faces;    // the mesh's faces, same order and corner order
    std::vector<double> faceNormalX;  // unit normal of face f
    std::vector<double> faceNormalY;
    std::vector<double> faceNormalZ;

    // Ready-made drawing input, rebuilt with the arrays above: four corners
    // per drawable face in face order, each carrying the face normal. A face
    // is drawable when all four corners and its normal exist. drawSlot maps a
    // face to its quad in drawVertices (-1: not drawn); it stays empty when
    // every face is drawable, and the quad of face f is then f.
    // drawArraysCurrent says the three describe the arrays above; whoever
    // edits those by hand must call BuildDrawArrays again or clear it.
    std::vector<DrawVertex> drawVertices;
    std::vector<int32_t> drawSlot;
    bool drawArraysCurrent = false;
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
