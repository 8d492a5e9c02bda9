#include "surfaces/SurfaceMesh.h"

void SurfaceMesh::ResizeVertices(std::size_t count)
{
    ResizeArray(x, count);
    ResizeArray(y, count);
    ResizeArray(z, count);
    ResizeArray(w, count);
}

void SurfaceMesh::ResizeFaces(std::size_t count)
{
    ResizeArray(faces, count);
}

bool SurfaceMesh::IsConsistent() const
{
    const std::size_t n = x.size();
    if (y.size() != n || z.size() != n || w.size() != n) {
        return false;
    }
    const auto inRange = [n](int32_t index) {
        return index >= 0 && static_cast<std::size_t>(index) < n;
    };
    for (const Quad& q : faces) {
        if (!inRange(q.i0) || !inRange(q.i1) || !inRange(q.i2) || !inRange(q.i3)) {
            return false;
        }
    }
    return true;
}

void SurfaceMesh::Swap(SurfaceMesh& other) noexcept
{
    x.swap(other.x);
    y.swap(other.y);
    z.swap(other.z);
    w.swap(other.w);
    faces.swap(other.faces);
}
