#pragma once
// The marker's way round a side-reversing loop of the projected surface,
// and its frame there: the tangent, the surface normal and the side its
// flag is on. The normal is carried along from the faces' own normals
// after the orientation (each segment's face normal, its sign the one
// nearest the previous segment's), so it follows every turn and, on a
// one-sided surface, comes back reversed. No toolkit, no OpenGL.

#include "surfaces/SideReversingLoop.h"
#include "view/ViewCaches.h"
#include "view/VisualAids.h"

#include <array>
#include <vector>

using Vector3 = std::array<double, 3>;

struct MarkerFrame {
    Vector3 position{};
    Vector3 tangent{1.0, 0.0, 0.0};  // the direction of travel
    Vector3 normal{0.0, 0.0, 1.0};   // the surface normal as carried along
    Vector3 left{0.0, 1.0, 0.0};     // normal x tangent: the flag's side
};

class MarkerTrack {
public:
    // Follows loop on the projected surface. A loop naming vertices or
    // faces outside projected gives an empty track.
    void Build(const SurfaceLoop& loop, const ProjectedMesh& projected);

    bool Empty() const { return points.empty(); }
    // False when the marker cannot go anywhere: no loop, a loop of no
    // length, or no face along it with a normal (all degenerate). It then
    // stays at the loop's start.
    bool Travels() const { return travels; }
    double Length() const { return cumulative.empty() ? 0.0 : cumulative.back(); }

    // The frame after the given number of circuits (1.5: halfway round the
    // second), positions spaced by length along the loop. Two circuits
    // bring the marker back to where it started; on a one-sided surface
    // one circuit does so mirrored.
    MarkerFrame FrameAt(double circuits) const;
    // Whether the carried normal came back reversed after one circuit.
    bool Reverses() const { return reverses; }

private:
    std::vector<Vector3> points;
    std::vector<double> cumulative;  // length from point 0 to point k; last: the whole loop
    std::vector<Vector3> tangents;   // segment k's direction
    std::vector<Vector3> normals;    // segment k's carried normal in the first circuit
    bool travels = false;
    bool reverses = false;
};

// A flat arrow pointing along the tangent with a flag on its left, length
// long, lying in the plane of tangent and left, drawn twice: lifted by
// lift along the normal on each side of the surface.
void BuildMarkerShape(const MarkerFrame& frame, double length, double lift, MarkerShape& out);
