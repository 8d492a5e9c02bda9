#pragma once
// What the view draws from: the mesh carried into three dimensions with one
// unit normal per face, and the bar tube. Both are caches, rebuilt only when a
// revision marks them stale; the renderer reads nothing else.

#include "surfaces/SurfaceMesh.h"

#include <cstddef>
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

    // Ready-made drawing input, rebuilt with the arrays above by
    // ProjectMesh. Where no two faces start on the same corner (the grids
    // of every surface here), one draw vertex per mesh vertex, drawn through
    // the faces as indices with flat shading: both triangles of a quad take
    // their lighting from its first corner, which carries the face normal
    // (a vertex no face starts on carries (0, 0, 1), which nothing uses).
    // Otherwise four corners per face in face order, each with the face
    // normal. drawVertexCount stays when the vertices themselves have been
    // handed to OpenGL and dropped here (see DrawBuffers); drawRevision is
    // new at every rebuild, in every ProjectedMesh, so a copy held elsewhere
    // can tell whether it is still this one (0: never built).
    std::vector<DrawVertex> drawVertices;
    std::size_t drawVertexCount = 0;
    bool drawShared = false;
    uint64_t drawRevision = 0;
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
