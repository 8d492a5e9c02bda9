#include "view/VisualAidScene.h"

#include "view/FourDColours.h"

#include <cmath>

namespace {

// How far the marker floats off the surface, as a share of its length.
constexpr double kMarkerLift = 0.1;

}  // namespace

void VisualAidScene::Update(const VisualAids& aids, const SurfaceMesh& mesh,
                            const ResolutionSettings& resolution, int32_t meshRevision,
                            const Orientation4D& orientation, const ProjectedMesh& projected)
{
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
        markerLength = loop.markerLength;
        if (trackValid) {
            RestartMarker();  // a new figure: start again
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
    if (track.Travels()) {
        PlaceMarker(markerCircuits + circuits);
    }
}

void VisualAidScene::PlaceMarker(double circuits)
{
    if (std::isfinite(circuits)) {
        markerCircuits = std::fmod(circuits, 2.0);
        if (markerCircuits < 0.0) {
            markerCircuits += 2.0;
        }
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
