// The aids to seeing one-sidedness, without a display: the marker's loop
// and the frame it carries round it, and the colours by the fourth
// coordinate.

#include "interaction/DragMath.h"
#include "interaction/Matrix4.h"
#include "surfaces/Generators.h"
#include "surfaces/Pi.h"
#include "surfaces/Regenerate.h"
#include "surfaces/SideReversingLoop.h"
#include "view/FourDColours.h"
#include "view/MarkerTrack.h"
#include "view/Projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

double Dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Distance(const Vector3& a, const Vector3& b)
{
    const Vector3 d{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return std::sqrt(Dot(d, d));
}

struct Figure {
    std::string name;
    ResolutionSettings settings;
    SurfaceMesh mesh;
};

Figure MakeFigure(SurfaceKind kind, int32_t rings = 100, int32_t points = 100, double hole = 0.333)
{
    Figure f;
    f.settings.surfaceKind = kind;
    f.settings.thetaCount = rings;
    f.settings.phiCount = points;
    f.settings.holeRatio = hole;
    EXPECT_EQ(Regenerate(f.settings, f.mesh), RegenerateResult::Rebuilt);
    f.name = "kind " + std::to_string(kind) + " " + std::to_string(rings) + "x" +
             std::to_string(points) + " h=" + std::to_string(hole);
    return f;
}

MarkerTrack TrackOf(const Figure& f, const Orientation4D& orientation)
{
    ProjectedMesh projected;
    ProjectMesh(f.mesh, orientation, projected);
    MarkerTrack track;
    track.Build(FindSideReversingLoop(f.settings, f.mesh), projected);
    return track;
}

// One circuit brings the marker back to its start with the flag on the
// other side; two bring it back as it started. Checked at the start and
// at a point part way round, under the identity and after a 4D turn (the
// bar's default plane, and a tilted one).
TEST(MarkerTrackTest, OneCircuitMirrorsTheFlagAndTwoRestoreIt)
{
    Orientation4D turned = IdentityOrientation();
    const double bar[3] = {0.36, -0.48, 0.8};
    TurnOrientationFourDBy(turned, bar, 0.9);

    for (const Figure& f : {MakeFigure(kMobiusStrip), MakeFigure(kBottleSurface),
                            MakeFigure(kFourDBottle), MakeFigure(kFourDBottle, 37, 12, 0.6)}) {
        for (const Orientation4D& o : {IdentityOrientation(), turned}) {
            SCOPED_TRACE(f.name + (o == turned ? ", turned" : ", identity"));
            const MarkerTrack track = TrackOf(f, o);
            ASSERT_TRUE(track.Travels());
            EXPECT_TRUE(track.Reverses());
            for (const double start : {0.0, 0.37}) {
                const MarkerFrame a = track.FrameAt(start);
                const MarkerFrame once = track.FrameAt(start + 1.0);
                const MarkerFrame twice = track.FrameAt(start + 2.0);
                EXPECT_LT(Distance(a.position, once.position), 1e-9 * track.Length());
                EXPECT_NEAR(Dot(a.tangent, once.tangent), 1.0, 1e-9);
                EXPECT_NEAR(Dot(a.left, once.left), -1.0, 1e-9) << "flag not mirrored";
                EXPECT_NEAR(Dot(a.left, twice.left), 1.0, 1e-9);
                EXPECT_LT(Distance(a.position, twice.position), 1e-9 * track.Length());
                // The frame is orthonormal and the flag on the left.
                EXPECT_NEAR(Dot(a.normal, a.tangent), 0.0, 1e-9);
                EXPECT_NEAR(Dot(a.left, a.left), 1.0, 1e-9);
            }
            // Steps along the way are small: the loop is one connected path.
            double largest = 0.0;
            for (int i = 0; i < 400; ++i) {
                largest = std::max(largest, Distance(track.FrameAt(i / 400.0).position,
                                                     track.FrameAt((i + 1) / 400.0).position));
            }
            EXPECT_LT(largest, 1.5 * track.Length() / 400.0);
        }
    }
}

TEST(MarkerTrackTest, FiguresWithoutAWayRoundLeaveTheMarkerWhereItIs)
{
    struct Case {
        Figure figure;
        bool loop;  // whether there is a loop at all
    };
    const Case cases[] = {
        {MakeFigure(kFourDBottle, 0, 0), false},    // empty mesh
        {MakeFigure(kFourDBottle, 1, 20), true},    // one ring joined to itself: no length
        {MakeFigure(kFourDBottle, 30, 20, 1.0), true},  // every face degenerate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.figure.name);
        EXPECT_EQ(!FindSideReversingLoop(c.figure.settings, c.figure.mesh).Empty(), c.loop);
        const MarkerTrack track = TrackOf(c.figure, IdentityOrientation());
        EXPECT_FALSE(track.Travels());
        const MarkerFrame a = track.FrameAt(0.0);
        const MarkerFrame b = track.FrameAt(0.6);
        EXPECT_EQ(a.position, b.position);
        EXPECT_EQ(a.left, b.left);
        EXPECT_NEAR(Dot(a.left, a.left), 1.0, 1e-12);
    }
    // A mesh that is not the layout the settings name has no loop.
    Figure bottle = MakeFigure(kBottleSurface);
    bottle.settings.surfaceKind = kMobiusStrip;
    EXPECT_TRUE(FindSideReversingLoop(bottle.settings, bottle.mesh).Empty());
}

// Colours by w: the strip turned a quarter in the x-w plane has w = x, so
// the faces with the least and the greatest mean x take the map's two ends
// (viridis' dark purple and yellow); unturned, w = 0 everywhere gives every
// face the middle colour.
TEST(FourDColoursTest, AQuarterTurnPutsTheMapsEndsAtTheFacesOfLeastAndGreatestX)
{
    const Figure strip = MakeFigure(kMobiusStrip);
    const auto expectColour = [&strip](const FaceColours& c, std::size_t f, int r, int g,
                                       int b) {
        EXPECT_NEAR(c.perFace[4 * f] * 255.0, r, 0.01) << "face " << f;
        EXPECT_NEAR(c.perFace[4 * f + 1] * 255.0, g, 0.01) << "face " << f;
        EXPECT_NEAR(c.perFace[4 * f + 2] * 255.0, b, 0.01) << "face " << f;
        EXPECT_EQ(c.perFace[4 * f + 3], 0.5f);
        // The draw vertex the face's colour is taken from (its first corner).
        const auto first = static_cast<std::size_t>(strip.mesh.faces[f].i0);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(c.perCorner[4 * first + k], c.perFace[4 * f + k]);
        }
    };

    ProjectedMesh projected;
    FaceColours colours;
    ProjectMesh(strip.mesh, IdentityOrientation(), projected);
    ComputeFourDColours(strip.mesh, IdentityOrientation(), projected, colours);
    ASSERT_EQ(colours.perFace.size(), 4 * strip.mesh.FaceCount());
    for (const std::size_t f : {0u, 700u, 1793u}) {
        expectColour(colours, f, 0x21, 0x91, 0x8c);
    }

    const Orientation4D quarter = Rxw(kPi / 2.0);
    ProjectMesh(strip.mesh, quarter, projected);
    ComputeFourDColours(strip.mesh, quarter, projected, colours);
    std::size_t least = 0;
    std::size_t greatest = 0;
    std::vector<double> meanX(strip.mesh.FaceCount());
    for (std::size_t f = 0; f < meanX.size(); ++f) {
        const Quad& q = strip.mesh.faces[f];
        meanX[f] = strip.mesh.x[q.i0] + strip.mesh.x[q.i1] + strip.mesh.x[q.i2] + strip.mesh.x[q.i3];
        least = meanX[f] < meanX[least] ? f : least;
        greatest = meanX[f] > meanX[greatest] ? f : greatest;
    }
    expectColour(colours, least, 0x44, 0x01, 0x54);
    expectColour(colours, greatest, 0xfd, 0xe7, 0x25);

    // An empty figure has no colours and nothing to divide by.
    const Figure empty = MakeFigure(kFourDBottle, 0, 0);
    ProjectMesh(empty.mesh, quarter, projected);
    ComputeFourDColours(empty.mesh, quarter, projected, colours);
    EXPECT_TRUE(colours.perFace.empty() && colours.perCorner.empty());
}

}  // namespace
