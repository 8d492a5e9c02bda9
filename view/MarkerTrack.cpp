#include "view/MarkerTrack.h"

#include "interaction/Matrix4.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vector3 Scale(const Vector3& a, double s) { return {a[0] * s, a[1] * s, a[2] * s}; }
Vector3 Add(const Vector3& a, const Vector3& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
double Dot(const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Norm(const Vector3& a) { return std::sqrt(Dot(a, a)); }
Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Unit vector, or false when a has no direction.
bool Normalise(Vector3& a)
{
    const double n = Norm(a);
    if (!(n > 0.0) || !std::isfinite(n)) {
        return false;
    }
    a = Scale(a, 1.0 / n);
    return true;
}

bool InRange(int32_t index, std::size_t count)
{
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

Vector3 Vertex(const ProjectedMesh& p, int32_t i)
{
    const auto k = static_cast<std::size_t>(i);
    return {p.projX[k], p.projY[k], p.projZ[k]};
}

// The face's normal from its diagonals, or false for a face too thin to
// have one: then the marker keeps the normal it had.
bool FaceNormal(const ProjectedMesh& p, const Quad& q, Vector3& normal)
{
    const Vector3 a = Sub(Vertex(p, q.i2), Vertex(p, q.i0));
    const Vector3 b = Sub(Vertex(p, q.i3), Vertex(p, q.i1));
    normal = Cross(a, b);
    const double scale = Norm(a) * Norm(b);
    return scale > 0.0 && Norm(normal) > 1e-9 * scale && Normalise(normal);
}

}  // namespace

void MarkerTrack::Build(const SurfaceLoop& loop, const ProjectedMesh& projected)
{
    *this = MarkerTrack{};
    const std::size_t count = loop.segmentFace.size();
    const std::size_t vertexCount =
        std::min({projected.projX.size(), projected.projY.size(), projected.projZ.size()});
    if (count == 0 || loop.pointA.size() != count || loop.pointB.size() != count) {
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const int32_t face = loop.segmentFace[k];
        if (!InRange(loop.pointA[k], vertexCount) || !InRange(loop.pointB[k], vertexCount) ||
            !InRange(face, projected.faces.size())) {
            return;
        }
        const Quad& q = projected.faces[static_cast<std::size_t>(face)];
        if (!InRange(q.i0, vertexCount) || !InRange(q.i1, vertexCount) ||
            !InRange(q.i2, vertexCount) || !InRange(q.i3, vertexCount)) {
            return;
        }
    }

    points.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        points[k] = Scale(Add(Vertex(projected, loop.pointA[k]), Vertex(projected, loop.pointB[k])),
                          0.5);
    }
    cumulative.assign(count + 1, 0.0);
    tangents.assign(count, Vector3{0.0, 0.0, 0.0});
    std::vector<bool> hasTangent(count, false);
    for (std::size_t k = 0; k < count; ++k) {
        Vector3 d = Sub(points[(k + 1) % count], points[k]);
        cumulative[k + 1] = cumulative[k] + Norm(d);
        hasTangent[k] = Normalise(d);
        tangents[k] = d;
    }

    // Carry the normal along: each face's own, turned to lie nearest the
    // one before. Segments without a face normal keep the previous one;
    // those before the first face with a normal take that one's.
    normals.assign(count, Vector3{0.0, 0.0, 0.0});
    std::vector<bool> hasNormal(count, false);
    std::size_t first = count;
    Vector3 carried{0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < count; ++k) {
        Vector3 n;
        const Quad& q = projected.faces[static_cast<std::size_t>(loop.segmentFace[k])];
        if (FaceNormal(projected, q, n)) {
            if (first == count) {
                first = k;
            } else if (Dot(n, carried) < 0.0) {
                n = Scale(n, -1.0);
            }
            carried = n;
            hasNormal[k] = true;
        }
        normals[k] = carried;
    }
    for (std::size_t k = 0; k < first && first < count; ++k) {
        normals[k] = normals[first];
    }
    // Segments of no length keep the direction before them (the first
    // ones the next direction there is).
    std::size_t firstTangent = count;
    for (std::size_t k = 0; k < count; ++k) {
        if (hasTangent[k]) {
            firstTangent = std::min(firstTangent, k);
        } else if (firstTangent < count) {
            tangents[k] = tangents[k - 1];
        }
    }
    for (std::size_t k = 0; k < firstTangent && firstTangent < count; ++k) {
        tangents[k] = tangents[firstTangent];
    }

    travels = first < count && Length() > 0.0 && std::isfinite(Length());
    // Round once more to the first face with a normal: its sign nearest the
    // last carried normal is the sign of the second circuit.
    reverses = travels && Dot(normals[first], normals[count - 1]) < 0.0;
}

MarkerFrame MarkerTrack::FrameAt(double circuits) const
{
    MarkerFrame frame;
    if (points.empty()) {
        return frame;
    }
    std::size_t k = 0;
    double along = 0.0;  // fraction of segment k
    bool secondCircuit = false;
    if (travels && std::isfinite(circuits)) {
        const double round = std::floor(circuits);
        secondCircuit = std::fmod(std::abs(round), 2.0) == 1.0;
        const double distance = (circuits - round) * Length();
        // The segment whose span holds the distance; zero-length segments
        // hold none.
        const auto it = std::upper_bound(cumulative.begin(), cumulative.end(), distance);
        k = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(it - cumulative.begin() - 1, 0)),
                     points.size() - 1);
        const double span = cumulative[k + 1] - cumulative[k];
        along = span > 0.0 ? std::clamp((distance - cumulative[k]) / span, 0.0, 1.0) : 0.0;
    }
    const Vector3& from = points[k];
    const Vector3& to = points[(k + 1) % points.size()];
    frame.position = Add(from, Scale(Sub(to, from), along));

    Vector3 tangent = tangents[k];
    if (!Normalise(tangent)) {
        tangent = {1.0, 0.0, 0.0};
    }
    Vector3 normal = normals[k];
    if (secondCircuit && reverses) {
        normal = Scale(normal, -1.0);
    }
    // The face normal is nearly but not quite square to the path: make it so.
    normal = Sub(normal, Scale(tangent, Dot(normal, tangent)));
    if (!Normalise(normal)) {
        double u[3];
        double v[3];
        const double t[3] = {tangent[0], tangent[1], tangent[2]};
        PerpendicularBasis(t, u, v);
        normal = {u[0], u[1], u[2]};
    }
    frame.tangent = tangent;
    frame.normal = normal;
    frame.left = Cross(normal, tangent);
    return frame;
}

