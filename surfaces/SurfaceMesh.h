#pragma once
// The figure as four-dimensional points and quadrilateral faces.
// Four parallel coordinate arrays (x, y, z, w) of equal length and a face list
// whose corners index into them. Nothing here knows about windows or OpenGL.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Four vertex indices in their order around the face: i0-i1, i1-i2, i2-i3 and
// i3-i0 are the edges, i0-i2 and i1-i3 the diagonals. The order fixes the sign
// of the face normal, so it is part of the format.
struct Quad {
    int32_t i0 = 0;
    int32_t i1 = 0;
    int32_t i2 = 0;
    int32_t i3 = 0;
};

inline bool operator==(const Quad& a, const Quad& b)
{
    return a.i0 == b.i0 && a.i1 == b.i1 && a.i2 == b.i2 && a.i3 == b.i3;
}

// Resizes a growable array: leading elements keep their values, new ones are
// zero, and a size of 0 gives the storage back. Shrinking to less than half
// of the storage also gives the rest back, so going from a million-face
// figure to a small one does not keep the large one's memory.
template <typename T>
void ResizeArray(std::vector<T>& array, std::size_t count)
{
    if (count == 0) {
        std::vector<T>().swap(array);
        return;
    }
    if (count < array.capacity() / 2) {
        std::vector<T> smaller(array.begin(), array.begin() + std::min(count, array.size()));
        smaller.resize(count, T{});
        array.swap(smaller);
        return;
    }
    array.resize(count, T{});
}

struct SurfaceMesh {
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> z;
    std::vector<double> w;
    std::vector<Quad> faces;

    // Consumers take the vertex count from x.
    std::size_t VertexCount() const { return x.size(); }
    std::size_t FaceCount() const { return faces.size(); }

    // Sets all four coordinate arrays to the same length.
    void ResizeVertices(std::size_t count);
    void ResizeFaces(std::size_t count);

    // True when the four coordinate arrays have the same length and every face
    // corner lies in 0 ... N - 1: the only kind of mesh that may be projected.
    bool IsConsistent() const;

    void Swap(SurfaceMesh& other) noexcept;
};
