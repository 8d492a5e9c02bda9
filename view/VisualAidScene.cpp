#include "view/VisualAidScene.h"

#include "view/FourDColours.h"

#include <cmath>
#include <cstddef>

namespace {

// The marker's length as a share of its loop's length in four dimensions
// (the same under every turn), and how far it floats off the surface as a
// share of its length.
constexpr double kMarkerShareOfLoop = 1.0 / 10.0;
constexpr double kMarkerLift = 0.06;

// The loop's length between the mesh's own four-dimensional points.
double LoopLength(const SurfaceLoop& loop, const SurfaceMesh& mesh)
{
    const std::size_t count = loop.pointA.size();
    const auto point = [&](std::size_t k, int c) {
        const std::vector<double>* axes[4] = {&mesh.x, &mesh.y, &mesh.z, &mesh.w};
        const auto& axis = *axes[c];
        return 0.5 * (axis[static_cast<std::size_t>(loop.pointA[k])] +
                      axis[static_cast<std::size_t>(loop.pointB[k])]);
    };
    double length = 0.0;
    for (std::size_t k = 0; k < count; ++k) {
        double squared = 0.0;
        for (int c = 0; c < 4; ++c) {
            const double d = point((k + 1) % count, c) - point(k, c);
            squared += d * d;
        }
        length += std::sqrt(squared);
    }
    return length;
}

}  // namespace

void VisualAidScene::Update(const VisualAids& aids, const SurfaceMesh& mesh,
                            const ResolutionSettings& resolution, int32_t meshRevision,
                            const Orientation4D& orientation, const ProjectedMesh& projected)
{
    ++framesDrawn;
    if (!aids.fourDColours) {
        if (coloursValid) {
            colours = FaceColours{};
            coloursValid = false;
        }
    } else if (!coloursValid || coloursRevision != meshRevision ||
               coloursOrientation != orientation) {
        ComputeFourDColours(mesh, orientation, projected, colours);
        coloursValid = true;
        coloursRevision = meshRevision;
        coloursOrientation = orientation;
    }

    if (!aids.marker) {
        if (trackValid) {
            loop = SurfaceLoop{};
            track = MarkerTrack{};
            marker = MarkerShape{};
            trackValid = false;
        }
        return;
    }
    UpdateMarker(mesh, resolution, meshRevision, orientation, projected);
}

void VisualAidScene::UpdateMarker(const SurfaceMesh& mesh, const ResolutionSettings& resolution,
                                  int32_t meshRevision, const Orientation4D& orientation,
                                  const ProjectedMesh& projected)
{
    const bool newMesh = !trackValid || trackRevision != meshRevision;
    if (newMesh) {
        loop = FindSideReversingLoop(resolution, mesh);
        markerLength = kMarkerShareOfLoop * LoopLength(loop, mesh);
        if (trackValid) {
            markerCircuits = 0.0;  // a new figure: start again
        }
    }
    if (newMesh || trackOrientation != orientation) {
        track.Build(loop, projected);
        trackValid = true;
        trackRevision = meshRevision;
        trackOrientation = orientation;
    }
    if (track.Empty() || !(markerLength > 0.0) || !std::isfinite(markerLength)) {
        marker = MarkerShape{};
        return;
    }
    BuildMarkerShape(track.FrameAt(markerCircuits), markerLength, kMarkerLift * markerLength,
                     marker);
}

void VisualAidScene::MoveMarker(double circuits)
{
    if (!track.Travels() || !std::isfinite(circuits)) {
        return;
    }
    markerCircuits = std::fmod(markerCircuits + circuits, 2.0);
    if (markerCircuits < 0.0) {
        markerCircuits += 2.0;
    }
}

AidDrawing VisualAidScene::Drawing(const VisualAids& aids) const
{
    AidDrawing drawing;
    drawing.backColour = aids.backColour;
    if (aids.fourDColours && coloursValid) {
        drawing.faceColours = &colours;
    }
    if (aids.marker && !marker.corners.empty()) {
        drawing.marker = &marker;
    }
    return drawing;
}
