// Faces behind what an opaque figure surely covers are left out, and only
// those: sheets of faces laid straight in the window, one before the other.

#include "surfaces/Generators.h"
#include "view/CoverDepths.h"
#include "view/PixelCentres.h"
#include "view/Projection.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
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
