#pragma once
// What the visual aids draw, kept beside the view's projection: the faces'
// w colours and the marker. Rebuilt when the projection they follow
// changes, not per frame. Knows neither the toolkit nor OpenGL.

#include "app/Settings.h"
#include "interaction/Orientation4D.h"
#include "surfaces/SurfaceMesh.h"
#include "surfaces/SideReversingLoop.h"
#include "view/MarkerTrack.h"
#include "view/ViewCaches.h"
#include "view/VisualAids.h"

#include <cstdint>

class VisualAidScene {
public:
    // Called at each paint after the projection: recomputes what the aids
    // that are on need when the mesh (by its revision) or the orientation
    // differs from what it was made from, and lets go of what the aids that
    // are off had.
    void Update(const VisualAids& aids, const SurfaceMesh& mesh,
                const ResolutionSettings& resolution, int32_t meshRevision,
                const Orientation4D& orientation, const ProjectedMesh& projected);

    // What the renderer draws for the aids that are on; valid until the
    // next Update.
    AidDrawing Drawing(const VisualAids& aids) const;

    // The marker's place in circuits of its loop (kept within 0 ... 2: two
    // circuits bring it back as it started). Moving does nothing while it
    // cannot travel; a new mesh puts it back at the start.
    void MoveMarker(double circuits);
    void RestartMarker()
    {
        markerCircuits = 0.0;
        ++markerStarts;
    }
    double MarkerCircuits() const { return markerCircuits; }
    // Puts the marker at a place of another scene's (kept within 0 ... 2),
    // for a coarser copy of the same figure.
    void PlaceMarker(double circuits);
    // Raised at every start from the beginning: time measured across one
    // belongs to the figure before.
    uint64_t MarkerStarts() const { return markerStarts; }
    bool MarkerTravels() const { return track.Travels(); }
    const MarkerTrack& Track() const { return track; }

private:
    void UpdateMarker(const SurfaceMesh& mesh, const ResolutionSettings& resolution,
                      int32_t meshRevision, const Orientation4D& orientation,
                      const ProjectedMesh& projected);

    SurfaceLoop loop;
    MarkerTrack track;
    MarkerShape marker;
    bool trackValid = false;
    int32_t trackRevision = 0;
    Orientation4D trackOrientation{};
    double markerLength = 0.0;
    double markerCircuits = 0.0;
    uint64_t markerStarts = 0;

    FaceColours colours;
    bool coloursValid = false;
    Orientation4D coloursOrientation{};
    int32_t coloursRevision = 0;
};
