#include "surfaces/SideReversingLoop.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr int32_t kMobiusSamples = 300;
constexpr int32_t kMobiusSteps = kMobiusSamples - 1;
constexpr int32_t kBottleRings = 166;
constexpr int32_t kBottleRingPoints = 100;
// Fixed by the bottle's join: position k of ring 165 lies on position
// 50 - k of ring 0, and 25 and 75 are their own images; 75 is on the side
// that faces the viewer at the start.
constexpr int32_t kBottlePosition = 75;

// Marker lengths: the strip is 1.4 wide; the bottle's tube is 0.75 in
// radius where it is narrowest; the four-dimensional bottle's tube radius
// follows the hole ratio.
constexpr double kMobiusMarker = 0.9;
constexpr double kBottleMarker = 1.2;
constexpr double kTubeRadiiPerMarker = 1.2;
constexpr double kShortestMarker = 0.3;
constexpr double kLongestMarker = 2.5;

void AddPoint(SurfaceLoop& loop, int32_t a, int32_t b, int32_t face)
{
    loop.pointA.push_back(a);
    loop.pointB.push_back(b);
    loop.segmentFace.push_back(face);
}

// The centre line runs ribbon 0 forwards to its end, which the straight
// ribbon 4 reaches with its end; ribbon 4 backwards leads to the end of
// ribbon 2, and so on round to ribbon 3, whose end is ribbon 0's start. A
// ribbon's last sample coincides with the next one's first, so each ribbon
// gives the points before its far end.
SurfaceLoop MobiusCentreLine()
{
    struct Leg {
        int32_t ribbon;
        bool forwards;
    };
    const Leg legs[] = {{0, true}, {4, false}, {2, false}, {5, false}, {1, false}, {3, true}};
    SurfaceLoop loop;
    loop.markerLength = kMobiusMarker;
    for (const Leg& leg : legs) {
        const int32_t edgeA = kMobiusSamples * 2 * leg.ribbon;
        const int32_t edgeB = edgeA + kMobiusSamples;
        const int32_t firstFace = kMobiusSteps * leg.ribbon;
        for (int32_t step = 0; step < kMobiusSteps; ++step) {
            const int32_t s = leg.forwards ? step : kMobiusSteps - step;
            const int32_t face = firstFace + (leg.forwards ? s : s - 1);
            AddPoint(loop, edgeA + s, edgeB + s, face);
        }
    }
    return loop;
}

// Along the rings at one position: point r is vertex (r, position), and
// segment r is the face that joins rings r and r + 1 from that position on.
SurfaceLoop AlongRings(int32_t rings, int32_t ringPoints, int32_t position)
{
    SurfaceLoop loop;
    for (int32_t r = 0; r < rings; ++r) {
        const int32_t vertex = r * ringPoints + position;
        AddPoint(loop, vertex, vertex, vertex);
    }
    return loop;
}

}  // namespace

SurfaceLoop FindSideReversingLoop(const ResolutionSettings& settings, const SurfaceMesh& mesh)
{
    const std::size_t vertices = mesh.VertexCount();
    const std::size_t faces = mesh.FaceCount();
    if (vertices == 0 || !mesh.IsConsistent()) {
        return {};
    }
    switch (settings.surfaceKind) {
    case kMobiusStrip:
        if (vertices == 12 * kMobiusSamples && faces == 6 * kMobiusSteps) {
            return MobiusCentreLine();
        }
        break;
    case kBottleSurface:
        if (vertices == kBottleRings * kBottleRingPoints &&
            faces == (kBottleRings - 1) * kBottleRingPoints) {
            // The last ring's point closes onto ring 0's: no segment of
            // its own.
            SurfaceLoop loop = AlongRings(kBottleRings - 1, kBottleRingPoints, kBottlePosition);
            loop.markerLength = kBottleMarker;
            return loop;
        }
        break;
    case kFourDBottle: {
        const int64_t rings = settings.thetaCount;
        const int64_t ringPoints = settings.phiCount;
        if (rings >= 1 && ringPoints >= 1 && static_cast<int64_t>(vertices) == rings * ringPoints &&
            faces == vertices) {
            SurfaceLoop loop =
                AlongRings(static_cast<int32_t>(rings), static_cast<int32_t>(ringPoints), 0);
            const double tubeRadius = std::abs(3.0 * (1.0 - settings.holeRatio));
            loop.markerLength = std::clamp(kTubeRadiiPerMarker * tubeRadius, kShortestMarker,
                                           kLongestMarker);
            return loop;
        }
        break;
    }
    }
    return {};
}
