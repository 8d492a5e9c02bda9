// Faces behind what an opaque figure surely covers are left out, and only
// those: sheets of faces laid straight in the window, one before the other.
// And long thin faces are left out exactly where they cover no centre.

#include "surfaces/Generators.h"
#include "view/CoverDepths.h"
#include "view/PixelCentres.h"
#include "view/Projection.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kWindow = 64;

// A sheet of columns x rows square faces of `size` pixels from (x, y) in a
// 64 x 64 window, as the surfaces' grids are made, at depth(x, y).
void AddSheet(ProjectedMesh& mesh, int columns, int rows, double x, double y, double size,
              const std::function<double(double, double)>& depth)
{
    const int32_t first = static_cast<int32_t>(mesh.projX.size());
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c <= columns; ++c) {
            const double px = x + c * size;
            const double py = y + r * size;
            mesh.projX.push_back(px);
            mesh.projY.push_back(py);
            mesh.projZ.push_back(depth(px, py));
        }
    }
    const auto vertex = [first, columns](int r, int c) { return first + r * (columns + 1) + c; };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            mesh.faces.push_back({vertex(r, c), vertex(r, c + 1), vertex(r + 1, c + 1),
                                  vertex(r + 1, c)});
        }
    }
    mesh.drawRevision = mesh.faces.size();
}

// Window coordinates are the projected ones: x and y in pixels, z the depth.
std::vector<uint8_t> Marks(const ProjectedMesh& mesh, bool leaveOutCovered)
{
    WindowMapping mapping{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0}, 0.0, 0.0, kWindow, kWindow};
    CentreSearch search;
    MarkFacesThatCanShow(mesh, mapping, leaveOutCovered, search);
    return search.showing;
}

std::size_t Shown(const std::vector<uint8_t>& marks, std::size_t first, std::size_t end)
{
    std::size_t triangles = 0;
    for (std::size_t f = first; f < end; ++f) {
        triangles += (marks[f] & 1) + (marks[f] >> 1);
    }
    return triangles;
}

TEST(CoverDepths, FacesBehindASheetAreLeftOutWhereItSurelyCoversThem)
{
    // A front sheet over [12, 52], a back sheet over [4, 60] whose rim
    // peeks out around it; half-pixel faces, so that a row of the grid is
    // no wider than a strip would be. Then the back sheet brought in front.
    for (const bool backInFront : {false, true}) {
        SCOPED_TRACE(backInFront ? "back sheet in front" : "front sheet in front");
        ProjectedMesh mesh;
        AddSheet(mesh, 80, 80, 12.0, 12.0, 0.5, [](double, double) { return 0.3; });
        const std::size_t front = mesh.faces.size();
        AddSheet(mesh, 56, 56, 4.0, 4.0, 1.0, [backInFront](double x, double y) {
            return (backInFront ? 0.1 : 0.6) + 0.0005 * (x + y);
        });
        const std::vector<uint8_t> all = Marks(mesh, false);
        const std::vector<uint8_t> marks = Marks(mesh, true);
        const std::size_t end = mesh.faces.size();
        if (backInFront) {
            EXPECT_EQ(Shown(marks, front, end), Shown(all, front, end));
            EXPECT_GT(Shown(all, 0, front), 0u);
            EXPECT_EQ(Shown(marks, 0, front), 0u);
            continue;
        }
        EXPECT_EQ(Shown(marks, 0, front), Shown(all, 0, front));
        // The rim is 8 faces wide, 2 x (56 x 56 - 40 x 40) triangles; a face
        // on the front sheet's outline may stay too.
        const std::size_t rim = 2 * (56 * 56 - 40 * 40);
        EXPECT_GE(Shown(marks, front, end), rim);
        EXPECT_LE(Shown(marks, front, end), rim + 2 * 4 * 42);
    }
}

TEST(CoverDepths, SheetsSeenNearlyEdgeOnOrBeyondTheDepthRangeHideNothing)
{
    const std::function<double(double, double)> fronts[] = {
        [](double x, double) { return 0.1 + 0.02 * (x - 12.0); },  // steeper than trusted
        [](double, double) { return -0.1; },              // in front of the near plane
    };
    for (const auto& depth : fronts) {
        ProjectedMesh mesh;
        AddSheet(mesh, 20, 20, 12.0, 12.0, 2.0, depth);
        const std::size_t front = mesh.faces.size();
        AddSheet(mesh, 40, 40, 12.0, 12.0, 1.0, [](double, double) { return 0.99; });
        const std::vector<uint8_t> all = Marks(mesh, false);
        EXPECT_EQ(Marks(mesh, true), all);
        EXPECT_GT(Shown(all, front, mesh.faces.size()), 0u);
    }
}

