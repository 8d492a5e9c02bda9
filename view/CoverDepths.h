#pragma once
// Where an opaque figure surely lies in front, pixel by pixel. A face whose
// fragments would all lie behind such a depth adds nothing to a picture drawn
// with the depth test (less or less-or-equal, depth writes on): whatever the
// order, the nearer fragment is the one left. On a closed surface about half
// the triangles are such, and llvmpipe's frame time goes with the triangles
// it is handed. Knows no OpenGL.
//
// A depth is sure where a block of faces covers the pixel centre: up to
// kStripFaces rows and columns of a grid (as every surface here is made),
// or a strip of faces in a row, each sharing its second edge with the next
// face's fourth, all of whose triangles turn the same way beyond doubt. A
// piecewise-linear map of a disc that keeps its orientation covers every
// point its boundary winds around, so every centre inside the block's
// outline, and farther from it than a corner can move
// (kCornerTolerancePixels), gets a fragment of the block, with a depth no
// greater than the block's deepest corner.

#include "view/PixelCentres.h"
#include "view/ViewCaches.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::size_t kStripFaces = 8;

// Window depths are kept per vertex as whole steps of 1/65536, rounded
// down, so that a step and the next bound the true depth.
constexpr double kDepthSteps = 65536.0;

// How far apart two depths in the window's range must be before one is
// surely behind the other once the driver has computed both in single
// precision from snapped corners: far more than its errors for triangles
// no steeper than kSteepestSlope.
constexpr double kDepthMargin = 1.0 / 4096.0;

// The steepest a triangle's depth may change per pixel (in the window's
// depth range) for its fragments to be trusted within kDepthMargin of its
// corners' depths. Triangles seen nearly edge-on are steeper; they are
// neither cover nor covered.
constexpr double kSteepestSlope = 1.0 / 64.0;

// The viewport and its vertices as the cover and the search read them.
struct WindowPoints {
    const float* xy = nullptr;          // x, y of vertex i at 2 i and 2 i + 1
    const uint16_t* depth = nullptr;    // depth of vertex i in whole steps, rounded down
    double originX = 0.0;               // the viewport's lower left corner
    double originY = 0.0;
    int width = 0;
    int height = 0;
};

// How far our window corner may lie from the driver's: its own error and
// the rounding of our coordinates to single precision.
constexpr double kCornerShiftPixels = 2.0 * kCornerTolerancePixels;

struct TriangleShape {
    double twiceArea;  // signed: positive when it turns counter-clockwise
    bool sureTurning;  // the sign holds however the corners shift
    bool gentle;       // no steeper than kSteepestSlope
};

// The two triangles of a face as the renderer cuts it (see
// PutFaceTriangles): (c1, c2, c0) and (c2, c3, c0). Corners in window
// pixels, z the lower bounds of their depths.
struct FaceShape {
    TriangleShape triangle[2];
};

inline TriangleShape ShapeOfTriangle(double ex, double ey, double ez, double fx, double fy,
                                     double fz)
{
    const double nx = ey * fz - ez * fy;
    const double ny = ez * fx - ex * fz;
    const double nz = ex * fy - ey * fx;
    const double reach = std::abs(ex) + std::abs(ey) + std::abs(fx) + std::abs(fy);
    const double doubt =
        2.0 * kCornerShiftPixels * reach + 4.0 * kCornerShiftPixels * kCornerShiftPixels;
    // Slack for the depths' rounding to steps.
    const double slack = 2.0 / kDepthSteps * reach;
    return {nz, std::abs(nz) > doubt,
            std::abs(nx) + std::abs(ny) + slack <= kSteepestSlope * std::abs(nz)};
}

inline FaceShape ShapeOfFace(const double x[4], const double y[4], const double z[4])
{
    // Both triangles turn as they do from their shared corner c0.
    const double ex = x[1] - x[0], ey = y[1] - y[0], ez = z[1] - z[0];
    const double fx = x[2] - x[0], fy = y[2] - y[0], fz = z[2] - z[0];
    const double gx = x[3] - x[0], gy = y[3] - y[0], gz = z[3] - z[0];
    return {{ShapeOfTriangle(ex, ey, ez, fx, fy, fz), ShapeOfTriangle(fx, fy, fz, gx, gy, gz)}};
}

// The faces a row of the grid the mesh's faces form, each face followed
// in its row by the next and in its column by the one rowLength on (sharing
// its second and third edge); 0 when face 0 has no such follower.
std::size_t GridRowLength(const ProjectedMesh& mesh);

// Fills cover (width x height of the viewport, row by row from the bottom)
// with +infinity, then lowers it wherever faces [firstFace, endFace) surely
// cover a centre to their deepest corner (plus the margin's share a
// fragment may exceed it by): in blocks of kStripFaces rows and columns of
// the grid where rowLength is not 0 (firstFace then starts a row), else in
// strips along the faces' order.
void FillCoverDepths(const ProjectedMesh& mesh, const WindowPoints& points,
                     std::size_t rowLength, std::size_t firstFace, std::size_t endFace,
                     std::vector<float>& cover);