void BuildMarkerShape(const MarkerFrame& frame, double length, double lift, MarkerShape& out)
{
    // The outline in the marker's own plane: u along the tangent, v to the
    // left, in units of its length. Shaft, head, and the flag on the left
    // near the tail.
    struct Corner {
        double u, v;
    };
    static const Corner kTriangles[][3] = {
        {{-0.5, -0.05}, {0.15, -0.05}, {0.15, 0.05}},   // shaft
        {{-0.5, -0.05}, {0.15, 0.05}, {-0.5, 0.05}},
        {{0.15, -0.2}, {0.5, 0.0}, {0.15, 0.2}},        // head
        {{-0.5, 0.05}, {-0.2, 0.05}, {-0.2, 0.3}},      // flag
        {{-0.5, 0.05}, {-0.2, 0.3}, {-0.5, 0.3}},
    };
    out.corners.clear();
    for (const double side : {1.0, -1.0}) {
        const Vector3 base = Add(frame.position, Scale(frame.normal, side * lift));
        for (const auto& triangle : kTriangles) {
            for (const Corner& c : triangle) {
                const Vector3 p = Add(base, Add(Scale(frame.tangent, c.u * length),
                                                Scale(frame.left, c.v * length)));
                out.corners.insert(out.corners.end(), p.begin(), p.end());
            }
        }
    }
}