// Whether the triangle (p, q, r) comes within the tolerance of a pixel
// centre, every centre of its bounding box tried (the tolerance of each
// edge's line reaches far beyond a sharp corner); one without area may.
bool NearACentre(const double p[2], const double q[2], const double r[2])
{
    const double* v[3] = {p, q, r};
    const double area = (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
    if (std::abs(area) <= 1e-12) {
        return true;
    }
    const double t = kCornerTolerancePixels;
    for (int y = 0; y < kWindow; ++y) {
        for (int x = 0; x < kWindow; ++x) {
            const double cx = x + 0.5;
            const double cy = y + 0.5;
            bool inside = cx >= std::min({p[0], q[0], r[0]}) - t &&
                          cx <= std::max({p[0], q[0], r[0]}) + t &&
                          cy >= std::min({p[1], q[1], r[1]}) - t &&
                          cy <= std::max({p[1], q[1], r[1]}) + t;
            for (int k = 0; k < 3 && inside; ++k) {
                const double* u = v[k];
                const double* w = v[(k + 1) % 3];
                const double ex = w[0] - u[0];
                const double ey = w[1] - u[1];
                const double side = ex * (cy - u[1]) - ey * (cx - u[0]);
                inside = (area > 0 ? side : -side) >= -t * std::sqrt(ex * ex + ey * ey);
            }
            if (inside) {
                return true;
            }
        }
    }
    return false;
}

TEST(PixelCentres, LongThinFacesAreKeptExactlyWhereTheyComeNearACentre)
{
    // Slivers of every direction, 2 to 12 pixels long and down to a
    // thousandth of a pixel wide, some laid along a row or column of
    // centres, some just beyond the tolerance of one.
    std::mt19937 random(29);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    ProjectedMesh mesh;
    const auto add = [&mesh](double x, double y, double dx, double dy, double nx, double ny) {
        const int32_t first = static_cast<int32_t>(mesh.projX.size());
        const double corners[4][2] = {
            {x, y}, {x + dx, y + dy}, {x + dx + nx, y + dy + ny}, {x + nx, y + ny}};
        for (const auto& c : corners) {
            mesh.projX.push_back(c[0]);
            mesh.projY.push_back(c[1]);
            mesh.projZ.push_back(0.5);
        }
        mesh.faces.push_back({first, first + 1, first + 2, first + 3});
    };
    for (int i = 0; i < 3000; ++i) {
        const double angle = 2.0 * 3.141592653589793 * unit(random);
        const double length = 2.0 + 10.0 * unit(random);
        const double width = std::pow(10.0, -3.0 + 2.5 * unit(random));
        add(16.0 + 32.0 * unit(random), 16.0 + 32.0 * unit(random), length * std::cos(angle),
            length * std::sin(angle), -width * std::sin(angle), width * std::cos(angle));
    }
    for (const double offset : {0.0, 0.01, 0.02, 0.5}) {
        add(10.0, 20.5 + offset, 9.0, 0.0, 0.0, 0.003);   // along a row
        add(30.5 - offset, 10.0, 0.0, 9.0, -0.003, 0.0);  // along a column
    }
    const std::vector<uint8_t> marks = Marks(mesh, false);
    std::size_t kept = 0;
    for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
        const Quad& q = mesh.faces[f];
        double c[4][2];
        for (int k = 0; k < 4; ++k) {
            const std::size_t v = static_cast<std::size_t>((&q.i0)[k]);
            c[k][0] = mesh.projX[v];
            c[k][1] = mesh.projY[v];
        }
        const uint8_t expected =
            (NearACentre(c[1], c[2], c[0]) ? 1 : 0) | (NearACentre(c[2], c[3], c[0]) ? 2 : 0);
        EXPECT_EQ(marks[f], expected) << "face " << f;
        kept += (expected & 1) + (expected >> 1);
    }
    // Both kinds are there in numbers.
    EXPECT_GT(kept, 500u);
    EXPECT_LT(kept, 2 * mesh.faces.size() - 500);
}

TEST(CoverDepths, GridRowsAreFoundWhereFacesFollowOneAnother)
{
    SurfaceMesh surface;
    ASSERT_TRUE(GenerateFourDBottle(30, 20, 0.333, surface));
    ProjectedMesh mesh;
    ProjectMesh(surface, IdentityOrientation(), mesh);
    EXPECT_EQ(GridRowLength(mesh), 20u);
    mesh.faces.resize(20);
    EXPECT_EQ(GridRowLength(mesh), 0u);
}

}  // namespace
