#include "view/CoarseStandIn.h"

#include "surfaces/Generators.h"
#include "view/Projection.h"

#include <algorithm>
#include <cmath>

bool StandInCounts(const ResolutionSettings& settings, int32_t& thetaCount, int32_t& phiCount)
{
    const int64_t faces = int64_t{settings.thetaCount} * settings.phiCount;
    if (settings.surfaceKind != kFourDBottle || settings.thetaCount <= 0 ||
        settings.phiCount <= 0 || faces <= 2 * kStandInFaces) {
        return false;
    }
    // Both counts shrink by the same factor, so the stand-in keeps the
    // figure's proportions; at least three rings of three points keep it a
    // closed tube.
    const double shrink = std::sqrt(static_cast<double>(kStandInFaces) / static_cast<double>(faces));
    thetaCount = std::max(3, static_cast<int32_t>(std::lround(settings.thetaCount * shrink)));
    phiCount = std::max(3, static_cast<int32_t>(std::lround(settings.phiCount * shrink)));
    return true;
}

bool CoarseStandIn::Update(const ResolutionSettings& settings, int32_t meshRevision,
                           const Orientation4D& orientation, uint64_t turnSerial)
{
    int32_t theta = 0;
    int32_t phi = 0;
    if (!StandInCounts(settings, theta, phi)) {
        return false;
    }
    if (builtFrom != meshRevision) {
        if (!GenerateFourDBottle(theta, phi, settings.holeRatio, mesh)) {
            return false;
        }
        builtFrom = meshRevision;
        projected = false;
        coarse = settings;
        coarse.thetaCount = theta;
        coarse.phiCount = phi;
    }
    if (!projected || projectedAt != turnSerial) {
        ProjectMesh(mesh, orientation, projection);
        projectedAt = turnSerial;
        projected = true;
    }
    return true;
}

AidDrawing CoarseStandIn::UpdateAids(const VisualAids& aids, const Orientation4D& orientation,
                                     double markerCircuits)
{
    aidScene.PlaceMarker(markerCircuits);
    aidScene.Update(aids, mesh, coarse, builtFrom, orientation, projection);
    return aidScene.Drawing(aids);
}

void CoarseStandIn::Clear()
{
    mesh = SurfaceMesh{};
    projection = ProjectedMesh{};
    aidScene = VisualAidScene{};
    builtFrom = -1;
    projected = false;
}
